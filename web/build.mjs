// Builds the web page's site from its modules, as a static host serves it:
//
//   node web/build.mjs MODULES_DIR SITE_DIR
//
// MODULES_DIR holds the page as its sources lay it out (src/*.js, the
// WebAssembly module and its loader in wasm/, scene.json); SITE_DIR is
// emptied and gets only what a browser loads:
//
//   index.html, sw.js, manifest.webmanifest, icons/icon-{192,512}.png
//   VERSION/src/main.js      the page's scripts and the parts of three.js they
//                            import, bundled, tree-shaken and minified by esbuild;
//   VERSION/src/*-HASH.js    what only a download needs, loaded when asked for
//   VERSION/style.css        minified
//   VERSION/wasm/geodesics.wasm, VERSION/scene.json
//   FILE.gz                  beside each file that gzip makes smaller, for a
//                            server to send to a browser that accepts it
//
// VERSION is the first 12 hexadecimal digits of the SHA-256 of everything the
// page loads (web/service_worker.js's own text included): a new build that
// changes anything gets a new folder, and its files never change under their
// names. The bundle keeps the modules' layout (src/ beside wasm/), so the
// paths the scripts take from their own place hold in both.
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import zlib from 'node:zlib';

import { build, transform } from 'esbuild';

import { iconPng } from './icon.mjs';

const webDir = path.dirname(fileURLToPath(import.meta.url));
const kVersionDigits = 12;
const kIconSizes = [192, 512]; // what Chromium's installability check asks for
const kCompressed = /\.(html|js|css|json|wasm|webmanifest)$/;
// The browsers the page supports already need WebGL 2 and ES modules.
const kTarget = ['es2020', 'chrome91', 'firefox90', 'safari15'];

// The page's scripts as one module, src/main.js, with three.js's own
// license comment; what only a download needs (three.js's exporters) is a
// chunk of its own beside it, loaded when first asked for.
async function bundlePage(modulesDir) {
  const out = path.join(modulesDir, 'bundle'); // nothing is written there
  const result = await build({
    entryPoints: [path.join(modulesDir, 'src/main.js')],
    bundle: true,
    splitting: true,
    minify: true,
    format: 'esm',
    target: kTarget,
    legalComments: 'eof',
    nodePaths: [path.join(webDir, 'node_modules')],
    outdir: path.join(out, 'src'),
    entryNames: '[name]',
    chunkNames: '[name]-[hash]',
    write: false,
    metafile: true,
    logLevel: 'warning',
  });
  const named = (file) => path.relative(out, path.resolve(file));
  const main = Object.entries(result.metafile.outputs).find(([, o]) => o.entryPoint)[1];
  const statics = main.imports.filter((i) => i.kind === 'import-statement').map((i) => named(i.path));
  return {
    files: Object.fromEntries(result.outputFiles.map((file) => [named(file.path), file.contents])),
    preloaded: ['src/main.js', ...statics], // what the page's start needs, in one round
  };
}

async function minified(file, loader, define = {}) {
  const text = fs.readFileSync(file, 'utf8');
  const result = await transform(text, { loader, minify: true, target: kTarget, define });
  return Buffer.from(result.code);
}

function versionOf(files, serviceWorkerSource) {
  const hash = crypto.createHash('sha256');
  for (const name of Object.keys(files).sort()) hash.update(`${name}\0`).update(files[name]).update('\0');
  hash.update(serviceWorkerSource);
  return hash.digest('hex').slice(0, kVersionDigits);
}

// Every file of the site, by its path there.
async function siteFiles(modulesDir) {
  const bundle = await bundlePage(modulesDir);
  const versioned = {
    ...bundle.files,
    'style.css': await minified(path.join(webDir, 'style.css'), 'css'),
    'wasm/geodesics.wasm': fs.readFileSync(path.join(modulesDir, 'wasm/geodesics.wasm')),
    'scene.json': fs.readFileSync(path.join(modulesDir, 'scene.json')),
  };
  const rooted = {
    'manifest.webmanifest': fs.readFileSync(path.join(webDir, 'manifest.webmanifest')),
    ...Object.fromEntries(kIconSizes.map((size) => [`icons/icon-${size}.png`, iconPng(size)])),
  };
  const template = fs.readFileSync(path.join(webDir, 'index.html'), 'utf8');
  const workerFile = path.join(webDir, 'src/service_worker.js');
  const version = versionOf({ ...versioned, ...rooted, 'index.html': template }, fs.readFileSync(workerFile));
  const preloads = bundle.preloaded.map((file) => `<link rel="modulepreload" href="${version}/${file}">`);
  const html = template.replace('%MODULE_PRELOADS%', preloads.join('\n  ')).replaceAll('%VERSION%', version);
  const files = { ...rooted, 'index.html': Buffer.from(html) };
  for (const [name, bytes] of Object.entries(versioned)) files[`${version}/${name}`] = bytes;
  // The worker keeps every file but itself; it is told its version and their names.
  const kept = Object.keys(files).sort();
  files['sw.js'] = await minified(workerFile, 'js', {
    SITE_VERSION: JSON.stringify(version),
    SITE_FILES: JSON.stringify(kept),
  });
  return { version, files };
}

// Adds FILE.gz beside each file that gzip makes smaller.
function withCompressed(files) {
  const all = { ...files };
  for (const [name, bytes] of Object.entries(files)) {
    if (!kCompressed.test(name)) continue;
    const packed = zlib.gzipSync(bytes, { level: 9 });
    if (packed.length < bytes.length) all[`${name}.gz`] = packed;
  }
  return all;
}

function writeSite(siteDir, files) {
  fs.rmSync(siteDir, { recursive: true, force: true });
  for (const [name, bytes] of Object.entries(files)) {
    const file = path.join(siteDir, name);
    fs.mkdirSync(path.dirname(file), { recursive: true });
    fs.writeFileSync(file, bytes);
  }
}

const [modulesDir, siteDir] = process.argv.slice(2);
if (!modulesDir || !siteDir) {
  console.error('usage: node web/build.mjs MODULES_DIR SITE_DIR');
  process.exit(2);
}
const { version, files } = await siteFiles(modulesDir);
writeSite(siteDir, withCompressed(files));
console.log(`web/build.mjs: site ${version} in ${siteDir}`);
