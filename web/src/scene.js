// The window program's scene in three.js, as a frame of the program draws it
// (scene.json, recorded from the program's own code at build time): a black
// background; the brown sphere; the black figure (two filled pentagons, ten
// great circles, ten cylinder curves, corners and equator crossings as
// points); the translucent slate-grey tube, drawn last without writing depth;
// the program's perspective. The three objects spin together about their own
// +y. World units, degrees at the interface.
//
// The page adds marks of its own to the figure, spinning with it: every point
// where the circles meet (on the sphere, and its image on the cylinder where
// the curves cross), and the chosen point and circles in a colour of their
// own; and picks them under the pointer. In place of the brown sphere it can
// show the dome the circles build: its flat panels, lit as the sphere is,
// with its struts and hubs.
import {
  BufferAttribute,
  BufferGeometry,
  Color,
  DynamicDrawUsage,
  LinearSRGBColorSpace,
  LineSegments,
  Matrix4,
  Mesh,
  NoBlending,
  PerspectiveCamera,
  Points,
  Ray,
  Scene,
  ShaderMaterial,
  Sphere,
  Vector3,
  WebGLRenderer,
} from 'three';

import { attachMaterial, fixedFunctionMaterial, setWireFrame } from './fixed_function.js';
import { kSamplesPerCurve } from './geodesics.js';
import { loopSegments, pentagonTriangles, primitiveTriangles } from './shapes.js';

const kCurves = 10;
const kPoints = 30; // ten corners and twenty equator crossings
const kMaxIntersections = 90; // two for each pair of the ten circles
// The marks' colours and sizes in CSS pixels: every intersection white, the
// choice magenta and larger, both clear of the black figure, the brown sphere
// and the slate tube.
const kMarkColour = 0xffffff;
const kChosenColour = 0xff40ff;
const kMarkSize = 5;
const kChosenSize = 9;
// The dome: plywood-coloured panels under the scene's lights, with the
// sphere's shine; dark struts; hubs as steel-grey dots, each clear of the
// panels, the black figure and the white marks.
// As the fixed-function colours, these are written as they are: no colour
// management.
export const kPanelColour = [0.5, 0.46, 0.4, 1];
const kStrutColour = new Color().setRGB(0.2, 0.15, 0.1, LinearSRGBColorSpace);
const kHubColour = new Color().setRGB(0.55, 0.59, 0.63, LinearSRGBColorSpace);
const kHubSize = 4;

// A flat colour for the marks, drawn a hair nearer than the figure's own
// lines and points where they coincide (the same vertices through another
// shader need not give the same depth to the last bit), still hidden behind
// the sphere.
function markMaterial(colour, size) {
  return new ShaderMaterial({
    uniforms: { colour: { value: new Color(colour) }, pointSize: { value: size } },
    vertexShader: /* glsl */ `
      uniform float pointSize;
      void main() {
        gl_PointSize = pointSize;
        gl_Position = projectionMatrix * viewMatrix * modelMatrix * vec4(position, 1.0);
        gl_Position.z -= 1e-5 * gl_Position.w;
      }`,
    fragmentShader: /* glsl */ `
      uniform vec3 colour;
      void main() { gl_FragColor = vec4(colour, 1.0); }`,
    blending: NoBlending,
  });
}

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
  position.setUsage(DynamicDrawUsage);
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

