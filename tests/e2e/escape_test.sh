#!/usr/bin/env bash
# The real program ends promptly in the middle of a scan of a large tree
# (the root file system): by Escape with status 0, and by closing its window.
# Prints the measured times. Usage: escape_test.sh TALLOWIN E2E_PROBE
# Exit: 0 passed, 1 failed, 77 skipped (no X display or tools).
set -uo pipefail
bin=$1
probe=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_helpers.sh"
x_require_tools xdotool import || exit 77

shots=$(mktemp -d /tmp/te2e-escape.XXXXXX)
echo "screenshots in $shots"
export QT_QPA_PLATFORM=xcb
app=
trap '[ -n "$app" ] && kill "$app" 2>/dev/null' EXIT

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# Starts a scan of / and waits until it is under way: Go drawn disabled
# (its glyph painted, grey, without red) and the root's row drawn.
start_scan() {
  "$bin" / >"$shots/app.log" 2>&1 &
  app=$!
  wid=$(x_find_window '^Tallowin$') \
    || fail "the main window did not appear (running: $(x_running "$app" && echo yes || echo no))"
  x_window_origin "$wid"
  local deadline=$((SECONDS + 20))
  while :; do
    shot "$1"
    if [ "$(x_colours "$1" 147 4 18 18)" -ge 3 ] && [ "$(x_count "$1" 147 4 18 18 red)" -eq 0 ] \
       && [ "$(x_colours "$1" 4 31 200 16)" -ge 3 ]; then
      break
    fi
    [ $SECONDS -lt $deadline ] || fail "no scan under way: Go is not shown disabled"
    sleep 0.1
  done
}

# Waits for the program to end after an action taken at $1 (ms); checks the
# status and the time against the bound, in ms.
check_end() {
  local since=$1 bound=$2 what=$3
  # exit_status is set already when the caller has waited for the end.
  if [ -z "$exit_status" ]; then
    x_wait_exit "$app" 10 || fail "$what did not end the program within 10 s"
  fi
  local took=$(( $(now_ms) - since ))
  app=
  echo "$what during a scan: ended in $took ms with status $exit_status"
  [ "$exit_status" = 0 ] || fail "$what: exit status $exit_status"
  [ "$took" -lt "$bound" ] || fail "$what: took $took ms (bound $bound ms)"
}

start_scan escape
exit_status=
xdotool windowfocus --sync "$wid"
t0=$(now_ms)
xdotool key Escape
check_end "$t0" 1000 Escape

start_scan close
exit_status=
# Under Xvfb without a window manager Qt ignores many WM_DELETE_WINDOW
# messages sent straight to a window, scanning or idle alike. Ask again every
# 300 ms, as a person clicking again would, and time the end from the last
# request.
ended=
for ((requests = 1; requests <= 30; requests++)); do
  t0=$(now_ms)
  "$probe" close "$wid"
  for ((i = 0; i < 30; i++)); do
    x_running "$app" || { ended=1; break; }
    sleep 0.01
  done
  [ -n "$ended" ] && break
done
echo "close requests sent: $requests"
check_end "$t0" 2000 "Closing the window"
echo "PASS: Escape and closing during a scan"
