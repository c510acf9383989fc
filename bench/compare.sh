#!/usr/bin/env bash
# The figures of bench/README.md, side by side in one run (warm cache):
#   - wall time and peak memory of `tallowin --report` against du, ncdu and
#     gdu on three trees: the extracted source of Debian's linux-source
#     package, the generated 1,000,000-file tree (100,110 folders), and /usr;
#   - the window's scan of the generated tree, Go to end, measured inside the
#     program (`tallowin --timing`, under Xvfb when there is no display);
#   - a full re-sort of a 100,110-folder tree, the switch of Sizes on Disk on
#     the same tree (every caption made again and a re-sort; target under
#     50 ms) and a full chart drawing, from the Google benchmarks.
# Prints a Markdown table. Missing tools and the source package are installed
# from Debian; the trees are built once under $BENCH_DATA (ignored by git).
#
#   bash bench/compare.sh     # ROUNDS=9 BUILD_DIR=build BENCH_DATA=bench-data
# (TREES="DIR ..." and WINDOW_TREE=DIR measure other folders instead.)
#
# COLD=1: the first scan of a disk instead: the page cache is written back
# and dropped before every run (tools alternating), on the linux source and
# the generated tree, and only the scans are timed. Needs root; skipped with
# a message otherwise.
# BASELINE=PROGRAM: also times another build of tallowin ("before"), report
# and window, side by side with this one.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$top/build}
data=${BENCH_DATA:-$top/bench-data}
rounds=${ROUNDS:-9}
source "$top/bench/timing_lib.sh"

cold=${COLD:-}
drop_cache() { sync && echo 3 >/proc/sys/vm/drop_caches; }
if [ -n "$cold" ] && ! drop_cache 2>/dev/null; then
  echo "compare.sh: the cold-cache mode drops the page cache, which needs root; skipped" >&2
  exit 0
fi

missing=()
[ -x /usr/bin/time ] || missing+=(time)
command -v ncdu >/dev/null || missing+=(ncdu)
command -v gdu >/dev/null || missing+=(gdu)
command -v xvfb-run >/dev/null || missing+=(xvfb xauth)
ls /usr/src/linux-source-*.tar.* >/dev/null 2>&1 || missing+=(linux-source)
install_packages "${missing[@]}"

if [ -z "${SKIP_BUILD:-}" ]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWIN_BENCH=ON >/dev/null
  cmake --build "$build" -j"$(nproc)" \
    --target tallowin sizetree_make_tree sizetree_bench chart_full_bench >/dev/null
fi

# The trees, each built once; a marker file says it is complete.
mkdir -p "$data"
linux=$data/linux-source
if [ ! -f "$linux.done" ]; then
  echo "extracting the linux-source tarball into $linux (once)" >&2
  rm -rf "$linux"
  mkdir -p "$linux"
  tar -xf "$(ls /usr/src/linux-source-*.tar.* | head -1)" -C "$linux"
  touch "$linux.done"
fi
generated=$data/tree-1m  # the same tree as bench/scan_compare.sh
ensure_tree_1m "$build" "$data"

tallowin=$build/app/tallowin
tools=(tallowin du ncdu gdu)
baseline=${BASELINE:-}
[ -n "$baseline" ] && tools=(tallowin before du ncdu gdu)
command_of() {
  case $1 in
    tallowin) echo "$tallowin --report $2" ;;
    before) echo "$baseline --report $2" ;;
    du) echo "du -s -b $2" ;;
    ncdu) echo "ncdu -x -0 -o /dev/null $2" ;;
    gdu) echo "gdu -n -p -x $2" ;;
  esac
}
results=$(mktemp)
trap 'rm -rf "$results" "$results.one" "$results.state"' EXIT

# Median of the arguments.
median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

declare -A wall mem
default_trees="$linux $generated /usr"
[ -n "$cold" ] && default_trees="$linux $generated"
trees=${TREES:-$default_trees}
window_tree=${WINDOW_TREE:-$generated}
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for tree in $trees; do
  if [ -z "$cold" ]; then
    for t in "${tools[@]}"; do $(command_of "$t" "$tree") >/dev/null 2>&1 || true; done  # warm
  fi
  declare -A walls=() mems=()
  for ((r = 0; r < rounds; r++)); do
    for t in "${tools[@]}"; do
      [ -z "$cold" ] || drop_cache
      time_one "$results.one" $(command_of "$t" "$tree")
      read -r w _ _ m <"$results.one"
      walls[$t]="${walls[$t]:-} $w"
      mems[$t]="${mems[$t]:-} $m"
    done
  done
  for t in "${tools[@]}"; do
    wall[$t,$tree]=$(median ${walls[$t]})
    mem[$t,$tree]=$(median ${mems[$t]})
  done
  unset walls mems
