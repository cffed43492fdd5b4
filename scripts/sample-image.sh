#!/usr/bin/env bash
# Builds a disk image as an emulator keeps one: a 64 MiB MBR disk with one active FAT16 partition
# that holds a copy of the sample drive in examples/drive_c, its boot file read-only, hidden and
# system; and a Wine-style prefix that maps the image as drive C. No root is needed: mkfs.fat,
# sfdisk and mtools work on the file itself. Usage: sample-image.sh DIR; prints the prefix to use
# as WINEPREFIX.
set -euo pipefail
PATH=$PATH:/usr/sbin:/sbin # mkfs.fat and sfdisk, for users whose PATH lacks them
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(mkdir -p "$1" && cd "$1" && pwd)
image=$dir/win95.img
start=63 # the partition's first sector, where the FDISK of DOS put it

rm -f "$image"
truncate -s 64M "$image"
printf 'label: dos\nstart=%d, type=6, bootable\n' "$start" | sfdisk -q "$image"
mkfs.fat -F 16 --offset "$start" -h "$start" -n WIN95 "$image" \
  $(((64 * 1024 * 1024 / 512 - start) / 2)) >/dev/null

# mtools on the partition, with no configuration of the user's.
on_image() {
  local program=$1
  shift
  HOME=/dev/null MTOOLSRC=/dev/null MTOOLS_SKIP_CHECK=1 MTOOLS_NO_VFAT=0 MTOOLS_LOWER_CASE=0 \
    "$program" -i "$image@@$((start * 512))" "$@"
}
on_image mcopy -s -m -Q "$root"/examples/drive_c/* ::/
on_image mattrib +r +h +s ::/MSDOS.SYS

rm -rf "$dir/prefix"
mkdir -p "$dir/prefix/dosdevices"
ln -s ../../win95.img "$dir/prefix/dosdevices/c:"
echo "$dir/prefix"
