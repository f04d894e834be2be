#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test the program.
# Only packages that are missing are installed; re-running is cheap.
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config
  # window
  qt6-base-dev libgl-dev fonts-liberation2
  # sound: synthesizer and General MIDI sound fonts
  libfluidsynth-dev fluid-soundfont-gm timgm6mb-soundfont
  # desktop tests: pointer and keys, window titles, a screen reader's view on a bus of their own
  xdotool x11-utils python3 python3-gi gir1.2-atspi-2.0 at-spi2-core dbus
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev libgif-dev libcgif-dev
  xvfb xauth
)

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
