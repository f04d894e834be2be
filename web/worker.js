// One worker of the page: its own engine instance. A frame worker makes the
// frames it is given; the assembling worker validates, draws patterns from
// the clock and puts the file together from its parts in order.
'use strict';

const ready = createEngine();
let parts = [];
let lastMilestoneNews = 0;

function handle(engine, message) {
  switch (message.type) {
    case 'job':
      return {type: 'job', shape: EngineCalls.setJob(engine, message.job)};
    case 'random':
      return {type: 'random', pattern: EngineCalls.randomPattern(engine)};
    case 'tune':
      return {type: 'tune', score: EngineCalls.tuneScore(engine, ...message.counters)};
    case 'validate':
      return {type: 'validate', result: EngineCalls.validate(engine, message.count, message.size)};
    case 'frame': {
      engine.onMilestone = (milestone) => {
        const now = Date.now();
        if (now - lastMilestoneNews < 40) return;
        lastMilestoneNews = now;
        postMessage({type: 'milestone', f: message.f, milestone});
      };
      const bytes = EngineCalls.makeFrame(engine, message.f);
      return {type: 'frame', f: message.f, bytes, transfer: [bytes.buffer]};
    }
    case 'begin':
      parts = [EngineCalls.leading(engine)];
      return null;
    case 'part':
      parts.push(EngineCalls.framePart(engine, message.bytes));
      return null;
    case 'end': {
      parts.push(EngineCalls.trailer(engine));
      const file = new Blob(parts, {type: 'image/gif'});
      parts = [];
      return {type: 'file', file};
    }
  }
  throw new Error('unknown message ' + message.type);
}

onmessage = (event) => {
  ready.then((engine) => {
    const reply = handle(engine, event.data);
    if (reply) postMessage(reply, reply.transfer || []);
  }).catch((error) => postMessage({type: 'failed', reason: String(error)}));
};
