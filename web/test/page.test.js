// The page in a real browser, used as a person uses it: loaded from the
// static server, the canvas read back as the screen shows it, the mouse
// dragging, a finger swiping, keys pressed, links opened. Every page a test
// opens must also leave no console error or warning and no exception.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { canvasPicture, decodePng, differingPixels, nextFrames, openPage, pixel, serveSite, siteCopy, startBrowser } from './browser.js';
import { assertSameText, loadSiteMathematics, reportTool, siteDir } from './support.js';

const recordedScene = JSON.parse(fs.readFileSync(path.join(siteDir, 'scene.json'), 'utf8'));

let server;
let chromium;
let math;
before(async () => {
  [server, chromium, math] = await Promise.all([serveSite(), startBrowser(), loadSiteMathematics()]);
});
after(async () => {
  await chromium?.close();
  server?.stop();
});

const open = (query = '', options) => openPage(chromium.browser, `${server.url}${query}`, options);
async function done(...pages) {
  for (const page of pages) {
    assert.deepEqual(page.problems, []);
    await page.close();
  }
}
const text = (page, id) => page.$eval(`#${id}`, (e) => (e.hidden ? '' : e.textContent));
async function type(page, k, word) {
  await page.click(`#value-${k}`, { clickCount: 3 });
  await page.keyboard.type(word);
}
async function drag(page, box, dx, dy) {
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width / 2 + dx, box.y + box.height / 2 + dy, { steps: 8 });
  await page.mouse.up();
}

// OpenGL's lighting as the window program sets it up (basicsource/scene.cpp,
// main.cpp): 0.5 global ambient on the default 0.2 material ambient; four
// positional lights at twice their locations; specular (1,1,1) to the 25th
// power; the viewer at infinity along +z. The 8-bit colour at p, normal n.
const kLights = [[[-10, 0, 10], [1, 1, 1], 0.4], [[20, -10, 10], [1, 1, 1], 0.5],
  [[10, 20, -10], [1, 1, 0], 0.7], [[-6, -1, -2], [1, 1, 1], 0.5]];
