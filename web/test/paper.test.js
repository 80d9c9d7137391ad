// The paper cylinder as a teacher prints it: `geodesic-report --format svg
// --diameter MM` opened in Chromium and printed to PDF with the page size the
// file asks for, as the print dialog does at its default scale. Each piece
// must come out on a sheet of its own, 210 x 279.4 mm (the area A4 and Letter
// share), at true size, the pieces where the pages put them.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import zlib from 'node:zlib';
import { after, before, test } from 'node:test';

import { startBrowser } from './browser.js';
import { reportTool } from './support.js';

const kPointsPerMm = 72 / 25.4;
let chromium, folder;
before(async () => {
  chromium = await startBrowser();
  folder = fs.mkdtempSync(path.join(os.tmpdir(), 'geodesics-paper-'));
});
after(async () => {
  await chromium?.close();
  fs.rmSync(folder, { recursive: true, force: true });
});

// The pages of a PDF as Chromium writes it: each page's size in points, and
// each page's drawing's scale (points a millimetre) and vertical offset
// (millimetres of the document above the page), read from the first two
// transformations of its content: Chromium's page matrix, then the SVG's.
function pdfPages(pdf) {
  const text = pdf.toString('latin1');
  const sizes = [...text.matchAll(/\/Type\s*\/Page\b(?!s)[\s\S]*?\/MediaBox\s*\[([^\]]*)\]/g)].map((m) =>
    m[1].trim().split(/\s+/).map(Number).slice(2),
  );
  const drawings = [];
  for (const m of text.matchAll(/stream\r?\n/g)) {
    const start = m.index + m[0].length;
    let content;
    try {
      content = zlib.inflateSync(pdf.subarray(start, text.indexOf('endstream', start))).toString('latin1');
    } catch {
      continue; // fonts and other binary streams
    }
    const matrices = [...content.matchAll(/((?:-?[\d.]+\s+){6})cm/g)].map((c) => c[1].trim().split(/\s+/).map(Number));
    if (matrices.length < 2) continue;
    const [page, svg] = matrices;
    drawings.push({ scale: [page[0] * svg[0], -page[3] * svg[3]], offset: -svg[5] / svg[3] });
  }
  return { sizes, drawings };
}

async function printed(diameter, values) {
  const file = path.join(folder, `tube-${diameter}.svg`);
  const run = spawnSync(reportTool, ['--format', 'svg', '--diameter', String(diameter), ...values], {
    encoding: 'utf8',
  });
  assert.equal(run.status, 0, run.stderr);
  fs.writeFileSync(file, run.stdout);
  const page = await chromium.browser.newPage();
  try {
    await page.goto(pathToFileURL(file).href);
    return { svg: run.stdout, ...pdfPages(Buffer.from(await page.pdf({ preferCSSPageSize: true }))) };
  } finally {
    await page.close();
  }
}

test('one piece to a sheet of 210 x 279.4 mm, at true size', async () => {
  for (const [diameter, values, pages] of [
    [40, [], 1],
    [50, [], 2],
    [120, ['0.3', '0.1', '-0.5', '1'], 3],
  ]) {
    const { svg, sizes, drawings } = await printed(diameter, values);
    const where = `a tube ${diameter} mm across`;
    assert.equal((svg.match(/class="page"/g) ?? []).length, pages, where);
    assert.equal(sizes.length, pages, `${where}: ${sizes.length} sheets printed`);
    for (const [width, height] of sizes) {
      // Chromium rounds the page to whole CSS pixels: within half a millimetre.
      assert.ok(
        Math.abs(width - 210 * kPointsPerMm) < 1.5 && Math.abs(height - 279.4 * kPointsPerMm) < 1.5,
        `${where}: a sheet of ${width} x ${height} points`,
      );
    }
    assert.equal(drawings.length, pages, where);
    drawings.forEach((d, k) => {
      // 100 %: a millimetre of the drawing is a millimetre on paper (to 0.1 %),
      // and sheet k shows the document from k pages down.
      for (const s of d.scale) assert.ok(Math.abs(s / kPointsPerMm - 1) < 1e-3, `${where}: scale ${s / kPointsPerMm}`);
      assert.ok(Math.abs(d.offset - 279.4 * k) < 0.1, `${where}: sheet ${k + 1} starts ${d.offset} mm down`);
    });
  }
});
