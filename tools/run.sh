#!/usr/bin/env bash
# Installs whatever is missing, builds the program and starts it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/tools/install-deps.sh"
build="${VZ_BUILD_DIR:-$here/build}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" --parallel --target vuzuduzi-2
exec "$build/src/app/vuzuduzi-2" "$@"