function litColour(p, n, diffuse) {
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
function share(picture, predicate) {
  let count = 0;
  for (let y = 0; y < picture.height; y += 2)
    for (let x = 0; x < picture.width; x += 2) count += predicate(pixel(picture, x, y)) ? 1 : 0;
  return count / Math.ceil(picture.width / 2) / Math.ceil(picture.height / 2);
}
const isSlate = ([r, g, b]) => g - r > 15 && b - r > 15;
const isBrown = ([r, g, b]) => r > g && g > b && r - b > 40;
const isDark = (p) => p.every((v) => v < 80);

describe('the page', () => {
  test('its import map comes before anything that loads a module, and every module is preloaded', () => {
    // A module fetched first (a modulepreload too) makes the browser drop the
    // map, and 'three' then fails to resolve on some loads only.
    const html = fs.readFileSync(path.join(siteDir, 'index.html'), 'utf8');
    const map = html.indexOf('type="importmap"');
    assert.ok(map > 0 && [/rel="modulepreload"/g, /import\('\.\/src\/main\.js'\)/g].every((r) => html.search(r) > map));
    // The preloads are also the list a page that cannot start names its missing files from.
    const preloaded = [...html.matchAll(/rel="modulepreload" href="([^"]+)"/g)].map((m) => m[1]).sort();
    const modules = fs.readdirSync(siteDir, { recursive: true }).filter((f) => f.endsWith('.js')).sort();
    assert.deepEqual(preloaded, modules);
  });
});

describe('the scene', () => {
  test('black background, the brown sphere lit as OpenGL lights it, dark figure, slate cylinder', async () => {
    const full = await open('');
    const scene = await canvasPicture(full);
    const { width: w, height: h } = scene;
    assert.deepEqual([pixel(scene, 5, 5), pixel(scene, w - 5, h / 2)], [[0, 0, 0], [0, 0, 0]]);
    assert.ok(share(scene, isSlate) > 0.15, 'the cylinder covers much of the view');

    const bare = await open('?show=');
    const sphere = await canvasPicture(bare);
    assert.ok(share(sphere, isSlate) < 0.001 && share(sphere, isBrown) > 0.3);
    // The middle of the view is on the sphere's equator between its vertices
    // at longitudes 84 and 96 degrees: the mean of their colours (Gouraud).
    const at = (deg) => [Math.cos((deg * Math.PI) / 180), 0, Math.sin((deg * Math.PI) / 180)];
    const colour = (deg) => litColour(at(deg).map((x) => 0.992 * x), at(deg), [0.545, 0.27, 0.074]);
    const expected = colour(84).map((v, k) => (v + colour(96)[k]) / 2);
    const seen = pixel(sphere, w / 2, h / 2);
    assert.ok(seen.every((v, k) => Math.abs(v - expected[k]) <= 4), `centre ${seen}, OpenGL gives ${expected}`);

    // The figure over the sphere: where it changes a pixel, it darkens it.
    const drawn = await open('?show=circles,curves,points');
    const figure = await canvasPicture(drawn);
    let changed = 0;
    let darker = 0;
    for (let y = h / 2 - 150; y < h / 2 + 150; ++y)
      for (let x = w / 2 - 100; x < w / 2 + 100; ++x) {
        const [p, q] = [pixel(sphere, x, y), pixel(figure, x, y)];
        if (p.every((v, k) => v === q[k])) continue;
        changed += 1;
        darker += q[0] + q[1] + q[2] < p[0] + p[1] + p[2] - 100 ? 1 : 0;
      }
    assert.ok(changed > 1000 && darker > 0.9 * changed, `${darker} of ${changed} changed pixels much darker`);
    await done(full, bare, drawn);
  });
});

describe('turning the view', () => {
  test('mouse drag and wheel orbit and zoom, and the link follows; a finger swipe orbits', async () => {
    const page = await open('');
    const before = await canvasPicture(page);
    await drag(page, before.box, 150, 40);
    const { width, height } = before;
    assert.ok(differingPixels(before, await canvasPicture(page)) > 0.2 * width * height);
    await page.waitForFunction(() => location.search.includes('camera='));
    const camera = () => new URL(page.url()).searchParams.get('camera').split(',').map(Number);
    assert.ok(Math.abs(Math.hypot(...camera().slice(0, 3)) - 3) < 1e-9, `an orbit keeps the distance: ${camera()}`);
    assert.deepEqual(camera().slice(3), [0, 0, 0]);
    await page.mouse.wheel({ deltaY: -300 });
    await page.waitForFunction(() => {
      const c = new URLSearchParams(location.search).get('camera').split(',').map(Number);
      return Math.hypot(c[0], c[1], c[2]) < 2.9;
    });

    const touch = await open('', { touch: true });
    const start = await canvasPicture(touch);
    const { x, y } = start.box;
    await touch.touchscreen.touchStart(x + width / 2, y + height / 2);
    for (let k = 1; k <= 10; ++k) await touch.touchscreen.touchMove(x + width / 2 - 12 * k, y + height / 2);
    await touch.touchscreen.touchEnd();
    assert.ok(differingPixels(start, await canvasPicture(touch)) > 0.2 * width * height);
    await done(page, touch);
  });
});

describe('the four values', () => {
  test('a typed value moves the corners to where the mathematics puts them', async () => {
    const page = await open('?show=points');
    const before = await canvasPicture(page);
    await type(page, 0, '0.3');
    await type(page, 1, String(Math.PI / 2)); // corner 0 of pentagon 1 now faces the camera
    const values = [0.3, Math.PI / 2, 0.630991, 0.1].map(Math.fround);
    const after = await canvasPicture(page);
    // seen from the home camera (0, 0, 3), 45 degrees from bottom to top
    const [cx, cy, cz] = math.figure(values).corners;
    const f = 1 / Math.tan(Math.PI / 8) / (3 - cz);
    const px = after.width / 2 + ((f * cx * after.height) / after.width) * (after.width / 2);
    const py = after.height / 2 - f * cy * (after.height / 2);
    assert.ok(isDark(pixel(after, px, py)) && isDark(pixel(after, px + 1, py)), `the corner at ${px}, ${py}`);
    assert.ok(!isDark(pixel(before, px, py)), 'was not there before');
    assert.equal(await text(page, 'report'), math.report(values));
    assert.match(page.url(), /pentagons=0\.3,1\.5707963267948966,0\.630991,0\.1/);
    await done(page);
  });

  test('a slider redraws as it moves; a wrong value gets the tool\'s message and the figure stays', async () => {
    const page = await open('?show=circles');
    const first = await canvasPicture(page);
    await page.focus('#slider-3');
    await page.keyboard.press('ArrowRight');
    assert.equal(await page.$eval('#value-3', (e) => e.value), '0.101');
    const second = await canvasPicture(page);
    assert.ok(differingPixels(first, second) > 100, 'the great circles turned');

    const report = await text(page, 'report');
    await type(page, 2, '2'); // one key: no good value on the way
    const tool = spawnSync(reportTool, ['0.97531795', '0.101', '2', '0.1'], { encoding: 'utf8' });
    assert.equal(`geodesic-report: ${await text(page, 'message-2')}`, tool.stderr.split('\n')[0]);
    assert.equal(await page.$eval('#value-2', (e) => e.getAttribute('aria-invalid')), 'true');
    assert.equal(differingPixels(second, await canvasPicture(page)), 0);
    assert.equal(await text(page, 'report'), report);
    await done(page);
  });
});

describe('a pentagon at a pole', () => {
  test('draws no cylinder curves, and no slider end brings a console message', async () => {
    // Each picture is taken before the next tab hides its page.
    const pictures = {};
    const pages = [];
    for (const query of ['1,0,-1,0&show=', '1,0,-1,0&show=curves', '1,0,0.5,0&show=', '1,0,0.5,0&show=curves']) {
      pages.push(await open(`?pentagons=${query}`));
      pictures[query] = await canvasPicture(pages.at(-1));
    }
    assert.equal(differingPixels(pictures['1,0,-1,0&show='], pictures['1,0,-1,0&show=curves']), 0, 'curves at either pole');
    assert.ok(differingPixels(pictures['1,0,0.5,0&show='], pictures['1,0,0.5,0&show=curves']) > 1000, "pentagon 2's curves");
    const one = pages.at(-1);
    for (let k = 0; k < 4; ++k) {
      await one.focus(`#slider-${k}`);
      for (const key of ['End', 'Home']) {
        await one.keyboard.press(key);
        await nextFrames(one);
      }
    }
    assert.equal(await one.$eval('#value-2', (e) => e.value), '-1');
    await done(...pages);
  });
});

describe('links', () => {
  test('a copied link reopens the same view, pixel for pixel', async () => {
    const page = await open('');
    await drag(page, (await canvasPicture(page)).box, -90, 70);
    await page.click('#show-points');
    await page.keyboard.press('w');
    await type(page, 1, '0.7');
    await chromium.browser.defaultBrowserContext()
      .overridePermissions(new URL(server.url).origin, ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
    await page.click('#copy-link');
    await page.waitForFunction(() => document.getElementById('share-message').textContent.includes('copied'));
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), page.url());
    const original = await canvasPicture(page); // before another tab hides this one
    const copy = await open(page.url().slice(server.url.length));
    assert.equal(copy.url(), page.url());
    assert.equal(differingPixels(original, await canvasPicture(copy)), 0);
    assert.deepEqual(await copy.evaluate(() => [document.getElementById('value-1').value,
      document.getElementById('wire-frame').checked, document.getElementById('show-points').checked]), ['0.7', true, false]);
    await done(page, copy);
  });

  test('a broken link says what is wrong beside each field and shows the scene', async () => {
    const scene = await open('');
    const expected = await canvasPicture(scene);
    const page = await open('?pentagons=2,0.1,abc,0.1&show=cylinder,spheres&wire=maybe&camera=1,2&t=999');
    assert.equal(await text(page, 'message-0'), "LAT1 '2' is outside -1 to 1 (the height of the corners on the unit sphere)");
    assert.equal(await text(page, 'message-1'), '');
    assert.equal(await text(page, 'message-2'), "LAT2 'abc' is not a number");
    assert.equal(await page.$eval('#value-2', (e) => e.value), 'abc');
    for (const id of ['show-message', 'share-message', 'animation-message']) assert.notEqual(await text(page, id), '', id);
    assert.equal(differingPixels(expected, await canvasPicture(page)), 0);
    const short = await open('?pentagons=0.5,1');
    assert.match(await text(short, 'pentagons-message'), /gives 2 values/);
    assert.equal(differingPixels(expected, await canvasPicture(short)), 0);
    await done(scene, page, short);
  });
});

