// The About face's tune.
//   vzTune.play(score)  on the About press, inside the click's handler: score
//                       is the engine's score of the composed tune (a
//                       Float64Array, see src/web/tune_calls.h) or a promise
//                       of one. A tune still playing stops first.
//   vzTune.stop()       when the face is left: silence at once, and a tune
//                       still loading never sounds.
// The first play loads synth.js (the synthesizer) and tune.js (its sound
// font) from beside the page with script elements, since a page opened from
// the file system may not fetch, and starts the synthesizer in a worker from
// a Blob URL. The worker renders in chunks; each plays as it arrives.
'use strict';

const vzTune = (() => {
  let context = null;  // the AudioContext, made at the first press once the font is in
  let worker = null;   // promise of the synthesizer worker
  let wanted = 0;      // id of the tune that should sound; 0 when none
  let lastId = 0;
  let rate = 0;        // the score's sample rate
  let start = -1;      // the context's time of the tune's first frame
  let sources = [];

  function load(name) {
    return new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = name;
      script.onload = () => resolve(script.remove());
      script.onerror = () => reject(new Error(name + ' could not be loaded'));
      document.head.append(script);
    });
  }

  // The worker starts as soon as its code is here, and readies itself
  // while the font is still loading.
  function startWorker() {
    const font = load('tune.js');
    return load('synth.js').then(() => {
      const started = new Worker(URL.createObjectURL(new Blob([self.vzSynthSource], {type: 'text/javascript'})));
      started.onmessage = received;
      self.vzSynthSource = null;
      return font.then(() => {
        started.postMessage({type: 'font', font: self.vzTuneFont});
        self.vzTuneFont = null;  // the worker keeps it
        // Made while the worker reads the font: a browser's first audio
        // context can hold this thread for a second.
        if (!context) context = new AudioContext();
        return started;
      }, (error) => {
        started.terminate();
        throw error;
      });
    });
  }

  function received(event) {
    const message = event.data;
    if (message.id !== wanted) return;
    if (message.type === 'failed') console.warn('The tune could not be rendered:', message.reason);
    if (message.type !== 'chunk') return;
    const buffer = context.createBuffer(2, message.left.length, rate);
    buffer.copyToChannel(message.left, 0);
    buffer.copyToChannel(message.right, 1);
    const source = context.createBufferSource();
    source.buffer = buffer;
    source.connect(context.destination);
    if (start < 0) start = context.currentTime + 0.05;
    source.start(start + message.at / rate);
    source.onended = () => { sources = sources.filter((s) => s !== source); };
    sources.push(source);
  }

  function stop() {
    wanted = 0;
    sources.forEach((source) => source.stop());
    sources = [];
    if (worker) worker.then((w) => w.postMessage({type: 'stop'}), () => {});
  }

  function play(score) {
    stop();
    if (typeof AudioContext === 'undefined') return;
    const id = wanted = ++lastId;
    if (!worker) {
      const starting = worker = startWorker();
      starting.catch(() => { if (worker === starting) worker = null; });  // the next press tries again
    }
    if (context) context.resume();
    Promise.all([worker, score]).then(([w, s]) => {
      if (id !== wanted) return;
      rate = s[0];
      start = -1;
      w.postMessage({type: 'play', id, score: s});
    }).catch((error) => console.warn('The tune cannot play:', error.message));
  }

  return {play, stop};
})();
