// Calls into one engine instance (the WebAssembly build of src/web), shared
// by the page, its workers and the Node tests. Every call answers a reason;
// any other than "done" is thrown as an EngineRefusal that names it, for the
// page to word. Bytes are copied out of the instance's memory into buffers
// of their own, ready to be transferred.
'use strict';

class EngineRefusal extends Error {
  constructor(reason) {
    super(reason);
    this.reason = reason;
  }
}

// Calls `name` with texts and numbers; texts go in as UTF-8 for the call only.
function call(engine, name, ...args) {
  const pointers = [];
  try {
    const values = args.map((arg) => {
      if (typeof arg !== 'string') return arg;
      const size = engine.lengthBytesUTF8(arg) + 1;
      const pointer = engine._malloc(size);
      pointers.push(pointer);
      engine.stringToUTF8(arg, pointer, size);
      return pointer;
    });
    const status = engine['_' + name](...values);
    if (status !== 0) throw new EngineRefusal(engine.UTF8ToString(engine._vz_reason_name(status)));
  } finally {
    pointers.forEach((pointer) => engine._free(pointer));
  }
}

function bytesOut(engine, handle) {
  const start = engine._vz_bytes(handle);
  return engine.HEAPU8.slice(start, start + engine._vz_length(handle));
}

const EngineCalls = {
  // The instance, from its WebAssembly: `wasm` when given (under Node), else
  // the page's copy, packed (ENGINE_WASM: gzip in base64).
  async load(createEngine, wasm) {
    if (wasm) return createEngine({wasmBinary: wasm});
    const packed = Uint8Array.from(atob(ENGINE_WASM), (c) => c.charCodeAt(0));
    const stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream('gzip'));
    return createEngine({wasmBinary: new Uint8Array(await new Response(stream).arrayBuffer())});
  },

  // A frame maker or assembler. job: {pattern: 'DDDD-PPP', reference, size, frames, compressed, transparent, small}
  maker(engine) {
    return engine._vz_engine_new();
  },
  // A refused request carries which value was wrong: {value, given, low, high}.
  setJob(engine, maker, job) {
    try {
      call(engine, 'vz_job', maker, job.pattern, job.reference, job.size, job.frames, job.compressed ? 1 : 0,
           job.transparent ? 1 : 0, job.small ? 1 : 0);
    } catch (error) {
      if (error.reason === 'badRequest') error.problem = JSON.parse(engine.UTF8ToString(engine._vz_problem(maker)));
      throw error;
    }
  },
  makeFrame(engine, maker, f) {
    call(engine, 'vz_frame', maker, f);
    return bytesOut(engine, maker);
  },
  leading(engine, maker) {
    call(engine, 'vz_leading', maker);
    return bytesOut(engine, maker);
  },
  // Part of the background pass of frame f from block `first`: its bytes,
  // the block to go on from (0 when the frame is done) and the strips to
  // show, null when it wrote no full block.
  background(engine, maker, f, first) {
    call(engine, 'vz_background', maker, f, first);
    const values = engine._vz_progress(maker) / 4;
    const strips = values ? {frameBlocks: engine.HEAP32[values], totalBlocks: engine.HEAP32[values + 1]} : null;
    return {bytes: bytesOut(engine, maker), next: engine._vz_next_block(maker), strips};
  },
  framePart(engine, maker, f, frame) {
    call(engine, 'vz_input', maker, frame.length);
    engine.HEAPU8.set(frame, engine._vz_input_data(maker));
    call(engine, 'vz_frame_part', maker, f);
    return bytesOut(engine, maker);
  },
  trailer(engine, maker) {
    call(engine, 'vz_trailer', maker);
    return bytesOut(engine, maker);
  },
  draw(engine, maker, f) {
    call(engine, 'vz_draw', maker, f);
    return bytesOut(engine, maker);
  },
  encode(engine, maker, pixels) {
    call(engine, 'vz_input', maker, pixels.length);
    engine.HEAPU8.set(pixels, engine._vz_input_data(maker));
    call(engine, 'vz_encode', maker);
    return bytesOut(engine, maker);
  },

  // The page's session: ask(engine, session, 'open') and so on (see
  // src/web/page_calls.cpp), answered with the call's JSON read back.
  session(engine) {
    return engine._vz_session_new();
  },
  ask(engine, session, what, ...args) {
    call(engine, 'vz_session_' + what, session, ...args);
    return JSON.parse(engine.UTF8ToString(engine._vz_session_answer(session)));
  },
  // The score of the tune the session composed last, `length` numbers long.
  sessionScore(engine, session, length) {
    const start = engine._vz_session_score(session) / 8;
    return engine.HEAPF64.slice(start, start + length);
  },
  // 'en' or 'ru': the page's language for a browser whose first language is `first`.
  language(engine, first) {
    const pointer = engine._malloc(engine.lengthBytesUTF8(first) + 1);
    engine.stringToUTF8(first, pointer, engine.lengthBytesUTF8(first) + 1);
    const language = engine.UTF8ToString(engine._vz_page_language(pointer));
    engine._free(pointer);
    return language;
  },
  storagePrefix(engine) {
    return engine.UTF8ToString(engine._vz_storage_prefix());
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

if (typeof module !== 'undefined') module.exports = {EngineCalls, EngineRefusal};
