// The page's mathematics (the WebAssembly module the site serves) against the
// report tool built from the same C++ for this machine: every number of
// `geodesic-report --format json` (the intersections among them), the text
// report, the value reader's messages, and the camera flight's checkpoints.
//
// Not every bit: the C++ takes sin, cos and atan of floats from the C library,
// and the two C libraries round differently. Emscripten's gives the correctly
// rounded float; glibc's sinf and cosf do not always (sin(2.576106f), sample 41
// of every curve, is 0.53582671...: glibc says 0.535826683, the page
// 0.535826743), and glibc picks its FMA or SSE2 code by processor. The numbers
// that pass through those functions may differ by a float step or two (more
// where a formula divides by a small number); all others are compared bit for
// bit, and most numbers must be bit-identical, which a second implementation
// in double precision would not be.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { before, describe, test } from 'node:test';

import { assertSameText, loadSiteMathematics, reportTool, seededRandom, siteDir } from './support.js';

let math;
before(async () => {
  math = await loadSiteMathematics();
});

const runTool = (args) => spawnSync(reportTool, args, { encoding: 'utf8', maxBuffer: 1 << 26 });

// Four words for one random argument set: heights across -1 to 1 (the poles,
// where a pentagon collapses and the report writes null, and the equator
// among them), longitudes in radians well past a full turn,
// written with 1 to 9 significant digits or in exponent form.
function randomWords(random) {
  const pick = (list) => list[Math.floor(random() * list.length)];
  const write = (v) =>
    random() < 0.15 ? v.toExponential(Math.floor(random() * 6)) : v.toPrecision(1 + Math.floor(random() * 9));
  const height = () => (random() < 0.1 ? pick(['1', '-1', '0', '-0', '1e-40', '0.99999994']) : write(2 * random() - 1));
  const longitude = () => (random() < 0.05 ? pick(['0', '1e4', '-31.4159']) : write(20 * random() - 10));
  return [height(), longitude(), height(), longitude()];
}
const valuesOf = (words) => words.map((word, k) => math.parseValue(k, word).value);

// Unit-sphere quantities and angles may differ by 1e-6, about eight float
// steps at 1 (two is the most seen); a cylinder curve's height is a quotient
// by the normal's y, and its tolerance grows with the curve's scale.
const kNear = 1e-6;

// Every number of one JSON document against the page's figure. A JSON float
// has nine significant digits, which read back as the same float; null
// stands for no finite value.
function compareFigure(doc, figure) {
  const c = { numbers: 0, inexact: 0, problems: [] };
  const float = (json, page, where, tolerance = 0) => {
    c.numbers += 1;
    if (json === null ? !Number.isFinite(page) : Math.fround(json) === page) return;
    c.inexact += 1;
    if (!(Math.abs(json - page) <= tolerance)) c.problems.push(`${where}: report ${json}, page ${page}`);
  };
  const vector = (json, page, at, where, tolerance) => json.forEach((v, k) => float(v, page[at + k], where, tolerance));
  const a = doc.arguments;
  [a.pent_lat1, a.pent_long1, a.pent_lat2, a.pent_long2].forEach((v, k) => float(v, figure.arguments[k], 'argument'));
  doc.sampleAngles.forEach((v, j) => float(v, figure.sampleAngles[j], `sample angle ${j}`));
  doc.pentagons.forEach((p, n) => {
    for (const key of ['height', 'longitude', 'polarAngle', 'reportLatitude']) float(p[key], figure[key][n], key);
    float(p.collapsed ? 1 : 0, figure.collapsed[n], 'collapsed');
    p.corners.forEach((corner, i) => {
      const k = 5 * n + i;
      float(corner.longitude, figure.longAngles[k], 'corner longitude');
      float(corner.reportLongitude, figure.reportLongitudes[k], 'report longitude', kNear);
      vector(corner.point, figure.corners, 3 * k, `corner ${k}`, kNear);
    });
    p.edges.forEach((e, i) => {
      const k = 5 * n + i;
      vector(e.normal, figure.normals, 3 * k, `normal ${k}`, kNear);
      vector(e.unitNormal, figure.unitNormals, 3 * k, `unit normal ${k}`, kNear);
      float(e.normalWasZero ? 1 : 0, figure.normalWasZero[k], `normal ${k} was zero`);
      vector(e.alongEdge, figure.alongEdge, 3 * k, `along edge ${k}`, kNear);
      float(e.equatorCrossingAngle, figure.crossingAngles[k], `crossing angle ${k}`, kNear);
      // the figure's point order: P1's crossings, their negations, P2's, theirs
      vector(e.equatorCrossings[0], figure.crossings, 3 * (10 * n + i), `crossing ${k}`, kNear);
      vector(e.equatorCrossings[1], figure.crossings, 3 * (10 * n + 5 + i), `opposite crossing ${k}`, kNear);
      const [x, y, z] = e.normal;
      const scale = y ? (Math.abs(x) + Math.abs(z)) / Math.abs(y) : Infinity;
      e.greatCircle.forEach((q, j) => vector(q, figure.greatCircles, 3 * (100 * k + j), `circle ${k}.${j}`, kNear));
      e.cylinderCurve.forEach((q, j) =>
        vector(
          q,
          figure.cylinderCurves,
          3 * (100 * k + j),
          `curve ${k}.${j}`,
          kNear * (1 + Math.abs(q[1] ?? 0) + scale),
        ),
      );
    });
  });
  return c;
}

