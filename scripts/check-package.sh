#!/usr/bin/env bash
# Checks a built package as a user's machine would see it: unpacks it into a scratch root with
# dpkg -x, validates the desktop entry (its MIME types against the installed shared-mime-info
# database, and that xdg-mime then names Startgarten for images but not for folders), the
# AppStream metadata and both manual pages, runs lintian (errors fail, warnings are shown), checks
# the bash completion's syntax, and runs the installed program's options, a wrong call, a start
# without a display (of the program a user starts and of the window's program) and, without a
# display, --show on a copy of the sample drive. Usage: check-package.sh DEB
set -euo pipefail
deb=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"

fail() {
  echo "package: $*" >&2
  exit 1
}

desktop=$(echo "$root"/usr/share/applications/*.desktop)
id=$(basename "$desktop" .desktop)
# A hint is advice, such as two main categories; an error or a warning fails.
findings=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop entry: $findings"
! grep -v ': hint: ' <<<"$findings" | grep . || fail "desktop entry: $findings"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "AppStream metadata not valid"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry names another icon than $id"
for size in 16x16 24x24 32x32 48x48 64x64 128x128 256x256 scalable; do
  ls "$root/usr/share/icons/hicolor/$size/apps/$id".* >/dev/null || fail "no $size icon"
done

# The MIME types: each one the database knows, and the type the database gives each kind of disk
# image the program opens, so that a file manager offers "Open with" for them; no folder type, as
# a tool must not take over the folders it can merely open.
mime_types=/usr/share/mime/types
[ -s "$mime_types" ] || fail "no shared-mime-info database in $mime_types"
declared=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' '\n' | grep .) || fail "no MimeType"
while read -r type; do
  grep -qxF "$type" "$mime_types" || fail "MIME type $type is not in the database"
done <<<"$declared"
! grep -q '^inode/' <<<"$declared" || fail "the desktop entry declares folders"
for extension in img vhd qcow2 qcow qed vdi vmdk vhdx; do
  type=$(awk -F: -v glob="*.$extension" '$3 == glob && $2 !~ /^text\// {print $2; exit}' \
    /usr/share/mime/globs2)
  [ -n "$type" ] || fail "the database knows no type of *.$extension"
  grep -qxF "$type" <<<"$declared" || fail "the desktop entry does not declare $type"
done
# As a desktop asks once the package is installed (xdg-mime reads the cache of the applications'
# MIME types): Startgarten opens a qcow2 image, and is not what opens a folder.
update-desktop-database "$root/usr/share/applications"
default_for() {
  env -i PATH="$PATH" HOME="$root" XDG_DATA_DIRS="$root/usr/share:/usr/share" \
    xdg-mime query default "$1"
}
[ "$(default_for application/x-qemu-disk)" = "$id.desktop" ] || fail "xdg-mime: not for qcow2"
[ "$(default_for inode/directory)" != "$id.desktop" ] || fail "xdg-mime: Startgarten opens folders"

# Both manual pages, English where Debian expects it and German, without a warning and with the
# same structure: the same sections, paragraphs and entries (options, files, examples) in order.
man_pages=("$root/usr/share/man/man1/startgarten.1.gz" "$root/usr/share/man/de/man1/startgarten.1.gz")
for page in "${man_pages[@]}"; do
  man_warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$man_warnings" ] || fail "manual page $page: $man_warnings"
done
macros() { zcat "$1" | grep -oE '^\.(SH|SS|TP|PP|RS|RE)'; }
diff <(macros "${man_pages[0]}") <(macros "${man_pages[1]}") >/dev/null ||
  fail "the English and the German manual page differ in their structure"
lintian --fail-on error "$deb" 2>/dev/null || fail "lintian reports errors"
completion=$root/usr/share/bash-completion/completions/startgarten
bash -n "$completion" 2>/dev/null && grep -q '^complete -F _startgarten startgarten$' "$completion" ||
  fail "bash completion"
[ -x "$root/usr/lib/startgarten/startgarten" ] || fail "no window program in /usr/lib/startgarten"

# The installed program, on the offscreen platform: it must start without a display.
program=$root/usr/bin/startgarten
export QT_QPA_PLATFORM=offscreen
version=$(dpkg-deb -f "$deb" Version)
for option in --version -V; do
  [ "$("$program" "$option" | head -n 1)" = "startgarten $version" ] || fail "$option"
done
for option in --help -h; do
  "$program" "$option" | grep -q '^Aufruf: startgarten \[LAUFWERK\]$' || fail "$option"
done
for wrong in "--drive=x" "one two"; do
  status=0
  # shellcheck disable=SC2086 # the wrong calls are words
  error=$("$program" $wrong 2>&1 >/dev/null) || status=$?
  [ "$status" -eq 2 ] && grep -q 'startgarten --help' <<<"$error" || fail "wrong call $wrong"
done
# A start for the window without a display: the German message, which names the options of
# scripts, from the program a user starts and from the window's program started directly.
for started in "$program" "$root/usr/lib/startgarten/startgarten"; do
  status=0
  error=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$started" /nonexistent 2>&1) ||
    status=$?
  [ "$status" -eq 1 ] && grep -q 'WAYLAND_DISPLAY' <<<"$error" && grep -q -- '--show' <<<"$error" ||
    fail "$started without a display"
done
# A script's options without a display and without the window's libraries.
cp -r "$(dirname "$0")/../examples/drive_c" "$root/drive_c"
shown=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$program" --show "$root/drive_c")
[ "$(grep -c '^[A-Za-z]*=-\?[0-9]*$' <<<"$shown")" -eq 17 ] || fail "--show: $shown"
! ldd "$program" | grep -q libQt6 || fail "the program a user starts loads Qt"
echo "package: $(basename "$deb"): installed files valid, lintian without errors, program runs"
