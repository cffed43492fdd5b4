#!/usr/bin/env bash
# The examples of the manual pages for scripts work as printed: each example (a block between
# .nf and .fi that calls "startgarten --") runs in bash with the built program first in PATH and
# a home folder of its own that holds ~/win95, a copy of the sample drive, and ~/86box with two
# copies of the sample drive as a disk image; each ends with status 0, and the drives show the
# changes, none of the dry run's. Usage: manual_examples_test.sh PROGRAM SOURCE_DIR MANUAL_PAGE...
set -euo pipefail
program=$1 source=$2
shift 2

fail() {
  echo "manual examples: $*" >&2
  exit 1
}

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir "$home/bin"
ln -s "$program" "$home/bin/startgarten"

for page in "$@"; do
  rm -rf "${home:?}/win95" "$home/86box"
  cp -r "$source/examples/drive_c" "$home/win95"
  chmod a-w "$home/win95/MSDOS.SYS"
  "$source/scripts/sample-image.sh" "$home/86box" >/dev/null
  rm -rf "$home/86box/prefix"
  cp "$home/86box/win95.img" "$home/86box/dos622.img"

  # The blocks, roff escapes undone, separated by NUL bytes.
  examples=$(awk '/^\.nf/ { block = ""; inside = 1; next }
                  /^\.fi/ { if (block ~ /startgarten \\-\\-/) printf "%s%c", block, 0; inside = 0 }
                  inside { block = block $0 "\n" }' "$page" |
    sed -e 's/\\-/-/g' -e "s/\\\\(aq/'/g" -e 's/\\e/\\/g' | tr '\0' '\36')
  count=0 outputs=()
  while IFS= read -r -d $'\36' example; do
    count=$((count + 1))
    output=$(HOME=$home PATH=$home/bin:$PATH bash -euo pipefail -c "$example" 2>&1) ||
      fail "$(basename "$page"), example $count ends with an error: $example$output"
    outputs+=("$output")
  done <<<"$examples"
  [ "$count" -eq 4 ] || fail "$(basename "$page") has $count examples for scripts, not 4"
  [ "$(wc -l <<<"${outputs[0]}")" -eq 17 ] && [ "${outputs[1]}" = DosPrompt=1 ] &&
    [ -z "${outputs[2]}" ] && [ "$(head -1 <<<"${outputs[3]}")" = '--- a/C:\msdos.sys' ] ||
    fail "the examples printed \"${outputs[*]}\""

  for drive in "$home/win95" "$home/86box/win95.img" "$home/86box/dos622.img"; do
    shown=$("$program" --show "$drive")
    for line in Logo=0 BootDelay=0; do
      grep -qx "$line" <<<"$shown" || fail "$(basename "$page"): $drive shows no $line"
    done
  done
  grep -qx BootMenu=1 <<<"$("$program" --show "$home/win95")" || fail "no boot menu on ~/win95"
  echo "manual examples: $(basename "$page"): $count examples work as printed"
done
