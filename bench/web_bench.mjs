// The web page's speed, measured in headless Chromium on SwiftShader (the
// software renderer: no GPU here) against the page served by web/serve.py:
//   1. the first visit's transfer: every file the page needs to draw, in
//      bytes on the wire on a cold cache, as Chromium counts them;
//   2. time to interactive: navigation to the page's ready mark (mathematics
//      loaded, scene built, controls wired, first frame drawn), and to the
//      first frame on screen, over first visits and return visits;
//   3. a parameter change: the mathematics, new buffers and the report, then
//      the frame drawn and read back, over many values; and from a slider's
//      input event to the end of the next frame (the page's drawing, the
//      panel's style and layout, the paint), as a drag sees it; each with
//      the intersections hidden, shown, and with a point or a circle chosen;
//      and with the dome shown (its two builds, its buffers, its cut list),
//      alone and with the intersections;
//   4. orbiting: frames a second while the mouse drags the view; the same
//      turn made by the page itself every animation frame (what the renderer
//      can do, free of the rate at which input arrives); and an empty frame
//      (a clear) in the same tab: the floor of this machine;
//   5. the dome's files: writing the STL and the glTF with three.js's
//      exporters, from the click to the file handed to the browser.
// Figures only: nothing passes or fails here.
//
//   node bench/web_bench.mjs [loads] [--start]   (SITE_DIR: the built site;
//                      default build/normal/web/site; --start: sections 1 and 2 only)
import os from 'node:os';

import { firstVisit, openPage, serveSite, startBrowser } from '../web/test/browser.js';

const startOnly = process.argv.includes('--start'); // sections 1 and 2 only: to compare two sites
const loads = Number(process.argv.slice(2).find((a) => /^\d+$/.test(a)) ?? 15);
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const percentile = (xs, p) => [...xs].sort((a, b) => a - b)[Math.min(xs.length - 1, Math.floor((p / 100) * xs.length))];
const range = (xs) =>
  `median ${median(xs).toFixed(1)}, min ${Math.min(...xs).toFixed(1)}, max ${Math.max(...xs).toFixed(1)}`;
const kib = (bytes) => `${(bytes / 1024).toFixed(1)} KiB`;

// The first visit on a cold cache, as the browser counts it: every file the
// page needs to draw, in bytes on the wire (compressed where the server
// compresses), against the goal of 300 KiB.
async function transfer(browser, url) {
  const visit = await firstVisit(browser, url);
  console.log("== 1. The first visit's transfer, cold cache (bytes on the wire, Chromium's network events) ==");
  const files = Object.entries(visit.files).sort((a, b) => b[1] - a[1]);
  for (const [file, bytes] of files) console.log(`${file.slice(url.length).padEnd(46)} ${kib(bytes).padStart(11)}`);
  console.log(`${'all of it'.padEnd(46)} ${kib(visit.bytes).padStart(11)}   (goal: at most 300 KiB)`);
}

// Ready times over `loads` loads: each in a new browser context (a first
// visit: empty cache, no service worker), then all in one tab (return
// visits: what the service worker and the browser's cache keep).
async function timeToInteractive(browser, url) {
  const timing = async (page) => {
    await page.waitForFunction(() => document.documentElement.dataset.ready === 'true', { timeout: 30000 });
    return page.evaluate(
      () =>
        new Promise((resolve) => {
          const mark = performance.getEntriesByName('geodesics-ready')[0].startTime;
          // the frame drawn at start-up reaches the screen with the next frame
          requestAnimationFrame(() => resolve([mark, performance.now()]));
        }),
    );
  };
  const first = { ready: [], shown: [] };
  const again = { ready: [], shown: [] };
  for (let k = 0; k < loads; ++k) {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.setViewport({ width: 1088, height: 600 });
    await page.goto(url);
    [first.ready[k], first.shown[k]] = await timing(page);
    await context.close();
  }
  const warm = await openPage(browser, url);
  await new Promise((r) => setTimeout(r, 1000)); // the service worker, if any, keeps the site meanwhile
  for (let k = 0; k < loads; ++k) {
    await warm.reload();
    [again.ready[k], again.shown[k]] = await timing(warm);
  }
  await warm.close();
  console.log(`\n== 2. Time to interactive, ${loads} loads each (ms from navigation) ==`);
  console.log(`first visit, ready (figure drawn, controls on):  ${range(first.ready)}`);
  console.log(`first visit, first frame on screen:             ${range(first.shown)}`);
  console.log(`return visit, ready:                            ${range(again.ready)}`);
  console.log(`return visit, first frame on screen:            ${range(again.shown)}`);
}

