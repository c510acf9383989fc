#!/usr/bin/env bash
# Fails when a source file includes a header across a forbidden line of the
# layout: numtext/ and mounts/ use nothing else of ours; sizetree/ itself,
# numtext/ and mounts/; savedscan/ itself, sizetree/ and numtext/; chart/
# itself and numtext/; drives/ itself and mounts/; app/ anything.
# Usage: include_rules.sh [TOP]   (default: the repository holding this file)
set -euo pipefail
top=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$top"

declare -A allowed=(
  [numtext]="numtext"
  [mounts]="mounts"
  [sizetree]="sizetree numtext mounts"
  [savedscan]="savedscan sizetree numtext"
  [chart]="chart numtext"
  [drives]="drives mounts"
)
ours="app chart drives mounts numtext savedscan sizetree tests"

bad=0
for folder in "${!allowed[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    header=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' <<<"${rest#*:}")
    [ -n "$header" ] || continue
    first=${header%%/*}
    # A header named without a folder is looked up beside the file.
    [ "$first" = "$header" ] && continue
    case " $ours " in *" $first "*) ;; *) continue ;; esac
    case " ${allowed[$folder]} " in
      *" $first "*) ;;
      *) echo "$file:$line: $folder/ may not include \"$header\" (it may use: ${allowed[$folder]})"
         bad=1 ;;
    esac
  done < <(grep -rn --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$folder" || true)
done
if [ "$bad" -ne 0 ]; then
  echo "include rules: broken"
  exit 1
fi
echo "include rules: kept"
