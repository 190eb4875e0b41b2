// Keeps the page's own files so that it opens without a network: each is fetched afresh when
// the network answers, and taken from the copy kept when it does not. Nothing else is asked
// for: the page reaches no other place, and the game files never pass through here.
const kCache = 'duzuroro-studio-@PROJECT_VERSION@';
const kFiles = ['./', 'index.html', 'duzuroro.js', 'fflate.js', 'studio.js', 'manifest.webmanifest',
                'icon-128.png', 'icon-256.png'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(kCache).then((cache) => cache.addAll(kFiles)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name !== kCache).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(fetch(request).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      caches.open(kCache).then((cache) => cache.put(request, copy));
    }
    return response;
  }).catch(() => caches.match(request, { ignoreSearch: true }).then((kept) => kept || Response.error())));
});
