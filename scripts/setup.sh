#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, where they are missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config        # the build
  libgtest-dev libgmock-dev        # core tests
  libbenchmark-dev                 # benchmarks
  qt6-base-dev                     # the window
  qt6-translations-l10n            # Qt's own texts in German
  clang libclang-rt-14-dev         # fuzz targets (libFuzzer)
  clang-tidy clang-format          # the checks of the sanitizer build; the code's format
  fonts-dejavu-core                # the window's font, DejaVu Sans
  attr                             # setfattr, to mark the sample boot file hidden and system
  librsvg2-bin                     # rsvg-convert: the icon's PNGs from its SVG
  dpkg-dev file                    # the Debian package: dpkg-shlibdeps, and file for CPack
  desktop-file-utils appstream     # checks of the installed desktop entry and metadata,
  shared-mime-info xdg-utils       # of the desktop entry's MIME types and what opens them,
  man-db lintian                   # of the manual page and of the package
  mtools                           # the FAT work on disk image drives
  dosfstools fdisk                 # mkfs.fat, fsck.fat and sfdisk: images for tests and samples
  bindfs                           # a folder through FUSE, for the file system tests
  qemu-system-x86 linux-image-amd64 # scripts/kernel-test.sh: Debian's kernel in a virtual
  busybox-static                   # machine, its initramfs made of busybox; its power cuts:
  dmsetup e2fsprogs                # the log of a disk's writes, ext4
  qemu-system-common fuse3 qemu-utils # qemu-storage-daemon over FUSE: images of other emulators;
                                   # qemu-img for the tests' images, a paused QEMU holding one
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
((${#missing[@]} == 0)) && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends \
  "${missing[@]}"
