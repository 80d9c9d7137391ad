// What the page's tests in Chromium share (page_*.test.js, one file a
// panel): one server and one browser for a file's tests, the page opened and
// checked to leave no console message, typing, dragging, sweeping the
// sliders, reading the panel; and where OpenGL's lighting and the home
// camera put the figure's pixels, to compare with what the page draws.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before } from 'node:test';

import { nextFrames, openPage, pixel, serveSite, startBrowser } from './browser.js';
import { loadSiteMathematics, modulesDir } from './support.js';

export const recordedScene = JSON.parse(fs.readFileSync(path.join(modulesDir, 'scene.json'), 'utf8'));

// The site served, a browser and the mathematics, for the tests of one file:
// `tab.open(query, options)` opens the page; tab.server, tab.chromium, tab.math.
export function usePage() {
  const tab = { server: null, chromium: null, math: null };
  before(async () => {
    [tab.server, tab.chromium, tab.math] = await Promise.all([serveSite(), startBrowser(), loadSiteMathematics()]);
  });
  after(async () => {
    await tab.chromium?.close();
    tab.server?.stop();
  });
  tab.open = (query = '', options) => openPage(tab.chromium.browser, `${tab.server.url}${query}`, options);
  return tab;
}

// Closes the pages, each having said nothing on the console.
export async function done(...pages) {
  for (const page of pages) {
    assert.deepEqual(page.problems, []);
    await page.close();
  }
}
export const text = (page, id) => page.$eval(`#${id}`, (e) => (e.hidden ? '' : e.textContent));
export async function type(page, k, word) {
  await page.click(`#value-${k}`, { clickCount: 3 });
  await page.keyboard.type(word);
}
export async function drag(page, box, dx, dy) {
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width / 2 + dx, box.y + box.height / 2 + dy, { steps: 8 });
  await page.mouse.up();
}

// Takes each of the four sliders to its ends by the keyboard, a key at a
// time (`keys`, e.g. ['End', 'Home']), and calls `check(k, key)` once the
// page has drawn each step.
export async function sweepSliders(page, keys, check = async () => {}) {
  for (let k = 0; k < 4; ++k) {
    await page.focus(`#slider-${k}`);
    for (const key of keys) {
      await page.keyboard.press(key);
      await nextFrames(page);
      await check(k, key);
    }
  }
}

// OpenGL's lighting as the window program sets it up (basicsource/scene.cpp,
// main.cpp): 0.5 global ambient on the default 0.2 material ambient; four
// positional lights at twice their locations; specular (1,1,1) to the 25th
// power; the viewer at infinity along +z. The 8-bit colour at p, normal n.
const kLights = [
  [[-10, 0, 10], [1, 1, 1], 0.4],
  [[20, -10, 10], [1, 1, 1], 0.5],
  [[10, 20, -10], [1, 1, 0], 0.7],
  [[-6, -1, -2], [1, 1, 1], 0.5],
];
export function litColour(p, n, diffuse) {
  const unit = (v) => v.map((x) => x / Math.hypot(...v));
  const dot = (a, b) => a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  const c = [0.1, 0.1, 0.1];
  for (const [position, colour, specular] of kLights) {
    const l = unit(position.map((x, k) => x - p[k]));
    const d = dot(n, l);
    const h = unit([l[0], l[1], l[2] + 1]);
    if (d > 0) for (let k = 0; k < 3; ++k) c[k] += d * colour[k] * diffuse[k] + Math.max(dot(n, h), 0) ** 25 * specular;
  }
  return c.map((x) => Math.round(255 * Math.min(x, 1)));
}

// The share of the picture's pixels (every other row and column) that pass.
export function share(picture, predicate) {
  let count = 0;
  for (let y = 0; y < picture.height; y += 2)
    for (let x = 0; x < picture.width; x += 2) count += predicate(pixel(picture, x, y)) ? 1 : 0;
  return count / Math.ceil(picture.width / 2) / Math.ceil(picture.height / 2);
}
export const isSlate = ([r, g, b]) => g - r > 15 && b - r > 15;
export const isBrown = ([r, g, b]) => r > g && g > b && r - b > 40;
export const isDark = (p) => p.every((v) => v < 80);

// Where the home camera (eye (0, 0, 3), 45 degrees from bottom to top) sees
// a point of the figure turned by the spin at animation time t: x and y in
// the picture, and z, which is above 1/3 where the sphere does not hide it.
export function seen(p, picture, t = 0) {
  const a = (recordedScene.spinDegreesPerSecond * t * Math.PI) / 180;
  const [x, y, z] = [p[0] * Math.cos(a) + p[2] * Math.sin(a), p[1], -p[0] * Math.sin(a) + p[2] * Math.cos(a)];
  const f = 1 / Math.tan(Math.PI / 8) / (3 - z);
  return {
    x: picture.width / 2 + (f * x * picture.height) / 2,
    y: picture.height / 2 - (f * y * picture.height) / 2,
    z,
  };
}
export const isWhite = (p) => p.every((v) => v > 225);
export const isChosen = ([r, g, b]) => r > 200 && g < 140 && b > 200; // magenta
export const near = (picture, { x, y }, predicate) =>
  [-1, 0, 1].some((dx) => [-1, 0, 1].some((dy) => predicate(pixel(picture, x + dx, y + dy))));
export const rows = (page, selector) =>
  page.$$eval(`${selector} tr`, (all) => all.map((r) => [...r.cells].map((c) => c.textContent)));
export const status = (page) => text(page, 'choice-status');
export const query = (page) => new URL(page.url()).searchParams;
// The lengths as the panel writes them.
export const nine = (v) => (v === null ? 'none' : v.toFixed(9));

// The distance from s to the segment from a to b, in pixels.
export function segmentGap(s, a, b) {
  const [dx, dy] = [b.x - a.x, b.y - a.y];
  const t = Math.min(Math.max(((s.x - a.x) * dx + (s.y - a.y) * dy) / (dx * dx + dy * dy || 1), 0), 1);
  return Math.hypot(a.x + t * dx - s.x, a.y + t * dy - s.y);
}
