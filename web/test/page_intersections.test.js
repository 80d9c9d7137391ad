// Where the circles meet, on the page in a real browser: the marks over the
// figure where the mathematics puts them, turning with it; the table of
// points; choosing a point or a circle by a click, a tap or the keyboard;
// links that keep the choice; and whole answers for every slider end.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { canvasPicture, differingPixels, pixel } from './browser.js';
import {
  done,
  drag,
  isChosen,
  isWhite,
  near,
  nine,
  query,
  rows,
  seen,
  segmentGap,
  share,
  status,
  sweepSliders,
  text,
  type,
  usePage,
} from './page_support.js';

const tab = usePage();
const open = (query, options) => tab.open(query, options);

describe('where the circles meet', () => {
  const scene = () => tab.math.intersections(tab.math.sceneValues);
  // Sample j (0 to 99, on round) of great circle c for the scene's values, as seen.
  let greatCircles;
  const sample = (c, j, picture) => {
    greatCircles ??= tab.math.figure(tab.math.sceneValues).greatCircles;
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
    assert.deepEqual(
      front.filter((s) => !isWhite(pixel(after, s.x, s.y))),
      [],
      'every point facing the camera is marked',
    );
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
    const gap = (k) =>
      Math.min(...place.map((s, j) => (j === k ? Infinity : Math.hypot(s.x - place[k].x, s.y - place[k].y))));
    const k = place
      .map((_, j) => j)
      .filter((j) => place[j].z > 0.5)
      .sort((a, b) => gap(b) - gap(a))[0];
    await page.mouse.click(picture.box.x + place[k].x + 3, picture.box.y + place[k].y - 2); // within reach
    await page.waitForFunction(() => location.search.includes('point='));
    assert.equal(query(page).get('point'), String(k));
    const labels = points[k].circles.map((c) => circles[c].label);
    assert.equal(await status(page), `Point ${k} is chosen: circles ${labels.join(' and ')}.`);
    assert.equal(await page.$eval(`#point-${k}`, (e) => e.getAttribute('aria-pressed')), 'true');
    assert.deepEqual(
      await rows(page, '#chosen tbody'),
      points[k].arcs.map((a) => [
        String(a),
        circles[arcs[a].circle].label,
        `${arcs[a].from} → ${arcs[a].to}`,
        nine(arcs[a].angle),
        nine(arcs[a].chord),
        nine(arcs[a].cylinderLength),
      ]),
    );
    assert.match(
      await text(page, 'chosen'),
      new RegExp(`On the sphere \\(x, y, z\\)${points[k].sphere.map(nine).join(', ')}`),
    );

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
    const lines = [...Array(10).keys()]
      .flatMap((c) => [...Array(100).keys()].map((j) => [sample(c, j, chosen), sample(c, j + 1, chosen)]))
      .filter(([a, b]) => front(a) || front(b));
    const hidden = place.findIndex(
      (s) =>
        s.z < 0 &&
        place.every((o) => !front(o) || Math.hypot(o.x - s.x, o.y - s.y) > 20) &&
        lines.every(([a, b]) => segmentGap(s, a, b) > 10),
    );
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
    assert.deepEqual(
      all(table, 'columnheader').map((h) => h.name),
      ['Point', 'Circles', 'On the sphere (x, y, z)', 'On the cylinder (x, y, z)', 'Corner or equator'],
    );
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
    assert.deepEqual(
      listed,
      circle.arcs.map((a) => [
        String(a),
        `${arcs[a].from} → ${arcs[a].to}`,
        nine(arcs[a].angle),
        nine(arcs[a].chord),
        nine(arcs[a].cylinderLength),
      ]),
    );
    // one walk round the circle from its first corner: each arc starts where the last ended
    const walk = listed.map((r) => r[1].split(' → ').map(Number));
    assert.equal(
      walk[0][0],
      points.findIndex((p) => p.corners.includes(6)),
    );
    walk.forEach(([, to], j) => assert.equal(walk[(j + 1) % walk.length][0], to));
    assert.deepEqual(await rows(page, '#chosen tfoot'), [
      ['Total', nine(circle.angleSum), nine(circle.chordSum), nine(circle.cylinderSum)],
      ['The whole curve on the cylinder', nine(circle.cylinderCurve)],
    ]);
    assert.match(
      await text(page, 'chosen'),
      /Pentagon 2's edge 1, walked from corner 2\.1 towards corner 2\.2: 18 points\./,
    );
    assert.equal(await page.$eval('#circle-6', (e) => e.getAttribute('aria-pressed')), 'true');

    // a click on circle c's line, away from the points and from other lines
    const picture = await canvasPicture(page);
    const at = (c, j) => sample(c, j, picture);
    const marks = points.map((p) => seen(p.sphere, picture)).filter((s) => s.z > 0.3);
    const clear = (c, j) => {
      const s = at(c, j);
      if (s.z < 0.5 || marks.some((m) => Math.hypot(m.x - s.x, m.y - s.y) < 20)) return false;
      for (let o = 0; o < 10; ++o)
        for (let i = 0; o !== c && i < 100; ++i) if (segmentGap(s, at(o, i), at(o, i + 1)) < 14) return false;
      return true;
    };
    const [c, j] = [0, 1, 2, 3, 4, 5, 7, 8, 9]
      .flatMap((o) => [...Array(100).keys()].map((i) => [o, i]))
      .find(([o, i]) => clear(o, i));
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
    const moved = tab.math.intersections(values).points[40];
    assert.match(await text(page, 'chosen'), new RegExp(moved.sphere.map(nine).join(', ')));
    await page.waitForFunction(() => location.search.includes(',0.4,'));
    const original = await canvasPicture(page);
    const copy = await open(page.url().slice(tab.server.url.length));
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
    assert.match(
      await text(equator, 'chosen'),
      /No other circle crosses it: no points, no arcs\. The whole curve on the cylinder: 6\.283185307\./,
    );
    const one = pages[3];
    await one.bringToFront();
    await one.click('#point-0');
    const panelText = () => one.$eval('.panel', (e) => e.innerText);
    await sweepSliders(one, ['End', 'Home', 'End'], async (k, key) => {
      assert.doesNotMatch(await panelText(), /NaN|Infinity|undefined|null/, `slider ${k} ${key}`);
    });
    assert.deepEqual(await one.$$eval('input[id^="value-"]', (fields) => fields.map((f) => f.value)), [
      '1',
      '3.142',
      '1',
      '3.142',
    ]);

    // A point at a pole has no image on the cylinder, a vertical plane no
    // lengths there. No four values make either (the mathematics' tests
    // make them from planes): the panel is given them as the mathematics
    // would give them, and writes "none".
    const written = await one.evaluate(async () => {
      const IntersectionsPanel = window.geodesics.panels.intersections.constructor;
      const data = window.geodesics.math.intersections(window.geodesics.math.sceneValues);
      data.points[0].cylinder = null;
      Object.assign(data.circles[0], { vertical: true, cylinderSum: null, cylinderCurve: null });
      for (const a of data.circles[0].arcs) data.arcs[a].cylinderLength = null;
      const table = document.createElement('table');
      table.append(document.createElement('thead'), document.createElement('tbody'));
      const parts = Object.fromEntries(
        ['section', 'summary', 'circles', 'pointsFrame', 'chosen', 'status'].map((n) => [
          n,
          document.createElement('div'),
        ]),
      );
      const panel = new IntersectionsPanel({ ...parts, points: table.tBodies[0] }, () => {});
      panel.show(data);
      const seen = [[...table.tBodies[0].rows[0].cells].map((c) => c.textContent)];
      for (const choice of [
        { kind: 'point', index: 0 },
        { kind: 'circle', index: 0 },
      ]) {
        panel.setChoice(choice);
        seen.push(
          parts.chosen.textContent,
          [...parts.chosen.querySelectorAll('tr')].map((r) => r.lastChild.textContent),
        );
      }
      return seen;
    });
    assert.deepEqual(written[0], ['0', '1.0, 1.1', '0.047, 0.975, 0.216', 'none', 'corner 1.1']);
    assert.match(written[1], /On the cylinder \(x, y, z\)none: the point is at a pole/);
    assert.match(written[1], /The plane of 1\.0 is vertical/);
    const { points, arcs } = scene();
    assert.deepEqual(written[2], [
      'On the cylinder',
      ...points[0].arcs.map((a) => (arcs[a].circle === 0 ? 'none' : nine(arcs[a].cylinderLength))),
    ]);
    assert.match(written[3], /Its plane is vertical/);
    assert.deepEqual(written[4].slice(-3), ['none', 'none', 'none']); // the last arc, the total, the whole curve
    assert.doesNotMatch(written.flat().join(' '), /NaN|null|undefined/);
    await done(...pages);
  });
});
