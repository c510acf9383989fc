#!/usr/bin/env bash
# Installs a built Tallowin the two ways a user does and checks each:
#  1. `cmake --install` into a temporary DESTDIR: every file in its place,
#     desktop-file-validate and appstreamcli accept the menu entry and the
#     description, and the installed launcher finds its window program;
#  2. the Debian package: built with CPack, installed with apt-get, run
#     (--version, --report on a small tree), removed again.
# The package step changes the real system: it needs root (or sudo) and
# refuses to run when a tallowin package is already installed. It removes the
# package again however it ends.
# Usage: package_test.sh BUILD_DIR   (a configured and built build folder)
set -euo pipefail
build=$(cd "${1:?usage: package_test.sh BUILD_DIR}" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
work=$(mktemp -d)
installed_here=
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

cleanup() {
  if [ -n "$installed_here" ]; then
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq tallowin >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Checks `PROGRAM --version` and `PROGRAM --report` on a small tree.
check_runs() {
  local program=$1
  [ "$("$program" --version)" = "tallowin $version" ] || fail "$program --version"
  local tree=$work/tree
  mkdir -p "$tree/sub"
  head -c 2000000 /dev/zero >"$tree/sub/f"
  local report
  report=$("$program" --report "$tree")
  [ "$report" = "$tree
           2 MB  sub
             2 MB  [FILES]" ] || fail "$program --report printed: $report"
  # The window program is found from the installed launcher: without a
  # display it answers with its own line, not the launcher's 127.
  local status=0 line
  line=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" 2>&1) || status=$?
  [ "$status" -eq 1 ] && [ "$line" = "tallowin: cannot open a window: no display; for a text report use: tallowin --report PATH" ] \
    || fail "$program without a display: status $status, $line"
}

echo "== cmake --install into a temporary DESTDIR =="
dest=$work/destdir
DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
for f in bin/tallowin libexec/tallowin/tallowin-window \
         share/applications/org.tallowin.Tallowin.desktop \
         share/icons/hicolor/scalable/apps/tallowin.svg \
         share/metainfo/org.tallowin.Tallowin.metainfo.xml \
         share/man/man1/tallowin.1.gz; do
  [ -f "$dest/usr/$f" ] || fail "not installed: /usr/$f"
done
desktop-file-validate "$dest/usr/share/applications/org.tallowin.Tallowin.desktop"
appstreamcli validate --no-net "$dest/usr/share/metainfo/org.tallowin.Tallowin.metainfo.xml"
# The manual page is well-formed troff: no warnings.
[ -z "$(zcat "$dest/usr/share/man/man1/tallowin.1.gz" | LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z 2>&1)" ] \
  || fail "groff warns about tallowin.1"
check_runs "$dest/usr/bin/tallowin"
echo "installed files valid"

echo "== the Debian package =="
if dpkg-query -W -f='${Status}' tallowin 2>/dev/null | grep -q "install ok installed"; then
  fail "a tallowin package is installed already; remove it first (this test removes its own)"
fi
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$work/package/tallowin_${version}_amd64.deb
[ -f "$deb" ] || fail "no $deb; made: $(ls "$work/package")"
dpkg-deb -f "$deb" Depends
installed_here=1
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
[ "$(command -v tallowin)" = /usr/bin/tallowin ] || fail "tallowin is not /usr/bin/tallowin"
check_runs /usr/bin/tallowin
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq tallowin >/dev/null
installed_here=
[ ! -e /usr/bin/tallowin ] && [ ! -e /usr/libexec/tallowin ] || fail "files left after removal"
echo "package installed, ran and removed"
