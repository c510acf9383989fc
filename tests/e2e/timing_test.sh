#!/usr/bin/env bash
# `tallowin --timing PATH` scans PATH in the real window, prints one line
# "scan N ms, peak M MiB" and ends with status 0; without PATH it is refused
# with status 2. Usage: timing_test.sh TALLOWIN
# Exit: 0 passed, 1 failed, 77 skipped (no X display).
set -uo pipefail
bin=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x_helpers.sh"
x_require_tools || exit 77
export QT_QPA_PLATFORM=xcb

tree=$(mktemp -d /tmp/te2e-timing.XXXXXX)
trap 'rm -rf "$tree" "$tree.err"' EXIT
mkdir "$tree/a"
truncate -s 5M "$tree/a/f"

out=$(timeout 60 "$bin" --timing "$tree" 2>"$tree.err")
status=$?
echo "$out"
[ "$status" = 0 ] || fail "--timing ended with status $status: $(cat "$tree.err")"
[[ "$out" =~ ^scan\ [0-9]+\ ms,\ peak\ [0-9]+\ MiB$ ]] || fail "unexpected output: $out"

timeout 60 "$bin" --timing >/dev/null 2>&1
status=$?
[ "$status" = 2 ] || fail "--timing without a folder: status $status, not 2"
echo "PASS: --timing"
