// The site's service worker (sw.js): on the first visit it keeps the site's files in a cache
// named after the build, so that the playground, the gallery and the reference open and run
// without a network; a new build's worker fills a cache of its own and drops the old ones.
// tools/playground.sh builds it last (web/tools/service-worker.mjs), with the files' list and digest.
export {};

declare const siteFiles: string[]; // addresses relative to this script
declare const cacheName: string; // the build's: "lumenweave-" and the digest of the files
const cachePrefix = 'lumenweave-';

// The parts of the worker's global scope used here (the page's type library is the window's).
interface ExtendableEvent extends Event {
  waitUntil(work: Promise<unknown>): void;
}
interface FetchEvent extends ExtendableEvent {
  request: Request;
  respondWith(response: Promise<Response>): void;
}
interface WorkerScope {
  skipWaiting(): Promise<void>;
  clients: { claim(): Promise<void> };
  addEventListener(type: 'install' | 'activate', listener: (event: ExtendableEvent) => void): void;
  addEventListener(type: 'fetch', listener: (event: FetchEvent) => void): void;
}
const scope = self as unknown as WorkerScope;

scope.addEventListener('install', (event) => {
  event.waitUntil(
    caches
      .open(cacheName)
      .then((cache) => cache.addAll(siteFiles))
      .then(() => scope.skipWaiting()),
  );
});

scope.addEventListener('activate', (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((names) =>
        Promise.all(names.filter((n) => n.startsWith(cachePrefix) && n !== cacheName).map((n) => caches.delete(n))),
      )
      .then(() => scope.clients.claim()),
  );
});

// The cache first: it is this build's, so what it holds is current. The pages' settings (?seed=)
// do not change the file; what the cache lacks comes from the network.
scope.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') {
    return;
  }
  event.respondWith(
    caches
      .open(cacheName)
      .then((cache) => cache.match(event.request, { ignoreSearch: true }))
      .then((kept) => kept ?? fetch(event.request)),
  );
});
