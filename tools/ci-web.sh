#!/usr/bin/env bash
# The page's tests, which ctest runs as its test "web": builds the page, then
# runs its tests under Node (the engine's bytes and a link's rules against the
# batch tool) and in headless Chromium (the built page opened from the file
# system, and served by a local host, then offline).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# Everything it makes goes into VZ_WEB_OUT when that is set (ctest sets a
# folder in its build tree), so the source tree stays as it is.
if [ -n "${VZ_WEB_OUT:-}" ]; then
  mkdir -p "$VZ_WEB_OUT/npm"
  export VZ_WEB_BUILD="$VZ_WEB_OUT/build" VZ_WEB_DIST="$VZ_WEB_OUT/dist"
  export VZ_WEB_ENGINE="$VZ_WEB_BUILD/engine.js" VZ_WEB_PAGE="$VZ_WEB_DIST/index.html"
  export VZ_WEB_MODULES="$VZ_WEB_OUT/npm/node_modules"
  cp web/package.json web/package-lock.json "$VZ_WEB_OUT/npm/"
fi

bash tools/build-web.sh

# The batch tool the bytes are compared with: the one given (ctest gives its
# build's), the test build's, else one of its own without the window.
if [ -n "${VZ_RENDER:-}" ]; then
  :
elif [ -f build/CMakeCache.txt ]; then
  cmake --build build --parallel 2 --target vuzuduzi-render
  export VZ_RENDER="$PWD/build/src/cli/vuzuduzi-render"
else
  cmake -S . -B build-web/native -G Ninja -DVZ_BUILD_APP=OFF -DVZ_BUILD_TESTS=OFF -DVZ_BUILD_BENCH=OFF
  cmake --build build-web/native --parallel 2 --target vuzuduzi-render
  export VZ_RENDER="$PWD/build-web/native/src/cli/vuzuduzi-render"
fi

# The tests' packages, exactly as locked.
packages=web
[ -n "${VZ_WEB_OUT:-}" ] && packages="$VZ_WEB_OUT/npm"
(cd "$packages" && npm ci --no-audit --no-fund --loglevel=error)
node --test tests/web/
