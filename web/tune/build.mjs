// Writes the About tune's files beside the page:
//   tune.js       the cut sound font (sf3: its samples compressed), as base64
//                 text in `vzTuneFont`
//   synth.js      the synthesizer worker's source as text in `vzSynthSource`:
//                 FluidSynth with libsndfile (libfluidsynth of
//                 js-synthesizer, unchanged), js-synthesizer, synth-worker.js
//   LGPL-2.1.txt  FluidSynth's licence
// Both are plain scripts, since a page opened from the file system may load
// scripts but not fetch.
//   node web/tune/build.mjs FONT JS_SYNTHESIZER_PACKAGE DIST
import {copyFileSync, readFileSync, writeFileSync} from 'node:fs';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';

const [font, synthesizer, dist] = process.argv.slice(2);
const here = dirname(fileURLToPath(import.meta.url));
const version = JSON.parse(readFileSync(join(synthesizer, 'package.json'), 'utf8')).version;
const fluidsynth = 'libfluidsynth-2.3.0-with-libsndfile.js';

writeFileSync(join(dist, 'tune.js'),
  '// The sound font of the About tune: FluidR3_GM (Frank Wen, MIT licence), cut to\n' +
  '// the presets, notes and velocities the tune reaches, its samples in Ogg Vorbis.\n' +
  'var vzTuneFont = "' + readFileSync(font).toString('base64') + '";\n');

// The worker runs it all in one function, where libfluidsynth's `Module` is
// what js-synthesizer finds; `fetch` is hidden there so that the WebAssembly
// inside libfluidsynth is read from its data URL, not fetched.
const source = [
  '(function () {\nvar fetch;\n',
  readFileSync(join(synthesizer, 'externals', fluidsynth), 'utf8'),
  readFileSync(join(synthesizer, 'dist', 'js-synthesizer.min.js'), 'utf8').replace(/\n\/\/# sourceMappingURL=.*$/, ''),
  readFileSync(join(here, 'synth-worker.js'), 'utf8'),
  '})();\n',
].join('\n;\n');
writeFileSync(join(dist, 'synth.js'),
  `// The About tune's synthesizer, run by the page as a worker from this text:\n` +
  `// ${fluidsynth} of the npm package js-synthesizer ${version} unchanged\n` +
  '// (FluidSynth 2.3.0 with libsndfile, libogg, libvorbis, FLAC and Opus, in\n' +
  '// WebAssembly; FluidSynth and libsndfile under the GNU LGPL 2.1: LGPL-2.1.txt;\n' +
  '// the source is at https://github.com/jet2jet/fluidsynth-emscripten), then js-synthesizer itself\n' +
  '// (BSD-3-Clause) and the page\'s worker. To use another build of the library,\n' +
  '// rebuild this file with web/tune/build.mjs from a package that holds it.\n' +
  'var vzSynthSource = ' + JSON.stringify(source) + ';\n');
copyFileSync(join(synthesizer, 'externals', 'LICENSE.fluidsynth.txt'), join(dist, 'LGPL-2.1.txt'));
