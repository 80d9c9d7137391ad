// The window program's scene in three.js (basicsource/scene.cpp ConstructScene,
// basicsource/main.cpp ViewScene): a black background; the brown sphere of
// radius 0.992; the black figure (two filled pentagons, ten great circles, ten
// cylinder curves, corners and equator crossings as 3-pixel points); the
// translucent slate-grey tube, 12 units tall around y = -0.2, drawn last
// without writing depth; a 45-degree perspective from 0.1 to 500. The three
// objects spin together about +y. World units, degrees at the interface.
import {
  BufferAttribute,
  BufferGeometry,
  LineSegments,
  Mesh,
  PerspectiveCamera,
  Points,
  Scene,
  WebGLRenderer,
} from 'three';

import { attachMaterial, fixedFunctionMaterial, setWireFrame } from './fixed_function.js';
import { kSamplesPerCurve } from './geodesics.js';
import {
  kPentagonTriangles,
  loopSegments,
  pentagonTriangles,
  sphereMesh,
  wheelMesh,
} from './shapes.js';

const kCurves = 10;
const kHalfFov = (22.5 * Math.PI) / 180; // gluPerspective(45, ...)
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

// The figure's vertices are NaN for a pentagon collapsed to a pole, and its
// cylinder curves run far off for edges whose planes are near vertical: it is
// never culled by bounds (which three.js would compute, and complain about).
function figureObject(object, material) {
  object.frustumCulled = false;
  return attachMaterial(object, material);
}

export class GeodesicScene {
  // `context`: the canvas's WebGL 2 context, made without antialiasing or
  // alpha (the program's window has neither).
  constructor(canvas, context) {
    this.renderer = new WebGLRenderer({ canvas, context, antialias: false, alpha: false });
    this.renderer.setClearColor(0x000000, 1);
    this.scene = new Scene();
    this.camera = new PerspectiveCamera(45, 1, 0.1, 500);

    const sphere = sphereMesh(30);
    this.sphere = attachMaterial(
      new Mesh(meshGeometry(sphere)),
      fixedFunctionMaterial({ colour: [0.545, 0.27, 0.074, 1] }),
    );
    this.sphere.scale.setScalar(0.992); // just inside the figure's lines

    const black = [0, 0, 0, 1];
    const pentagons = new Mesh(figureGeometry(kPentagonTriangles * 3));
    const edges = new Float32Array(kPentagonTriangles * 9);
    for (let k = 0; k < kPentagonTriangles * 3; ++k) edges[3 * k + (k % 3)] = 1;
    pentagons.geometry.setAttribute('edge', new BufferAttribute(edges, 3));
    this.pentagons = figureObject(pentagons, fixedFunctionMaterial({ colour: black }));
    const loops = loopSegments(kCurves, kSamplesPerCurve);
    this.circles = figureObject(
      new LineSegments(figureGeometry(kCurves * kSamplesPerCurve, loops)),
      fixedFunctionMaterial({ colour: black }),
    );
    this.curves = figureObject(
      new LineSegments(figureGeometry(kCurves * kSamplesPerCurve, loops)),
      fixedFunctionMaterial({ colour: black }),
    );
    this.points = figureObject(
      new Points(figureGeometry(kPoints)),
      fixedFunctionMaterial({ colour: black, pointSize: 3 }),
    );

    const wheel = wheelMesh(120, 0.999, 0.997);
    this.cylinder = attachMaterial(
      new Mesh(meshGeometry(wheel)),
      fixedFunctionMaterial({ colour: [0.184, 0.31, 0.31, 0.68] }),
    );
    this.cylinder.scale.set(0.995, 6, 0.995); // a thin-walled tube 12 units tall
    this.cylinder.position.set(0, -0.2, 0);

    this.figure = [this.pentagons, this.circles, this.curves, this.points];
    this.spinning = [this.sphere, ...this.figure, this.cylinder];
    this.scene.add(...this.spinning);
    this.polygonCounts = { sphere: sphere.polygons, figure: kPentagonTriangles, cylinder: wheel.polygons };
  }

  // New figure quantities (from Mathematics.figure) into the same buffers.
  setFigure(figure) {
    const put = (object, data) => {
      const position = object.geometry.getAttribute('position');
      position.array.set(data);
      position.needsUpdate = true;
    };
    pentagonTriangles(figure.corners, this.pentagons.geometry.getAttribute('position').array);
    this.pentagons.geometry.getAttribute('position').needsUpdate = true;
    put(this.circles, figure.greatCircles);
    put(this.curves, figure.cylinderCurves);
    // corners and crossings are adjacent in the figure's layout
    const points = this.points.geometry.getAttribute('position').array;
    points.set(figure.corners, 0);
    points.set(figure.crossings, figure.corners.length);
    this.points.geometry.getAttribute('position').needsUpdate = true;
  }

  // The spin about +y, in degrees (the program sets it from the animation
  // time; it does not accumulate).
  setSpin(degrees) {
    const radians = (degrees * Math.PI) / 180;
    for (const object of this.spinning) object.rotation.y = radians;
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
  // window, wider than tall, sees 45 degrees from bottom to top; a view taller
  // than wide (a phone held upright) sees 45 degrees across instead, so the
  // figure fits it the same way.
  resize(width, height, pixelRatio) {
    this.renderer.setPixelRatio(pixelRatio);
    this.renderer.setSize(width, height, false);
    const aspect = width / Math.max(height, 1);
    const halfHeight = aspect >= 1 ? kHalfFov : Math.atan(Math.tan(kHalfFov) / aspect);
    this.camera.aspect = aspect;
    this.camera.fov = (2 * halfHeight * 180) / Math.PI;
    this.camera.updateProjectionMatrix();
  }

  render() {
    this.renderer.render(this.scene, this.camera);
  }
}
