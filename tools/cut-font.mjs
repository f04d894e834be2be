// Cuts a General MIDI sound font down to what the tune can sound, for the
// page: the presets the composer selects, and in them only the zones that its
// notes and velocities reach. The reach is read from the composer itself,
// through the batch tool's tune table of every counter value; then the batch
// tool renders orchestrations covering every preset from both fonts, and the
// WAV files must be identical.
//
//   node tools/cut-font.mjs RENDER_TOOL FULL_FONT OUTPUT_FONT
//
// The result is kept with a key of its inputs (the tables, the full font,
// this script), so an unchanged build does not cut and check again.
import {execFile} from 'node:child_process';
import {createHash} from 'node:crypto';
import {existsSync, mkdtempSync, readFileSync, renameSync, rmSync, statSync, writeFileSync} from 'node:fs';
import {join} from 'node:path';
import {promisify} from 'node:util';

const run = promisify(execFile);
const [tool, fullFont, output] = process.argv.slice(2);
if (!output) {
  console.error('usage: node tools/cut-font.mjs RENDER_TOOL FULL_FONT OUTPUT_FONT');
  process.exit(2);
}

// Runs `jobs` (functions returning promises) a few at a time, results in order.
async function inTurn(jobs, width) {
  const results = [];
  let next = 0;
  const lane = async () => {
    while (next < jobs.length) {
      const i = next++;
      results[i] = await jobs[i]();
    }
  };
  await Promise.all(Array.from({length: width}, lane));
  return results;
}

// ---- The composer's reach -------------------------------------------------

const counterValues = Array.from({length: 256}, (_, v) => v);
const tables = await inTurn(counterValues.map((v) => async () =>
  (await run(tool, ['tune', '--counters', `${v},${v},${v}`])).stdout), 6);

// The presets one table selects, with the (key, velocity) pairs each one
// sounds: "bank:program" -> Set of key * 128 + velocity. Channel 9 is the
// drum kit, bank 128.
function reachOf(table) {
  const program = new Array(16).fill(0);
  const reach = new Map();
  for (const line of table.trim().split('\n')) {
    const message = parseInt(line.split(' ')[2], 16);
    const status = message & 0xff, data1 = (message >> 8) & 0xff, data2 = (message >> 16) & 0xff;
    const channel = status & 0x0f;
    if ((status & 0xf0) === 0xc0) program[channel] = data1;
    if ((status & 0xf0) !== 0x90 || data2 === 0) continue;
    const preset = `${channel === 9 ? 128 : 0}:${program[channel]}`;
    if (!reach.has(preset)) reach.set(preset, new Set());
    reach.get(preset).add(data1 * 128 + data2);
  }
  return reach;
}

const reaches = tables.map(reachOf);
const reach = new Map();
for (const one of reaches) {
  for (const [preset, notes] of one) {
    if (!reach.has(preset)) reach.set(preset, new Set());
    for (const note of notes) reach.get(preset).add(note);
  }
}

// ---- The cache -------------------------------------------------------------

const font = statSync(fullFont);
const key = createHash('sha256')
  .update(tables.join('|'))
  .update(`${fullFont} ${font.size} ${font.mtimeMs}`)
  .update(readFileSync(new URL(import.meta.url)))
  .digest('hex');
const keyFile = output + '.key';
if (existsSync(output) && existsSync(keyFile) && readFileSync(keyFile, 'utf8') === key) {
  console.log(`cut-font: ${output} is up to date`);
  process.exit(0);
}

// ---- Reading and writing the font -----------------------------------------

// The chunks of a RIFF list's body: {id, body} in file order.
function chunks(bytes) {
  const result = [];
  for (let at = 0; at + 8 <= bytes.length;) {
    const size = bytes.readUInt32LE(at + 4);
    result.push({id: bytes.toString('latin1', at, at + 4), body: bytes.subarray(at + 8, at + 8 + size)});
    at += 8 + size + (size & 1);
  }
  return result;
}

function chunk(id, body) {
  const head = Buffer.alloc(8);
  head.write(id, 0, 'latin1');
  head.writeUInt32LE(body.length, 4);
  return Buffer.concat([head, body, Buffer.alloc(body.length & 1)]);
}

const list = (type, parts) => chunk('LIST', Buffer.concat([Buffer.from(type, 'latin1'), ...parts]));

// Records of a fixed size, as plain objects, the terminal record included.
function records(body, size, read) {
  const result = [];
  for (let at = 0; at + size <= body.length; at += size) result.push(read(body.subarray(at, at + size)));
  return result;
}

const whole = readFileSync(fullFont);
if (whole.toString('latin1', 0, 4) !== 'RIFF' || whole.toString('latin1', 8, 12) !== 'sfbk') {
  throw new Error(`${fullFont} is not a SoundFont 2 file`);
}
const lists = {};
for (const c of chunks(whole.subarray(12, 8 + whole.readUInt32LE(4)))) {
  if (c.id === 'LIST') lists[c.body.toString('latin1', 0, 4)] = c.body.subarray(4);
}
const sdta = Object.fromEntries(chunks(lists.sdta).map((c) => [c.id, c.body]));
const pdta = Object.fromEntries(chunks(lists.pdta).map((c) => [c.id, c.body]));