// `query`: the page's state while the values change (the intersections
// shown, something chosen).
async function parameterChange(browser, url, query) {
  const page = await openPage(browser, `${url}${query}`);
  const figures = await page.evaluate(async () => {
    const field = document.getElementById('value-0');
    const slider = document.getElementById('slider-0');
    const view = window.geodesics.view;
    const gl = view.renderer.getContext();
    const pixel = new Uint8Array(4);
    const update = [];
    const drawn = [];
    for (let k = 0; k < 200; ++k) {
      const t0 = performance.now();
      field.value = String(-0.99 + (k % 100) * 0.0198);
      field.dispatchEvent(new Event('input'));
      const t1 = performance.now();
      view.render();
      gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
      update.push(t1 - t0);
      drawn.push(performance.now() - t0);
    }
    // The page draws in its next animation frame; the browser then lays out
    // and paints the panel, and a task queued from that frame runs after.
    const framed = [];
    for (let k = 0; k < 100; ++k) {
      const t0 = performance.now();
      slider.value = String(-0.99 + k * 0.0198);
      slider.dispatchEvent(new Event('input'));
      await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
      framed.push(performance.now() - t0);
    }
    return { update, drawn, framed };
  });
  await page.close();
  console.log(`${query || '(intersections hidden)'}`);
  console.log(`  mathematics, buffers, report, panel:   ${range(figures.update)}`);
  console.log(`  ... and the frame drawn, read back:    ${range(figures.drawn)}`);
  console.log(
    `  slider input to the end of its frame:  ${range(figures.framed)}, 95th percentile ${percentile(figures.framed, 95).toFixed(1)}`,
  );
}

// Drags the mouse across the canvas for `seconds`, counting the frames drawn.
async function orbit(page, seconds) {
  await page.evaluate(() => {
    const view = window.geodesics.view;
    const render = view.render.bind(view);
    window.benchFrames = [];
    view.render = () => {
      render();
      window.benchFrames.push(performance.now());
    };
  });
  const box = await (await page.$('#canvas')).boundingBox();
  const cx = box.x + box.width / 2;
  const cy = box.y + box.height / 2;
  await page.mouse.move(cx, cy);
  await page.mouse.down();
  const end = Date.now() + seconds * 1000;
  for (let k = 0; Date.now() < end; ++k) {
    await page.mouse.move(cx + 200 * Math.sin(k / 20), cy + 60 * Math.cos(k / 15));
    await new Promise((r) => setTimeout(r, 4));
  }
  await page.mouse.up();
  return page.evaluate(() => {
    const f = window.benchFrames;
    return (f.length - 1) / ((f[f.length - 1] - f[0]) / 1000);
  });
}

// Frames a second when every animation frame either turns the camera about
// its target by a degree and draws the scene ('turn'), or only clears ('empty').
function framesPerSecond(page, what, count) {
  return page.evaluate(
    (what, count) =>
      new Promise((resolve) => {
        const { view, controls } = window.geodesics;
        const times = [];
        const frame = (t) => {
          if (what === 'turn') {
            view.camera.position
              .sub(controls.target)
              .applyAxisAngle(view.camera.up, Math.PI / 180)
              .add(controls.target);
            view.camera.lookAt(controls.target);
            view.render();
          } else view.renderer.clear();
          times.push(t);
          if (times.length < count) requestAnimationFrame(frame);
          else resolve((count - 1) / ((times[count - 1] - times[0]) / 1000));
        };
        requestAnimationFrame(frame);
      }),
    what,
    count,
  );
}

