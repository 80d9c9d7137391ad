// The page in a real browser, used as a person uses it: loaded from the
// static server, the canvas read back as the screen shows it, the mouse
// dragging, a finger swiping, keys pressed, links opened; the figure, the
// four values, the view, the animation, pictures, and the page without
// WebGL or with a file missing. Every page a test opens must also leave no
// console error or warning and no exception.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { describe, test } from 'node:test';

import {
  canvasPicture,
  decodePng,
  differingPixels,
  nextFrames,
  openPage,
  pixel,
  serveSite,
  siteCopy,
  startBrowser,
} from './browser.js';
import {
  done,
  drag,
  isBrown,
  isDark,
  isSlate,
  litColour,
  recordedScene,
  share,
  sweepSliders,
  text,
  type,
  usePage,
} from './page_support.js';
import { reportTool, siteDir, siteVersion } from './support.js';

const tab = usePage();
const open = (query, options) => tab.open(query, options);

describe('the page', () => {
  test('asks for every file it needs at once: its scripts, the module and the scene, all of its own build', () => {
    // The preloads are also the list a page that cannot start names its missing files from.
    const html = fs.readFileSync(path.join(siteDir, 'index.html'), 'utf8');
    const preloaded = [...html.matchAll(/rel="(?:module)?preload" href="([^"]+)"/g)].map((m) => m[1]).sort();
    const needed = [
      'src/main.js',
      'wasm/geodesics.wasm',
      'scene.json',
      ...fs
        .readdirSync(path.join(siteDir, siteVersion, 'src'))
        .filter((f) => /^chunk-.*\.js$/.test(f))
        .map((f) => `src/${f}`),
    ]
      .map((f) => `${siteVersion}/${f}`)
      .sort();
    assert.deepEqual(preloaded, needed);
    assert.doesNotMatch(html, /%[A-Z_]+%/, 'every placeholder of web/index.html is filled');
  });
});

