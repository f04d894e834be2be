#!/usr/bin/env bash
# The page's tests, which ctest runs as its test "web": builds the page, then
# runs its tests under Node (the engine's bytes and a link's rules against the
# batch tool) and in headless Chromium (the built page opened from the file
# system).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

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
(cd web && npm ci --no-audit --no-fund --loglevel=error)
node --test tests/web/
