// A link's query read by the page's session with the batch tool's rules:
// the same values accepted, and for a bad one the very reason the tool
// prints; and the link a run leaves reads back as that run.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {EngineCalls, engine, render} from './engine.mjs';

function opened(query) {
  const session = EngineCalls.session(engine);
  for (const [name, value] of new URLSearchParams(query)) EngineCalls.ask(engine, session, 'link', name, value);
  return EngineCalls.ask(engine, session, 'open');
}

// What the tool says about the same options, checked and not run.
function toolReason(query) {
  const params = new URLSearchParams(query);
  const args = ['gif', '--output', '/nonexistent/never-written.gif'];
  for (const [name, value] of [['frames', '10'], ['size', '200']]) if (!params.has(name)) args.push('--' + name, value);
  for (const [name, value] of params) {
    if (['uncompressed', 'transparent', 'small'].includes(name)) args.push('--' + name);
    else args.push(`--${name}=${value}`);
  }
  const result = spawnSync(render, args, {encoding: 'utf8'});
  return result.status === 2 ? result.stderr.replace(/^vuzuduzi-render gif: /, '').trim() : '';
}

test('values and reasons as the batch tool has them', () => {
  for (const query of [
    '?frames=100&size=10&pattern=9999-333&reference=1000&uncompressed&transparent&small',
    '?frames=0', '?frames=101', '?frames=1.5', '?frames=+3', '?frames=', '?pattern=', '?size=9', '?size=1001', '?size=2e2',
    '?reference=9', '?pattern=6152-420', '?pattern=6152320', '?pattern=a152-320', '?frames=10&size=abc',
  ]) assert.equal(opened(query).problem, toolReason(query), query);
});

test('a link fills the form for its visit; the link a run leaves makes that run again', () => {
  for (const [query, count, size, compress, transparent, small, pattern, reference] of [
    ['?frames=10&size=200&pattern=6152-320', '10', '200', true, false, false, '6152-320', 200],
    ['?frames=3&size=333&pattern=0000-000&reference=10&uncompressed&transparent&small',
     '3', '333', false, true, true, '0000-000', 10],
  ]) {
    const {form, problem} = opened(query);
    assert.equal(problem, '');
    assert.deepEqual([form.count, form.size, form.compress, form.transparent, form.small, form.pattern, form.reference,
                      form.repeatChecked], [count, size, compress, transparent, small, pattern, reference, true], query);
    const session = EngineCalls.session(engine);
    for (const [name, value] of new URLSearchParams(query)) EngineCalls.ask(engine, session, 'link', name, value);
    EngineCalls.ask(engine, session, 'open');
    assert.equal(EngineCalls.ask(engine, session, 'press', 0, 1).outcome, 'started');
    assert.equal(EngineCalls.ask(engine, session, 'offer').link, query);
  }
});
