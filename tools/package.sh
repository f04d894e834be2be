#!/usr/bin/env bash
# Makes the Debian package: a Release build of the two programs in its own
# build folder (build-package/, or $VZ_PACKAGE_BUILD_DIR), then exactly one
# dist/vuzuduzi-2_<version>_<arch>.deb. Run it as yourself; sudo is asked for
# only when Debian packages are missing.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$here/tools/configure.sh"
build="${VZ_PACKAGE_BUILD_DIR:-$here/build-package}"

# Debian's hardening flags (stack protector, fortified functions, full RELRO,
# immediate binding); the project's own flags come after and keep the
# pattern arithmetic exact.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
vz_configure "$here" "$build" --packaging -- \
  -DVZ_BUILD_TESTS=OFF -DVZ_BUILD_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr \
  "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" --parallel

rm -rf "$build/cpack"
(cd "$build" && cpack -G DEB -B "$build/cpack")
debs=("$build"/cpack/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package.sh: expected one .deb in $build/cpack, found: ${debs[*]}" >&2
  exit 1
fi
mkdir -p "$here/dist"
rm -f "$here"/dist/*.deb
cp "${debs[0]}" "$here/dist/"
echo "dist/$(basename "${debs[0]}")"
