#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test the program.
# Only packages that are missing are installed; re-running is cheap.
# Run it as yourself: it calls sudo for apt-get, and only when something is
# missing. As root (CI) it calls apt-get directly.
#
#   install-deps.sh              build, run and test
#   install-deps.sh --packaging  the same, plus what tools/package.sh and
#                                tools/check-package.sh need
#   install-deps.sh --fuzz       the same, plus clang and libFuzzer for
#                                tools/ci-fuzz.sh
#   install-deps.sh --web        the same, plus emscripten, Node.js with npm
#                                and Chromium for tools/build-web.sh and
#                                tools/ci-web.sh
set -euo pipefail

PACKAGES=(
  # build
  build-essential cmake ninja-build pkg-config libcli11-dev
  # window
  qt6-base-dev libgl-dev fonts-liberation2
  # the window's English translation: lupdate and lrelease, and CMake's LinguistTools
  qt6-l10n-tools qt6-tools-dev
  # sound: synthesizer and General MIDI sound fonts
  libfluidsynth-dev fluid-soundfont-gm timgm6mb-soundfont
  # desktop tests: pointer and keys, window titles, a screen reader's view on a bus of their own
  xdotool x11-utils python3 python3-gi gir1.2-atspi-2.0 at-spi2-core dbus
  # screenshots of the screen under Xvfb (desktop_test.py --shots, the README's pictures)
  imagemagick
  # a slow disk for the desktop tests: every sync delayed
  strace
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev libgif-dev libcgif-dev
  # the compositor's check against Pillow's canvases; the smaller files' yardstick in bench/
  python3-pil python3-numpy gifsicle
  xvfb xauth
)

PACKAGING=(
  # the .deb: dpkg-shlibdeps and dpkg-buildflags, file for CPack's stripping
  dpkg-dev file
  # checks of the package and its data files
  lintian desktop-file-utils appstream
)

FUZZ=(
  # fuzz targets: -fsanitize=fuzzer links clang's runtime from libclang-rt-14-dev
  clang-14 libclang-rt-14-dev libfuzzer-14-dev
)

WEB=(
  # the page: Debian's emscripten (its acorn comes with it), Node.js for the
  # tests, Chromium for the headless page test, the About tune's sound font
  # compressor
  emscripten nodejs chromium sf3convert
)

for arg in "$@"; do
  case "$arg" in
    --packaging) PACKAGES+=("${PACKAGING[@]}") ;;
    --fuzz) PACKAGES+=("${FUZZ[@]}") ;;
    --web)
      PACKAGES+=("${WEB[@]}")
      # A Node.js that brings its own npm has no Debian npm beside it.
      command -v npm >/dev/null || PACKAGES+=(npm)
      ;;
    *) echo "install-deps.sh: unknown argument '$arg' (known: --packaging, --fuzz, --web)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps.sh: installing ${missing[*]}" >&2
SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "install-deps.sh: these Debian packages are missing and sudo is not available;" >&2
    echo "as root, run: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  SUDO=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
# Wait for another apt-get or an unattended upgrade rather than failing at once.
"${SUDO[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}"
