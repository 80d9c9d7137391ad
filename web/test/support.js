// What the web tests share: where the built site and the report tool are,
// the mathematics loaded in Node from the site's own files, and a seeded
// random generator. SITE_DIR, BUILD_DIR and SOURCE_DIR come from CTest
// (tests/CMakeLists.txt); run by hand, they default to the normal build.
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

export const sourceDir = path.resolve(process.env.SOURCE_DIR ?? path.join(fileURLToPath(import.meta.url), '../../..'));
export const buildDir = path.resolve(process.env.BUILD_DIR ?? path.join(sourceDir, 'build/normal'));
export const siteDir = path.resolve(process.env.SITE_DIR ?? path.join(buildDir, 'web/site'));
export const reportTool = path.join(buildDir, 'tools/geodesic-report');

// A module of the built page, e.g. site('src/shapes.js').
export function site(file) {
  return import(pathToFileURL(path.join(siteDir, file)).href);
}

export async function loadSiteMathematics() {
  const { loadMathematics } = await site('src/geodesics.js');
  return loadMathematics(fs.readFileSync(path.join(siteDir, 'wasm/geodesics.wasm')));
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
