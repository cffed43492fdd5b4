#!/usr/bin/env bash
# Makes a fresh copy of the bundled sample boot drive and a Wine-style prefix that maps it as
# drive C. Usage: sample-drive.sh DIR; prints the prefix to use as WINEPREFIX.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(mkdir -p "$1" && cd "$1" && pwd)

rm -rf "$dir/drive_c" "$dir/prefix"
cp -r "$root/examples/drive_c" "$dir/drive_c"
mkdir -p "$dir/prefix/dosdevices"
ln -s ../../drive_c "$dir/prefix/dosdevices/c:"

# The boot file is read-only, hidden and system, as Windows 95 leaves it.
boot_file="$dir/drive_c/MSDOS.SYS"
setfattr -n user.DOSATTRIB -v '"0x27"' "$boot_file" 2>/dev/null ||
  echo "note: this file system keeps no extended attributes; MSDOS.SYS is only read-only" >&2
chmod a-w "$boot_file"
echo "$dir/prefix"
