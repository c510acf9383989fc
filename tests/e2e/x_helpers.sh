# Helpers of the end-to-end scripts: find windows, click in client
# coordinates, take and read screenshots. Sourced; the caller sets $probe
# (the e2e_probe binary), $shots (the screenshot folder) and, after
# x_window_origin, clicks and regions are relative to the main window.

fail() {
  echo "FAIL: $*"
  exit 1
}

x_require_tools() {
  if [ -z "${DISPLAY:-}" ]; then
    echo "SKIP: needs an X display (the test command runs ctest under xvfb-run)"
    return 1
  fi
  local t
  for t in xprop xdpyinfo "$@"; do
    if ! command -v "$t" >/dev/null; then
      echo "SKIP: $t is not installed (scripts/deps.sh installs it)"
      return 1
    fi
  done
  x_hold_display || fail "the X server at $DISPLAY does not answer"
}

# Holds a connection to the X server while this script runs. A server that
# resets when its last client leaves (Xvfb without -noreset) refuses the
# clients that connect during the reset: a program started then ends at
# once with status 1, "no display". So no client of this script is ever the
# last one. The holder ends itself soon after the script.
x_hold_display() {
  local script=$$ i
  for ((i = 0; i < 20; i++)); do
    (
      xprop -root -spy &
      spy=$!
      while kill -0 "$script" && kill -0 "$spy"; do sleep 0.2; done
      kill "$spy"
    ) >/dev/null 2>&1 &
    local holder=$!
    sleep 0.2
    # A holder that connected during a reset has ended already.
    kill -0 "$holder" 2>/dev/null && xdpyinfo >/dev/null 2>&1 && return 0
  done
  return 1
}

# Prints the id of the first visible top-level window whose name matches
# the pattern (the busy animation is a native child window of the same name).
x_find_window() {
  local id
  id=$(timeout 30 xdotool search --sync --onlyvisible --maxdepth 1 --name "$1" 2>/dev/null | head -1)
  [ -n "$id" ] && echo "$id"
}

# Sets wid's screen position (wx, wy) for the helpers below.
x_window_origin() {
  wid=$1
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  wx=$X
  wy=$Y
}

x_click() {
  xdotool mousemove --window "$wid" "$1" "$2" click 1
  sleep 0.2
}

# Screenshot of the whole screen (popups included) as $shots/NAME.png.
shot() {
  import -window root "$shots/$1.png"
}

# Region arguments of e2e_probe for client rectangle X Y W H.
x_region() {
  echo "$(($1 + wx)) $(($2 + wy)) $3 $4"
}

x_colours() {
  local name=$1; shift
  "$probe" colours "$shots/$name.png" $(x_region "$@")
}

x_pie() {
  local name=$1; shift
  "$probe" pie "$shots/$name.png" $(x_region "$@")
}

x_count() {
  local name=$1 colour=$6
  "$probe" count "$shots/$name.png" $(x_region "$2" "$3" "$4" "$5") "$colour"
}

# Text in a client rectangle of a screenshot, read by OCR.
x_ocr() {
  local name=$1; shift
  local r
  read -r -a r <<<"$(x_region "$@")"
  convert "$shots/$name.png" -crop "${r[2]}x${r[3]}+${r[0]}+${r[1]}" +repage \
    -colorspace Gray -resize 400% "$shots/$name.ocr.png"
  tesseract "$shots/$name.ocr.png" - --psm 6 2>/dev/null
}

# The folder names of the test tree, in the order OCR reads them.
x_names() {
  x_ocr "$@" | grep -oE 'ALPHA|BETA|GAMMA|DELTA|EPSILON|FILES' | tr '\n' ' ' | sed 's/ $//'
}

# True when two screenshots agree in a client rectangle.
same_region() {
  local a=$1 b=$2; shift 2
  local r diff
  read -r -a r <<<"$(x_region "$@")"
  local crop="${r[2]}x${r[3]}+${r[0]}+${r[1]}"
  convert "$shots/$a.png" -crop "$crop" +repage "$shots/cmp-a.png"
  convert "$shots/$b.png" -crop "$crop" +repage "$shots/cmp-b.png"
  diff=$(compare -metric AE "$shots/cmp-a.png" "$shots/cmp-b.png" null: 2>&1)
  rm -f "$shots/cmp-a.png" "$shots/cmp-b.png"
  [ "$diff" = 0 ]
}

