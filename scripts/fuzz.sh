#!/usr/bin/env bash
# Builds the fuzz targets (tests/fuzz) with clang++ in build-fuzz and runs
# each for its time, starting from its seed corpus; fails on a crash.
# Where clang++ or the fuzzer's runtime is missing, says so and skips.
# Usage: fuzz.sh [SECONDS]   (overrides every target's time)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir="$top/build-fuzz"
# Seconds per target; a target not named here runs 60 s.
declare -A seconds=(
  [MountTable]=60
  [SavedScan]=30
)

skip() {
  echo "fuzz: skipped: $*"
  exit 0
}

command -v clang++ >/dev/null || skip "no clang++ (Debian package clang)"
# Can a fuzz target link here at all? The runtime comes with libclang-rt-14-dev.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe/p.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" 2>"$probe/err"; then
  skip "a fuzz target cannot be linked: $(grep -m1 -i error "$probe/err" || head -n1 "$probe/err")" \
    "(Debian package libclang-rt-14-dev)"
fi

cmake -S "$top" -B "$dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTALLOWIN_FUZZ=ON >/dev/null
cmake --build "$dir" -j"$(nproc)"

export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
for source in "$top"/tests/fuzz/*_fuzz.cpp; do
  name=$(basename "$source" _fuzz.cpp)
  time=${1:-${seconds[$name]:-60}}
  # New inputs go to the build folder; the recorded seeds stay as they are.
  mkdir -p "$dir/corpus/$name" "$dir/crashes/$name"
  echo "fuzz: $name for $time s"
  if ! "$dir/tests/fuzz/${name}_fuzz" -max_total_time="$time" -print_final_stats=1 \
      -artifact_prefix="$dir/crashes/$name/" "$dir/corpus/$name" "$top/tests/fuzz/corpus/$name" \
      >"$dir/$name.log" 2>&1; then
    tail -n 40 "$dir/$name.log"
    echo "fuzz: $name FAILED (input kept in $dir/crashes/$name/, log in $dir/$name.log)"
    exit 1
  fi
  grep -E '^stat::number_of_executed_units|^Done' "$dir/$name.log" || true
done
