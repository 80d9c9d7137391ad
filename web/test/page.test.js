// The page in a real browser, used as a person uses it: it is loaded from the
// static server, the canvas is read back as the screen shows it, the mouse
// drags, fingers swipe, keys are pressed and links are opened. Each test
// also fails on any console error or warning, or uncaught exception.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { canvasPicture, nextFrames, openPage, serveSite, startBrowser } from './browser.js';
import { decodePng, differingPixels, pixel } from './png.js';
import { loadSiteMathematics, reportTool } from './support.js';

let server;
let chromium;
let math;

before(async () => {
  server = await serveSite();
  chromium = await startBrowser();
  math = await loadSiteMathematics();
});

after(async () => {
  await chromium?.close();
  server?.stop();
});

// Every page a test opens is checked for console problems when it closes.
function open(query = '', options) {
  return openPage(chromium.browser, `${server.url}${query}`, options);
}
async function done(page) {
  assert.deepEqual(page.problems, []);
  await page.close();
}

// OpenGL's lighting as the window program sets it up (basicsource/scene.cpp
// and main.cpp): 0.5 global ambient on the default 0.2 material ambient; four
// positional lights at twice their locations; specular (1,1,1), shininess 25;
// a viewer at infinity along +z. The colour of point p with unit normal n.
const kLights = [
  [[-10, 0, 10], [1, 1, 1], 0.4],
  [[20, -10, 10], [1, 1, 1], 0.5],
  [[10, 20, -10], [1, 1, 0], 0.7],
  [[-6, -1, -2], [1, 1, 1], 0.5],
];
function litColour(p, n, diffuse) {
  const unit = (v) => v.map((x) => x / Math.hypot(...v));
  const dot = (a, b) => a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  const c = [0.1, 0.1, 0.1];
  for (const [position, colour, specular] of kLights) {
    const l = unit(position.map((x, k) => x - p[k]));
    const d = dot(n, l);
    if (d <= 0) continue;
    const h = unit([l[0], l[1], l[2] + 1]);
    for (let k = 0; k < 3; ++k) c[k] += d * colour[k] * diffuse[k] + Math.max(dot(n, h), 0) ** 25 * specular;
  }
  return c.map((x) => Math.round(255 * Math.min(x, 1)));
}

// Where a point of the figure at spin 0 appears from the home camera (eye
// (0,0,3), looking at the origin, 45 degrees high): canvas pixels, y down.
function homeProjection(point, picture) {
  const { width, height } = picture;
  const f = 1 / Math.tan((22.5 * Math.PI) / 180);
  const depth = 3 - point[2];
  return [
    width / 2 + ((f * point[0]) / depth / (width / height)) * (width / 2),
    height / 2 - ((f * point[1]) / depth) * (height / 2),
  ];
}

const close = (a, b, by) => a.every((v, k) => Math.abs(v - b[k]) <= by);
const isSlate = ([r, g, b]) => g - r > 15 && b - r > 15;
const isBrown = ([r, g, b]) => r > g && g > b && r - b > 40;
function share(picture, predicate) {
  let count = 0;
  for (let y = 0; y < picture.height; y += 2)
    for (let x = 0; x < picture.width; x += 2) if (predicate(pixel(picture, x, y))) count += 1;
  return count / ((picture.width / 2) * (picture.height / 2));
}

