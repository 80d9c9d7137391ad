// The page: the window program's figure drawn with three.js from the
// project's own C++ mathematics (WebAssembly), turned with the mouse, wheel,
// touch or arrow keys; the four values typed or dragged; layer toggles; the
// 150-second animation (the spin and the camera flight); every point where
// the circles meet, listed and chosen in the panel or picked in the figure,
// with the lengths between them; the dome they build in place of the sphere,
// with its cut list and the solid to download; links that reopen the same
// view; a picture to save. Start-up: mathematics, the link's state, WebGL and
// the scene, the controls and keys, the first frame.
import { OrbitControls } from 'three/addons/controls/OrbitControls.js';

import { AnimationClock } from './animation_clock.js';
import { DomePanel } from './dome_panel.js';
import { loadMathematics } from './geodesics.js';
import { IntersectionsPanel } from './intersections_panel.js';
import { GeodesicScene } from './scene.js';
import { keepOffline } from './offline.js';
import { say } from './page_text.js';
import { fetchSiteFile, kNeedsAllFiles } from './site_files.js';
import { kLayerNames, readQuery, writeQuery } from './view_state.js';

const $ = (id) => document.getElementById(id);
const kLinkDelay = 200; // ms: the address bar follows a drag without flooding the history
// A press and release of the pointer that moves less than this is a click
// (more is a drag, which turns the view), in CSS pixels; what it picks in
// the figure lies within these distances of it: points before lines, a
// finger's reach wider than a mouse's.
const kClickPixels = 5;
const kPickPixels = { mouse: { pointPixels: 8, linePixels: 6 }, touch: { pointPixels: 18, linePixels: 14 } };

// Everything the page holds, in one object: what it loaded, the view and its
// controls, the state a link writes, and each panel by name. A panel added
// later (the unrolled cylinder, the cut list as tables) is one more entry in
// `panels`, shown from setFigure() as the two here are.
const page = {
  math: null,
  recorded: null, // scene.json: the program's scene as its frames draw it
  view: null, // null without WebGL: the panel still works
  noView: '', // why there is no view, when there is none
  controls: null,
  clock: null, // the animation's, once the mathematics says how long it runs
  home: null, // the camera before the animation: the camera flight's own at time 0
  linkCamera: null, // the camera a link asked for, kept when there is no view
  state: {
    words: null,
    values: null,
    layers: null,
    wireFrame: false,
    statistics: false,
    intersections: false,
    choice: null,
    dome: false,
    radiusWord: '',
    radius: 0, // the dome's last good radius in mm, as typed and as a number
  },
  crossings: null, // Mathematics.intersections of the values shown, while they are shown
  panels: { intersections: null, dome: null },
  frames: { pending: false, lastMode: 'atStart', animated: 0, times: [] }, // times: ms, the last second's
  linkTimer: 0,
};

// One line per problem; the notice may already hold one from index.html.
function showNotice(text) {
  const notice = $('notice');
  notice.textContent = notice.hidden ? text : `${notice.textContent}\n${text}`;
  notice.hidden = false;
}

const sayIn = (id, text, note = false) => say($(id), text, note);

// --- The four values ------------------------------------------------------------

const valueField = (k) => $(`value-${k}`);
const slider = (k) => $(`slider-${k}`);

// Reads all four fields with the report tool's reader; a field that is wrong
// shows its message and the last good figure stays. `typed`: the field just
// edited, whose slider follows it when it is good.
function readFields(typed = -1) {
  const values = [];
  for (let k = 0; k < 4; ++k) {
    const read = page.math.parseValue(k, valueField(k).value);
    sayIn(`message-${k}`, read.message ?? '');
    valueField(k).setAttribute('aria-invalid', read.message ? 'true' : 'false');
    if (read.message) continue;
    values.push(read.value);
    if (k === typed) slider(k).value = valueField(k).value;
  }
  sayIn('pentagons-message', '');
  if (values.length === 4)
    setFigure(
      [0, 1, 2, 3].map((k) => valueField(k).value),
      values,
    );
}