// The intersections of the same document against the page's: the same
// structure (points, the circles through each, corners, equator crossings,
// coincident pairs, arcs from point to point) and the same numbers. Where the
// two builds' single-precision normals agree, which is most sets, every
// double comes from the same double arithmetic and differs at most by the C
// libraries' last-bit rounding (1e-12 relative allows for it); where a normal
// differs by a float step, the planes differ, and their intersections and
// lengths by that step, amplified where planes meet at a small angle or a
// curve is steep: 1e-3 relative then.
function compareIntersections(doc, page, samePlanes) {
  const c = { numbers: 0, exact: 0, problems: [] };
  const tolerance = samePlanes ? 1e-12 : 1e-3;
  const number = (json, mine, where) => {
    c.numbers += 1;
    if (json === mine) c.exact += 1;
    else if (json === null || mine === null || !(Math.abs(json - mine) <= tolerance * Math.max(1, Math.abs(json))))
      c.problems.push(`${where}: report ${json}, page ${mine}`);
  };
  const structure = (json, mine, where) => {
    if (JSON.stringify(json) !== JSON.stringify(mine))
      c.problems.push(`${where}: report ${JSON.stringify(json)}, page ${JSON.stringify(mine)}`);
  };
  structure([doc.intersections.length, doc.arcs.length], [page.points.length, page.arcs.length], 'counts');
  structure(doc.coincidentCircles, page.coincident, 'coincident circles');
  if (c.problems.length) return c;
  doc.intersections.forEach((q, k) => {
    const p = page.points[k];
    structure([q.circles, q.corners, q.equatorCrossing], [p.circles, p.corners, p.equatorCrossing], `point ${k}`);
    q.sphere.forEach((v, a) => number(v, p.sphere[a], `point ${k} sphere`));
    structure(q.cylinder === null, p.cylinder === null, `point ${k} image`);
    q.cylinder?.forEach((v, a) => number(v, p.cylinder[a], `point ${k} cylinder`));
    number(q.longitude, p.longitude, `point ${k} longitude`);
    number(q.polarAngle, p.polarAngle, `point ${k} polar angle`);
  });
  doc.arcs.forEach((a, k) => {
    const p = page.arcs[k];
    structure([a.circle, a.from, a.to], [p.circle, p.from, p.to], `arc ${k}`);
    for (const key of ['angle', 'chord', 'cylinderLength']) number(a[key], p[key], `arc ${k} ${key}`);
  });
  // The page's own per-circle lists and sums, from the same arcs.
  page.circles.forEach((circle, n) => {
    const mine = doc.arcs.filter((a) => a.circle === n);
    structure(
      circle.points,
      mine.map((a) => a.from),
      `circle ${n}'s points`,
    );
    if (mine.length)
      number(
        mine.reduce((sum, a) => sum + a.angle, 0),
        circle.angleSum,
        `circle ${n}'s angles`,
      );
  });
  return c;
}