describe('keys and the animation', () => {
  test('w and t toggle; p resumes and pauses the animation on the camera flight; a restarts it', async () => {
    const page = await open('?t=80'); // paused in the last segment, which flies home
    const solid = await canvasPicture(page);
    await page.keyboard.press('w');
    assert.ok(differingPixels(solid, await canvasPicture(page)) > 10000, 'wire frame');
    await page.keyboard.press('w');
    assert.equal(differingPixels(solid, await canvasPicture(page)), 0, 'and back');
    await page.keyboard.press('t');
    await nextFrames(page); // the line is written by the next frame
    assert.match(await text(page, 'statistics'), /Polygons: 1392, Time: 80\.0/);

    await page.keyboard.press('p');
    await page.waitForFunction(() => parseFloat(document.getElementById('animation-time').textContent) >= 80.5);
    await page.keyboard.press('p');
    await page.waitForFunction(() => new URLSearchParams(location.search).get('t') >= 80.4);
    const query = new URL(page.url()).searchParams;
    const { eye, target } = math.flightCamera(Number(query.get('t')));
    assert.ok(Number(query.get('t')) < 84, 'paused while the camera still moves');
    assert.deepEqual(query.get('camera').split(',').map(Number), [...eye, ...target]);
    assert.match(await text(page, 'statistics'), /Frame: [1-9]/);

    await page.keyboard.press('a');
    await page.keyboard.press('p');
    assert.match(await text(page, 'animation-time'), /^0\.\d s of 150$/);
    const [before, from] = [await open('?t=84.9'), await open('?t=85')];
    assert.deepEqual([await text(before, 'caption'), await text(from, 'caption')],
      ['', recordedScene.caption]); // the program's own, as its frames draw it
    await done(page, before, from);
  });

  test('Tab reaches every control, each with a name and a visible focus ring', async () => {
    const page = await open('?intersections=1&point=5&dome=1');
    const reached = [];
    for (let k = 0; k < 60; ++k) {
      await page.keyboard.press('Tab');
      const focused = await page.evaluate(() => {
        const style = getComputedStyle(document.activeElement);
        return { id: document.activeElement.id, ring: style.outlineStyle !== 'none' && parseFloat(style.outlineWidth) >= 2 };
      });
      if (!focused.id || reached.some((r) => r.id === focused.id)) break;
      const node = await page.accessibility.snapshot({ root: await page.$(`#${focused.id}`) });
      reached.push({ ...focused, name: node?.name?.trim() ?? '' });
    }
    const ids = reached.map((r) => r.id);
    for (const id of ['canvas', 'value-0', 'slider-0', 'value-3', 'slider-3', 'scene-values', 'show-cylinder', 'show-circles',
      'show-curves', 'show-points', 'show-intersections', 'wire-frame', 'statistics-toggle', 'play', 'copy-link', 'save-picture',
      'circle-0', 'circle-9', 'point-frame', 'point-5', 'chosen-arcs', 'show-dome', 'dome-radius', 'download-stl', 'download-gltf',
      'cut-list', 'report'])
      assert.ok(ids.includes(id), `Tab reaches ${id} (reached: ${ids})`);
    assert.equal(ids.filter((id) => id.startsWith('point-')).length, 2, 'the table of points is one stop, and its frame another');
    for (const r of reached) assert.ok(r.name.length > 2 && r.ring, `${r.id}: name '${r.name}', focus ring ${r.ring}`);
    await done(page);
  });
});

describe('pictures and browsers without WebGL', () => {
  test('Save picture downloads the canvas as a PNG', async () => {
    const page = await open('?wire=1');
    const folder = fs.mkdtempSync(path.join(chromium.profile, 'downloads-'));
    await (await page.createCDPSession()).send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
    const shown = await canvasPicture(page);
    await page.click('#save-picture');
    const file = path.join(folder, 'geodesics.png');
    for (let k = 0; k < 100 && !fs.existsSync(file); ++k) await new Promise((r) => setTimeout(r, 50));
    assert.equal(differingPixels(await decodePng(page, fs.readFileSync(file)), shown), 0);
    await done(page);
  });

  test('without WebGL the page says so, the animation cannot be played, and the values, the report, the intersections and the cut list still work', async () => {
    const plain = await startBrowser(['--disable-3d-apis']);
    try {
      const page = await openPage(plain.browser, `${server.url}?intersections=1&point=3&dome=1`);
      assert.match(await text(page, 'notice'), /WebGL/);
      assert.equal(await text(page, 'choice-status'), 'Point 3 is chosen: circles 1.0 and 1.2.');
      assert.match(await text(page, 'cut-list'), /^Radius 50;.*^Panels: 240 in 14 shapes;/ms);
      // nothing would show the animation: its buttons and keys do nothing, and say why
      assert.deepEqual(await page.$$eval('#play, #pause', (buttons) => buttons.map((b) => b.disabled)), [true, true]);
      assert.match(await text(page, 'animation-message'), /WebGL/);
      await page.keyboard.press('a');
      assert.equal(await page.evaluate(() => window.geodesics.clock.mode), 'atStart');
      assert.equal(await text(page, 'animation-time'), `0.0 s of ${math.animationSeconds}`);
      await type(page, 0, '0.5');
      await nextFrames(page);
      assert.equal(await text(page, 'report'), math.report([0.5, 0.1, 0.630991, 0.1].map(Math.fround)));
      assert.deepEqual(page.problems, []);
    } finally {
      await plain.close();
    }
  });
});

describe('a site with a part missing', () => {
  test('says which file is missing and that the page needs all of them, with nothing uncaught', async () => {
    const root = fs.mkdtempSync(path.join(os.tmpdir(), 'geodesics-broken-sites-'));
    const wasm = fs.readFileSync(path.join(siteDir, 'wasm/geodesics.wasm'));
    const sites = [ // folder, file, contents (null: none), what the notice says
      ['no-three-core', 'vendor/three/three.core.js', null, /vendor\/three\/three\.core\.js is missing/],
      ['no-binding', 'wasm/geodesics.js', null, /wasm\/geodesics\.js is missing/],
      ['no-wasm', 'wasm/geodesics.wasm', null, /wasm\/geodesics\.wasm is missing/],
      ['empty-wasm', 'wasm/geodesics.wasm', Buffer.alloc(0), /wasm\/geodesics\.wasm is empty/],
      ['damaged-wasm', 'wasm/geodesics.wasm', wasm.subarray(0, wasm.length >> 1), /wasm\/geodesics\.wasm is damaged/],
      ['other-build', 'wasm/geodesics.wasm', Buffer.from('\0asm\x01\0\0\0', 'latin1'), /wasm\/geodesics\.wasm does not fit/],
      ['no-scene', 'scene.json', null, /scene\.json is missing/],
      ['no-style', 'style.css', null, /style\.css is missing/],
    ];
    for (const [name, file, contents] of sites) siteCopy(root, name, { [file]: contents });
    const broken = await serveSite(root);
    try {
      for (const [name, file, , says] of sites) {
        const until = () => !document.getElementById('notice').hidden;
        const page = await openPage(chromium.browser, `${broken.url}${name}/`, { until });
        await page.waitForNetworkIdle({ idleTime: 300 });
        const notice = await text(page, 'notice');
        assert.match(notice, says, name);
        assert.match(notice, /needs all of its files/, name);
        // the browser's own line for the missing file, and nothing else
        assert.deepEqual(page.problems.filter((p) => !/^console error: Failed to load resource: .* 404/.test(p)), [], name);
        if (file === 'scene.json' || file === 'style.css') {
          await page.waitForFunction(() => document.documentElement.dataset.ready === 'true');
          assert.equal(await text(page, 'report'), math.report(math.sceneValues));
        }
        await page.close();
      }
    } finally {
      broken.stop();
      fs.rmSync(root, { recursive: true, force: true });
    }
  });
});

// --- Where the circles meet -------------------------------------------------------

