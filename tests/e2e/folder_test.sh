#!/usr/bin/env bash
# End-to-end test of any folder as a root, in the real window: pick
# "Folder…" in the drive chooser, choose a prepared folder in the folder
# dialog by typing its path, Go, select a subfolder, Ctrl+C (the clipboard
# then holds its path), the context menu, Delete and Yes (the folder goes to
# a private trash, the root shrinks), F5 on the root after a file was added
# (it grows), End to select the root's FILES entry (its files are listed and
# the pie divides among them), Escape. The program runs with XDG_DATA_HOME in the test's
# folder (on the same file system as the scanned folder), so the trash it
# uses is a private one.
#
# Usage: folder_test.sh TALLOWIN E2E_PROBE
# Exit: 0 passed, 1 failed, 77 skipped (no X display or tools).
set -uo pipefail
bin=$1
probe=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_helpers.sh"

x_require_tools xdotool import xclip || exit 77

work=$(mktemp -d /tmp/tfolder.XXXXXX)
shots="$work/shots"
mkdir -p "$shots" "$work/home/ann/Videos/old" "$work/home/ann/Videos/new"
echo "screenshots in $shots"
folder="$work/home/ann/Videos"
truncate -s 30M "$folder/old/clip"
truncate -s 10M "$folder/new/clip"
truncate -s 6M "$folder/notes"  # loose files: smaller than "new", so below it
truncate -s 2M "$folder/memo"

cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null
  rm -rf "$work/home" "$work/xdg"  # the screenshots stay for looking at
}
trap cleanup EXIT

export QT_QPA_PLATFORM=xcb
xdg="$work/xdg"
(cd "$work" && XDG_DATA_HOME="$xdg" exec "$bin") >"$work/app.log" 2>&1 &
app=$!
wid=$(x_find_window '^Tallowin$') || fail "the main window did not appear"
x_window_origin "$wid"

# "Folder…" comes last but one in the chooser, before "Open Scan…".
x_click 70 13
sleep 0.5
xdotool key End Up
sleep 0.3
shot chooser
row=$(x_highlighted_row 2 20 145 170) || fail "no highlighted row in the drive list"
x_click 60 "$row"
dialog=$(x_find_window '^Choose a folder to scan$') || fail "\"Folder…\" did not open the folder dialog"
sleep 0.5
shot dialog
xdotool windowfocus --sync "$dialog"
xdotool key ctrl+a
xdotool type --delay 5 "$folder"
xdotool key Return
for _ in $(seq 50); do
  xdotool search --onlyvisible --name '^Choose a folder to scan$' >/dev/null 2>&1 || break
  sleep 0.1
done
xdotool search --onlyvisible --name '^Choose a folder to scan$' >/dev/null 2>&1 && fail "the folder dialog did not close"

x_go_and_wait 60 || fail "the scan did not end (Go not enabled again)"
shot scanned

# Select the root, expand it, select its first child ("old", the larger).
x_click 60 39
xdotool key Right
sleep 0.5
x_click 80 57
sleep 0.3
xdotool key ctrl+c
for _ in $(seq 100); do
  copied=$(timeout 5 xclip -o -selection clipboard 2>/dev/null)
  [ "$copied" = "$folder/old" ] && break
  sleep 0.2
done
[ "$copied" = "$folder/old" ] || fail "Ctrl+C copied '$copied', expected '$folder/old'"

# The context menu on the selected entry.
xdotool mousemove --window "$wid" 80 57 click 3
sleep 0.5
shot menu
x_click 100 400  # closes the menu (Escape would end the program, from any window)
kill -0 "$app" 2>/dev/null || fail "the program ended with the menu"

# The root's size in bytes, read from the status bar's entry line once it
# shows one.
bytes_shown() {
  x_ocr "$1" 0 470 688 17 | tr -d ',. ' | grep -oE '[0-9]+bytes' | head -1 | grep -oE '[0-9]+'
}
root_bytes() {
  x_click 60 39
  x_poll "$1" bytes_shown "$1" && echo "$x_got"
}
before=$(root_bytes root-before)
[ -n "$before" ] || fail "no root size in the status bar: $(x_ocr root-before 0 470 688 17)"

# Delete on "old", confirmed: No is the default button, so Yes is chosen.
x_click 80 57
xdotool key Delete
confirm=$(x_find_window '^Move to Trash$') || fail "Delete asked nothing"
sleep 0.5
shot confirm
xdotool windowfocus --sync "$confirm" key shift+Tab key space
for _ in $(seq 50); do
  [ -d "$xdg/Trash/files/old" ] && break
  sleep 0.1
done
[ -d "$xdg/Trash/files/old" ] || fail "old is not in the trash: $(ls -R "$xdg" 2>&1 | head)"
[ -e "$folder/old" ] && fail "old is still in its folder"
sleep 0.3
after=$(root_bytes root-after-trash)
[ -n "$after" ] && [ "$after" -lt "$before" ] || fail "the root did not shrink: $before -> $after"

# F5 on the root after a file was added on disk.
truncate -s 20M "$folder/new/more"
xdotool key F5
# (The selected root shows the plain folder picture: no scan-end light.)
for _ in $(seq 30); do
  grown=$(root_bytes root-rescanned)
  [ -n "$grown" ] && [ "$grown" -gt "$after" ] && break
  sleep 0.5
done
[ -n "$grown" ] && [ "$grown" -gt "$after" ] || fail "the root did not grow: $after -> $grown"
echo "root: $before bytes, $after after the trash, $grown after F5"

# The root's last child, its FILES entry, selected: its files are listed and
# the pie shows them.
xdotool key End
x_poll files pie_is files "red:0.75 green:0.25" 216 33 468 416 || fail "the FILES entry's pie: $x_got"

xdotool windowfocus --sync "$wid" key Escape
x_wait_exit "$app" 5 || fail "Escape did not end the program"
app=
[ "$exit_status" = 0 ] || fail "exit status $exit_status after Escape"
echo "PASS: folder test (screenshots in $shots)"
