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
import { fetchSiteFile, kNeedsAllFiles } from './site_files.js';
import { kDefaultRadiusWord, kLayerNames, readQuery, readRadius, writeQuery } from './view_state.js';

const $ = (id) => document.getElementById(id);
const kLinkDelay = 200; // ms: the address bar follows a drag without flooding the history
// A press and release of the pointer that moves less than this is a click
// (more is a drag, which turns the view), in CSS pixels; what it picks in
// the figure lies within these distances of it: points before lines, a
// finger's reach wider than a mouse's.
const kClickPixels = 5;
const kPickPixels = { mouse: { pointPixels: 8, linePixels: 6 }, touch: { pointPixels: 18, linePixels: 14 } };

let math = null;
let recorded = null; // scene.json: the program's scene as its frames draw it
let view = null; // null without WebGL: the panel still works
let noView = ''; // why there is no view, when there is none
let controls = null;
let clock = null; // the animation's, once the mathematics says how long it runs
const state = {
  words: null, values: null, layers: null, wireFrame: false, statistics: false, intersections: false, choice: null,
  dome: false, radiusWord: '', radius: 0, // the dome's last good radius in mm, as typed and as a number
};
let crossings = null; // Mathematics.intersections of the values shown, while they are shown
let panel = null;
let domePanel = null;
let home = null; // the camera before the animation: the camera flight's own at time 0
let linkCamera = null; // the camera a link asked for, kept when there is no view
let framePending = false;
let lastMode = 'atStart';
let animatedFrames = 0;
const frameTimes = []; // ms, the last second's frames, for the statistics line

// One line per problem; the notice may already hold one from index.html.
function showNotice(text) {
  const notice = $('notice');
  notice.textContent = notice.hidden ? text : `${notice.textContent}\n${text}`;
  notice.hidden = false;
}

function say(id, text, note = false) {
  $(id).textContent = text;
  $(id).classList.toggle('note', note);
}

// --- The four values ------------------------------------------------------------

const valueField = (k) => $(`value-${k}`);
const slider = (k) => $(`slider-${k}`);

// Reads all four fields with the report tool's reader; a field that is wrong
// shows its message and the last good figure stays. `typed`: the field just
// edited, whose slider follows it when it is good.
function readFields(typed = -1) {
  const values = [];
  for (let k = 0; k < 4; ++k) {
    const read = math.parseValue(k, valueField(k).value);
    say(`message-${k}`, read.message ?? '');
    valueField(k).setAttribute('aria-invalid', read.message ? 'true' : 'false');
    if (read.message) continue;
    values.push(read.value);
    if (k === typed) slider(k).value = valueField(k).value;
  }
  say('pentagons-message', '');
  if (values.length === 4) setFigure([0, 1, 2, 3].map((k) => valueField(k).value), values);
}

function setFigure(words, values) {
  state.words = words;
  state.values = values;
  if (view) view.setFigure(math.figure(values));
  $('report').textContent = math.report(values);
  if (state.intersections) showIntersections();
  if (state.dome) showDome();
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
  state.layers = { ...layers };
  for (const name of kLayerNames) $(`show-${name}`).checked = layers[name];
  if (view) view.setLayers(layers);
  requestFrame();
  scheduleLink();
}

function setWireFrame(on) {
  state.wireFrame = on;
  $('wire-frame').checked = on;
  if (view) view.setWireFrame(on);
  requestFrame();
  scheduleLink();
}

function setStatistics(on) {
  state.statistics = on;
  $('statistics-toggle').checked = on;
  $('statistics').hidden = !on;
  requestFrame();
  scheduleLink();
}

// --- Intersections and the choice among them -----------------------------------

function setIntersections(on) {
  state.intersections = on;
  $('show-intersections').checked = on;
  if (on) showIntersections();
  else {
    crossings = null;
    state.choice = null;
    panel.show(null);
    if (view) {
      view.setIntersections(null);
      view.setChoice({ point: null, circles: [] });
    }
  }
  requestFrame();
  scheduleLink();
}

