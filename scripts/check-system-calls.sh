#!/usr/bin/env bash
# Fails on a system call in the program outside platform/system that ARCHITECTURE.md does not
# allow in its file. Every file operation that can change what is written goes through
# platform/system/file_system.h, where the tests make it fail; the few calls elsewhere are listed
# in the table of ARCHITECTURE.md whose head is "| calls | where | what for |", each with the
# files or folders where it may stand. The program calls the system as ::name(...), and a raw
# system call as ::syscall(SYS_name, ...), which counts as name.
set -euo pipefail
cd "$(dirname "$0")/.."

# The table's rows as "call where" lines, a line for each call and place of a row.
allowed=$(awk -F'|' '
  /^\| calls \| where \| what for \|$/ { inside = 1; next }
  !inside { next }
  !/^\|/ { exit }
  /^\|[- |]*$/ { next }
  {
    calls = $2
    while (match(calls, /`[^`]+`/)) {
      call = substr(calls, RSTART + 1, RLENGTH - 2)
      calls = substr(calls, RSTART + RLENGTH)
      places = $3
      while (match(places, /`[^`]+`/)) {
        print call, substr(places, RSTART + 1, RLENGTH - 2)
        places = substr(places, RSTART + RLENGTH)
      }
    }
  }' ARCHITECTURE.md)
if [ -z "$allowed" ]; then
  echo "check-system-calls.sh: ARCHITECTURE.md has no table of the system calls outside" \
    "platform/system" >&2
  exit 1
fi

failed=0
while IFS=: read -r file number call; do
  permitted=0
  while read -r name place; do
    if [ "$name" = "$call" ] && [[ $file == "$place"* ]]; then
      permitted=1
      break
    fi
  done <<<"$allowed"
  if [ $permitted = 0 ]; then
    echo "system call outside the seam: $file:$number calls $call," \
      "which ARCHITECTURE.md does not allow there" >&2
    failed=1
  fi
done < <(git ls-files app bootfile interlocks options controls logos platform |
  grep -E '\.(cpp|h)$' | grep -v '^platform/system/' |
  xargs grep -noE '(^|[^A-Za-z0-9_>.])::[a-z_][a-z0-9_]*\((SYS_[a-z0-9_]+)?' |
  sed -E 's/^([^:]*:[0-9]+:).*::syscall\(SYS_/\1/; s/^([^:]*:[0-9]+:).*::/\1/; s/\($//')
exit $failed
