// The page's mathematics (the WebAssembly module the site serves) against the
// report tool built from the same C++ for this machine: every number of
// `geodesic-report --format json`, the text report, the value reader's
// messages, and the camera flight at its checkpoints.
//
// Why not every bit: the C++ takes sin, cos and atan of floats from the C
// library, and the two C libraries round differently. Emscripten's gives the
// correctly rounded float; glibc's sinf and cosf do not always (sin(2.576106f),
// sample 41 of every curve, is 0.5358267143...: glibc says 0.535826683, the
// page 0.535826743), and glibc picks its FMA or SSE2 code by processor. So the
// numbers that pass through those functions may differ by a float step or two,
// and by more where the formulas divide by a small number; everything else is
// compared bit for bit, and most numbers must be bit-identical (a second
// implementation in double precision would match almost none).
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { before, describe, test } from 'node:test';

import { loadSiteMathematics, reportTool, seededRandom } from './support.js';

let math;
before(async () => {
  math = await loadSiteMathematics();
});

function runTool(args) {
  const run = spawnSync(reportTool, args, { encoding: 'utf8', maxBuffer: 1 << 26 });
  if (run.error) throw run.error;
  return run;
}

// Four words for one random argument set: heights across -1 to 1 (the poles
// and the equator among them), longitudes in radians well past a full turn,
// written with 1 to 9 significant digits or in exponent form.
function randomWords(random) {
  const pick = (list) => list[Math.floor(random() * list.length)];
  const write = (v) => (random() < 0.15 ? v.toExponential(Math.floor(random() * 6)) : v.toPrecision(1 + Math.floor(random() * 9)));
  const height = () => (random() < 0.1 ? pick(['1', '-1', '0', '-0', '1e-40', '0.99999994']) : write(2 * random() - 1));
  const longitude = () => (random() < 0.05 ? pick(['0', '1e4', '-31.4159']) : write(20 * random() - 10));
  return [height(), longitude(), height(), longitude()];
}

function valuesOf(words) {
  return words.map((word, k) => {
    const read = math.parseValue(k, word);
    assert.equal(read.message, undefined, `${word} should be a good value`);
    return read.value;
  });
}

// One number of the JSON (nine significant digits, which read back as the
// same float; null for no finite value) against the page's. `tolerance` 0:
// bit for bit; otherwise the largest difference the C libraries' rounding can
// explain (see the top of this file).
class comparison {
  constructor() {
    this.numbers = 0;
    this.inexact = 0;
    this.problems = [];
  }
  float(json, page, where, tolerance = 0) {
    this.numbers += 1;
    if (json === null) {
      if (Number.isFinite(page)) this.problems.push(`${where}: report null, page ${page}`);
      return;
    }
    if (Math.fround(json) === page) return;
    this.inexact += 1;
    if (!(Math.abs(json - page) <= tolerance)) this.problems.push(`${where}: report ${json}, page ${page}`);
  }
  vector(json, page, offset, where, tolerance) {
    for (let k = 0; k < 3; ++k) this.float(json[k], page[offset + k], `${where}[${k}]`, tolerance);
  }
}

// Unit-sphere quantities and angles: 1e-6, about eight float steps at 1 (the
// largest difference seen is two). A cylinder curve's height is a quotient by
// the normal's y: its tolerance grows with the curve's scale.
const kNear = 1e-6;