describe('the scene', () => {
  test('black background, lit brown sphere, translucent slate cylinder', async () => {
    const page = await open('');
    const full = await canvasPicture(page);
    const { width: w, height: h } = full;
    assert.deepEqual(pixel(full, 5, 5), [0, 0, 0]);
    assert.deepEqual(pixel(full, w - 5, h / 2), [0, 0, 0]);
    assert.ok(share(full, isSlate) > 0.15, `the cylinder covers much of the view (${share(full, isSlate)})`);
    await done(page);

    const bare = await open('?show=');
    const sphere = await canvasPicture(bare);
    assert.ok(share(sphere, isSlate) < 0.001, 'no cylinder when it is hidden');
    assert.ok(share(sphere, isBrown) > 0.3, 'the sphere fills the middle');
    // The middle of the view lies on the sphere's equator between the
    // vertices at longitudes 84 and 96 degrees: their mean colour (Gouraud).
    const brown = [0.545, 0.27, 0.074];
    const vertex = (deg) => [Math.cos((deg * Math.PI) / 180), 0, Math.sin((deg * Math.PI) / 180)];
    const expected = litColour(vertex(84).map((x) => 0.992 * x), vertex(84), brown)
      .map((v, k) => (v + litColour(vertex(96).map((x) => 0.992 * x), vertex(96), brown)[k]) / 2);
    const seen = pixel(sphere, w / 2, h / 2);
    assert.ok(close(seen, expected, 4), `centre ${seen}, OpenGL's lighting gives ${expected}`);
    await done(bare);
  });

  test('the figure draws dark lines and points over the sphere', async () => {
    const without = await open('?show=');
    const a = await canvasPicture(without);
    const page = await open('?show=circles,curves,points');
    const b = await canvasPicture(page);
    let changed = 0;
    let darker = 0;
    for (let y = 150; y < 450; ++y)
      for (let x = 260; x < 460; ++x) {
        const p = pixel(a, x, y);
        const q = pixel(b, x, y);
        if (p.every((v, k) => v === q[k])) continue;
        changed += 1;
        if (q[0] + q[1] + q[2] < p[0] + p[1] + p[2] - 100) darker += 1;
      }
    assert.ok(changed > 1000, `${changed} pixels changed in the middle`);
    assert.ok(darker > 0.9 * changed, `${darker} of ${changed} changed pixels are much darker`);
    await done(without);
    await done(page);
  });
});

describe('turning the view', () => {
  test('a mouse drag orbits the camera at the same distance, and the link follows', async () => {
    const page = await open('');
    const before = await canvasPicture(page);
    const { x, y, width, height } = before.box;
    await page.mouse.move(x + width / 2, y + height / 2);
    await page.mouse.down();
    for (let k = 1; k <= 10; ++k) await page.mouse.move(x + width / 2 + 15 * k, y + height / 2 + 4 * k);
    await page.mouse.up();
    const after = await canvasPicture(page);
    assert.ok(differingPixels(before, after) > 0.2 * width * height, 'the picture changed');
    await page.waitForFunction(() => location.search.includes('camera='));
    const camera = new URL(page.url()).searchParams.get('camera').split(',').map(Number);
    assert.ok(Math.abs(Math.hypot(...camera.slice(0, 3)) - 3) < 1e-9, `eye ${camera} orbits at 3`);
    assert.deepEqual(camera.slice(3), [0, 0, 0]);

    await page.mouse.move(x + width / 2, y + height / 2);
    await page.mouse.wheel({ deltaY: -300 });
    await page.waitForFunction(() => {
      const c = new URLSearchParams(location.search).get('camera').split(',').map(Number);
      return Math.hypot(c[0], c[1], c[2]) < 2.9;
    });
    await done(page);
  });

  test('a one-finger swipe orbits it too', async () => {
    const page = await open('', { touch: true });
    const before = await canvasPicture(page);
    const { x, y, width, height } = before.box;
    await page.touchscreen.touchStart(x + width / 2, y + height / 2);
    for (let k = 1; k <= 10; ++k) await page.touchscreen.touchMove(x + width / 2 - 12 * k, y + height / 2);
    await page.touchscreen.touchEnd();
    const after = await canvasPicture(page);
    assert.ok(differingPixels(before, after) > 0.2 * width * height, 'the picture changed');
    await done(page);
  });
});

