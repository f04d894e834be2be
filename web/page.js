// The page: the form, one run at a time, progress, messages and the finished
// file. Its own thread only moves buffers between workers and shows what
// they report; every byte of the file is made by the engine in the workers.
'use strict';

const $ = (id) => document.getElementById(id);
const words = wordsFor(navigator.languages && navigator.languages.length ? navigator.languages : [navigator.language]);
const WORKER_URL = URL.createObjectURL(new Blob([WORKER_SOURCE], {type: 'text/javascript'}));

let assembler = null;   // the worker that validates, draws patterns and assembles
let run = null;         // the run in progress
let fileNumber = 0;     // n of the last Kvel_<n>.GIF offered
let offeredUrl = null;  // the blob URL of the offered file
let savedSize = null;   // the size typed before "mobile" was ticked
let previous = null;    // {pattern, reference} of the previous picture

function newAssembler() {
  if (assembler) assembler.terminate();
  assembler = new Worker(WORKER_URL);
}

// One request to the assembling worker, answered by one reply.
function ask(message) {
  return new Promise((resolve, reject) => {
    const worker = assembler;
    worker.onmessage = (event) => {
      if (event.data.type === 'failed') reject(new Error(event.data.reason));
      else resolve(event.data);
    };
    worker.onerror = (event) => reject(new Error(event.message));
    worker.postMessage(message);
  });
}

function wordPage() {
  document.documentElement.lang = words.lang;
  $('count-label').textContent = words.count;
  $('size-label').textContent = words.size;
  $('size-note').textContent = words.sizeNote;
  $('size').setAttribute('aria-label', words.sizeName);
  $('mobile-label').textContent = words.mobile;
  $('transparent-label').textContent = words.transparent;
  $('compress-label').textContent = words.compress;
  $('repeat-label').textContent = words.repeat;
  $('frame-bar').setAttribute('aria-label', words.frameBar);
  $('total-bar').setAttribute('aria-label', words.totalBar);
  $('about').textContent = words.about;
  $('back').textContent = words.back;
  $('web-link').textContent = words.web + AUTHOR.web;
  $('web-link').href = AUTHOR.web;
  $('mail-link').textContent = words.email + AUTHOR.email;
  $('mail-link').href = 'mailto:' + AUTHOR.email;
  $('result').setAttribute('aria-label', words.result);
  showButton(false);
}

