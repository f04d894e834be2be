// A link's query read with the batch tool's rules: the same values accepted,
// and for a bad one the very reason the tool prints.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {createRequire} from 'node:module';
import {join} from 'node:path';

const require = createRequire(import.meta.url);
const root = new URL('../..', import.meta.url).pathname;
const {readQuery, queryOf} = require(join(root, 'web/query.js'));
const render = process.env.VZ_RENDER || join(root, 'build/src/cli/vuzuduzi-render');

// What the tool says about the same options, checked and not run.
function toolReason(query) {
  const params = new URLSearchParams(query);
  const args = ['gif', '--output', '/nonexistent/never-written.gif'];
  for (const [name, value] of [['frames', '10'], ['size', '200']]) if (!params.has(name)) args.push('--' + name, value);
  for (const [name, value] of params) {
    if (name === 'uncompressed' || name === 'transparent') args.push('--' + name);
    else args.push(`--${name}=${value}`);
  }
  const result = spawnSync(render, args, {encoding: 'utf8'});
  return result.status === 2 ? result.stderr.replace(/^vuzuduzi-render gif: /, '').trim() : null;
}

test('values and reasons as the batch tool has them', () => {
  for (const query of [
    '?frames=100&size=10&pattern=9999-333&reference=1000&uncompressed&transparent',
    '?frames=0', '?frames=101', '?frames=1.5', '?frames=+3', '?frames=', '?pattern=', '?size=9', '?size=1001', '?size=2e2',
    '?reference=9', '?pattern=6152-420', '?pattern=6152320', '?pattern=a152-320', '?frames=10&size=abc',
  ]) {
    const read = readQuery(query);
    assert.equal(read.problem ?? null, toolReason(query), query);
  }
});

test('the query of a run reads back as that run', () => {
  for (const run of [
    {frames: 10, size: 200, reference: 200, pattern: '6152-320', compressed: true, transparent: false},
    {frames: 3, size: 333, reference: 10, pattern: '0000-000', compressed: false, transparent: true},
  ]) {
    const {form} = readQuery(queryOf(run));
    assert.deepEqual(form, {
      frames: run.frames, size: run.size, pattern: run.pattern,
      ...(run.reference !== run.size && {reference: run.reference}),
      ...(!run.compressed && {uncompressed: true}), ...(run.transparent && {transparent: true}),
    });
  }
});
