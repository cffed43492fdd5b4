#!/usr/bin/env bash
# Installs what is missing; checks that no folder includes one above it, that no system call
# outside the file system operations is missing from ARCHITECTURE.md's list, and prints the
# tests' share of the code, failing above a third (scripts/check-layers.sh); builds, and runs
# every test: the whole suite with the window tests, the file system tests and power cuts inside a
# virtual machine, then the Debian package is built and what it installs checked, then the core
# tests again under AddressSanitizer and UndefinedBehaviorSanitizer in a build that clang-tidy
# checks, then a short run of each fuzz target.
#
# With CI=true (.ci/run), a test that skips itself fails the run: a test skips only when a package
# it needs is missing, and CI installs every package, so there a skip would hide a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-layers.sh

# Runs a test command, its output also kept in LOG; in CI, fails when the output tells of a
# skipped test (ctest lists those as "(Skipped)", GoogleTest as "[  SKIPPED ]").
without_skips() {
  local log=$1
  shift
  "$@" 2>&1 | tee "$log"
  if [ "${CI:-}" = true ] && grep -E '\(Skipped\)$|^\[  SKIPPED \] ' "$log"; then
    echo "test.sh: the tests above skipped themselves; in CI nothing they need may be missing" >&2
    exit 1
  fi
}

scripts/build.sh build
without_skips build/ctest.log ctest --test-dir build --output-on-failure -j "$(nproc)"
# The write command's tests once more inside Debian's kernel, on vfat, msdos and a 9p shared
# folder: the rows of their table for the mount that the test machine gives them.
without_skips build/kernel-test.log \
  scripts/kernel-test.sh build/tests/app/write_command_test --gtest_filter='*Mount_*'
# A name in an image's header that leads into an automounter's folder, in the same machine, which
# has autofs.
without_skips build/kernel-test-autofs.log env KERNEL_TEST_FILE_SYSTEMS=vfat \
  scripts/kernel-test.sh build/tests/platform/image_test --gtest_filter='*Automount*'
# Power cuts in the same machine while the program writes, on vfat, msdos, ext4 and a disk image
# on ext4: a random sample of the states of the disk that end at a flush, and two cuts of the
# running machine, each judged after the next start (about 3 minutes of processor time).
KERNEL_TEST_STATES=8 scripts/kernel-test.sh --power-cut build/bin/startgarten
scripts/check-package.sh "$(scripts/package.sh)"

# With clang-tidy on every file it compiles (.clang-tidy): a finding fails the build.
scripts/build.sh build-sanitize -DSTARTGARTEN_GUI=OFF -DSTARTGARTEN_SANITIZE=ON \
  -DCMAKE_CXX_CLANG_TIDY=clang-tidy
without_skips build-sanitize/ctest.log \
  ctest --test-dir build-sanitize --output-on-failure -j "$(nproc)"

# Each fuzz target briefly on its seeds: any finding fails the run.
scripts/fuzz.sh 20
