// The built page in headless Chromium, opened from the file system: a link's
// query, СТАРТ from the keyboard, the file it offers against the batch tool's
// for the same options, then Stop, a rejected count, and the English words;
// what it keeps across a reload, and storage that is junk, full or denied.
import {test, before, after} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {existsSync, mkdtempSync, readFileSync, rmSync, readdirSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {launchBrowser, openPage, pageFile} from './browser.mjs';

const root = new URL('../..', import.meta.url).pathname;
const render = process.env.VZ_RENDER || join(root, 'build/src/cli/vuzuduzi-render');
const downloads = mkdtempSync(join(tmpdir(), 'vz-downloads-'));
let browser;

before(async () => { browser = await launchBrowser(); });
after(async () => {
  await browser.close();
  rmSync(downloads, {recursive: true, force: true});
});

const text = (page, selector) => page.$eval(selector, (element) => element.textContent);
const ready = (page) => page.waitForSelector('body[data-ready]');
const form = (page) => page.evaluate(() => Object.fromEntries(
  ['count', 'size', 'mobile', 'transparent', 'compress', 'small', 'repeat'].map((id) => {
    const box = document.getElementById(id);
    return [id, box.type === 'checkbox' ? box.checked : box.value];
  })));
const stored = (page, key) => page.evaluate((name) => localStorage.getItem('vuzuduzi-2/' + name), key);
const type = async (page, id, value) => {
  await page.$eval('#' + id, (box) => { box.value = ''; });
  await page.type('#' + id, value);
};
// The page afresh, without the link a run leaves in the address bar.
async function reopen(page) {
  await page.goto('file://' + pageFile);
  await ready(page);
}
async function makeFile(page) {
  await pressStart(page);
  const link = await page.waitForSelector('a[download]', {timeout: 60000});
  return link.evaluate((a) => a.download);
}
const pressStart = async (page) => {
  await page.focus('#start');
  await page.keyboard.press('Enter');
};

async function download(page, link, name) {
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads});
  const file = join(downloads, name);
  rmSync(file, {force: true});
  await link.click();
  for (let i = 0; i < 200 && !existsSync(file); ++i) await new Promise((done) => setTimeout(done, 50));
  return readFileSync(file);
}

test('a link draws its picture: the offered Kvel_1.GIF is the batch tool\'s file', async () => {
  // Three workers, so that frames come back out of order.
  const page = await openPage(browser, '?frames=10&size=200&pattern=6152-320', 'ru-RU', 3);
  assert.equal(await page.$eval('#repeat', (box) => box.checked), true);
  assert.equal(await text(page, '#pattern-code'), '6152-320');
  await pressStart(page);
  const link = await page.waitForSelector('a[download]', {timeout: 60000});
  assert.equal(await page.$$eval('a[download]', (links) => links.length), 1);
  assert.equal(await link.evaluate((a) => a.download), 'Kvel_1.GIF');
  assert.match(await link.evaluate((a) => a.href), /^blob:/);
  assert.equal(await text(page, '#message-title'), 'Vuzuduzi-2 - Ура!');
  assert.equal(await page.evaluate(() => location.search), '?frames=10&size=200&pattern=6152-320');

  const expected = join(downloads, 'expected.gif');
  execFileSync(render, ['gif', '--output', expected, '--frames', '10', '--size', '200', '--pattern', '6152-320'],
               {stdio: 'ignore'});
  assert.ok((await download(page, link, 'Kvel_1.GIF')).equals(readFileSync(expected)));

  // A second press starts a long run; Stop ends it with no link left, and
  // the earlier file's URL no longer opens.
  const earlier = await link.evaluate((a) => a.href);
  await page.$eval('#count', (box) => { box.value = '100'; });
  await page.$eval('#size', (box) => { box.value = '1000'; });
  await pressStart(page);
  await page.waitForFunction(() => document.querySelector('#percent').textContent !== '', {timeout: 30000});
  assert.equal(await page.$$eval('a[download]', (links) => links.length), 0);
  const stopped = await page.evaluate(async () => {
    const pressed = performance.now();
    document.querySelector('#start').click();
    return {ms: performance.now() - pressed, caption: document.querySelector('#start').textContent};
  });
  assert.ok(stopped.ms < 100, `stopped in ${stopped.ms} ms`);
  assert.match(stopped.caption, /^СТАРТ/);
  assert.equal(await text(page, '#message-title'), 'Операция прервана');
  assert.equal(await text(page, '#message-lines'), 'Процесс был прерван.Сохранение не произошло.');
  await new Promise((done) => setTimeout(done, 500));
  assert.equal(await page.$$eval('a[download]', (links) => links.length), 0);
  assert.equal(await page.evaluate((url) => fetch(url).then(() => 'opened', () => 'revoked'), earlier), 'revoked');
  await page.close();
});

test('a link with small gives the tool\'s smaller file, its frames made by several workers', async () => {
  const page = await openPage(browser, '?frames=6&size=150&pattern=7351-213&small', 'ru-RU', 3);
  assert.equal(await page.$eval('#small', (box) => box.checked), true);
  const name = await makeFile(page);
  const expected = join(downloads, 'small.gif');
  execFileSync(render, ['gif', '--output', expected, '--frames', '6', '--size', '150', '--pattern', '7351-213', '--small'],
               {stdio: 'ignore'});
  assert.ok((await download(page, await page.$('a[download]'), name)).equals(readFileSync(expected)));
  assert.equal(await page.evaluate(() => location.search), '?frames=6&size=150&pattern=7351-213&small');
  await page.close();
});

