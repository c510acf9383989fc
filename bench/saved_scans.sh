#!/usr/bin/env bash
# Saved scans side by side, warm cache, on the generated million-file tree
# (or TREE=DIR):
#   - `tallowin --export` against `tallowin --report` of the same tree:
#     target at most 1.3 x its time, peak memory at most its peak + 10 MiB;
#   - opening that export, `tallowin --report FILE`, against
#     `ncdu -f FILE -o /dev/null` and against the scan (the report of the
#     tree): targets at most half of ncdu's time, less than the scan, peak
#     memory at most the scan's;
#   - the same export packed with gzip and with zstd, opened likewise.
# Commands alternate, ROUNDS rounds after one warm-up each; medians. Prints
# a Markdown table and one line per target. Output goes to /dev/null; the
# export files to a temporary folder, removed at the end.
#
#   bash bench/saved_scans.sh     # ROUNDS=9 BUILD_DIR=build BENCH_DATA=bench-data
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
data=${BENCH_DATA:-$top/bench-data}
rounds=${ROUNDS:-9}
source "$top/bench/timing_lib.sh"

missing=()
[ -x /usr/bin/time ] || missing+=(time)
command -v ncdu >/dev/null || missing+=(ncdu)
command -v zstd >/dev/null || missing+=(zstd)
install_packages "${missing[@]}"
if [ -z "${SKIP_BUILD:-}" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWIN_BENCH=ON >/dev/null
  cmake --build "$build" -j"$(nproc)" --target tallowin sizetree_make_tree >/dev/null
fi
tree=${TREE:-}
if [ -z "$tree" ]; then
  ensure_tree_1m "$build" "$data"
  tree=$data/tree-1m
fi
program=$build/app/tallowin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$program" --export "$tree" >"$work/scan.json"
gzip -c "$work/scan.json" >"$work/scan.json.gz"
zstd -q -c "$work/scan.json" >"$work/scan.json.zst"

names=(report export open open.gz open.zst ncdu-f)
cmds=("$program --report $tree" "$program --export $tree" "$program --report $work/scan.json"
  "$program --report $work/scan.json.gz" "$program --report $work/scan.json.zst"
  "ncdu --ignore-config -f $work/scan.json -o /dev/null")
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
results=$work/results
for c in "${cmds[@]}"; do $c >/dev/null 2>&1 || true; done
for ((r = 0; r < rounds; r++)); do
  for i in "${!cmds[@]}"; do
    time_one "$work/one" ${cmds[$i]}
    echo "${names[$i]} $(cat "$work/one")" >>"$results"
  done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "export: $(stat -c %s "$work/scan.json") bytes, gzip $(stat -c %s "$work/scan.json.gz"), zstd $(stat -c %s "$work/scan.json.zst")"
echo
awk -v rounds="$rounds" '
  { wall[$1] = wall[$1] " " $2; cpu[$1] = cpu[$1] " " ($3 + $4); if ($5 > mem[$1]) mem[$1] = $5 }
  function median(s,   a, n, i, j, t) {
    n = split(s, a, " ")
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  END {
    split("report export open open.gz open.zst ncdu-f", order, " ")
    printf "| command | wall s | cpu s | peak MiB |\n|---|---:|---:|---:|\n"
    for (k = 1; k <= 6; k++) {
      t = order[k]; w[t] = median(wall[t]); m[t] = mem[t] / 1024
      printf "| %s | %.3f | %.3f | %.1f |\n", t, w[t], median(cpu[t]), m[t]
    }
    printf "\n"
    check("export time <= 1.3 x report", w["export"] / w["report"], 1.3, "x")
    check("export peak - report peak <= 10 MiB", m["export"] - m["report"], 10, "MiB")
    check("open time <= 0.5 x ncdu -f", w["open"] / w["ncdu-f"], 0.5, "x")
    check("open time < report (the scan)", w["open"] / w["report"], 1, "x")
    check("open peak <= report peak", m["open"] - m["report"], 0, "MiB over")
  }
  function check(what, value, limit, unit) {
    printf "%-40s %8.2f %s  %s\n", what, value, unit, value <= limit ? "met" : "MISSED"
  }' "$results"
