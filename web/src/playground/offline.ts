// Offline use: the site's service worker (sw.js) registered from the playground, so that a later
// visit without a network opens the site from its cache. A page opened from a file, or a browser
// that refuses workers, goes on without it.
export function keepForOffline(): void {
  if (!('serviceWorker' in navigator) || !location.protocol.startsWith('http')) {
    return;
  }
  navigator.serviceWorker
    .register(new URL('sw.js', document.baseURI))
    .catch((error: unknown) => console.info(`No offline copy of the site: ${String(error)}`));
}
