// Served over http(s), the page can be installed (its manifest) and a service
// worker keeps its files for use offline. Opened from the file system it needs
// neither, and the browser could not read the manifest there.
if (location.protocol !== 'file:' && 'serviceWorker' in navigator) {
  const manifest = Object.assign(document.createElement('link'), {rel: 'manifest', href: 'manifest.webmanifest'});
  document.head.append(manifest);
  navigator.serviceWorker.register('service-worker.js').catch((error) => console.warn(error));
}
