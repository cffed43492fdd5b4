#!/bin/bash
# Runs inside the test machine of scripts/kernel-test.sh, on the host's root (read-only), as its
# first process: runs the command on each file system named in KERNEL_TEST_FILE_SYSTEMS in turn,
# leaves each run's output and "<exit status> <milliseconds> <volume>" in the shared results
# folder, and powers the machine off, whatever happens. With KERNEL_TEST_POWER_CUT set it runs
# power-cut-guest.sh instead.
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
results=/run/kernel-test/results
images=/run/kernel-test/images

# Powers off at once: nothing here is worth a clean shutdown, and init must never return.
trap 'echo o >/proc/sysrq-trigger; sleep 10' EXIT

echo "kernel-test: started, $(cut -d' ' -f1 /proc/uptime) s after boot" >/dev/console
mkdir -p "$results" "$images"
mount -t 9p -o trans=virtio,version=9p2000.L results "$results" || exit
if [ -n "${KERNEL_TEST_POWER_CUT:-}" ]; then
  # shellcheck source=power-cut-guest.sh
  source "${KERNEL_TEST_GUEST%/*}/power-cut-guest.sh"
  exit
fi
mapfile -d '' -t command <"$results/command"

# Mounts a fresh file system of the kind at the mount point. FAT: a 64 MiB FAT16 volume in RAM,
# loop-mounted. vfat gets the options a desktop's automount gives a Windows partition (udisks2:
# shortname=mixed,utf8; also Debian's kernel defaults), so names keep the case they were created
# with and non-ASCII names work; msdos has no options worth choosing. 9p: the host's shared folder
# with the options a user types for a shared folder of a virtual machine (no cache).
mount_fresh() {
  local fs=$1 mount_point=$2
  case $fs in
    vfat | msdos)
      rm -f "$images/$fs.img"
      mkfs.fat -F 16 -n STARTGARTEN -C "$images/$fs.img" 65536 >/dev/null || return
      local options=loop
      [ "$fs" = vfat ] && options+=,shortname=mixed,utf8
      mount -t "$fs" -o "$options" "$images/$fs.img" "$mount_point"
      ;;
    9p) mount -t 9p -o trans=virtio,version=9p2000.L scratch "$mount_point" ;;
  esac
}

# Unmounts and tells whether the FAT volume left is consistent (fsck.fat -n: changes nothing):
# clean or dirty, busy when something still holds the mount, - for 9p. What fsck.fat found and
# why umount failed go to the log.
check_volume() {
  local fs=$1 mount_point=$2 findings
  umount "$mount_point" >>"$results/$fs.log" 2>&1 || {
    echo busy
    return
  }
  case $fs in
    vfat | msdos)
      if findings=$(fsck.fat -n "$images/$fs.img" 2>&1); then
        echo clean
      else
        echo "$findings" >>"$results/$fs.log"
        echo dirty
      fi
      ;;
    *) echo - ;;
  esac
}

# One run, in a tmpfs folder of its own that is also its TMPDIR, so that no run sees what another
# left.
run_on() {
  local fs=$1 mount_point=/run/kernel-test/mnt/$1 cwd=/tmp/kernel-test/$1 status started
  mkdir -p "$mount_point" "$cwd"
  echo "kernel-test: $fs" >/dev/console
  if ! mount_fresh "$fs" "$mount_point" >"$results/$fs.log" 2>&1; then
    echo "125 0 -" >"$results/$fs.status"
    return
  fi
  started=$(date +%s%3N)
  (
    # shellcheck source=/dev/null  # written by kernel-test.sh
    source "$results/environment"
    cd "$cwd" &&
      TMPDIR=$cwd STARTGARTEN_TEST_MOUNT=$mount_point STARTGARTEN_TEST_FS=$fs exec "${command[@]}"
  ) >>"$results/$fs.log" 2>&1 </dev/null
  status=$?
  echo "$status $(($(date +%s%3N) - started)) $(check_volume "$fs" "$mount_point")" \
    >"$results/$fs.status"
  echo "kernel-test: $fs ended with exit status $status" >/dev/console
}

for fs in ${KERNEL_TEST_FILE_SYSTEMS//,/ }; do run_on "$fs"; done
