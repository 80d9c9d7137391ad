// The scene's meshes as plain arrays, built as the window program builds its
// shapes (objects/sphere.cpp, objects/wheel.cpp, objects/tholix.cpp): the same
// vertices, faces, normals and drawing order, so that the page lights and
// blends them as OpenGL does there. Degrees at the interfaces, y up, faces
// counter-clockwise seen from outside. No three.js here: scene.js wraps these.
//
// Every mesh is a list of triangles, three vertices each, with:
//   position, normal  three floats a vertex;
//   edge              the vertex's barycentric corner (1,0,0), (0,1,0) or
//                     (0,0,1), with 1 added to the component of the corner
//                     opposite an edge that OpenGL's polygon outline mode does
//                     not draw (the diagonal of a quad), so that the wire frame
//                     shader never finds it near 0 there.
//   polygons          the number of faces the program counts (a quad is one).

const degPerRad = 57.29578; // as basicsource/utility.h
const sinD = (deg) => Math.sin(deg / degPerRad);
const cosD = (deg) => Math.cos(deg / degPerRad);

// utility.cpp's calculateNormal: (a - b) x (b - c), made unit length.
export function faceNormal(a, b, c) {
  const u = [a[0] - b[0], a[1] - b[1], a[2] - b[2]];
  const v = [b[0] - c[0], b[1] - c[1], b[2] - c[2]];
  const n = [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]];
  const length = Math.hypot(n[0], n[1], n[2]);
  return length > 0 ? n.map((x) => x / length) : n;
}

// Collects triangles; a quad (a, b, c, d) becomes (a, b, c) and (a, c, d)
// with its diagonal a-c hidden from the wire frame.
class triangleList {
  constructor(triangles) {
    this.position = new Float32Array(triangles * 9);
    this.normal = new Float32Array(triangles * 9);
    this.edge = new Float32Array(triangles * 9);
    this.count = 0; // vertices written
  }
  vertex(p, n, corner, hidden) {
    const k = this.count++ * 3;
    this.position.set(p, k);
    this.normal.set(n, k);
    for (let c = 0; c < 3; ++c) this.edge[k + c] = (c === corner ? 1 : 0) + (c === hidden ? 1 : 0);
  }
  // hidden: the corner (0-2) opposite the edge to hide, or -1.
  triangle(p, n, hidden = -1) {
    for (let c = 0; c < 3; ++c) this.vertex(p[c], n[c], c, hidden);
  }
  quad(p, n) {
    this.triangle([p[0], p[1], p[2]], [n[0], n[1], n[2]], 1);
    this.triangle([p[0], p[2], p[3]], [n[0], n[2], n[3]], 2);
  }
}

// object3D::calculateVertexNormals: each vertex takes the mean of the unit
// normals of the faces around it (not renormalised: OpenGL's GL_NORMALIZE
// does that, and so does the page's shader).
function meanNormals(vertices, faces) {
  const sum = vertices.map(() => [0, 0, 0, 0]);
  for (const f of faces) {
    const n = faceNormal(vertices[f[0]], vertices[f[1]], vertices[f[2]]);
    for (const v of f) {
      for (let k = 0; k < 3; ++k) sum[v][k] += n[k];
      sum[v][3] += 1;
    }
  }
  return sum.map((s) => (s[3] > 0 ? [s[0] / s[3], s[1] / s[3], s[2] / s[3]] : [0, 0, 0]));
}

// The sphere of gridSize n: n - 1 rings of n vertices at latitudes
// 90 - r 180/n (r = 1 .. n-1), vertex (r-1) n + j at longitude j 360/n from
// +x towards +z, then the north pole N = n(n-1) and the south pole N + 1.
// Faces: n - 2 bands of n quads (in+j, in+t, (i+1)n+t, (i+1)n+j), t = (j+1)
// mod n; n north-cap triangles (N, i+1, i); n south-cap triangles
// (B+i, B+t, S) with B = n(n-2). n*n polygons, smooth normals.
export function sphereMesh(n = 30) {
  const vertices = [];
  const stepSize = 180 / n;
  for (let r = 1; r < n; ++r) {
    const zRot = 90 - r * stepSize;
    for (let j = 0; j < n; ++j) {
      const yRot = (j * 360) / n;
      vertices.push([cosD(zRot) * cosD(yRot), sinD(zRot), cosD(zRot) * sinD(yRot)]);
    }
  }
  const north = vertices.length;
  const south = north + 1;
  const lastRing = n * (n - 2);
  vertices.push([0, 1, 0], [0, -1, 0]);

  const faces = [];
  for (let i = 0; i < n - 2; ++i)
    for (let j = 0; j < n; ++j) {
      const t = (j + 1) % n;
      faces.push([i * n + j, i * n + t, (i + 1) * n + t, (i + 1) * n + j]);
    }
  for (let i = 0; i < n; ++i) faces.push([north, (i + 1) % n, i]);
  for (let i = 0; i < n; ++i) faces.push([lastRing + i, lastRing + ((i + 1) % n), south]);

  const normals = meanNormals(vertices, faces);
  const list = new triangleList(n * (n - 2) * 2 + 2 * n);
  for (const f of faces) {
    const p = f.map((v) => vertices[v]);
    const m = f.map((v) => normals[v]);
    if (f.length === 4) list.quad(p, m);
    else list.triangle(p, m);
  }
  return { ...list, polygons: faces.length };
}