// Where the home camera (eye (0, 0, 3), 45 degrees from bottom to top) sees
// a point of the figure turned by the spin at animation time t: x and y in
// the picture, and z, which is above 1/3 where the sphere does not hide it.
function seen(p, picture, t = 0) {
  const a = (recordedScene.spinDegreesPerSecond * t * Math.PI) / 180;
  const [x, y, z] = [p[0] * Math.cos(a) + p[2] * Math.sin(a), p[1], -p[0] * Math.sin(a) + p[2] * Math.cos(a)];
  const f = 1 / Math.tan(Math.PI / 8) / (3 - z);
  return { x: picture.width / 2 + (f * x * picture.height) / 2, y: picture.height / 2 - (f * y * picture.height) / 2, z };
}
const isWhite = (p) => p.every((v) => v > 225);
const isChosen = ([r, g, b]) => r > 200 && g < 140 && b > 200; // magenta
const near = (picture, { x, y }, predicate) =>
  [-1, 0, 1].some((dx) => [-1, 0, 1].some((dy) => predicate(pixel(picture, x + dx, y + dy))));
const rows = (page, selector) => page.$$eval(`${selector} tr`, (all) => all.map((r) => [...r.cells].map((c) => c.textContent)));
const status = (page) => text(page, 'choice-status');
const query = (page) => new URL(page.url()).searchParams;
// The lengths as the panel writes them.
const nine = (v) => (v === null ? 'none' : v.toFixed(9));

