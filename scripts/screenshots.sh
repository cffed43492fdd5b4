#!/usr/bin/env bash
# Builds the screenshot tool and writes PNG pictures of the window on a copy of the sample drive
# (its five pages), of the write command's confirmation box and of the box before the window (drive
# C missing, an empty folder chosen as drive C, the drives chosen lately), on Qt's offscreen
# platform, into DIR (default build/screenshots).
# With --docs it also renews the README's pictures in docs/: startgarten.png (the first page, also
# the AppStream metadata's) and the box before the window for an empty folder and with the drives
# chosen lately.
# Usage: screenshots.sh [--docs] [DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
docs=false
if [ "${1:-}" = --docs ]; then
  docs=true
  shift
fi
dir=$(mkdir -p "${1:-build/screenshots}" && cd "${1:-build/screenshots}" && pwd)
scripts/setup.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target window_screenshots >/dev/null
QT_QPA_PLATFORM=offscreen STARTGARTEN_SOURCE_DIR=$PWD STARTGARTEN_SCREENSHOT_DIR=$dir \
  build/tools/screenshots/window_screenshots -silent
if $docs; then
  cp "$dir/page1-Menü.png" docs/startgarten.png
  cp "$dir/no-boot-drive.png" "$dir/recent-drives.png" docs/
fi
ls "$dir"
