// The page's meshes (web/src/shapes.js) against the shapes of the window
// program they copy: counts, winding (three.js culls back faces, as the
// program does), normals, the wheel's drawing order, the edges the wire
// frame hides, and the figure's triangles and loops.
import assert from 'node:assert/strict';
import { before, describe, test } from 'node:test';

import { loadSiteMathematics, site } from './support.js';

let shapes;
let math;
before(async () => {
  shapes = await site('src/shapes.js');
  math = await loadSiteMathematics();
});

const sub = (a, b) => [a[0] - b[0], a[1] - b[1], a[2] - b[2]];
const cross = (a, b) => [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]];
const dot = (a, b) => a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
const vertex = (array, k) => [array[3 * k], array[3 * k + 1], array[3 * k + 2]];
// The meshes are stored in single precision: about 1e-7 relative; 1e-6
// leaves room for the sums in a normal.

// Triangle t of a mesh: its corners, their normals and edge attributes, and
// its face normal from the counter-clockwise winding (unnormalised).
function triangle(mesh, t) {
  const p = [0, 1, 2].map((c) => vertex(mesh.position, 3 * t + c));
  return {
    p,
    n: [0, 1, 2].map((c) => vertex(mesh.normal, 3 * t + c)),
    edge: [0, 1, 2].map((c) => vertex(mesh.edge, 3 * t + c)),
    facing: cross(sub(p[1], p[0]), sub(p[2], p[0])),
    centre: [0, 1, 2].map((k) => (p[0][k] + p[1][k] + p[2][k]) / 3),
  };
}
// The corner (0-2) whose opposite edge the wire frame hides, or -1.
function hiddenCorner(tri) {
  const lifted = [0, 1, 2].filter((c) => tri.edge.every((e) => e[c] >= 1));
  assert.ok(lifted.length <= 1);
  return lifted.length ? lifted[0] : -1;
}

describe('sphere', () => {
  test('30 x 30: 900 polygons, 28 bands of quads and two caps as 1740 triangles', () => {
    const mesh = shapes.sphereMesh(30);
    assert.equal(mesh.polygons, 900);
    assert.equal(mesh.position.length, 1740 * 9);
    assert.equal(mesh.count, 1740 * 3);
  });

  test('every triangle faces outwards, with smooth normals pointing out', () => {
    const mesh = shapes.sphereMesh(30);
    for (let t = 0; t < 1740; ++t) {
      const tri = triangle(mesh, t);
      assert.ok(dot(tri.facing, tri.centre) > 0, `triangle ${t} faces in`);
      for (let c = 0; c < 3; ++c) {
        const radial = tri.p[c];
        // the mean of the unit normals around a vertex: a little under 1
        const length = Math.hypot(...tri.n[c]);
        assert.ok(length > 0.98 && length <= 1 + 1e-12, `normal length ${length}`);
        assert.ok(dot(tri.n[c], radial) / length > 0.995, `triangle ${t} corner ${c}`);
      }
    }
  });

  test("the wire frame shows each quad's sides, never its diagonal; caps show all three", () => {
    const mesh = shapes.sphereMesh(30);
    let diagonals = 0;
    for (let t = 0; t < 1740; ++t) {
      const tri = triangle(mesh, t);
      const hidden = hiddenCorner(tri);
      const isCap = tri.p.some((p) => Math.abs(Math.abs(p[1]) - 1) < 1e-12);
      assert.equal(hidden === -1, isCap, `triangle ${t}`);
      if (hidden === -1) continue;
      diagonals += 1;
      // the hidden edge joins two corners on different rings and longitudes
      const [a, b] = [0, 1, 2].filter((c) => c !== hidden).map((c) => tri.p[c]);
      assert.ok(Math.abs(a[1] - b[1]) > 1e-6 && Math.abs(Math.atan2(a[2], a[0]) - Math.atan2(b[2], b[0])) > 1e-6);
    }
    assert.equal(diagonals, 28 * 30 * 2);
  });
});

describe('wheel', () => {
  const n = 120;
  const radius = (p) => Math.hypot(p[0], p[2]);

  test('4n polygons drawn as outer wall, inner wall, top, bottom, in that order', () => {
    const mesh = shapes.wheelMesh(n, 0.999, 0.997);
    assert.equal(mesh.polygons, 4 * n);
    assert.equal(mesh.count, 8 * n * 3);
    const part = (t) => Math.floor(t / (2 * n));
    for (let t = 0; t < 8 * n; ++t) {
      const tri = triangle(mesh, t);
      const r = tri.p.map(radius);
      if (part(t) === 0) assert.ok(r.every((x) => Math.abs(x - 0.999) < 1e-6), `outer ${t}`);
      if (part(t) === 1) assert.ok(r.every((x) => Math.abs(x - 0.997) < 1e-6), `inner ${t}`);
      if (part(t) === 2) assert.ok(tri.p.every((p) => p[1] === 1), `top ${t}`);
      if (part(t) === 3) assert.ok(tri.p.every((p) => p[1] === -1), `bottom ${t}`);
    }
  });

  test('faces out of the solid: walls away from the tube wall, annuli up and down', () => {
    const mesh = shapes.wheelMesh(n, 0.999, 0.997);
    for (let t = 0; t < 8 * n; ++t) {
      const tri = triangle(mesh, t);
      const radial = [tri.centre[0], 0, tri.centre[2]];
      const facing = [dot(tri.facing, radial), -dot(tri.facing, radial), tri.facing[1], -tri.facing[1]];
      assert.ok(facing[Math.floor(t / (2 * n))] > 0, `triangle ${t}`);
    }
  });

  test("a wall vertex at step s carries the normal of the face from s to s + 1", () => {
    const mesh = shapes.wheelMesh(n, 0.999, 0.997);
    const step = (2 * Math.PI) / n;
    for (let t = 0; t < 4 * n; ++t) {
      const tri = triangle(mesh, t);
      for (let c = 0; c < 3; ++c) {
        const s = Math.round(Math.atan2(tri.p[c][2], tri.p[c][0]) / step + n) % n;
        const angle = (s + 0.5) * step; // the middle of the face that begins at s
        const outward = t < 2 * n ? 1 : -1;
        const expected = [outward * Math.cos(angle), 0, outward * Math.sin(angle)];
        assert.ok(dot(tri.n[c], expected) > 1 - 1e-6, `triangle ${t} corner ${c} at step ${s}`);
      }
    }
  });
});

describe('figure', () => {
  test('the filled pentagons: three triangles facing down, three up, for each', () => {
    const corners = math.figure(math.sceneValues).corners;
    const out = shapes.pentagonTriangles(corners, new Float32Array(12 * 9));
    for (let t = 0; t < 12; ++t) {
      const tri = triangle({ position: out, normal: out, edge: out }, t);
      assert.ok((tri.facing[1] < 0) === (t % 6 < 3), `triangle ${t} faces ${tri.facing[1] < 0 ? 'down' : 'up'}`);
      assert.deepEqual(tri.p[t % 6 < 3 ? 0 : 2], Array.from(vertex(corners, 5 * Math.floor(t / 6) + 4)));
    }
  });

  test('loops: each curve closes on itself and never joins the next', () => {
    const index = shapes.loopSegments(10, 100);
    assert.equal(index.length, 2000);
    for (let k = 0; k < index.length; k += 2) {
      const [a, b] = [index[k], index[k + 1]];
      assert.equal(Math.floor(a / 100), Math.floor(b / 100));
      assert.equal(b % 100, (a % 100 + 1) % 100);
    }
  });
});
