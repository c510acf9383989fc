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
if [ ! -f "$data/tree-1m.done" ]; then
  echo "building $data/tree-1m (once; takes a minute or two)"
  rm -rf "$data/tree-1m"
  mkdir -p "$data"
  "$build/bench/sizetree_make_tree" "$data/tree-1m"
  touch "$data/tree-1m.done"
fi

engines=$build/bench/sizetree_scan_engines
names=(du sequential read-ahead)
for tree in $trees; do
  cmds=("du -s -b $tree" "$engines sequential $tree" "$engines read-ahead $tree")
  results=$(mktemp)
  for c in "${cmds[@]}"; do $c >/dev/null 2>&1 || true; done  # warm the cache
  for ((r = 0; r < rounds; r++)); do
    for i in "${!cmds[@]}"; do
      /usr/bin/time -f "%e %U %S %M" -o "$results.one" ${cmds[$i]} >/dev/null 2>&1 || true
      echo "${names[$i]} $(tail -1 "$results.one")" >>"$results"
    done
  done

  echo
  echo "tree: $tree ($rounds rounds, median; CPU = user + system; $(nproc) cores; load $(cut -d' ' -f1-3 /proc/loadavg))"
  printf "%-12s %9s %9s %9s %9s %12s\n" scan "wall s" "x du" "cpu s" "x du" "peak MiB"
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
        printf "%-12s %9.2f %9.2f %9.2f %9.2f %12.1f\n", t, w, w / dw, c, c / dc, mem[t] / 1024
      }
    }' "$results" | sort -k1,1 -s
  rm -f "$results" "$results.one"
done
echo
echo "read-ahead counters on the last tree: $("$engines" read-ahead "$(echo $trees | awk '{ print $NF }')" | head -1)"