describe('the four values', () => {
  test('typing a value moves the corners to where the mathematics puts them', async () => {
    const page = await open('?show=points');
    const values = [0.3, Math.PI / 2, 0.630991, 0.1]; // corner 0 of pentagon 1 faces the camera
    const newCorner = math.figure(values.map(Math.fround)).corners.subarray(0, 3);
    const before = await canvasPicture(page);
    for (const [k, word] of [[0, '0.3'], [1, String(Math.PI / 2)]]) {
      await page.click(`#value-${k}`, { clickCount: 3 });
      await page.keyboard.type(word);
    }
    const after = await canvasPicture(page);
    const [nx, ny] = homeProjection(newCorner, after);
    const dark = (picture, px, py) => pixel(picture, px, py).every((v) => v < 80);
    // the 3-pixel point: its centre, and the pixel beside it, are dark now
    assert.ok(dark(after, nx, ny) && dark(after, nx + 1, ny), `corner at ${nx}, ${ny}`);
    assert.ok(!dark(before, nx, ny), 'and were not before');
    // the report panel shows the new figure's report
    const report = await page.$eval('#report', (e) => e.textContent);
    assert.equal(report, math.report(values.map(Math.fround)));
    assert.match(new URL(page.url()).search, /pentagons=0\.3,1\.5707963267948966,0\.630991,0\.1/);
    await done(page);
  });

  test('dragging a slider redraws the figure as it moves', async () => {
    const page = await open('?show=circles');
    const first = await canvasPicture(page);
    await page.focus('#slider-3');
    await page.keyboard.press('ArrowRight');
    const second = await canvasPicture(page);
    assert.equal(await page.$eval('#value-3', (e) => e.value), '0.101');
    assert.ok(differingPixels(first, second) > 100, 'the great circles turned');
    await done(page);
  });

  test('a wrong value gets the report tool\'s message beside it, and the figure stays', async () => {
    const page = await open('');
    const before = await canvasPicture(page);
    const report = await page.$eval('#report', (e) => e.textContent);
    await page.click('#value-2', { clickCount: 3 });
    await page.keyboard.type('2'); // one key: no good value on the way
    const tool = spawnSync(reportTool, ['0.97531795', '0.1', '2', '0.1'], { encoding: 'utf8' });
    const message = tool.stderr.split('\n')[0].replace(/^geodesic-report: /, '');
    assert.equal(await page.$eval('#message-2', (e) => e.textContent), message);
    assert.equal(await page.$eval('#value-2', (e) => e.getAttribute('aria-invalid')), 'true');
    assert.equal(differingPixels(before, await canvasPicture(page)), 0);
    assert.equal(await page.$eval('#report', (e) => e.textContent), report);
    await done(page);
  });
});

describe('links', () => {
  test('a copied link reopens the same view, pixel for pixel', async () => {
    const page = await open('');
    const { x, y, width, height } = (await canvasPicture(page)).box;
    await page.mouse.move(x + width / 2, y + height / 2);
    await page.mouse.down();
    await page.mouse.move(x + width / 2 - 90, y + height / 2 + 70, { steps: 6 });
    await page.mouse.up();
    await page.click('#show-points');
    await page.keyboard.press('w');
    await page.click('#value-1', { clickCount: 3 });
    await page.keyboard.type('0.7');
    await page.click('#copy-link');
    await page.waitForFunction(() => document.getElementById('share-message').textContent !== '');
    const link = page.url();
    const original = await canvasPicture(page);

    const copy = await open(link.slice(server.url.length));
    assert.equal(copy.url(), link);
    assert.equal(differingPixels(original, await canvasPicture(copy)), 0);
    assert.equal(await copy.$eval('#value-1', (e) => e.value), '0.7');
    assert.equal(await copy.$eval('#wire-frame', (e) => e.checked), true);
    assert.equal(await copy.$eval('#show-points', (e) => e.checked), false);
    await done(page);
    await done(copy);
  });

  test('a broken link says what is wrong beside each field and shows the scene', async () => {
    const scene = await open('');
    const expected = await canvasPicture(scene);
    await done(scene);
    const page = await open('?pentagons=2,0.1,abc,0.1&show=cylinder,spheres&wire=maybe&camera=1,2&t=999');
    assert.equal(await page.$eval('#message-0', (e) => e.textContent),
      "LAT1 '2' is outside -1 to 1 (the height of the corners on the unit sphere)");
    assert.equal(await page.$eval('#message-2', (e) => e.textContent), "LAT2 'abc' is not a number");
    assert.equal(await page.$eval('#message-1', (e) => e.textContent), '');
    assert.equal(await page.$eval('#value-2', (e) => e.value), 'abc');
    for (const id of ['show-message', 'share-message', 'flight-message'])
      assert.notEqual(await page.$eval(`#${id}`, (e) => e.textContent), '', id);
    assert.equal(differingPixels(expected, await canvasPicture(page)), 0);
    await done(page);

    const short = await open('?pentagons=0.5,1');
    assert.match(await short.$eval('#pentagons-message', (e) => e.textContent), /gives 2 values/);
    assert.equal(differingPixels(expected, await canvasPicture(short)), 0);
    await done(short);
  });
});

