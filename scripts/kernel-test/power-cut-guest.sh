# shellcheck shell=bash disable=SC2154 # results from guest.sh, the rest from the settings
# Sourced by guest.sh in the power-cut mode of scripts/kernel-test.sh: writes a drive again and
# again with the program, write k setting DosPrompt=k%2 and BootDelay=k%50, and judges the disks
# a power cut can leave. Its settings (results/settings, from power-cut.sh): program, replay,
# expected (a folder with the manifest of the drive after each write k as the file k, 0 the drive
# before the first), dos_attributes (the boot file's user.DOSATTRIB on a folder drive), bases (the
# folder of each disk before the first write, as FS.img), file_systems, model
# (log or cut), writes, states, boot and last_boot.
#
# Each file system has disks of its own, found by their serials: FS holds the drive (vfat, msdos:
# the FAT16 volume; ext4: a folder drive_c on it; image: a raw disk image win95.img on ext4, its
# FAT16 volume at sector 63), log-FS the log of the writes to FS.
#
# model=log: the writes go through a dm-log-writes target; then each state of the disk that ends
#   at a FLUSH or FUA (a sample of `states` of them when states > 0) is replayed onto a copy of
#   the disk as it was before the writes, and judged. Verdicts: results/log-FS.verdicts.
# model=cut: the host kills the machine while it writes. Each boot after the first judges what
#   the last cut left; each but the last writes on. Verdicts: results/cut-FS.verdicts; the writes
#   reported done in results/cut-FS.done.
#
# A judgement: fsck.fat -n on a FAT volume as the cut left it (findings noted), the next start
# (`--show`), then: every file of the drive is exactly as after write j or write j+1, j being the
# last write reported done before the cut; MSDOS.SYS is read-only, hidden and system (FAT) or has
# no write permission and keeps its DOSATTRIB (ext4); the volumes are clean. Each program started
# costs much in the emulated machine, so the checks start as few as they can.

source "$results/settings"
source "${KERNEL_TEST_GUEST%/*}/manifest.sh"
export DM_DISABLE_UDEV=1 MTOOLS_SKIP_CHECK=1 HOME=/tmp/power-cut/home
work=/tmp/power-cut
partition=$((63 * 512)) # where the image's FAT16 volume begins
mkdir -p "$work" "$HOME" /run/kernel-test/mnt/{vfat,msdos,ext4,image}
[ -e /dev/fd ] || ln -s /proc/self/fd /dev/fd # for bash's <(...)
declare -a expected_manifests
for ((k = 0; k <= writes + 1; k++)); do expected_manifests[k]=$(<"$expected/$k"); done

# The virtio disk with the serial.
disk() {
  local block serial
  for block in /sys/block/vd*; do
    read -r serial <"$block/serial"
    [ "$serial" = "$1" ] && echo "/dev/${block##*/}" && return
  done
  echo "power-cut: no disk $1" >&2
  return 1
}

# Mounts the file system of FS from DEVICE (a device or a file) at mounted, the drive on it at
# drive.
mount_drive() {
  local fs=$1 device=$2 options=rw
  mounted=/run/kernel-test/mnt/$fs
  [ -b "$device" ] || options+=,loop
  case $fs in
    vfat) mount -t vfat -o "$options,shortname=mixed,utf8" "$device" "$mounted" ;;
    msdos) mount -t msdos -o "$options" "$device" "$mounted" ;;
    *) mount -t ext4 -o "$options" "$device" "$mounted" ;;
  esac || return
  case $fs in
    ext4) drive=$mounted/drive_c ;;
    image) drive=$mounted/win95.img ;;
    *) drive=$mounted ;;
  esac
}

write() {
  "$program" --set "DosPrompt=$(($2 % 2))" --set "BootDelay=$(($2 % 50))" "$1"
}

