#!/usr/bin/env bash
# Prints the share of the tests (tests/ and fuzz/) in the C++ code, and fails when it is above one
# third: tests that catch real faults do not need to outweigh the code they hold. Lines are counted
# without blank lines and comments.
set -euo pipefail
cd "$(dirname "$0")/.."

# The lines of code of each file named on standard input, as "tests N" or "code N".
count_lines() {
  xargs -0 awk '
    FNR == 1 { if (name != "") print kind, lines; name = FILENAME; lines = 0; block = 0
               kind = (name ~ /^(tests|fuzz)\//) ? "tests" : "code" }
    {
      line = $0
      gsub(/^[ \t\r\f\v]+|[ \t\r\f\v]+$/, "", line)
      if (block) {
        at = index(line, "*/")
        if (!at) next
        block = 0
        line = substr(line, at + 2)
        gsub(/^[ \t\r\f\v]+/, "", line)
      }
      if (substr(line, 1, 2) == "/*") { if (!index(line, "*/")) block = 1; next }
      if (line == "" || substr(line, 1, 2) == "//") next
      ++lines
    }
    END { if (name != "") print kind, lines }'
}

git ls-files -z '*.cpp' '*.h' '*.cc' '*.hpp' | count_lines | awk '
  { total += $2; if ($1 == "tests") tests += $2 }
  END {
    printf "tests and fuzz targets: %d of %d lines of C++ (%.1f%%); at most a third\n",
           tests, total, 100 * tests / total
    if (3 * tests > total) {
      print "test-share.sh: the tests are more than a third of the code" > "/dev/stderr"
      exit 1
    }
  }'