// The intersections of the values shown, into the panel and the figure. The
// choice stays while what it names is still there: a point by its index in
// the list, a circle while it has a plane.
function showIntersections() {
  crossings = math.intersections(state.values);
  const choice = state.choice;
  let note = '';
  if (choice?.kind === 'point' && choice.index >= crossings.points.length) {
    note = `Point ${choice.index} is gone: these values have ${crossings.points.length} points.`;
    state.choice = null;
  } else if (choice?.kind === 'circle' && !crossings.circles[choice.index].live) {
    note = `Circle ${crossings.circles[choice.index].label} is gone: its pentagon is at a pole.`;
    state.choice = null;
  }
  panel.show(crossings);
  if (view) view.setIntersections(crossings);
  showChoice(note);
}

function showChoice(note = '') {
  const choice = state.choice;
  if (view) {
    if (choice?.kind === 'point') view.setChoice({ point: choice.index, circles: crossings.points[choice.index].circles });
    else view.setChoice({ point: null, circles: choice ? [choice.index] : [] });
  }
  panel.setChoice(choice, note);
}

// { kind: 'point' | 'circle', index } or null, from the panel or the figure.
function choose(choice) {
  if (!state.intersections) return;
  state.choice = choice;
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
    return from && !wasGesture && event.type === 'pointerup' && event.button === 0 &&
      Math.hypot(event.clientX - from[0], event.clientY - from[1]) < kClickPixels;
  };
  const pick = (event) => {
    if (!lifted(event) || !state.intersections) return;
    const box = canvas.getBoundingClientRect();
    const reach = kPickPixels[event.pointerType === 'mouse' ? 'mouse' : 'touch'];
    choose(view.pick(event.clientX - box.left, event.clientY - box.top, reach));
  };
  canvas.addEventListener('pointerup', pick);
  canvas.addEventListener('pointercancel', lifted);
}

// --- The dome -------------------------------------------------------------------

function setDome(on) {
  state.dome = on;
  $('show-dome').checked = on;
  if (on) showDome();
  else {
    domePanel.show(null);
    if (view) view.setDome(null);
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
    sized = math.dome(state.values, state.radius);
    if (view && sized) unit = state.radius === 1 ? sized : math.dome(state.values, 1);
  } catch (error) {
    [sized, unit, problem] = [null, null, error.message];
  }
  if (view) view.setDome(unit);
  domePanel.show({ dome: sized, radius: state.radius, words: state.words, problem });
}

// The radius as it is typed: a wrong one keeps the last good cut list and
// files, with its message beside it.
function typeRadius(word) {
  const read = readRadius(word);
  domePanel.setRadius(word, read.message ?? '');
  if (read.message) return;
  [state.radiusWord, state.radius] = [word, read.value];
  if (state.dome) showDome();
  scheduleLink();
}

// --- Camera and animation -------------------------------------------------------

function currentCamera() {
  if (!view) return linkCamera;
  return { eye: view.camera.position.toArray(), target: controls.target.toArray() };
}

// Sets the camera as gluLookAt does, up +y. The controls take it from here
// when next turned (their update() would round it through spherical
// coordinates, moving it by a rounding error).
function placeCamera({ eye, target }) {
  view.camera.position.set(...eye);
  controls.target.set(...target);
  view.camera.lookAt(controls.target);
}

// Starts the animation from 0 (`a`), or restarts it. Without a view there is
// nothing to watch: the animation's controls are off and say why.
function play() {
  if (!view) return;
  clock.start();
  animatedFrames = 0;
  if (controls) controls.enabled = false;
  showAnimationState();
  requestFrame();
}

// `p`: pauses or resumes the animation; orbiting works while it is paused,
// from where the camera flight stands at the moment of the pause.
function togglePause() {
  if (!view) return;
  clock.togglePause();
  if (clock.mode === 'paused') placeCamera(math.flightCamera(clock.time()));
  if (controls) controls.enabled = clock.mode !== 'animating';
  showAnimationState();
  requestFrame();
  scheduleLink();
}

function showAnimationState() {
  const mode = clock.mode;
  $('play').firstChild.textContent = mode === 'atStart' ? 'Play the animation ' : 'Restart the animation ';
  $('play').disabled = !view;
  $('pause').disabled = !view || (mode !== 'animating' && mode !== 'paused');
  $('pause').setAttribute('aria-pressed', mode === 'paused' ? 'true' : 'false');
  $('pause').firstChild.textContent = mode === 'paused' ? 'Resume ' : 'Pause ';
  showTime(clock.time());
}

function showTime(t) {
  $('animation-time').textContent = `${t.toFixed(1)} s of ${clock.duration}`;
  $('caption').hidden = !recorded || t < recorded.captionFrom;
}

