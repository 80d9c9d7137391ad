// What a link holds: the page's state as a URL query and back.
//
//   pentagons=LAT1,LONG1,LAT2,LONG2   the four values, as typed
//   show=cylinder,circles,curves,points   the layers shown (absent: all;
//                                     empty: none)
//   wire=1                            polygons as outlines
//   stats=1                           the statistics line
//   camera=EX,EY,EZ,TX,TY,TZ          eye and target (absent: the home view)
//   t=SECONDS                         animation time, 0 to its end (150 s;
//                                     absent: 0): the spin, and where a
//                                     paused animation resumes
//
// Reading a query never throws: each part that is wrong leaves its default in
// place and yields a message saying what was wrong with it. The four values
// are read by the report tool's own reader (passed in as `parseValue`); the
// scene's values and the animation's length come from the mathematics too.

export const kLayerNames = ['cylinder', 'circles', 'curves', 'points'];
export const kCameraLimit = 100; // world units, each coordinate of a link's camera

export function defaultState(sceneWords) {
  return {
    words: [...sceneWords],
    values: null, // set from `words` by whoever reads them
    layers: { cylinder: true, circles: true, curves: true, points: true },
    wireFrame: false,
    statistics: false,
    camera: null,
    time: 0,
  };
}

// A decimal number as a person writes one; JavaScript's Number() would also
// take '', ' ', '0x10' and 'Infinity'.
const kDecimal = /^[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?$/;
function decimal(word) {
  if (!kDecimal.test(word)) return NaN;
  const v = Number(word);
  return Number.isFinite(v) ? v : NaN;
}

function quote(word) {
  return word.length > 32 ? `'${word.slice(0, 32)}...'` : `'${word}'`;
}

// Reads `search` (location.search, with or without '?') against `scene`,
// { words: the scene's four values as typed, animationSeconds }. Returns
//   state        defaults where the query is absent or wrong; `values` holds
//                the four numbers when all four words are good, else null
//   messages     { pentagons: [four messages, '' for a good word],
//                  pentagonCount, layers, wireFrame, statistics, camera,
//                  time } — '' where there is nothing to say
export function readQuery(search, scene, parseValue) {
  const query = new URLSearchParams(search);
  const state = defaultState(scene.words);
  const messages = {
    pentagons: ['', '', '', ''],
    pentagonCount: '',
    layers: '',
    wireFrame: '',
    statistics: '',
    camera: '',
    time: '',
  };

  if (query.has('pentagons')) {
    const words = query.get('pentagons').split(',');
    if (words.length !== 4)
      messages.pentagonCount =
        `The link gives ${words.length} value${words.length === 1 ? '' : 's'} in pentagons=; ` +
        'it needs four, LAT1,LONG1,LAT2,LONG2. The scene\'s pentagons are shown.';
    else state.words = words;
  }
  const values = [];
  state.words.forEach((word, k) => {
    const read = parseValue(k, word);
    if (read.message) messages.pentagons[k] = read.message;
    else values.push(read.value);
  });
  if (values.length === 4) state.values = values;

  if (query.has('show')) {
    const names = query.get('show').split(',').filter((n) => n !== '');
    const unknown = names.filter((n) => !kLayerNames.includes(n));
    if (unknown.length > 0)
      messages.layers = `The link's show= names no layer ${quote(unknown[0])}; the layers are ${kLayerNames.join(', ')}.`;
    else for (const layer of kLayerNames) state.layers[layer] = names.includes(layer);
  }

  const flag = (name, key, label) => {
    if (!query.has(name)) return;
    const word = query.get(name);
    if (word === '1' || word === '0') state[key] = word === '1';
    else messages[key] = `The link's ${name}= is ${quote(word)}; ${label} needs 0 or 1.`;
  };
  flag('wire', 'wireFrame', 'the wire frame');
  flag('stats', 'statistics', 'the statistics line');

  if (query.has('camera')) {
    const numbers = query.get('camera').split(',').map(decimal);
    const inRange = numbers.length === 6 && numbers.every((v) => Math.abs(v) <= kCameraLimit);
    const apart = inRange && numbers.slice(0, 3).some((v, k) => v !== numbers[k + 3]);
    if (apart) state.camera = { eye: numbers.slice(0, 3), target: numbers.slice(3, 6) };
    else
      messages.camera =
        'The link\'s camera= needs six numbers from -100 to 100, the eye\'s x,y,z then ' +
        'a different target\'s x,y,z. The home view is shown.';
  }

  if (query.has('t')) {
    const t = decimal(query.get('t'));
    if (t >= 0 && t <= scene.animationSeconds) state.time = t;
    else
      messages.time = `The link's t= is ${quote(query.get('t'))}; it needs a time from 0 to ${scene.animationSeconds} seconds.`;
  }
  return { state, messages };
}

// The query for `state` ('?...'), defaults left out but for the pentagons.
// Numbers are written in full (JavaScript's shortest exact form), so a link
// reopens on exactly the same camera.
export function writeQuery(state) {
  const parts = [`pentagons=${state.words.map(encodeURIComponent).join(',')}`];
  const shown = kLayerNames.filter((n) => state.layers[n]);
  if (shown.length < kLayerNames.length) parts.push(`show=${shown.join(',')}`);
  if (state.wireFrame) parts.push('wire=1');
  if (state.statistics) parts.push('stats=1');
  if (state.camera) parts.push(`camera=${[...state.camera.eye, ...state.camera.target].join(',')}`);
  if (state.time > 0) parts.push(`t=${state.time}`);
  return `?${parts.join('&')}`;
}
