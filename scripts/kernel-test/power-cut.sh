# shellcheck shell=bash disable=SC2154,SC2034 # kernel-test.sh's variables; settings by name
# Sourced by scripts/kernel-test.sh for --power-cut PROGRAM: whether a write of PROGRAM survives a
# power cut on each file system, in two ways, each judged by scripts/kernel-test/power-cut-guest.sh
# in the machine:
# - The log: one machine writes each drive KERNEL_TEST_WRITES times (default 3) through
#   device-mapper's log-writes target, which keeps every write to the disk with its FLUSH and FUA
#   in a second disk; then every state of the disk that ends at a FLUSH or FUA (a random sample of
#   KERNEL_TEST_STATES of them per file system when that is above 0, the default) is replayed by
#   scripts/kernel-test/replay.c (built as kernel-test/replay in the build tree; another one with
#   KERNEL_TEST_REPLAY) and judged.
# - Cuts: a machine writes all drives at once and is killed at a random moment within
#   KERNEL_TEST_CUT_WINDOW seconds (default 6) after its writes began, KERNEL_TEST_CUTS times
#   (default 2), each time booted again on the same disks, which judges the state and writes on.
# Each write k sets DosPrompt=k%2 and BootDelay=k%50; what the drive must hold after write k is
# made here, by PROGRAM on a folder copy of the sample drive. Prints a table, each failed
# judgement, and where the details are; fails when a judgement failed or a machine did not end
# as planned.

pc=$work/power-cut
log_writes=${KERNEL_TEST_WRITES:-3}
states=${KERNEL_TEST_STATES:-0}
cuts=${KERNEL_TEST_CUTS:-2}
cut_window=${KERNEL_TEST_CUT_WINDOW:-6}
# The writes each drive gets at most over all boots of the cuts: below 50, each write's bytes
# differ from those of every other.
cut_writes=40
replay=${KERNEL_TEST_REPLAY:-$root/build/kernel-test/replay}

# shellcheck source=manifest.sh
source "$root/scripts/kernel-test/manifest.sh"

# The disk before the first write for each file system, as $pc/FS.img (vfat, msdos: the sample
# image's FAT16 volume; ext4: the sample drive as a folder drive_c; image: the sample image on
# ext4), and the manifest of the drive after each write k, as $pc/expected/k.
prepare_drives() {
  local fs k most=$((log_writes > cut_writes ? log_writes : cut_writes))
  rm -rf "$pc"
  mkdir -p "$pc/expected" "$pc/ext4" "$pc/image" "$pc/home"
  "$root/scripts/sample-drive.sh" "$pc/folder" >/dev/null
  "$root/scripts/sample-image.sh" "$pc/sample" >/dev/null
  dd if="$pc/sample/win95.img" of="$pc/vfat.img" bs=512 skip=63 conv=sparse status=none
  cp --sparse=always "$pc/vfat.img" "$pc/msdos.img"
  cp -a "$pc/folder/drive_c" "$pc/ext4/"
  cp --sparse=always "$pc/sample/win95.img" "$pc/image/"
  for fs in ext4 image; do
    truncate -s 32M "$pc/$fs.img"
    mkfs.ext4 -q -d "$pc/$fs" "$pc/$fs.img"
  done
  for ((k = 0; k <= most + 1; k++)); do
    ((k == 0)) || HOME=$pc/home "$program" --set "DosPrompt=$((k % 2))" \
      --set "BootDelay=$((k % 50))" "$pc/folder/drive_c"
    manifest "$pc/folder/drive_c" >"$pc/expected/$k"
  done
  dos_attributes=$(getfattr --only-values -n user.DOSATTRIB "$pc/folder/drive_c/MSDOS.SYS" \
    2>/dev/null || true)
}

# A fresh copy of each file system's drive for the model, as the disk with its name for serial,
# and, for the log, an empty disk for the log of its writes.
attach_disks() {
  local model=$1 fs
  disks=()
  for fs in $file_systems; do
    cp --sparse=always "$pc/$fs.img" "$pc/$model-$fs.img"
    disks+=(-drive "if=none,id=$fs,format=raw,file=$pc/$model-$fs.img"
      -device "virtio-blk-pci,drive=$fs,serial=$fs")
    if [ "$model" = log ]; then
      rm -f "$pc/log-$fs.log"
      truncate -s 256M "$pc/log-$fs.log"
      disks+=(-drive "if=none,id=log-$fs,format=raw,file=$pc/log-$fs.log"
        -device "virtio-blk-pci,drive=log-$fs,serial=log-$fs")
    fi
  done
}

