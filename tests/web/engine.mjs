// The page's engine under Node: the WebAssembly build of src/web, loaded as
// the page loads it.
import {readFileSync} from 'node:fs';
import {createRequire} from 'node:module';
import {join} from 'node:path';

const require = createRequire(import.meta.url);
export const root = new URL('../..', import.meta.url).pathname;
const engineFile = process.env.VZ_WEB_ENGINE || join(root, 'build-web/engine.js');
export const {EngineCalls, EngineRefusal} = require(join(root, 'web/engine-calls.js'));
export const render = process.env.VZ_RENDER || join(root, 'build/src/cli/vuzuduzi-render');
export const engine = await EngineCalls.load(require(engineFile), readFileSync(engineFile.replace(/\.js$/, '.wasm')));
