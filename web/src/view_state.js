// What a link holds: the page's state as a URL query and back.
//
//   pentagons=LAT1,LONG1,LAT2,LONG2   the four values, as typed
//   show=cylinder,circles,curves,points   the layers shown (absent: all;
//                                     empty: none)
//   wire=1                            polygons as outlines
//   stats=1                           the statistics line
//   intersections=1                   every point where the circles meet, and
//                                     the panel that lists them
//   point=K | circle=C                what is chosen among them: point K of
//                                     the list (0 on), or circle C (0 to 9,
//                                     5 (pentagon - 1) + edge); needs
//                                     intersections=1
//   dome=1                            the dome the circles build, in place of
//                                     the brown sphere, and its cut list
//   radius=R                          the dome's radius in millimetres, as
//                                     typed (absent: 50); needs dome=1
//   camera=EX,EY,EZ,TX,TY,TZ          eye and target (absent: the home view)
//   t=SECONDS                         animation time, 0 to its end (150 s;
//                                     absent: 0): the spin, and where a
//                                     paused animation resumes
//
// Reading a query never throws: each part that is wrong leaves its default in
// place and yields a message saying what was wrong with it. The four values
// and the radius are read by the report tool's own readers, in the
// mathematics (web/src/geodesics.js), which also gives the scene's values,
// the radius where none is given, the animation's length, and the points
// and circles a choice is checked against.

export const kLayerNames = ['cylinder', 'circles', 'curves', 'points'];
export const kCameraLimit = 100; // world units, each coordinate of a link's camera

