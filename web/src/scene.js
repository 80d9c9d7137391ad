// The window program's scene in three.js, as a frame of the program draws it
// (scene.json, recorded from the program's own code at build time): a black
// background; the brown sphere; the black figure (two filled pentagons, ten
// great circles, ten cylinder curves, corners and equator crossings as
// points); the translucent slate-grey tube, drawn last without writing depth;
// the program's perspective. The three objects spin together about their own
// +y. World units, degrees at the interface.
import {
  BufferAttribute,
  BufferGeometry,
  LineSegments,
  Matrix4,
  Mesh,
  PerspectiveCamera,
  Points,
  Scene,
  WebGLRenderer,
} from 'three';

import { attachMaterial, fixedFunctionMaterial, setWireFrame } from './fixed_function.js';
import { kSamplesPerCurve } from './geodesics.js';
import { loopSegments, pentagonTriangles, primitiveTriangles } from './shapes.js';

const kCurves = 10;
const kPoints = 30; // ten corners and twenty equator crossings

function meshGeometry(mesh) {
  const geometry = new BufferGeometry();
  geometry.setAttribute('position', new BufferAttribute(mesh.position, 3));
  geometry.setAttribute('normal', new BufferAttribute(mesh.normal, 3));
  geometry.setAttribute('edge', new BufferAttribute(mesh.edge, 3));
  return geometry;
}

// A geometry whose positions the figure rewrites in place: the same sizes for
// every four values, so a change uploads new data into the same buffers. The
// figure sends OpenGL no normals: it is lit with the current normal, (0, 0, 1)
// as every frame leaves it, which every vertex carries here.
function figureGeometry(vertices, index) {
  const geometry = new BufferGeometry();
  const position = new BufferAttribute(new Float32Array(vertices * 3), 3);
  position.setUsage(35048); // DYNAMIC_DRAW
  geometry.setAttribute('position', position);
  const normal = new Float32Array(vertices * 3);
  for (let k = 2; k < normal.length; k += 3) normal[k] = 1;
  geometry.setAttribute('normal', new BufferAttribute(normal, 3));
  if (index) geometry.setIndex(new BufferAttribute(index, 1));
  return geometry;
}

// The figure's cylinder curves run far off for edges whose planes are near
// vertical: it is never culled by bounds.
function figureObject(object, material) {
  object.frustumCulled = false;
  return attachMaterial(object, material);
}

export class GeodesicScene {
  // `context`: the canvas's WebGL 2 context, made without antialiasing or
  // alpha (the program's window has neither); `recorded`: scene.json.
  constructor(canvas, context, recorded) {
    this.renderer = new WebGLRenderer({ canvas, context, antialias: false, alpha: false });
    this.renderer.setClearColor(0x000000, 1);
    this.scene = new Scene();
    const { fovy, near, far } = recorded.perspective;
    this.halfFov = (fovy / 2) * (Math.PI / 180);
    this.camera = new PerspectiveCamera(fovy, 1, near, far);

    const object = Object.fromEntries(recorded.objects.map((o) => [o.role, o]));
    const lighting = { ambient: recorded.ambient, lights: recorded.lights };
    const material = (role) => fixedFunctionMaterial(object[role], lighting);
    const placed = (mesh, role) => {
      mesh.matrixAutoUpdate = false;
      mesh.userData.placement = [object[role].beforeSpin, object[role].afterSpin].map((m) => new Matrix4().fromArray(m));
      return mesh;
    };

    this.sphere = placed(attachMaterial(new Mesh(meshGeometry(primitiveTriangles(object.sphere.primitives))),
      material('sphere')), 'sphere');

    this.fans = recorded.pentagonFans;
    const triangles = this.fans.length / 3;
    const pentagons = new Mesh(figureGeometry(triangles * 3));
    const edges = new Float32Array(triangles * 9);
    for (let k = 0; k < triangles * 3; ++k) edges[3 * k + (k % 3)] = 1;
    pentagons.geometry.setAttribute('edge', new BufferAttribute(edges, 3));
    this.pentagons = placed(figureObject(pentagons, material('figure')), 'figure');
    const loops = loopSegments(kCurves, kSamplesPerCurve);
    this.circles = placed(figureObject(new LineSegments(figureGeometry(kCurves * kSamplesPerCurve, loops)),
      material('figure')), 'figure');
    this.curves = placed(figureObject(new LineSegments(figureGeometry(kCurves * kSamplesPerCurve, loops)),
      material('figure')), 'figure');
    this.points = placed(figureObject(new Points(figureGeometry(kPoints)),
      fixedFunctionMaterial({ ...object.figure, pointSize: object.figure.pointSize }, lighting)), 'figure');

    this.cylinder = placed(attachMaterial(new Mesh(meshGeometry(primitiveTriangles(object.cylinder.primitives))),
      material('cylinder')), 'cylinder');

    this.figure = [this.pentagons, this.circles, this.curves, this.points];
    this.spinning = [this.sphere, ...this.figure, this.cylinder];
    this.scene.add(...this.spinning);
    this.polygonCounts = { sphere: object.sphere.polygons, figure: object.figure.polygons, cylinder: object.cylinder.polygons };
    this.setSpin(0);
  }

