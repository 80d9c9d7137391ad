// The dome on the page in a real browser: its panels in place of the sphere
// lit as OpenGL lights them, its hubs where the mathematics puts them, the
// cut list against geodesic-report's, both downloads read back by three.js's
// own loaders, links that keep it, and every slider end.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { describe, test } from 'node:test';

import { canvasPicture, differingPixels, nextFrames, pixel } from './browser.js';
import {
  done,
  litColour,
  near,
  recordedScene,
  seen,
  segmentGap,
  sweepSliders,
  text,
  type,
  usePage,
} from './page_support.js';
import { assertSameText, reportTool } from './support.js';

const tab = usePage();
const open = (query, options) => tab.open(query, options);

const kPanelColour = [0.5, 0.46, 0.4]; // the dome's panels, as the page colours them
async function typeRadius(page, word) {
  await page.click('#dome-radius', { clickCount: 3 });
  await page.keyboard.type(word);
}
// A word put in the radius field at once, as pasting does.
function pasteRadius(page, word) {
  return page.$eval(
    '#dome-radius',
    (field, w) => {
      field.value = w;
      field.dispatchEvent(new Event('input'));
    },
    word,
  );
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
    corners: [0, 1, 2].map((i) => at(dome.positions, 3 * k + i)),
    normal: at(dome.normals, 3 * k),
  }));
}
// Waits for `count` files in `folder` whose download has finished.
async function downloaded(folder, count) {
  const files = () => fs.readdirSync(folder).filter((f) => !f.endsWith('.crdownload'));
  for (let k = 0; k < 200 && files().length < count; ++k) await new Promise((r) => setTimeout(r, 50));
  return Object.fromEntries(
    files().map((f) => {
      const bytes = fs.readFileSync(path.join(folder, f));
      return [f, bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length)];
    }),
  );
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
    const d = tab.math.dome(tab.math.sceneValues, 1);
    let checked = 0;
    for (const { corners, normal } of panelsOf(d)) {
      const s = corners.map((p) => seen(p, dome, t));
      const middle = { x: (s[0].x + s[1].x + s[2].x) / 3, y: (s[0].y + s[1].y + s[2].y) / 3 };
      const n = spun(normal, t);
      const colours = corners.map((p) => litColour(spun(p, t), n, kPanelColour));
      const spread = Math.max(
        ...[0, 1, 2].map((c) => Math.max(...colours.map((v) => v[c])) - Math.min(...colours.map((v) => v[c]))),
      );
      if (n[2] < 0.5 || spread > 6 || s.some((p, i) => segmentGap(middle, p, s[(i + 1) % 3]) < 6)) continue;
      const expected = [0, 1, 2].map((c) => (colours[0][c] + colours[1][c] + colours[2][c]) / 3);
      const [now, before] = [pixel(dome, middle.x, middle.y), pixel(sphere, middle.x, middle.y)];
      assert.ok(
        now.every((v, c) => Math.abs(v - expected[c]) <= 4),
        `panel at ${middle.x}, ${middle.y}: ${now}, OpenGL gives ${expected}`,
      );
      assert.ok(
        before.some((v, c) => Math.abs(v - expected[c]) > 8),
        `the sphere was there: ${before}`,
      );
      checked += 1;
    }
    assert.ok(checked >= 20, `${checked} panels`);
    // and every hub facing the camera is a steel-grey dot where the mathematics puts it
    const hubs = Array.from({ length: d.hubs.length / 3 }, (_, k) =>
      seen(Array.from(d.hubs.subarray(3 * k, 3 * k + 3)), dome, t),
    ).filter((h) => h.z > 0.5);
    assert.ok(hubs.length > 20, `${hubs.length} hubs`);
    assert.deepEqual(
      hubs.filter((h) => !near(dome, h, (p) => p.join() === '140,150,161')),
      [],
      'every hub in front is drawn',
    );
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
    assert.equal(
      await text(page, 'dome-summary'),
      `${counts.panelCount} panels, ${counts.strutCount} struts and ` +
        `${counts.hubCount} hubs; the cut list and the files are for a radius of 2500 mm.`,
    );
    for (const [word, says] of [
      ['0', /^Radius '0' is not a positive number$/],
      ['2e6', /^Radius '2e6' is too large \(at most 1000000 mm\)$/],
      ['25OO', /^Radius '25OO' is not a number$/],
      ['', /^Radius '' is not a number$/],
    ]) {
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
    assert.deepEqual(await none.$$eval('#download-stl, #download-gltf', (b) => b.map((e) => e.disabled)), [
      false,
      false,
    ]);
    await done(page, none);
  });

  test("Download STL and Download glTF save the solid at the radius typed, which three.js's own loaders read back", async () => {
    const [{ Vector3 }, { STLLoader }, { GLTFLoader }] = await Promise.all([
      import('three'),
      import('three/addons/loaders/STLLoader.js'),
      import('three/addons/loaders/GLTFLoader.js'),
    ]);
    const page = await open('?dome=1&radius=2500');
    const folder = fs.mkdtempSync(path.join(tab.chromium.profile, 'downloads-'));
    await (
      await page.createCDPSession()
    ).send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
    await page.click('#download-stl');
    await page.click('#download-gltf');
    const files = await downloaded(folder, 2);
    assert.deepEqual(Object.keys(files).sort(), ['geodesic-dome.glb', 'geodesic-dome.stl']);
    assert.equal(await text(page, 'dome-file-message'), 'geodesic-dome.glb is saved: 240 triangles, radius 2500 mm.');

    // Closed, on the sphere of the radius, each triangle facing outwards.
    const check = (position, normal, toWorld, radius, what) => {
      assert.equal(position.count, 3 * 240, what);
      for (let k = 0; k < position.count; k += 3) {
        const corners = [0, 1, 2].map((i) =>
          toWorld([position.getX(k + i), position.getY(k + i), position.getZ(k + i)]),
        );
        for (const c of corners)
          assert.ok(
            Math.abs(Math.hypot(...c) - radius) < 2e-6 * radius,
            `${what}: a corner ${Math.hypot(...c)} from the centre`,
          );
        const middle = [0, 1, 2].map((a) => corners[0][a] + corners[1][a] + corners[2][a]);
        const n = [normal.getX(k), normal.getY(k), normal.getZ(k)];
        assert.ok(
          n.reduce((sum, v, a) => sum + v * middle[a], 0) > 0.9 * Math.hypot(...middle),
          `${what}: triangle ${k / 3} faces inwards`,
        );
      }
    };
    const stl = new STLLoader().parse(files['geodesic-dome.stl']);
    check(stl.getAttribute('position'), stl.getAttribute('normal'), (p) => p, 2500, 'STL');
    // the same triangles as the tool's solid, corner for corner
    const bytes = spawnSync(reportTool, ['--format', 'stl', '--radius', '2500']).stdout;
    const toolStl = new STLLoader().parse(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length));
    const [ours, their] = [stl, toolStl].map((g) => g.getAttribute('position').array);
    assert.equal(ours.length, their.length);
    ours.forEach((v, k) =>
      assert.ok(Math.abs(v - their[k]) <= 1e-6 * 2500, `coordinate ${k}: ${v}, the tool's ${their[k]}`),
    );

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
    check(
      geometry.getAttribute('position'),
      geometry.getAttribute('normal'),
      (p) => mesh.localToWorld(new Vector3(...p)).toArray(),
      2.5,
      'glTF in metres',
    );
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
    const copy = await open(page.url().slice(tab.server.url.length));
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
    assert.match(
      await text(refused, 'show-message'),
      /dome= is 'maybe'; showing the dome needs 0 or 1\. .*radius= is the dome's, which it does not show/,
    );
    assert.equal(differingPixels(expected, await canvasPicture(refused)), 0);
    assert.equal(await refused.$eval('#dome', (e) => e.hidden), true);
    await done(page, copy, wrong, plain, refused);
  });

  test('every slider end gives a dome or says there is none, with no NaN and no console message; a dome that fails its checks says so', async () => {
    const page = await open('?dome=1&pentagons=0.5,0,-0.5,3.141592653589793');
    const panelText = () => page.$eval('.panel', (e) => e.innerText);
    await sweepSliders(page, ['End', 'Home', 'End'], async (k, key) => {
      const summary = await text(page, 'dome-summary');
      assert.match(summary, /^\d+ panels, \d+ struts and \d+ hubs; |^No dome: /, `slider ${k} ${key}`);
      assert.doesNotMatch(await panelText(), /NaN|Infinity|undefined|null/, `slider ${k} ${key}`);
    });
    assert.deepEqual(await page.$$eval('input[type="text"]', (f) => f.map((e) => e.value)), [
      '1',
      '3.142',
      '1',
      '3.142',
      '50',
    ]);
    assert.match(await text(page, 'dome-summary'), /^No dome/, 'both pentagons at a pole');

    // The mathematics refuses a dome that fails its checks (no four values
    // are known to make one): planted here, the panel says why and the sphere stays.
    await page.evaluate(() => {
      window.geodesics.math.dome = () => {
        throw new Error("no dome: Euler's formula fails (planted)");
      };
    });
    await type(page, 0, '0.3');
    assert.equal(
      await text(page, 'dome-summary'),
      "The dome could not be built for these values (no dome: Euler's formula fails (planted)); the sphere is shown.",
    );
    assert.deepEqual(await page.$$eval('#download-stl, #download-gltf', (b) => b.map((e) => e.disabled)), [true, true]);
    assert.equal(await page.evaluate(() => window.geodesics.view.sphere.visible), true);
    await done(page);
  });
});