# The guest's settings for one boot.
write_settings() {
  local model=$1 writes=$2 boot=$3 last_boot=$4 name
  local expected=$pc/expected bases=$pc
  for name in program replay expected dos_attributes bases model writes states boot last_boot \
    file_systems; do
    printf '%s=%q\n' "$name" "${!name}"
  done >"$work/results/settings"
}

# The cuts: each boot but the last is killed at a random moment after its writes began.
run_cuts() {
  local boot pid waited delay
  attach_disks cut
  machine_command "$accel"
  for ((boot = 1; boot <= cuts + 1; boot++)); do
    write_settings cut $cut_writes $boot $((boot > cuts))
    rm -f "$work/console.log"
    if ((boot > cuts)); then
      timeout --kill-after=10 "$timeout" "${machine[@]}" || return
      continue
    fi
    "${machine[@]}" &
    pid=$!
    for ((waited = 0; waited < timeout * 5; waited++)); do
      grep -q '^kernel-test: writing' "$work/console.log" 2>/dev/null && break
      kill -0 $pid 2>/dev/null || break
      sleep 0.2
    done
    delay=$((RANDOM * 32768 + RANDOM))
    delay=$((delay % (cut_window * 1000)))
    sleep "$((delay / 1000)).$(printf %03d $((delay % 1000)))"
    if kill -KILL $pid 2>/dev/null; then
      echo "power-cut: cut $boot after $((delay / 1000)).$((delay % 1000 / 100)) s of writing"
    else
      echo "power-cut: machine $boot ended before its cut"
    fi
    { wait $pid; } 2>/dev/null || true
    cp "$work/console.log" "$pc/console-cut-$boot.log"
  done
}

# One row per file system: the states judged whole of those judged (and of those in the log, and
# how many of the judged ones fsck.fat found damaged before the start), the cuts judged whole of
# those judged; then each failed judgement.
power_cut_report() {
  local fs failed=0 log cut row
  printf 'power-cut: %-6s %-44s %s\n' "" "replayed states whole/judged" "machine cuts whole/judged"
  for fs in $file_systems; do
    log=$work/results/log-$fs.verdicts cut=$work/results/cut-$fs.verdicts
    touch "$log" "$cut"
    row="$(grep -c ' ok ' "$log")/$(grep -c -v '^#' "$log")"
    row+=" (of $(sed -n 's/^# \([0-9]*\) states.*/\1/p' "$log"),"
    row+=" $(grep -c 'before the start fsck.fat found' "$log") damaged before)"
    printf 'power-cut: %-6s %-44s %s\n' "$fs" "$row" "$(grep -c ' ok ' "$cut")/$(wc -l <"$cut")"
    grep -q -v '^#' "$log" && { ((cuts == 0)) || [ -s "$cut" ]; } || failed=1
  done
  for fs in $file_systems; do
    awk -v fs="$fs" '/^# / && !/^# [0-9]* states/ { print "power-cut: " fs ": " substr($0, 3) }
      !/^#/ && $3 != "ok" { $1 = "power-cut: " fs ", state " $1 " of the log, after write " $2
        $2 = "done:"; print }' "$work/results/log-$fs.verdicts"
    awk -v fs="$fs" '$3 != "ok" { $1 = "power-cut: " fs ", cut " ($1 - 1) ", after write " $2
        $2 = "done:"; print }' "$work/results/cut-$fs.verdicts"
  done | grep . && failed=1
  ((failed == 0)) || echo "power-cut: what the checks found: $work/results/*.log"
  return $failed
}

# Runs both ways; fails when a judgement failed or a machine did not end as planned.
power_cuts() {
  local status=0 began=$SECONDS
  [ -x "$replay" ] || {
    echo "kernel-test: no $replay: build it (cmake --build build --target kernel_test_replay)" >&2
    return 1
  }
  prepare_drives
  attach_disks log
  write_settings log "$log_writes" 1 1
  run_machine || explain_machine_status $? || status=1
  cp "$work/console.log" "$pc/console-log.log"
  echo "power-cut: the log's machine in $((SECONDS - began)) s"
  began=$SECONDS
  ((cuts == 0)) || run_cuts || explain_machine_status $? || status=1
  echo "power-cut: the cuts' $((cuts + 1)) boots in $((SECONDS - began)) s"
  power_cut_report || status=1
  return $status
}
