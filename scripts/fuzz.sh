#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for SECONDS on its seed corpus, one after the other; fails on the first finding,
# which libFuzzer leaves in build-fuzz/findings/. Further arguments go to every target, e.g.
#   scripts/fuzz.sh 0 -runs=10000000      # each target until ten million executions
# Usage: fuzz.sh [SECONDS (default 20; 0 for no time limit)] [libFuzzer options...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift $(($# > 0 ? 1 : 0))

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSTARTGARTEN_GUI=OFF -DSTARTGARTEN_FUZZ=ON >/dev/null
cmake --build build-fuzz --target fuzzers -j "$(nproc)"

seeds=build-fuzz/seeds
rm -rf "$seeds"
mkdir -p "$seeds"/{profile,number,memo,bitmap,image,mtools,references,record} build-fuzz/findings
cp examples/drive_c/MSDOS.SYS examples/drive_c/CONFIG.SYS "$seeds/profile/"
cp examples/drive_c/AUTOEXEC.BAT examples/drive_c/CONFIG.SYS examples/drive_c/MSDOS.SYS \
  examples/drive_c/WINDOWS/DOSSTART.BAT "$seeds/memo/"
cp examples/drive_c/WINDOWS/LOGO?.SYS "$seeds/bitmap/"
cp tests/data/bmpsuite/[gb]/*.bmp "$seeds/bitmap/"
# The recognition's test cases (images made with mkfs.fat and sfdisk, and hostile ones), reduced to
# the sectors that it reads.
STARTGARTEN_IMAGE_SEEDS=$seeds/image build-fuzz/tests/platform/image_test \
  --gtest_filter='DiskImageLayout.*' >/dev/null
# The listings of mtools that the parsers' test reads, real ones and damaged ones.
STARTGARTEN_MTOOLS_SEEDS=$seeds/mtools build-fuzz/tests/platform/platform_test \
  --gtest_filter='MtoolsText.*' >/dev/null
# Headers that name other files, made with qemu-img: the first byte chooses the format (0 qcow2,
# 1 qcow, 2 QED, 3 VMDK), as the target reads it.
made=$(mktemp -d)
qemu-img create -q -f raw "$made/base.img" 1M
qemu-img create -q -f qcow2 -b base.img -F raw -o data_file="$made/data.raw" "$made/q2" 1M
qemu-img create -q -f qcow -b base.img -F raw "$made/q1" 1M
qemu-img create -q -f qed -b base.img -F raw "$made/qed" 1M
qemu-img create -q -f vmdk -o subformat=twoGbMaxExtentFlat "$made/flat.vmdk" 1M
qemu-img create -q -f vmdk -b flat.vmdk -F vmdk "$made/sparse.vmdk" 1M
for seed in "0 q2" "1 q1" "2 qed" "3 flat.vmdk" "3 sparse.vmdk"; do
  read -r format file <<<"$seed"
  { printf "\\x0$format"; head -c 4096 "$made/$file"; } >"$seeds/references/$file"
done
rm -rf "$made"
# A write record as the write command leaves it, whole and cut off.
printf 'Startgarten write record 1\nfile c 22 3C1E0F4A2B8D9E71 27 MSDOS.SYS SG000001.~00\nfile c 16 %s\nend\n' \
  '0123456789ABCDEF 20 WINDOWS/start.bat WINDOWS/SG000001.~01' >"$seeds/record/complete"
head -c 100 "$seeds/record/complete" >"$seeds/record/cut-off"
# Every value of the sample boot file is a number text.
n=0
while IFS= read -r value; do
  printf '%s' "$value" >"$seeds/number/value-$((n += 1))"
done < <(tr -d '\r' <examples/drive_c/MSDOS.SYS | sed -n 's/^[^;=]*=//p')

# target, seed folder, libFuzzer options
targets=(
  "profile_text_fuzzer profile -max_len=1024 -dict=fuzz/profile.dict"
  "number_text_fuzzer number -max_len=64 -dict=fuzz/number.dict"
  "memo_fuzzer memo -max_len=2048"
  # An allocation beyond the reader's largest picture (64 MiB) is a finding.
  "bitmap_fuzzer bitmap -max_len=8192 -malloc_limit_mb=80 -rss_limit_mb=512"
  # The recognition reads a few sectors: an allocation of a claimed size is a finding.
  "disk_image_layout_fuzzer image -max_len=8192 -malloc_limit_mb=16"
  "mtools_listing_fuzzer mtools -max_len=4096 -dict=fuzz/mtools.dict"
  # A header is read once, a VMDK descriptor up to a MiB: more is a finding.
  "image_references_fuzzer references -max_len=8192 -malloc_limit_mb=16"
  "write_record_fuzzer record -max_len=2048 -dict=fuzz/write_record.dict"
)

for entry in "${targets[@]}"; do
  read -r target seed options <<<"$entry"
  corpus=build-fuzz/corpus/$target
  log=build-fuzz/$target.log
  mkdir -p "$corpus"
  # shellcheck disable=SC2086 # the options are separate words
  if ! build-fuzz/fuzz/$target -rss_limit_mb=2048 $options -max_total_time="$seconds" \
    -artifact_prefix=build-fuzz/findings/$target- -print_final_stats=1 "$@" \
    "$corpus" "$seeds/$seed" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: $target found a fault; the input is in build-fuzz/findings/" >&2
    exit 1
  fi
  echo "fuzz: $target: $(grep -o 'Done [0-9]* runs in [0-9]* second(s)' "$log"), no finding"
done
