// Links (web/src/view_state.js) and the animation clock (web/src/flight_clock.js):
// a state survives the trip through a query exactly; each wrong part of a
// query is refused alone, with its own message; the clock keeps the
// program's modes.
import assert from 'node:assert/strict';
import { before, describe, test } from 'node:test';

import { loadSiteMathematics, site } from './support.js';

const sceneWords = ['0.97531795', '0.1', '0.630991', '0.1'];
let views;
let clocks;
let parse;
before(async () => {
  views = await site('src/view_state.js');
  clocks = await site('src/flight_clock.js');
  const math = await loadSiteMathematics();
  parse = (k, w) => math.parseValue(k, w);
});

const read = (query) => views.readQuery(query, sceneWords, parse);
const noMessages = { pentagons: ['', '', '', ''], pentagonCount: '', layers: '', wireFrame: '', statistics: '', camera: '', time: '' };

describe('links', () => {
  test('an empty query is the scene as the program opens it', () => {
    const { state, messages } = read('');
    assert.deepEqual(messages, noMessages);
    assert.deepEqual(state.words, sceneWords);
    assert.deepEqual(state.values, [0.97531795, 0.1, 0.630991, 0.1].map(Math.fround));
    assert.deepEqual(state.layers, { cylinder: true, circles: true, curves: true, points: true });
    assert.equal(state.camera, null);
    assert.equal(views.writeQuery(state), '?pentagons=0.97531795,0.1,0.630991,0.1');
  });

  test('every part of a state comes back exactly, camera and time to the last bit', () => {
    const state = {
      words: ['-0.25', '+3e-1', '0.5', '12'],
      layers: { cylinder: false, circles: true, curves: false, points: true },
      wireFrame: true,
      statistics: true,
      camera: { eye: [0.1 + 0.2, -2.000000000000001, 1e-7], target: [0, 0.3333333333333333, -0] },
      time: 37.12345678901234,
    };
    const query = views.writeQuery(state);
    assert.match(query, /^\?pentagons=-0\.25,%2B3e-1,0\.5,12&show=circles,points&wire=1&stats=1&camera=/);
    const { state: back, messages } = read(query);
    assert.deepEqual(messages, noMessages);
    for (const key of ['words', 'layers', 'wireFrame', 'statistics', 'time']) assert.deepEqual(back[key], state[key], key);
    assert.deepEqual([...back.camera.eye, ...back.camera.target], [...state.camera.eye, ...state.camera.target].map((v) => v + 0));
    assert.deepEqual(back.values, [-0.25, 0.3, 0.5, 12].map(Math.fround));
  });

  test('show= with nothing after it hides every layer', () => {
    assert.deepEqual(read('?show=').state.layers, { cylinder: false, circles: false, curves: false, points: false });
  });

  test('each wrong part is refused alone, with a message, and the rest applies', () => {
    const cases = [
      ['pentagons=0.5,1', 'pentagonCount', /gives 2 values/],
      ['pentagons=0.5,1,2,3,4', 'pentagonCount', /gives 5 values/],
      ['show=cylinder,sphere', 'layers', /no layer 'sphere'/],
      ['wire=yes', 'wireFrame', /wire= is 'yes'/],
      ['stats=2', 'statistics', /stats= is '2'/],
      ['camera=1,2,3,4,5', 'camera', /six numbers/],
      ['camera=1,2,3,1,2,3', 'camera', /different target/],
      ['camera=0,0,101,0,0,0', 'camera', /-100 to 100/],
      ['camera=0,0,Infinity,0,0,0', 'camera', /six numbers/],
      ['camera=0,0,0x3,0,0,0', 'camera', /six numbers/],
      ['camera=0,0,,0,0,0', 'camera', /six numbers/],
      ['t=-1', 'time', /from 0 to 150/],
      ['t=150.5', 'time', /from 0 to 150/],
      ['t=soon', 'time', /'soon'/],
    ];
    for (const [part, key, pattern] of cases) {
      // a link's first value of a name counts: the pentagons after it are ignored
      // when the case is about the pentagons
      const { state, messages } = read(`?${part}&pentagons=0.2,1,0.3,2`);
      assert.match(messages[key], pattern, part);
      for (const other of Object.keys(noMessages))
        if (other !== key) assert.deepEqual(messages[other], noMessages[other], `${part}: ${other}`);
      if (key !== 'pentagonCount') assert.deepEqual(state.words, ['0.2', '1', '0.3', '2'], part);
      else assert.deepEqual(state.words, sceneWords, part);
    }
  });

  test("a wrong value keeps its word for its field, with the report tool's message, and no values", () => {
    const { state, messages } = read('?pentagons=0.5,1,1.5,x');
    assert.deepEqual(state.words, ['0.5', '1', '1.5', 'x']);
    assert.equal(state.values, null);
    assert.deepEqual(messages.pentagons, ['', '', parse(2, '1.5').message, "LONG2 'x' is not a number"]);
  });

  test("a '+' in a query is a space, as in any form: the value is not a number", () => {
    const { messages } = read('?pentagons=+0.5,1,0.5,1');
    assert.equal(messages.pentagons[0], "LAT1 ' 0.5' is not a number");
  });
});

describe('animation clock', () => {
  let now;
  let clock;
  const at = (ms) => {
    now = ms;
  };
  const make = () => {
    now = 0;
    clock = new clocks.FlightClock(() => now);
  };

  test('a: runs from 0; p pauses and resumes; the pause does not count', () => {
    make();
    assert.equal(clock.mode, 'atStart');
    clock.togglePause(); // nothing to pause yet
    assert.equal(clock.mode, 'atStart');
    at(1000);
    clock.start();
    at(11000);
    assert.equal(clock.time(), 10);
    clock.togglePause();
    at(50000);
    assert.deepEqual([clock.mode, clock.time()], ['paused', 10]);
    clock.togglePause();
    at(52500);
    assert.deepEqual([clock.mode, clock.time()], ['animating', 12.5]);
    clock.start();
    assert.equal(clock.time(), 0);
  });

  test('at 150 s the animation has finished, stays there, and a restarts it', () => {
    make();
    clock.start();
    at(149999);
    assert.equal(clock.mode, 'animating');
    at(150001);
    assert.deepEqual([clock.time(), clock.mode], [150, 'finished']);
    at(400000);
    clock.togglePause();
    assert.deepEqual([clock.time(), clock.mode], [150, 'finished']);
    clock.start();
    assert.equal(clock.mode, 'animating');
  });

  test('a link restores the clock at start, paused, or finished', () => {
    make();
    for (const [t, mode] of [[0, 'atStart'], [60, 'paused'], [150, 'finished']]) {
      clock.restore(t);
      assert.deepEqual([clock.time(), clock.mode], [t, mode]);
    }
    clock.restore(60);
    clock.togglePause();
    at(1000);
    assert.equal(clock.time(), 61);
  });
});
