#!/usr/bin/env bash
# The real window on a hostile tree: FIFOs, a socket, device nodes (when they
# can be made), link loops and links to /, names with a newline, invalid
# UTF-8 and 255 bytes, a chain 3,000 levels deep. The scan must end (Go
# enabled again, the root shown as a scanned drive), the root's pie must
# draw, and Escape must end the program with status 0.
# Usage: hostile_window_test.sh TALLOWIN E2E_PROBE
# Exit: 0 passed, 1 failed, 77 skipped (no X display or tools).
set -uo pipefail
bin=$1
probe=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_helpers.sh"
x_require_tools xdotool import python3 || exit 77

work=$(mktemp -d /tmp/te2e-hostile.XXXXXX)
shots="$work/shots"
tree="$work/tree"
mkdir -p "$shots" "$tree"
echo "screenshots in $shots"
app=
trap '[ -n "$app" ] && kill "$app" 2>/dev/null; rm -rf "$tree"' EXIT

mkdir "$tree/special" "$tree/links" "$tree/names"
mkfifo "$tree/special/fifo"
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$tree/special/sock"
mknod "$tree/special/tty" c 5 0 2>/dev/null && mknod "$tree/special/loop0" b 7 0 2>/dev/null \
  || echo "NOTE: no device nodes here (needs CAP_MKNOD)"
truncate -s 30M "$tree/special/data"
ln -s / "$tree/links/slash"
ln -s .. "$tree/links/up"
ln -s loop-b "$tree/links/loop-a"
ln -s loop-a "$tree/links/loop-b"
truncate -s 20M "$tree/links/data"
mkdir "$tree/names/$(printf 'new\nline')" "$tree/names/$(printf 'bad\xff\xfe')" \
      "$tree/names/$(printf 'n%.0s' $(seq 255))"
truncate -s 10M "$tree/names/$(printf 'bad\xff\xfe')/f"
python3 - "$tree/deep" <<'EOF'
import os, sys
os.mkdir(sys.argv[1])
fd = os.open(sys.argv[1], os.O_RDONLY)
for _ in range(3000):
    os.mkdir("d", dir_fd=fd)
    nxt = os.open("d", os.O_RDONLY, dir_fd=fd)
    os.close(fd)
    fd = nxt
leaf = os.open("leaf", os.O_WRONLY | os.O_CREAT, 0o644, dir_fd=fd)
os.ftruncate(leaf, 15_000_000)
os.close(leaf)
os.close(fd)
EOF

export QT_QPA_PLATFORM=xcb
"$bin" "$tree" >"$work/app.log" 2>&1 &
app=$!
wid=$(x_find_window '^Tallowin$') || fail "the main window did not appear"
x_window_origin "$wid"
x_wait_scan_end 120 || fail "the scan of the hostile tree did not end"
x_running "$app" || fail "the program ended during the scan"
shot scanned

x_click 60 39
xdotool key Right
# special 30 MB, links 20 MB, deep 15 MB, names 10 MB.
x_poll root pie_is root "red:0.40 green:0.27 yellow:0.20 blue:0.13" 216 33 468 416 || fail "the root's pie: $x_got"
echo "root pie: $x_got"

# The odd names, shown (a screenshot to look at) without harm.
x_click 80 111
xdotool key Right
sleep 0.8
shot names
x_running "$app" || fail "the program ended when the odd names were shown"

xdotool windowfocus --sync "$wid" key Escape
x_wait_exit "$app" 5 || fail "Escape did not end the program"
app=
[ "$exit_status" = 0 ] || fail "exit status $exit_status after Escape"
echo "PASS: the window on a hostile tree"