function setFigure(words, values) {
  page.state.words = words;
  page.state.values = values;
  if (page.view) page.view.setFigure(page.math.figure(values));
  $('report').textContent = page.math.report(values);
  if (page.state.intersections) showIntersections();
  if (page.state.dome) showDome();
  requestFrame();
  scheduleLink();
}

function setFields(words) {
  words.forEach((word, k) => {
    valueField(k).value = word;
    slider(k).value = word;
  });
}

// --- Layers and toggles ---------------------------------------------------------

function setLayers(layers) {
  page.state.layers = { ...layers };
  for (const name of kLayerNames) $(`show-${name}`).checked = layers[name];
  if (page.view) page.view.setLayers(layers);
  requestFrame();
  scheduleLink();
}

function setWireFrame(on) {
  page.state.wireFrame = on;
  $('wire-frame').checked = on;
  if (page.view) page.view.setWireFrame(on);
  requestFrame();
  scheduleLink();
}

function setStatistics(on) {
  page.state.statistics = on;
  $('statistics-toggle').checked = on;
  $('statistics').hidden = !on;
  requestFrame();
  scheduleLink();
}

// --- Intersections and the choice among them -----------------------------------

function setIntersections(on) {
  page.state.intersections = on;
  $('show-intersections').checked = on;
  if (on) showIntersections();
  else {
    page.crossings = null;
    page.state.choice = null;
    page.panels.intersections.show(null);
    if (page.view) {
      page.view.setIntersections(null);
      page.view.setChoice({ point: null, circles: [] });
    }
  }
  requestFrame();
  scheduleLink();
}

// The intersections of the values shown, into the panel and the figure. The
// choice stays while what it names is still there: a point by its index in
// the list, a circle while it has a plane.
function showIntersections() {
  page.crossings = page.math.intersections(page.state.values);
  const choice = page.state.choice;
  let note = '';
  if (choice?.kind === 'point' && choice.index >= page.crossings.points.length) {
    note = `Point ${choice.index} is gone: these values have ${page.crossings.points.length} points.`;
    page.state.choice = null;
  } else if (choice?.kind === 'circle' && !page.crossings.circles[choice.index].live) {
    note = `Circle ${page.crossings.circles[choice.index].label} is gone: its pentagon is at a pole.`;
    page.state.choice = null;
  }
  page.panels.intersections.show(page.crossings);
  if (page.view) page.view.setIntersections(page.crossings);
  showChoice(note);
}

function showChoice(note = '') {
  const choice = page.state.choice;
  if (page.view) {
    if (choice?.kind === 'point')
      page.view.setChoice({ point: choice.index, circles: page.crossings.points[choice.index].circles });
    else page.view.setChoice({ point: null, circles: choice ? [choice.index] : [] });
  }
  page.panels.intersections.setChoice(choice, note);
}

// { kind: 'point' | 'circle', index } or null, from the panel or the figure.
function choose(choice) {
  if (!page.state.intersections) return;
  page.state.choice = choice;
  showChoice();
  requestFrame();
  scheduleLink();
}

// A click or a tap on the figure picks what lies under it; one on nothing
// chooses nothing. Drags, and gestures of two fingers, turn the view instead.
function wirePicking(canvas) {
  const down = new Map();
  let gesture = false; // more than one pointer has been down since the last was lifted
  canvas.addEventListener('pointerdown', (event) => {
    down.set(event.pointerId, [event.clientX, event.clientY]);
    gesture = down.size > 1;
  });
  const lifted = (event) => {
    const from = down.get(event.pointerId);
    down.delete(event.pointerId);
    const wasGesture = gesture;
    if (down.size === 0) gesture = false;
    return (
      from &&
      !wasGesture &&
      event.type === 'pointerup' &&
      event.button === 0 &&
      Math.hypot(event.clientX - from[0], event.clientY - from[1]) < kClickPixels
    );
  };
  const pick = (event) => {
    if (!lifted(event) || !page.state.intersections) return;
    const box = canvas.getBoundingClientRect();
    const reach = kPickPixels[event.pointerType === 'mouse' ? 'mouse' : 'touch'];
    choose(page.view.pick(event.clientX - box.left, event.clientY - box.top, reach));
  };
  canvas.addEventListener('pointerup', pick);
  canvas.addEventListener('pointercancel', lifted);
}