describe('where the circles meet', () => {
  const scene = () => math.intersections(math.sceneValues);
  // Sample j (0 to 99, on round) of great circle c for the scene's values, as seen.
  let greatCircles;
  const sample = (c, j, picture) => {
    greatCircles ??= math.figure(math.sceneValues).greatCircles;
    const k = 3 * (100 * c + (j % 100));
    return seen(greatCircles.slice(k, k + 3), picture);
  };

  test('the Intersections toggle marks every point, turning with the figure, and lists them', async () => {
    const page = await open('?show=&t=7.5'); // paused a quarter turn on
    const before = await canvasPicture(page);
    await page.click('#show-intersections');
    const after = await canvasPicture(page);
    const { points } = scene();
    const front = points.map((p) => seen(p.sphere, after, 7.5)).filter((s) => s.z > 0.45);
    assert.ok(front.length > 20);
    assert.deepEqual(front.filter((s) => !isWhite(pixel(after, s.x, s.y))), [], 'every point facing the camera is marked');
    assert.ok(front.filter((s) => isWhite(pixel(before, s.x, s.y))).length < 0.2 * front.length, 'and was not before');
    await page.waitForFunction(() => location.search.includes('intersections=1'));
    // the table's rows: the report's circles p.i, the coordinates, the corners
    const table = await rows(page, '#point-rows');
    assert.equal(table.length, 90);
    assert.deepEqual(table[0], ['0', '1.0, 1.1', '0.047, 0.975, 0.216', '0.213, 4.417, 0.977', 'corner 1.1']);
    assert.deepEqual(table[8].slice(1), ['1.0, 2.0', '0.666, 0.000, -0.746', '0.666, 0.000, -0.746', 'on the equator']);
    await page.click('#show-intersections');
    assert.equal(differingPixels(before, await canvasPicture(page)), 0, 'and off again');
    assert.equal(await page.$eval('#intersections', (e) => e.hidden), true);
    await done(page);
  });

  test('a click on a point in the figure chooses it: it and its circles are marked, its arcs listed', async () => {
    const page = await open('?show=circles&intersections=1');
    const picture = await canvasPicture(page);
    const { points, arcs, circles } = scene();
    // the point facing the camera farthest from any other on the screen
    const place = points.map((p) => seen(p.sphere, picture));
    const gap = (k) => Math.min(...place.map((s, j) => (j === k ? Infinity : Math.hypot(s.x - place[k].x, s.y - place[k].y))));
    const k = place.map((_, j) => j).filter((j) => place[j].z > 0.5).sort((a, b) => gap(b) - gap(a))[0];
    await page.mouse.click(picture.box.x + place[k].x + 3, picture.box.y + place[k].y - 2); // within reach
    await page.waitForFunction(() => location.search.includes('point='));
    assert.equal(query(page).get('point'), String(k));
    const labels = points[k].circles.map((c) => circles[c].label);
    assert.equal(await status(page), `Point ${k} is chosen: circles ${labels.join(' and ')}.`);
    assert.equal(await page.$eval(`#point-${k}`, (e) => e.getAttribute('aria-pressed')), 'true');
    assert.deepEqual(await rows(page, '#chosen tbody'), points[k].arcs.map((a) => [String(a), circles[arcs[a].circle].label,
      `${arcs[a].from} → ${arcs[a].to}`, nine(arcs[a].angle), nine(arcs[a].chord), nine(arcs[a].cylinderLength)]));
    assert.match(await text(page, 'chosen'), new RegExp(`On the sphere \\(x, y, z\\)${points[k].sphere.map(nine).join(', ')}`));

    // the point and its circles in the choice's colour, the rest as they were
    const chosen = await canvasPicture(page);
    assert.ok(isChosen(pixel(chosen, place[k].x, place[k].y)));
    const samples = (c) => Array.from({ length: 100 }, (_, j) => sample(c, j, chosen)).filter((s) => s.z > 0.45);
    for (const c of points[k].circles) {
      const marked = samples(c).filter((s) => near(chosen, s, isChosen)).length;
      assert.ok(marked > 0.9 * samples(c).length, `circle ${c}: ${marked} of ${samples(c).length} samples marked`);
    }
    const other = [...Array(10).keys()].find((c) => !points[k].circles.includes(c));
    assert.equal(samples(other).filter((s) => near(chosen, s, isChosen)).length, 0, 'another circle is not');

    // What the sphere hides is not picked: a click on a point behind it, away
    // from everything in front, is a click on nothing, which clears the choice.
    const front = (s) => s.z > 0.2; // the sphere hides all of the unit sphere beyond z = 1/3
    const lines = [...Array(10).keys()].flatMap((c) => [...Array(100).keys()].map((j) => [sample(c, j, chosen), sample(c, j + 1, chosen)]))
      .filter(([a, b]) => front(a) || front(b));
    const hidden = place.findIndex((s) => s.z < 0 && place.every((o) => !front(o) || Math.hypot(o.x - s.x, o.y - s.y) > 20) &&
      lines.every(([a, b]) => segmentGap(s, a, b) > 10));
    assert.notEqual(hidden, -1);
    await page.mouse.click(picture.box.x + place[hidden].x, picture.box.y + place[hidden].y);
    assert.equal(await status(page), 'Nothing is chosen.');
    assert.equal(share(await canvasPicture(page), isChosen), 0);
    // a finger reaches farther than the mouse: 12 pixels from the point
    await page.mouse.click(picture.box.x + place[k].x + 12, picture.box.y + place[k].y);
    assert.doesNotMatch(await status(page), /^Point/);
    const touch = await open('?show=circles&intersections=1', { touch: true });
    await touch.touchscreen.tap(picture.box.x + place[k].x + 12, picture.box.y + place[k].y);
    assert.match(await status(touch), new RegExp(`^Point ${k} is chosen`));
    await page.bringToFront();

    // a drag turns the view and chooses nothing; Escape clears the choice
    await page.click(`#point-${k}`);
    await drag(page, picture.box, 40, 0);
    assert.match(await status(page), new RegExp(`^Point ${k} is chosen`));
    await page.keyboard.press('Escape');
    assert.equal(await status(page), 'Nothing is chosen.');
    await done(page, touch);
  });

  test('the keyboard chooses a point from the table, which a screen reader reads as a table', async () => {
    const page = await open('?show=circles&intersections=1');
    await page.focus('#circle-9');
    const focused = () => page.evaluate(() => document.activeElement.id);
    await page.keyboard.press('Tab'); // its scrolling frame, then one stop for the table: its chosen row, or its first
    assert.equal(await focused(), 'point-frame');
    await page.keyboard.press('Tab');
    assert.equal(await focused(), 'point-0');
    for (const key of ['ArrowDown', 'ArrowDown', 'ArrowDown', 'ArrowUp', 'ArrowDown']) await page.keyboard.press(key);
    assert.equal(await focused(), 'point-3');
    await page.keyboard.press('Enter');
    assert.match(await status(page), /^Point 3 is chosen/);
    // Tab leaves the table at once and comes back to the row it left
    await page.keyboard.press('Tab');
    assert.equal(await focused(), 'chosen-arcs');
    await page.keyboard.down('Shift');
    await page.keyboard.press('Tab');
    await page.keyboard.up('Shift');
    assert.equal(await focused(), 'point-3');
    await page.keyboard.press('End');
    await page.keyboard.press(' ');
    assert.match(await status(page), /^Point 89 is chosen: circles 2\.3 and 2\.4\.$/);
    await page.keyboard.press('ArrowUp');
    assert.equal(await focused(), 'point-88');
    assert.match(await status(page), /^Point 89/, 'moving the focus does not choose');
    const node = await page.accessibility.snapshot({ root: await page.$('#point-89') });
    assert.deepEqual([node.role, node.name, node.pressed], ['button', 'Point 89: circles 2.3 and 2.4', true]);
    await page.keyboard.press('ArrowDown');
    await page.keyboard.press('Enter'); // a chosen point's button pressed again chooses nothing
    assert.equal(await status(page), 'Nothing is chosen.');

    const table = await page.accessibility.snapshot({ root: await page.$('#point-table'), interestingOnly: false });
    const all = (n, role) => [...(n.role === role ? [n] : []), ...(n.children ?? []).flatMap((c) => all(c, role))];
    assert.equal(table.role, 'table');
    assert.equal(table.name, 'Points');
    assert.deepEqual(all(table, 'columnheader').map((h) => h.name),
      ['Point', 'Circles', 'On the sphere (x, y, z)', 'On the cylinder (x, y, z)', 'Corner or equator']);
    assert.equal(all(table, 'row').length, 91);
    await done(page);
  });

  test('choosing a circle, by its button or its line in the figure, lists its arcs in its direction of travel', async () => {
    const page = await open('?show=circles&intersections=1');
    const { points, arcs, circles } = scene();
    await page.click('#circle-6');
    await page.waitForFunction(() => location.search.includes('circle=6'));
    const circle = circles[6];
    const listed = await rows(page, '#chosen tbody');
    assert.deepEqual(listed, circle.arcs.map((a) => [String(a), `${arcs[a].from} → ${arcs[a].to}`,
      nine(arcs[a].angle), nine(arcs[a].chord), nine(arcs[a].cylinderLength)]));
    // one walk round the circle from its first corner: each arc starts where the last ended
    const walk = listed.map((r) => r[1].split(' → ').map(Number));
    assert.equal(walk[0][0], points.findIndex((p) => p.corners.includes(6)));
    walk.forEach(([, to], j) => assert.equal(walk[(j + 1) % walk.length][0], to));
    assert.deepEqual(await rows(page, '#chosen tfoot'), [['Total', nine(circle.angleSum), nine(circle.chordSum), nine(circle.cylinderSum)],
      ['The whole curve on the cylinder', nine(circle.cylinderCurve)]]);
    assert.match(await text(page, 'chosen'), /Pentagon 2's edge 1, walked from corner 2\.1 towards corner 2\.2: 18 points\./);
    assert.equal(await page.$eval('#circle-6', (e) => e.getAttribute('aria-pressed')), 'true');

    // a click on circle c's line, away from the points and from other lines
    const picture = await canvasPicture(page);
    const at = (c, j) => sample(c, j, picture);
    const marks = points.map((p) => seen(p.sphere, picture)).filter((s) => s.z > 0.3);
    const clear = (c, j) => {
      const s = at(c, j);
      if (s.z < 0.5 || marks.some((m) => Math.hypot(m.x - s.x, m.y - s.y) < 20)) return false;
      for (let o = 0; o < 10; ++o)
        for (let i = 0; o !== c && i < 100; ++i)
          if (segmentGap(s, at(o, i), at(o, i + 1)) < 14) return false;
      return true;
    };
    const [c, j] = [0, 1, 2, 3, 4, 5, 7, 8, 9].flatMap((o) => [...Array(100).keys()].map((i) => [o, i])).find(([o, i]) => clear(o, i));
    await page.mouse.click(picture.box.x + at(c, j).x, picture.box.y + at(c, j).y + 2);
    assert.equal(await status(page), `Circle ${circles[c].label} is chosen: ${circles[c].arcs.length} arcs.`);
    // and a click on the black beyond the figure chooses nothing
    await page.mouse.click(picture.box.x + 3, picture.box.y + picture.height / 2);
    assert.equal(await status(page), 'Nothing is chosen.');
    await done(page);
  });

  test('a link reopens the same choice; the choice follows the values and is dropped when it is gone', async () => {
    const page = await open('?intersections=1&point=40');
    await type(page, 1, '0.4'); // LONG1: point 40 stays, with its new numbers
    const values = [0.97531795, 0.4, 0.630991, 0.1].map(Math.fround);
    const moved = math.intersections(values).points[40];
    assert.match(await text(page, 'chosen'), new RegExp(moved.sphere.map(nine).join(', ')));
    await page.waitForFunction(() => location.search.includes(',0.4,'));
    const original = await canvasPicture(page);
    const copy = await open(page.url().slice(server.url.length));
    assert.equal(copy.url(), page.url());
    assert.deepEqual(query(copy).get('point'), '40');
    assert.equal(await text(copy, 'chosen'), await text(page, 'chosen'));
    assert.equal(differingPixels(original, await canvasPicture(copy)), 0);

    await type(copy, 0, '1'); // pentagon 1 at a pole: 20 points left
    assert.equal(await status(copy), 'Point 40 is gone: these values have 20 points. Nothing is chosen.');
    await copy.waitForFunction(() => !location.search.includes('point='));
    assert.equal((await rows(copy, '#point-rows')).length, 20);
    const circle = await open('?intersections=1&circle=2');
    await type(circle, 0, '1');
    assert.equal(await status(circle), 'Circle 1.2 is gone: its pentagon is at a pole. Nothing is chosen.');
    assert.equal(await circle.$eval('#circle-2', (e) => e.disabled), true);
    await done(page, copy, circle);
  });

  test('every slider end and every degenerate pair of pentagons gives whole answers: no NaN, no console message', async () => {
    // The four values, what the summary says. Each page is used while it is
    // the tab in front: one behind another draws no frames.
    const cases = [
      ['1,0,-1,0', /No two circles cross.*Pentagon 1 is at a pole.*Pentagon 2 is at a pole/],
      ['0.5,1,0.5,1', /Circles 1\.0 and 2\.0 are one great circle\. .*1\.4 and 2\.4 are one great circle\./],
      ['0,0,0,0.3', /No two circles cross.*Circles 1\.0, 1\.1, .* and 2\.4 are one great circle\./],
      ['0.5,0,-0.5,3.141592653589793', /20 points where the circles meet, 80 arcs.*Circles 1\.0 and 2\.0 are one/],
    ];
    const pages = [];
    for (const [values, says] of cases) {
      const page = await open(`?pentagons=${values}&intersections=1`);
      pages.push(page);
      assert.match(await text(page, 'intersections-summary'), says, values);
    }
    const equator = pages[2];
    await equator.bringToFront();
    await equator.click('#circle-4');
    assert.match(await text(equator, 'chosen'), /No other circle crosses it: no points, no arcs\. The whole curve on the cylinder: 6\.283185307\./);
    const one = pages[3];
    await one.bringToFront();
    await one.click('#point-0');
    const panelText = () => one.$eval('.panel', (e) => e.innerText);
    for (let k = 0; k < 4; ++k) {
      await one.focus(`#slider-${k}`);
      for (const key of ['End', 'Home', 'End']) {
        await one.keyboard.press(key);
        await nextFrames(one);
        assert.doesNotMatch(await panelText(), /NaN|Infinity|undefined|null/, `slider ${k} ${key}`);
      }
    }
    assert.deepEqual(await one.$$eval('input[id^="value-"]', (fields) => fields.map((f) => f.value)), ['1', '3.142', '1', '3.142']);

    // A point at a pole has no image on the cylinder, a vertical plane no
    // lengths there. No four values make either (the mathematics' tests
    // make them from planes): the panel is given them as the mathematics
    // would give them, and writes "none".
    const written = await one.evaluate(async () => {
      const { IntersectionsPanel } = await import('./src/intersections_panel.js');
      const data = window.geodesics.math.intersections(window.geodesics.math.sceneValues);
      data.points[0].cylinder = null;
      Object.assign(data.circles[0], { vertical: true, cylinderSum: null, cylinderCurve: null });
      for (const a of data.circles[0].arcs) data.arcs[a].cylinderLength = null;
      const table = document.createElement('table');
      table.append(document.createElement('thead'), document.createElement('tbody'));
      const parts = Object.fromEntries(['section', 'summary', 'circles', 'pointsFrame', 'chosen', 'status'].map((n) => [n, document.createElement('div')]));
      const panel = new IntersectionsPanel({ ...parts, points: table.tBodies[0] }, () => {});
      panel.show(data);
      const seen = [[...table.tBodies[0].rows[0].cells].map((c) => c.textContent)];
      for (const choice of [{ kind: 'point', index: 0 }, { kind: 'circle', index: 0 }]) {
        panel.setChoice(choice);
        seen.push(parts.chosen.textContent, [...parts.chosen.querySelectorAll('tr')].map((r) => r.lastChild.textContent));
      }
      return seen;
    });
    assert.deepEqual(written[0], ['0', '1.0, 1.1', '0.047, 0.975, 0.216', 'none', 'corner 1.1']);
    assert.match(written[1], /On the cylinder \(x, y, z\)none: the point is at a pole/);
    assert.match(written[1], /The plane of 1\.0 is vertical/);
    const { points, arcs } = scene();
    assert.deepEqual(written[2], ['On the cylinder', ...points[0].arcs.map((a) => (arcs[a].circle === 0 ? 'none' : nine(arcs[a].cylinderLength)))]);
    assert.match(written[3], /Its plane is vertical/);
    assert.deepEqual(written[4].slice(-3), ['none', 'none', 'none']); // the last arc, the total, the whole curve
    assert.doesNotMatch(written.flat().join(' '), /NaN|null|undefined/);
    await done(...pages);
  });
});

// The distance from s to the segment from a to b, in pixels.
function segmentGap(s, a, b) {
  const [dx, dy] = [b.x - a.x, b.y - a.y];
  const t = Math.min(Math.max(((s.x - a.x) * dx + (s.y - a.y) * dy) / (dx * dx + dy * dy || 1), 0), 1);
  return Math.hypot(a.x + t * dx - s.x, a.y + t * dy - s.y);
}

// --- The dome -----------------------------------------------------------------------

const kPanelColour = [0.5, 0.46, 0.4]; // the dome's panels, as the page colours them
async function typeRadius(page, word) {
  await page.click('#dome-radius', { clickCount: 3 });
  await page.keyboard.type(word);
}
// A word put in the radius field at once, as pasting does.
function pasteRadius(page, word) {
  return page.$eval('#dome-radius', (field, w) => {
    field.value = w;
    field.dispatchEvent(new Event('input'));
  }, word);
}
const tool = (args) => spawnSync(reportTool, args, { encoding: 'utf8', maxBuffer: 1 << 26 });
// p turned by the spin at animation time t, about +y (as seen() turns it).
function spun(p, t) {
  const a = (recordedScene.spinDegreesPerSecond * t * Math.PI) / 180;
  return [p[0] * Math.cos(a) + p[2] * Math.sin(a), p[1], -p[0] * Math.sin(a) + p[2] * Math.cos(a)];
}
// The panels of a dome as triangles: { corners: [[x, y, z] x 3], normal }.
function panelsOf(dome) {
  const at = (array, k) => Array.from(array.subarray(3 * k, 3 * k + 3));
  return Array.from({ length: dome.positions.length / 9 }, (_, k) => ({
    corners: [0, 1, 2].map((i) => at(dome.positions, 3 * k + i)), normal: at(dome.normals, 3 * k),
  }));
}
// Waits for `count` files in `folder` whose download has finished.
async function downloaded(folder, count) {
  const files = () => fs.readdirSync(folder).filter((f) => !f.endsWith('.crdownload'));
  for (let k = 0; k < 200 && files().length < count; ++k) await new Promise((r) => setTimeout(r, 50));
  return Object.fromEntries(files().map((f) => {
    const bytes = fs.readFileSync(path.join(folder, f));
    return [f, bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length)];
  }));
}

