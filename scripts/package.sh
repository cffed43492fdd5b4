#!/usr/bin/env bash
# Builds the Debian package startgarten_<version>_<arch>.deb from the install rules, in build/
# (the build directory of run.sh and test.sh, configured the same way), and prints its path.
# Install it with: sudo apt install ./build/startgarten_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >&2

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target startgarten desktop_files >&2
rm -f build/startgarten_*.deb
(cd build && cpack -G DEB >&2)
ls build/startgarten_*.deb
