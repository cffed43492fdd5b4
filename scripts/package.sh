#!/usr/bin/env bash
# Builds the Debian package startgarten_<version>_<arch>.deb from the install rules in build/
# (the build directory of run.sh and test.sh, configured the same way) and prints its path; with
# --install it also installs it with apt, which brings the packages it depends on.
# Usage: package.sh [--install]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >&2

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target startgarten startgarten_window desktop_files >&2
rm -f build/startgarten_*.deb
(cd build && cpack -G DEB >&2)
deb=$(echo build/startgarten_*.deb)
echo "$deb"

if [ "${1:-}" = --install ]; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q "./$deb" >&2
fi
