#!/usr/bin/env bash
# Runs a test program inside a real Linux kernel, once on each file system a Windows 95 drive is
# found on besides ext4: a FAT16 volume mounted with the kernel's `vfat` driver, the same with its
# `msdos` driver, and a writable shared folder of the host over 9p. The machine is Debian's kernel
# in qemu-system-x86_64 (KVM where it starts the machine, else TCG, as on CI) with an initramfs
# made here from busybox-static and the kernel's modules; its root is the host's `/`, read-only
# over 9p, so the program and its libraries are found at their host paths, also where they lie
# under the host's /tmp or /run, which the machine covers with folders of its own.
#
# Usage: kernel-test.sh [--] COMMAND [ARGS...]
#        kernel-test.sh --power-cut PROGRAM
#
# COMMAND runs as root with STARTGARTEN_TEST_MOUNT (the mount point) and STARTGARTEN_TEST_FS
# (vfat, msdos or 9p) set, in an empty tmpfs folder that is also its TMPDIR, with the host's
# STARTGARTEN_* and GTEST_* variables; STARTGARTEN_SOURCE_DIR is this repository unless set, as
# ctest gives it to the tests. Each run's output is printed, then a summary line per file system;
# the exit status is 0 only when every run exited 0 and every FAT volume is clean afterwards.
#
# --power-cut: PROGRAM (a built startgarten) writes a drive again and again on vfat, msdos, ext4
# and a raw disk image on ext4, and the disks a power cut can leave are judged after the next
# start, in two ways: every write of the disk logged by dm-log-writes and the states that end at
# a FLUSH or FUA replayed, and the running machine killed at random moments
# (scripts/kernel-test/power-cut.sh, which names its settings).
#
# Settings: KERNEL_TEST_ACCEL (kvm or tcg; default kvm when /dev/kvm can be opened, falling back
# to tcg when KVM does not start the machine), KERNEL_TEST_TIMEOUT (seconds a machine may run,
# default 600), KERNEL_TEST_FILE_SYSTEMS (default "vfat msdos 9p", with --power-cut
# "vfat msdos ext4 image").
set -euo pipefail
power_cut=""
case ${1:-} in
  --) shift ;;
  --power-cut) power_cut=1 && shift ;;
esac
if (($# == 0)) || { [ -n "$power_cut" ] && (($# > 1)); }; then
  echo "usage: $0 [--] COMMAND [ARGS...]" >&2
  echo "       $0 --power-cut PROGRAM" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" >&2 # qemu-system-x86, linux-image-amd64, busybox-static among the rest
work=$root/build/kernel-test
export STARTGARTEN_SOURCE_DIR=${STARTGARTEN_SOURCE_DIR:-$root}
accel=${KERNEL_TEST_ACCEL:-$([ -r /dev/kvm ] && [ -w /dev/kvm ] && echo kvm || echo tcg)}
timeout=${KERNEL_TEST_TIMEOUT:-600}
disks=()
file_systems=${KERNEL_TEST_FILE_SYSTEMS:-$([ -n "$power_cut" ] && echo vfat msdos ext4 image ||
  echo vfat msdos 9p)}

# The modules the machine loads, with what they need (resolved from modules.dep): the virtio PCI
# transport and 9p for its root and the shared folder, loop for the FAT images, both FAT drivers
# and the character sets their defaults name (cp437 for short names, ascii as vfat's iocharset,
# utf8 and iso8859-1 for the options users give), and autofs, whose folders an image's names must
# not enter.
modules=(virtio_pci 9pnet_virtio 9p loop fat vfat msdos nls_cp437 nls_ascii nls_utf8
  nls_iso8859-1 autofs4)
# The power cuts add virtio disks, device-mapper's log-writes target and ext4 (whose checksums
# need crc32c).
[ -z "$power_cut" ] || modules+=(virtio_blk dm-log-writes crc32c_generic ext4)

# The program as an absolute host path. The machine covers /proc, /sys and /dev with its own, so a
# program there would not be found; what lies under /tmp and /run is kept (kept_folders).
resolve_command() {
  local program
  program=$(type -P -- "$1") || {
    echo "kernel-test: $1: no such program" >&2
    exit 2
  }
  program=$(realpath -- "$program")
  case $program in /proc/* | /sys/* | /dev/*)
    echo "kernel-test: $program: the machine hides this folder; copy the program elsewhere" >&2
    exit 2
    ;;
  esac
  echo "$program"
}

# The host folders under /tmp and /run that the run needs, one a line, none inside another: this
# repository, STARTGARTEN_SOURCE_DIR, the program's build tree (the nearest folder above it with a
# CMakeCache.txt, else its own folder) and the folders of its libraries.
kept_folders() {
  local folder tree=${program%/*} libraries
  while [ "$tree" != / ] && [ ! -f "$tree/CMakeCache.txt" ]; do tree=$(dirname "$tree"); done
  [ "$tree" != / ] || tree=${program%/*}
  libraries=$(ldd "$program" 2>/dev/null | grep -o '/[^ ]*/' || true)
  for folder in "$root" "$STARTGARTEN_SOURCE_DIR" "$tree" $libraries; do
    folder=$(realpath -e -q -- "$folder") || continue
    case $folder/ in /tmp/?* | /run/?*) echo "$folder" ;; esac
  done | sort -u | awk '{ for (i = 1; i <= n; i++) if (index($0 "/", kept[i] "/") == 1) next
                           kept[++n] = $0; print }'
}