describe('the scene', () => {
  test('black background, the brown sphere lit as OpenGL lights it, dark figure, slate cylinder', async () => {
    const full = await open('');
    const scene = await canvasPicture(full);
    const { width: w, height: h } = scene;
    assert.deepEqual(
      [pixel(scene, 5, 5), pixel(scene, w - 5, h / 2)],
      [
        [0, 0, 0],
        [0, 0, 0],
      ],
    );
    assert.ok(share(scene, isSlate) > 0.15, 'the cylinder covers much of the view');

    const bare = await open('?show=');
    const sphere = await canvasPicture(bare);
    assert.ok(share(sphere, isSlate) < 0.001 && share(sphere, isBrown) > 0.3);
    // The middle of the view is on the sphere's equator between its vertices
    // at longitudes 84 and 96 degrees: the mean of their colours (Gouraud).
    const at = (deg) => [Math.cos((deg * Math.PI) / 180), 0, Math.sin((deg * Math.PI) / 180)];
    const colour = (deg) =>
      litColour(
        at(deg).map((x) => 0.992 * x),
        at(deg),
        [0.545, 0.27, 0.074],
      );
    const expected = colour(84).map((v, k) => (v + colour(96)[k]) / 2);
    const seen = pixel(sphere, w / 2, h / 2);
    assert.ok(
      seen.every((v, k) => Math.abs(v - expected[k]) <= 4),
      `centre ${seen}, OpenGL gives ${expected}`,
    );

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
    const [cx, cy, cz] = tab.math.figure(values).corners;
    const f = 1 / Math.tan(Math.PI / 8) / (3 - cz);
    const px = after.width / 2 + ((f * cx * after.height) / after.width) * (after.width / 2);
    const py = after.height / 2 - f * cy * (after.height / 2);
    assert.ok(isDark(pixel(after, px, py)) && isDark(pixel(after, px + 1, py)), `the corner at ${px}, ${py}`);
    assert.ok(!isDark(pixel(before, px, py)), 'was not there before');
    assert.equal(await text(page, 'report'), tab.math.report(values));
    assert.match(page.url(), /pentagons=0\.3,1\.5707963267948966,0\.630991,0\.1/);
    await done(page);
  });

  test("a slider redraws as it moves; a wrong value gets the tool's message and the figure stays", async () => {
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
    assert.equal(
      differingPixels(pictures['1,0,-1,0&show='], pictures['1,0,-1,0&show=curves']),
      0,
      'curves at either pole',
    );
    assert.ok(
      differingPixels(pictures['1,0,0.5,0&show='], pictures['1,0,0.5,0&show=curves']) > 1000,
      "pentagon 2's curves",
    );
    const one = pages.at(-1);
    await sweepSliders(one, ['End', 'Home']);
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
    await tab.chromium.browser
      .defaultBrowserContext()
      .overridePermissions(new URL(tab.server.url).origin, [
        'clipboard-read',
        'clipboard-write',
        'clipboard-sanitized-write',
      ]);
    await page.click('#copy-link');
    await page.waitForFunction(() => document.getElementById('share-message').textContent.includes('copied'));
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), page.url());
    const original = await canvasPicture(page); // before another tab hides this one
    const copy = await open(page.url().slice(tab.server.url.length));
    assert.equal(copy.url(), page.url());
    assert.equal(differingPixels(original, await canvasPicture(copy)), 0);
    assert.deepEqual(
      await copy.evaluate(() => [
        document.getElementById('value-1').value,
        document.getElementById('wire-frame').checked,
        document.getElementById('show-points').checked,
      ]),
      ['0.7', true, false],
    );
    await done(page, copy);
  });

  test('a broken link says what is wrong beside each field and shows the scene', async () => {
    const scene = await open('');
    const expected = await canvasPicture(scene);
    const page = await open('?pentagons=2,0.1,abc,0.1&show=cylinder,spheres&wire=maybe&camera=1,2&t=999');
    assert.equal(
      await text(page, 'message-0'),
      "LAT1 '2' is outside -1 to 1 (the height of the corners on the unit sphere)",
    );
    assert.equal(await text(page, 'message-1'), '');
    assert.equal(await text(page, 'message-2'), "LAT2 'abc' is not a number");
    assert.equal(await page.$eval('#value-2', (e) => e.value), 'abc');
    for (const id of ['show-message', 'share-message', 'animation-message'])
      assert.notEqual(await text(page, id), '', id);
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
    const { eye, target } = tab.math.flightCamera(Number(query.get('t')));
    assert.ok(Number(query.get('t')) < 84, 'paused while the camera still moves');
    assert.deepEqual(query.get('camera').split(',').map(Number), [...eye, ...target]);
    assert.match(await text(page, 'statistics'), /Frame: [1-9]/);

    await page.keyboard.press('a');
    await page.keyboard.press('p');
    assert.match(await text(page, 'animation-time'), /^0\.\d s of 150$/);
    const [before, from] = [await open('?t=84.9'), await open('?t=85')];
    assert.deepEqual([await text(before, 'caption'), await text(from, 'caption')], ['', recordedScene.caption]); // the program's own, as its frames draw it
    await done(page, before, from);
  });

  test('Tab reaches every control, each with a name and a visible focus ring', async () => {
    const page = await open('?intersections=1&point=5&dome=1');
    const reached = [];
    for (let k = 0; k < 60; ++k) {
      await page.keyboard.press('Tab');
      const focused = await page.evaluate(() => {
        const style = getComputedStyle(document.activeElement);
        return {
          id: document.activeElement.id,
          ring: style.outlineStyle !== 'none' && parseFloat(style.outlineWidth) >= 2,
        };
      });
      if (!focused.id || reached.some((r) => r.id === focused.id)) break;
      const node = await page.accessibility.snapshot({ root: await page.$(`#${focused.id}`) });
      reached.push({ ...focused, name: node?.name?.trim() ?? '' });
    }
    const ids = reached.map((r) => r.id);
    for (const id of [
      'canvas',
      'value-0',
      'slider-0',
      'value-3',
      'slider-3',
      'scene-values',
      'show-cylinder',
      'show-circles',
      'show-curves',
      'show-points',
      'show-intersections',
      'wire-frame',
      'statistics-toggle',
      'play',
      'copy-link',
      'save-picture',
      'circle-0',
      'circle-9',
      'point-frame',
      'point-5',
      'chosen-arcs',
      'show-dome',
      'dome-radius',
      'download-stl',
      'download-gltf',
      'cut-list',
      'report',
    ])
      assert.ok(ids.includes(id), `Tab reaches ${id} (reached: ${ids})`);
    assert.equal(
      ids.filter((id) => id.startsWith('point-')).length,
      2,
      'the table of points is one stop, and its frame another',
    );
    for (const r of reached) assert.ok(r.name.length > 2 && r.ring, `${r.id}: name '${r.name}', focus ring ${r.ring}`);
    await done(page);
  });
});