const presets = records(pdta.phdr, 38, (r) => ({raw: r, program: r.readUInt16LE(20), bank: r.readUInt16LE(22),
  bag: r.readUInt16LE(24)}));
const instruments = records(pdta.inst, 22, (r) => ({raw: r, bag: r.readUInt16LE(20)}));
const bagsOf = (body) => records(body, 4, (r) => ({gen: r.readUInt16LE(0), mod: r.readUInt16LE(2)}));
const genOf = (body) => records(body, 4, (r) => ({raw: r, oper: r.readUInt16LE(0), amount: r.readUInt16LE(2)}));
const modOf = (body) => records(body, 10, (r) => ({raw: r}));
const samples = records(pdta.shdr, 46, (r) => ({raw: r, start: r.readUInt32LE(20), end: r.readUInt32LE(24),
  link: r.readUInt16LE(42), type: r.readUInt16LE(44)}));
const level = {
  preset: {bags: bagsOf(pdta.pbag), gens: genOf(pdta.pgen), mods: modOf(pdta.pmod), target: 41},
  instrument: {bags: bagsOf(pdta.ibag), gens: genOf(pdta.igen), mods: modOf(pdta.imod), target: 53},
};
const KEY_RANGE = 43, VELOCITY_RANGE = 44;

// The zones of a preset or instrument: their generators and modulators, the
// range they answer, and what they point at (none for a global zone).
function zonesOf(owners, i, {bags, gens, mods, target}) {
  const zones = [];
  for (let b = owners[i].bag; b < owners[i + 1].bag; b++) {
    const zone = {gens: gens.slice(bags[b].gen, bags[b + 1].gen), mods: mods.slice(bags[b].mod, bags[b + 1].mod),
      keys: [0, 127], velocities: [0, 127], target: null};
    for (const g of zone.gens) {
      if (g.oper === KEY_RANGE) zone.keys = [g.amount & 0xff, g.amount >> 8];
      if (g.oper === VELOCITY_RANGE) zone.velocities = [g.amount & 0xff, g.amount >> 8];
      if (g.oper === target) zone.target = g.amount;
    }
    zones.push(zone);
  }
  return zones;
}

const answers = (zone, notes) => [...notes].some((n) => {
  const note = n >> 7, velocity = n & 127;
  return note >= zone.keys[0] && note <= zone.keys[1] && velocity >= zone.velocities[0] &&
    velocity <= zone.velocities[1];
});

// Keeps the global zone and the zones some reached note sounds; `follow` is
// told which target each kept zone plays and the notes that reach it there.
const keptZones = (zones, notes, follow) => zones.filter((zone, z) => {
  if (zone.target === null) return z === 0;
  const sounding = new Set([...notes].filter((n) => answers(zone, [n])));
  if (sounding.size === 0) return false;
  follow(zone.target, sounding);
  return true;
});

const instrumentNotes = new Map();  // instrument index -> notes that reach it
const keptPresets = [];
presets.slice(0, -1).forEach((preset, p) => {
  const notes = reach.get(`${preset.bank}:${preset.program}`);
  if (!notes) return;
  const zones = keptZones(zonesOf(presets, p, level.preset), notes, (target, sounding) => {
    if (!instrumentNotes.has(target)) instrumentNotes.set(target, new Set());
    for (const n of sounding) instrumentNotes.get(target).add(n);
  });
  keptPresets.push({preset, zones});
});
if (keptPresets.length !== reach.size) throw new Error('the font lacks a preset the tune selects');

const sampleUse = new Set();
const keptInstruments = [...instrumentNotes.keys()].sort((a, b) => a - b).map((i) => ({
  instrument: instruments[i], index: i,
  zones: keptZones(zonesOf(instruments, i, level.instrument), instrumentNotes.get(i), (s) => sampleUse.add(s)),
}));

// Samples keep their data, the 46 points after each one too, so the
// synthesizer reads the very same values wherever it looks.
const keptSamples = [...sampleUse].sort((a, b) => a - b);
const newSample = new Map(keptSamples.map((s, i) => [s, i]));
const newInstrument = new Map(keptInstruments.map((k, i) => [k.index, i]));
const TAIL = 46;
const sampleParts = [], sm24Parts = [], headers = [];
let points = 0;
for (const s of keptSamples) {
  const sample = samples[s];
  const to = Math.min(sample.end + TAIL, sdta.smpl.length / 2);
  sampleParts.push(sdta.smpl.subarray(sample.start * 2, to * 2));
  if (sdta.sm24) sm24Parts.push(sdta.sm24.subarray(sample.start, to));
  const header = Buffer.from(sample.raw);
  const shift = points - sample.start;
  for (const at of [20, 24, 28, 32]) header.writeUInt32LE(header.readUInt32LE(at) + shift, at);
  // A stereo partner left out makes the sample mono; the synthesizer plays
  // each side on its own either way.
  if (sample.type & 0xe) {
    if (newSample.has(sample.link)) header.writeUInt16LE(newSample.get(sample.link), 42);
    else header.writeUInt16LE(0, 42), header.writeUInt16LE(1, 44);
  }
  headers.push(header);
  points += to - sample.start;
}
headers.push(samples[samples.length - 1].raw);

