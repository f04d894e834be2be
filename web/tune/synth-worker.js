// The tune's synthesizer worker: FluidSynth (js-synthesizer) renders a score
// from the engine into sound, in chunks posted as they are made, so the
// page can start playing long before the whole tune is rendered.
//
// Messages in:  {type: 'font', font}  the sound font as base64 text, once
//               {type: 'play', id, score}  score: Float64Array, see tune_calls.h
//               {type: 'stop'}  abandons the score being rendered
// Messages out: {type: 'chunk', id, at, left, right}  at: first frame
//               {type: 'end', id, frames}   {type: 'failed', id, reason}
// Runs where JSSynth is in scope: after libfluidsynth and js-synthesizer.
'use strict';

const CHUNK_FRAMES = 16384;  // about 0.37 s at 44.1 kHz
let fontSaved = null;  // promise: the font in the synthesizer's file system
let current = 0;  // the id of the score being rendered; 0 when none

function bytesOf(base64) {
  if (Uint8Array.fromBase64) return Uint8Array.fromBase64(base64);
  const text = atob(base64);
  const bytes = new Uint8Array(text.length);
  for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
  return bytes;
}

const setSetting = Module.cwrap('fluid_settings_setint', 'number', ['number', 'string', 'number']);
const loadFont = Module.cwrap('fluid_synth_sfload', 'number', ['number', 'string', 'number']);
const FONT_FILE = '/tune.sf2';

function send(synth, message) {
  const status = message & 0xff, data1 = (message >> 8) & 0xff, data2 = (message >> 16) & 0xff;
  const channel = status & 0x0f;
  switch (status & 0xf0) {
    case 0x90:
      if (data2 === 0) synth.midiNoteOff(channel, data1);
      else synth.midiNoteOn(channel, data1, data2);
      break;
    case 0x80: synth.midiNoteOff(channel, data1); break;
    case 0xb0: synth.midiControl(channel, data1, data2); break;
    case 0xc0: synth.midiProgramChange(channel, data1); break;
    default: break;  // the filler value and anything else sound nothing
  }
}

// Renders the score through a fresh synthesizer, handing each full chunk to
// `deliver(at, left, right)`; stops early when `abandoned()` says so.
async function renderScore(score, deliver, abandoned) {
  const [rate, gain, endFrame, releaseFrames, releaseBlock, silence, count] = score;
  await JSSynth.waitForReady();
  const synth = new JSSynth.Synthesizer();
  synth.init(rate, {initialGain: gain});
  // As in the window: samples load when a program selects them, so a tune
  // reads (or decodes) only its own four instruments.
  setSetting(synth._settings, 'synth.dynamic-sample-loading', 1);
  try {
    await fontSaved;
    if (loadFont(synth.getRawSynthesizer(), FONT_FILE, 1) === -1) throw new Error('the sound font could not be loaded');
    let left = new Float32Array(CHUNK_FRAMES), right = new Float32Array(CHUNK_FRAMES);
    let at = 0, filled = 0;
    // Renders `frames` more; returns the largest magnitude among them.
    const render = async (frames) => {
      let peak = 0;
      while (frames > 0) {
        const n = Math.min(frames, CHUNK_FRAMES - filled);
        const l = left.subarray(filled, filled + n), r = right.subarray(filled, filled + n);
        synth.render([l, r]);
        for (let i = 0; i < n; i++) peak = Math.max(peak, Math.abs(l[i]), Math.abs(r[i]));
        filled += n;
        frames -= n;
        if (filled === CHUNK_FRAMES) {
          deliver(at, left, right);
          at += filled;
          filled = 0;
          left = new Float32Array(CHUNK_FRAMES);
          right = new Float32Array(CHUNK_FRAMES);
          // Lets a stop arrive between chunks.
          await new Promise((resolve) => setTimeout(resolve, 0));
          if (abandoned()) throw abandonedError;
        }
      }
      return peak;
    };
    const done = () => at + filled;
    for (let i = 0; i < count; i++) {
      const frame = score[7 + 2 * i];
      if (frame > done()) await render(frame - done());
      send(synth, score[8 + 2 * i]);
    }
    await render(endFrame - done());
    const releaseEnd = done() + releaseFrames;
    while (done() < releaseEnd) {
      if (await render(Math.min(releaseBlock, releaseEnd - done())) <= silence) break;
    }
    if (filled > 0) deliver(at, left.slice(0, filled), right.slice(0, filled));
    return done();
  } finally {
    synth.close();
  }
}

// Thrown when a newer score or a stop takes over (no Error: making one would
// have the engine index this whole script for a stack trace).
const abandonedError = {abandoned: true};

async function play(id, score) {
  current = id;
  try {
    const frames = await renderScore(score, (at, left, right) =>
      postMessage({type: 'chunk', id, at, left, right}, [left.buffer, right.buffer]), () => current !== id);
    postMessage({type: 'end', id, frames});
  } catch (error) {
    if (error !== abandonedError) postMessage({type: 'failed', id, reason: String(error && error.message || error)});
  } finally {
    if (current === id) current = 0;
  }
}

onmessage = (event) => {
  const message = event.data;
  if (message.type === 'font') {
    // Kept as a file: samples are read from it whenever a program selects them.
    fontSaved = JSSynth.waitForReady().then(() => {
      JSSynth.disableLogging();  // as the window's synthesizer, it prints nothing
      Module.FS.writeFile(FONT_FILE, bytesOf(message.font));
    });
  }
  else if (message.type === 'play') play(message.id, message.score);
  else if (message.type === 'stop') current = 0;
};