function checkArguments(words) {
  const run = runTool(['--format', 'json', ...words]);
  assert.equal(run.status, 0, run.stderr);
  const doc = JSON.parse(run.stdout);
  const figure = math.figure(valuesOf(words));
  const c = compareFigure(doc, figure);
  assert.deepEqual(c.problems.slice(0, 5), [], `${c.problems.length} numbers differ for ${words.join(' ')}`);
  const samePlanes = doc.pentagons.every((p, n) =>
    p.edges.every((e, i) =>
      e.normal.every((v, a) => v === null || Math.fround(v) === figure.normals[3 * (5 * n + i) + a]),
    ),
  );
  c.intersections = compareIntersections(doc, math.intersections(valuesOf(words)), samePlanes);
  c.samePlanes = samePlanes;
  assert.deepEqual(
    c.intersections.problems.slice(0, 5),
    [],
    `${c.intersections.problems.length} intersections differ for ${words.join(' ')}`,
  );
  return c;
}

describe('the figure', () => {
  test("the scene's pentagons: the page's words are the report's default values, and its numbers", () => {
    assert.deepEqual(valuesOf(['0.97531795', '0.1', '0.630991', '0.1']), math.sceneValues);
    const c = checkArguments(['0.97531795', '0.1', '0.630991', '0.1']);
    assert.ok(c.inexact < 0.05 * c.numbers, `${c.inexact} of ${c.numbers} numbers a rounding apart`);
    // The intersections: the same planes, so the same 90 points and 180 arcs,
    // most numbers the report's own doubles and the others a last bit apart
    // (atan2, exp and asinh of the two C libraries).
    assert.ok(c.samePlanes);
    assert.equal(math.intersections(math.sceneValues).points.length, 90);
    assert.ok(
      c.intersections.exact > 0.5 * c.intersections.numbers,
      `${c.intersections.exact} of ${c.intersections.numbers}`,
    );
  });

  test('300 random argument sets from a fixed seed give the same numbers as the report', (t) => {
    const random = seededRandom(20260101);
    const all = { numbers: 0, inexact: 0, sets: 0, samePlanes: 0, intersections: 0, exact: 0 };
    for (let n = 0; n < 300; ++n) {
      const c = checkArguments(randomWords(random));
      all.numbers += c.numbers;
      all.inexact += c.inexact;
      all.sets += 1;
      all.samePlanes += c.samePlanes;
      all.intersections += c.intersections.numbers;
      all.exact += c.intersections.exact;
    }
    t.diagnostic(`${all.numbers} numbers, ${all.inexact} of them a rounding apart`);
    t.diagnostic(
      `intersections: ${all.intersections} numbers, ${all.exact} identical; ` +
        `the planes identical in ${all.samePlanes} of ${all.sets} sets`,
    );
    assert.ok(all.inexact < 0.05 * all.numbers);
    assert.ok(all.samePlanes > 0.8 * all.sets && all.exact > 0.5 * all.intersections);
  });
});

describe("the page's sliders", () => {
  test('give finite numbers at every position, but for the curves of a pentagon collapsed at a pole', () => {
    // Each slider of the page, every position it takes, the other three
    // values the scene's; a height of -1 or 1 collapses a pentagon.
    const html = fs.readFileSync(path.join(siteDir, 'index.html'), 'utf8');
    const curveFloats = 3 * 5 * 100; // one pentagon's cylinder curves
    const collapsedAt = [];
    for (let k = 0; k < 4; ++k) {
      const range = html.match(new RegExp(`id="slider-${k}" type="range" min="(\\S+)" max="(\\S+)" step="0\\.(\\d+)"`));
      const [min, max, digits] = [Number(range[1]), Number(range[2]), range[3].length];
      for (let n = 0; n <= Math.round((max - min) * 10 ** digits); ++n) {
        const word = String(Number((min + n / 10 ** digits).toFixed(digits)));
        const values = [...math.sceneValues];
        values[k] = math.parseValue(k, word).value;
        const figure = math.figure(values);
        for (const [name, array] of Object.entries(figure))
          if (name !== 'cylinderCurves') assert.ok(array.every(Number.isFinite), `${name} at ${values}`);
        for (const p of [0, 1]) {
          if (figure.collapsed[p]) collapsedAt.push(`${k}: ${word}`);
          else {
            const curves = figure.cylinderCurves.subarray(p * curveFloats, (p + 1) * curveFloats);
            assert.ok(curves.every(Number.isFinite), `curves at ${values}`);
          }
        }
      }
    }
    assert.deepEqual(collapsedAt, ['0: -1', '0: 1', '2: -1', '2: 1']);
  });
});