# The newest kernel in /boot whose modules are installed.
find_kernel() {
  local image version
  for image in $(printf '%s\n' /boot/vmlinuz-* | sort -V -r); do
    version=${image#/boot/vmlinuz-}
    [ -f "/lib/modules/$version/modules.dep" ] && echo "$version" && return
  done
  echo "kernel-test: no /boot/vmlinuz-* with its modules (install linux-image-amd64)" >&2
  exit 1
}

# Appends the module's path (relative to the modules folder) to `ordered` after those it needs,
# each once.
add_module() {
  local name=$1 line dependency
  line=$(grep -E "(^|/)${name}\.ko(\.[a-z]+)?:" "$module_dir/modules.dep") || {
    echo "kernel-test: module $name not found in $module_dir" >&2
    exit 1
  }
  [[ " ${ordered[*]} " == *" ${line%%:*} "* ]] && return
  for dependency in ${line#*:}; do
    dependency=$(basename "$dependency")
    add_module "${dependency%%.ko*}"
  done
  ordered+=("${line%%:*}")
}

# An initramfs of busybox, the modules (decompressed: busybox insmod reads plain .ko files), their
# order of loading, and scripts/kernel-test/init as /init.
build_initramfs() {
  local tree=$work/initramfs module index=0 target
  rm -rf "$tree"
  mkdir -p "$tree/bin" "$tree/dev" "$tree/modules"
  cp /bin/busybox "$tree/bin/busybox"
  cp "$root/scripts/kernel-test/init" "$tree/init"
  kept_folders >"$tree/keep"
  ordered=()
  for module in "${modules[@]}"; do add_module "$module"; done
  for module in "${ordered[@]}"; do
    index=$((index + 1))
    target=$tree/modules/$(printf %02d $index)-$(basename "${module%%.ko*}").ko
    case $module in
      *.ko) cp "$module_dir/$module" "$target" ;;
      *.ko.xz) xz -dc "$module_dir/$module" >"$target" ;;
      *.ko.zst) zstd -qdc "$module_dir/$module" >"$target" ;;
      *.ko.gz) gzip -dc "$module_dir/$module" >"$target" ;;
    esac
  done
  (cd "$tree" && find . | busybox cpio -o -H newc --quiet) >"$work/initramfs.cpio"
}

# The command line and the environment the machine runs it with, on the results folder it shares.
write_command() {
  local name
  printf '%s\0' "$program" "$@" >"$work/results/command"
  : >"$work/results/environment"
  for name in $(compgen -e); do
    case $name in STARTGARTEN_TEST_MOUNT | STARTGARTEN_TEST_FS) ;;
      STARTGARTEN_* | GTEST_*)
        printf 'export %s=%q\n' "$name" "${!name}" >>"$work/results/environment"
        ;;
    esac
  done
}