// --- The dome -------------------------------------------------------------------

function setDome(on) {
  page.state.dome = on;
  $('show-dome').checked = on;
  if (on) showDome();
  else {
    page.panels.dome.show(null);
    if (page.view) page.view.setDome(null);
  }
  requestFrame();
  scheduleLink();
}

// The dome of the values shown: at the radius typed for the panel (its cut
// list and files), on the sphere in the figure (a second build where the two
// differ: the mathematics lays out the mesh and the cut list at one radius).
// Where the circles meet nowhere, or the dome fails its checks, the sphere
// stays and the panel says why.
function showDome() {
  let [sized, unit, problem] = [null, null, ''];
  try {
    sized = page.math.dome(page.state.values, page.state.radius);
    if (page.view && sized) unit = page.state.radius === 1 ? sized : page.math.dome(page.state.values, 1);
  } catch (error) {
    [sized, unit, problem] = [null, null, error.message];
  }
  if (page.view) page.view.setDome(unit);
  page.panels.dome.show({ dome: sized, radius: page.state.radius, words: page.state.words, problem });
}

// The radius as it is typed: a wrong one keeps the last good cut list and
// files, with its message beside it.
function typeRadius(word) {
  const read = page.math.parseRadius(word);
  page.panels.dome.setRadius(word, read.message ?? '');
  if (read.message) return;
  [page.state.radiusWord, page.state.radius] = [word, read.value];
  if (page.state.dome) showDome();
  scheduleLink();
}

// --- Camera and animation -------------------------------------------------------

function currentCamera() {
  if (!page.view) return page.linkCamera;
  return { eye: page.view.camera.position.toArray(), target: page.controls.target.toArray() };
}

// Sets the camera as gluLookAt does, up +y. The controls take it from here
// when next turned (their update() would round it through spherical
// coordinates, moving it by a rounding error).
function placeCamera({ eye, target }) {
  page.view.camera.position.set(...eye);
  page.controls.target.set(...target);
  page.view.camera.lookAt(page.controls.target);
}

// Starts the animation from 0 (`a`), or restarts it. Without a view there is
// nothing to watch: the animation's controls are off and say why.
function play() {
  if (!page.view) return;
  page.clock.start();
  page.frames.animated = 0;
  if (page.controls) page.controls.enabled = false;
  showAnimationState();
  requestFrame();
}

// `p`: pauses or resumes the animation; orbiting works while it is paused,
// from where the camera flight stands at the moment of the pause.
function togglePause() {
  if (!page.view) return;
  page.clock.togglePause();
  if (page.clock.mode === 'paused') placeCamera(page.math.flightCamera(page.clock.time()));
  if (page.controls) page.controls.enabled = page.clock.mode !== 'animating';
  showAnimationState();
  requestFrame();
  scheduleLink();
}

function showAnimationState() {
  const mode = page.clock.mode;
  $('play').firstChild.textContent = mode === 'atStart' ? 'Play the animation ' : 'Restart the animation ';
  $('play').disabled = !page.view;
  $('pause').disabled = !page.view || (mode !== 'animating' && mode !== 'paused');
  $('pause').setAttribute('aria-pressed', mode === 'paused' ? 'true' : 'false');
  $('pause').firstChild.textContent = mode === 'paused' ? 'Resume ' : 'Pause ';
  showTime(page.clock.time());
}

