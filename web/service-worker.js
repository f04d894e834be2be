// Served over http(s), the page keeps every file of its folder on the first
// visit, so that afterwards it opens and works with no network. The
// assembling fills in the file list and a version made from the files' bytes:
// a new build is a new worker, which keeps its files afresh and drops the
// older ones.
const FILES = /*FILES*/[];
const PREFIX = 'vuzuduzi-2-';
const CACHE = PREFIX + '/*VERSION*/';

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, {cache: 'reload'}))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith(PREFIX) && name !== CACHE)
                                      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The kept file when there is one, whatever the link's query; the folder
// itself is its index.html.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  const url = new URL(event.request.url);
  url.search = '';
  if (url.href === self.registration.scope) url.href += 'index.html';
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(url.href))
    .then((kept) => kept || fetch(event.request)));
});