function showButton(running) {
  if (!running) document.title = 'Vuzuduzi-2';
  const button = $('start');
  button.classList.toggle('running', running);
  if (running) {
    button.textContent = words.stop;
  } else {
    button.textContent = words.start + ' ';
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
  $('percent').textContent = percent === null ? '' : words.percent(percent);
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

function offerFile(file) {
  const name = 'Kvel_' + (++fileNumber) + '.GIF';
  offeredUrl = URL.createObjectURL(file);
  const link = document.createElement('a');
  link.download = name;
  link.href = offeredUrl;
  link.textContent = name;
  $('offer').replaceChildren(link);
  $('animation').src = offeredUrl;
  $('animation').alt = name;
  $('result').hidden = false;
  return name;
}

function showPatternCode(code) {
  $('pattern-code').textContent = code || '';
  $('repeat').title = code || '';
}

function fillForm(form) {
  if (form.frames !== undefined) $('count').value = form.frames;
  if (form.size !== undefined) $('size').value = form.size;
  if (form.uncompressed) $('compress').checked = false;
  if (form.transparent) $('transparent').checked = true;
  if (form.pattern) {
    previous = {pattern: form.pattern, reference: form.reference !== undefined ? form.reference : Number($('size').value)};
    $('repeat').disabled = false;
    $('repeat').checked = true;
    showPatternCode(form.pattern);
  }
}

// Frames go to workers in order, at most a few more than there are workers
// ahead of the one being assembled, so memory stays bounded; the assembling
// worker takes them strictly in order.
class Run {
  constructor(job, shape) {
    this.job = job;
    this.shape = shape;  // {milestones, rings} of one frame
    this.workerCount = Math.max(1, Math.min(job.frames, navigator.hardwareConcurrency || 1));
    this.slots = this.workerCount + 2;
    this.workers = [];
    this.next = 1;         // the next frame to hand out
    this.assembling = 1;   // the frame the file waits for
    this.milestone = 0;    // how far that frame has got
    this.finished = new Map();
    this.done = null;
    this.shown = {frame: -1, total: -1, percent: -1, label: ''};
  }

  start() {
    return new Promise((resolve, reject) => {
      this.done = {resolve, reject};
      assembler.onmessage = (event) => this.fromAssembler(event.data);
      assembler.onerror = (event) => this.done.reject(new Error(event.message));
      assembler.postMessage({type: 'job', job: this.job});
      assembler.postMessage({type: 'begin'});
      if (!this.job.compressed) this.show(0, 0, 0, words.background);
      for (let i = 0; i < this.workerCount; ++i) {
        const worker = new Worker(WORKER_URL);
        worker.onmessage = (event) => this.fromWorker(worker, event.data);
        worker.onerror = (event) => this.done.reject(new Error(event.message));
        worker.postMessage({type: 'job', job: this.job});
        this.workers.push(worker);
        this.handOut(worker);
      }
    });
  }

  handOut(worker) {
    if (this.next > this.job.frames || this.next >= this.assembling + this.slots) {
      worker.idle = true;
      return;
    }
    worker.idle = false;
    worker.postMessage({type: 'frame', f: this.next++});
  }

  fromWorker(worker, message) {
    if (message.type === 'milestone') {
      if (message.f === this.assembling) {
        this.milestone = Math.max(this.milestone, message.milestone);
        this.showFrameProgress();
      }
    } else if (message.type === 'frame') {
      this.finished.set(message.f, message.bytes);
      this.forward();
      this.handOut(worker);
    } else if (message.type === 'failed') {
      this.done.reject(new Error(message.reason));
    }
  }

  forward() {
    while (this.finished.has(this.assembling)) {
      const bytes = this.finished.get(this.assembling);
      this.finished.delete(this.assembling);
      assembler.postMessage({type: 'part', f: this.assembling, bytes}, [bytes.buffer]);
      this.milestone = this.shape.milestones;
      this.showFrameProgress();
      ++this.assembling;
      this.milestone = 0;
      for (const worker of this.workers) if (worker.idle) this.handOut(worker);
    }
    if (this.assembling > this.job.frames) assembler.postMessage({type: 'end'});
  }

  fromAssembler(message) {
    if (message.type === 'file') this.done.resolve(message.file);
    else if (message.type === 'failed') this.done.reject(new Error(message.reason));
  }

  // The frame in hand and the whole run, from the milestones of that frame:
  // rings drawn then rows encoded, or sweeps painted.
  showFrameProgress() {
    const {frames, size, compressed} = this.job;
    const f = Math.min(this.assembling, frames);
    let fraction;
    if (compressed) fraction = Math.max(0, this.milestone - this.shape.rings) / size;
    else fraction = this.milestone / this.shape.milestones;
    const run = (f - 1 + fraction) / frames;
    this.show(Math.floor(fraction * 32), Math.floor(run * 32), Math.floor(run * 100), words.frame(f));
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

async function startRun() {
  withdrawFile();
  clearMessage();
  $('repeat').disabled = false;
  const repeat = $('repeat').checked && previous;
  let pattern = repeat ? previous.pattern : (await ask({type: 'random'})).pattern;
  const numbers = (await ask({type: 'validate', count: $('count').value, size: $('size').value})).result;
  if (numbers.rejection !== 0) {
    showMessage(words.validationTitle, [words.rejections[numbers.rejection]]);
    return;
  }
  const job = {
    pattern,
    reference: repeat ? previous.reference : numbers.size,
    size: numbers.size,
    frames: numbers.frames,
    compressed: $('compress').checked,
    transparent: $('transparent').checked,
  };
  previous = {pattern: job.pattern, reference: job.reference};
  showPatternCode(job.pattern);
  const shape = (await ask({type: 'job', job})).shape;
  run = new Run(job, shape);
  showButton(true);
  document.title = words.making + 'Kvel_' + (fileNumber + 1) + '.GIF';
  showProgress(0, 0, 0, '');
  try {
    const file = await run.start();
    run.end();
    run = null;
    showButton(false);
    resetProgress();
    const name = offerFile(file);
    history.replaceState(null, '', queryOf(job) + location.hash);
    showMessage(words.doneTitle, [words.done(name)]);
  } catch (error) {
    if (!run) return;  // stopped
    run.end();
    run = null;
    newAssembler();
    showButton(false);
    resetProgress();
    showMessage(words.failedTitle, [String(error.message || error)]);
  }
}

// Stop: every worker ends at once, so nothing of the run is left.
function stopRun() {
  const stopped = run;
  run = null;
  stopped.end();
  newAssembler();  // it held the run's parts
  stopped.done.reject(new Error('stopped'));
  showButton(false);
  resetProgress();
  withdrawFile();
  showMessage(words.stoppedTitle, words.stopped);
}

function setUp() {
  wordPage();
  newAssembler();
  const query = readQuery(location.search);
  if (query.problem) showMessage(words.validationTitle, [query.problem]);
  else fillForm(query.form);

  let starting = false;
  $('form').addEventListener('submit', async (event) => {
    event.preventDefault();
    if (run) return stopRun();
    if (starting) return;
    starting = true;
    try {
      await startRun();
    } catch (error) {
      // The assembling worker could not answer: a fresh one for the next press.
      newAssembler();
      showMessage(words.failedTitle, [String(error.message || error)]);
    } finally {
      starting = false;
    }
  });
  $('mobile').addEventListener('change', () => {
    if ($('mobile').checked) {
      savedSize = $('size').value;
      $('size').value = '128';
    } else if (savedSize !== null) {
      $('size').value = savedSize;
    }
  });
  $('size').addEventListener('blur', () => {
    if ($('mobile').checked) $('size').value = '128';
  });
  $('about').addEventListener('click', () => {
    vzTune.play(composeTune());
    $('working').hidden = true;
    $('about-face').hidden = false;
    $('back').focus();
  });
  $('back').addEventListener('click', () => {
    vzTune.stop();
    $('about-face').hidden = true;
    $('working').hidden = false;
    $('about').focus();
  });
}

// The tune's score from an engine of its own, so a run's worker is not
// disturbed.
function composeTune() {
  const composer = new Worker(WORKER_URL);
  return new Promise((resolve, reject) => {
    composer.onmessage = (event) => resolve(event.data.score);
    composer.onerror = (event) => reject(new Error(event.message));
    composer.postMessage({type: 'tune', counters: [0, 0, 0]});
  }).finally(() => composer.terminate());
}

setUp();
