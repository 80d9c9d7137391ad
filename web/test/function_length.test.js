// No function of the page's product JavaScript is over 60 lines, counted
// from the line it starts on to the line it ends on (a function inside
// another counts in both): the scripts in web/src/, the build's own in web/,
// and the script inside web/index.html. Split a long one along the seams its
// comments name. Parsed by acorn, as the language is, not by a pattern.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';

import { parse } from 'acorn';
import { simple } from 'acorn-walk';

import { sourceDir } from './support.js';

const kMostLines = 60;
const web = path.join(sourceDir, 'web');
const kSources = [
  ...fs.readdirSync(path.join(web, 'src')).map((f) => `src/${f}`),
  ...fs.readdirSync(web).filter((f) => f.endsWith('.mjs')),
].filter((f) => /\.m?js$/.test(f));

// The functions of `text` longer than kMostLines: "name (lines)" each;
// `firstLine` is the text's first line in its file.
function longFunctions(text, firstLine = 1, sourceType = 'module') {
  const long = [];
  const measure = (node, name) => {
    const lines = node.loc.end.line - node.loc.start.line + 1;
    if (lines > kMostLines) long.push(`${name} at line ${node.loc.start.line + firstLine - 1} (${lines} lines)`);
  };
  simple(parse(text, { ecmaVersion: 'latest', sourceType, locations: true }), {
    Function: (node) => measure(node, node.id?.name ?? 'a function without a name'),
  });
  return long;
}

test(`no product function of the page is over ${kMostLines} lines`, () => {
  assert.ok(kSources.includes('src/main.js') && kSources.includes('build.mjs'), `${kSources}`);
  const long = [];
  for (const file of kSources)
    long.push(...longFunctions(fs.readFileSync(path.join(web, file), 'utf8')).map((f) => `web/${file}: ${f}`));
  const html = fs.readFileSync(path.join(web, 'index.html'), 'utf8');
  for (const script of html.matchAll(/<script>([\s\S]*?)<\/script>/g)) {
    const firstLine = html.slice(0, script.index).split('\n').length;
    long.push(...longFunctions(script[1], firstLine, 'script').map((f) => `web/index.html: ${f}`));
  }
  assert.deepEqual(long, []);
});

test('the count sees a long function, a long method and a long arrow', () => {
  const body = Array.from({ length: kMostLines - 2 }, (_, k) => `  x += ${k};`).join('\n'); // and two lines of braces
  const sources = [`function f(x) {\n${body}\n}`, `class C { m(x) {\n${body}\n} }`, `const g = (x) => {\n${body}\n};`];
  const found = sources.map((source) => longFunctions(source).length);
  assert.deepEqual(found, [0, 0, 0], 'at the limit');
  const longer = sources.map((source) => longFunctions(source.replace('{\n', '{\n  x += 1;\n')).length);
  assert.deepEqual(longer, [1, 1, 1], 'one line over');
});