// --- Frames ---------------------------------------------------------------------

function requestFrame() {
  if (framePending || !view) return;
  framePending = true;
  requestAnimationFrame(frame);
}

// One frame: while the animation runs the camera is the camera flight's at this
// instant and the spin follows the clock, as in the program's Scene1.
function frame(now) {
  framePending = false;
  const t = clock.time();
  if (clock.mode === 'animating' || (lastMode === 'animating' && clock.mode === 'finished')) {
    placeCamera(math.flightCamera(t));
    if (clock.mode !== 'animating') {
      // finished: the last frame stays and the controls take over from here
      controls.enabled = true;
      showAnimationState();
      scheduleLink();
    }
    animatedFrames += 1;
    showTime(t);
  }
  lastMode = clock.mode;
  view.setSpin(t * recorded.spinDegreesPerSecond);
  view.render();

  frameTimes.push(now);
  while (frameTimes.length > 0 && frameTimes[0] <= now - 1000) frameTimes.shift();
  if (state.statistics)
    $('statistics').textContent =
      `Frame: ${animatedFrames}, Polygons: ${view.polygonCount()}, Time: ${t.toFixed(1)}\n` +
      `${frameTimes.length} frames in the last second`;
  if (clock.mode === 'animating') requestFrame();
}

// --- The link -------------------------------------------------------------------

let linkTimer = 0;
function scheduleLink() {
  clearTimeout(linkTimer);
  linkTimer = setTimeout(writeLink, kLinkDelay);
}

function isHome(camera) {
  return [...camera.eye, ...camera.target].every((v, k) => v === [...home.eye, ...home.target][k]);
}

function writeLink() {
  clearTimeout(linkTimer);
  const camera = currentCamera();
  const query = writeQuery({ ...state, camera: isHome(camera) ? null : camera, time: clock.time() });
  history.replaceState(null, '', `${location.pathname}${query}${location.hash}`);
}

