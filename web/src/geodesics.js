// The project's own mathematics, compiled from its C++ sources to WebAssembly
// (web/wasm/geodesics_wasm.cpp): the four pentagon values read as the report
// tool reads them, every quantity of the figure, the plain-text value report
// and the camera flight. Nothing is computed here; the same module serves the
// page and the Node tests. Heights in -1 to 1, longitudes in radians, seconds.
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

  // The camera flight's camera at animation time t: { eye: [x, y, z], target: [x, y, z] }.
  flightCamera(t) {
    const c = this.floats(this.m._gd_flight_camera(t), 6);
    return { eye: Array.from(c.subarray(0, 3)), target: Array.from(c.subarray(3, 6)) };
  }
}