function showTime(t) {
  $('animation-time').textContent = `${t.toFixed(1)} s of ${page.clock.duration}`;
  $('caption').hidden = !page.recorded || t < page.recorded.captionFrom;
}

// --- Frames ---------------------------------------------------------------------

function requestFrame() {
  if (page.frames.pending || !page.view) return;
  page.frames.pending = true;
  requestAnimationFrame(frame);
}

// One frame: while the animation runs the camera is the camera flight's at this
// instant and the spin follows the clock, as in the program's Scene1.
function frame(now) {
  page.frames.pending = false;
  const t = page.clock.time();
  if (page.clock.mode === 'animating' || (page.frames.lastMode === 'animating' && page.clock.mode === 'finished')) {
    placeCamera(page.math.flightCamera(t));
    if (page.clock.mode !== 'animating') {
      // finished: the last frame stays and the controls take over from here
      page.controls.enabled = true;
      showAnimationState();
      scheduleLink();
    }
    page.frames.animated += 1;
    showTime(t);
  }
  page.frames.lastMode = page.clock.mode;
  page.view.setSpin(t * page.recorded.spinDegreesPerSecond);
  page.view.render();

  page.frames.times.push(now);
  while (page.frames.times.length > 0 && page.frames.times[0] <= now - 1000) page.frames.times.shift();
  if (page.state.statistics)
    $('statistics').textContent =
      `Frame: ${page.frames.animated}, Polygons: ${page.view.polygonCount()}, Time: ${t.toFixed(1)}\n` +
      `${page.frames.times.length} frames in the last second`;
  if (page.clock.mode === 'animating') requestFrame();
}

// --- The link -------------------------------------------------------------------

function scheduleLink() {
  clearTimeout(page.linkTimer);
  page.linkTimer = setTimeout(writeLink, kLinkDelay);
}

function isHome(camera) {
  return [...camera.eye, ...camera.target].every((v, k) => v === [...page.home.eye, ...page.home.target][k]);
}

function writeLink() {
  clearTimeout(page.linkTimer);
  const camera = currentCamera();
  const query = writeQuery(
    { ...page.state, camera: isHome(camera) ? null : camera, time: page.clock.time() },
    page.math.defaultRadiusWord,
  );
  history.replaceState(null, '', `${location.pathname}${query}${location.hash}`);
}

// The address bar holds the link at once; the clipboard may take its time
// (or ask the user, or refuse).
async function copyLink() {
  writeLink();
  sayIn('share-message', 'The address bar holds the link to this page.view.', true);
  try {
    await navigator.clipboard.writeText(location.href);
    sayIn('share-message', 'The link to this page.view is copied.', true);
  } catch {
    // not allowed here: the address bar has it
  }
}

// Hands a file made here to the browser, which saves it as `name`.
function saveFile(blob, name) {
  const a = document.createElement('a');
  a.href = URL.createObjectURL(blob);
  a.download = name;
  a.click();
  setTimeout(() => URL.revokeObjectURL(a.href), 10000);
}

function savePicture() {
  if (!page.view) return;
  // Drawn and read in one task: the canvas keeps its picture until then.
  page.view.render();
  page.view.renderer.domElement.toBlob((blob) => {
    if (!blob) {
      sayIn('share-message', 'The picture could not be made.');
      return;
    }
    saveFile(blob, 'geodesics.png');
    sayIn('share-message', 'The picture is saved as geodesics.png.', true);
  }, 'image/png');
}

// --- Keys and controls ----------------------------------------------------------

function onKey(event) {
  if (event.ctrlKey || event.metaKey || event.altKey) return;
  const t = event.target;
  if (t instanceof HTMLInputElement && t.type === 'text') return; // typing a value
  // Case-sensitive, as in the program: capitals do nothing.
  const action = {
    a: play,
    p: togglePause,
    w: () => setWireFrame(!page.state.wireFrame),
    t: () => setStatistics(!page.state.statistics),
    Escape: page.state.choice ? () => choose(null) : null,
  }[event.key];
  if (!action) return;
  event.preventDefault();
  action();
}

