// The page: the form, one run at a time, progress, messages and the finished
// file. Its own thread holds an engine too, with the page's session: the
// form's rules, the stored values, the run's schedule and progress come from
// there. This script only shows them, stores what the session wrote, and
// moves buffers between workers; every byte of the file is made in them.
'use strict';

const $ = (id) => document.getElementById(id);
const WORKER_URL = URL.createObjectURL(new Blob([WORKER_SOURCE], {type: 'text/javascript'}));
const fill = (text, ...values) => text.replace(/%(\d)/g, (_, n) => values[n - 1]);
const TITLE = document.title;  // the idle title, as the page's file gives it
let workingTitle = TITLE;       // the title of the working face, kept while the About face shows

let engine = null;      // the page's own engine instance
let session = null;     // its session
let words = null;
let assembler = null;   // the worker that assembles the file
let run = null;         // the run in progress
let offeredUrl = null;  // the blob URL of the offered file
let storageFailed = false;

// The page's engine: the workers' script, which on this thread only defines it.
function loadEngine() {
  return new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = WORKER_URL;
    script.onload = () => EngineCalls.load(createEngine).then(resolve, reject);
    script.onerror = () => reject(new Error(WORKER_URL));
    document.head.append(script);
  });
}

// The page's values in its storage, as far as the browser lets them be read.
function storedValues(prefix) {
  const values = [];
  try {
    for (let i = 0; i < localStorage.length; ++i) {
      const key = localStorage.key(i);
      if (key !== null && key.startsWith(prefix)) values.push([key, localStorage.getItem(key) ?? '']);
    }
  } catch (error) {
    // No storage, or none for this page: what was read is all there is.
  }
  return values;
}

// What the session wrote goes into storage; a value that cannot be kept is
// said once in the console, and the page goes on without it.
function keepWritten() {
  for (const [key, text] of EngineCalls.ask(engine, session, 'written')) {
    try {
      localStorage.setItem(key, text);
    } catch (error) {
      if (!storageFailed) console.warn(fill(words.notStored, String(error.message || error)));
      storageFailed = true;
    }
  }
}

function ask(what, ...args) {
  const answer = EngineCalls.ask(engine, session, what, ...args);
  keepWritten();
  return answer;
}

// Why the engine or a worker failed, in the page's words when it gave a reason.
function failure(error) {
  const problem = error.problem;
  if (problem) return fill(words.refusal, words[problem.value], problem.given, problem.low, problem.high);
  return (error.reason && words[error.reason]) || String(error.text || error.message || error);
}

function newAssembler() {
  if (assembler) assembler.terminate();
  assembler = new Worker(WORKER_URL);
}

