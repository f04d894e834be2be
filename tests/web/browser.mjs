// Debian's Chromium, headless, on a profile of its own that is removed at
// close: no network, no first-run work, nothing kept between runs.
import {mkdtempSync, rmSync} from 'node:fs';
import {createRequire} from 'node:module';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

const require = createRequire(import.meta.url);
const root = new URL('../..', import.meta.url).pathname;
const puppeteer = require(join(process.env.VZ_WEB_MODULES || join(root, 'web/node_modules'), 'puppeteer-core'));

export const pageFile = process.env.VZ_WEB_PAGE || join(root, 'dist/web/index.html');

export async function launchBrowser() {
  const profile = mkdtempSync(join(tmpdir(), 'vz-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.VZ_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           `--user-data-dir=${profile}`],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, {recursive: true, force: true});
  };
  return browser;
}

// A tab whose browser says its first language is `language`, and that it
// has `processors` processors when given; the page from `address` (a host's)
// when given, else from the file system; once the page answers its controls.
export async function openPage(browser, query, language = 'ru-RU', processors = 0, address = 'file://' + pageFile) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument((first, count) => {
    Object.defineProperty(navigator, 'languages', {get: () => [first]});
    if (count) Object.defineProperty(navigator, 'hardwareConcurrency', {get: () => count});
  }, language, processors);
  await page.goto(address + query);
  await page.waitForSelector('body[data-ready]');
  return page;
}
