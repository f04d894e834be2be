#!/usr/bin/env bash
# Checks the package that tools/package.sh left in dist/: lintian, the
# desktop entry and AppStream validators, then installs it with apt-get,
# runs both programs, removes it and checks that nothing of it is left.
# Installing needs root: as root (CI) apt-get is called directly, otherwise
# through sudo. A vuzuduzi-2 package installed before is replaced and removed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/tools/install-deps.sh" --packaging

fail() { echo "check-package.sh: $*" >&2; exit 1; }
step() { echo "== $*"; }

debs=("$here"/dist/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected exactly one .deb in dist/ (run tools/package.sh), found: ${debs[*]}"
deb="${debs[0]}"
package="$(dpkg-deb -f "$deb" Package)"
version="$(dpkg-deb -f "$deb" Version)"
[ "$(basename "$deb")" = "${package}_${version}_$(dpkg-deb -f "$deb" Architecture).deb" ] ||
  fail "$(basename "$deb") is not named <package>_<version>_<arch>.deb"

work="$(mktemp -d)"
installed=0
# A failed check removes the package it installed, then the scratch folder.
cleanup() {
  [ "$installed" -eq 1 ] && apt_get remove "$package" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

step "lintian $(basename "$deb")"
# Errors and warnings fail the check; informational tags are shown.
lintian --fail-on error,warning --info --display-info "$deb"

step "contents"
dpkg-deb -x "$deb" "$work/root"
expected=(
  usr/bin/vuzuduzi-2 usr/bin/vuzuduzi-render
  usr/share/applications/vuzuduzi-2.desktop
  usr/share/icons/hicolor/scalable/apps/vuzuduzi-2.svg
  usr/share/metainfo/org.example.vuzuduzi2.metainfo.xml
  usr/share/man/man1/vuzuduzi-2.1.gz usr/share/man/man1/vuzuduzi-render.1.gz
  usr/share/doc/vuzuduzi-2/copyright usr/share/doc/vuzuduzi-2/changelog.gz
)
for size in 16 32 48 64 128 256; do
  icon="usr/share/icons/hicolor/${size}x${size}/apps/vuzuduzi-2.png"
  expected+=("$icon")
  [ -f "$work/root/$icon" ] && [ "$(file -b "$work/root/$icon" | grep -o '[0-9]* x [0-9]*')" = "$size x $size" ] ||
    fail "$icon is missing or not $size x $size pixels"
done
for path in "${expected[@]}"; do
  [ -f "$work/root/$path" ] || fail "/$path is missing from the package"
done
echo "${#expected[@]} files in place"

step "desktop entry and AppStream metadata"
desktop_files=("$work"/root/usr/share/applications/*.desktop)
metainfo_files=("$work"/root/usr/share/metainfo/*.metainfo.xml)
[ -f "${desktop_files[0]}" ] || fail "no desktop entry in the package"
[ -f "${metainfo_files[0]}" ] || fail "no AppStream metainfo in the package"
desktop-file-validate "${desktop_files[@]}"
appstreamcli validate --no-net "${metainfo_files[@]}"

SUDO=()
[ "$(id -u)" -eq 0 ] || SUDO=(sudo)
apt_get() { "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -qq "$@"; }

step "install with apt-get"
installed=1
apt_get install "$deb"
dpkg-query -W -f='${Status}\n' "$package" | grep -qx "install ok installed" || fail "$package is not installed"
dpkg-query -L "$package" > "$work/files"
for program in /usr/bin/vuzuduzi-2 /usr/bin/vuzuduzi-render; do
  [ -x "$program" ] || fail "$program is not installed"
  if ldd "$program" | grep -q "not found"; then ldd "$program" >&2; fail "$program misses libraries"; fi
done

step "run the installed programs"
shown="$(vuzuduzi-render --version)" || fail "vuzuduzi-render --version failed"
echo "$shown"
[[ "$shown" == *"$version"* ]] || fail "vuzuduzi-render --version says '$shown', the package is $version"
vuzuduzi-render gif --output "$work/small.gif" --frames 2 --size 40 --pattern 1234-012 ||
  fail "vuzuduzi-render gif failed"
[ "$(head -c 6 "$work/small.gif")" = "GIF89a" ] || fail "small.gif does not begin with GIF89a"
[ "$(tail -c 1 "$work/small.gif" | od -An -tx1 | tr -d ' ')" = "3b" ] || fail "small.gif does not end with the trailer"
# The window, on Qt's offscreen platform with settings in a scratch folder:
# it must start and still be running after three seconds.
status=0
XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen timeout 3 vuzuduzi-2 || status=$?
[ "$status" -eq 124 ] || fail "vuzuduzi-2 ended with status $status instead of running"

step "remove with apt-get"
apt_get remove "$package"
installed=0
dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q "ok installed" && fail "$package is still installed"
left=0
while read -r path; do
  if [ -e "$path" ] && [ ! -d "$path" ]; then echo "left behind: $path" >&2; left=1; fi
done < "$work/files"
[ "$left" -eq 0 ] || fail "files of $package were left behind"
step "package $(basename "$deb") is good"
