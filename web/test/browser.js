// A real browser for the page's tests: the site served by web/serve.py on
// 127.0.0.1, Debian's Chromium driven by puppeteer-core, WebGL 2 on
// SwiftShader (no GPU here). Chromium runs as root without its sandbox, with
// a fresh profile and nothing that reaches for the network.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import readline from 'node:readline';

import puppeteer from 'puppeteer-core';

import { siteDir, sourceDir } from './support.js';

const kChromium = process.env.CHROMIUM ?? '/usr/bin/chromium';

// Starts the static server for `dir` (the built site unless given) on a free
// port; resolves to { url, pid, stop, errors }, errors() giving what the
// server wrote to standard error so far.
export function serveSite(dir = siteDir) {
  const server = spawn('python3', [path.join(sourceDir, 'web/serve.py'), dir, '0'], {
    stdio: ['ignore', 'pipe', 'pipe'],
  });
  let errors = '';
  server.stderr.setEncoding('utf8').on('data', (text) => {
    errors += text;
  });
  return new Promise((resolve, reject) => {
    server.on('error', reject);
    server.on('exit', (code) => reject(new Error(`web/serve.py ended with status ${code}: ${errors}`)));
    readline
      .createInterface({ input: server.stdout })
      .once('line', (url) => resolve({ url, pid: server.pid, stop: () => server.kill(), errors: () => errors }));
  });
}

// A copy of the built site as folder `name` of `root`, with `changes` made:
// { 'VERSION/wasm/geodesics.wasm': null } removes a file, a Buffer or string
// replaces its contents; either way its compressed twin goes, which the
// server would otherwise send in its place.
export function siteCopy(root, name, changes) {
  const copy = path.join(root, name);
  fs.cpSync(siteDir, copy, { recursive: true });
  for (const [file, contents] of Object.entries(changes)) {
    fs.rmSync(path.join(copy, `${file}.gz`), { force: true });
    if (contents === null) fs.rmSync(path.join(copy, file));
    else fs.writeFileSync(path.join(copy, file), contents);
  }
  return copy;
}

// extraFlags: e.g. ['--disable-3d-apis'] for a browser without WebGL.
export async function startBrowser(extraFlags = []) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'geodesics-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: kChromium,
    headless: true,
    args: [
      '--no-sandbox',
      '--use-angle=swiftshader',
      '--enable-unsafe-swiftshader',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      '--no-first-run',
      '--disable-quic',
      `--user-data-dir=${profile}`,
      ...extraFlags,
    ],
  });
  return {
    browser,
    profile,
    async close() {
      await browser.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

const isReady = () => document.documentElement.dataset.ready === 'true';

// Opens `url` in a new tab of `width` x `height` CSS pixels and waits until
// the page says it is ready (or until `until`, a function run in the page,
// is true). Every console error or warning, and every uncaught exception, is
// kept in `page.problems`. `browser` may be a browser context; `prepare(page)`
// runs before the page is loaded.
export async function openPage(
  browser,
  url,
  { width = 1088, height = 600, touch = false, until = isReady, prepare } = {},
) {
  const page = await browser.newPage();
  await prepare?.(page);
  page.problems = [];
  page.on('console', (m) => {
    if (m.type() === 'error' || m.type() === 'warn') page.problems.push(`console ${m.type()}: ${m.text()}`);
  });
  page.on('pageerror', (e) => page.problems.push(`exception: ${e.message}`));
  await page.setViewport({ width, height, hasTouch: touch });
  await page.goto(url);
  await page.waitForFunction(until, { timeout: 30000 });
  await nextFrames(page);
  return page;
}

// Waits until the page has drawn two more frames.
export function nextFrames(page) {
  return page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
}

// A PNG file's pixels, decoded by the browser in `page`: { width, height,
// rgba } with four bytes a pixel, exactly as stored (no colour conversion).
export async function decodePng(page, png) {
  const { width, height, bytes } = await page.evaluate(async (base64) => {
    const file = await (await fetch(`data:image/png;base64,${base64}`)).blob();
    const bitmap = await createImageBitmap(file, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const data = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
    let text = '';
    for (let k = 0; k < data.length; k += 0x8000) text += String.fromCharCode(...data.subarray(k, k + 0x8000));
    return { width: bitmap.width, height: bitmap.height, bytes: btoa(text) };
  }, png.toString('base64'));
  return { width, height, rgba: Buffer.from(bytes, 'base64') };
}

// The canvas as the screen shows it: { width, height, rgba } and its box.
export async function canvasPicture(page) {
  await nextFrames(page);
  const canvas = await page.$('#canvas');
  const box = await canvas.boundingBox();
  return { ...(await decodePng(page, Buffer.from(await canvas.screenshot()))), box };
}

// The pixel at (x, y), y down: [r, g, b].
export function pixel(picture, x, y) {
  const k = 4 * (Math.round(y) * picture.width + Math.round(x));
  return [picture.rgba[k], picture.rgba[k + 1], picture.rgba[k + 2]];
}

// How many pixels of two pictures of one size differ at all.
export function differingPixels(a, b) {
  assert.deepEqual([a.width, a.height], [b.width, b.height]);
  let count = 0;
  for (let k = 0; k < a.rgba.length; k += 4)
    if (a.rgba[k] !== b.rgba[k] || a.rgba[k + 1] !== b.rgba[k + 1] || a.rgba[k + 2] !== b.rgba[k + 2]) count += 1;
  return count;
}

// The first visit to `url` on a cold cache, as Chromium's own network events
// count it: a new browser context (empty cache, no service worker), every
// response's bytes on the wire (headers and body, compressed as sent) until
// the page says it is ready. { bytes, files: { url: bytes }, readyMs }.
export async function firstVisit(browser, url) {
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    const network = await page.createCDPSession();
    await network.send('Network.enable');
    const urls = new Map();
    const files = {};
    network.on('Network.responseReceived', ({ requestId, response }) => urls.set(requestId, response.url));
    network.on('Network.loadingFinished', ({ requestId, encodedDataLength }) => {
      const file = urls.get(requestId) ?? requestId;
      files[file] = (files[file] ?? 0) + encodedDataLength;
    });
    await page.setViewport({ width: 1088, height: 600 });
    await page.goto(url);
    await page.waitForFunction(isReady, { timeout: 30000 });
    const readyMs = await page.evaluate(() => performance.getEntriesByName('geodesics-ready')[0].startTime);
    const bytes = Object.values(files).reduce((sum, b) => sum + b, 0);
    return { bytes, files, readyMs };
  } finally {
    await context.close();
  }
}
