#!/usr/bin/env bash
# Runs the report mode of tallowin under valgrind's memcheck on a folder
# (default /usr) and fails on any memory error or definite leak.
# Usage: valgrind_report.sh TALLOWIN [FOLDER]
# Exit: 0 clean, 1 errors found, 77 valgrind missing (a skip for ctest).
set -euo pipefail
bin=${1:?usage: valgrind_report.sh TALLOWIN [FOLDER]}
folder=${2:-/usr}
if ! command -v valgrind >/dev/null; then
  echo "SKIP: valgrind is not installed (scripts/deps.sh installs it)"
  exit 77
fi
log=$(mktemp)
out=$(mktemp)
trap 'rm -f "$log" "$out"' EXIT
start=$(date +%s)
status=0
valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
  --errors-for-leak-kinds=definite --track-origins=yes --log-file="$log" \
  "$bin" --report "$folder" >"$out" || status=$?
echo "valgrind: tallowin --report $folder ran $(( $(date +%s) - start )) s, exit status $status, $(wc -l <"$out") lines"
grep -E 'ERROR SUMMARY|definitely lost|in use at exit' "$log" || true
if [ "$status" -ne 0 ]; then
  cat "$log"
  exit 1
fi
# A scan that printed nothing would pass the memory check without scanning.
if [ "$(head -1 "$out")" != "$folder" ] || [ "$(wc -l <"$out")" -lt 2 ]; then
  echo "the report is empty or does not start with $folder"
  exit 1
fi
