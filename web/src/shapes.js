// The scene's meshes as plain arrays, from what the window program itself
// draws: scene.json (made at build time by web/scene_export.cpp) holds each
// object's OpenGL primitives as its display list or its drawing issues them,
// every vertex with the normal current when it was sent. Here they become the
// triangles OpenGL makes of them, in the same order (the order matters to
// blending), so that the page lights and blends them as OpenGL does there.
// No three.js here: scene.js wraps these.
//
// Every mesh is a list of triangles, three vertices each, with:
//   position, normal  three floats a vertex;
//   edge              the vertex's barycentric corner (1,0,0), (0,1,0) or
//                     (0,0,1), with 1 added to the component of the corner
//                     opposite an edge that OpenGL's polygon outline mode does
//                     not draw (the diagonal of a quad), so that the wire frame
//                     shader never finds it near 0 there.

// Collects triangles; a quad (a, b, c, d) becomes (a, b, c) and (a, c, d)
// with its diagonal a-c hidden from the wire frame.
class triangleList {
  constructor(triangles) {
    this.position = new Float32Array(triangles * 9);
    this.normal = new Float32Array(triangles * 9);
    this.edge = new Float32Array(triangles * 9);
    this.count = 0; // vertices written
  }
  vertex(p, at, corner, hidden) {
    const k = this.count++ * 3;
    this.position.set(p.position.subarray(3 * at, 3 * at + 3), k);
    this.normal.set(p.normal.subarray(3 * at, 3 * at + 3), k);
    for (let c = 0; c < 3; ++c) this.edge[k + c] = (c === corner ? 1 : 0) + (c === hidden ? 1 : 0);
  }
  // Corners given as vertex numbers of primitive `p`; hidden: the corner
  // (0-2) opposite the edge to hide, or -1.
  triangle(p, corners, hidden = -1) {
    corners.forEach((at, c) => this.vertex(p, at, c, hidden));
  }
  quad(p, [a, b, c, d]) {
    this.triangle(p, [a, b, c], 1);
    this.triangle(p, [a, c, d], 2);
  }
}

// How many triangles, and which: OpenGL's rules for each kind of primitive
// (its polygons keep the winding their vertices give them).
const kinds = {
  triangles: {
    count: (n) => Math.floor(n / 3),
    emit: (list, p, n) => {
      for (let v = 0; v + 2 < n; v += 3) list.triangle(p, [v, v + 1, v + 2]);
    },
  },
  triangleFan: {
    count: (n) => Math.max(n - 2, 0),
    emit: (list, p, n) => {
      for (let v = 1; v + 1 < n; ++v) list.triangle(p, [0, v, v + 1]);
    },
  },
  quads: {
    count: (n) => 2 * Math.floor(n / 4),
    emit: (list, p, n) => {
      for (let v = 0; v + 3 < n; v += 4) list.quad(p, [v, v + 1, v + 2, v + 3]);
    },
  },
  quadStrip: {
    // quad k of a strip is (2k, 2k+1, 2k+3, 2k+2)
    count: (n) => 2 * Math.max(Math.floor(n / 2) - 1, 0),
    emit: (list, p, n) => {
      for (let v = 0; v + 3 < n; v += 2) list.quad(p, [v, v + 1, v + 3, v + 2]);
    },
  },
};

// The triangles of an object's primitives (scene.json's `primitives`), in order.
export function primitiveTriangles(primitives) {
  const vertices = (p) => p.position.length / 3;
  const total = primitives.reduce((sum, p) => sum + (kinds[p.mode]?.count(vertices(p)) ?? 0), 0);
  const list = new triangleList(total);
  for (const p of primitives) {
    const kind = kinds[p.mode];
    if (!kind) throw new Error(`scene.json: no triangles for a primitive of kind ${p.mode}`);
    kind.emit(list, { position: Float32Array.from(p.position), normal: Float32Array.from(p.normal) }, vertices(p));
  }
  return list;
}

// The figure's filled pentagons from its ten corners (pentagon 1 first, three
// floats each) and its faces as corner numbers (scene.json's pentagonFans):
// `out` gets three corners a triangle.
export function pentagonTriangles(corners, fans, out) {
  let k = 0;
  for (const c of fans) {
    out[k++] = corners[3 * c];
    out[k++] = corners[3 * c + 1];
    out[k++] = corners[3 * c + 2];
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
