#!/usr/bin/env bash
# Times `tallowin --report DIR` against `du -s -b DIR` (and ncdu and gdu when
# installed) on a generated tree of 1,000,000 files in 100,110 folders, side by
# side in one run, warm cache. Prints the median wall and CPU (user + system)
# times, their ratios to du, and peak memory.
#
#   bash bench/scan_compare.sh            # ROUNDS=5 BUILD_DIR=build BENCH_DATA=bench-data
#
# The tree is built once under $BENCH_DATA (default bench-data/, ignored by
# git) and kept for later runs; remove that folder to rebuild it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
data=${BENCH_DATA:-$top/bench-data}
rounds=${ROUNDS:-5}
tree=$data/tree-1m

[ -x /usr/bin/time ] || bash "$top/scripts/deps.sh"
if [ -z "${SKIP_BUILD:-}" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --target tallowin sizetree_make_tree -j"$(nproc)" >/dev/null
fi
if [ ! -f "$data/tree-1m.done" ]; then
  echo "building $tree (once; takes a minute or two)"
  rm -rf "$tree"
  mkdir -p "$data"
  "$build/bench/sizetree_make_tree" "$tree"
  touch "$data/tree-1m.done"
fi

names=(tallowin du)
cmds=("$build/app/tallowin --report $tree" "du -s -b $tree")
if command -v ncdu >/dev/null; then names+=(ncdu); cmds+=("ncdu -x -0 -o /dev/null $tree"); fi
if command -v gdu >/dev/null; then names+=(gdu); cmds+=("gdu -n -p -x $tree"); fi

results=$(mktemp)
trap 'rm -f "$results" "$results.one"' EXIT
# Warm the cache, then alternate the tools round by round.
for c in "${cmds[@]}"; do $c >/dev/null 2>&1 || true; done
for ((r = 0; r < rounds; r++)); do
  for i in "${!cmds[@]}"; do
    /usr/bin/time -f "%e %U %S %M" -o "$results.one" ${cmds[$i]} >/dev/null 2>&1
    echo "${names[$i]} $(tail -1 "$results.one")" >>"$results"
  done
done

echo "tree: $tree ($rounds rounds, median; CPU = user + system; load $(cut -d' ' -f1-3 /proc/loadavg))"
printf "%-10s %9s %9s %9s %9s %12s\n" tool "wall s" "x du" "cpu s" "x du" "peak MiB"
awk '
  { wall[$1] = wall[$1] " " $2; cpu[$1] = cpu[$1] " " ($3 + $4); if ($5 > mem[$1]) mem[$1] = $5 }
  function median(s,   a, n, i, j, t) {
    n = split(s, a, " ")
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  END {
    dw = median(wall["du"]); dc = median(cpu["du"])
    for (t in wall) {
      w = median(wall[t]); c = median(cpu[t])
      printf "%-10s %9.2f %9.2f %9.2f %9.2f %12.1f\n", t, w, w / dw, c, c / dc, mem[t] / 1024
    }
  }' "$results" | sort -k1,1 -s
echo "SortSubtree of the whole tree: $build/bench/sizetree_bench"
