// Puts the page together in its folder:
// - index.html, one file: the style, the words, the page's script, and the
//   workers' source (the engine's script with its WebAssembly packed in, and
//   the worker's script) as a string the page turns into a Blob URL;
// - the web app manifest and the icons it names;
// - last, the service worker, with the list of every file then in the folder
//   (the tune's files among them) and a version made from their bytes.
//   node web/assemble.mjs ENGINE_JS DIST_FOLDER   (ENGINE_JS's .wasm beside it)
import {createHash} from 'node:crypto';
import {copyFileSync, mkdirSync, readdirSync, readFileSync, writeFileSync} from 'node:fs';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';
import {gzipSync} from 'node:zlib';
import {pageWords} from './words.mjs';

const [engineFile, dist] = process.argv.slice(2);
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
  read('tune/player.js'),
  read('page.js'),
  read('offline.js'),
].map(inline).join('\n');

const page = read('index.html')
  .replace('/*STYLE*/', () => read('page.css'))
  .replace('/*SCRIPT*/', () => script);
writeFileSync(join(dist, 'index.html'), page);

const manifest = 'manifest.webmanifest';
copyFileSync(join(here, manifest), join(dist, manifest));
for (const {src} of JSON.parse(read(manifest)).icons) {
  mkdirSync(dirname(join(dist, src)), {recursive: true});
  copyFileSync(join(here, '..', 'resources', src), join(dist, src));
}

const serviceWorker = 'service-worker.js';
const filesIn = (folder) => readdirSync(join(dist, folder), {withFileTypes: true}).flatMap((entry) =>
  entry.isDirectory() ? filesIn(folder + entry.name + '/') : [folder + entry.name]);
const files = filesIn('').filter((file) => file !== serviceWorker).sort();
const version = createHash('sha256');
for (const file of files) version.update(file + '\0').update(readFileSync(join(dist, file)));
writeFileSync(join(dist, serviceWorker), read(serviceWorker)
  .replace('/*FILES*/[]', () => JSON.stringify(files))
  .replace('/*VERSION*/', () => version.digest('hex').slice(0, 16)));
