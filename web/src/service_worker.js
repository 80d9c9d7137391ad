// The page's service worker (sw.js at the site's root): it keeps the whole
// site after the first visit, so that the page opens and works with no
// network, and lets a new build replace the old one cleanly.
//
// web/build.mjs defines SITE_VERSION (the build's content hash, which names
// the folder of its scripts, styles, module and scene) and SITE_FILES (every
// file of the site but this one, from its root). Each build is kept in a
// cache of its own, named after its version, filled whole or not at all.
//   - Opening the page asks the network first for index.html, briefly: a
//     reload after a new build shows it at once, and with no network (or a
//     slow one) the kept index.html of this build opens instantly.
//   - Every other file comes from the caches (a build's files have names of
//     their own, so each page gets the files of the index.html it opened
//     with, never a mix), else from the network.
//   - A new build's worker takes over as soon as it has kept its files;
//     the caches of builds before the last two go (a page still loading the
//     previous build finds its files there).
/* global SITE_VERSION, SITE_FILES */
const kCache = `geodesics-${SITE_VERSION}`;
const kNavigationSeconds = 0.5; // the network's chance to give a newer index.html
const kBuildsKept = 2;

// Fills this build's cache. Its index.html must be this build's: a server
// already holding a newer one fails the install, and the browser tries the
// newer worker instead.
async function keepSite() {
  const cache = await caches.open(kCache);
  const index = await fetch('index.html', { cache: 'no-store' });
  if (!index.ok || !(await index.clone().text()).includes(`${SITE_VERSION}/src/main.js`))
    throw new Error(`index.html is not build ${SITE_VERSION}'s`);
  await cache.addAll(SITE_FILES.filter((file) => file !== 'index.html'));
  await cache.put('index.html', index);
}

async function dropOldBuilds() {
  const builds = (await caches.keys()).filter((name) => name.startsWith('geodesics-') && name !== kCache);
  await Promise.all(builds.slice(0, Math.max(builds.length - (kBuildsKept - 1), 0)).map((name) => caches.delete(name)));
}

// index.html from the network if it answers in time, else as kept.
async function openPage(request) {
  const kept = caches.open(kCache).then((cache) => cache.match('index.html'));
  const network = fetch(request).then((response) => (response.ok ? response : Promise.reject(new Error('not ok'))));
  network.catch(() => {}); // a late failure after the kept page won is nobody's business
  const timeout = new Promise((resolve) => setTimeout(resolve, kNavigationSeconds * 1000));
  const first = await Promise.race([network.catch(() => null), timeout.then(() => null)]);
  return first ?? (await kept) ?? network;
}

async function siteFile(request) {
  const kept = (await (await caches.open(kCache)).match(request)) ?? (await caches.match(request));
  return kept ?? fetch(request);
}

self.addEventListener('install', (event) => {
  event.waitUntil(keepSite().then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(dropOldBuilds().then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(request.mode === 'navigate' ? openPage(request) : siteFile(request));
});