# Client y of the middle of the highlighted row of an open drop-down list in
# client rectangle X Y W H (the highlight is the selection colour 308CC6).
x_highlighted_row() {
  shot dropdown
  local x=$1 y=$2 w=$3 h=$4 row n
  for ((row = y; row < y + h; row++)); do
    n=$(x_count dropdown "$x" "$row" "$w" 1 308CC6)
    if [ "$n" -gt $((w / 2)) ]; then
      echo $((row + 7))
      return 0
    fi
  done
  return 1
}

# Waits until Go is enabled (its red flag shows) and the first root carries
# the drive image (its green light): the scan has ended.
x_wait_scan_end() {
  local deadline=$((SECONDS + $1))
  while [ $SECONDS -lt $deadline ]; do
    shot poll
    if [ "$(x_count poll 147 4 18 18 red)" -gt 5 ] && [ "$(x_count poll 6 31 20 16 green)" -gt 0 ]; then
      return 0
    fi
    sleep 0.2
  done
  return 1
}

# Clicks Go and waits up to SECONDS for the scan to end, as x_wait_scan_end.
# A click the window lost (busy closing a dialog under load) is made again:
# Go enabled with no scan-end light means nothing was scanned, and while a
# scan runs Go is disabled, so a second click never interrupts one.
x_go_and_wait() {
  local deadline=$((SECONDS + $1))
  x_click 156 13
  while [ $SECONDS -lt $deadline ]; do
    sleep 0.5
    shot poll
    if [ "$(x_count poll 147 4 18 18 red)" -gt 5 ]; then
      [ "$(x_count poll 6 31 20 16 green)" -gt 0 ] && return 0
      x_click 156 13
    fi
  done
  return 1
}

# True while the process is running (a zombie has ended).
x_running() {
  local state
  state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)
  [ -n "$state" ] && [ "$state" != Z ]
}

# Waits up to SECONDS for the child PID of this shell to end and sets
# exit_status; false when it is still running. (Not for $(...): a subshell
# cannot reap the child.)
x_wait_exit() {
  local pid=$1 deadline=$((SECONDS + $2))
  while x_running "$pid"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.01
  done
  wait "$pid"
  exit_status=$?
}

# Shoots NAME until CHECK (a command and its arguments, run on the fresh
# screenshot) succeeds: the window may still be drawing what the last action
# asked for, the longer the busier the machine. 20 s at most (a guard against
# a hang). CHECK's last output is left in $x_got; false when it never passed.
x_poll() {
  local name=$1 deadline=$((SECONDS + 20))
  shift
  while :; do
    shot "$name"
    x_got=$("$@" 2>&1) && return 0
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}

# Checks for x_poll on screenshot NAME: its pie in client rectangle X Y W H
# has the expected slices (as expect_pie); its OCR text there matches a
# shell pattern; the test tree's names there read in the expected order.
pie_is() {
  local name=$1 expected=$2 pie
  shift 2
  pie=$(x_pie "$name" "$@")
  echo "$pie"
  (expect_pie "$pie" "$expected") >/dev/null
}
ocr_matches() {
  local name=$1 pattern=$2 text
  shift 2
  text=$(x_ocr "$name" "$@")
  echo "$text"
  [[ $text == $pattern ]]
}
names_are() {
  local name=$1 expected=$2 names
  shift 2
  names=$(x_names "$name" "$@")
  echo "$names"
  [ "$names" = "$expected" ]
}
differs() {
  ! same_region "$@"
}

# Checks "name:fraction ..." from e2e_probe pie against the expected slices:
# the same colours in the same cyclic order, each share within 0.05.
expect_pie() {
  local actual=$1 expected=$2
  local -a a e
  read -r -a a <<<"$actual"
  read -r -a e <<<"$expected"
  [ ${#a[@]} -eq ${#e[@]} ] || fail "pie has ${#a[@]} slices, expected ${#e[@]}: $actual"
  local shift_by=-1 i
  for ((i = 0; i < ${#a[@]}; i++)); do
    [ "${a[i]%%:*}" = "${e[0]%%:*}" ] && shift_by=$i
  done
  [ $shift_by -ge 0 ] || fail "no ${e[0]%%:*} slice: $actual"
  for ((i = 0; i < ${#e[@]}; i++)); do
    local got=${a[$(((i + shift_by) % ${#a[@]}))]}
    [ "${got%%:*}" = "${e[i]%%:*}" ] || fail "slice $i is ${got%%:*}, expected ${e[i]%%:*}: $actual"
    awk -v g="${got##*:}" -v w="${e[i]##*:}" 'BEGIN { d = g - w; exit !(d < 0.05 && d > -0.05) }' \
      || fail "slice $i (${e[i]%%:*}) has share ${got##*:}, expected ${e[i]##*:}"
  done
}
