// The built page served by a static host on this machine: it can be
// installed, and after one visit it opens, makes a file and plays the About
// tune with the host gone. Opened from the file system it registers no service worker and
// complains of nothing.
import {test, before, after} from 'node:test';
import assert from 'node:assert/strict';
import {readFile, readdir} from 'node:fs/promises';
import {createServer} from 'node:http';
import {dirname, extname, join} from 'node:path';
import {launchBrowser, openPage, pageFile} from './browser.mjs';

const folder = dirname(pageFile);
const types = {'.html': 'text/html', '.js': 'text/javascript', '.webmanifest': 'application/manifest+json',
               '.png': 'image/png', '.svg': 'image/svg+xml'};
const host = createServer(async (request, response) => {
  const path = new URL(request.url, 'http://host').pathname;
  try {
    const body = await readFile(join(folder, decodeURIComponent(path)));
    response.writeHead(200, {'content-type': types[extname(path)] || 'text/plain'}).end(body);
  } catch {
    response.writeHead(404).end();
  }
});
let browser;

before(async () => {
  browser = await launchBrowser();
  await new Promise((done) => host.listen(0, '127.0.0.1', done));
});
after(async () => {
  host.close();
  host.closeAllConnections();
  await browser.close();
});

test('after one hosted visit the page opens, makes a file and plays the tune offline', {timeout: 120000}, async () => {
  const address = `http://127.0.0.1:${host.address().port}/index.html`;
  const page = await openPage(browser, '?frames=2&size=50', 'ru-RU', 0, address);
  await page.evaluate(() => navigator.serviceWorker.ready.then(() => undefined));
  const session = await page.createCDPSession();
  assert.deepEqual((await session.send('Page.getInstallabilityErrors')).installabilityErrors, []);

  host.close();
  host.closeAllConnections();
  await page.reload();
  await page.click('#start');
  const link = await page.waitForSelector('a[download]', {timeout: 60000});
  assert.equal(await link.evaluate((a) => fetch(a.href).then((r) => r.text()).then((t) => t.slice(0, 6))), 'GIF89a');
  const files = (await readdir(folder, {recursive: true})).filter((f) => extname(f) && f !== 'service-worker.js');
  const kept = await page.evaluate((names) => Promise.all(names.map((name) => caches.match(name).then(Boolean))), files);
  assert.deepEqual(kept, files.map(() => true), files.join(' '));

  // About: the synthesizer and the font come from what was kept, and the rendered tune reaches the speakers.
  const audio = await page.createCDPSession();
  await audio.send('WebAudio.enable');
  const played = new Promise((resolve) => audio.on('WebAudio.audioNodeCreated',
                                                  ({node}) => node.nodeType === 'AudioBufferSource' && resolve()));
  await page.click('#about');
  await played;
  await page.close();
});

test('opened from the file system, no service worker and no complaint', async () => {
  const page = await openPage(browser, '');
  const complaints = [];
  page.on('console', (message) => ['error', 'warn'].includes(message.type()) && complaints.push(message.text()));
  page.on('pageerror', (error) => complaints.push(error.message));
  await page.reload();
  await new Promise((done) => setTimeout(done, 500));
  assert.deepEqual(complaints, []);
  assert.equal(await page.evaluate(() => navigator.serviceWorker?.controller ?? null), null);
  await page.close();
});