describe('the value report', () => {
  test("is the text geodesic-report prints for the scene's pentagons, byte for byte", () => {
    assert.equal(math.report(math.sceneValues), runTool([]).stdout);
  });

  test('prints the same lines for 100 random sets, numbers at most a last digit apart', () => {
    const number = /[-+]?(?:\d+\.?\d*|\.\d+)(?:e[-+]?\d+)?|-?nan|-?inf/g;
    const random = seededRandom(7);
    for (let n = 0; n < 100; ++n) {
      const words = randomWords(random);
      const [page, tool] = [math.report(valuesOf(words)), runTool(words).stdout];
      assert.deepEqual(page.split(number), tool.split(number), words.join(' '));
      const toolNumbers = tool.match(number);
      page.match(number).forEach((p, k) => {
        const [a, b] = [Number(p), Number(toolNumbers[k])];
        // six significant digits: one unit of the sixth
        const unit = 10 ** (Math.floor(Math.log10(Math.max(Math.abs(a), Math.abs(b)))) - 5);
        assert.ok(
          p === toolNumbers[k] || Math.abs(a - b) <= 1.01 * unit,
          `${words.join(' ')}: ${p}, ${toolNumbers[k]}`,
        );
      });
    }
  });
});

describe('reading the four values and the radius', () => {
  // Words a person might type or a link might carry. Words that start with
  // '-' and are not numbers are options to the tool, and are left out.
  const words = [
    '',
    ' ',
    '0.5',
    ' 0.5',
    '0.5 ',
    '+0.5',
    '.5',
    '5.',
    '1',
    '-1',
    '1.0000001',
    '-1.0000001',
    '2',
    '1e-50',
    '1e-40',
    '3.4e38',
    '3.5e38',
    '1e39',
    '-1e39',
    'nan',
    '-nan',
    'inf',
    '-inf',
    'Infinity',
    '0x1p-2',
    '1e',
    '1e+',
    '0.5.5',
    '1,5',
    'abc',
    '½',
    '0.5\t',
    'é'.repeat(40),
    '9'.repeat(40),
    '0x10',
    '1e6',
    '1000000.1',
    '1e400',
    '1e-400',
    '-0',
    '4.9e-324',
    '5mm',
  ];

  test("gives the report tool's message, or its value, for every word at every place", () => {
    for (const word of words)
      for (let k = 0; k < 4; ++k) {
        const args = ['0.5', '0.5', '0.5', '0.5'];
        args[k] = word;
        const run = runTool(['--format', 'json', ...args]);
        const read = math.parseValue(k, word);
        if (read.message === undefined) {
          assert.equal(run.status, 0, `the tool refused '${word}' at ${k}: ${run.stderr}`);
          assert.equal(Math.fround(Object.values(JSON.parse(run.stdout).arguments)[k]), read.value);
        } else assert.equal(run.stderr.split('\n')[0], `geodesic-report: ${read.message}`);
      }
  });

  test("gives the radius the report tool's --radius has, or its message, for every word", () => {
    for (const word of words) {
      const run = runTool(['--dome', '--radius', word]);
      const read = math.parseRadius(word);
      if (read.message === undefined) {
        assert.equal(run.status, 0, `the tool refused radius '${word}': ${run.stderr}`);
        // the tool prints 15 significant digits, which read back as the same double here
        assert.equal(Number(run.stdout.match(/^Radius (\S+);/m)[1]), read.value, word);
      } else
        // the page's radius is in millimetres, the tool's in any unit
        assert.equal(
          run.stderr.split('\n')[0],
          `geodesic-report: ${read.message.replace('Radius', '--radius').replace(' mm)', ')')}`,
        );
    }
  });

  test('a word with a NUL inside, which no command line carries, is not a number', () => {
    assert.deepEqual(math.parseValue(0, '0.5\u00001'), { message: "LAT1 '0.5\\x001' is not a number" });
    assert.deepEqual(math.parseRadius('5\u00001'), { message: "Radius '5\\x001' is not a number" });
  });
});

