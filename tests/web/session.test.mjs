// The page's session through its engine under Node: stored texts read by
// the window's rules, the mobile box, the repeat rule, the schedule of
// frames, the progress values and the file numbers.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {EngineCalls, engine} from './engine.mjs';

const prefix = EngineCalls.storagePrefix(engine);

function session(stored = {}, link = '') {
  const s = EngineCalls.session(engine);
  const ask = (what, ...args) => EngineCalls.ask(engine, s, what, ...args);
  for (const [key, text] of Object.entries(stored)) ask('put', prefix + key, text);
  ask('put', 'tem/col', '99');  // another page's key: not the page's
  for (const [name, value] of new URLSearchParams(link)) ask('link', name, value);
  return {ask, opened: ask('open')};
}

const reason = (what) => {
  try {
    what();
  } catch (error) {
    return error.reason;
  }
};

test('stored texts are read as the window reads them; a missing key gives the window\'s default', () => {
  for (const [stored, expected, name] of [
    [{}, {count: '3', size: '323', mobile: false, transparent: false, compress: true, pattern: ''}, 'Kvel_1.GIF'],
    [{'tem/col': ' 7 x', 'tem/px': '12.5abc', 'tem/mob': '1.0', 'tem/fon': '1x', 'page/compress': 'no',
      'page/pattern': '6152-320', 'page/reference': '200 px', 'page/file': '41.9'},
     {count: ' 7 x', size: '128', mobile: true, transparent: true, compress: false, pattern: '6152-320', reference: 200},
     'Kvel_42.GIF'],
    [{'tem/mob': '2', 'tem/fon': '', 'page/pattern': '6152-320', 'page/reference': '5000', 'page/file': '-3'},
     {mobile: false, transparent: false, pattern: '', repeatEnabled: false}, 'Kvel_1.GIF'],
    [{'page/pattern': '6152-3200', 'page/reference': '200', 'page/file': '1e400'}, {pattern: ''}, 'Kvel_1.GIF'],
    [{'page/file': '999999999', 'tem/col': 'a"b\\c\n\u0001'}, {count: 'a"b\\c\n\u0001'}, 'Kvel_1.GIF'],
  ]) {
    const {ask, opened} = session(stored);
    for (const [key, value] of Object.entries(expected)) assert.equal(opened.form[key], value, `${key} of ${stored}`);
    ask('choose', 'count', '1');
    ask('choose', 'size', '10');
    assert.equal(ask('press', 0, 1).name, name, JSON.stringify(stored));
  }
});

test('the mobile box keeps the size typed before it, as a number, and holds 128 while checked', () => {
  const {ask} = session({'tem/px': '77.25 px'});
  assert.equal(ask('choose', 'mobile', '1').size, '128');
  assert.equal(ask('choose', 'size', '5').size, '5');
  assert.equal(ask('choose', 'sizeLeft', '').size, '128');
  assert.equal(ask('choose', 'mobile', '0').size, '77.25');
  ask('written');
  assert.deepEqual(ask('choose', 'transparent', '1').transparent, true);
  assert.deepEqual(ask('written'), [[prefix + 'tem/fon', '1']]);
});

test('a press draws, repeats or keeps the pattern by the window\'s rule, and says why it is refused', () => {
  const {ask} = session({}, '?frames=2&size=50&pattern=6152-320&reference=70');
  const first = ask('press', 0, 4);
  assert.deepEqual([first.outcome, first.job.pattern, first.job.reference, first.workers], ['started', '6152-320', 70, 2]);
  ask('choose', 'repeat', '0');
  const stop = ask('press', 1, 4);  // Stop, with the box unchecked: a new pattern, the same reference
  assert.equal(stop.outcome, 'stop');
  assert.notEqual(stop.form.pattern, '6152-320');
  assert.equal(stop.form.reference, 70);
  ask('choose', 'count', '0');
  const refused = ask('press', 0, 4);
  assert.deepEqual([refused.outcome, refused.rejection, refused.form.repeatEnabled], ['rejected', 'tooFewFrames', true]);
  // Checked before any picture: a new one is drawn, with the run's size as its reference.
  const fresh = session();
  fresh.ask('choose', 'repeat', '1');
  const drawn = fresh.ask('press', 0, 64);
  assert.deepEqual([drawn.job.reference, drawn.workers], [323, 3]);
});

test('frames go to workers in order, at most two more than the workers ahead of the file', () => {
  const {ask} = session({'tem/col': '10', 'tem/px': '10'});
  assert.equal(ask('press', 0, 2).workers, 2);
  const taken = [];
  for (let f; (f = ask('take_frame'));) taken.push(f);
  assert.deepEqual(taken, [1, 2, 3, 4]);
  ask('release_frame', 1);
  assert.deepEqual([ask('take_frame'), ask('take_frame')], [5, 0]);
  assert.equal(reason(() => ask('release_frame', 11)), 'badFrame');
  ask('end_run');
  assert.equal(ask('take_frame'), 0);
});

test('progress values follow the frame the file waits for: rows after the rings, or sweeps', () => {
  const {ask} = session({'tem/col': '4', 'tem/px': '100'});
  const {milestones} = ask('press', 0, 1);
  const rings = milestones - 100;
  const at = (f, m) => Object.values(ask('progress', f, m));
  assert.deepEqual(at(1, rings - 1), [0, 0, 0]);     // still drawing
  assert.deepEqual(at(2, 0), [32, 8, 25]);           // frame 1's end stays shown
  assert.deepEqual(at(2, rings + 49), [16, 12, 37]); // at the start of row 50
  assert.deepEqual(at(4, milestones), [32, 32, 100]);
  ask('choose', 'compress', '0');
  const sweeps = ask('press', 0, 1).milestones;
  assert.deepEqual(at(2, 90), [16, 12, 37]);        // ring 9 of rings 0..17 begins
  assert.deepEqual(at(4, sweeps), [32, 32, 100]);
});

test('a session refuses what it cannot know, with its reason', () => {
  const {ask} = session();
  assert.equal(reason(() => ask('take_frame')), 'noRun');
  assert.equal(reason(() => ask('choose', 'colour', '1')), 'badText');
  assert.equal(reason(() => EngineCalls.ask(engine, 4321, 'open')), 'noHandle');
});
