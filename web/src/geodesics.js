// The project's own mathematics, compiled from its C++ sources to WebAssembly
// (web/wasm/geodesics_wasm.cpp): the four pentagon values read as the report
// tool reads them, every quantity of the figure, where its great circles meet
// and the arcs between them, the dome they build with its cut list, the
// plain-text value report and the camera flight. Nothing is computed here; the
// same module serves the page and the Node tests. Heights in -1 to 1,
// seconds, and angles about +y (y up) in radians, in one of two senses,
// each with its name wherever the page uses it:
//   a longitude     runs from +x towards +z: the pentagons' corners (LONG1,
//                   LONG2) and the points where the circles meet;
//   a turn          runs from +z towards +x: the cylinder curves' sample
//                   angles (figure.sampleAngles) and the figure's spin
//                   (three.js's rotation about +y; degrees there).
import loadGeodesics from '../wasm/geodesics.js';
import { fetchSiteFile } from './site_files.js';

export const kSamplesPerCurve = 100;

// Loads the module; `bytes` is the .wasm file's contents when the caller has
// them (Node), else it is fetched from beside the page's scripts. The bytes
// are handed over whole rather than streamed, so a host that serves .wasm
// with any content type still works. A file that is missing, empty, damaged
// or from another build rejects with what is wrong in the page's words;
// the module is instantiated here, not by its loader, which would print its
// own failure to the console and leave a rejection nobody handles.
export async function loadMathematics(bytes) {
  let name = 'wasm/geodesics.wasm';
  if (!bytes) ({ name, bytes } = await fetchSiteFile(new URL('../wasm/geodesics.wasm', import.meta.url)));
  if (bytes.byteLength === 0) throw new Error(`${name} is empty`);
  if (!WebAssembly.validate(bytes)) throw new Error(`${name} is damaged (not a WebAssembly module)`);
  const otherBuild = () => new Error(`${name} does not fit wasm/geodesics.js (the two come from different builds)`);
  const module = await new Promise((resolve, reject) => {
    const instantiateWasm = (imports, receive) => {
      WebAssembly.instantiate(bytes, imports)
        .then(({ instance, module: compiled }) => receive(instance, compiled))
        .catch(() => reject(otherBuild()));
      return {};
    };
    loadGeodesics({ instantiateWasm }).then(resolve, reject);
  });
  try {
    return new Mathematics(module);
  } catch {
    throw otherBuild();
  }
}

// The intersections' two blocks, read as named arrays: `doubles` and
// `integers` (web/wasm/geodesics_wasm.cpp lays them out), into the plain
// objects Mathematics.intersections describes. NaN is the module's word for
// no value.
const orNull = (x) => (Number.isNaN(x) ? null : x);
const triple = (array, k) => [array[3 * k], array[3 * k + 1], array[3 * k + 2]];
const bitsOf = (mask) => {
  const list = [];
  for (let c = 0; c < 10; ++c) if (mask & (1 << c)) list.push(c);
  return list;
};

function intersectionPoints(doubles, integers) {
  const points = [];
  for (let k = 0; k < integers.counts[0]; ++k)
    points.push({
      sphere: triple(doubles.sphere, k),
      cylinder: Number.isNaN(doubles.cylinder[3 * k]) ? null : triple(doubles.cylinder, k),
      circles: bitsOf(integers.pointCircles[k]),
      corners: bitsOf(integers.pointCorners[k]),
      equatorCrossing: integers.pointEquatorCrossing[k] === 1,
      longitude: doubles.longitude[k],
      polarAngle: doubles.polarAngle[k],
      arcs: [],
    });
  return points;
}

// The arcs, each also listed at the points it joins.
function intersectionArcs(doubles, integers, points) {
  const arcs = [];
  for (let k = 0; k < integers.counts[1]; ++k) {
    const arc = {
      circle: integers.arcCircle[k],
      from: integers.arcFrom[k],
      to: integers.arcTo[k],
      angle: doubles.arcAngle[k],
      chord: doubles.arcChord[k],
      cylinderLength: orNull(doubles.arcCylinderLength[k]),
    };
    arcs.push(arc);
    points[arc.from].arcs.push(k);
    if (arc.to !== arc.from) points[arc.to].arcs.push(k);
  }
  return arcs;
}

function intersectionCircles(doubles, integers, arcs) {
  const circles = [];
  for (let c = 0; c < 10; ++c) {
    const live = integers.circleLive[c] === 1;
    const mine = [];
    for (let k = 0; k < integers.circleArcCount[c]; ++k) mine.push(integers.circleFirstArc[c] + k);
    circles.push({
      circle: c,
      label: `${Math.floor(c / 5) + 1}.${c % 5}`,
      live,
      sameAs: live ? integers.circleSameAs[c] : null,
      vertical: integers.circleVertical[c] === 1,
      unitNormal: live ? triple(doubles.unitNormal, c) : null,
      points: mine.map((k) => arcs[k].from),
      arcs: mine,
      angleSum: doubles.angleSum[c],
      chordSum: doubles.chordSum[c],
      cylinderSum: orNull(doubles.cylinderSum[c]),
      cylinderCurve: orNull(doubles.cylinderCurve[c]),
    });
  }
  return circles;
}

