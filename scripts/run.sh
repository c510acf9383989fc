#!/usr/bin/env bash
# Builds the program and starts it. Arguments are passed to tallowin.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/scripts/deps.sh"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" --target tallowin -j"$(nproc)"
exec "$top/build/app/tallowin" "$@"
