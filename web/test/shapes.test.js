// The page's meshes (web/src/shapes.js) from the primitives the window
// program draws, as scene.json recorded them from its own code: counts,
// winding (three.js culls back faces, as the program does), normals, the
// wheel's drawing order, the edges the wire frame hides, and the figure's
// filled pentagons; and the animation's facts the page takes from the
// mathematics against what the program's frames show.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { before, describe, test } from 'node:test';

import { loadSiteMathematics, modulesDir, pageModule } from './support.js';

let shapes;
let math;
const recorded = JSON.parse(fs.readFileSync(path.join(modulesDir, 'scene.json'), 'utf8'));
const object = (role) => recorded.objects.find((o) => o.role === role);
before(async () => {
  [shapes, math] = await Promise.all([pageModule('src/shapes.js'), loadSiteMathematics()]);
});

const sub = (a, b) => a.map((v, k) => v - b[k]);
const dot = (a, b) => a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
const cross = (a, b) => [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]];
const at = (array, k) => [array[3 * k], array[3 * k + 1], array[3 * k + 2]];

// The triangles of a mesh: corners, their normals, the corner whose opposite
// edge the wire frame hides (-1 for none), the counter-clockwise facing and
// the centre. Meshes are single precision: 1e-6 is the tolerance below.
function triangles(mesh) {
  return Array.from({ length: mesh.position.length / 9 }, (_, t) => {
    const p = [0, 1, 2].map((c) => at(mesh.position, 3 * t + c));
    const edges = [0, 1, 2].map((c) => at(mesh.edge ?? mesh.position, 3 * t + c));
    const lifted = [0, 1, 2].filter((c) => edges.every((e) => e[c] >= 1));
    return {
      p,
      n: [0, 1, 2].map((c) => at(mesh.normal ?? mesh.position, 3 * t + c)),
      hidden: lifted.length === 1 ? lifted[0] : -1,
      facing: cross(sub(p[1], p[0]), sub(p[2], p[0])),
      centre: [0, 1, 2].map((k) => (p[0][k] + p[1][k] + p[2][k]) / 3),
    };
  });
}

describe('primitives', () => {
  test("OpenGL's triangles of a strip and a fan, and nothing made of what has none", () => {
    const square = { mode: 'quadStrip', position: [0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0], normal: Array(12).fill(0) };
    const fan = { mode: 'triangleFan', position: [0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0], normal: Array(12).fill(0) };
    const list = triangles(shapes.primitiveTriangles([square, fan]));
    // the strip's quad is (0, 1, 3, 2): two triangles sharing its hidden diagonal 0-3
    assert.deepEqual(
      list.map((t) => t.hidden),
      [1, 2, -1, -1],
    );
    assert.deepEqual(list[0].p, [
      [0, 0, 0],
      [1, 0, 0],
      [1, 1, 0],
    ]);
    assert.ok(list.every((t) => t.facing[2] > 0)); // all counter-clockwise seen from +z
    assert.throws(() => shapes.primitiveTriangles([{ mode: 'other', position: [], normal: [] }]), /other/);
  });
});

describe('sphere', () => {
  test('900 polygons as 1740 triangles, all facing out, with smooth normals pointing out', () => {
    const list = triangles(shapes.primitiveTriangles(object('sphere').primitives));
    assert.deepEqual([object('sphere').polygons, list.length], [900, 28 * 30 * 2 + 60]);
    list.forEach((tri, t) => {
      assert.ok(dot(tri.facing, tri.centre) > 0, `triangle ${t} faces in`);
      // a mean of unit face normals: a little under unit length
      for (let c = 0; c < 3; ++c) assert.ok(dot(tri.n[c], tri.p[c]) > 0.98, `triangle ${t}, corner ${c}`);
    });
  });

  test("the wire frame hides each quad's diagonal and nothing else", () => {
    const list = triangles(shapes.primitiveTriangles(object('sphere').primitives));
    for (const tri of list) {
      const isCap = tri.p.some((p) => Math.abs(Math.abs(p[1]) - 1) < 1e-6);
      assert.equal(tri.hidden === -1, isCap);
      if (isCap) continue;
      // the hidden edge joins corners on different rings and longitudes
      const [a, b] = tri.p.filter((_, c) => c !== tri.hidden);
      assert.ok(Math.abs(a[1] - b[1]) > 1e-6 && Math.abs(Math.atan2(a[2], a[0]) - Math.atan2(b[2], b[0])) > 1e-6);
    }
    assert.equal(list.filter((tri) => tri.hidden >= 0).length, 28 * 30 * 2);
  });
});

