// The About tune in headless Chromium, from the file system: an analyser
// tapped into every connection to the speakers hears it start after the
// press, and «Перейти к программе» silences it; leaving the face before the
// tune has loaded means it never sounds. How soon it starts is measured by
// bench/web/bench.mjs tune.
import {test, before, after} from 'node:test';
import assert from 'node:assert/strict';
import {launchBrowser} from './browser.mjs';
import {loudestOver, soundAfterPress, tappedPage} from './tune_tap.mjs';

let browser;
before(async () => { browser = await launchBrowser(); });
after(async () => { await browser.close(); });

test('About plays the tune; «Перейти к программе» silences it', async () => {
  const page = await tappedPage(browser);
  await page.click('#about');
  const ms = await soundAfterPress(page, 15000);
  assert.ok(ms !== null, 'no sound within 15 s of the press');
  assert.ok(await loudestOver(page, 1000) > 0.01, 'the tune goes on');
  await page.click('#back');
  await new Promise((done) => setTimeout(done, 100));
  assert.equal(await loudestOver(page, 1500), 0);
  await page.close();
});

test('leaving the About face before the tune has loaded keeps it silent', async () => {
  const page = await tappedPage(browser);
  await page.click('#about');
  await page.click('#back');
  assert.equal(await loudestOver(page, 4000), 0);
  await page.close();
});
