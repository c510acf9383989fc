#!/usr/bin/env bash
# The scan on a slow file system: a FUSE view of a folder that answers every
# request after DELAY microseconds (bench/slow_fs.cpp), as a network file
# system answers after a round trip, and caches nothing. Times, side by side
# in one run: du, the read-ahead scan with a fixed pool of two workers, the
# same scan with the growing pool, and `tallowin --report`; prints the median
# wall and CPU times, their ratios to du, and how far the pool grew.
#
#   bash bench/slow_fs.sh   # ROUNDS=3 DELAY=1000 SOURCE=bench-data/linux-source/linux-source-6.1/sound
# Needs /dev/fuse and fusermount3 (Debian's fuse3 and libfuse3-dev).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
data=${BENCH_DATA:-$top/bench-data}
rounds=${ROUNDS:-3}
delay=${DELAY:-1000}
source_dir=${SOURCE:-$data/linux-source/linux-source-6.1/sound}
source "$top/bench/timing_lib.sh"

if [ ! -e /dev/fuse ] || ! command -v fusermount3 >/dev/null; then
  echo "slow_fs.sh: needs /dev/fuse and fusermount3 (fuse3); skipped" >&2
  exit 0
fi
[ -d "$source_dir" ] || { echo "slow_fs.sh: no folder $source_dir (bench/compare.sh extracts the linux source)" >&2; exit 1; }
if [ -z "${SKIP_BUILD:-}" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWIN_BENCH=ON >/dev/null
  cmake --build "$build" --target tallowin sizetree_scan_engines sizetree_slow_fs -j"$(nproc)" >/dev/null
fi

mount_point=$(mktemp -d)
trap 'fusermount3 -u "$mount_point" 2>/dev/null || true; rmdir "$mount_point"' EXIT
# Threads enough to answer every worker of the largest pool at once.
"$build/bench/sizetree_slow_fs" "$source_dir" "$mount_point" "$delay" -o max_threads=64
engines=$build/bench/sizetree_scan_engines

names=(du read-ahead-2 read-ahead tallowin)
cmds=("du -s -b $mount_point" "$engines read-ahead $mount_point 2 2" "$engines read-ahead $mount_point"
      "$build/app/tallowin --report $mount_point")
echo "slow file system: $source_dir ($(find "$source_dir" | wc -l) entries), every request answered after $delay µs"
echo "($rounds rounds, median; CPU = user + system; $(nproc) cores; load $(cut -d' ' -f1-3 /proc/loadavg))"
time_table "$rounds" scan
echo "pool: $("$engines" read-ahead "$mount_point" | head -1)"
echo "fixed: $("$engines" read-ahead "$mount_point" 2 2 | head -1)"