function compareFigure(doc, figure) {
  const c = new comparison();
  const a = doc.arguments;
  [a.pent_lat1, a.pent_long1, a.pent_lat2, a.pent_long2].forEach((v, k) =>
    c.float(v, figure.arguments[k], `argument ${k}`));
  assert.equal(doc.sampleAngles.length, figure.sampleAngles.length);
  doc.sampleAngles.forEach((v, j) => c.float(v, figure.sampleAngles[j], `sample angle ${j}`));
  doc.pentagons.forEach((p, n) => {
    const at = `pentagon ${n + 1}`;
    c.float(p.height, figure.height[n], `${at} height`);
    c.float(p.longitude, figure.longitude[n], `${at} longitude`);
    c.float(p.polarAngle, figure.polarAngle[n], `${at} polar angle`);
    c.float(p.reportLatitude, figure.reportLatitude[n], `${at} report latitude`);
    p.corners.forEach((corner, i) => {
      const k = 5 * n + i;
      c.float(corner.longitude, figure.longAngles[k], `${at} corner ${i} longitude`);
      c.float(corner.reportLongitude, figure.reportLongitudes[k], `${at} corner ${i} report longitude`, kNear);
      c.vector(corner.point, figure.corners, 3 * k, `${at} corner ${i}`, kNear);
    });
    p.edges.forEach((e, i) => {
      const k = 5 * n + i;
      const edge = `${at} edge ${i}`;
      c.vector(e.normal, figure.normals, 3 * k, `${edge} normal`, kNear);
      c.vector(e.unitNormal, figure.unitNormals, 3 * k, `${edge} unit normal`, kNear);
      if (e.normalWasZero !== (figure.normalWasZero[k] === 1)) c.problems.push(`${edge} normalWasZero`);
      c.vector(e.alongEdge, figure.alongEdge, 3 * k, `${edge} along edge`, kNear);
      c.float(e.equatorCrossingAngle, figure.crossingAngles[k], `${edge} crossing angle`, kNear);
      // the figure's point order: P1 crossings, their negations, P2's, theirs
      c.vector(e.equatorCrossings[0], figure.crossings, 3 * (10 * n + i), `${edge} crossing`, kNear);
      c.vector(e.equatorCrossings[1], figure.crossings, 3 * (10 * n + 5 + i), `${edge} opposite crossing`, kNear);
      const [x, y, z] = e.normal;
      const scale = y === null || y === 0 ? Infinity : (Math.abs(x) + Math.abs(z)) / Math.abs(y);
      e.greatCircle.forEach((q, j) => c.vector(q, figure.greatCircles, 3 * (k * 100 + j), `${edge} circle ${j}`, kNear));
      e.cylinderCurve.forEach((q, j) => {
        const h = q[1] === null ? 0 : Math.abs(q[1]);
        c.vector(q, figure.cylinderCurves, 3 * (k * 100 + j), `${edge} curve ${j}`, kNear * (1 + h + scale));
      });
    });
  });
  return c;
}

function checkArguments(words) {
  const run = runTool(['--format', 'json', ...words]);
  assert.equal(run.status, 0, `geodesic-report ${words.join(' ')}: ${run.stderr}`);
  const c = compareFigure(JSON.parse(run.stdout), math.figure(valuesOf(words)));
  assert.deepEqual(c.problems.slice(0, 5), [], `${c.problems.length} numbers differ for ${words.join(' ')}`);
  return c;
}

describe('the figure', () => {
  test("the scene's pentagons: the page's default words are the report's default values", () => {
    const sceneWords = ['0.97531795', '0.1', '0.630991', '0.1'];
    assert.deepEqual(valuesOf(sceneWords), math.sceneValues);
    const c = checkArguments(sceneWords);
    assert.ok(c.inexact < c.numbers * 0.05, `${c.inexact} of ${c.numbers} numbers inexact`);
  });

  test('300 random argument sets from a fixed seed give the same numbers as the report', (t) => {
    const random = seededRandom(20260101);
    let numbers = 0;
    let inexact = 0;
    for (let n = 0; n < 300; ++n) {
      const c = checkArguments(randomWords(random));
      numbers += c.numbers;
      inexact += c.inexact;
    }
    t.diagnostic(`${numbers} numbers, ${inexact} of them a rounding apart (${((100 * inexact) / numbers).toFixed(2)}%)`);
    assert.ok(inexact < numbers * 0.05);
  });

  test('a pentagon collapsed to the pole: NaN where the report writes null, zero normals flagged', () => {
    // At height 1 every corner is the pole; at -1 the float nearest pi has a
    // sine of about -8.7e-8, so that pentagon is tiny but not collapsed.
    checkArguments(['1', '0.3', '-1', '2']);
    const figure = math.figure([1, 0.3, -1, 2]);
    assert.deepEqual(Array.from(figure.normalWasZero), [1, 1, 1, 1, 1, 0, 0, 0, 0, 0]);
    assert.ok(figure.cylinderCurves.subarray(0, 1500).every((v, k) => k % 3 !== 1 || Number.isNaN(v)));
  });

  test('a figure is a copy: a later computation does not change it', () => {
    const first = math.figure(math.sceneValues);
    const corner = first.corners[0];
    math.figure([0.2, 1, -0.4, 2]);
    assert.equal(first.corners[0], corner);
  });
});

// The report's text with its numbers taken out, and the numbers.
const kNumber = /[-+]?(?:\d+\.?\d*|\.\d+)(?:e[-+]?\d+)?|-?nan|-?inf/g;
const textParts = (text) => ({ words: text.split(kNumber), numbers: text.match(kNumber) ?? [] });