# Whether fsck.fat -n finds the FAT volume damaged: its first finding in damage, all of them to
# standard error. The dirty bit alone is none: every volume cut off while mounted has it set.
fat_damaged() {
  local findings line
  damage=""
  findings=$(fsck.fat -n "$1" 2>&1) && return 1
  echo "$findings" >&2
  while IFS= read -r line; do
    case $line in
      "" | "fsck.fat "[0-9]* | "Dirty bit is set"* | *"removing dirty bit"* | \
        "Leaving filesystem unchanged"* | *" files, "*" clusters") ;;
      /*) damage=$line ;;
      *) damage="${damage:+$damage: }${line#"${line%%[! ]*}"}" && break ;;
    esac
  done <<<"$findings"
  [ -n "$damage" ]
}

# Why MSDOS.SYS on the FAT volume at the mtools drive is not read-only, hidden and system, if so.
fat_attributes_fault() {
  local attributes
  attributes=$(mattrib -i "$1" ::/MSDOS.SYS 2>&1)
  attributes=${attributes%%::*}
  [[ $attributes == *R* && $attributes == *H* && $attributes == *S* ]] ||
    echo "MSDOS.SYS lost its attributes (${attributes//  / })"
}

# Which write's bytes the file in the manifest line has, "other bytes", or "missing".
write_of() {
  local line=$1 k
  [ -n "$line" ] || {
    echo missing
    return
  }
  for ((k = 0; k <= writes + 1; k++)); do
    [[ $'\n'${expected_manifests[k]}$'\n' == *$'\n'"$line"$'\n'* ]] && echo "write$k" && return
  done
  [[ $line == d41d8cd98f00b204e9800998ecf8427e* ]] && echo "0 bytes" || echo "other bytes"
}

# What each of the three files holds, and the names that write j does not have.
describe() {
  local seen=$1 j=$2 file line extra=""
  for file in msdos.sys autoexec.bat windows/start.bat; do
    line=$(grep "  $file\$" <<<"$seen")
    printf ' %s %s,' "$file" "$(write_of "$line")"
  done
  while read -r _ file; do
    [[ $'\n'${expected_manifests[j]}$'\n' == *"  $file"$'\n'* ]] || extra+=" $file"
  done <<<"$seen"
  printf ' besides those of write %s:%s' "$j" "${extra:- none}"
}

# Judges the drive of FS on DEVICE, j being the last write reported done: prints "ok writeV" or
# "FAILED: what was found", the findings of the checks to standard error. Leaves the drive as the
# next start made it.
judge() {
  local fs=$1 device=$2 j=$3 version="" seen fault="" loop faults=() notes=() start found
  if [ "$fs" = vfat ] || [ "$fs" = msdos ]; then
    ! fat_damaged "$device" || notes+=("before the start fsck.fat found $damage")
  fi
  mount_drive "$fs" "$device" || {
    echo "FAILED: cannot mount it"
    return
  }
  start=$("$program" --show "$drive" 2>&1 >/dev/null) ||
    faults+=("the next start failed: ${start//$'\n'/ }")
  if [ "$fs" = image ]; then
    rm -rf "$work/seen" && mkdir "$work/seen"
    mcopy -s -n -m -i "$drive@@$partition" '::/*' "$work/seen/" >&2
    seen=$(manifest "$work/seen")
    fault=$(fat_attributes_fault "$drive@@$partition")
    loop=$(losetup -r -f --show -o "$partition" "$drive")
    ! fat_damaged "$loop" || faults+=("after the start fsck.fat finds in the image $damage")
    losetup -d "$loop"
  else
    seen=$(manifest "$drive")
  fi
  if [ "$fs" = ext4 ]; then
    [[ $(stat -c %A "$drive/MSDOS.SYS") != *w* ]] &&
      [ "$(getfattr --only-values -n user.DOSATTRIB "$drive/MSDOS.SYS")" = "$dos_attributes" ] ||
      fault="MSDOS.SYS lost its protection"
  fi
  [ "$seen" = "${expected_manifests[j]}" ] && version=$j
  [ "$seen" = "${expected_manifests[j + 1]}" ] && version=$((j + 1))
  [ -n "$version" ] || faults+=("no whole write:$(describe "$seen" "$j")")
  umount "$mounted" || faults+=("cannot unmount it")
  case $fs in
    vfat | msdos)
      fault=$(fat_attributes_fault "$device")
      ! fat_damaged "$device" || faults+=("after the start fsck.fat finds $damage")
      ;;
    *) e2fsck -n -f "$device" >&2 || faults+=("e2fsck finds damage after the start") ;;
  esac
  [ -z "$fault" ] || faults+=("$fault")
  if ((${#faults[@]})); then
    found=$(printf '%s; ' "${faults[@]}" "${notes[@]}")
    echo "FAILED: ${found%; }"
  else
    echo "ok write$version${notes:+ (${notes[*]})}"
  fi
}

# The log model on one file system.
log_model() {
  local fs=$1 data log target=power-cut-$1 k replayed=-1 j=0 index kind text
  local verdicts=$results/log-$1.verdicts
  data=$(disk "$fs") && log=$(disk "log-$fs") || return
  cp --sparse=always "$data" "$work/$fs.replay"
  dmsetup create "$target" --table "0 $(blockdev --getsz "$data") log-writes $data $log" ||
    return
  mount_drive "$fs" "/dev/mapper/$target" || return
  for ((k = 1; k <= writes; k++)); do
    write "$drive" $k || break
    dmsetup message "$target" 0 mark "done-$k"
  done
  umount "$mounted"
  dmsetup remove "$target"
  ((k > writes)) || echo "# write $k failed on the live drive" >>"$verdicts"
  "$replay" "$log" >"$work/entries" || return
  # Each state with the last write reported done before it.
  while read -r index kind text; do
    case $kind in
      mark) [[ $text != done-* ]] || j=${text#done-} ;;
      state) echo "$index $j" ;;
    esac
  done <"$work/entries" >"$work/states"
  echo "# $(wc -l <"$work/states") states in the log" >>"$verdicts"
  if ((states > 0)); then
    shuf -n "$states" "$work/states" | sort -n >"$work/sample"
  else
    cp "$work/states" "$work/sample"
  fi
  while read -r index j; do
    "$replay" "$log" "$work/$fs.replay" $((replayed + 1)) "$index" || return
    replayed=$index
    cp --sparse=always "$work/$fs.replay" "$work/$fs.state"
    echo "$index $j $(judge "$fs" "$work/$fs.state" "$j")" >>"$verdicts"
  done <"$work/sample"
  # The whole log replayed is the disk as the writes left it, or the replay is wrong.
  "$replay" "$log" "$work/$fs.replay" $((replayed + 1)) $((1 << 62)) &&
    cmp "$work/$fs.replay" "$data" >&2 ||
    echo "# the whole log replayed differs from the disk the writes left" >>"$verdicts"
}

# Judges what the last cut left on the drive of FS. A drive found wrong starts again from the
# drive before the first write, so that the next cut is judged on its own.
cut_judge() {
  local fs=$1 device verdict j=0
  device=$(disk "$fs") || return
  [ -f "$results/cut-$fs.done" ] && j=$(tail -1 "$results/cut-$fs.done")
  verdict=$(judge "$fs" "$device" "$j")
  echo "$boot $j $verdict" >>"$results/cut-$fs.verdicts"
  if [[ $verdict == ok* ]]; then
    echo "${verdict#ok write}" >>"$results/cut-$fs.done"
  else
    dd if="$bases/$fs.img" of="$device" bs=1M conv=fsync status=none
    echo 0 >>"$results/cut-$fs.done"
  fi
}

# Writes on the drive of FS from the write after the last one done, each write reported done in
# cut-FS.done, until the host kills the machine or the writes run out.
cut_write() {
  local fs=$1 device k=1
  device=$(disk "$fs") && mount_drive "$fs" "$device" || return
  [ -f "$results/cut-$fs.done" ] && k=$(($(tail -1 "$results/cut-$fs.done") + 1))
  for (( ; k <= writes; k++)); do
    write "$drive" $k || break
    echo $k >>"$results/cut-$fs.done"
  done
  umount "$mounted"
}

case $model in
  log)
    for fs in $file_systems; do log_model "$fs" 2>>"$results/log-$fs.log"; done
    ;;
  cut)
    if ((boot > 1)); then
      for fs in $file_systems; do cut_judge "$fs" 2>>"$results/cut-$fs.log"; done
    fi
    if ! ((last_boot)); then
      for fs in $file_systems; do cut_write "$fs" 2>>"$results/cut-$fs.log" & done
      echo "kernel-test: writing" >/dev/console
      wait
    fi
    ;;
esac