describe('the camera flight', () => {
  test('passes through the end of every segment and the middle of two', () => {
    // mathematics/camera_flight.cpp: where each segment leaves the eye and the
    // target (at its start + two ramps + the cruise); a symmetric ramp,
    // cruise and ramp is halfway at its middle.
    const checkpoints = [
      [0, [0, 0, 3], [0, 0, 0]],
      [5, [0, 0, 3], [0, 0, 0]],
      [12.5, [0, 0, 9], [0, 0, 0]],
      [20, [0, 0, 15], [0, 0, 0]],
      [25, [0, 3.5, 9], [0, 3, 0]],
      [30, [0, 7, 3], [0, 6, 0]],
      [35, [0, 7, 0.2], [0, 0, 0]],
      [45, [0, 3, 0.2], [0, 0, 0]],
      [55, [0, 7, 0.2], [0, 0, 0]],
      [65, [-5, 7, 5], [0, 0, 0]],
      [75, [-5, 0, -1], [0, 0, 0]],
      [85, [0, 0, 3], [0, 0, 0]],
      [150, [0, 0, 3], [0, 0, 0]],
    ];
    for (const [t, eye, target] of checkpoints) {
      const camera = math.flightCamera(t);
      // single precision: within a few float steps of the table's values
      const near = (a, b) => a.every((v, k) => Math.abs(v - b[k]) < 1e-5);
      assert.ok(near(camera.eye, eye) && near(camera.target, target), `at ${t} s: ${camera.eye}, ${camera.target}`);
    }
  });
});

