#!/usr/bin/env bash
# The two listing engines against du, side by side in one run (warm cache):
# the bare scan (no report printing) with the sequential lister and with the
# read-ahead lister, on the generated 1,000,000-file tree, /usr and, when
# bench/compare.sh has extracted it, the linux source. Prints per tree the
# median wall and CPU times, their ratios to du, and peak memory.
# bench/compare.sh gives the program's own figures (`tallowin --report`
# against du, ncdu and gdu, and the window's scan).
#
#   bash bench/scan_parallel.sh   # ROUNDS=5 BUILD_DIR=build BENCH_DATA=bench-data TREES="..."
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
data=${BENCH_DATA:-$top/bench-data}
rounds=${ROUNDS:-5}
default_trees="$data/tree-1m /usr"
[ -f "$data/linux-source.done" ] && default_trees="$data/linux-source $default_trees"
trees=${TREES:-$default_trees}

if [ ! -x /usr/bin/time ]; then
  sudo=; [ "$(id -u)" -eq 0 ] || sudo=sudo
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq time >/dev/null
fi
if [ -z "${SKIP_BUILD:-}" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWIN_BENCH=ON >/dev/null
  cmake --build "$build" --target sizetree_make_tree sizetree_scan_engines -j"$(nproc)" >/dev/null
fi
# The same tree and marker as bench/compare.sh: built once for both.
source "$top/bench/timing_lib.sh"
ensure_tree_1m "$build" "$data"

engines=$build/bench/sizetree_scan_engines
names=(du sequential read-ahead)
for tree in $trees; do
  cmds=("du -s -b $tree" "$engines sequential $tree" "$engines read-ahead $tree")
  echo
  echo "tree: $tree ($rounds rounds, median; CPU = user + system; $(nproc) cores; load $(cut -d' ' -f1-3 /proc/loadavg))"
  time_table "$rounds" scan
done
echo
echo "read-ahead counters on the last tree: $("$engines" read-ahead "$(echo $trees | awk '{ print $NF }')" | head -1)"
