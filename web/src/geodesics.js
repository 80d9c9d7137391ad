// The project's own mathematics, compiled from its C++ sources to WebAssembly
// (web/wasm/geodesics_wasm.cpp): the four pentagon values read as the report
// tool reads them, every quantity of the figure, the plain-text value report,
// the camera flight, and the dome the great circles build with its cut list.
// Nothing is computed here; the same module serves the page and the Node
// tests. Heights in -1 to 1, longitudes in radians, seconds.
import loadGeodesics from '../wasm/geodesics.js';

export const kSamplesPerCurve = 100;

// Loads the module; `bytes` is the .wasm file's contents when the caller has
// them (Node), else it is fetched from beside the page's scripts. The bytes
// are handed over whole rather than streamed, so a host that serves .wasm
// with any content type still works.
export async function loadMathematics(bytes) {
  if (!bytes) {
    const url = new URL('../wasm/geodesics.wasm', import.meta.url);
    const response = await fetch(url);
    if (!response.ok) throw new Error(`${url.pathname}: ${response.status} ${response.statusText}`);
    bytes = await response.arrayBuffer();
  }
  return new Mathematics(await loadGeodesics({ wasmBinary: bytes }));
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
    this.sceneValues = Array.from(this.floats(module._gd_scene_pentagons(), 4));
    // The scene's values as typed, and the animation's facts
    // (mathematics/scene_constants): seconds and degrees.
    this.sceneWords = [0, 1, 2, 3].map((k) => module.UTF8ToString(module._gd_scene_pentagon_word(k)));
    this.animationSeconds = module._gd_animation_seconds();
    this.captionFromSeconds = module._gd_caption_from_seconds();
    this.spinDegreesPerSecond = module._gd_spin_degrees_per_second();
  }

  // A copy of `count` floats at byte address `pointer`: the heap may be
  // replaced when the module grows its memory.
  floats(pointer, count) {
    return this.m.HEAPF32.slice(pointer / 4, pointer / 4 + count);
  }

  // Value `index` (0 LAT1, 1 LONG1, 2 LAT2, 3 LONG2) read from `word`:
  // { value } or { message }, the one-line message the report tool gives.
  parseValue(index, word) {
    const m = this.m;
    const length = m.lengthBytesUTF8(word);
    const pointer = m._malloc(length + 1);
    try {
      m.stringToUTF8(word, pointer, length + 1);
      const message = m.UTF8ToString(m._gd_parse_value(index, pointer, length));
      return message ? { message } : { value: m._gd_parsed_value() };
    } finally {
      m._free(pointer);
    }
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

  // The plain-text value report, as `geodesic-report LAT1 LONG1 LAT2 LONG2` prints it.
  report(values) {
    return this.m.UTF8ToString(this.m._gd_value_report(...values));
  }

  // The dome the ten great circles build for four values, at `radius` (a
  // positive number, in the scene's units; 1 puts it on the brown sphere), as
  // geodesic-report builds it: null where the circles meet nowhere (both
  // pentagons at a pole, or every circle the equator); an Error carrying the
  // mathematics' reason if the dome fails its checks (Euler's formula, panels
  // facing outwards), which no values the page accepts have been seen to do.
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
    if (!(radius > 0 && Number.isFinite(radius))) throw new RangeError(`radius ${radius} is not a positive number`);
    const m = this.m;
    const status = m._gd_dome_build(...values, radius);
    if (status === 0) return null;
    if (status < 0) throw new Error(`no dome: ${m.UTF8ToString(m._gd_dome_problem())}`);
    const panels = m._gd_dome_panel_count(), struts = m._gd_dome_strut_count(), hubs = m._gd_dome_hub_count();
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
