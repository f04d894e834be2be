// The About tune in headless Chromium, from the file system: an analyser
// tapped into every connection to the speakers hears it start within 3 s of
// the press, and «Перейти к программе» silences it; leaving the face before
// the tune has loaded means it never sounds.
import {test, before, after} from 'node:test';
import assert from 'node:assert/strict';
import {launchBrowser, pageFile} from './browser.mjs';

let browser;
before(async () => { browser = await launchBrowser(); });
after(async () => { await browser.close(); });

async function tappedPage() {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    const analysers = [];
    const connect = AudioNode.prototype.connect;
    AudioNode.prototype.connect = function (target, ...rest) {
      if (target instanceof AudioDestinationNode) {
        const analyser = this.context.createAnalyser();
        analysers.push(analyser);
        connect.call(this, analyser);
      }
      return connect.call(this, target, ...rest);
    };
    // The loudest sample the speakers got in the analysers' last window.
    window.tuneLevel = () => {
      let peak = 0;
      const samples = new Float32Array(2048);
      for (const analyser of analysers) {
        analyser.getFloatTimeDomainData(samples);
        for (const s of samples) peak = Math.max(peak, Math.abs(s));
      }
      return peak;
    };
    document.addEventListener('click', (event) => {
      if (event.target.id === 'about') window.aboutPressed = performance.now();
    }, true);
  });
  await page.goto('file://' + pageFile);
  await page.waitForSelector('body[data-ready]');
  return page;
}

// Milliseconds from the About press until the speakers get sound, or null.
const soundAfterPress = (page, limit) => page.evaluate((limit) => new Promise((resolve) => {
  const poll = setInterval(() => {
    const waited = performance.now() - window.aboutPressed;
    if (window.tuneLevel() > 0.001 || waited > limit) {
      clearInterval(poll);
      resolve(waited > limit ? null : waited);
    }
  }, 10);
}), limit);

const loudestOver = (page, ms) => page.evaluate((ms) => new Promise((resolve) => {
  let peak = 0;
  const poll = setInterval(() => { peak = Math.max(peak, window.tuneLevel()); }, 20);
  setTimeout(() => { clearInterval(poll); resolve(peak); }, ms);
}), ms);

test('About plays the tune within 3 s of the press; «Перейти к программе» silences it', async () => {
  const page = await tappedPage();
  await page.click('#about');
  const ms = await soundAfterPress(page, 15000);
  assert.ok(ms !== null, 'no sound within 15 s of the press');
  console.log(`tune: sound ${ms.toFixed(0)} ms after the About press`);
  assert.ok(ms < 3000, `sound ${ms.toFixed(0)} ms after the press`);
  assert.ok(await loudestOver(page, 1000) > 0.01, 'the tune goes on');
  await page.click('#back');
  await new Promise((done) => setTimeout(done, 100));
  assert.equal(await loudestOver(page, 1500), 0);
  await page.close();
});

test('leaving the About face before the tune has loaded keeps it silent', async () => {
  const page = await tappedPage();
  await page.click('#about');
  await page.click('#back');
  assert.equal(await loudestOver(page, 4000), 0);
  await page.close();
});