class Mathematics {
  constructor(module) {
    this.m = module;
    this.layout = {};
    for (let k = 0; k < module._gd_layout_count(); ++k) {
      const name = module.UTF8ToString(module._gd_layout_name(k));
      this.layout[name] = [module._gd_layout_offset(k), module._gd_layout_length(k)];
    }
    this.figureFloats = module._gd_figure_floats();
    // The intersections' two blocks: 1 doubles, 2 32-bit integers.
    this.intersectionLayouts = [1, 2].map((which) => {
      const entries = {};
      for (let k = 0; k < module._gd_intersection_layout_count(which); ++k)
        entries[module.UTF8ToString(module._gd_intersection_layout_name(which, k))] = [
          module._gd_intersection_layout_offset(which, k),
          module._gd_intersection_layout_length(which, k),
        ];
      return entries;
    });
    this.sceneValues = Array.from(this.floats(module._gd_scene_pentagons(), 4));
    // The scene's values as typed, and the animation's facts
    // (mathematics/scene_constants): seconds and degrees.
    this.sceneWords = [0, 1, 2, 3].map((k) => module.UTF8ToString(module._gd_scene_pentagon_word(k)));
    this.animationSeconds = module._gd_animation_seconds();
    this.captionFromSeconds = module._gd_caption_from_seconds();
    this.spinDegreesPerSecond = module._gd_spin_degrees_per_second();
    // The dome's radius where none is given, millimetres, as typed.
    this.defaultRadiusWord = String(module._gd_default_radius());
  }

  // A copy of `count` floats at byte address `pointer`: the heap may be
  // replaced when the module grows its memory.
  floats(pointer, count) {
    return this.m.HEAPF32.slice(pointer / 4, pointer / 4 + count);
  }

  // `word` handed to the module's reader `parse(pointer, length)`: its message,
  // '' when the word is good.
  readWord(word, parse) {
    const m = this.m;
    const length = m.lengthBytesUTF8(word);
    const pointer = m._malloc(length + 1);
    try {
      m.stringToUTF8(word, pointer, length + 1);
      return m.UTF8ToString(parse(pointer, length));
    } finally {
      m._free(pointer);
    }
  }

  // Value `index` (0 LAT1, 1 LONG1, 2 LAT2, 3 LONG2) read from `word`:
  // { value } or { message }, the one-line message the report tool gives.
  parseValue(index, word) {
    const message = this.readWord(word, (pointer, length) => this.m._gd_parse_value(index, pointer, length));
    return message ? { message } : { value: this.m._gd_parsed_value() };
  }

  // The dome's radius in millimetres read from `word` as the report tool
  // reads --radius, with its limit: { value } or { message } ("Radius '0x10'
  // is not a number").
  parseRadius(word) {
    const message = this.readWord(word, (pointer, length) => this.m._gd_parse_radius(pointer, length));
    return message ? { message } : { value: this.m._gd_parsed_radius() };
  }

  // Every quantity of the figure for four values, as named Float32Arrays
  // (see the layout in web/wasm/geodesics_wasm.cpp); pentagon 1 first.
  figure(values) {
    const all = this.floats(this.m._gd_compute_figure(...values), this.figureFloats);
    const figure = {};
    for (const [name, [offset, length]] of Object.entries(this.layout))
      figure[name] = all.subarray(offset, offset + length);
    return figure;
  }

  // Every point where the ten great circles meet and the arcs between them
  // (mathematics/intersections), as `geodesic-report --format json` gives
  // them, as plain objects. Circles are numbered 0-9, c = 5 (pentagon - 1) +
  // edge, and named 'p.i' as the drawing labels them; points and arcs are
  // indices into the lists below. null stands where the geometry has no value.
  //   points[k]: { sphere: [x, y, z], cylinder: [x, y, z] or null (at a pole),
  //     circles: [c, ...] (ascending), corners: [5 (pentagon - 1) + i, ...],
  //     equatorCrossing: bool, longitude (0 to 2 pi),
  //     polarAngle (0 to pi, from +y), arcs: [arc indices that start or end here] }
  //   arcs[k]: { circle, from, to (points, in the circle's direction of travel),
  //     angle (on the unit sphere), chord, cylinderLength (or null: a vertical plane) }
  //   circles[c]: { circle: c, label: 'p.i', live (false: its pentagon is at a
  //     pole), sameAs (the lowest circle coincident with it, c if none; null when
  //     not live), vertical, unitNormal: [x, y, z], points: [its points from its
  //     first corner on, in its direction of travel], arcs: [its arc indices],
  //     angleSum (2 pi when it has points), chordSum, cylinderSum and
  //     cylinderCurve (the whole curve's length; null when vertical or not live);
  //     unitNormal is null when not live }
  //   coincident: [[a, b], ...], a < b: circles that are one great circle
  intersections(values) {
    const m = this.m;
    if (!m._gd_compute_intersections(...values)) throw new Error("the intersections do not fit the module's tables");
    // Named views of copies of the two blocks (the heap may be replaced when
    // the module grows its memory).
    const view = (heap, pointer, count, layout) => {
      const all = heap.slice(pointer / heap.BYTES_PER_ELEMENT, pointer / heap.BYTES_PER_ELEMENT + count);
      const named = {};
      for (const [name, [offset, length]] of Object.entries(layout))
        named[name] = all.subarray(offset, offset + length);
      return named;
    };
    const [doubles, integers] = [
      view(m.HEAPF64, m._gd_intersection_values(), m._gd_intersection_value_count(), this.intersectionLayouts[0]),
      view(m.HEAP32, m._gd_intersection_indices(), m._gd_intersection_index_count(), this.intersectionLayouts[1]),
    ];
    const points = intersectionPoints(doubles, integers);
    const arcs = intersectionArcs(doubles, integers, points);
    const circles = intersectionCircles(doubles, integers, arcs);
    const coincident = [];
    for (let k = 0; k < integers.counts[2]; ++k)
      coincident.push([integers.coincident[2 * k], integers.coincident[2 * k + 1]]);
    return { points, arcs, circles, coincident };
  }