# The machine's command line for the accelerator: it runs scripts/kernel-test/guest.sh and powers
# off, its console goes to console.log; the power cuts add their disks (disks). One processor:
# under TCG a second one made the runs slower (the guest's processors then wait for each other,
# and take the host's second core from QEMU's 9p threads), also with the runs side by side.
machine_command() {
  local cpu=max guest
  [ "$1" = kvm ] && cpu=host
  # Settings for init (the kernel hands it NAME=VALUE words it does not know as variables).
  guest="KERNEL_TEST_GUEST=$root/scripts/kernel-test/guest.sh"
  guest+=" KERNEL_TEST_FILE_SYSTEMS=${file_systems// /,}${power_cut:+ KERNEL_TEST_POWER_CUT=1}"
  # shellcheck disable=SC2054 # qemu takes comma-separated option lists
  machine=(qemu-system-x86_64
    -nodefaults -no-user-config -no-reboot -display none -monitor none
    -accel "$1" -cpu "$cpu" -smp 1 -m 1024
    -kernel "/boot/vmlinuz-$version" -initrd "$work/initramfs.cpio"
    -append "console=ttyS0 quiet panic=-1 no_timer_check $guest"
    -serial "file:$work/console.log"
    -fsdev local,id=root,path=/,security_model=passthrough,readonly=on,multidevs=remap
    -device virtio-9p-pci,fsdev=root,mount_tag=root
    -fsdev "local,id=results,path=$work/results,security_model=passthrough"
    -device virtio-9p-pci,fsdev=results,mount_tag=results
    -fsdev "local,id=scratch,path=$work/scratch,security_model=passthrough"
    -device virtio-9p-pci,fsdev=scratch,mount_tag=scratch "${disks[@]}")
}

started() { grep -q '^kernel-test: started' "$work/console.log" 2>/dev/null; }

# Runs the machine, with KVM where it works, else with TCG, stopped after the timeout when it
# hangs. A /dev/kvm that opens is not enough: nested in some virtual machines KVM stops the guest
# as soon as its kernel starts (so on this project's build machines), so a KVM machine whose guest
# script has not started within 30 s is stopped and booted again with TCG.
run_machine() {
  local pid waited
  if [ "$accel" = kvm ]; then
    machine_command kvm
    timeout --kill-after=10 "$timeout" "${machine[@]}" 2>"$work/kvm.log" &
    pid=$!
    for ((waited = 0; waited < 30; waited++)); do
      if started || ! kill -0 $pid 2>/dev/null; then break; fi
      sleep 1
    done
    if started; then
      local status=0
      wait $pid || status=$?
      cat "$work/kvm.log" >&2
      return $status
    fi
    kill $pid 2>/dev/null || true
    wait $pid || true
    echo "kernel-test: KVM did not start the machine (see $work/kvm.log); booting it with TCG"
    accel=tcg
  fi
  machine_command tcg
  timeout --kill-after=10 "$timeout" "${machine[@]}"
}

# Prints each run's output and its summary line; fails when a run failed or has no result.
report() {
  local fs failed=0 exit_status milliseconds volume verdict
  for fs in $file_systems; do
    echo "==== $fs ===="
    cat "$work/results/$fs.log" 2>/dev/null || true
  done
  for fs in $file_systems; do
    if read -r exit_status milliseconds volume 2>/dev/null <"$work/results/$fs.status"; then
      verdict=passed
      [ "$exit_status" = 0 ] && [[ $volume == clean || $volume == - ]] || verdict=FAILED failed=1
      printf 'kernel-test: %-5s %s (exit status %s, %d.%d s, volume %s)\n' "$fs" "$verdict" \
        "$exit_status" $((milliseconds / 1000)) $((milliseconds % 1000 / 100)) "$volume"
    else
      printf 'kernel-test: %-5s FAILED (no result: the machine stopped before it ended)\n' "$fs"
      failed=1
    fi
  done
  if ((failed)); then
    echo "==== console ===="
    cat "$work/console.log"
  fi
  return $failed
}

# Says why the machine's exit status is not 0, if so.
explain_machine_status() {
  case $1 in
    0) return 0 ;;
    124) echo "kernel-test: the machine was stopped after $timeout s (KERNEL_TEST_TIMEOUT)" ;;
    *) echo "kernel-test: qemu-system-x86_64 ended with status $1" ;;
  esac
  return 1
}

program=$(resolve_command "$1")
shift
version=$(find_kernel)
module_dir=/lib/modules/$version
mkdir -p "$work"
rm -rf "$work/results" "$work/scratch" "$work/console.log"
mkdir -p "$work/results" "$work/scratch"
build_initramfs
started=$SECONDS
status=0
if [ -n "$power_cut" ]; then
  # shellcheck source=kernel-test/power-cut.sh
  source "$root/scripts/kernel-test/power-cut.sh"
  power_cuts || status=1
else
  write_command "$@"
  machine_status=0
  run_machine || machine_status=$?
  report || status=1
  explain_machine_status $machine_status || status=1
fi
echo "kernel-test: $(wc -w <<<"$file_systems") file systems in $((SECONDS - started)) s" \
  "($accel, kernel $version)"
exit $status
