#!/usr/bin/env bash
# Installs what is missing, checks that no folder includes one above it, builds, and runs every
# test: the whole suite with the window tests, the file system tests inside a virtual machine,
# then the Debian package is built and what it installs checked, then the core tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer in a build that clang-tidy checks, then a short
# run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-layers.sh

scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$(nproc)"
# The write command's tests once more inside Debian's kernel, on vfat, msdos and a 9p shared
# folder: the rows of their table for the mount that the test machine gives them.
scripts/kernel-test.sh build/tests/app/write_command_test --gtest_filter='*Mount_*'
scripts/check-package.sh "$(scripts/package.sh)"

# With clang-tidy on every file it compiles (.clang-tidy): a finding fails the build.
scripts/build.sh build-sanitize -DSTARTGARTEN_GUI=OFF -DSTARTGARTEN_SANITIZE=ON \
  -DCMAKE_CXX_CLANG_TIDY=clang-tidy
ctest --test-dir build-sanitize --output-on-failure -j "$(nproc)"

# Each fuzz target briefly on its seeds: any finding fails the run.
scripts/fuzz.sh 20
