#!/usr/bin/env bash
# CI stage: builds the fuzz targets of tests/fuzz with clang and libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs each one for a
# bounded time from its seed corpus. Any crash, sanitizer report, leak or
# broken check fails the stage; the input that did it is kept in
# <build>/artifacts and printed in hex.
#   VZ_FUZZ_SECONDS  seconds per target (default 60)
#   VZ_FUZZ_BUILD_DIR  build folder (default build-fuzz)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/tools/configure.sh"
build="${VZ_FUZZ_BUILD_DIR:-$here/build-fuzz}"
seconds="${VZ_FUZZ_SECONDS:-60}"
targets=(render_tool lzw_encoder small_frames settings tune_counters)

sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
CC=clang-14 CXX=clang++-14 vz_configure "$here" "$build" --fuzz -- -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVZ_BUILD_APP=OFF -DVZ_BUILD_TESTS=OFF -DVZ_BUILD_BENCH=OFF -DVZ_BUILD_FUZZ=ON -DVZ_WERROR=ON \
  -DCMAKE_CXX_FLAGS="$sanitize -fsanitize=fuzzer-no-link" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize"
cmake --build "$build" --parallel "${VZ_JOBS:-$(nproc)}" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export QT_QPA_PLATFORM=offscreen

failed=0
summary=""
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"  # grows from run to run; the seeds stay as they are
  artifacts="$build/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  options=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$artifacts/")
  [ -f "$here/tests/fuzz/$target.dict" ] && options+=(-dict="$here/tests/fuzz/$target.dict")
  echo "== fuzz_$target for ${seconds} s"
  log="$build/fuzz_$target.log"
  # Each target runs in a folder of its own, so that nothing it might write
  # lands in the source tree.
  status=0
  (cd "$artifacts" && "$build/tests/fuzz/fuzz_$target" "${options[@]}" "$corpus" "$here/tests/fuzz/corpus/$target") \
    > "$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  summary+="fuzz_$target: ${runs:-?} inputs in ${seconds} s, "
  if [ "$status" -ne 0 ]; then
    failed=1
    summary+="FAILED (status $status)"$'\n'
    tail -n 60 "$log"
    for crash in "$artifacts"/*; do
      [ -f "$crash" ] && { echo "-- $crash"; od -An -tx1 "$crash" | head -n 40; }
    done
  else
    summary+="nothing found"$'\n'
  fi
done
printf '%s' "$summary"
exit "$failed"
