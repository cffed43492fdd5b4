#!/usr/bin/env bash
# Checks a built package as a user's machine would see it: unpacks it into a scratch root with
# dpkg -x, validates the desktop entry, the AppStream metadata and the manual page, runs lintian
# (errors fail, warnings are shown), checks the bash completion's syntax, and runs the installed
# program's --version, --help, a wrong call and, without a display, --show on a copy of the
# sample drive. Usage: check-package.sh DEB
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
man_warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
  man --warnings -E UTF-8 -l -Tutf8 -Z "$root/usr/share/man/man1/startgarten.1.gz" 2>&1 >/dev/null)
[ -z "$man_warnings" ] || fail "manual page: $man_warnings"
lintian --fail-on error "$deb" 2>/dev/null || fail "lintian reports errors"
completion=$root/usr/share/bash-completion/completions/startgarten
bash -n "$completion" 2>/dev/null && grep -q '^complete -F _startgarten startgarten$' "$completion" ||
  fail "bash completion"
[ -x "$root/usr/lib/startgarten/startgarten" ] || fail "no window program in /usr/lib/startgarten"

# The installed program, on the offscreen platform: it must start without a display.
program=$root/usr/bin/startgarten
export QT_QPA_PLATFORM=offscreen
version=$(dpkg-deb -f "$deb" Version)
[ "$("$program" --version | head -n 1)" = "startgarten $version" ] || fail "--version"
"$program" --help | grep -q '^Aufruf: startgarten \[LAUFWERK\]$' || fail "--help"
for wrong in "--drive=x" "one two"; do
  status=0
  # shellcheck disable=SC2086 # the wrong calls are words
  error=$("$program" $wrong 2>&1 >/dev/null) || status=$?
  [ "$status" -eq 2 ] && grep -q 'startgarten --help' <<<"$error" || fail "wrong call $wrong"
done
# A script's options without a display and without the window's libraries.
cp -r "$(dirname "$0")/../examples/drive_c" "$root/drive_c"
shown=$(env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY "$program" --show "$root/drive_c")
[ "$(grep -c '^[A-Za-z]*=-\?[0-9]*$' <<<"$shown")" -eq 17 ] || fail "--show: $shown"
! ldd "$program" | grep -q libQt6 || fail "the program a user starts loads Qt"
echo "package: $(basename "$deb"): installed files valid, lintian without errors, program runs"