// The distance in pixels from (x, y) to the segment from a to b.
function segmentDistance(x, y, a, b) {
  const [dx, dy] = [b[0] - a[0], b[1] - a[1]];
  const length = dx * dx + dy * dy;
  const t = length > 0 ? Math.min(Math.max(((x - a[0]) * dx + (y - a[1]) * dy) / length, 0), 1) : 0;
  return Math.hypot(a[0] + t * dx - x, a[1] + t * dy - y);
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

    this.objects = Object.fromEntries(recorded.objects.map((o) => [o.role, o]));
    this.lighting = { ambient: recorded.ambient, lights: recorded.lights };
    this.makeFigure(recorded.pentagonFans);
    this.makeMarks();
    this.makeDome();
    this.intersections = { shown: false, points: [], images: [], live: [] };
    this.choice = { point: null, circles: [] };
    this.layers = { cylinder: true, circles: true, curves: true, points: true };

    this.figure = [this.pentagons, this.circles, this.curves, this.points];
    this.markObjects = [this.marks, this.chosenPoint, this.chosenCircles, this.chosenCurves];
    this.spinning = [this.sphere, ...this.domeObjects, ...this.figure, ...this.markObjects, this.cylinder];
    this.scene.add(...this.spinning);
    const object = this.objects;
    this.polygonCounts = {
      sphere: object.sphere.polygons,
      figure: object.figure.polygons,
      cylinder: object.cylinder.polygons,
    };
    this.setSpin(0);
  }

  // The material scene.json gives the object of `role`.
  material(role) {
    return fixedFunctionMaterial(this.objects[role], this.lighting);
  }

  // `mesh`, placed as the object of `role` is: its placements before and
  // after the spin, which setSpin() puts on either side of it.
  placed(mesh, role) {
    const object = this.objects[role];
    mesh.matrixAutoUpdate = false;
    mesh.userData.placement = [object.beforeSpin, object.afterSpin].map((m) => new Matrix4().fromArray(m));
    return mesh;
  }

  // The program's own objects: the sphere and the tube as recorded, and the
  // figure in buffers that setFigure() fills.
  makeFigure(fans) {
    const object = this.objects;
    const recordedMesh = (role) => new Mesh(meshGeometry(primitiveTriangles(object[role].primitives)));
    this.sphere = this.placed(attachMaterial(recordedMesh('sphere'), this.material('sphere')), 'sphere');
    this.fans = fans;
    const triangles = fans.length / 3;
    const pentagons = new Mesh(figureGeometry(triangles * 3));
    const edges = new Float32Array(triangles * 9);
    for (let k = 0; k < triangles * 3; ++k) edges[3 * k + (k % 3)] = 1;
    pentagons.geometry.setAttribute('edge', new BufferAttribute(edges, 3));
    this.pentagons = this.placed(figureObject(pentagons, this.material('figure')), 'figure');
    this.loops = loopSegments(kCurves, kSamplesPerCurve);
    const lines = () => new LineSegments(figureGeometry(kCurves * kSamplesPerCurve, this.loops));
    this.circles = this.placed(figureObject(lines(), this.material('figure')), 'figure');
    this.curves = this.placed(figureObject(lines(), this.material('figure')), 'figure');
    this.points = this.placed(figureObject(new Points(figureGeometry(kPoints)), this.material('figure')), 'figure');
    this.cylinder = this.placed(attachMaterial(recordedMesh('cylinder'), this.material('cylinder')), 'cylinder');
  }

  // A mark of the page's own over the figure, in a flat colour: hidden until shown.
  mark(object, colour, size) {
    object.frustumCulled = false;
    object.renderOrder = 1; // after the figure, over its lines and points
    object.material = markMaterial(colour, size);
    object.visible = false;
    return this.placed(object, 'figure');
  }

  // The marks: every intersection on the sphere, then the images of those
  // off the poles; the chosen point and its image; the chosen circles and
  // their curves, drawn from the figure's own vertices through an index of
  // their segments alone.
  makeMarks() {
    const markPoints = (count) => {
      const geometry = new BufferGeometry();
      geometry.setAttribute('position', new BufferAttribute(new Float32Array(count * 3), 3).setUsage(DynamicDrawUsage));
      geometry.setDrawRange(0, 0);
      return geometry;
    };
    const chosenLines = (lines) => {
      const geometry = new BufferGeometry();
      geometry.setAttribute('position', lines.geometry.getAttribute('position'));
      geometry.setIndex(new BufferAttribute(new Uint16Array(this.loops.length), 1).setUsage(DynamicDrawUsage));
      geometry.setDrawRange(0, 0);
      return geometry;
    };
    this.marks = this.mark(new Points(markPoints(2 * kMaxIntersections)), kMarkColour, kMarkSize);
    this.chosenPoint = this.mark(new Points(markPoints(2)), kChosenColour, kChosenSize);
    this.chosenCircles = this.mark(new LineSegments(chosenLines(this.circles)), kChosenColour, 1);
    this.chosenCurves = this.mark(new LineSegments(chosenLines(this.curves)), kChosenColour, 1);
  }

  // The dome, when shown, in place of the sphere: built from the figure's
  // intersections, it stands where the figure does, and spins with it.
  // The panels are pushed back by their depth slope so that the struts
  // along their sides are drawn whole over them (the marks' small offset
  // alone left some struts broken into dashes on SwiftShader).
  makeDome() {
    const domeMaterial = fixedFunctionMaterial({ ...this.objects.sphere, diffuse: kPanelColour }, this.lighting);
    Object.assign(domeMaterial, { polygonOffset: true, polygonOffsetFactor: 1, polygonOffsetUnits: 1 });
    this.domePanels = this.placed(attachMaterial(new Mesh(new BufferGeometry()), domeMaterial), 'figure');
    this.domeStruts = this.mark(new LineSegments(new BufferGeometry()), kStrutColour, 1);
    this.domeHubs = this.mark(new Points(new BufferGeometry()), kHubColour, kHubSize);
    this.domePanels.frustumCulled = false;
    this.domePanels.visible = false;
    this.domeObjects = [this.domePanels, this.domeStruts, this.domeHubs];
    this.domePanelCount = 0;
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

  // The spin about each object's own +y, a turn in degrees (from +z towards
  // +x: web/src/geodesics.js names the page's two senses of angle; the
  // program sets it from the animation time; it does not accumulate):
  // between the placement the program applies before it and the one after.
  setSpin(degrees) {
    const spin = new Matrix4().makeRotationY((degrees * Math.PI) / 180);
    for (const object of this.spinning) {
      const [before, after] = object.userData.placement;
      object.matrix.multiplyMatrices(before, spin).multiply(after);
      object.matrixWorldNeedsUpdate = true;
    }
  }

  // The dome (Mathematics.dome of the figure's values at radius 1, on the
  // sphere), or null: the sphere as before. Its panels, struts and hubs are
  // written into buffers that grow when a dome needs more, never shrink.
  setDome(dome) {
    this.sphere.visible = dome === null;
    for (const object of this.domeObjects) object.visible = dome !== null;
    this.domePanelCount = dome ? dome.panelClass.length : 0;
    if (!dome) return;
    const put = (geometry, name, data) => {
      let attribute = geometry.getAttribute(name);
      if (!attribute || attribute.array.length < data.length) {
        attribute = new BufferAttribute(new Float32Array(data.length), 3).setUsage(DynamicDrawUsage);
        geometry.setAttribute(name, attribute);
      }
      attribute.array.set(data);
      attribute.needsUpdate = true;
      geometry.setDrawRange(0, data.length / 3);
    };
    const panels = this.domePanels.geometry;
    put(panels, 'position', dome.positions);
    put(panels, 'normal', dome.normals);
    // each panel's corners (1,0,0), (0,1,0), (0,0,1) for the wire frame: its three sides drawn
    const edge = panels.getAttribute('edge');
    if (!edge || edge.count < dome.positions.length / 3) {
      const corners = new Float32Array(panels.getAttribute('position').array.length);
      for (let k = 0; k < corners.length / 3; ++k) corners[3 * k + (k % 3)] = 1;
      panels.setAttribute('edge', new BufferAttribute(corners, 3));
    }
    put(this.domeStruts.geometry, 'position', dome.struts);
    put(this.domeHubs.geometry, 'position', dome.hubs);
  }

  // { cylinder, circles, curves, points }: each shown or not.
  setLayers(layers) {
    this.layers = { ...layers };
    this.cylinder.visible = layers.cylinder;
    this.circles.visible = layers.circles;
    this.curves.visible = layers.curves;
    this.points.visible = layers.points;
    this.showMarks();
  }

  // The intersections (Mathematics.intersections for the figure's values),
  // or null: none shown. Their images on the cylinder follow the curves'
  // layer; a point at a pole has none.
  setIntersections(intersections) {
    this.intersections.shown = intersections !== null;
    if (intersections) {
      const points = intersections.points.map((p) => p.sphere);
      const images = [];
      intersections.points.forEach((p, k) => {
        if (p.cylinder) images.push([k, p.cylinder]);
      });
      const position = this.marks.geometry.getAttribute('position');
      points.forEach((p, k) => position.array.set(p, 3 * k));
      images.forEach(([, p], k) => position.array.set(p, 3 * (points.length + k)));
      position.needsUpdate = true;
      this.intersections = { shown: true, points, images, live: intersections.circles.map((c) => c.live) };
    }
    this.showMarks();
  }

  // The choice: { point: index or null, circles: [c, ...] } (the chosen
  // point and the circles through it, or a chosen circle alone), among the
  // intersections last set.
  setChoice({ point, circles }) {
    this.choice = { point, circles: [...circles] };
    const position = this.chosenPoint.geometry.getAttribute('position');
    if (point !== null) {
      position.array.set(this.intersections.points[point], 0);
      const image = this.intersections.images.find(([k]) => k === point);
      position.array.set(image ? image[1] : this.intersections.points[point], 3);
      position.needsUpdate = true;
    }
    const segments = 2 * kSamplesPerCurve;
    for (const lines of [this.chosenCircles, this.chosenCurves]) {
      const index = lines.geometry.getIndex();
      circles.forEach((c, k) => index.array.set(this.loops.subarray(c * segments, (c + 1) * segments), k * segments));
      index.needsUpdate = true;
      lines.geometry.setDrawRange(0, circles.length * segments);
    }
    this.showMarks();
  }

  showMarks() {
    const { shown, points, images } = this.intersections;
    const curves = this.layers.curves;
    this.marks.visible = shown && points.length > 0;
    this.marks.geometry.setDrawRange(0, points.length + (curves ? images.length : 0));
    const point = this.choice.point;
    this.chosenPoint.visible = shown && point !== null;
    this.chosenPoint.geometry.setDrawRange(0, curves && images.some(([k]) => k === point) ? 2 : 1);
    this.chosenCircles.visible = shown && this.layers.circles && this.choice.circles.length > 0;
    this.chosenCurves.visible = shown && curves && this.choice.circles.length > 0;
  }

  // What lies under the pointer at (x, y), CSS pixels from the canvas's top
  // left: { kind: 'point', index } for the nearest intersection (on the
  // sphere or its image) within `pointPixels`, else { kind: 'circle', index }
  // for the nearest line of a live circle shown (its great circle or its
  // curve) within `linePixels`, else null. What the sphere hides is not
  // picked; the cylinder, being see-through, hides nothing.
  pick(x, y, { pointPixels, linePixels }) {
    if (!this.intersections.shown) return null;
    this.scene.updateMatrixWorld();
    this.camera.updateMatrixWorld();
    const canvas = this.renderer.domElement;
    const [width, height] = [canvas.clientWidth, canvas.clientHeight];
    const sphere = this.sphereBounds();
    const eye = this.camera.position;
    const eyeInside = sphere.containsPoint(eye);
    const ray = new Ray();
    const hit = new Vector3();
    const world = new Vector3();
    const view = new Vector3();
    const matrix = this.marks.matrixWorld; // the figure's placement, spin included
    // [screen x, screen y] of a point of the figure, or null when it is
    // behind the camera or the sphere
    const screen = (p) => {
      world.set(p[0], p[1], p[2]).applyMatrix4(matrix);
      view.copy(world).applyMatrix4(this.camera.matrixWorldInverse);
      if (view.z > -this.camera.near) return null;
      if (!eyeInside) {
        ray.set(eye, hit.copy(world).sub(eye).normalize());
        const distance = world.distanceTo(eye);
        if (ray.intersectSphere(sphere, hit) && hit.distanceTo(eye) < distance - 1e-6) return null;
      }
      world.project(this.camera);
      return [((world.x + 1) / 2) * width, ((1 - world.y) / 2) * height];
    };

    let best = null;
    let bestDistance = pointPixels;
    const points = [
      ...this.intersections.points.map((p, k) => [k, p]),
      ...(this.layers.curves ? this.intersections.images : []),
    ];
    for (const [k, p] of points) {
      const s = screen(p);
      const d = s && Math.hypot(s[0] - x, s[1] - y);
      if (s && d <= bestDistance) [best, bestDistance] = [{ kind: 'point', index: k }, d];
    }
    if (best) return best;

    bestDistance = linePixels;
    const lines = [this.layers.circles && this.circles, this.layers.curves && this.curves].filter(Boolean);
    for (const object of lines) {
      const array = object.geometry.getAttribute('position').array;
      for (let c = 0; c < kCurves; ++c) {
        if (!this.intersections.live[c]) continue;
        const at = (j) => screen(array.subarray(3 * (c * kSamplesPerCurve + j), 3 * (c * kSamplesPerCurve + j) + 3));
        let previous = at(kSamplesPerCurve - 1);
        for (let j = 0; j < kSamplesPerCurve; ++j) {
          const next = at(j);
          const d = previous && next ? segmentDistance(x, y, previous, next) : Infinity;
          if (d <= bestDistance) [best, bestDistance] = [{ kind: 'circle', index: c }, d];
          previous = next;
        }
      }
    }
    return best;
  }

  // The sphere as drawn, in world coordinates.
  sphereBounds() {
    const geometry = this.sphere.geometry;
    if (!geometry.boundingSphere) geometry.computeBoundingSphere();
    return new Sphere().copy(geometry.boundingSphere).applyMatrix4(this.sphere.matrixWorld);
  }

  // Polygons drawn as outlines (the program's glPolygonMode GL_LINE); lines
  // and points are unchanged.
  setWireFrame(on) {
    for (const object of [this.sphere, this.domePanels, this.pentagons, this.cylinder])
      setWireFrame(object.material, on);
  }

  // The polygons of the objects shown, counted as the program counts them
  // (the dome's panels in place of the sphere's).
  polygonCount() {
    const c = this.polygonCounts;
    return (this.sphere.visible ? c.sphere : this.domePanelCount) + c.figure + (this.cylinder.visible ? c.cylinder : 0);
  }

  // Fits the drawing buffer to the canvas's size on the page. The program's
  // window, wider than tall, sees its field of view from bottom to top; a view
  // taller than wide (a phone held upright) sees it across instead, so the
  // figure fits it the same way.
  resize(width, height, pixelRatio) {
    this.renderer.setPixelRatio(pixelRatio);
    this.marks.material.uniforms.pointSize.value = kMarkSize * pixelRatio;
    this.chosenPoint.material.uniforms.pointSize.value = kChosenSize * pixelRatio;
    this.domeHubs.material.uniforms.pointSize.value = kHubSize * pixelRatio;
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
