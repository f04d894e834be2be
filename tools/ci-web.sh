#!/usr/bin/env bash
# The page's tests, which ctest runs as its test "web": builds the page, then
# runs its tests under Node (the engine's bytes, a link's rules and the tune
# against the batch tool) and in headless Chromium (the built page opened from
# the file system, and served by a local host, then offline).
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

bash tools/install-deps.sh --web

# The batch tool the bytes are compared with and the tune's font is cut by:
# the one given (ctest gives its build's), else tools/render-tool.sh's.
export VZ_RENDER="${VZ_RENDER:-$(bash tools/render-tool.sh)}"

# The packages, exactly as locked: the page's synthesizer and the tests'.
packages=web
[ -n "${VZ_WEB_OUT:-}" ] && packages="$VZ_WEB_OUT/npm"
(cd "$packages" && npm ci --no-audit --no-fund --loglevel=error)

bash tools/build-web.sh
node --test tests/web/
