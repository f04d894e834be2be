// The page's speed in headless Chromium (build the page first with
// tools/build-web.sh, and `npm ci` in web/):
//   node bench/web/bench.mjs run [REPEATS] [small]  a 100 x 1000 x 1000 run in
//        the page against `vuzuduzi-render gif` with the same options (the
//        smaller file with `small`), and the longest gap between the page's
//        animation frames during the run
//   node bench/web/bench.mjs encoder [REPEATS]  the page's encoder (the engine
//        in WebAssembly) against gifenc on the same 128-colour frames
//   node bench/web/bench.mjs tune [REPEATS]     milliseconds from the About
//        press to the first sound, the page opened from the file system (the
//        target is 3 s on a 2-core machine)
// Medians of REPEATS (default 3 and 7) are printed with the machine's load.
import {execFileSync} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {createRequire} from 'node:module';
import {loadavg, tmpdir} from 'node:os';
import {join} from 'node:path';
import {launchBrowser, openPage} from '../../tests/web/browser.mjs';
import {soundAfterPress, tappedPage} from '../../tests/web/tune_tap.mjs';

const require = createRequire(import.meta.url);
const root = new URL('../..', import.meta.url).pathname;
const render = process.env.VZ_RENDER || join(root, 'build/src/cli/vuzuduzi-render');
const [mode = 'run', repeatsText, variant] = process.argv.slice(2);
const small = variant === 'small';
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const load = () => loadavg().map((v) => v.toFixed(2)).join(' ');
const PATTERN = '6152-320';

async function benchRun(repeats) {
  const folder = mkdtempSync(join(tmpdir(), 'vz-bench-'));
  const options = ['--frames', '100', '--size', '1000', '--pattern', PATTERN, ...(small ? ['--small'] : [])];
  const page = [], gaps = [], native = [];
  const browser = await launchBrowser();
  try {
    for (let i = 0; i < repeats; ++i) {
      const tab = await openPage(browser, `?frames=100&size=1000&pattern=${PATTERN}${small ? '&small' : ''}`);
      const result = await tab.evaluate(() => new Promise((resolve) => {
        let last = performance.now(), longest = 0, running = true;
        const frame = (now) => {
          longest = Math.max(longest, now - last);
          last = now;
          if (running) requestAnimationFrame(frame);
        };
        requestAnimationFrame(frame);
        const started = performance.now();
        new MutationObserver((_, observer) => {
          if (!document.querySelector('a[download]')) return;
          observer.disconnect();
          running = false;
          resolve({ms: performance.now() - started, longest});
        }).observe(document.body, {subtree: true, childList: true});
        document.querySelector('#start').click();
      }));
      page.push(result.ms);
      gaps.push(result.longest);
      await tab.close();

      const output = join(folder, `native${i}.gif`);
      const started = process.hrtime.bigint();
      execFileSync(render, ['gif', '--output', output, ...options], {stdio: 'ignore',
                   env: {...process.env, VZ_SCALAR_DRAWING: '1'}});
      native.push(Number(process.hrtime.bigint() - started) / 1e6);
      rmSync(output);
      console.log(`repeat ${i + 1}: page ${page[i].toFixed(0)} ms, native ${native[i].toFixed(0)} ms, ` +
                  `longest animation gap ${gaps[i].toFixed(1)} ms, load ${load()}`);
    }
  } finally {
    await browser.close();
    rmSync(folder, {recursive: true, force: true});
  }
  const ratio = median(page) / median(native);
  console.log(`median: page ${median(page).toFixed(0)} ms, native ${median(native).toFixed(0)} ms, ` +
              `page/native ${ratio.toFixed(2)}; longest animation gap: median ${median(gaps).toFixed(1)} ms, ` +
              `worst ${Math.max(...gaps).toFixed(1)} ms`);
}

async function benchEncoder(repeats) {
  const gifencSource = readFileSync(require.resolve(join(root, 'web/node_modules/gifenc')), 'utf8');
  const browser = await launchBrowser();
  try {
    // The page's own thread holds the engine's script and calls once it is ready.
    const tab = await openPage(browser, '');
    await tab.waitForSelector('body[data-ready]');
    await tab.addScriptTag({content: `window.gifenc = (() => { const exports = {}; ${gifencSource}\n return exports; })();`});
    const result = await tab.evaluate(async (pattern, repeats) => {
      const engine = await EngineCalls.load(createEngine);
      const maker = EngineCalls.maker(engine);
      const size = 1000, frames = 10;
      EngineCalls.setJob(engine, maker, {pattern, reference: size, size, frames, compressed: true, transparent: false});
      const leading = EngineCalls.leading(engine, maker);
      const palette = [];
      for (let i = 0; i < 128; ++i) palette.push([...leading.subarray(13 + 3 * i, 16 + 3 * i)]);
      const pictures = [];
      for (let f = 1; f <= frames; ++f) pictures.push(EngineCalls.draw(engine, maker, f));
      const ours = [], theirs = [];
      let ourBytes = 0, theirBytes = 0;
      // Three rounds first, so that both are fully compiled by the browser.
      for (let r = -3; r < repeats; ++r) {
        let started = performance.now();
        ourBytes = 0;
        for (const pixels of pictures) ourBytes += EngineCalls.encode(engine, maker, pixels).length;
        if (r >= 0) ours.push(performance.now() - started);
        started = performance.now();
        const encoder = gifenc.GIFEncoder();
        for (const pixels of pictures) encoder.writeFrame(pixels, size, size, {palette, delay: 50});
        encoder.finish();
        theirBytes = encoder.bytes().length;
        if (r >= 0) theirs.push(performance.now() - started);
      }
      return {ours, theirs, ourBytes, theirBytes};
    }, PATTERN, repeats);
    const ours = median(result.ours), theirs = median(result.theirs);
    console.log(`10 frames 1000 x 1000, 128 colours: engine ${ours.toFixed(1)} ms (${result.ourBytes} bytes), ` +
                `gifenc ${theirs.toFixed(1)} ms (${result.theirBytes} bytes), gifenc/engine ${(theirs / ours).toFixed(2)}; ` +
                `load ${load()}`);
  } finally {
    await browser.close();
  }
}

async function benchTune(repeats) {
  const browser = await launchBrowser();
  try {
    const waits = [];
    for (let i = 0; i < repeats; ++i) {
      const page = await tappedPage(browser);
      await page.click('#about');
      waits.push(await soundAfterPress(page, 30000) ?? Infinity);
      await page.close();
    }
    console.log(`About press to sound: median ${median(waits).toFixed(0)} ms of ${repeats}; load ${load()}`);
  } finally {
    await browser.close();
  }
}

if (mode === 'run') await benchRun(Number(repeatsText || 3));
else if (mode === 'encoder') await benchEncoder(Number(repeatsText || 7));
else if (mode === 'tune') await benchTune(Number(repeatsText || 5));
else throw new Error('mode: run, encoder or tune');
