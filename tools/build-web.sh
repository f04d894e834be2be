#!/usr/bin/env bash
# Builds the page: dist/web/index.html, one file that holds the engine in
# WebAssembly, its workers and its words. It opens straight from the file
# system, and the folder can be copied to any static web host.
#
#   build-web.sh            install what is missing, build into build-web/
#                           and dist/web/
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

# The portable engine only: pattern arithmetic in double precision without
# contraction or fast-math, as in the native build, and no threads (a page
# from the file system is not cross-origin isolated, so it has no shared
# memory); each worker runs its own instance.
sources=(
  src/pattern/pattern_parameters.cpp src/pattern/rose_figure.cpp src/pattern/fast_sincos.cpp
  src/pattern/sine_palette.cpp
  src/gif/gif_blocks.cpp src/gif/lzw_encoder.cpp src/gif/uncompressed_layout.cpp
  src/run/run_values.cpp src/run/frame_makers.cpp
  src/run/frame_schedule.cpp src/run/progress_values.cpp src/run/repeat_rule.cpp src/run/stored_choices.cpp
  src/music/tune_composer.cpp src/cli/gif_options.cpp
  src/web/engine.cpp src/web/page_calls.cpp src/web/page_session.cpp src/web/page_store.cpp src/web/json_text.cpp
)
flags=(-std=c++20 -O2 -ffp-contract=off -fno-fast-math -Wall -Wextra -Isrc
       -include src/web/compat/bit_cast.h)
objects=()
for source in "${sources[@]}"; do
  object="$build/obj/${source//\//_}.o"
  mkdir -p "$build/obj"
  if [ ! -f "$object" ] || [ "$source" -nt "$object" ] || [ -n "$(find src -name '*.h' -newer "$object" -print -quit)" ]; then
    em++ "${flags[@]}" -c "$source" -o "$object"
  fi
  objects+=("$object")
done
# The engine's script and its WebAssembly beside it; the page holds the
# WebAssembly packed, and Node reads it from beside the script.
em++ -O2 "${objects[@]}" -o "$build/engine.js" \
  -sMODULARIZE=1 -sEXPORT_NAME=createEngine -sENVIRONMENT=web,worker,node \
  -sALLOW_MEMORY_GROWTH=1 -sFILESYSTEM=0 -sEXPORTED_RUNTIME_METHODS=UTF8ToString,stringToUTF8,lengthBytesUTF8 \
  -sEXPORTED_FUNCTIONS=_malloc,_free

node web/assemble.mjs "$build/engine.js" "$dist/index.html"
echo "build-web.sh: $dist/index.html"