describe('wheel', () => {
  const n = 120;
  const part = (t) => Math.floor(t / (2 * n)); // outer wall, inner wall, top, bottom

  test('4n polygons drawn in the program order, each facing out of the solid', () => {
    const list = triangles(shapes.primitiveTriangles(object('cylinder').primitives));
    assert.deepEqual([object('cylinder').polygons, list.length], [4 * n, 8 * n]);
    list.forEach((tri, t) => {
      const radius = tri.p.map((p) => Math.hypot(p[0], p[2]));
      const where = [
        radius.every((r) => Math.abs(r - 0.999) < 1e-6),
        radius.every((r) => Math.abs(r - 0.997) < 1e-6),
        tri.p.every((p) => p[1] === 1),
        tri.p.every((p) => p[1] === -1),
      ];
      assert.ok(where[part(t)], `triangle ${t} is not where part ${part(t)} is`);
      const out = dot(tri.facing, [tri.centre[0], 0, tri.centre[2]]);
      assert.ok([out, -out, tri.facing[1], -tri.facing[1]][part(t)] > 0, `triangle ${t} faces in`);
    });
  });

  test('a wall vertex at step s carries the normal of the face from s to s + 1', () => {
    const step = (2 * Math.PI) / n;
    triangles(shapes.primitiveTriangles(object('cylinder').primitives))
      .slice(0, 4 * n)
      .forEach((tri, t) => {
        for (let c = 0; c < 3; ++c) {
          const s = Math.round(Math.atan2(tri.p[c][2], tri.p[c][0]) / step + n) % n;
          const sign = part(t) === 0 ? 1 : -1; // the inner wall faces the axis
          const middle = [sign * Math.cos((s + 0.5) * step), 0, sign * Math.sin((s + 0.5) * step)];
          assert.ok(dot(tri.n[c], middle) > 1 - 1e-6, `triangle ${t}, corner ${c}, step ${s}`);
        }
      });
  });
});

describe('figure', () => {
  test('each filled pentagon: three triangles fanned from corner 4 facing down, the same three up', () => {
    const corners = math.figure(math.sceneValues).corners;
    const list = triangles({
      position: shapes.pentagonTriangles(corners, recorded.pentagonFans, new Float32Array(12 * 9)),
    });
    list.forEach((tri, t) => {
      assert.equal(tri.facing[1] < 0, t % 6 < 3, `triangle ${t}`);
      assert.deepEqual(tri.p[t % 6 < 3 ? 0 : 2], at(corners, 5 * Math.floor(t / 6) + 4));
    });
  });
});

describe('the scene file', () => {
  test('is strict JSON with no number missing', () => {
    const text = fs.readFileSync(path.join(modulesDir, 'scene.json'), 'utf8');
    const numbers = [];
    JSON.parse(text, (key, value) => {
      if (typeof value === 'number') numbers.push(value);
      if (value === null) throw new Error(`a null in scene.json at '${key}'`);
      return value;
    });
    assert.ok(numbers.length > 10000 && numbers.every(Number.isFinite), `${numbers.length} numbers`);
  });
});

describe('timing', () => {
  test("the animation's length, the caption's moment, the spin and the scene's values are the program's", () => {
    assert.equal(math.animationSeconds, recorded.duration);
    assert.equal(math.captionFromSeconds, recorded.captionFrom);
    assert.equal(math.spinDegreesPerSecond, recorded.spinDegreesPerSecond);
    assert.deepEqual(math.sceneWords.map(Number).map(Math.fround), math.sceneValues);
  });
});
