# shellcheck shell=bash
# Sourced by the power cuts of scripts/kernel-test.sh on the host and in the machine: what a drive
# folder holds, to compare drives by, with as few programs started as can be (each start costs
# much in an emulated machine): per file "md5  path" with the path in lower case (FAT names have
# no case), sorted.
manifest() {
  local file files=() line
  (
    cd "$1" || exit
    shopt -s globstar dotglob nullglob
    for file in **; do [ -f "$file" ] && files+=("$file"); done
    ((${#files[@]} == 0)) || md5sum -- "${files[@]}" | while IFS= read -r line; do
      echo "${line,,}"
    done | LC_ALL=C sort -k2
  )
}
