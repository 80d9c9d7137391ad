// The dome as a solid to download, written by three.js's own exporters from
// Mathematics.dome at the radius the user asked for, in millimetres: its
// panels, closed and wound outwards, as a binary STL (the 3-D printer's
// format, whose numbers slicers read as millimetres) and as binary glTF
// (.glb: one file holding its buffers, which viewers and modelling programs
// open as it is). glTF's unit is the metre: its mesh keeps the millimetres
// of the STL and its node scales them by 1/1000, so that it opens at its true
// size.
import { BufferAttribute, BufferGeometry, Mesh, MeshStandardMaterial, SRGBColorSpace } from 'three';
import { GLTFExporter } from 'three/addons/exporters/GLTFExporter.js';
import { STLExporter } from 'three/addons/exporters/STLExporter.js';

import { kPanelColour } from './scene.js';

const kMetresPerMillimetre = 0.001;

// `dome`: Mathematics.dome(values, radius), radius in millimetres; `words`:
// the four values as typed, kept in the glTF's extras with the radius.
function domeMesh(dome, words) {
  const geometry = new BufferGeometry();
  geometry.setAttribute('position', new BufferAttribute(dome.positions, 3));
  geometry.setAttribute('normal', new BufferAttribute(dome.normals, 3));
  // the page's colour for them (as shown: glTF's are linear)
  const material = new MeshStandardMaterial({ metalness: 0, roughness: 0.8, flatShading: true, name: 'panels' });
  material.color.setRGB(kPanelColour[0], kPanelColour[1], kPanelColour[2], SRGBColorSpace);
  const mesh = new Mesh(geometry, material);
  mesh.name = 'geodesic dome';
  mesh.userData = { radiusMillimetres: dome.radius, pentagons: words.join(' '), panels: dome.panelClass.length };
  return mesh;
}

// The binary STL's bytes: 80 bytes of header, the count, 50 bytes a triangle.
export function domeStl(dome, words) {
  const view = new STLExporter().parse(domeMesh(dome, words), { binary: true });
  return new Uint8Array(view.buffer, view.byteOffset, view.byteLength);
}

// The .glb's bytes (a promise): the mesh in millimetres under a node scaled to metres.
export async function domeGlb(dome, words) {
  const mesh = domeMesh(dome, words);
  mesh.scale.setScalar(kMetresPerMillimetre);
  mesh.updateMatrix();
  return new Uint8Array(await new GLTFExporter().parseAsync(mesh, { binary: true }));
}
