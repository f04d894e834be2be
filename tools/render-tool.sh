#!/usr/bin/env bash
# Prints the path of a batch tool built from this tree, building it first:
# the test build's when there is one, else one of its own without the window.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
if [ -f build/CMakeCache.txt ]; then
  cmake --build build --parallel 2 --target vuzuduzi-render >&2
  echo "$PWD/build/src/cli/vuzuduzi-render"
else
  cmake -S . -B build-web/native -G Ninja -DVZ_BUILD_APP=OFF -DVZ_BUILD_TESTS=OFF -DVZ_BUILD_BENCH=OFF >&2
  cmake --build build-web/native --parallel 2 --target vuzuduzi-render >&2
  echo "$PWD/build-web/native/src/cli/vuzuduzi-render"
fi
