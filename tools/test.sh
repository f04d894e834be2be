#!/usr/bin/env bash
# Installs whatever is missing, builds everything and runs every test through
# ctest. Run it as yourself; sudo is asked for only when Debian packages are
# missing. CI runs it as root.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/tools/configure.sh"
build="${VZ_BUILD_DIR:-$here/build}"
# VZ_WERROR=ON (as CI sets it) makes every compiler warning an error.
# The page's test needs emscripten, Node.js and Chromium too (--web).
vz_configure "$here" "$build" --web -- "-DVZ_WERROR=${VZ_WERROR:-OFF}"
cmake --build "$build" --parallel
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