  // New figure quantities (from Mathematics.figure) into the same buffers.
  setFigure(figure) {
    const put = (object, data) => {
      const position = object.geometry.getAttribute('position');
      position.array.set(data);
      position.needsUpdate = true;
    };
    pentagonTriangles(figure.corners, this.fans, this.pentagons.geometry.getAttribute('position').array);
    this.pentagons.geometry.getAttribute('position').needsUpdate = true;
    put(this.circles, figure.greatCircles);
    put(this.curves, figure.cylinderCurves);
    this.leaveOutCollapsedCurves(figure.collapsed);
    // corners and crossings are adjacent in the figure's layout
    const points = this.points.geometry.getAttribute('position').array;
    points.set(figure.corners, 0);
    points.set(figure.crossings, figure.corners.length);
    this.points.geometry.getAttribute('position').needsUpdate = true;
  }

  // A pentagon collapsed at a pole has no edge planes, so no cylinder curves
  // (the mathematics gives NaN heights): its five are not drawn, and their
  // vertices are zeroed so that no NaN reaches three.js (whose bounds of the
  // lines would be NaN, and say so). Pentagon 1's curves come first in the
  // vertices and in the index, so what is drawn is one range.
  leaveOutCollapsedCurves(collapsed) {
    const vertices = 5 * kSamplesPerCurve; // a pentagon's curves
    const position = this.curves.geometry.getAttribute('position');
    for (const p of [0, 1]) if (collapsed[p]) position.array.fill(0, 3 * p * vertices, 3 * (p + 1) * vertices);
    const first = collapsed[0] ? 2 * vertices : 0; // two indices a segment
    const end = collapsed[1] ? 2 * vertices : 4 * vertices;
    this.curves.geometry.setDrawRange(first, Math.max(end - first, 0));
  }

  // The spin about each object's own +y, in degrees (the program sets it from
  // the animation time; it does not accumulate): between the placement the
  // program applies before it and the one after.
  setSpin(degrees) {
    const spin = new Matrix4().makeRotationY((degrees * Math.PI) / 180);
    for (const object of this.spinning) {
      const [before, after] = object.userData.placement;
      object.matrix.multiplyMatrices(before, spin).multiply(after);
      object.matrixWorldNeedsUpdate = true;
    }
  }

  // { cylinder, circles, curves, points }: each shown or not.
  setLayers(layers) {
    this.cylinder.visible = layers.cylinder;
    this.circles.visible = layers.circles;
    this.curves.visible = layers.curves;
    this.points.visible = layers.points;
  }

  // Polygons drawn as outlines (the program's glPolygonMode GL_LINE); lines
  // and points are unchanged.
  setWireFrame(on) {
    for (const object of [this.sphere, this.pentagons, this.cylinder]) setWireFrame(object.material, on);
  }

  // The polygons of the objects shown, counted as the program counts them.
  polygonCount() {
    const c = this.polygonCounts;
    return c.sphere + c.figure + (this.cylinder.visible ? c.cylinder : 0);
  }

  // Fits the drawing buffer to the canvas's size on the page. The program's
  // window, wider than tall, sees its field of view from bottom to top; a view
  // taller than wide (a phone held upright) sees it across instead, so the
  // figure fits it the same way.
  resize(width, height, pixelRatio) {
    this.renderer.setPixelRatio(pixelRatio);
    this.renderer.setSize(width, height, false);
    const aspect = width / Math.max(height, 1);
    const halfHeight = aspect >= 1 ? this.halfFov : Math.atan(Math.tan(this.halfFov) / aspect);
    this.camera.aspect = aspect;
    this.camera.fov = (2 * halfHeight * 180) / Math.PI;
    this.camera.updateProjectionMatrix();
  }

  render() {
    this.renderer.render(this.scene, this.camera);
  }
}