function wirePanel() {
  for (let k = 0; k < 4; ++k) {
    valueField(k).addEventListener('input', () => readFields(k));
    slider(k).addEventListener('input', () => {
      valueField(k).value = slider(k).value;
      readFields();
    });
  }
  $('scene-values').addEventListener('click', () => {
    setFields(page.math.sceneWords);
    readFields();
  });
  for (const name of kLayerNames)
    $(`show-${name}`).addEventListener('change', () =>
      setLayers({ ...page.state.layers, [name]: $(`show-${name}`).checked }),
    );
  $('wire-frame').addEventListener('change', () => setWireFrame($('wire-frame').checked));
  $('statistics-toggle').addEventListener('change', () => setStatistics($('statistics-toggle').checked));
  $('show-intersections').addEventListener('change', () => setIntersections($('show-intersections').checked));
  $('show-dome').addEventListener('change', () => setDome($('show-dome').checked));
  $('play').addEventListener('click', play);
  $('pause').addEventListener('click', togglePause);
  $('copy-link').addEventListener('click', copyLink);
  $('save-picture').addEventListener('click', savePicture);
  window.addEventListener('keydown', onKey);
}

function wireView() {
  const canvas = $('canvas');
  page.controls = new OrbitControls(page.view.camera, canvas);
  page.controls.minDistance = 0.01;
  page.controls.maxDistance = 400; // inside the far plane at 500
  page.controls.listenToKeyEvents(canvas); // arrow keys pan while the view has the focus
  page.controls.addEventListener('change', requestFrame);
  page.controls.addEventListener('end', scheduleLink);
  wirePicking(canvas);

  const fit = () => {
    const box = $('view').getBoundingClientRect();
    page.view.resize(
      Math.max(1, Math.round(box.width)),
      Math.max(1, Math.round(box.height)),
      Math.min(window.devicePixelRatio || 1, 2),
    );
    requestFrame();
  };
  new ResizeObserver(fit).observe($('view'));
  fit();
}

// The scene as the program draws it, recorded at build time beside the page.
async function loadRecordedScene() {
  const { name, bytes } = await fetchSiteFile(new URL('../scene.json', import.meta.url));
  try {
    return JSON.parse(new TextDecoder().decode(bytes));
  } catch {
    throw new Error(`${name} is damaged: it is not the scene's JSON`);
  }
}

// The scene as the program draws it and the view that draws it with WebGL;
// without either, page.noView says why and the panel works alone.
async function loadView() {
  try {
    page.recorded = await loadRecordedScene();
    $('caption').textContent = page.recorded.caption;
  } catch (error) {
    showNotice(`The figure cannot be drawn: ${error.message}. ${kNeedsAllFiles} The values and the report still work.`);
    page.noView = 'the scene could not be loaded';
    return;
  }
  // One context, asked for once: making a WebGL context can take a good part
  // of a second with a software renderer.
  const context = $('canvas').getContext('webgl2', { antialias: false, alpha: false, stencil: false });
  if (!context) {
    showNotice(
      'This page draws the figure with WebGL 2, which this browser does not offer or has turned off. ' +
        'The four values and the value report beside it still work.',
    );
    page.noView = 'this browser offers no WebGL 2';
    return;
  }
  try {
    page.view = new GeodesicScene($('canvas'), context, page.recorded);
  } catch (error) {
    showNotice(`The figure cannot be drawn here: ${error.message}. The values and the report still work.`);
    page.noView = 'the figure cannot be drawn here';
    return;
  }
  // The shader program compiles while the mathematics still loads.
  page.view.renderer.compile(page.view.scene, page.view.camera);
}