  // The plain-text value report, as `geodesic-report LAT1 LONG1 LAT2 LONG2` prints it.
  report(values) {
    return this.m.UTF8ToString(this.m._gd_value_report(...values));
  }

  // The dome the ten great circles build for four values, at `radius` (a
  // positive number up to the largest parseRadius takes, in the scene's
  // units; 1 puts it on the brown sphere), as geodesic-report builds it:
  // null where the circles meet nowhere (both pentagons at a pole, or every
  // circle the equator); an Error carrying the mathematics' reason if the
  // dome fails its checks (Euler's formula, panels facing outwards), which no
  // values the page accepts have been seen to do, or the radius is refused.
  // Otherwise, copies that stay valid:
  //   positions    Float32Array, 9 a panel: its corners, counter-clockwise seen
  //                from outside; for a THREE.BufferGeometry's 'position'
  //                (non-indexed: each panel flat)
  //   normals      Float32Array, 9 a panel: its outward unit normal at each
  //                corner; the geometry's 'normal'
  //   panelClass   Int32Array, a panel's index in cutList.panels (its shape)
  //   struts       Float32Array, 6 a strut: its two ends; a THREE.LineSegments'
  //                'position'
  //   strutClass   Int32Array, a strut's index in cutList.struts (its letter)
  //   hubs         Float32Array, 3 a hub: where the struts meet (THREE.Points)
  //   hubValence   Int32Array, the struts meeting at each hub
  //   cutList      the report's JSON "dome" as an object, for the unit sphere
  //                (lengths times the radius, areas times its square, volumes
  //                its cube; angles in radians): { vertices, edges, faces,
  //                facesBySize: [{ corners, count }], hubCount, strutCount,
  //                spokes, panelCount, struts: [{ length, count, letter,
  //                bendAngle, spokes }] from the shortest, hubs: [{ valence,
  //                count }], panels: [{ struts: [letters], angles, count }],
  //                totalStrutLength, strutVariance, area, volume }
  //   cutListText  the cut list at this radius, as `geodesic-report --dome
  //                --radius R` prints it
  // Panels and struts come face by face; 240 panels, 360 struts and 122 hubs
  // for the scene's values.
  dome(values, radius = 1) {
    const m = this.m;
    const status = m._gd_dome_build(...values, radius);
    if (status === 0) return null;
    if (status < 0) throw new Error(`no dome: ${m.UTF8ToString(m._gd_dome_problem())}`);
    const panels = m._gd_dome_panel_count(),
      struts = m._gd_dome_strut_count(),
      hubs = m._gd_dome_hub_count();
    const ints = (pointer, count) => m.HEAP32.slice(pointer / 4, pointer / 4 + count);
    return {
      radius,
      positions: this.floats(m._gd_dome_positions(), 9 * panels),
      normals: this.floats(m._gd_dome_normals(), 9 * panels),
      panelClass: ints(m._gd_dome_panel_classes(), panels),
      struts: this.floats(m._gd_dome_struts(), 6 * struts),
      strutClass: ints(m._gd_dome_strut_classes(), struts),
      hubs: this.floats(m._gd_dome_hubs(), 3 * hubs),
      hubValence: ints(m._gd_dome_hub_valences(), hubs),
      cutList: JSON.parse(m.UTF8ToString(m._gd_dome_json())),
      cutListText: m.UTF8ToString(m._gd_dome_cut_list()),
    };
  }

  // The camera flight's camera at animation time t: { eye: [x, y, z], target: [x, y, z] }.
  flightCamera(t) {
    const c = this.floats(this.m._gd_flight_camera(t), 6);
    return { eye: Array.from(c.subarray(0, 3)), target: Array.from(c.subarray(3, 6)) };
  }
}
