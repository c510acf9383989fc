#!/usr/bin/env bash
# Times the scan, side by side in one run (warm cache), on the generated
# 1,000,000-file tree and on /usr:
#   tallowin --report DIR   the program's report mode (its default engine)
#   du -s -b DIR, ncdu, gdu (installed here when missing)
#   seq scan / r-a scan     the bare scan with the sequential and the
#                           read-ahead lister (bench/scan_parallel_engines.cpp)
# Prints per tree the median wall and CPU times, their ratios to du, and peak
# memory (maximum resident set).
#
#   bash bench/scan_parallel.sh   # ROUNDS=5 BUILD_DIR=build-scan BENCH_DATA=bench-data TREES="..."
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build-scan}
data=${BENCH_DATA:-$top/bench-data}
rounds=${ROUNDS:-5}
trees=${TREES:-"$data/tree-1m /usr"}

missing=()
[ -x /usr/bin/time ] || missing+=(time)
command -v ncdu >/dev/null || missing+=(ncdu)
command -v gdu >/dev/null || missing+=(gdu)
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing ${missing[*]}"
  sudo=; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get install -y "${missing[@]}" >/dev/null || echo "could not install ${missing[*]}; going on without"
fi
if [ -z "${SKIP_BUILD:-}" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --target tallowin sizetree_make_tree sizetree_scan_engines -j"$(nproc)" >/dev/null
fi
# The same tree and marker as bench/scan_compare.sh: built once for both.
if [ ! -f "$data/tree-1m.done" ]; then
  echo "building $data/tree-1m (once; takes a minute or two)"
  rm -rf "$data/tree-1m"
  mkdir -p "$data"
  "$build/bench/sizetree_make_tree" "$data/tree-1m"
  touch "$data/tree-1m.done"
fi

engines=$build/bench/sizetree_scan_engines
for tree in $trees; do
  names=(tallowin du "seq scan" "r-a scan")
  cmds=("$build/app/tallowin --report $tree" "du -s -b $tree" "$engines sequential $tree"
        "$engines read-ahead $tree")
  if command -v ncdu >/dev/null; then names+=(ncdu); cmds+=("ncdu -x -0 -o /dev/null $tree"); fi
  if command -v gdu >/dev/null; then names+=(gdu); cmds+=("gdu -n -p -x $tree"); fi

  results=$(mktemp)
  for c in "${cmds[@]}"; do $c >/dev/null 2>&1 || true; done  # warm the cache
  for ((r = 0; r < rounds; r++)); do
    for i in "${!cmds[@]}"; do
      /usr/bin/time -f "%e %U %S %M" -o "$results.one" ${cmds[$i]} >/dev/null 2>&1 || true
      echo "${names[$i]// /_} $(tail -1 "$results.one")" >>"$results"
    done
  done

  echo
  echo "tree: $tree ($rounds rounds, median; CPU = user + system; $(nproc) cores; load $(cut -d' ' -f1-3 /proc/loadavg))"
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
        w = median(wall[t]); c = median(cpu[t]); name = t; gsub("_", " ", name)
        printf "%-10s %9.2f %9.2f %9.2f %9.2f %12.1f\n", name, w, w / dw, c, c / dc, mem[t] / 1024
      }
    }' "$results" | sort -k1,1 -s
  rm -f "$results" "$results.one"
done
