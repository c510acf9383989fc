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

[ -x /usr/bin/time ] || bash "$top/scripts/deps.sh" test
if [ -z "${SKIP_BUILD:-}" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --target tallowin sizetree_make_tree -j"$(nproc)" >/dev/null
fi
source "$top/bench/timing_lib.sh"
ensure_tree_1m "$build" "$data"

names=(tallowin du)
cmds=("$build/app/tallowin --report $tree" "du -s -b $tree")
if command -v ncdu >/dev/null; then names+=(ncdu); cmds+=("ncdu -x -0 -o /dev/null $tree"); fi
if command -v gdu >/dev/null; then names+=(gdu); cmds+=("gdu -n -p -x $tree"); fi

echo "tree: $tree ($rounds rounds, median; CPU = user + system; load $(cut -d' ' -f1-3 /proc/loadavg))"
time_table "$rounds" tool
echo "SortSubtree of the whole tree: $build/bench/sizetree_bench"