function wordPage() {
  document.documentElement.lang = words.lang;
  const [start, note] = words.start.trim().split(/\s+(?=\()/);
  Object.assign(words, {startWord: start, startNote: note});
  for (const [id, name] of [['count-label', 'count'], ['size-label', 'size'], ['size-note', 'sizeNote'],
    ['mobile-label', 'mobile'], ['transparent-label', 'transparent'], ['compress-label', 'compress'],
    ['small-label', 'small'], ['repeat-label', 'repeat'], ['about', 'about'], ['back', 'back']])
    $(id).textContent = words[name];
  for (const [id, name] of [['size', 'sizeName'], ['frame-bar', 'frameBar'], ['total-bar', 'totalBar'],
    ['result', 'result']]) $(id).setAttribute('aria-label', words[name]);
  $('web-link').textContent = fill(words.web, AUTHOR.web);
  $('web-link').href = AUTHOR.web;
  $('mail-link').textContent = fill(words.email, AUTHOR.email);
  $('mail-link').href = 'mailto:' + AUTHOR.email;
  showButton(false);
}

function showForm(form) {
  for (const id of ['count', 'size']) if ($(id).value !== form[id]) $(id).value = form[id];
  for (const id of ['mobile', 'transparent', 'compress', 'small']) $(id).checked = form[id];
  $('repeat').disabled = !form.repeatEnabled;
  $('repeat').checked = form.repeatChecked;
  $('pattern-code').textContent = form.pattern;
  $('repeat').title = form.pattern ? fill(words.repeatTip, form.pattern, form.reference) : '';
}

function setTitle(title) {
  workingTitle = title;
  if ($('about-face').hidden) document.title = title;
}

function showButton(running) {
  if (!running) setTitle(TITLE);
  const button = $('start');
  button.classList.toggle('running', running);
  if (running) {
    button.textContent = words.stop;
  } else {
    button.textContent = words.startWord + ' ';
    const note = document.createElement('small');
    note.textContent = words.startNote;
    button.append(note);
  }
}

function showMessage(title, lines) {
  $('message-title').textContent = title;
  $('message-lines').replaceChildren(...lines.map((line) => {
    const p = document.createElement('p');
    p.textContent = line;
    return p;
  }));
  $('message').hidden = false;
}

function clearMessage() { $('message').hidden = true; }

function showProgress(frameBlocks, totalBlocks, percent, label) {
  $('frame-bar').value = frameBlocks;
  $('total-bar').value = totalBlocks;
  $('percent').textContent = percent === null ? '' : fill(words.percent, percent);
  $('frame-text').textContent = label;
}

function resetProgress() { showProgress(0, 0, null, ''); }

// The earlier file is no longer offered: its link goes and its URL is revoked.
function withdrawFile() {
  $('result').hidden = true;
  $('offer').replaceChildren();
  $('animation').removeAttribute('src');
  if (offeredUrl) URL.revokeObjectURL(offeredUrl);
  offeredUrl = null;
}

function offerFile(file, name) {
  offeredUrl = URL.createObjectURL(file);
  const link = document.createElement('a');
  link.download = name;
  link.href = offeredUrl;
  link.textContent = name;
  $('offer').replaceChildren(link);
  $('animation').src = offeredUrl;
  $('animation').alt = name;
  $('result').hidden = false;
}

// Frame workers take the frames the session gives them; the assembling
// worker takes the finished frames strictly in order.
class Run {
  constructor({job, workers, milestones}) {
    this.job = job;
    this.workerCount = workers;
    this.milestones = milestones;  // of one frame
    this.workers = [];
    this.assembling = 1;           // the frame the file waits for
    this.milestone = 0;            // how far that frame has got
    this.finished = new Map();
    this.background = !job.compressed && !job.small;  // the black file is still being written
    this.done = null;
    this.shown = {};
  }

  start() {
    return new Promise((resolve, reject) => {
      this.done = {resolve, reject};
      assembler.onmessage = (event) => this.fromAssembler(event.data);
      assembler.onerror = (event) => reject(new Error(event.message));
      assembler.postMessage({type: 'job', job: this.job});
      assembler.postMessage({type: 'begin'});
      this.show(0, 0, 0, this.background ? words.background : '');
      for (let i = 0; i < this.workerCount; ++i) {
        const worker = new Worker(WORKER_URL);
        worker.onmessage = (event) => this.fromWorker(worker, event.data);
        worker.onerror = (event) => reject(new Error(event.message));
        worker.postMessage({type: 'job', job: this.job});
        worker.idle = true;
        this.workers.push(worker);
      }
      this.handOut();
    });
  }

  handOut() {
    for (const worker of this.workers) {
      if (!worker.idle) continue;
      const f = ask('take_frame');
      if (!f) return;
      worker.idle = false;
      worker.postMessage({type: 'frame', f});
    }
  }

  fromWorker(worker, message) {
    if (message.type === 'milestone') {
      if (message.f !== this.assembling) return;
      this.milestone = Math.max(this.milestone, message.milestone);
      this.showFrameProgress();
    } else if (message.type === 'frame') {
      this.finished.set(message.f, message.bytes);
      worker.idle = true;
      this.forward();
      this.handOut();
    } else if (message.type === 'failed') {
      this.done.reject(message);
    }
  }

  forward() {
    while (this.finished.has(this.assembling)) {
      const f = this.assembling;
      const bytes = this.finished.get(f);
      this.finished.delete(f);
      assembler.postMessage({type: 'part', f, bytes}, [bytes.buffer]);
      ask('release_frame', f);
      this.milestone = this.milestones;
      this.showFrameProgress();
      ++this.assembling;
      this.milestone = 0;
    }
    if (this.assembling > this.job.frames) assembler.postMessage({type: 'end'});
  }

  fromAssembler(message) {
    if (message.type === 'background') {
      this.show(message.frameBlocks, message.totalBlocks, 0, words.background);
    } else if (message.type === 'background-done') {
      this.background = false;
      this.showFrameProgress();
    } else if (message.type === 'file') {
      this.done.resolve(message.file);
    } else if (message.type === 'failed') {
      this.done.reject(message);
    }
  }

  showFrameProgress() {
    if (this.background) return;
    const f = Math.min(this.assembling, this.job.frames);
    const values = ask('progress', f, this.milestone);
    this.show(values.frame, values.total, values.percent, fill(words.frame, f));
  }

  show(frame, total, percent, label) {
    const s = this.shown;
    if (frame === s.frame && total === s.total && percent === s.percent && label === s.label) return;
    Object.assign(s, {frame, total, percent, label});
    showProgress(frame, total, percent, label);
  }

  end() {
    for (const worker of this.workers) worker.terminate();
    this.workers = [];
  }
}

function startRun(started) {
  run = new Run(started);
  showButton(true);
  setTitle(fill(words.making, started.name));
  run.start().then((file) => {
    run.end();
    run = null;
    showButton(false);
    resetProgress();
    const offered = ask('offer');
    offerFile(file, offered.name);
    history.replaceState(null, '', offered.link + location.hash);
    showMessage(words.doneTitle, [fill(words.done, offered.name)]);
    ask('end_run');
  }, (error) => {
    if (!run) return;  // stopped
    run.end();
    run = null;
    ask('end_run');
    newAssembler();
    showButton(false);
    resetProgress();
    showMessage(words.failedTitle, [failure(error)]);
  });
}

// Stop: every worker ends at once, so nothing of the run is left.
function stopRun() {
  const stopped = run;
  run = null;
  stopped.end();
  newAssembler();  // it held the run's parts
  stopped.done.reject(new Error('stopped'));
  ask('end_run');
  showButton(false);
  resetProgress();
  withdrawFile();
  showMessage(words.stoppedTitle, [words.stopped, words.notSaved]);
}

function press() {
  // The texts as they stand, even when set without an input event (autofill).
  for (const id of ['count', 'size']) ask('choose', id, $(id).value);
  const pressed = ask('press', run ? 1 : 0, navigator.hardwareConcurrency || 1);
  showForm(pressed.form);
  if (pressed.outcome === 'stop') return stopRun();
  withdrawFile();
  clearMessage();
  if (pressed.outcome === 'rejected') return showMessage(words.validationTitle, [words[pressed.rejection]]);
  startRun(pressed);
}

function showAbout(shown) {
  document.title = shown ? words.aboutTitle : workingTitle;
  $('working').hidden = shown;
  $('about-face').hidden = !shown;
  $(shown ? 'back' : 'about').focus();
}

// The controls answer from the start; until the session is open they do nothing.
function listen() {
  const choose = (choice, value) => session && showForm(ask('choose', choice, value));
  $('form').addEventListener('submit', (event) => {
    event.preventDefault();
    if (!session) return;
    try {
      press();
    } catch (error) {
      showMessage(words.failedTitle, [failure(error)]);
    }
  });
  for (const id of ['count', 'size']) $(id).addEventListener('input', () => choose(id, $(id).value));
  $('size').addEventListener('blur', () => choose('sizeLeft', ''));
  for (const id of ['mobile', 'transparent', 'compress', 'small', 'repeat'])
    $(id).addEventListener('change', () => choose(id, $(id).checked ? '1' : '0'));
  $('about').addEventListener('click', () => {
    if (!session) return;
    const tune = ask('compose');
    vzTune.play(EngineCalls.sessionScore(engine, session, tune.score));
    showAbout(true);
  });
  $('back').addEventListener('click', () => {
    vzTune.stop();
    showAbout(false);
  });
}

async function setUp() {
  listen();
  engine = await loadEngine();
  const languages = navigator.languages && navigator.languages.length ? navigator.languages : [navigator.language];
  words = WORDS[EngineCalls.language(engine, languages[0] || '')];
  wordPage();
  session = EngineCalls.session(engine);
  for (const [key, text] of storedValues(EngineCalls.storagePrefix(engine))) ask('put', key, text);
  for (const [name, value] of new URLSearchParams(location.search)) ask('link', name, value);
  const opened = ask('open');
  showForm(opened.form);
  if (opened.problem) showMessage(words.validationTitle, [opened.problem]);
  newAssembler();
  document.body.dataset.ready = 'true';
}

setUp().catch((error) => {
  console.error(error);
  if (words) showMessage(words.failedTitle, [failure(error)]);
});
