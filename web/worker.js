// One worker of the page: its own engine instance. A frame worker makes the
// frames it is given; the assembling worker puts the file together from its
// parts in order (in the uncompressed layout after writing the black file of
// the background pass, whose progress it reports).
'use strict';

if (typeof WorkerGlobalScope !== 'undefined' && self instanceof WorkerGlobalScope) {
  const ready = EngineCalls.load(createEngine).then((engine) => ({engine, maker: EngineCalls.maker(engine)}));
  let job = null;
  let frames = [];  // the file's frames: parts of the black file until each is replaced by its record
  let leading = null;
  let lastNews = 0;

  // Only a few messages a second: the page shows no more.
  const news = (message, always = false) => {
    const now = Date.now();
    if (!always && now - lastNews < 40) return;
    lastNews = now;
    postMessage(message);
  };

  const handle = ({engine, maker}, message) => {
    switch (message.type) {
      case 'job':
        job = message.job;
        EngineCalls.setJob(engine, maker, job);
        return null;
      case 'frame': {
        engine.onMilestone = (milestone) => news({type: 'milestone', f: message.f, milestone});
        const bytes = EngineCalls.makeFrame(engine, maker, message.f);
        return {type: 'frame', f: message.f, bytes, transfer: [bytes.buffer]};
      }
      case 'begin':
        leading = EngineCalls.leading(engine, maker);
        frames = [];
        if (!job.compressed && !job.small) {
          for (let f = 1; f <= job.frames; ++f) {
            frames[f] = [];
            for (let first = 1; first;) {
              const part = EngineCalls.background(engine, maker, f, first);
              frames[f].push(part.bytes);
              first = part.next;
              if (part.strips) news({type: 'background', ...part.strips}, !first);
            }
          }
          postMessage({type: 'background-done'});
        }
        return null;
      case 'part':
        frames[message.f] = [EngineCalls.framePart(engine, maker, message.f, message.bytes)];
        return null;
      case 'end': {
        const file = new Blob([leading, ...frames.flat(), EngineCalls.trailer(engine, maker)], {type: 'image/gif'});
        frames = [];
        return {type: 'file', file};
      }
    }
    throw new Error('unknown message ' + message.type);
  };

  onmessage = (event) => {
    ready.then((instance) => {
      const reply = handle(instance, event.data);
      if (reply) postMessage(reply, reply.transfer || []);
    }).catch((error) => postMessage({type: 'failed', reason: error.reason || null, problem: error.problem || null,
                                      text: String(error.message || error)}));
  };
}
