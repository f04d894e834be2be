// Calls into one engine instance (the WebAssembly build of src/web/engine.cpp),
// shared by the page's workers and the Node tests. Bytes are copied out of
// the instance's memory into buffers of their own, ready to be transferred.
'use strict';

function withText(engine, texts, call) {
  const pointers = texts.map((text) => {
    const size = engine.lengthBytesUTF8(text) + 1;
    const pointer = engine._malloc(size);
    engine.stringToUTF8(text, pointer, size);
    return pointer;
  });
  try {
    return call(...pointers);
  } finally {
    pointers.forEach((pointer) => engine._free(pointer));
  }
}

function copyOut(engine, length) {
  const start = engine._vz_bytes();
  return engine.HEAPU8.slice(start, start + length);
}

const EngineCalls = {
  // job: {pattern: 'DDDD-PPP', reference, size, frames, compressed, transparent}
  setJob(engine, job) {
    const status = withText(engine, [job.pattern], (code) =>
      engine._vz_job(code, job.reference, job.size, job.frames, job.compressed ? 1 : 0, job.transparent ? 1 : 0));
    if (status !== 0) throw new Error('engine refused the job ' + JSON.stringify(job));
    return {milestones: engine._vz_milestones(), rings: engine._vz_rings()};
  },
  randomPattern(engine) {
    return engine.UTF8ToString(engine._vz_random_pattern());
  },
  // The window's reading of the count and size texts: {rejection: 0..4, frames, size}.
  validate(engine, countText, sizeText) {
    const rejection = withText(engine, [countText, sizeText], (count, size) => engine._vz_validate(count, size));
    return {rejection, frames: engine._vz_frames(), size: engine._vz_size()};
  },
  makeFrame(engine, f) {
    return copyOut(engine, engine._vz_frame(f));
  },
  leading(engine) {
    return copyOut(engine, engine._vz_leading());
  },
  framePart(engine, frame) {
    engine.HEAPU8.set(frame, engine._vz_input(frame.length));
    return copyOut(engine, engine._vz_frame_part());
  },
  draw(engine, f) {
    return copyOut(engine, engine._vz_draw(f));
  },
  encode(engine, pixels) {
    engine.HEAPU8.set(pixels, engine._vz_input(pixels.length));
    return copyOut(engine, engine._vz_encode());
  },
  trailer(engine) {
    return copyOut(engine, engine._vz_trailer());
  },
  // The tune composed with these counters: its table, step by step, and the
  // score the page's synthesizer plays.
  tuneTable(engine, sol, fon, bas) {
    const at = engine._vz_tune_table(sol, fon, bas);
    if (!at) throw new Error('engine refused the counters ' + [sol, fon, bas]);
    return engine.HEAPU32.slice(at / 4, at / 4 + engine._vz_tune_cells());
  },
  tuneScore(engine, sol, fon, bas) {
    EngineCalls.tuneTable(engine, sol, fon, bas);
    const at = engine._vz_tune_score();
    return engine.HEAPF64.slice(at / 8, at / 8 + engine._vz_tune_score_length());
  },
};

if (typeof module !== 'undefined') module.exports = EngineCalls;
