#!/usr/bin/env bash
# CI stage: every test of the ctest suite, window tests included (offscreen),
# built with AddressSanitizer and UndefinedBehaviorSanitizer in a build folder
# of its own. Any sanitizer report ends the process that made it with a
# failure, so it fails its test and this stage.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/tools/configure.sh"
build="${VZ_SANITIZE_BUILD_DIR:-$here/build-sanitize}"

# The test listing runs each test program during the build, so the options
# below must already hold there.
export QT_QPA_PLATFORM=offscreen
# Leaks count as failures, the window's included. tools/lsan.supp names the
# few outside libraries that keep memory until the process ends (with the
# reason for each); a leak in this program's own code still fails.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:exitcode=86:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export LSAN_OPTIONS="suppressions=$here/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=87"

sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
vz_configure "$here" "$build" -- -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVZ_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize" -DCMAKE_SHARED_LINKER_FLAGS="$sanitize"
cmake --build "$build" --parallel "${VZ_JOBS:-$(nproc)}"
cd "$build"
# The page's test checks WebAssembly, which these flags do not reach.
ctest --output-on-failure --parallel "$(nproc)" --timeout 1200 --label-exclude web
