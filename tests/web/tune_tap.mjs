// Headless Chromium pages whose speakers are tapped: an analyser on every
// connection to the destination, and the time of the About press.
import {pageFile} from './browser.mjs';

export async function tappedPage(browser) {
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
export const soundAfterPress = (page, limit) => page.evaluate((limit) => new Promise((resolve) => {
  const poll = setInterval(() => {
    const waited = performance.now() - window.aboutPressed;
    if (window.tuneLevel() > 0.001 || waited > limit) {
      clearInterval(poll);
      resolve(waited > limit ? null : waited);
    }
  }, 10);
}), limit);

export const loudestOver = (page, ms) => page.evaluate((ms) => new Promise((resolve) => {
  let peak = 0;
  const poll = setInterval(() => { peak = Math.max(peak, window.tuneLevel()); }, 20);
  setTimeout(() => { clearInterval(poll); resolve(peak); }, ms);
}), ms);