// The wheel of `n` steps: a tube wall between radii `outer` and `inner`, y from
// -1 to 1, step s at s 360/n from +x towards +z, t = (s + 1) mod n:
//
//            outer    inner         top annulus     face s:      (s, n+s, n+t, t)
//   y = +1:    s       n+s          outer wall      face n+s:    (2n+s, s, t, 2n+t)
//   y = -1:   2n+s     3n+s         inner wall      face 2n+s:   (n+s, 3n+s, 3n+t, n+t)
//                                   bottom annulus  face 3n+s:   (2n+s, 2n+t, 3n+t, 3n+s)
//
// Drawn as the program's four quad strips, in its order (outer wall, inner
// wall, top, bottom: the order matters to blending): a wall vertex at step s
// carries the normal of the wall face that begins at s, an annulus the
// annulus's own. 4n polygons.
export function wheelMesh(n = 120, outer = 0.999, inner = 0.997) {
  const vertices = new Array(4 * n);
  for (let s = 0; s < n; ++s) {
    const a = (s * 360) / n;
    const c = cosD(a);
    const d = sinD(a);
    vertices[s] = [c * outer, 1, d * outer];
    vertices[n + s] = [c * inner, 1, d * inner];
    vertices[2 * n + s] = [c * outer, -1, d * outer];
    vertices[3 * n + s] = [c * inner, -1, d * inner];
  }
  const normalOf = (f) => faceNormal(vertices[f[0]], vertices[f[1]], vertices[f[2]]);
  const outerFaces = [];
  const innerFaces = [];
  for (let s = 0; s < n; ++s) {
    const t = (s + 1) % n;
    outerFaces.push([2 * n + s, s, t, 2 * n + t]);
    innerFaces.push([n + s, 3 * n + s, 3 * n + t, n + t]);
  }
  const outerNormals = outerFaces.map(normalOf);
  const innerNormals = innerFaces.map(normalOf);

  const list = new triangleList(8 * n);
  const at = (f) => f.map((v) => vertices[v]);
  for (let s = 0; s < n; ++s) {
    const t = (s + 1) % n;
    const m = [outerNormals[s], outerNormals[s], outerNormals[t], outerNormals[t]];
    list.quad(at(outerFaces[s]), m);
  }
  for (let s = 0; s < n; ++s) {
    const t = (s + 1) % n;
    const m = [innerNormals[s], innerNormals[s], innerNormals[t], innerNormals[t]];
    list.quad(at(innerFaces[s]), m);
  }
  const up = [0, 1, 0];
  const down = [0, -1, 0];
  for (let s = 0; s < n; ++s) {
    const t = (s + 1) % n;
    list.quad(at([s, n + s, n + t, t]), [up, up, up, up]);
  }
  for (let s = 0; s < n; ++s) {
    const t = (s + 1) % n;
    list.quad(at([3 * n + s, 2 * n + s, 2 * n + t, 3 * n + t]), [down, down, down, down]);
  }
  return { ...list, polygons: 4 * n };
}

// The figure's two filled pentagons, 12 triangles fanned from corner 4 of each
// (objects/tholix.cpp): (c4, c0, c1) (c4, c1, c2) (c4, c2, c3) facing down,
// the same reversed facing up, then pentagon 2. `corners` holds the ten
// corners (pentagon 1 first), three floats each; `out` 12 * 9 floats.
export const kPentagonTriangles = 12;
const kFan = [[4, 0, 1], [4, 1, 2], [4, 2, 3], [1, 0, 4], [2, 1, 4], [3, 2, 4]];
export function pentagonTriangles(corners, out) {
  let k = 0;
  for (let p = 0; p < 2; ++p)
    for (const triangle of kFan)
      for (const c of triangle) {
        const from = 3 * (5 * p + c);
        out[k++] = corners[from];
        out[k++] = corners[from + 1];
        out[k++] = corners[from + 2];
      }
  return out;
}

// Vertex pairs that close `curves` runs of `samples` points each into loops
// (OpenGL's line loops as line segments): sample j to j + 1, the last to the first.
export function loopSegments(curves, samples) {
  const index = new Uint16Array(curves * samples * 2);
  let k = 0;
  for (let c = 0; c < curves; ++c)
    for (let j = 0; j < samples; ++j) {
      index[k++] = c * samples + j;
      index[k++] = c * samples + ((j + 1) % samples);
    }
  return index;
}
