// The About tune under Node: the engine composes the batch tool's tables, and
// the page's synthesizer worker (dist's synth.js and tune.js, run as the page
// runs them) renders the tune at the desktop's level, step by step.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync, statSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {dirname, join} from 'node:path';
import vm from 'node:vm';

import {EngineCalls, engine, render, root} from './engine.mjs';

const dist = dirname(process.env.VZ_WEB_PAGE || join(root, 'dist/web/index.html'));

function toolTable(counters) {
  const table = new Uint32Array(EngineCalls.tuneTable(engine, 0, 0, 0).length);
  for (const line of execFileSync(render, ['tune', '--counters', counters.join(',')], {encoding: 'utf8'}).trim().split('\n')) {
    const [step, slot, value] = line.split(' ');
    table[(step - 1) * 20 + (slot - 1)] = parseInt(value, 16);
  }
  return table;
}

test('the engine composes the batch tool\'s table for every kind of counter', () => {
  for (const counters of [[0, 0, 0], [9, 10, 6], [3, 7, 2], [10, 11, 7], [255, 128, 200]]) {
    assert.deepEqual(EngineCalls.tuneTable(engine, ...counters), toolTable(counters), String(counters));
  }
  assert.throws(() => EngineCalls.tuneTable(engine, 256, 0, 0));
});

// The worker's code from synth.js with the font from tune.js, in a context of
// its own as in a worker; resolves to the left and right channels.
function pageRender(score) {
  const page = vm.createContext({});
  vm.runInContext(readFileSync(join(dist, 'synth.js'), 'utf8') + readFileSync(join(dist, 'tune.js'), 'utf8'), page);
  return new Promise((resolve, reject) => {
    const chunks = [];
    const worker = vm.createContext({
      console, setTimeout, atob, WebAssembly, performance, TextDecoder,
      postMessage(message) {
        if (message.type === 'chunk') chunks.push(message);
        if (message.type === 'failed') reject(new Error(message.reason));
        if (message.type !== 'end') return;
        const channel = (side) => {
          const all = new Float32Array(message.frames);
          for (const chunk of chunks) all.set(chunk[side], chunk.at);
          return all;
        };
        resolve([channel('left'), channel('right')]);
      },
    });
    worker.self = worker;
    vm.runInContext(page.vzSynthSource, worker);
    worker.onmessage({data: {type: 'font', font: page.vzTuneFont}});
    worker.onmessage({data: {type: 'play', id: 1, score}});
  });
}

// RMS in dBFS of each 155 ms step, both channels together.
function stepLevels(left, right, frames) {
  const levels = [];
  const edge = (k) => Math.floor(k * 155 * 44100 / 1000);
  for (let k = 0; edge(k + 1) <= frames; k++) {
    let sum = 0;
    for (let i = edge(k); i < edge(k + 1); i++) sum += left(i) ** 2 + right(i) ** 2;
    levels.push(10 * Math.log10(sum / (2 * (edge(k + 1) - edge(k))) + 1e-30));
  }
  return levels;
}

test('the page renders the tune at the desktop\'s level in every audible 155 ms step', async () => {
  const bytes = ['tune.js', 'synth.js'].reduce((sum, file) => sum + statSync(join(dist, file)).size, 0);
  assert.ok(bytes <= 30e6, `the tune's files hold ${bytes} bytes`);
  const folder = mkdtempSync(join(tmpdir(), 'vz-tune-'));
  try {
    for (const counters of [[0, 0, 0], [7, 3, 5]]) {
      const wavFile = join(folder, `${counters.join('-')}.wav`);
      execFileSync(render, ['tune', '--counters', counters.join(','), '--wav', wavFile], {stdio: 'ignore'});
      const wav = readFileSync(wavFile);
      const samples = new Int16Array(wav.buffer.slice(wav.byteOffset + 44, wav.byteOffset + wav.length));
      const desktop = stepLevels((i) => samples[2 * i] / 32768, (i) => samples[2 * i + 1] / 32768,
        samples.length / 2);

      const [left, right] = await pageRender(EngineCalls.tuneScore(engine, ...counters));
      // The release ends where the desktop's does, give or take a few 50 ms blocks.
      assert.ok(Math.abs(left.length - samples.length / 2) <= 5 * 2205, `${left.length} frames`);
      const page = stepLevels((i) => left[i] || 0, (i) => right[i] || 0, samples.length / 2);
      const audible = desktop.map((level, k) => [k, level]).filter(([, level]) => level > -40);
      assert.ok(audible.length > 150, `${audible.length} audible steps`);
      const worst = Math.max(...audible.map(([k, level]) => Math.abs(page[k] - level)));
      console.log(`tune ${counters}: ${audible.length} audible steps, at most ${worst.toFixed(3)} dB apart`);
      assert.ok(worst <= 2, `${counters}: a step ${worst.toFixed(2)} dB from the desktop's`);
    }
  } finally {
    rmSync(folder, {recursive: true, force: true});
  }
});
