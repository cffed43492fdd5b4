#!/usr/bin/env bash
# Installs what is missing, builds, and opens the program on a fresh copy of the sample drive.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
WINEPREFIX=$(scripts/sample-drive.sh build/sample) exec build/bin/startgarten