describe('keys and the flight', () => {
  test('w, t, a and p: wire frame, statistics, the flight from the same formulas', async () => {
    const page = await open('?t=24');
    const solid = await canvasPicture(page);
    await page.keyboard.press('w');
    assert.ok(differingPixels(solid, await canvasPicture(page)) > 10000, 'wire frame');
    await page.keyboard.press('w');
    assert.equal(differingPixels(solid, await canvasPicture(page)), 0, 'and back');
    await page.keyboard.press('t');
    assert.match(await page.$eval('#statistics', (e) => (e.hidden ? '' : e.textContent)), /Polygons: 1392, Time: 24\.0/);

    // Paused at 24 s by the link: resume, let it fly a moment, pause.
    await page.keyboard.press('p');
    await page.waitForFunction(() => parseFloat(document.getElementById('flight-time').textContent) >= 25);
    await page.keyboard.press('p');
    await page.waitForFunction(() => new URLSearchParams(location.search).get('t') >= 24.9);
    const query = new URL(page.url()).searchParams;
    const t = Number(query.get('t'));
    assert.ok(t >= 24.9 && t < 30, `paused at ${t}`);
    const camera = query.get('camera').split(',').map(Number);
    const flight = math.flightCamera(t);
    assert.deepEqual(camera, [...flight.eye, ...flight.target], 'the camera is the flight\'s');
    assert.match(await page.$eval('#statistics', (e) => e.textContent), /Frame: [1-9]\d*/);

    await page.keyboard.press('a');
    await page.keyboard.press('p');
    assert.match(await page.$eval('#flight-time', (e) => e.textContent), /^0\.\d s of 150$/);
    await done(page);
  });

  test('the caption shows from 85 s', async () => {
    const early = await open('?t=84.9');
    assert.equal(await early.$eval('#caption', (e) => e.hidden), true);
    await done(early);
    const late = await open('?t=85');
    assert.equal(await late.$eval('#caption', (e) => e.hidden), false);
    await done(late);
  });
});

describe('access', () => {
  test('Tab reaches every control, each with a name and a visible focus ring', async () => {
    const page = await open('');
    const reached = [];
    for (let k = 0; k < 30; ++k) {
      await page.keyboard.press('Tab');
      const focused = await page.evaluate(() => {
        const e = document.activeElement;
        const style = getComputedStyle(e);
        return { id: e.id, outline: style.outlineStyle, width: parseFloat(style.outlineWidth) };
      });
      if (!focused.id || reached.some((r) => r.id === focused.id)) break;
      const node = await page.accessibility.snapshot({ root: await page.$(`#${focused.id}`) });
      reached.push({ ...focused, name: node?.name ?? '' });
    }
    const ids = reached.map((r) => r.id);
    for (const id of ['canvas', 'value-0', 'slider-0', 'value-3', 'slider-3', 'scene-values', 'show-cylinder',
      'show-circles', 'show-curves', 'show-points', 'wire-frame', 'statistics-toggle', 'play', 'copy-link',
      'save-picture', 'report'])
      assert.ok(ids.includes(id), `${id} is reached by Tab (reached: ${ids})`);
    for (const r of reached) {
      assert.ok(r.name.trim().length > 2, `${r.id} has a name`);
      assert.ok(r.outline !== 'none' && r.width >= 2, `${r.id} shows its focus (${r.outline} ${r.width}px)`);
    }
    await done(page);
  });
});

describe('pictures and browsers without WebGL', () => {
  test('Save picture downloads the canvas as a PNG', async () => {
    const page = await open('?wire=1');
    const folder = fs.mkdtempSync(path.join(chromium.profile, 'downloads-'));
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
    const shown = await canvasPicture(page);
    await page.click('#save-picture');
    const file = path.join(folder, 'geodesics.png');
    for (let k = 0; k < 100 && !fs.existsSync(file); ++k) await new Promise((r) => setTimeout(r, 50));
    const saved = decodePng(fs.readFileSync(file));
    assert.deepEqual([saved.width, saved.height], [shown.width, shown.height]);
    assert.equal(differingPixels(saved, shown), 0);
    await done(page);
  });

  test('without WebGL the page says so, and the values and the report still work', async () => {
    const plain = await startBrowser(['--disable-3d-apis']);
    try {
      const page = await openPage(plain.browser, server.url);
      const notice = await page.$eval('#notice', (e) => (e.hidden ? '' : e.textContent));
      assert.match(notice, /WebGL/);
      await page.click('#value-0', { clickCount: 3 });
      await page.keyboard.type('0.5');
      await nextFrames(page);
      assert.equal(await page.$eval('#report', (e) => e.textContent), math.report([0.5, 0.1, 0.630991, 0.1].map(Math.fround)));
      assert.deepEqual(page.problems, []);
    } finally {
      await plain.close();
    }
  });
});