// Writes one level's headers, bags, generators and modulators; `retarget`
// maps a zone's target to its new index.
function writeLevel(kept, headerOf, terminal, target, retarget) {
  const out = {headers: [], bags: [], gens: [], mods: []};
  const bag = (gen, mod) => {
    const b = Buffer.alloc(4);
    b.writeUInt16LE(gen, 0);
    b.writeUInt16LE(mod, 2);
    return b;
  };
  for (const k of kept) {
    const header = Buffer.from(headerOf(k));
    header.writeUInt16LE(out.bags.length, header.length - (header.length === 38 ? 14 : 2));
    out.headers.push(header);
    for (const zone of k.zones) {
      out.bags.push(bag(out.gens.length, out.mods.length));
      for (const g of zone.gens) {
        const gen = Buffer.from(g.raw);
        if (g.oper === target) gen.writeUInt16LE(retarget(g.amount), 2);
        out.gens.push(gen);
      }
      for (const m of zone.mods) out.mods.push(m.raw);
    }
  }
  const end = Buffer.from(terminal);
  end.writeUInt16LE(out.bags.length, end.length - (end.length === 38 ? 14 : 2));
  out.headers.push(end);
  out.bags.push(bag(out.gens.length, out.mods.length));
  out.gens.push(Buffer.alloc(4));
  out.mods.push(Buffer.alloc(10));
  return out;
}

const p = writeLevel(keptPresets, (k) => k.preset.raw, presets[presets.length - 1].raw, 41,
  (i) => newInstrument.get(i));
const i = writeLevel(keptInstruments, (k) => k.instrument.raw, instruments[instruments.length - 1].raw, 53,
  (s) => newSample.get(s));
const cut = chunk('RIFF', Buffer.concat([
  Buffer.from('sfbk', 'latin1'),
  list('INFO', chunks(lists.INFO).map((c) => chunk(c.id, c.body))),
  list('sdta', [chunk('smpl', Buffer.concat(sampleParts)), ...(sdta.sm24 ? [chunk('sm24', Buffer.concat(sm24Parts))] : [])]),
  list('pdta', [
    chunk('phdr', Buffer.concat(p.headers)), chunk('pbag', Buffer.concat(p.bags)),
    chunk('pmod', Buffer.concat(p.mods)), chunk('pgen', Buffer.concat(p.gens)),
    chunk('inst', Buffer.concat(i.headers)), chunk('ibag', Buffer.concat(i.bags)),
    chunk('imod', Buffer.concat(i.mods)), chunk('igen', Buffer.concat(i.gens)),
    chunk('shdr', Buffer.concat(headers)),
  ]),
]));

// ---- The check -------------------------------------------------------------

// Orchestrations that together sound every preset with every note and
// velocity it is reached by, taken in counter order.
const covered = new Set();
const chosen = counterValues.filter((v) => {
  const fresh = [...reaches[v]].flatMap(([preset, notes]) => [...notes].map((n) => `${preset}/${n}`))
    .filter((sound) => !covered.has(sound));
  fresh.forEach((sound) => covered.add(sound));
  return fresh.length > 0;
});

const scratch = mkdtempSync(output + '.check-');
try {
  const candidate = join(scratch, 'cut.sf2');
  writeFileSync(candidate, cut);
  const render = (v, sf2, name) => async () => {
    const wav = join(scratch, `${name}-${v}.wav`);
    await run(tool, ['tune', '--counters', `${v},${v},${v}`, '--wav', wav, '--sound-font', sf2]);
    return wav;
  };
  for (const v of chosen) {
    const [full, mine] = await inTurn([render(v, fullFont, 'full'), render(v, candidate, 'cut')], 2);
    if (!readFileSync(full).equals(readFileSync(mine))) {
      throw new Error(`the cut font sounds different for counters ${v},${v},${v}`);
    }
    rmSync(full);
    rmSync(mine);
  }
  renameSync(candidate, output);
  writeFileSync(keyFile, key);
} finally {
  rmSync(scratch, {recursive: true, force: true});
}
console.log(`cut-font: ${output}: ${cut.length} bytes, ${reach.size} presets, ` +
  `${keptSamples.length} of ${samples.length - 1} samples; the same WAV from both fonts for counters ` +
  chosen.map((v) => `${v},${v},${v}`).join(' '));