describe('pictures and browsers without WebGL', () => {
  test('Save picture downloads the canvas as a PNG', async () => {
    const page = await open('?wire=1');
    const folder = fs.mkdtempSync(path.join(tab.chromium.profile, 'downloads-'));
    await (
      await page.createCDPSession()
    ).send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
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
      const page = await openPage(plain.browser, `${tab.server.url}?intersections=1&point=3&dome=1`);
      assert.match(await text(page, 'notice'), /WebGL/);
      assert.equal(await text(page, 'choice-status'), 'Point 3 is chosen: circles 1.0 and 1.2.');
      assert.match(await text(page, 'cut-list'), /^Radius 50;.*^Panels: 240 in 14 shapes;/ms);
      // nothing would show the animation: its buttons and keys do nothing, and say why
      assert.deepEqual(await page.$$eval('#play, #pause', (buttons) => buttons.map((b) => b.disabled)), [true, true]);
      assert.match(await text(page, 'animation-message'), /WebGL/);
      await page.keyboard.press('a');
      assert.equal(await page.evaluate(() => window.geodesics.clock.mode), 'atStart');
      assert.equal(await text(page, 'animation-time'), `0.0 s of ${tab.math.animationSeconds}`);
      await type(page, 0, '0.5');
      await nextFrames(page);
      assert.equal(await text(page, 'report'), tab.math.report([0.5, 0.1, 0.630991, 0.1].map(Math.fround)));
      assert.deepEqual(page.problems, []);
    } finally {
      await plain.close();
    }
  });
});

describe('a site with a part missing', () => {
  test('says which file is missing and that the page needs all of them, with nothing uncaught', async () => {
    const root = fs.mkdtempSync(path.join(os.tmpdir(), 'geodesics-broken-sites-'));
    const version = (file) => `${siteVersion}/${file}`;
    const wasm = fs.readFileSync(path.join(siteDir, version('wasm/geodesics.wasm')));
    const chunk = fs.readdirSync(path.join(siteDir, version('src'))).find((f) => f.startsWith('chunk-'));
    const sites = [
      // folder, file, contents (null: none), what the notice says
      ['no-three', `src/${chunk}`, null, new RegExp(`src/${chunk} is missing`)],
      ['no-script', 'src/main.js', null, /src\/main\.js is missing/],
      ['no-wasm', 'wasm/geodesics.wasm', null, /wasm\/geodesics\.wasm is missing/],
      ['empty-wasm', 'wasm/geodesics.wasm', Buffer.alloc(0), /wasm\/geodesics\.wasm is empty/],
      ['damaged-wasm', 'wasm/geodesics.wasm', wasm.subarray(0, wasm.length >> 1), /wasm\/geodesics\.wasm is damaged/],
      [
        'other-build',
        'wasm/geodesics.wasm',
        Buffer.from('\0asm\x01\0\0\0', 'latin1'),
        /wasm\/geodesics\.wasm does not fit/,
      ],
      ['no-scene', 'scene.json', null, /scene\.json is missing/],
      ['no-style', 'style.css', null, /style\.css is missing/],
    ];
    for (const [name, file, contents] of sites) siteCopy(root, name, { [version(file)]: contents });
    const broken = await serveSite(root);
    try {
      for (const [name, file, , says] of sites) {
        const until = () => !document.getElementById('notice').hidden;
        const page = await openPage(tab.chromium.browser, `${broken.url}${name}/`, { until });
        await page.waitForNetworkIdle({ idleTime: 300 });
        const notice = await text(page, 'notice');
        assert.match(notice, says, name);
        assert.match(notice, /needs all of its files/, name);
        // the browser's own line for the missing file, and nothing else
        assert.deepEqual(
          page.problems.filter((p) => !/^console error: Failed to load resource: .* 404/.test(p)),
          [],
          name,
        );
        if (file === 'scene.json' || file === 'style.css') {
          await page.waitForFunction(() => document.documentElement.dataset.ready === 'true');
          assert.equal(await text(page, 'report'), tab.math.report(tab.math.sceneValues));
        }
        await page.close();
      }
    } finally {
      broken.stop();
      fs.rmSync(root, { recursive: true, force: true });
    }
  });
});