// `scene`: the scene's four values as typed (sceneWords) and the radius
// where none is given (defaultRadiusWord).
export function defaultState({ sceneWords, defaultRadiusWord }, parseRadius) {
  return {
    words: [...sceneWords],
    values: null, // set from `words` by whoever reads them
    layers: { cylinder: true, circles: true, curves: true, points: true },
    wireFrame: false,
    statistics: false,
    camera: null,
    time: 0,
    intersections: false,
    choice: null, // { kind: 'point' | 'circle', index }
    dome: false,
    radiusWord: defaultRadiusWord, // as typed
    radius: parseRadius(defaultRadiusWord).value, // millimetres; null when radiusWord is wrong
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

// Reads `search` (location.search, with or without '?') with `math`, the
// mathematics (Mathematics of web/src/geodesics.js: its readers parseValue
// and parseRadius, sceneWords, sceneValues, defaultRadiusWord,
// animationSeconds, and intersections(values), which a chosen point or
// circle must be among for the values shown: the link's, or the scene's when
// the link's are wrong). Returns
//   state        defaults where the query is absent or wrong; `values` holds
//                the four numbers when all four words are good, else null
//   messages     { pentagons: [four messages, '' for a good word],
//                  pentagonCount, layers, wireFrame, statistics, camera,
//                  time, intersections, choice, dome, radius } — '' where
//                  there is nothing to say
export function readQuery(search, math) {
  const query = new URLSearchParams(search);
  const state = defaultState(math, (word) => math.parseRadius(word));
  const messages = {
    pentagons: ['', '', '', ''],
    pentagonCount: '',
    layers: '',
    wireFrame: '',
    statistics: '',
    camera: '',
    time: '',
    intersections: '',
    choice: '',
    dome: '',
    radius: '',
  };
  const read = { query, state, messages, math };
  readPentagons(read);
  readLayers(read);
  for (const [name, key, label] of kFlags) readFlag(read, name, key, label);
  readCamera(read);
  readTime(read);
  if (query.has('point') || query.has('circle')) {
    const choice = readChoice(query, state.intersections, () => math.intersections(state.values ?? math.sceneValues));
    if (choice.message) messages.choice = choice.message;
    else state.choice = choice.choice;
  }
  readRadius(read);
  return { state, messages };
}

// The parts of a query, each into `state` or its message, `read` being
// { query, state, messages, math }.

function readPentagons({ query, state, messages, math }) {
  if (query.has('pentagons')) {
    const words = query.get('pentagons').split(',');
    if (words.length !== 4)
      messages.pentagonCount =
        `The link gives ${words.length} value${words.length === 1 ? '' : 's'} in pentagons=; ` +
        "it needs four, LAT1,LONG1,LAT2,LONG2. The scene's pentagons are shown.";
    else state.words = words;
  }
  const values = [];
  state.words.forEach((word, k) => {
    const read = math.parseValue(k, word);
    if (read.message) messages.pentagons[k] = read.message;
    else values.push(read.value);
  });
  if (values.length === 4) state.values = values;
}

function readLayers({ query, state, messages }) {
  if (!query.has('show')) return;
  const names = query
    .get('show')
    .split(',')
    .filter((n) => n !== '');
  const unknown = names.filter((n) => !kLayerNames.includes(n));
  if (unknown.length > 0)
    messages.layers = `The link's show= names no layer ${quote(unknown[0])}; the layers are ${kLayerNames.join(', ')}.`;
  else for (const layer of kLayerNames) state.layers[layer] = names.includes(layer);
}

// The flags a link may hold: its name, the state's key, what it turns on.
const kFlags = [
  ['wire', 'wireFrame', 'the wire frame'],
  ['stats', 'statistics', 'the statistics line'],
  ['intersections', 'intersections', 'showing the intersections'],
  ['dome', 'dome', 'showing the dome'],
];

function readFlag({ query, state, messages }, name, key, label) {
  if (!query.has(name)) return;
  const word = query.get(name);
  if (word === '1' || word === '0') state[key] = word === '1';
  else messages[key] = `The link's ${name}= is ${quote(word)}; ${label} needs 0 or 1.`;
}

function readCamera({ query, state, messages }) {
  if (!query.has('camera')) return;
  const numbers = query.get('camera').split(',').map(decimal);
  const inRange = numbers.length === 6 && numbers.every((v) => Math.abs(v) <= kCameraLimit);
  const apart = inRange && numbers.slice(0, 3).some((v, k) => v !== numbers[k + 3]);
  if (apart) state.camera = { eye: numbers.slice(0, 3), target: numbers.slice(3, 6) };
  else
    messages.camera =
      "The link's camera= needs six numbers from -100 to 100, the eye's x,y,z then " +
      "a different target's x,y,z. The home view is shown.";
}

function readTime({ query, state, messages, math }) {
  if (!query.has('t')) return;
  const t = decimal(query.get('t'));
  if (t >= 0 && t <= math.animationSeconds) state.time = t;
  else
    messages.time = `The link's t= is ${quote(query.get('t'))}; it needs a time from 0 to ${math.animationSeconds} seconds.`;
}

// A wrong radius keeps its word, as a wrong value does, beside its message.
function readRadius({ query, state, messages, math }) {
  if (!query.has('radius')) return;
  const word = query.get('radius');
  const read = math.parseRadius(word);
  if (!state.dome)
    messages.radius = `The link's radius= is the dome's, which it does not show (dome=1). The radius is ${math.defaultRadiusWord} mm.`;
  else {
    state.radiusWord = word;
    state.radius = read.value ?? null;
    messages.radius = read.message ?? '';
  }
}

// The link's point= or circle=: { choice } or { message }. `shown`: whether
// the link shows the intersections; `computed()` gives them.
function readChoice(query, shown, computed) {
  if (query.has('point') && query.has('circle'))
    return { message: 'The link gives both point= and circle=; one thing is chosen at a time. Nothing is chosen.' };
  const kind = query.has('point') ? 'point' : 'circle';
  const word = query.get(kind);
  if (!shown)
    return {
      message: `The link's ${kind}= chooses among the intersections, which it does not show (intersections=1). Nothing is chosen.`,
    };
  const { points, circles } = computed();
  if (kind === 'point') {
    const index = /^\d{1,9}$/.test(word) ? Number(word) : -1;
    if (index >= 0 && index < points.length) return { choice: { kind, index } };
    const range =
      points.length === 0
        ? 'these values have no points where circles meet'
        : `it needs a point of the list, 0 to ${points.length - 1}`;
    return { message: `The link's point= is ${quote(word)}; ${range}. Nothing is chosen.` };
  }
  const index = /^\d$/.test(word) ? Number(word) : -1;
  if (index < 0)
    return {
      message: `The link's circle= is ${quote(word)}; it needs a circle from 0 to 9 (circle p.i is 5 (p - 1) + i). Nothing is chosen.`,
    };
  if (!circles[index].live)
    return {
      message: `The link's circle= is ${index}, circle ${circles[index].label}, which has no plane: pentagon ${circles[index].label[0]} is at a pole. Nothing is chosen.`,
    };
  return { choice: { kind, index } };
}

// The query for `state` ('?...'), defaults left out but for the pentagons
// (`defaultRadiusWord`: the radius where none is given). Numbers are written
// in full (JavaScript's shortest exact form), so a link reopens on exactly
// the same camera.
export function writeQuery(state, defaultRadiusWord) {
  const parts = [`pentagons=${state.words.map(encodeURIComponent).join(',')}`];
  const shown = kLayerNames.filter((n) => state.layers[n]);
  if (shown.length < kLayerNames.length) parts.push(`show=${shown.join(',')}`);
  if (state.wireFrame) parts.push('wire=1');
  if (state.statistics) parts.push('stats=1');
  if (state.camera) parts.push(`camera=${[...state.camera.eye, ...state.camera.target].join(',')}`);
  if (state.time > 0) parts.push(`t=${state.time}`);
  if (state.intersections) parts.push('intersections=1');
  if (state.intersections && state.choice) parts.push(`${state.choice.kind}=${state.choice.index}`);
  if (state.dome) parts.push('dome=1');
  if (state.dome && state.radiusWord !== defaultRadiusWord)
    parts.push(`radius=${encodeURIComponent(state.radiusWord)}`);
  return `?${parts.join('&')}`;
}
