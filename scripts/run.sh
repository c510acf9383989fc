#!/usr/bin/env bash
# Builds the program (without tests and benchmarks) and starts it. Arguments
# are passed to tallowin.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/deps.sh" run
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTALLOWIN_TESTS=OFF -DTALLOWIN_BENCH=OFF >/dev/null
cmake --build "$top/build" --target tallowin -j"$(nproc)"
exec "$top/build/app/tallowin" "$@"
