#!/usr/bin/env bash
# Shows the window as a screen reader sees it: opens Startgarten on a copy of the sample drive on
# an X server without a screen (Xvfb), in a session with the accessibility bus of at-spi2-core, and
# prints the window's tree of accessible objects through AT-SPI, one per line, indented by depth:
# role, name in quotes, and the states a reader announces (checked, disabled). Installs what it
# needs beyond the build here, for this check only.
# Usage: accessibility.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >&2

needed=(xvfb dbus-daemon at-spi2-core python3-gi gir1.2-atspi-2.0)
missing=()
for package in "${needed[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if ((${#missing[@]} > 0)); then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" apt-get update -q >&2
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends \
    "${missing[@]}" >&2
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target startgarten startgarten_window >&2
prefix=$(scripts/sample-drive.sh build/accessibility)

# Xvfb writes the display number it found free to descriptor 3 once it listens.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb"; rm -f "$displayfile"' EXIT
for _ in $(seq 100); do
  [ -s "$displayfile" ] && break
  sleep 0.1
done
[ -s "$displayfile" ] || { echo "accessibility: Xvfb did not start" >&2; exit 1; }

reader=$(
  cat <<'EOF'
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi

pid = int(sys.argv[1])


def application():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app and app.get_process_id() == pid:
            windows = [app.get_child_at_index(j) for j in range(app.get_child_count())]
            if any(window and window.get_name() == "Startgarten" for window in windows):
                return app
    return None


def show(node, depth):
    states = node.get_state_set()
    marks = []
    if states.contains(Atspi.StateType.CHECKED):
        marks.append("checked")
    if not states.contains(Atspi.StateType.SENSITIVE):
        marks.append("disabled")
    line = "  " * depth + node.get_role_name() + ' "' + node.get_name() + '"'
    print(line + (" [" + ", ".join(marks) + "]" if marks else ""))
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            show(child, depth + 1)


deadline = time.monotonic() + 30
app = application()
while app is None and time.monotonic() < deadline:
    time.sleep(0.5)
    app = application()
if app is None:
    sys.exit("accessibility: the window did not appear on the accessibility bus")
show(app, 0)
EOF
)

# Qt's AT-SPI bridge starts with the accessibility bus when told to, without a screen reader;
# Debian's own Python has the bindings, whatever python3 comes first in PATH. Only the tree goes
# to standard output (descriptor 3 inside), what the session's services say to standard error.
# shellcheck disable=SC2016 # the inner shell expands its arguments
DISPLAY=":$(cat "$displayfile")" WINEPREFIX=$prefix HOME=$PWD/build/accessibility \
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 dbus-run-session -- bash -c '
    build/bin/startgarten &
    program=$!
    status=0
    /usr/bin/python3 -c "$1" "$program" >&3 || status=$?
    kill "$program"
    exit "$status"' _ "$reader" 3>&1 >&2