describe('the dome', () => {
  test('the Dome toggle puts its panels, flat, lit as the sphere is and spinning with the figure, in place of the sphere; off, the picture is as before', async () => {
    const t = 7.5; // paused a quarter turn on
    const page = await open(`?show=&t=${t}`);
    const sphere = await canvasPicture(page);
    await page.click('#show-dome');
    const dome = await canvasPicture(page);
    // Every panel that faces the camera, at its middle, away from its struts:
    // the colour OpenGL's lighting gives its corners, turned by the spin, each
    // with the panel's one normal (those whose corners differ little, so that
    // any blend of them is their mean); the sphere was there before, in
    // another colour.
    const d = math.dome(math.sceneValues, 1);
    let checked = 0;
    for (const { corners, normal } of panelsOf(d)) {
      const s = corners.map((p) => seen(p, dome, t));
      const middle = { x: (s[0].x + s[1].x + s[2].x) / 3, y: (s[0].y + s[1].y + s[2].y) / 3 };
      const n = spun(normal, t);
      const colours = corners.map((p) => litColour(spun(p, t), n, kPanelColour));
      const spread = Math.max(...[0, 1, 2].map((c) => Math.max(...colours.map((v) => v[c])) - Math.min(...colours.map((v) => v[c]))));
      if (n[2] < 0.5 || spread > 6 || s.some((p, i) => segmentGap(middle, p, s[(i + 1) % 3]) < 6)) continue;
      const expected = [0, 1, 2].map((c) => (colours[0][c] + colours[1][c] + colours[2][c]) / 3);
      const [now, before] = [pixel(dome, middle.x, middle.y), pixel(sphere, middle.x, middle.y)];
      assert.ok(now.every((v, c) => Math.abs(v - expected[c]) <= 4), `panel at ${middle.x}, ${middle.y}: ${now}, OpenGL gives ${expected}`);
      assert.ok(before.some((v, c) => Math.abs(v - expected[c]) > 8), `the sphere was there: ${before}`);
      checked += 1;
    }
    assert.ok(checked >= 20, `${checked} panels`);
    // and every hub facing the camera is a steel-grey dot where the mathematics puts it
    const hubs = Array.from({ length: d.hubs.length / 3 }, (_, k) => seen(Array.from(d.hubs.subarray(3 * k, 3 * k + 3)), dome, t))
      .filter((h) => h.z > 0.5);
    assert.ok(hubs.length > 20, `${hubs.length} hubs`);
    assert.deepEqual(hubs.filter((h) => !near(dome, h, (p) => p.join() === '140,150,161')), [], 'every hub in front is drawn');
    await page.keyboard.press('t');
    await nextFrames(page);
    assert.match(await text(page, 'statistics'), /Polygons: 252,/); // the panels and the filled pentagons
    await page.keyboard.press('t');
    await page.waitForFunction(() => location.search.includes('dome=1'));
    await page.click('#show-dome');
    assert.equal(differingPixels(sphere, await canvasPicture(page)), 0, 'and off again');
    assert.equal(await page.$eval('#dome', (e) => e.hidden), true);

    // With everything shown, inside the tube; off, the page's own picture again.
    const scene = await open('');
    const plain = await canvasPicture(scene);
    await scene.click('#show-dome');
    assert.ok(differingPixels(plain, await canvasPicture(scene)) > 0.1 * plain.width * plain.height);
    await scene.click('#show-dome');
    assert.equal(differingPixels(plain, await canvasPicture(scene)), 0);
    await done(page, scene);
  });

  test("the cut list is the tool's for the values and the radius typed; a wrong radius says why and the list stays", async () => {
    const page = await open('?dome=1');
    await type(page, 1, '0.4');
    await typeRadius(page, '2500');
    const words = ['0.97531795', '0.4', '0.630991', '0.1'];
    const list = await text(page, 'cut-list');
    assertSameText(list, tool(['--dome', '--radius', '2500', ...words]).stdout);
    const counts = JSON.parse(tool(['--format', 'json', ...words]).stdout).dome;
    assert.equal(await text(page, 'dome-summary'), `${counts.panelCount} panels, ${counts.strutCount} struts and ` +
      `${counts.hubCount} hubs; the cut list and the files are for a radius of 2500 mm.`);
    for (const [word, says] of [['0', /^Radius '0' is not a positive number$/], ['2e6', /^Radius '2e6' is too large \(at most 1000000 mm\)$/],
      ['25OO', /^Radius '25OO' is not a number$/], ['', /^Radius '' is not a number$/]]) {
      await pasteRadius(page, word);
      assert.match(await text(page, 'dome-radius-message'), says);
      assert.equal(await page.$eval('#dome-radius', (e) => e.getAttribute('aria-invalid')), 'true');
      assert.equal(await text(page, 'cut-list'), list, 'the last good cut list stays');
    }
    // the tool refuses them too
    for (const word of ['0', '2e6', '25OO']) assert.equal(tool(['--dome', '--radius', word]).status, 2, word);
    await typeRadius(page, '1'); // the unit sphere: the tool's own cut list without --radius
    assert.equal(await text(page, 'dome-radius-message'), '');
    assertSameText(await text(page, 'cut-list'), tool(['--dome', ...words]).stdout);
    await type(page, 3, '0.7'); // and it follows the values
    assertSameText(await text(page, 'cut-list'), tool(['--dome', ...words.slice(0, 3), '0.7']).stdout);

    // No dome where the circles meet nowhere: the tool's own line, nothing to download.
    const none = await open('?dome=1&pentagons=1,0,-1,0');
    assert.equal(await text(none, 'dome-summary'), tool(['--dome', '1', '0', '-1', '0']).stdout.trim());
    assert.equal(await text(none, 'cut-list'), '');
    assert.deepEqual(await none.$$eval('#download-stl, #download-gltf', (b) => b.map((e) => e.disabled)), [true, true]);
    await type(none, 0, '0.5'); // one pentagon's five circles: 20 vertices, 40 edges, 22 faces
    assert.match(await text(none, 'cut-list'), /22 faces .* at 20 vertices joined by 40 edges/s);
    assert.deepEqual(await none.$$eval('#download-stl, #download-gltf', (b) => b.map((e) => e.disabled)), [false, false]);
    await done(page, none);
  });

  test("Download STL and Download glTF save the solid at the radius typed, which three.js's own loaders read back", async () => {
    const [{ Vector3 }, { STLLoader }, { GLTFLoader }] = await Promise.all([import('three'),
      import('three/addons/loaders/STLLoader.js'), import('three/addons/loaders/GLTFLoader.js')]);
    const page = await open('?dome=1&radius=2500');
    const folder = fs.mkdtempSync(path.join(chromium.profile, 'downloads-'));
    await (await page.createCDPSession()).send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
    await page.click('#download-stl');
    await page.click('#download-gltf');
    const files = await downloaded(folder, 2);
    assert.deepEqual(Object.keys(files).sort(), ['geodesic-dome.glb', 'geodesic-dome.stl']);
    assert.equal(await text(page, 'dome-file-message'), 'geodesic-dome.glb is saved: 240 triangles, radius 2500 mm.');

    // Closed, on the sphere of the radius, each triangle facing outwards.
    const check = (position, normal, toWorld, radius, what) => {
      assert.equal(position.count, 3 * 240, what);
      for (let k = 0; k < position.count; k += 3) {
        const corners = [0, 1, 2].map((i) => toWorld([position.getX(k + i), position.getY(k + i), position.getZ(k + i)]));
        for (const c of corners) assert.ok(Math.abs(Math.hypot(...c) - radius) < 2e-6 * radius, `${what}: a corner ${Math.hypot(...c)} from the centre`);
        const middle = [0, 1, 2].map((a) => corners[0][a] + corners[1][a] + corners[2][a]);
        const n = [normal.getX(k), normal.getY(k), normal.getZ(k)];
        assert.ok(n.reduce((sum, v, a) => sum + v * middle[a], 0) > 0.9 * Math.hypot(...middle), `${what}: triangle ${k / 3} faces inwards`);
      }
    };
    const stl = new STLLoader().parse(files['geodesic-dome.stl']);
    check(stl.getAttribute('position'), stl.getAttribute('normal'), (p) => p, 2500, 'STL');
    // the same triangles as the tool's solid, corner for corner
    const bytes = spawnSync(reportTool, ['--format', 'stl', '--radius', '2500']).stdout;
    const toolStl = new STLLoader().parse(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length));
    const [ours, their] = [stl, toolStl].map((g) => g.getAttribute('position').array);
    assert.equal(ours.length, their.length);
    ours.forEach((v, k) => assert.ok(Math.abs(v - their[k]) <= 1e-6 * 2500, `coordinate ${k}: ${v}, the tool's ${their[k]}`));

    // glTF: the mesh in millimetres under a node that scales it to metres.
    const gltf = await new GLTFLoader().parseAsync(files['geodesic-dome.glb'], '');
    const meshes = [];
    gltf.scene.traverse((o) => o.isMesh && meshes.push(o));
    assert.equal(meshes.length, 1);
    const [mesh] = meshes;
    gltf.scene.updateMatrixWorld(true);
    assert.deepEqual(mesh.scale.toArray(), [0.001, 0.001, 0.001]);
    const geometry = mesh.geometry.index ? mesh.geometry.toNonIndexed() : mesh.geometry;
    check(geometry.getAttribute('position'), geometry.getAttribute('normal'), (p) => p, 2500, 'glTF in millimetres');
    check(geometry.getAttribute('position'), geometry.getAttribute('normal'), (p) => mesh.localToWorld(new Vector3(...p)).toArray(), 2.5,
      'glTF in metres');
    assert.deepEqual([mesh.userData.radiusMillimetres, mesh.userData.panels], [2500, 240]);
    await done(page);
  });

  test('a link reopens the same dome and radius; a wrong dome= or radius= is refused alone, with its reason', async () => {
    const page = await open('?show=circles');
    await page.click('#show-dome');
    await page.click('#wire-frame');
    await typeRadius(page, '120');
    await page.waitForFunction(() => location.search.includes('radius=120'));
    assert.match(page.url(), /&wire=1&dome=1&radius=120$/);
    const original = await canvasPicture(page);
    const copy = await open(page.url().slice(server.url.length));
    assert.equal(copy.url(), page.url());
    assert.equal(differingPixels(original, await canvasPicture(copy)), 0);
    assert.equal(await copy.$eval('#dome-radius', (e) => e.value), '120');
    assert.equal(await text(copy, 'cut-list'), await text(page, 'cut-list'));
    assert.match(await text(copy, 'cut-list'), /^Radius 120;/m);

    // A wrong radius keeps its word beside its message; the cut list is for 50 mm.
    const wrong = await open('?dome=1&radius=-3');
    assert.equal(await wrong.$eval('#dome-radius', (e) => e.value), '-3');
    assert.equal(await text(wrong, 'dome-radius-message'), "Radius '-3' is not a positive number");
    assert.match(await text(wrong, 'cut-list'), /^Radius 50;/m);
    assert.equal(await text(wrong, 'show-message'), '');
    // dome= that is no flag, and a radius without the dome: the rest applies
    const plain = await open('?show=circles');
    const expected = await canvasPicture(plain);
    const refused = await open('?show=circles&dome=maybe&radius=30');
    assert.match(await text(refused, 'show-message'), /dome= is 'maybe'; showing the dome needs 0 or 1\. .*radius= is the dome's, which it does not show/);
    assert.equal(differingPixels(expected, await canvasPicture(refused)), 0);
    assert.equal(await refused.$eval('#dome', (e) => e.hidden), true);
    await done(page, copy, wrong, plain, refused);
  });

  test('every slider end gives a dome or says there is none, with no NaN and no console message; a dome that fails its checks says so', async () => {
    const page = await open('?dome=1&pentagons=0.5,0,-0.5,3.141592653589793');
    const panelText = () => page.$eval('.panel', (e) => e.innerText);
    for (let k = 0; k < 4; ++k) {
      await page.focus(`#slider-${k}`);
      for (const key of ['End', 'Home', 'End']) {
        await page.keyboard.press(key);
        await nextFrames(page);
        const summary = await text(page, 'dome-summary');
        assert.match(summary, /^\d+ panels, \d+ struts and \d+ hubs; |^No dome: /, `slider ${k} ${key}`);
        assert.doesNotMatch(await panelText(), /NaN|Infinity|undefined|null/, `slider ${k} ${key}`);
      }
    }
    assert.deepEqual(await page.$$eval('input[type="text"]', (f) => f.map((e) => e.value)), ['1', '3.142', '1', '3.142', '50']);
    assert.match(await text(page, 'dome-summary'), /^No dome/, 'both pentagons at a pole');

    // The mathematics refuses a dome that fails its checks (no four values
    // are known to make one): planted here, the panel says why and the sphere stays.
    await page.evaluate(() => {
      window.geodesics.math.dome = () => { throw new Error("no dome: Euler's formula fails (planted)"); };
    });
    await type(page, 0, '0.3');
    assert.equal(await text(page, 'dome-summary'),
      "The dome could not be built for these values (no dome: Euler's formula fails (planted)); the sphere is shown.");
    assert.deepEqual(await page.$$eval('#download-stl, #download-gltf', (b) => b.map((e) => e.disabled)), [true, true]);
    assert.equal(await page.evaluate(() => window.geodesics.view.sphere.visible), true);
    await done(page);
  });
});
