#!/usr/bin/env bash
# The floors of src/, bottom up: a folder includes only folders on lower
# floors, never one beside it or above it. Names every include that breaks
# the rule and exits 1; a subfolder belongs to its top folder.
# Usage: check-floors.sh [SRC_DIR]
set -euo pipefail
SRC=${1:-$(dirname "$0")/../src}

declare -A FLOOR=(
  [settings]=0 [storage]=0
  [comm]=1
  [profile]=2 [params]=2 [lut]=2
  [files]=3
  [session]=4
  [dialogs]=5
  [mainwin]=6 [cli]=6
  [app]=7
)

broken=0
checked=0
while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  line=${rest%%:*}
  [[ ${rest#*:} =~ include[[:space:]]*\"([^/\"]+)/ ]] || continue
  target=${BASH_REMATCH[1]}
  from=${file#"$SRC"/}
  from=${from%%/*}
  [[ $from == "$target" ]] && continue
  checked=$((checked + 1))
  if [[ -z ${FLOOR[$from]+x} || -z ${FLOOR[$target]+x} ]]; then
    echo "$file:$line: \"$target\" is on no floor (includes from $from)"
    broken=$((broken + 1))
  elif ((FLOOR[$target] > FLOOR[$from])); then
    echo "$file:$line: $from (floor ${FLOOR[$from]}) climbs to $target (floor ${FLOOR[$target]})"
    broken=$((broken + 1))
  elif ((FLOOR[$target] == FLOOR[$from])); then
    echo "$file:$line: $from goes sideways to $target (both on floor ${FLOOR[$from]})"
    broken=$((broken + 1))
  fi
done < <(grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$SRC")

if ((checked == 0)); then
  echo "no include between folders found under $SRC" >&2
  exit 1
fi
if ((broken > 0)); then
  echo "$broken of $checked includes between folders break the floors"
  exit 1
fi
echo "floors kept: $checked includes between folders, each one down"