// The address bar holds the link at once; the clipboard may take its time
// (or ask the user, or refuse).
async function copyLink() {
  writeLink();
  say('share-message', 'The address bar holds the link to this view.', true);
  try {
    await navigator.clipboard.writeText(location.href);
    say('share-message', 'The link to this view is copied.', true);
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
  if (!view) return;
  // Drawn and read in one task: the canvas keeps its picture until then.
  view.render();
  view.renderer.domElement.toBlob((blob) => {
    if (!blob) {
      say('share-message', 'The picture could not be made.');
      return;
    }
    saveFile(blob, 'geodesics.png');
    say('share-message', 'The picture is saved as geodesics.png.', true);
  }, 'image/png');
}

// --- Keys and controls ----------------------------------------------------------

function onKey(event) {
  if (event.ctrlKey || event.metaKey || event.altKey) return;
  const t = event.target;
  if (t instanceof HTMLInputElement && t.type === 'text') return; // typing a value
  // Case-sensitive, as in the program: capitals do nothing.
  const action = {
    a: play, p: togglePause, w: () => setWireFrame(!state.wireFrame), t: () => setStatistics(!state.statistics),
    Escape: state.choice ? () => choose(null) : null,
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
    setFields(math.sceneWords);
    readFields();
  });
  for (const name of kLayerNames)
    $(`show-${name}`).addEventListener('change', () => setLayers({ ...state.layers, [name]: $(`show-${name}`).checked }));
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
  controls = new OrbitControls(view.camera, canvas);
  controls.minDistance = 0.01;
  controls.maxDistance = 400; // inside the far plane at 500
  controls.listenToKeyEvents(canvas); // arrow keys pan while the view has the focus
  controls.addEventListener('change', requestFrame);
  controls.addEventListener('end', scheduleLink);
  wirePicking(canvas);

  const fit = () => {
    const box = $('view').getBoundingClientRect();
    view.resize(Math.max(1, Math.round(box.width)), Math.max(1, Math.round(box.height)), Math.min(window.devicePixelRatio || 1, 2));
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

async function start() {
  // The module is fetched and compiled while the scene is built.
  const mathematics = loadMathematics();
  mathematics.catch(() => {}); // handled where it is awaited, which may be after it fails
  try {
    recorded = await loadRecordedScene();
    $('caption').textContent = recorded.caption;
  } catch (error) {
    showNotice(`The figure cannot be drawn: ${error.message}. ${kNeedsAllFiles} The values and the report still work.`);
    noView = 'the scene could not be loaded';
  }
  // One context, asked for once: making a WebGL context can take a good part
  // of a second with a software renderer.
  const context = recorded && $('canvas').getContext('webgl2', { antialias: false, alpha: false, stencil: false });
  if (context) {
    try {
      view = new GeodesicScene($('canvas'), context, recorded);
    } catch (error) {
      view = null;
      showNotice(`The figure cannot be drawn here: ${error.message}. The values and the report still work.`);
      noView = 'the figure cannot be drawn here';
    }
  } else if (recorded) {
    showNotice('This page draws the figure with WebGL 2, which this browser does not offer or has turned off. ' +
      'The four values and the value report beside it still work.');
    noView = 'this browser offers no WebGL 2';
  }
  if (!view) $('save-picture').disabled = true;
  // The shader program compiles while the mathematics still loads.
  else view.renderer.compile(view.scene, view.camera);
  try {
    math = await mathematics;
  } catch (error) {
    showNotice(`The figure's mathematics could not be loaded: ${error.message}. ${kNeedsAllFiles}`);
    return;
  }

  clock = new AnimationClock(math.animationSeconds);
  const scene = { words: math.sceneWords, values: math.sceneValues, animationSeconds: math.animationSeconds };
  const { state: link, messages } = readQuery(location.search, scene, (k, w) => math.parseValue(k, w), (v) => math.intersections(v));
  panel = new IntersectionsPanel({
    section: $('intersections'), summary: $('intersections-summary'), circles: $('circle-list'),
    pointsFrame: $('point-frame'), points: $('point-rows'), chosen: $('chosen'), status: $('choice-status'),
  }, choose);
  domePanel = new DomePanel({
    section: $('dome'), radius: $('dome-radius'), radiusMessage: $('dome-radius-message'), summary: $('dome-summary'),
    cutList: $('cut-list'), stl: $('download-stl'), gltf: $('download-gltf'), fileMessage: $('dome-file-message'),
  }, { radiusTyped: typeRadius, save: saveFile });
  wirePanel();
  // The link's words fill the fields even when they are wrong, beside their
  // messages; the figure is the last good one, the scene's when there is none.
  setFields(link.words);
  link.words.forEach((_, k) => {
    say(`message-${k}`, messages.pentagons[k]);
    valueField(k).setAttribute('aria-invalid', messages.pentagons[k] ? 'true' : 'false');
  });
  say('pentagons-message', messages.pentagonCount);
  if (link.values) setFigure(link.words, link.values);
  else setFigure(math.sceneWords, math.sceneValues);
  // The radius from the link, as typed, with its message beside it; the cut
  // list's is the last good one, the default when the link's is wrong.
  [state.radiusWord, state.radius] = link.radius !== null ? [link.radiusWord, link.radius]
    : [kDefaultRadiusWord, readRadius(kDefaultRadiusWord).value];
  domePanel.setRadius(link.radiusWord, link.dome ? messages.radius : '');
  say('show-message', [messages.layers, messages.wireFrame, messages.statistics, messages.intersections, messages.choice,
    messages.dome, link.dome ? '' : messages.radius].filter(Boolean).join(' '));
  const noAnimation = view ? '' : `The animation plays in the figure, which is not drawn: ${noView}.`;
  say('animation-message', [messages.time, noAnimation].filter(Boolean).join(' '));
  say('share-message', messages.camera);

  home = math.flightCamera(0);
  linkCamera = link.camera ?? home;
  clock.restore(link.time);
  lastMode = clock.mode;
  if (view) {
    wireView();
    placeCamera(linkCamera);
  }
  setLayers(link.layers);
  setWireFrame(link.wireFrame);
  setStatistics(link.statistics);
  state.choice = link.choice;
  setIntersections(link.intersections);
  setDome(link.dome);
  showAnimationState();

  // The first frame now, so that the page is ready when it says so.
  if (view) {
    view.setSpin(clock.time() * recorded.spinDegreesPerSecond);
    view.render();
  }
  // For the console and for scripted checks: the live objects, read-only by convention.
  window.geodesics = { math, view, controls, clock, state, domePanel };
  performance.mark('geodesics-ready');
  document.documentElement.dataset.ready = 'true';
}

start();
