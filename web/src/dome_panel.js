// The panel's part for the dome the great circles build: the radius the user
// types (millimetres), a line on what the dome is made of, its cut list as
// `geodesic-report --dome --radius R` prints it, and the solid to download as
// STL or glTF at that radius. Where there is no dome it says so, and why;
// nothing here is computed: the numbers and the text are the mathematics'.
import { put, say } from './page_text.js';

export const kStlName = 'geodesic-dome.stl';
export const kGltfName = 'geodesic-dome.glb';

// The tool's own line where the circles meet nowhere.
export const kNoDome =
  'No dome: the great circles meet nowhere (as when both pentagons are at a pole, or every circle is the equator).';

export class DomePanel {
  // `parts`: the section's elements (section, radius (the field),
  // radiusMessage, summary, cutList, stl and gltf (the buttons), fileMessage);
  // `radiusTyped(word)` is called as the radius is typed; `save(blob, name)`
  // hands a file to the browser.
  constructor(parts, { radiusTyped, save }) {
    this.parts = parts;
    this.save = save;
    this.shown = null;
    parts.radius.addEventListener('input', () => radiusTyped(parts.radius.value));
    parts.stl.addEventListener('click', () => this.download('stl'));
    parts.gltf.addEventListener('click', () => this.download('gltf'));
  }

  // The word in the radius field, and what is wrong with it ('' when nothing).
  setRadius(word, message) {
    const { radius, radiusMessage } = this.parts;
    if (radius.value !== word) radius.value = word;
    put(radiusMessage, message);
    radius.setAttribute('aria-invalid', message ? 'true' : 'false');
  }

  // null hides the section; else { dome, radius, words, problem }: the dome
  // (Mathematics.dome at `radius` millimetres, null where there is none),
  // the four values as typed, and why it could not be built ('' when it was).
  show(shown) {
    this.shown = shown;
    const { section, summary, cutList, stl, gltf } = this.parts;
    section.hidden = shown === null;
    if (!shown) return;
    const { dome, problem } = shown;
    let line;
    if (problem) line = `The dome could not be built for these values (${problem}); the sphere is shown.`;
    else if (!dome) line = kNoDome;
    else {
      const c = dome.cutList;
      line =
        `${c.panelCount} panels, ${c.strutCount} struts and ${c.hubCount} hubs; the cut list and the files ` +
        `are for a radius of ${shown.radius} mm.`;
    }
    put(summary, line);
    put(cutList, dome ? dome.cutListText : '');
    cutList.hidden = !dome;
    for (const button of [stl, gltf]) {
      button.disabled = !dome;
      button.title = dome ? '' : 'There is no dome to download for these values.';
    }
  }

  // Writes the dome shown as a file and hands it over.
  async download(kind) {
    const { dome, radius, words } = this.shown ?? {};
    if (!dome) return;
    const [name, type] = kind === 'stl' ? [kStlName, 'model/stl'] : [kGltfName, 'model/gltf-binary'];
    let bytes;
    try {
      // three.js's exporters come with the first download, not with the page
      const { domeGlb, domeStl } = await import('./dome_files.js');
      bytes = kind === 'stl' ? domeStl(dome, words) : await domeGlb(dome, words);
    } catch (error) {
      say(this.parts.fileMessage, `${name} could not be written: ${error.message}.`);
      return;
    }
    this.save(new Blob([bytes], { type }), name);
    say(this.parts.fileMessage, `${name} is saved: ${dome.cutList.panelCount} triangles, radius ${radius} mm.`, true);
  }
}
