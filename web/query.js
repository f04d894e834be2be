// A link's query as the batch tool reads its options: frames, size, pattern
// and reference take values (whole numbers in range, a DDDD-PPP code);
// uncompressed and transparent are flags, on when present. A bad value gives
// the batch tool's reason, and then nothing is filled.
'use strict';

const LIMITS = {frames: [1, 100], size: [10, 1000], reference: [10, 1000]};
const VALUE_NAMES = {frames: 'N', size: 'S', reference: 'M', pattern: 'DDDD-PPP'};
const missing = (name) => `--${name}: 1 required ${VALUE_NAMES[name]} missing (see --help)`;

// As std::from_chars reads an int: an optional minus, decimal digits, and
// nothing else; then the range.
function wholeNumber(name, text, low, high) {
  if (/^-?[0-9]+$/.test(text)) {
    const value = Number(text);
    if (value >= low && value <= high) return {value};
  }
  return {problem: `--${name}: expected a whole number ${low}..${high}, got '${text}'`};
}

function readQuery(search) {
  const params = new URLSearchParams(search);
  const form = {};
  for (const name of ['frames', 'size', 'reference']) {
    if (!params.has(name)) continue;
    if (params.get(name) === '') return {problem: missing(name)};
    const [low, high] = LIMITS[name];
    const number = wholeNumber(name, params.get(name), low, high);
    if (number.problem) return {problem: number.problem};
    form[name] = number.value;
  }
  if (params.has('pattern')) {
    const code = params.get('pattern');
    if (code === '') return {problem: missing('pattern')};
    if (!/^[0-9]{4}-[0-3]{3}$/.test(code))
      return {problem: `--pattern: expected DDDD-PPP (digits 0-9, powers 0-3), got '${code}'`};
    form.pattern = code;
  }
  if (params.has('uncompressed')) form.uncompressed = true;
  if (params.has('transparent')) form.transparent = true;
  return {form};
}

// The query that makes the same picture again.
function queryOf(run) {
  const params = new URLSearchParams();
  params.set('frames', run.frames);
  params.set('size', run.size);
  params.set('pattern', run.pattern);
  if (run.reference !== run.size) params.set('reference', run.reference);
  let query = '?' + params.toString();
  if (!run.compressed) query += '&uncompressed';
  if (run.transparent) query += '&transparent';
  return query;
}

if (typeof module !== 'undefined') module.exports = {readQuery, queryOf};