describe('the dome', () => {
  const toolDome = (words) => {
    const run = runTool(['--format', 'json', ...words]);
    assert.equal(run.status, 0, run.stderr);
    return JSON.parse(run.stdout).dome;
  };
  // The C++ is the same; the planes come from single-precision sines, which
  // the two C libraries may round a step apart, and the panels' angles from
  // single-precision arc cosines of those.
  const near = (a, b, tolerance, what) => assert.ok(Math.abs(a - b) <= tolerance, `${what}: page ${a}, tool ${b}`);

  test("the scene's dome: the tool's cut list, and a mesh ready for three.js", () => {
    const radius = 50;
    const dome = math.dome(math.sceneValues, radius);
    const tool = toolDome([]);
    const c = dome.cutList;
    for (const key of ['vertices', 'edges', 'faces', 'hubCount', 'strutCount', 'spokes', 'panelCount'])
      assert.equal(c[key], tool[key], key);
    assert.deepEqual([c.vertices, c.edges, c.faces, c.hubCount, c.panelCount], [90, 180, 92, 122, 240]);
    assert.deepEqual(c.facesBySize, tool.facesBySize);
    assert.deepEqual(c.hubs, tool.hubs);
    assert.equal(c.struts.length, tool.struts.length);
    c.struts.forEach((s, k) => {
      const t = tool.struts[k];
      assert.deepEqual([s.letter, s.count, s.spokes], [t.letter, t.count, t.spokes]);
      near(s.length, t.length, 1e-7, `strut ${s.letter}`);
      near(s.bendAngle, t.bendAngle, 1e-6, `bend of ${s.letter}`);
    });
    assert.deepEqual(
      c.panels.map((p) => [p.struts, p.count]),
      tool.panels.map((p) => [p.struts, p.count]),
    );
    c.panels.forEach((p, k) => p.angles.forEach((a, i) => near(a, tool.panels[k].angles[i], 1e-5, `panel ${k}`)));
    for (const key of ['totalStrutLength', 'strutVariance', 'area', 'volume']) near(c[key], tool[key], 1e-6, key);

    // The cut list's text at this radius is the tool's, each number at most a
    // unit of its last digit apart.
    assertSameText(dome.cutListText, runTool(['--dome', '--radius', String(radius)]).stdout);

    // The mesh: 240 flat panels on the sphere of the radius, wound and lit
    // outwards; the struts the panels' sides, lettered by length; the hubs.
    assert.equal(dome.positions.length, 9 * c.panelCount);
    assert.equal(dome.normals.length, 9 * c.panelCount);
    assert.equal(dome.panelClass.length, c.panelCount);
    for (let k = 0; k < c.panelCount; ++k) {
      const p = [0, 1, 2].map((i) => Array.from(dome.positions.subarray(9 * k + 3 * i, 9 * k + 3 * i + 3)));
      const n = Array.from(dome.normals.subarray(9 * k, 9 * k + 3));
      for (const corner of p) near(Math.hypot(...corner), radius, 1e-5 * radius, `panel ${k}'s corner`);
      for (let i = 1; i < 3; ++i)
        assert.deepEqual(Array.from(dome.normals.subarray(9 * k + 3 * i, 9 * k + 3 * i + 3)), n);
      const u = [0, 1, 2].map((a) => p[1][a] - p[0][a]),
        v = [0, 1, 2].map((a) => p[2][a] - p[0][a]);
      const cross = [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]];
      const size = Math.hypot(...cross);
      near(Math.hypot(...n), 1, 1e-6, `panel ${k}'s normal`);
      near(
        cross.reduce((sum, x, a) => sum + (x / size) * n[a], 0),
        1,
        1e-6,
        `panel ${k}'s winding`,
      );
      assert.ok(p[0].reduce((sum, x, a) => sum + x * n[a], 0) > 0, `panel ${k} faces inwards`);
    }
    const perClass = c.panels.map(() => 0);
    dome.panelClass.forEach((k) => (perClass[k] += 1));
    assert.deepEqual(
      perClass,
      c.panels.map((p) => p.count),
    );
    assert.equal(dome.struts.length, 6 * c.strutCount);
    dome.strutClass.forEach((k, s) => {
      const e = dome.struts.subarray(6 * s, 6 * s + 6);
      near(Math.hypot(e[3] - e[0], e[4] - e[1], e[5] - e[2]), radius * c.struts[k].length, 2e-6 * radius, `strut ${s}`);
    });
    assert.equal(dome.hubs.length, 3 * c.hubCount);
    assert.equal(
      dome.hubValence.reduce((a, b) => a + b, 0),
      2 * c.strutCount,
    );
  });

  test('no dome where the circles meet nowhere; a bad radius is refused', () => {
    for (const words of [
      ['1', '0', '-1', '0'],
      ['0', '0', '0', '0.5'],
    ]) {
      assert.equal(math.dome(valuesOf(words)), null);
      assert.equal(toolDome(words), null);
    }
    for (const radius of [0, -1, NaN, Infinity, 1e6 + 1])
      assert.throws(
        () => math.dome(math.sceneValues, radius),
        /^Error: no dome: the radius must be a positive number up to 1000000$/,
      );
  });

  test("30 random argument sets from a fixed seed give the tool's domes", () => {
    const random = seededRandom(20260118);
    let built = 0;
    for (let n = 0; n < 30; ++n) {
      const words = randomWords(random);
      const [page, tool] = [math.dome(valuesOf(words)), toolDome(words)];
      if (tool === null) {
        assert.equal(page, null, words.join(' '));
        continue;
      }
      built += 1;
      const c = page.cutList;
      for (const key of ['vertices', 'edges', 'faces', 'hubCount', 'strutCount', 'panelCount'])
        assert.equal(c[key], tool[key], `${key} of ${words.join(' ')}`);
      assert.deepEqual(c.facesBySize, tool.facesBySize);
      assert.deepEqual(c.hubs, tool.hubs);
      // Every strut's length, class by class: a class whose lengths sit at
      // the 1e-6 boundary may split in one build and not in the other.
      const lengths = (d) => d.struts.flatMap((s) => Array(s.count).fill(s.length));
      lengths(tool).forEach((t, k) => near(lengths(c)[k], t, 1e-6, `strut ${k} of ${words.join(' ')}`));
      for (const key of ['area', 'volume']) near(c[key], tool[key], 1e-6, `${key} of ${words.join(' ')}`);
    }
    assert.ok(built >= 25, `${built} domes`);
  });
});
