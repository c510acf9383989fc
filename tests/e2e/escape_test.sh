#!/usr/bin/env bash
# The real program ends in the middle of a scan, by Escape with status 0 and
# by closing its window. The scan is of a tree of 1000 folders under strace,
# which holds each folder listing for 150 ms: it takes 18 s at least however
# fast or idle the machine, so it is still under way when the key or the
# close comes, and a program that ran it to its end would have listed every
# folder. Prints the times taken. Usage: escape_test.sh TALLOWIN E2E_PROBE
# Exit: 0 passed, 1 failed, 77 skipped (no X display or tools, no ptrace).
set -uo pipefail
bin=$1
probe=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_helpers.sh"
x_require_tools xdotool import strace || exit 77
if ! strace -qq -o /dev/null -e trace=getdents64 -e inject=getdents64:delay_enter=1000 ls / >/dev/null 2>&1; then
  echo "SKIP: strace cannot trace a child here (ptrace refused)"
  exit 77
fi

shots=$(mktemp -d /tmp/te2e-escape.XXXXXX)
tree=$(mktemp -d /tmp/te2e-escape-tree.XXXXXX)
echo "screenshots in $shots"
for ((i = 0; i < 20; i++)); do
  mkdir -p "$tree/d$i/e"{0..49}
done
export QT_QPA_PLATFORM=xcb
# LeakSanitizer cannot run under ptrace.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
app=
# strace's tracee outlives strace: end both.
stop_app() {
  [ -n "$app" ] || return 0
  kill $(cat "/proc/$app/task/$app/children" 2>/dev/null) "$app" 2>/dev/null
}
trap 'stop_app; rm -rf "$tree"' EXIT

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# Folder listings (getdents64 calls, two a folder) the program began in the tree.
tree_listings() {
  grep -c "getdents64(.*<$tree" "$shots/$1.strace"
}

# Starts the slowed scan and waits until it is under way: Go drawn disabled
# (its glyph painted, grey, without red) and the root's row drawn.
start_scan() {
  strace -f --seccomp-bpf -qq -y -o "$shots/$1.strace" -e trace=getdents64 \
    -e inject=getdents64:delay_enter=150000 "$bin" "$tree" >"$shots/app.log" 2>&1 &
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

# Waits for the program to end after an action taken at $1 (ms), a minute at
# most (a guard against a hang only); checks the status and that the scan
# stopped short of its end.
check_end() {
  local since=$1 name=$2 what=$3
  # exit_status is set already when the caller has waited for the end.
  if [ -z "$exit_status" ]; then
    x_wait_exit "$app" 60 || fail "$what did not end the program within a minute"
  fi
  app=
  local listed
  listed=$(tree_listings "$name")
  echo "$what during a scan: ended in $(( $(now_ms) - since )) ms with status $exit_status," \
    "after $listed folder listings of 2040"
  [ "$exit_status" = 0 ] || fail "$what: exit status $exit_status"
  [ "$listed" -lt 1000 ] || fail "$what: the scan ran on to its end"
}

start_scan escape
exit_status=
xdotool windowfocus --sync "$wid"
t0=$(now_ms)
xdotool key Escape
check_end "$t0" escape Escape

start_scan close
exit_status=
# Under Xvfb without a window manager Qt ignores many WM_DELETE_WINDOW
# messages sent straight to a window, scanning or idle alike. Ask again every
# 300 ms, as a person clicking again would, and time the end from the last
# request.
ended=
for ((requests = 1; requests <= 200; requests++)); do
  t0=$(now_ms)
  "$probe" close "$wid"
  for ((i = 0; i < 30; i++)); do
    x_running "$app" || { ended=1; break; }
    sleep 0.01
  done
  [ -n "$ended" ] && break
done
echo "close requests sent: $requests"
check_end "$t0" close "Closing the window"
echo "PASS: Escape and closing during a scan"
