#!/usr/bin/env bash
# Prints which folders include which (with the number of includes) and fails when a folder
# includes one that is not below it: the layers, bottom up, are
#   platform < controls, logos < options < interlocks, bootfile < app < app/view
set -euo pipefail
cd "$(dirname "$0")/.."

# The folders each folder may include, itself included.
declare -A allowed=(
  [platform]="platform"
  [controls]="controls platform"
  [logos]="logos platform"
  [options]="options controls platform"
  [interlocks]="interlocks options controls platform"
  [bootfile]="bootfile options controls platform"
  [app]="app bootfile interlocks options logos controls platform"
  [app/view]="app/view app bootfile interlocks options logos controls platform"
)

folder_of() {
  case $1 in
    app/view/*) echo app/view ;;
    *) echo "${1%%/*}" ;;
  esac
}

declare -A edges=()
failed=0
for from in "${!allowed[@]}"; do
  for file in $(git ls-files "$from" | grep -E '\.(cpp|h)$'); do
    [ "$(folder_of "$file")" = "$from" ] || continue
    while read -r included; do
      to=$(folder_of "$included")
      [ -n "${allowed[$to]+x}" ] || continue
      edges["$from -> $to"]=$((${edges["$from -> $to"]:-0} + 1))
      if [[ " ${allowed[$from]} " != *" $to "* ]]; then
        echo "upward include: $file includes $included" >&2
        failed=1
      fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
  done
done
for edge in "${!edges[@]}"; do
  [ "${edge%% -> *}" = "${edge##* -> }" ] || echo "$edge (${edges[$edge]})"
done | sort
exit $failed
