// The page's server (web/serve.py, and `scripts/run.sh web` in front of it)
// as a careless or hostile visitor meets it: wrong ports and folders are
// refused in one line before anything is served, folders are never listed,
// odd paths get an answer, and connections that send no request are dropped
// without holding a thread each.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { after, before, describe, test } from 'node:test';

import { serveSite } from './browser.js';
import { siteDir, siteVersion, sourceDir } from './support.js';

const serveScript = path.join(sourceDir, 'web/serve.py');
const runScript = path.join(sourceDir, 'scripts/run.sh');

let server;
let port;
before(async () => {
  server = await serveSite();
  port = Number(new URL(server.url).port);
});
after(() => server?.stop());

// Sends `text` on a new connection and resolves to all the server sends back
// before it closes the connection.
function exchange(text) {
  return new Promise((resolve, reject) => {
    const chunks = [];
    const socket = net.connect(port, '127.0.0.1', () => socket.end(text));
    socket.setTimeout(10000, () => socket.destroy(new Error(`no answer to ${JSON.stringify(text)}`)));
    socket.on('data', (c) => chunks.push(c));
    socket.on('error', reject);
    socket.on('close', () => resolve(Buffer.concat(chunks).toString('latin1')));
  });
}
const statusOf = (reply) => Number(reply.match(/^HTTP\/1\.[01] (\d{3}) /)?.[1]);

// A command that must refuse at once: status 2, one line on standard error,
// nothing on standard output.
function refusal(command, args, env = {}) {
  const run = spawnSync(command, args, { encoding: 'utf8', timeout: 20000, env: { ...process.env, ...env } });
  const lines = run.stderr.split('\n').filter(Boolean);
  assert.equal(run.status, 2, `${command} ${args.join(' ')}: status ${run.status}\n${run.stderr}`);
  assert.equal(run.stdout, '');
  assert.equal(lines.length, 1, run.stderr);
  return lines[0];
}

describe('starting', () => {
  test('a port in use or that is no port, and a site folder that is not there, are refused in one line', () => {
    const busy = `port ${port} is in use; \`python3 web/serve.py SITE_DIR 0\` takes a free one`;
    assert.equal(refusal('python3', [serveScript, siteDir, String(port)]), busy);
    for (const word of ['abc', '70000', '-1', '8000.5', ' 80', ''])
      assert.equal(
        refusal('python3', [serveScript, siteDir, word]),
        `port '${word}' is not a port number, 0 to 65535; \`python3 web/serve.py SITE_DIR 0\` takes a free one`,
      );
    const nowhere = path.join(os.tmpdir(), 'geodesics-no-such-site');
    assert.match(
      refusal('python3', [serveScript, nowhere, '0']),
      new RegExp(`^site folder '${nowhere}' does not exist;`),
    );
    const file = path.join(siteDir, 'index.html');
    assert.equal(refusal('python3', [serveScript, file, '0']), `site folder '${file}' is not a folder`);

    // scripts/run.sh web says it before building anything, in its own words
    assert.equal(
      refusal('bash', [runScript, 'web', String(port)]),
      `port ${port} is in use; \`scripts/run.sh web 0\` takes a free one`,
    );
    assert.match(
      refusal('bash', [runScript, 'web', 'abc']),
      /^port 'abc' is not a port number, 0 to 65535; `scripts\/run.sh web 0`/,
    );
  });
});

