#!/usr/bin/env bash
# Builds everything and runs every test twice: a normal build (warnings are
# errors there), then a build under AddressSanitizer, UndefinedBehaviorSanitizer
# and LeakSanitizer. Then the size tree's tests, which drive the scan's worker
# threads, once more under ThreadSanitizer. After the normal build the program
# is installed into a temporary folder and as a Debian package, checked and
# removed again (scripts/package_test.sh). Last, the fuzz targets run for
# their time each (scripts/fuzz.sh; skipped where clang cannot link them).
# Tests that need a real X server get one from xvfb-run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/deps.sh" test
jobs=$(nproc)
# Tests expect a plain UTF-8 locale whatever the caller has.
export LC_ALL=C.UTF-8

run_suite() {
  local dir=$1; shift
  cmake -S "$top" -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  # -noreset: the server would reset whenever its last client left, and
  # refuse the clients (tests starting) that connect meanwhile.
  (cd "$dir" && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
      ctest --output-on-failure -j"$jobs" --timeout 900)
}

echo "== normal build =="
run_suite "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWIN_TESTS=ON -DTALLOWIN_BENCH=ON \
  -DTALLOWIN_WERROR=ON

echo "== install and Debian package =="
bash "$top/scripts/package_test.sh" "$top/build"

echo "== sanitizer build =="
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
run_suite "$top/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTALLOWIN_SANITIZE=ON -DTALLOWIN_TESTS=ON -DTALLOWIN_BENCH=OFF

echo "== thread sanitizer build: the scan's tests =="
unset ASAN_OPTIONS LSAN_OPTIONS
export TSAN_OPTIONS="halt_on_error=1"
cmake -S "$top" -B "$top/build-tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOWIN_TSAN=ON \
  -DTALLOWIN_BENCH=OFF >/dev/null
cmake --build "$top/build-tsan" -j"$jobs" --target sizetree_tests
"$top/build-tsan/tests/sizetree/sizetree_tests" --gtest_brief=1

echo "== fuzz targets =="
unset TSAN_OPTIONS
bash "$top/scripts/fuzz.sh"
