#!/usr/bin/env bash
# Prints which folders include which (with the number of includes) and fails when a folder
# includes one that is not below it: the layers, bottom up, are
#   platform < controls, logos < options < interlocks, bootfile < app < app/view
# and the platform's rooms, bottom up, are
#   platform/system < platform/windows < platform/drives
#     < platform/drives/folder, platform/drives/image < platform/dos < platform
# (a layer above the platform may include any of its rooms). Then it checks that no code outside
# platform/system makes a system call that ARCHITECTURE.md does not allow there
# (check-system-calls.sh), and prints the tests' share of the code, failing above a third
# (test-share.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

system="platform/system"
windows="platform/windows $system"
drives="platform/drives $windows"
platform="platform platform/dos platform/drives/folder platform/drives/image $drives"
# The folders each folder may include, itself included.
declare -A allowed=(
  [platform/system]="$system"
  [platform/windows]="$windows"
  [platform/drives]="$drives"
  [platform/drives/folder]="platform/drives/folder $drives"
  [platform/drives/image]="platform/drives/image $drives"
  [platform/dos]="platform/dos platform/drives/folder platform/drives/image $drives"
  [platform]="$platform"
  [controls]="controls $platform"
  [logos]="logos $platform"
  [options]="options controls $platform"
  [interlocks]="interlocks options controls $platform"
  [bootfile]="bootfile options controls $platform"
  [app]="app bootfile interlocks options logos controls $platform"
  [app/view]="app/view app bootfile interlocks options logos controls $platform"
)

# A file's folder: the room of a file of the platform, else its top-level folder.
folder_of() {
  case $1 in
    app/view/*) echo app/view ;;
    platform/*) echo "${1%/*}" ;;
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
scripts/check-system-calls.sh || failed=1
scripts/test-share.sh || failed=1
exit $failed
