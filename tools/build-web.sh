#!/usr/bin/env bash
# Builds the page into dist/web/: index.html, one file that holds the engine
# in WebAssembly, its workers and its words, and opens straight from the file
# system; beside it what a host serves for installing the page and using it
# offline (manifest, icons, service worker). The folder can be copied to any
# static web host.
#
#   build-web.sh            install what is missing, build the engine with
#                           CMake and emscripten into build-web/, then
#                           put the page together in dist/web/
# Environment: VZ_WEB_BUILD (default build-web), VZ_WEB_DIST (dist/web).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash tools/install-deps.sh --web

build="${VZ_WEB_BUILD:-build-web}"
dist="${VZ_WEB_DIST:-dist/web}"
mkdir -p "$build" "$dist"
# Debian's emscripten finds its acorn module only through NODE_PATH.
export NODE_PATH=/usr/share/nodejs
# (Every system library the engine links is prebuilt in Debian's cache, so
# the build only reads it and works as any user.)

# The engine: the same library targets as the native build, compiled by
# emscripten (src/web/CMakeLists.txt), into $build/engine.js.
emcmake cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVZ_WERROR="${VZ_WERROR:-OFF}" >/dev/null
cmake --build "$build" --target vz_engine

# Files that sit beside the page are made here, before the assembling, which
# lists every file of the folder for the service worker to keep.
bash tools/build-tune.sh "$build" "$dist"

node web/assemble.mjs "$build/engine.js" "$dist"
echo "build-web.sh: $dist/index.html"