async function orbiting(browser, url) {
  const canvas = (page) => page.$eval('#canvas', (c) => `${c.width} x ${c.height}`);
  console.log('\n== 4. Orbiting (frames a second): mouse drag for 4 s; the page turning the view');
  console.log('   itself for 180 frames; an empty frame (clear only) for 180 frames ==');
  console.log(`${''.padEnd(31)}${'drag'.padStart(7)}${'turn'.padStart(7)}${'empty'.padStart(7)}`);
  for (const [label, query, width, height] of [
    ['the scene', '', 1088, 600],
    ['without the cylinder', '?show=circles,curves,points', 1088, 600],
    ['wire frame', '?wire=1', 1088, 600],
    ['the scene, smaller window', '', 900, 500],
    ['intersections, a point chosen', '?intersections=1&point=8', 1088, 600],
    ['the dome', '?dome=1', 1088, 600],
  ]) {
    const page = await openPage(browser, `${url}${query}`, { width, height });
    const empty = await framesPerSecond(page, 'empty', 180);
    const turn = await framesPerSecond(page, 'turn', 180);
    const drag = await orbit(page, 4);
    console.log(
      `${label.padEnd(31)}${[drag, turn, empty].map((x) => x.toFixed(1).padStart(7)).join('')}   (canvas ${await canvas(page)})`,
    );
    await page.close();
  }
}

// Each download, clicked 20 times: from the click to the file's blob handed
// to the browser (the page's saving is replaced by a stopwatch; the browser
// writing the file is not the page's time).
async function domeFiles(browser, url) {
  const page = await openPage(browser, `${url}?dome=1`);
  const figures = await page.evaluate(async () => {
    const panel = window.geodesics.panels.dome;
    const times = { stl: [], gltf: [] };
    let handed = null;
    panel.save = (blob) => handed?.(blob);
    for (const kind of ['stl', 'gltf'])
      for (let k = 0; k < 20; ++k) {
        const t0 = performance.now();
        const blob = await new Promise((resolve) => {
          handed = resolve;
          document.getElementById(`download-${kind}`).click();
        });
        times[kind].push([performance.now() - t0, blob.size]);
      }
    return times;
  });
  await page.close();
  console.log("\n== 5. The dome's files for the scene's values, 20 clicks each (ms from the click to the file) ==");
  for (const [kind, times] of Object.entries(figures))
    console.log(`${kind.padEnd(5)} ${range(times.map(([t]) => t))}; ${times[0][1]} bytes`);
}

// Sections 3 to 5: the page at work once it has started.
async function afterStart(browser, url) {
  console.log('\n== 3. A parameter change: 200 values typed into LAT1, then 100 slider steps (ms) ==');
  for (const query of [
    '',
    '?intersections=1',
    '?intersections=1&point=8',
    '?intersections=1&circle=0',
    '?dome=1',
    '?dome=1&intersections=1&point=8',
  ])
    await parameterChange(browser, url, query);
  await orbiting(browser, url);
  await domeFiles(browser, url);
}

const server = await serveSite();
const chromium = await startBrowser();
try {
  console.log(
    `${os.cpus().length} cores: ${os.cpus()[0].model}; load average ${os
      .loadavg()
      .map((x) => x.toFixed(2))
      .join(' ')}`,
  );
  console.log(
    `Chromium ${(await chromium.browser.version()).replace(/^.*\//, '')}, WebGL on SwiftShader, headless, 1088 x 600 window\n`,
  );
  await transfer(chromium.browser, server.url);
  await timeToInteractive(chromium.browser, server.url);
  if (!startOnly) await afterStart(chromium.browser, server.url);
  console.log(
    `\nload average at the end ${os
      .loadavg()
      .map((x) => x.toFixed(2))
      .join(' ')}`,
  );
} finally {
  await chromium.close();
  server.stop();
}