describe('the value report', () => {
  test("is the text geodesic-report prints for the scene's pentagons, byte for byte", () => {
    assert.equal(math.report(math.sceneValues), runTool([]).stdout);
  });

  test('prints the same lines for 100 random sets, numbers at most a last digit apart', () => {
    const random = seededRandom(7);
    for (let n = 0; n < 100; ++n) {
      const words = randomWords(random);
      const page = textParts(math.report(valuesOf(words)));
      const tool = textParts(runTool(words).stdout);
      assert.deepEqual(page.words, tool.words, words.join(' '));
      page.numbers.forEach((p, k) => {
        const a = Number(p);
        const b = Number(tool.numbers[k]);
        if (p === tool.numbers[k]) return;
        // six significant digits: one unit of the sixth
        const unit = 10 ** (Math.floor(Math.log10(Math.max(Math.abs(a), Math.abs(b)))) - 5);
        assert.ok(Math.abs(a - b) <= 1.01 * unit, `${words.join(' ')}: ${p} against ${tool.numbers[k]}`);
      });
    }
  });
});

describe('reading the four values', () => {
  // Words a person might type or a link might carry. Words that start with
  // '-' and are not numbers are options to the tool, and are left out.
  const words = [
    '', ' ', '0.5', ' 0.5', '0.5 ', '+0.5', '.5', '5.', '1', '-1', '1.0000001', '-1.0000001', '2',
    '1e-50', '1e-40', '3.4e38', '3.5e38', '1e39', '-1e39', 'nan', 'NaN', '-nan', 'inf', '-inf',
    'Infinity', '0x1p-2', '0x10', '1e', '1e+', '0.5.5', '1,5', 'abc', '½', '0.5\t', 'é'.repeat(40),
    '9'.repeat(40), '0.'.padEnd(60, '1'),
  ];

  test('gives the report tool\'s message, or its value, for every word at every place', () => {
    for (const word of words)
      for (let k = 0; k < 4; ++k) {
        const args = ['0.5', '0.5', '0.5', '0.5'];
        args[k] = word;
        const run = runTool(['--format', 'json', ...args]);
        const read = math.parseValue(k, word);
        if (read.message === undefined) {
          assert.equal(run.status, 0, `tool refused '${word}' at ${k}: ${run.stderr}`);
          const a = JSON.parse(run.stdout).arguments;
          assert.equal(Math.fround([a.pent_lat1, a.pent_long1, a.pent_lat2, a.pent_long2][k]), read.value);
        } else {
          assert.equal(run.status, 2, `tool took '${word}' at ${k}`);
          assert.equal(run.stderr.split('\n')[0], `geodesic-report: ${read.message}`);
        }
      }
  });

  test('a word with a NUL inside, which no command line can carry, is not a number', () => {
    assert.deepEqual(math.parseValue(0, '0.5\u00001'), { message: "LAT1 '0.5\\x001' is not a number" });
  });

  test('heights are checked, longitudes are not', () => {
    assert.match(math.parseValue(2, '1.5').message, /^LAT2 '1.5' is outside -1 to 1/);
    assert.deepEqual(math.parseValue(3, '1.5'), { value: 1.5 });
  });
});

describe('the camera flight', () => {
  // Where each of basicsource/flight.cpp's segments leaves the camera: the
  // eye and the target at the segment's end (its start + 2 ramps + cruise).
  const checkpoints = [
    [0, [0, 0, 3], [0, 0, 0]],
    [5, [0, 0, 3], [0, 0, 0]],
    [20, [0, 0, 15], [0, 0, 0]],
    [30, [0, 7, 3], [0, 6, 0]],
    [35, [0, 7, 0.2], [0, 0, 0]],
    [45, [0, 3, 0.2], [0, 0, 0]],
    [55, [0, 7, 0.2], [0, 0, 0]],
    [65, [-5, 7, 5], [0, 0, 0]],
    [75, [-5, 0, -1], [0, 0, 0]],
    [85, [0, 0, 3], [0, 0, 0]],
    [150, [0, 0, 3], [0, 0, 0]],
    // halfway through a symmetric ramp-cruise-ramp, halfway there
    [12.5, [0, 0, 9], [0, 0, 0]],
    [25, [0, 3.5, 9], [0, 3, 0]],
  ];
  // Single precision: the values are within a few float steps of the table's.
  const close = (a, b) => a.every((v, k) => Math.abs(v - b[k]) < 1e-5);

  test('passes through every segment end and midpoint', () => {
    for (const [t, eye, target] of checkpoints) {
      const camera = math.flightCamera(t);
      assert.ok(close(camera.eye, eye), `eye at ${t} s: ${camera.eye}`);
      assert.ok(close(camera.target, target), `target at ${t} s: ${camera.target}`);
    }
  });

  test('moves less than 0.1 unit in 1/60 s anywhere along the way', () => {
    let previous = math.flightCamera(0);
    for (let frame = 1; frame <= 150 * 60; ++frame) {
      const camera = math.flightCamera(frame / 60);
      const step = Math.hypot(...camera.eye.map((v, k) => v - previous.eye[k]));
      assert.ok(step < 0.1, `the eye jumps ${step} at frame ${frame}`);
      previous = camera;
    }
  });
});
