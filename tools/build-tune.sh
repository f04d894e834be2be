#!/usr/bin/env bash
# Builds the About tune's files beside the page (see web/tune/build.mjs):
# cuts the sound font to what the tune reaches and checks that the batch tool
# renders the same WAV from both (tools/cut-font.mjs, kept in BUILD while
# nothing it reads changes), compresses its samples (sf3), then writes
# tune.js, synth.js and LGPL-2.1.txt.
#   build-tune.sh BUILD DIST
# Environment: VZ_RENDER (the batch tool; else tools/render-tool.sh makes
# one), VZ_WEB_MODULES (the npm packages; default web/node_modules).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=$1 dist=$2
modules="${VZ_WEB_MODULES:-web/node_modules}"
if [ ! -f "$modules/js-synthesizer/package.json" ]; then
  packages="$(dirname "$modules")"
  mkdir -p "$packages"
  [ -f "$packages/package.json" ] || cp web/package.json web/package-lock.json "$packages/"
  (cd "$packages" && npm ci --no-audit --no-fund --loglevel=error)
fi
render="${VZ_RENDER:-$(bash tools/render-tool.sh)}"
mkdir -p "$build/tune" "$dist"
node tools/cut-font.mjs "$render" /usr/share/sounds/sf2/FluidR3_GM.sf2 "$build/tune/font.sf2"
# The sf3 is a fifth of the sf2's size (5.8 MB of files against 26.4 MB), and
# a busy two-core machine loads it in time; it renders about 1 dB quieter.
# A fixed Ogg serial number keeps the build reproducible.
if [ ! -f "$build/tune/font.sf3" ] || [ "$build/tune/font.sf2" -nt "$build/tune/font.sf3" ]; then
  sf3convert -z -S 1 "$build/tune/font.sf2" "$build/tune/font.sf3.part" >"$build/tune/sf3convert.log" 2>&1 \
    || { cat "$build/tune/sf3convert.log" >&2; exit 1; }
  mv "$build/tune/font.sf3.part" "$build/tune/font.sf3"
fi
node web/tune/build.mjs "$build/tune/font.sf3" "$modules/js-synthesizer" "$dist"
