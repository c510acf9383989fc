#!/usr/bin/env bash
# Remembered scans and changes, side by side, warm cache, on the generated
# million-file tree (or TREE=DIR):
#   - `tallowin --changes OLD NEW` of two exports of the tree (NEW: OLD with
#     a tenth of the files' sizes changed) against opening one of them,
#     `tallowin --report OLD`: target at most 2 x its time;
#   - remembering the window's scan of the tree: the window's scan, Go to
#     end (`tallowin --timing`, under Xvfb when there is no display), as it
#     runs, remembering into a folder of this run, against the same with
#     --no-history: target, at most 5 % more; the snapshot copy on the UI
#     thread (the only part that holds the window) and the write on a
#     worker, alone (bench/history_snapshot.cpp), as shares of the scan.
# Commands alternate, ROUNDS rounds after one warm-up each; medians.
#
#   bash bench/history.sh     # ROUNDS=9 BUILD_DIR=build BENCH_DATA=bench-data
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
data=${BENCH_DATA:-$top/bench-data}
rounds=${ROUNDS:-9}
source "$top/bench/timing_lib.sh"

missing=()
[ -x /usr/bin/time ] || missing+=(time)
[ -n "${DISPLAY:-}" ] || command -v xvfb-run >/dev/null || missing+=(xvfb xauth)
install_packages "${missing[@]}"
if [ -z "${SKIP_BUILD:-}" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWIN_BENCH=ON >/dev/null
  cmake --build "$build" -j"$(nproc)" --target tallowin history_snapshot sizetree_make_tree >/dev/null
fi
tree=${TREE:-}
if [ -z "$tree" ]; then
  ensure_tree_1m "$build" "$data"
  tree=$data/tree-1m
fi
program=$build/app/tallowin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$program" --export "$tree" >"$work/old.json"
# Every file whose size ends in 7 ends in 1 instead.
sed -E 's/"asize":([0-9]*)7,/"asize":\11,/' "$work/old.json" >"$work/new.json"

# window [--no-history]: the scan's milliseconds; the scans remembered
# under $work/state.
window() {
  if [ -n "${DISPLAY:-}" ]; then
    XDG_STATE_HOME="$work/state" QT_QPA_PLATFORM=xcb "$program" "$@" --timing "$tree" 2>/dev/null
  else
    XDG_STATE_HOME="$work/state" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$program" "$@" \
      --timing "$tree" 2>/dev/null
  fi
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
results=$work/results
"$program" --report "$work/old.json" >/dev/null
"$program" --changes "$work/old.json" "$work/new.json" >/dev/null
for ((r = 0; r < rounds; r++)); do
  time_one "$work/one" "$program" --report "$work/old.json"
  echo "open $(cat "$work/one")" >>"$results"
  time_one "$work/one" "$program" --changes "$work/old.json" "$work/new.json"
  echo "changes $(cat "$work/one")" >>"$results"
  # "scan N ms, peak M MiB"
  echo "window $(window --no-history | awk '/^scan / { print $2 / 1000 }')" >>"$results"
  echo "remembering $(window | awk '/^scan / { print $2 / 1000 }')" >>"$results"
done
"$build/bench/history_snapshot" "$tree" "$rounds" >"$work/snapshot"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "changed folders: $("$program" --changes "$work/old.json" "$work/new.json" --top 100000000 | wc -l)"
echo "remembered scans written by the window: $(find "$work/state" -name '*.tlscan' -type f | wc -l)"
echo
awk -v snap="$(cat "$work/snapshot")" '
  { wall[$1] = wall[$1] " " $2; cpu[$1] = cpu[$1] " " ($3 + $4); if ($5 > mem[$1]) mem[$1] = $5 }
  function median(s,   a, n, i, j, t) {
    n = split(s, a, " ")
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  END {
    split(snap, s, " ")  # folders N scan_ms N copy_ms N write_ms N file_bytes N rounds N
    printf "| command | wall s | cpu s | peak MiB |\n|---|---:|---:|---:|\n"
    printf "| tallowin --report OLD (opening one) | %.3f | %.3f | %.1f |\n", median(wall["open"]), median(cpu["open"]), mem["open"] / 1024
    printf "| tallowin --changes OLD NEW | %.3f | %.3f | %.1f |\n", median(wall["changes"]), median(cpu["changes"]), mem["changes"] / 1024
    w = median(wall["window"]) * 1000
    rw = median(wall["remembering"]) * 1000
    printf "\n| remembering (%d folders) | ms | share of the window scan |\n|---|---:|---:|\n", s[2]
    printf "| window scan, Go to end (--timing --no-history) | %.0f | |\n", w
    printf "| window scan, Go to end, remembering (--timing) | %.0f | %+.1f %% |\n", rw, 100 * (rw - w) / w
    printf "| snapshot copy, calling thread | %.1f | %.1f %% |\n", s[6], 100 * s[6] / w
    printf "| write on a worker (%d bytes) | %.1f | %.1f %% |\n\n", s[10], s[8], 100 * s[8] / w
    check("changes time <= 2 x opening one", median(wall["changes"]) / median(wall["open"]), 2, "x")
    check("window scan remembering <= 5 % more", 100 * (rw - w) / w, 5, "%")
    check("snapshot copy <= 5 % of the window scan", 100 * s[6] / w, 5, "%")
  }
  function check(what, value, limit, unit) {
    printf "%-42s %8.2f %s  %s\n", what, value, unit, value <= limit ? "met" : "MISSED"
  }' "$results"
