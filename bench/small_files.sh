#!/usr/bin/env bash
# The smaller files side by side with gifsicle -O3 on the exact files: the
# size of each, then the time of a whole 1000 x 1000 x 100 run with --small
# against the exact run and against gifsicle -O3 on the exact file.
#   bench/small_files.sh [RENDER_TOOL] [RUNS]
# RENDER_TOOL defaults to build/src/cli/vuzuduzi-render, RUNS (timed runs of
# each command, interleaved, medians quoted) to 3. Files go to a fresh
# folder in /dev/shm (or TMPDIR), removed at the end.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
tool="$(realpath "${1:-$here/build/src/cli/vuzuduzi-render}")"
runs="${2:-3}"
command -v gifsicle >/dev/null || { echo "small_files.sh: gifsicle is missing (tools/install-deps.sh)" >&2; exit 1; }
base="/dev/shm"
[ -d "$base" ] && [ -w "$base" ] || base="${TMPDIR:-/tmp}"
work="$(mktemp -d "$base/vz-small-XXXXXX")"
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }
# Seconds a command takes, its output thrown away.
seconds() {
  local start end
  start=$(now)
  "$@" >/dev/null
  end=$(now)
  calc "$end - $start"
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
size_of() { stat -c %s "$1"; }

echo "## Sizes (bytes)"
echo
echo "| file | exact | gifsicle -O3 | --small | --small / gifsicle |"
echo "|---|---:|---:|---:|---:|"
total_gifsicle=0
total_small=0
worst=0
cases=()
for pattern in 6152-320 7351-213 0918-031; do
  cases+=("$pattern 1000 100" "$pattern 323 3" "$pattern 240 24")
done
cases+=("6152-320 1000 100 --transparent" "6152-320 1000 100 --uncompressed")
for case in "${cases[@]}"; do
  read -r pattern size frames mode <<<"$case"
  name="$pattern ${size}x${frames}${mode:+ $mode}"
  exact="$work/exact.gif" small="$work/small.gif" squeezed="$work/gifsicle.gif"
  rm -f "$exact" "$small" "$squeezed"
  options=(gif --pattern "$pattern" --size "$size" --frames "$frames" ${mode:+"$mode"})
  "$tool" "${options[@]}" --output "$exact" >/dev/null
  "$tool" "${options[@]}" --output "$small" --small >/dev/null
  gifsicle -O3 "$exact" -o "$squeezed"
  g=$(size_of "$squeezed") s=$(size_of "$small")
  ratio=$(calc "$s / $g")
  printf '| %s | %d | %d | %d | %.3f |\n' "$name" "$(size_of "$exact")" "$g" "$s" "$ratio"
  total_gifsicle=$((total_gifsicle + g))
  total_small=$((total_small + s))
  worst=$(calc "($ratio > $worst) ? $ratio : $worst")
done
printf '| **sum** | | %d | %d | %.3f |\n' "$total_gifsicle" "$total_small" "$(calc "$total_small / $total_gifsicle")"
printf '\nLargest single ratio: %.3f\n\n' "$worst"

echo "## Time of 7351-213 at 1000 x 1000 x 100 (seconds, median of $runs)"
echo
run=(gif --pattern 7351-213 --size 1000 --frames 100)
"$tool" "${run[@]}" --output "$work/exact.gif" >/dev/null
exact_times=() small_times=() gifsicle_times=()
for ((i = 0; i < runs; ++i)); do
  rm -f "$work/e.gif" "$work/s.gif" "$work/g.gif"
  exact_times+=("$(seconds "$tool" "${run[@]}" --output "$work/e.gif")")
  small_times+=("$(seconds "$tool" "${run[@]}" --output "$work/s.gif" --small)")
  gifsicle_times+=("$(seconds gifsicle -O3 "$work/exact.gif" -o "$work/g.gif")")
done
e=$(printf '%s\n' "${exact_times[@]}" | median)
s=$(printf '%s\n' "${small_times[@]}" | median)
g=$(printf '%s\n' "${gifsicle_times[@]}" | median)
echo "| run | seconds | --small / it |"
echo "|---|---:|---:|"
printf '| exact run, all cores | %.2f | %.2f |\n' "$e" "$(calc "$s / $e")"
printf '| gifsicle -O3 on the exact file | %.2f | %.3f |\n' "$g" "$(calc "$s / $g")"
printf '| --small run, all cores | %.2f | |\n' "$s"
