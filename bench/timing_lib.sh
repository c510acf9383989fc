# Shared by the scan benchmark scripts; source it, don't run it.

# Builds the generated tree of 1,000,000 files in 100,110 folders under $2
# once, with the generator of build folder $1; later runs reuse it.
# Installs the Debian packages named, if any (apt-get as root, sudo otherwise).
install_packages() {
  [ $# -gt 0 ] || return 0
  local sudo=
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "installing $*" >&2
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

ensure_tree_1m() {
  local build=$1 data=$2
  [ -f "$data/tree-1m.done" ] && return 0
  echo "building $data/tree-1m (once; takes a minute or two)"
  rm -rf "$data/tree-1m"
  mkdir -p "$data"
  "$build/bench/sizetree_make_tree" "$data/tree-1m"
  touch "$data/tree-1m.done"
}

# Runs the command $2.. once with output discarded and writes one line
# "WALL USER SYSTEM PEAK" to file $1: seconds, wall to the microsecond (from
# the shell's clock; /usr/bin/time gives only hundredths), peak memory in KiB.
time_one() {
  local out=$1 start end
  shift
  start=$EPOCHREALTIME
  /usr/bin/time -f "%U %S %M" -o "$out.time" "$@" >/dev/null 2>&1 || true
  end=$EPOCHREALTIME
  awk -v s="$start" -v e="$end" '{ printf "%.6f %s %s %s\n", e - s, $1, $2, $3 }' "$out.time" >"$out"
  rm -f "$out.time"
}

# Runs every command of the caller's parallel arrays `names` and `cmds` once
# to warm the cache, then $1 rounds alternating the commands, and prints the
# median wall and CPU (user + system) times, their ratios to the command
# named "du", and peak memory. $2 heads the first column.
time_table() {
  local rounds=$1 heading=$2 results r i c
  results=$(mktemp)
  for c in "${cmds[@]}"; do $c >/dev/null 2>&1 || true; done
  for ((r = 0; r < rounds; r++)); do
    for i in "${!cmds[@]}"; do
      time_one "$results.one" ${cmds[$i]}
      echo "${names[$i]} $(tail -1 "$results.one")" >>"$results"
    done
  done
  printf "%-12s %9s %9s %9s %9s %12s\n" "$heading" "wall s" "x du" "cpu s" "x du" "peak MiB"
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
        printf "%-12s %9.3f %9.2f %9.2f %9.2f %12.1f\n", t, w, w / dw, c, c / dc, mem[t] / 1024
      }
    }' "$results" | sort -k1,1 -s
  rm -f "$results" "$results.one"
}
