// What the web tests share: where the built site, the page's modules and the
// report tool are, the mathematics loaded in Node from the modules' own
// files, a seeded random generator, and one comparison of texts. SITE_DIR,
// MODULES_DIR, BUILD_DIR and SOURCE_DIR come from CTest (tests/CMakeLists.txt);
// run by hand, they default to the normal build.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

export const sourceDir = path.resolve(process.env.SOURCE_DIR ?? path.join(fileURLToPath(import.meta.url), '../../..'));
export const buildDir = path.resolve(process.env.BUILD_DIR ?? path.join(sourceDir, 'build/normal'));
export const siteDir = path.resolve(process.env.SITE_DIR ?? path.join(buildDir, 'web/site'));
export const modulesDir = path.resolve(process.env.MODULES_DIR ?? path.join(buildDir, 'web/modules'));
export const reportTool = path.join(buildDir, 'tools/geodesic-report');

// The site's version: the build's content hash, which names the folder of
// its scripts, styles, module and scene (web/build.mjs).
export const siteVersion = fs.readdirSync(siteDir).find((name) => /^[0-9a-f]{12}$/.test(name));

// A module of the page as its sources lay it out, e.g. pageModule('src/shapes.js').
export function pageModule(file) {
  return import(pathToFileURL(path.join(modulesDir, file)).href);
}

export async function loadSiteMathematics() {
  const { loadMathematics } = await pageModule('src/geodesics.js');
  return loadMathematics(fs.readFileSync(path.join(siteDir, siteVersion, 'wasm/geodesics.wasm')));
}

// mulberry32: a small generator whose sequence is fixed by its seed.
export function seededRandom(seed) {
  let a = seed >>> 0;
  return () => {
    a = (a + 0x6d2b79f5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

// `ours` is `theirs` but that each decimal number may be a unit of its last
// digit apart: the module and the tool may round a float's sine a step apart.
export function assertSameText(ours, theirs) {
  const number = /\d+\.\d+/g;
  assert.deepEqual(ours.split(number), theirs.split(number));
  const expected = theirs.match(number);
  ours.match(number).forEach((p, k) => {
    const unit = 10 ** -p.split('.')[1].length;
    assert.ok(Math.abs(Number(p) - Number(expected[k])) <= 1.01 * unit, `${p}, the tool's ${expected[k]}`);
  });
}