function makePanels() {
  page.panels.intersections = new IntersectionsPanel(
    {
      section: $('intersections'),
      summary: $('intersections-summary'),
      circles: $('circle-list'),
      pointsFrame: $('point-frame'),
      points: $('point-rows'),
      chosen: $('chosen'),
      status: $('choice-status'),
    },
    choose,
  );
  page.panels.dome = new DomePanel(
    {
      section: $('dome'),
      radius: $('dome-radius'),
      radiusMessage: $('dome-radius-message'),
      summary: $('dome-summary'),
      cutList: $('cut-list'),
      stl: $('download-stl'),
      gltf: $('download-gltf'),
      fileMessage: $('dome-file-message'),
    },
    { radiusTyped: typeRadius, save: saveFile },
  );
  wirePanel();
}

// The link's words fill the fields even when they are wrong, beside their
// messages; the figure is the last good one, the scene's when there is none.
// So does its radius: the cut list's is the last good one, the default when
// the link's is wrong.
function showLinkValues(link, messages) {
  setFields(link.words);
  link.words.forEach((_, k) => {
    sayIn(`message-${k}`, messages.pentagons[k]);
    valueField(k).setAttribute('aria-invalid', messages.pentagons[k] ? 'true' : 'false');
  });
  sayIn('pentagons-message', messages.pentagonCount);
  if (link.values) setFigure(link.words, link.values);
  else setFigure(page.math.sceneWords, page.math.sceneValues);
  [page.state.radiusWord, page.state.radius] =
    link.radius !== null
      ? [link.radiusWord, link.radius]
      : [page.math.defaultRadiusWord, page.math.parseRadius(page.math.defaultRadiusWord).value];
  page.panels.dome.setRadius(link.radiusWord, link.dome ? messages.radius : '');
  sayIn(
    'show-message',
    [
      messages.layers,
      messages.wireFrame,
      messages.statistics,
      messages.intersections,
      messages.choice,
      messages.dome,
      link.dome ? '' : messages.radius,
    ]
      .filter(Boolean)
      .join(' '),
  );
  const noAnimation = page.view ? '' : `The animation plays in the figure, which is not drawn: ${page.noView}.`;
  sayIn('animation-message', [messages.time, noAnimation].filter(Boolean).join(' '));
  sayIn('share-message', messages.camera);
}

// The rest of what a link holds: the camera, the animation's time, the
// toggles and the choice.
function showLinkView(link) {
  page.home = page.math.flightCamera(0);
  page.linkCamera = link.camera ?? page.home;
  page.clock.restore(link.time);
  page.frames.lastMode = page.clock.mode;
  if (page.view) {
    wireView();
    placeCamera(page.linkCamera);
  }
  setLayers(link.layers);
  setWireFrame(link.wireFrame);
  setStatistics(link.statistics);
  page.state.choice = link.choice;
  setIntersections(link.intersections);
  setDome(link.dome);
  showAnimationState();
}

// Start-up: the mathematics (fetched and compiled while the scene is built),
// the view, the panels, the link's state, the first frame; then the site is
// kept for use offline.
async function start() {
  const mathematics = loadMathematics();
  mathematics.catch(() => {}); // handled where it is awaited, which may be after it fails
  await loadView();
  if (!page.view) $('save-picture').disabled = true;
  try {
    page.math = await mathematics;
  } catch (error) {
    showNotice(`The figure's mathematics could not be loaded: ${error.message}. ${kNeedsAllFiles}`);
    return;
  }
  page.clock = new AnimationClock(page.math.animationSeconds);
  const { state: link, messages } = readQuery(location.search, page.math);
  makePanels();
  showLinkValues(link, messages);
  showLinkView(link);
  // The first frame now, so that the page is ready when it says so.
  if (page.view) {
    page.view.setSpin(page.clock.time() * page.recorded.spinDegreesPerSecond);
    page.view.render();
  }
  // For the console and for scripted checks: the live objects, read-only by convention.
  window.geodesics = page;
  performance.mark('geodesics-ready');
  document.documentElement.dataset.ready = 'true';
  keepOffline();
}

start();