test('every control has its name; a rejected count runs nothing and says why, in the window\'s words', async () => {
  const page = await openPage(browser, '');
  const named = [];
  const walk = (node) => {
    if (['textbox', 'checkbox', 'button', 'progressbar'].includes(node.role)) named.push(node.role + ': ' + node.name);
    (node.children || []).forEach(walk);
  };
  walk(await page.accessibility.snapshot());
  assert.deepEqual(named, [
    'textbox: Количество картинок',
    'textbox: Размер (ширина и высота в пикселях)',
    'checkbox: Мобильный размер 128 x 128',
    'checkbox: Фон должен быть прозрачным',
    'checkbox: Сжимать данные изображений',
    'checkbox: Файл поменьше (те же кадры)',
    'checkbox: Повторить предыдущий рисунок',
    'button: СТАРТ (Создаём анимированный GIF)',
    'progressbar: Создание картинки',
    'progressbar: Создание файла',
    'button: О программе',
  ]);
  await page.$eval('#count', (box) => { box.value = 'abc'; });
  await pressStart(page);
  await page.waitForSelector('#message:not([hidden])');
  assert.equal(await text(page, '#message-title'), 'Ошибочка');
  assert.equal(await text(page, '#message-lines'), 'Количество картинок должно быть не меньше, чем одна.');
  assert.match(await text(page, '#start'), /^СТАРТ/);
  await page.close();
});

test('a bad link value shows the batch tool\'s reason and fills nothing; English browsers get English', async () => {
  const page = await openPage(browser, '?frames=7&size=5000&pattern=6152-320', 'en-GB');
  assert.equal(await text(page, '#message-lines'), "--size: expected a whole number 10..1000, got '5000'");
  assert.equal(await page.$eval('#count', (box) => box.value), await stored(page, 'tem/col'));
  assert.equal(await page.$eval('#repeat', (box) => box.checked), false);
  assert.equal(await text(page, '#count-label'), 'Number of pictures');
  assert.equal(await page.evaluate(() => document.documentElement.lang), 'en');
  await page.close();
});

test('the form, the previous picture, the file number and the tune\'s counters survive a reload', async () => {
  const page = await openPage(browser, '');
  await page.evaluate(() => localStorage.clear());
  await reopen(page);
  assert.deepEqual(await form(page), {count: '3', size: '323', mobile: false, transparent: false, compress: true,
                                      small: false, repeat: false});
  assert.equal(await stored(page, 'met/sol'), '1');  // composed once at load
  await type(page, 'count', '2');
  await type(page, 'size', '60');
  await page.click('#transparent');
  await page.click('#compress');
  assert.equal(await makeFile(page), 'Kvel_1.GIF');
  const pattern = await text(page, '#pattern-code');
  // The uncompressed file, its black file written first, is the tool's too.
  const expected = join(downloads, 'uncompressed.gif');
  execFileSync(render, ['gif', '--output', expected, '--frames', '2', '--size', '60', '--pattern', pattern,
                        '--uncompressed', '--transparent'], {stdio: 'ignore'});
  assert.ok((await download(page, await page.$('a[download]'), 'Kvel_1.GIF')).equals(readFileSync(expected)));
  await page.click('#small');

  await reopen(page);
  assert.deepEqual(await form(page), {count: '2', size: '60', mobile: false, transparent: true, compress: false,
                                      small: true, repeat: false});
  assert.equal(await text(page, '#pattern-code'), pattern);
  assert.equal(await stored(page, 'met/sol'), '2');
  await page.click('#about');
  await page.click('#back');
  assert.equal(await stored(page, 'met/sol'), '3');
  // The box repeats the picture of before the reload.
  await page.click('#repeat');
  assert.equal(await makeFile(page), 'Kvel_2.GIF');
  assert.equal(await text(page, '#pattern-code'), pattern);
  await page.click('#mobile');
  await reopen(page);
  assert.equal((await form(page)).size, '128');
  await page.close();
});

test('junk in storage is read as the window reads it; full or denied storage leaves the page working', async () => {
  const page = await openPage(browser, '');
  await page.evaluate(() => {
    for (const [key, value] of [['tem/col', 'abc'], ['tem/px', '77 px'], ['tem/mob', '1.0x'], ['tem/fon', 'yes'],
      ['page/compress', ''], ['page/small', 'да'], ['page/pattern', '12345'], ['page/file', '1e400'], ['met/sol', '-3']])
      localStorage.setItem('vuzuduzi-2/' + key, value);
  });
  await reopen(page);
  assert.deepEqual(await form(page), {count: 'abc', size: '128', mobile: true, transparent: false, compress: false,
                                      small: false, repeat: false});
  // A full storage: said once in the console, and the page goes on.
  const warnings = [];
  page.on('console', (message) => { if (message.type().startsWith('warn')) warnings.push(message.text()); });
  await page.evaluate(() => {
    Storage.prototype.setItem = () => { throw new DOMException('full', 'QuotaExceededError'); };
  });
  await type(page, 'count', '2');
  assert.equal(await makeFile(page), 'Kvel_1.GIF');
  assert.equal(warnings.length, 1);
  assert.match(warnings[0], /^Страница не смогла сохранить свои настройки: /);
  await page.close();

  const denied = await browser.newPage();
  await denied.evaluateOnNewDocument(() => Object.defineProperty(window, 'localStorage', {
    get() { throw new DOMException('denied', 'SecurityError'); },
  }));
  const errors = [];
  denied.on('pageerror', (error) => errors.push(error.message));
  await denied.goto('file://' + pageFile + '?frames=2&size=30');
  await ready(denied);
  assert.equal(await makeFile(denied), 'Kvel_1.GIF');
  assert.deepEqual(errors, []);
  await denied.close();
});
