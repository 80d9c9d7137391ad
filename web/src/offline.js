// Keeps the site for use with no network: registers the page's service
// worker (sw.js, beside index.html; web/src/service_worker.js says what it
// keeps and how a new build replaces an old one). Asked once the page is
// ready, so that keeping the files never competes with the first frame.
// Where the browser offers no service workers, or refuses this one (a page
// not served over HTTPS or from this machine), the page works as it does
// with a network, and says nothing: nothing it shows depends on it.
export function keepOffline() {
  if (!('serviceWorker' in navigator)) return;
  navigator.serviceWorker.register(new URL('sw.js', document.baseURI)).catch(() => {});
}