describe('answering', () => {
  test('serves the page, lists no folder, and answers a NUL in the path with 400', async () => {
    const page = await exchange('GET / HTTP/1.0\r\n\r\n');
    assert.equal(statusOf(page), 200);
    assert.match(page, /<title>Geodesics/);
    for (const [folder, file] of [
      [siteVersion, 'src'],
      [`${siteVersion}/src`, 'main.js'],
      [`${siteVersion}/wasm`, 'geodesics.wasm'],
      ['icons', 'icon-192'],
    ]) {
      const reply = await exchange(`GET /${folder}/ HTTP/1.0\r\n\r\n`);
      assert.equal(statusOf(reply), 404, `/${folder}/`);
      assert.ok(!reply.includes(file), `/${folder}/ names ${file}`);
    }
    for (const request of ['GET /%00 HTTP/1.0', 'HEAD /src/%00main.js HTTP/1.0'])
      assert.equal(statusOf(await exchange(`${request}\r\n\r\n`)), 400, request);
    assert.equal(statusOf(await exchange(`GET /${siteVersion}/src/main.js HTTP/1.0\r\n\r\n`)), 200, 'and still serves');
    assert.doesNotMatch(server.errors(), /Traceback/);
  });

  test("sends gzip to a browser that accepts it and plain bytes to any other; a build's own files may be kept", async () => {
    const reply = async (file, accept) => {
      const text = await exchange(
        `GET /${file} HTTP/1.0\r\n${accept === null ? '' : `Accept-Encoding: ${accept}\r\n`}\r\n`,
      );
      const [head, body] = [
        text.slice(0, text.indexOf('\r\n\r\n')),
        Buffer.from(text.slice(text.indexOf('\r\n\r\n') + 4), 'latin1'),
      ];
      return { head, body, header: (name) => head.match(new RegExp(`^${name}: (.*)$`, 'mi'))?.[1] ?? null };
    };
    for (const file of [
      '',
      `${siteVersion}/src/main.js`,
      `${siteVersion}/wasm/geodesics.wasm`,
      `${siteVersion}/scene.json`,
    ]) {
      const bytes = fs.readFileSync(path.join(siteDir, file || 'index.html'));
      for (const accept of ['gzip', 'gzip, deflate, br, zstd', '*', 'br;q=1.0, gzip;q=0.8']) {
        const answer = await reply(file, accept);
        assert.equal(answer.header('Content-Encoding'), 'gzip', `${file} for ${accept}`);
        assert.deepEqual(zlib.gunzipSync(answer.body), bytes, file);
        assert.equal(Number(answer.header('Content-Length')), answer.body.length);
        assert.equal(answer.header('Vary'), 'Accept-Encoding');
      }
      for (const accept of [null, 'identity', 'br', 'gzip;q=0', '*;q=0']) {
        const answer = await reply(file, accept);
        assert.equal(answer.header('Content-Encoding'), null, `${file} for ${accept}`);
        assert.deepEqual(answer.body, bytes, file);
        assert.equal(answer.header('Vary'), 'Accept-Encoding');
      }
    }
    const cached = async (file) => (await reply(file, 'gzip')).header('Cache-Control');
    assert.equal(await cached(`${siteVersion}/src/main.js`), 'public, max-age=31536000, immutable');
    for (const file of ['', 'index.html', 'sw.js', 'manifest.webmanifest', 'icons/icon-192.png'])
      assert.equal(await cached(file), 'no-store', file);
    assert.equal(
      (await reply('icons/icon-512.png', 'gzip')).header('Content-Encoding'),
      null,
      'a PNG is compressed already',
    );
  });

  test('drops connections whose request does not arrive within seconds, and holds a bounded number of threads', async () => {
    // One connection that sends its request a byte a second, as slow clients
    // do to hold a server, then 63 that send part of a request or nothing.
    const closed = [];
    const open = (first, drip) => {
      const socket = net.connect(port, '127.0.0.1', () => socket.write(first));
      const timer = drip ? setInterval(() => socket.write('x'), 1000) : null;
      socket.on('error', () => {});
      closed.push(
        new Promise((resolve) =>
          socket.on('close', () => {
            clearInterval(timer);
            resolve();
          }),
        ),
      );
      return socket;
    };
    const sockets = [open('GET / HTTP/1.0\r\nX-Slow: ', true)];
    for (let k = 1; k < 64; ++k) sockets.push(open(k % 2 ? 'GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n' : '', false));
    // The server's threads, counted four times a second until every
    // connection is closed (SYNs beyond the listen queue arrive by retries).
    const threads = () => Number(fs.readFileSync(`/proc/${server.pid}/status`, 'utf8').match(/^Threads:\s+(\d+)/m)[1]);
    let most = threads();
    const counter = setInterval(() => {
      most = Math.max(most, threads());
    }, 250);
    let timer;
    try {
      const limit = new Promise((_, reject) => {
        timer = setTimeout(() => reject(new Error('connections still open after 30 s')), 30000);
      });
      await Promise.race([Promise.all(closed), limit]);
    } finally {
      clearTimeout(timer);
      clearInterval(counter);
      for (const socket of sockets) socket.destroy();
    }
    assert.ok(most <= 40, `${most} threads for 64 waiting connections`); // 32 connections at once, and the server's own
    assert.equal(statusOf(await exchange('GET /index.html HTTP/1.0\r\n\r\n')), 200);
  });
});
