#!/usr/bin/env bash
# The bash completion against the program: it offers the options, each name that --show prints,
# in that order, and values of each that the program takes; names match without regard to case;
# "=" may break words or not. Usage: completion_test.sh COMPLETION PROGRAM SAMPLE_DRIVE
set -euo pipefail
completion=$1 program=$2 sample=$3
# shellcheck source=/dev/null
source "$completion"

fail() {
  echo "completion: $*" >&2
  exit 1
}

# The replies for the line, the cursor at its end, one a line.
replies() {
  COMP_LINE=$1 COMP_POINT=${#1}
  _startgarten
  printf '%s\n' "${COMPREPLY[@]}"
}

expect() {
  local got
  got=$(replies "$1" | tr '\n' ' ')
  [ "$got" = "$2 " ] || fail "\"$1\" gives \"$got\", not \"$2 \""
}

expect "startgarten --s" "--show --standard --set"
expect "startgarten --h" "--help"
expect "startgarten --d" "--dry-run"
expect "startgarten --set bootw" "BootWarn= BootWin="
expect "startgarten --set BootWin=" "0 1"
expect "startgarten --se=doublebuffer=" "0 1 2"
expect "startgarten --set BootDelay=" ""
COMP_WORDBREAKS=' ' expect "startgarten --set=Logo=" "--set=Logo=0 --set=Logo=1"
expect "startgarten --show $sample/WIN" "$sample/WINDOWS"

drive=$(mktemp -d)
trap 'rm -rf "$drive"' EXIT
cp -r "$sample/." "$drive"
names=$(replies "startgarten --set " | tr -d =)
shown=$("$program" --show "$drive" | cut -d= -f1)
[ "$names" = "$shown" ] || fail "names \"$names\" are not those of --show: \"$shown\""
# Each value offered is taken: the program goes on to look for the drive, which is not there.
for name in $names; do
  for value in $(replies "startgarten --set $name="); do
    status=0
    "$program" --set "$name=$value" "$drive/none" 2>/dev/null || status=$?
    [ "$status" -eq 1 ] || fail "$name=$value: exit status $status"
  done
done
echo "completion: options, $(wc -w <<<"$names") names and their values as the program takes them"
