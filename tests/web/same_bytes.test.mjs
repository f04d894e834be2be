// The WebAssembly engine, run under Node in the order the page's workers use,
// against `vuzuduzi-render gif` with the same options: every byte the same.
//
// The remaining risk is libm. The WebAssembly build's sin and cos (musl) give
// a different last bit than glibc's for about 3 % of arguments. A 1-ulp change
// moves a pixel only when R·sinA·sinB + S/2 lies within about 1e-13 of an
// integer before floor, and none of 9 million run-shaped points did; a palette
// entry moves only when sin·127 lies that close to an integer. These tables
// cover all 64 palettes and the figure at every size class, both modes, with
// transparency and several reference sizes, where such a change would show.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {EngineCalls, EngineRefusal, engine, render} from './engine.mjs';

const makers = [EngineCalls.maker(engine), EngineCalls.maker(engine)];
const [maker] = makers;
const assembler = EngineCalls.maker(engine);

// The file as the page makes it: the assembler's leading blocks, in the
// uncompressed layout its background pass (the black file, which must be as
// long as the painted one), each frame made by one of two frame makers in
// turn (so that neither has the frame before its own) and put in its place
// by the assembler, the trailer.
function webFile(job) {
  for (const each of [...makers, assembler]) EngineCalls.setJob(engine, each, job);
  const leading = EngineCalls.leading(engine, assembler);
  const frames = [];
  for (let f = 1; !job.compressed && !job.small && f <= job.frames; ++f) {
    const black = [];
    for (let first = 1; first;) {
      const part = EngineCalls.background(engine, assembler, f, first);
      black.push(part.bytes);
      first = part.next;
      // The strips at a frame's last full block; none when it has none.
      const strips = job.size < 16 ? null : {frameBlocks: 32, totalBlocks: Math.floor(32 * f / job.frames)};
      if (!first) assert.deepEqual(part.strips, strips);
    }
    frames[f] = Buffer.concat(black);
  }
  for (let f = 1; f <= job.frames; ++f) {
    const part = EngineCalls.framePart(engine, assembler, f, EngineCalls.makeFrame(engine, makers[f % 2], f));
    if (frames[f]) assert.equal(part.length, frames[f].length, 'the black record\'s length');
    frames[f] = part;
  }
  return Buffer.concat([leading, ...frames.slice(1), EngineCalls.trailer(engine, assembler)]);
}

const folder = mkdtempSync(join(tmpdir(), 'vz-web-'));
let files = 0;
function nativeFile(job) {
  const output = join(folder, `run${++files}.gif`);
  const args = ['gif', '--output', output, '--frames', String(job.frames), '--size', String(job.size),
                '--pattern', job.pattern, '--reference', String(job.reference)];
  if (!job.compressed) args.push('--uncompressed');
  if (job.small) args.push('--small');
  if (job.transparent) args.push('--transparent');
  execFileSync(render, args, {stdio: ['ignore', 'ignore', 'inherit']});
  const bytes = readFileSync(output);
  rmSync(output);
  return bytes;
}

function assertSame(job) {
  const expected = nativeFile(job);
  const actual = webFile(job);
  assert.equal(actual.length, expected.length, `length for ${JSON.stringify(job)}`);
  assert.ok(actual.equals(expected), `bytes for ${JSON.stringify(job)}`);
}

const job = (pattern, frames, size, reference = size, options = {}) =>
  ({pattern, frames, size, reference, compressed: !options.uncompressed, transparent: !!options.transparent,
    small: !!options.small});

test('all 64 palettes', () => {
  for (let powers = 0; powers < 64; ++powers) {
    const code = [powers >> 4, (powers >> 2) & 3, powers & 3].join('');
    assertSame(job('6152-' + code, 1, 10));
  }
});

test('runs of every size class, both modes, exact and smaller', () => {
  for (const run of [
    job('6152-320', 10, 200),
    job('0000-000', 1, 10, 10, {uncompressed: true}),
    job('9999-333', 100, 10, 1000, {transparent: true}),
    job('1234-012', 3, 333, 10, {uncompressed: true}),
    job('0909-210', 31, 127, 77, {transparent: true}),
    job('4711-303', 4, 500, 500, {uncompressed: true, transparent: true}),
    job('5071-123', 2, 1000),
    job('8888-321', 1, 1000, 500, {uncompressed: true}),
    job('6152-320', 12, 128, 128, {small: true}),
    job('7351-213', 5, 211, 90, {small: true, transparent: true}),
    job('0918-031', 4, 150, 150, {small: true, uncompressed: true}),
    job('2468-102', 1, 10, 10, {small: true}),
  ]) assertSame(run);
});

test('the engine refuses, with its reason, what no run can make', () => {
  const refusal = (what) => {
    try {
      what();
    } catch (error) {
      assert.ok(error instanceof EngineRefusal);
      return error.problem ? [error.reason, error.problem] : error.reason;
    }
  };
  assert.equal(refusal(() => EngineCalls.makeFrame(engine, 12345, 1)), 'noHandle');
  EngineCalls.setJob(engine, maker, job('6152-320', 2, 10));
  assert.equal(refusal(() => EngineCalls.makeFrame(engine, maker, 3)), 'badFrame');
  assert.deepEqual(refusal(() => EngineCalls.setJob(engine, maker, job('6152-320', 2, 10, 1001))),
                   ['badRequest', {value: 'referenceSize', given: 1001, low: 10, high: 1000}]);
  assert.equal(refusal(() => EngineCalls.makeFrame(engine, maker, 1)), 'noJob');
  EngineCalls.setJob(engine, assembler, job('6152-320', 2, 10));
  EngineCalls.leading(engine, assembler);
  assert.equal(refusal(() => EngineCalls.framePart(engine, assembler, 1, new Uint8Array(1e6))), 'badInput');
  assert.equal(refusal(() => EngineCalls.framePart(engine, assembler, 2, new Uint8Array(9))), 'badFrame');
  assert.equal(refusal(() => EngineCalls.trailer(engine, assembler)), 'badFrame');
});

test.after(() => rmSync(folder, {recursive: true, force: true}));
