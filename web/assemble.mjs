// Puts the page together as one file: the style, the words, the page's
// script, and the workers' source (the engine's script with its WebAssembly
// packed in, and the worker's script) as a string the page turns into a
// Blob URL.
//   node web/assemble.mjs ENGINE_JS OUTPUT_HTML   (ENGINE_JS's .wasm beside it)
import {readFileSync, writeFileSync} from 'node:fs';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';
import {gzipSync} from 'node:zlib';
import {pageWords} from './words.mjs';

const [engineFile, outputFile] = process.argv.slice(2);
const here = dirname(fileURLToPath(import.meta.url));
const read = (name) => readFileSync(join(here, name), 'utf8');

// The author's addresses, as the engine writes them into every file.
const blocks = readFileSync(join(here, '..', 'src', 'gif', 'gif_blocks.h'), 'utf8');
const address = (name) => blocks.match(new RegExp(name + ' = "([^"]+)"'))[1];
const author = {web: address('kAuthorWebAddress'), email: address('kAuthorEmail')};

// The WebAssembly packed (gzip, in base64), and unpacked as the engine loads.
const wasm = gzipSync(readFileSync(engineFile.replace(/\.js$/, '.wasm')), {level: 9});
const workerSource = ['const ENGINE_WASM = "' + wasm.toString('base64') + '";', readFileSync(engineFile, 'utf8'),
                      read('engine-calls.js'), read('worker.js')].join('\n;\n');
// Inside an inline script "</" could end the element; "<\/" means the same in JavaScript strings.
const inline = (code) => code.replace(/<\/(script)/gi, '<\\/$1');
const script = [
  'const WORKER_SOURCE = ' + JSON.stringify(workerSource).replace(/<\//g, '<\\/') + ';',
  'const AUTHOR = ' + JSON.stringify(author) + ';',
  pageWords(join(here, '..')),
  read('page.js'),
].map(inline).join('\n');

const page = read('index.html')
  .replace('/*STYLE*/', () => read('page.css'))
  .replace('/*SCRIPT*/', () => script);
writeFileSync(outputFile, page);
