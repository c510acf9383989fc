#!/usr/bin/env bash
# End-to-end test of the real program in a real X window, driven with the
# mouse and keys like a person: pick the prepared disk in the drive chooser,
# Go, wait for the scan, expand and select, switch the marks and the order,
# open and close the about window, Escape. Judged from screenshots: the chart
# shows only after the first selection, slices in palette order, the chart
# title naming the selected path (read back by OCR).
#
# Usage: window_test.sh TALLOWIN E2E_PROBE
# The prepared tree lives on a tmpfs mounted in a private mount namespace, so
# that the drive chooser lists it; without that (not root) the tree is given
# on the command line and the chooser step is skipped.
# Exit: 0 passed, 1 failed, 77 skipped (no X display or tools).
set -uo pipefail
bin=$1
probe=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_helpers.sh"

x_require_tools xdotool import tesseract || exit 77

if [ -z "${TALLOWIN_E2E_IN_NS:-}" ] && [ "$(id -u)" -eq 0 ] \
   && unshare -m --propagation private true 2>/dev/null; then
  TALLOWIN_E2E_IN_NS=1 exec unshare -m --propagation private bash "$0" "$@"
fi

work=$(mktemp -d /tmp/te2e.XXXXXX)
shots="$work/shots"
mkdir -p "$shots" "$work/DISK"
echo "screenshots in $shots"
disk="$work/DISK"
chooser=0
if [ -n "${TALLOWIN_E2E_IN_NS:-}" ] && mount -t tmpfs -o size=512m tmpfs "$disk"; then
  chooser=1
fi

# The tree: 100 MB in the root's children (all sparse).
for d in ALPHA BETA GAMMA DELTA EPSILON; do mkdir "$disk/$d"; done
mkdir "$disk/ALPHA/ONE" "$disk/ALPHA/TWO"
truncate -s 20M "$disk/ALPHA/ONE/f"
truncate -s 12M "$disk/ALPHA/TWO/f"
truncate -s 8M "$disk/ALPHA/loose"
truncate -s 25M "$disk/BETA/f"
truncate -s 15M "$disk/GAMMA/f"
truncate -s 10M "$disk/DELTA/f"
truncate -s 6M "$disk/EPSILON/f"
truncate -s 4M "$disk/loose"

cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null
  [ "$chooser" = 1 ] && umount "$disk" 2>/dev/null
  rm -rf "$disk"  # the screenshots stay for looking at
}
trap cleanup EXIT

export QT_QPA_PLATFORM=xcb
if [ "$chooser" = 1 ]; then
  "$bin" >"$work/app.log" 2>&1 &
else
  echo "NOTE: no private mount namespace; the tree is given as PATH, the chooser is not used"
  "$bin" "$disk" >"$work/app.log" 2>&1 &
fi
app=$!
wid=$(x_find_window '^Tallowin$') || fail "the main window did not appear"
x_window_origin "$wid"

# Client rectangles (designed layout).
chart_rect="216 33 468 416"
title_rect="216 29 468 24"
tree_names_rect="40 48 168 112"

shot start
[ "$(x_colours start $chart_rect)" -le 4 ] || fail "the chart shows before any selection"

if [ "$chooser" = 1 ]; then
  # The chooser lists mounts in path order: the prepared disk is found by
  # scrolling to the end of the drop-down and clicking the highlighted row.
  x_click 70 13
  sleep 0.5
  xdotool key End Up Up  # the last drive: "Folder…" and "Open Scan…" come after the drives
  sleep 0.3
  row=$(x_highlighted_row 2 20 145 170) || fail "no highlighted row in the drive list"
  x_click 60 "$row"
  sleep 0.3
fi
x_click 156 13  # Go
x_wait_scan_end 120 || fail "the scan did not end (Go not enabled again)"
shot scanned
[ "$(x_colours scanned $chart_rect)" -le 4 ] || fail "the chart shows after the scan, before any selection"

# Select the root, expand it.
x_click 60 39
xdotool key Right
x_poll root pie_is root "red:0.40 green:0.25 yellow:0.15 blue:0.10 white:0.06 gray:0.04" $chart_rect \
  || fail "the root's pie: $x_got"
echo "root pie: $x_got"
x_poll root ocr_matches root '*DISK*' $title_rect || fail "the chart title does not name the root: $x_got"
echo "root title (OCR): $x_got"

# Select ALPHA, the first child by size.
x_click 80 57
x_poll alpha_percent pie_is alpha_percent "red:0.50 green:0.30 yellow:0.20" $chart_rect \
  || fail "ALPHA's pie: $x_got"
echo "ALPHA pie: $x_got"
x_poll alpha_percent ocr_matches alpha_percent '*DISK*ALPHA*' $title_rect \
  || fail "the chart title does not name ALPHA: $x_got"
echo "ALPHA title (OCR): $x_got"

# Marks in MB, then in percent again.
x_click 222 13
x_poll alpha_mb differs alpha_percent alpha_mb $chart_rect || fail "the MB button changed nothing"
x_click 197 13
x_poll alpha_percent2 same_region alpha_percent alpha_percent2 $chart_rect \
  || fail "percent marks differ after a round trip"

# Orders: select the root so that no child is highlighted, then by name and
# by size.
x_click 60 39
x_click 289 13
x_poll by_name names_are by_name "FILES ALPHA BETA DELTA EPSILON GAMMA" $tree_names_rect \
  || fail "order by name: $x_got"
echo "by name: $x_got"
x_click 264 13
x_poll by_size names_are by_size "ALPHA BETA GAMMA DELTA EPSILON FILES" $tree_names_rect \
  || fail "order by size: $x_got"
echo "by size: $x_got"

# The about window, opened and closed with the mouse.
x_click 331 13
about=$(x_find_window '^Oskel Tallowin$') || fail "the about window did not open"
shot about
xdotool mousemove --window "$about" 37 68 click 1
for _ in $(seq 50); do
  xdotool search --onlyvisible --name '^Oskel Tallowin$' >/dev/null 2>&1 || break
  sleep 0.1
done
xdotool search --onlyvisible --name '^Oskel Tallowin$' >/dev/null 2>&1 && fail "OK did not close the about window"
kill -0 "$app" 2>/dev/null || fail "the program ended with the about window"

xdotool windowfocus --sync "$wid" key Escape
x_wait_exit "$app" 5 || fail "Escape did not end the program"
app=
[ "$exit_status" = 0 ] || fail "exit status $exit_status after Escape"
echo "PASS: window test (screenshots in $shots)"