done

files_of() { find "$1" -xdev -not -type d 2>/dev/null | wc -l; }
folders_of() { find "$1" -xdev -type d 2>/dev/null | wc -l; }

# One table row per tree and tool.
print_scans() {
  echo "| tree | tool | wall s | × du | peak MiB |"
  echo "|---|---|---:|---:|---:|"
  for tree in $trees; do
    label="$(basename "$tree") ($(files_of "$tree") files, $(folders_of "$tree") folders)"
    [ "$tree" = /usr ] && label="/usr ($(files_of /usr) files, $(folders_of /usr) folders)"
    du_wall=${wall[du,$tree]}
    for t in "${tools[@]}"; do
      awk -v l="$label" -v t="$t" -v w="${wall[$t,$tree]}" -v d="$du_wall" -v m="${mem[$t,$tree]}" -v c="$1" \
        'BEGIN { n = (t == "tallowin" ? "tallowin --report" : t == "before" ? "tallowin --report, before" : t)
                 printf "| %s | %s%s | %.3f | %.2f | %.1f |\n", l, n, c, w, (d > 0 ? w / d : 0), m / 1024 }'
      label=""
    done
  done
}

if [ -n "$cold" ]; then
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores, $(. /etc/os-release; echo "$PRETTY_NAME"); median of $rounds runs, cold cache (written back and dropped before every run); load before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)."
  echo
  print_scans ", cold"
  exit 0
fi

# The window: Go to the end of the scan of the generated tree, inside the
# program, and its peak memory afterwards. It remembers its scans in a
# folder of this run, not the user's.
run_window() {
  if [ -n "${DISPLAY:-}" ]; then
    XDG_STATE_HOME="$results.state" QT_QPA_PLATFORM=xcb "$1" --timing "$window_tree"
  else
    XDG_STATE_HOME="$results.state" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$1" \
      --timing "$window_tree"
  fi
}
window_ms=() window_mib=() before_ms=()
for ((r = 0; r < rounds; r++)); do
  line=$(run_window "$tallowin" 2>/dev/null | grep "^scan " || true)
  window_ms+=("$(echo "$line" | awk '{ print $2 }')")
  window_mib+=("$(echo "$line" | awk '{ print $5 }')")
  if [ -n "$baseline" ]; then
    line=$(run_window "$baseline" 2>/dev/null | grep "^scan " || true)
    before_ms+=("$(echo "$line" | awk '{ print $2 }')")
  fi
done

resort=$("$build/bench/sizetree_bench" --benchmark_filter=BM_SortSubtreeSwitch \
  --benchmark_format=csv 2>/dev/null | awk -F, '/BM_SortSubtreeSwitch/ { printf "%.1f", $3 }')
switch=$("$build/bench/sizetree_bench" --benchmark_filter=BM_SizesShownSwitch \
  --benchmark_format=csv 2>/dev/null | awk -F, '/BM_SizesShownSwitch/ { printf "%.1f", $3 }')
chart=$("$build/bench/chart_full_bench" --benchmark_filter='BM_FullChartQPainter/0' \
  --benchmark_format=csv 2>/dev/null | awk -F, '/BM_FullChartQPainter/ { printf "%.1f", $3 }')

echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores, $(awk '/MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo), $(. /etc/os-release; echo "$PRETTY_NAME"); median of $rounds runs, warm cache; load before: $load_before, after: $(cut -d' ' -f1-3 /proc/loadavg)."
echo
print_scans ""
wms=$(median "${window_ms[@]}")
awk -v w="$wms" -v d="${wall[du,$window_tree]:-0}" -v m="$(median "${window_mib[@]}")" -v l="$(basename "$window_tree")" \
  'BEGIN { printf "| %s | window scan, Go to end (--timing) | %.2f | %.2f | %.0f |\n", l, w / 1000, (d > 0 ? w / 1000 / d : 0), m }'
if [ -n "$baseline" ]; then
  awk -v w="$(median "${before_ms[@]}")" -v d="${wall[du,$window_tree]:-0}" -v l="$(basename "$window_tree")" \
    'BEGIN { printf "| %s | window scan, before | %.2f | %.2f | |\n", l, w / 1000, (d > 0 ? w / 1000 / d : 0) }'
fi
echo
echo "Full re-sort of a 100,110-folder tree (switching the order): $resort ms. Sizes on Disk switched on that tree (captions and order): $switch ms (target under 50 ms). Full chart drawing at 800 × 600 (50-slice pie, marks, title, legend): $chart ms."
