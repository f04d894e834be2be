#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test the program.
# Only packages that are missing are installed; re-running is cheap.
# VZ_DEPS_GROUPS="fuzz" adds the packages of the extra groups named.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config libcli11-dev
  # window
  qt6-base-dev libgl-dev fonts-liberation2
  # sound: synthesizer and General MIDI sound fonts
  libfluidsynth-dev fluid-soundfont-gm timgm6mb-soundfont
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev libgif-dev libcgif-dev
  xvfb xauth
)
for group in ${VZ_DEPS_GROUPS:-}; do
  case "$group" in
    # fuzz targets: clang with libFuzzer; -fsanitize=fuzzer links the
    # runtime from libclang-rt-14-dev
    fuzz) PACKAGES+=(clang-14 libclang-rt-14-dev libfuzzer-14-dev) ;;
    *) echo "install-deps.sh: unknown group '$group'" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
