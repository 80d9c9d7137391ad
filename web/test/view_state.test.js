// Links (web/src/view_state.js) and the animation clock (web/src/animation_clock.js):
// a state survives the trip through a query exactly; each wrong part of a
// query is refused alone, with its own message; the clock keeps the
// program's modes.
import assert from 'node:assert/strict';
import { before, describe, test } from 'node:test';

import { loadSiteMathematics, pageModule } from './support.js';

let views;
let AnimationClock;
let math; // the readers, the scene's words and the animation's length
let sceneWords;
before(async () => {
  const [v, c, m] = await Promise.all([
    pageModule('src/view_state.js'),
    pageModule('src/animation_clock.js'),
    loadSiteMathematics(),
  ]);
  [views, AnimationClock, math] = [v, c.AnimationClock, m];
  sceneWords = math.sceneWords;
});

const read = (query) => views.readQuery(query, math);
const write = (state) => views.writeQuery(state, '50');
const noMessages = {
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

describe('links', () => {
  test('an empty query is the scene as the program opens it, and writes back as the pentagons alone', () => {
    const { state, messages } = read('');
    assert.deepEqual(messages, noMessages);
    assert.deepEqual(state.values, [0.97531795, 0.1, 0.630991, 0.1].map(Math.fround));
    assert.deepEqual(state.layers, { cylinder: true, circles: true, curves: true, points: true });
    assert.equal(write(state), '?pentagons=0.97531795,0.1,0.630991,0.1');
  });

  test('every part of a state comes back exactly, the camera and the time to the last bit', () => {
    const state = {
      words: ['-0.25', '+3e-1', '0.5', '12'],
      layers: { cylinder: false, circles: true, curves: false, points: true },
      wireFrame: true,
      statistics: true,
      camera: { eye: [0.1 + 0.2, -2.000000000000001, 1e-7], target: [0, 1 / 3, 0] },
      time: 37.12345678901234,
      intersections: true,
      choice: { kind: 'point', index: 89 },
      dome: true,
      radiusWord: '+2.5e3',
      radius: 2500,
    };
    const query = write(state);
    assert.match(
      query,
      /^\?pentagons=-0\.25,%2B3e-1,0\.5,12&show=circles,points&wire=1&stats=1&camera=.*&intersections=1&point=89&dome=1&radius=%2B2\.5e3$/,
    );
    const { state: back, messages } = read(query);
    assert.deepEqual(messages, noMessages);
    assert.deepEqual({ ...back, values: undefined }, { ...state, values: undefined });
    assert.deepEqual(back.values, [-0.25, 0.3, 0.5, 12].map(Math.fround));
    assert.deepEqual(read('?show=').state.layers, { cylinder: false, circles: false, curves: false, points: false });
    const circle = { ...state, choice: { kind: 'circle', index: 9 } };
    assert.deepEqual(read(write(circle)).state.choice, circle.choice);
    // no choice is written without the intersections it is among, no radius
    // without the dome, nor the radius a page opens with
    assert.doesNotMatch(write({ ...circle, intersections: false, dome: false }), /intersections|circle=|dome|radius/);
    assert.doesNotMatch(write({ ...state, radiusWord: '50', radius: 50 }), /radius/);
  });

  test('each wrong part is refused alone, with its message, and the rest applies', () => {
    const cases = [
      ['pentagons=0.5,1', 'pentagonCount', /gives 2 values/],
      ['pentagons=1,2,3,4,5', 'pentagonCount', /gives 5 values/],
      ['show=cylinder,sphere', 'layers', /no layer 'sphere'/],
      ['wire=yes', 'wireFrame', /'yes'/],
      ['stats=2', 'statistics', /'2'/],
      ['camera=1,2,3,4,5', 'camera', /six numbers/],
      ['camera=1,2,3,1,2,3', 'camera', /different target/],
      ['camera=0,0,101,0,0,0', 'camera', /-100 to 100/],
      ['camera=0,0,Infinity,0,0,0', 'camera', /six/],
      ['camera=0,0,0x3,0,0,0', 'camera', /six/],
      ['camera=0,0,,0,0,0', 'camera', /six/],
      ['t=-1', 'time', /0 to 150/],
      ['t=150.5', 'time', /0 to 150/],
      ['t=soon', 'time', /'soon'/],
      ['intersections=yes', 'intersections', /'yes'.*0 or 1/],
      ['dome=on', 'dome', /'on'.*0 or 1/],
      ['radius=20', 'radius', /radius= is the dome's, which it does not show \(dome=1\)\. The radius is 50 mm/],
    ];
    for (const [part, key, pattern] of cases) {
      // the first of two values of one name counts
      const { state, messages } = read(`?${part}&pentagons=0.2,1,0.3,2`);
      assert.deepEqual(messages, { ...noMessages, [key]: messages[key] }, part);
      assert.match(messages[key], pattern, part);
      assert.deepEqual(state.words, key === 'pentagonCount' ? sceneWords : ['0.2', '1', '0.3', '2'], part);
    }
  });

  // The reader itself is the tool's, word for word (mathematics.test.js).
  test("the dome's radius is read by the tool's reader; a wrong one keeps its word beside its reason", () => {
    for (const word of ['2500', '+2.5e3', '1e6', '0x10', '0', '1e400', 'Infinity', ' 5', '']) {
      const { state, messages } = read(`?dome=1&radius=${encodeURIComponent(word)}`);
      const expected = math.parseRadius(word);
      assert.deepEqual({ ...messages, radius: '' }, noMessages, word);
      assert.equal(state.radiusWord, word, "a wrong word is kept, as a value's is");
      assert.deepEqual([messages.radius, state.radius], [expected.message ?? '', expected.value ?? null], word);
    }
    assert.match(read('?dome=1&radius=0x10').messages.radius, /^Radius '0x10' is not a number$/);
    // absent, the radius is the report tool's for its solid
    assert.deepEqual([read('?dome=1').state.radiusWord, read('?dome=1').state.radius], ['50', 50]);
  });

  test("a wrong value keeps its word, gets the report tool's message, and leaves no values", () => {
    const { state, messages } = read('?pentagons=0.5,1,1.5,x');
    assert.deepEqual([state.words, state.values], [['0.5', '1', '1.5', 'x'], null]);
    assert.deepEqual(messages.pentagons, ['', '', math.parseValue(2, '1.5').message, "LONG2 'x' is not a number"]);
    // '+' in a query is a space, as in any form
    assert.equal(read('?pentagons=+0.5,1,0.5,1').messages.pentagons[0], "LAT1 ' 0.5' is not a number");
  });
});

describe('a chosen point or circle in a link', () => {
  test('is checked against the points and circles of the values shown, each wrong one refused with its reason', () => {
    // [query, the choice kept, or the message's pattern]. The scene's values
    // have 90 points, pentagon 1 at a pole leaves 20, both at poles none;
    // values that are wrong leave the scene's figure, and its points.
    const cases = [
      ['intersections=1&point=89', { kind: 'point', index: 89 }],
      ['intersections=1&point=0', { kind: 'point', index: 0 }],
      ['intersections=1&point=90', /'90'; it needs a point of the list, 0 to 89/],
      ['intersections=1&circle=0', { kind: 'circle', index: 0 }],
      ['intersections=1&circle=9', { kind: 'circle', index: 9 }],
      ['pentagons=1,0,0.5,0&intersections=1&point=19', { kind: 'point', index: 19 }],
      ['pentagons=1,0,0.5,0&intersections=1&point=20', /0 to 19/],
      ['pentagons=1,0,0.5,0&intersections=1&circle=4', /circle 1\.4, which has no plane: pentagon 1 is at a pole/],
      ['pentagons=1,0,0.5,0&intersections=1&circle=5', { kind: 'circle', index: 5 }],
      ['pentagons=1,0,-1,0&intersections=1&point=0', /no points where circles meet/],
      ['pentagons=2,0,0.5,0&intersections=1&point=89', { kind: 'point', index: 89 }],
      ['point=3', /which it does not show \(intersections=1\)/],
      ['intersections=0&circle=3', /does not show/],
      ['intersections=1&point=1&circle=2', /both point= and circle=/],
    ];
    for (const word of ['-1', '1.5', '+1', ' 1', '', 'x', '1e1', '0x1', '99999999999'])
      cases.push([`intersections=1&point=${encodeURIComponent(word)}`, /it needs a point/]);
    for (const word of ['10', '-1', '01', '1.0', '', 'c'])
      cases.push([`intersections=1&circle=${encodeURIComponent(word)}`, /needs a circle from 0 to 9/]);
    for (const [query, expected] of cases) {
      const { state, messages } = read(`?${query}`);
      const others = { ...messages, choice: '', pentagons: ['', '', '', ''] };
      assert.deepEqual(others, noMessages, query);
      if (expected instanceof RegExp) {
        assert.match(messages.choice, expected, query);
        assert.equal(state.choice, null, query);
      } else assert.deepEqual([messages.choice, state.choice], ['', expected], query);
    }
  });
});

describe('animation clock', () => {
  test('a runs it from 0, p pauses and resumes, 150 s finishes it, a restarts it', () => {
    let now = 0;
    const clock = new AnimationClock(150, () => now);
    const state = () => [clock.mode, clock.time()];
    clock.togglePause(); // nothing to pause yet
    assert.deepEqual(state(), ['atStart', 0]);
    now = 1000;
    clock.start();
    now = 11000;
    assert.deepEqual(state(), ['animating', 10]);
    clock.togglePause();
    now = 50000; // paused time does not count
    assert.deepEqual(state(), ['paused', 10]);
    clock.togglePause();
    now = 52500;
    assert.deepEqual(state(), ['animating', 12.5]);
    now = 1000000;
    assert.deepEqual(state(), ['finished', 150]);
    clock.togglePause();
    assert.deepEqual(state(), ['finished', 150]);
    clock.start();
    assert.deepEqual(state(), ['animating', 0]);
  });

  test('a link restores it at start, paused, or finished', () => {
    let now = 0;
    const clock = new AnimationClock(150, () => now);
    for (const [t, mode] of [
      [0, 'atStart'],
      [60, 'paused'],
      [150, 'finished'],
      [60, 'paused'],
    ]) {
      clock.restore(t);
      assert.deepEqual([clock.mode, clock.time()], [mode, t]);
    }
    clock.togglePause();
    now = 1000;
    assert.equal(clock.time(), 61);
  });
});
