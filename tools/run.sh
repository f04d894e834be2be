#!/usr/bin/env bash
# Installs whatever is missing, builds the program and starts it. Run it as
# yourself; sudo is asked for only when Debian packages are missing.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/tools/configure.sh"
build="${VZ_BUILD_DIR:-$here/build}"
vz_configure "$here" "$build"
cmake --build "$build" --parallel --target vuzuduzi-2
exec "$build/src/app/vuzuduzi-2" "$@"
