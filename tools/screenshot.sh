#!/usr/bin/env bash
# Drives the real program window under Xvfb: File New (Ctrl+N), Maze Options > Make Maze, View Solution
# (Ctrl+Shift+5), then saves a screenshot of the whole screen.
#   tools/screenshot.sh [BUILD_DIR] [OUTPUT.png]
# BUILD_DIR defaults to ./build; the program runs in BUILD_DIR/app (its html folder is there) with a
# profile folder of its own. Needs xvfb-run, xdotool and ImageMagick's import.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=$(realpath -m "${2:-$PWD/screenshot.png}")

if [ -z "${VANTREL_SCREENSHOT_INNER:-}" ]; then
  export VANTREL_SCREENSHOT_INNER=1
  exec xvfb-run -a -s '-screen 0 1280x1024x24' "$0" "$build" "$out"
fi

work=$(mktemp -d)
pid=
trap 'if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
# No echoes to the connection check's public hosts from a scripted run.
export VANTREL_OFFLINE=1
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

cd "$build/app"
./vantrel >"$work/vantrel.log" 2>&1 &
pid=$!

# The main window's title. It shows only after the information pane's network probes (about 3 s when
# an interface is up but nothing answers).
win=$(xdotool search --sync --onlyvisible --name 'FREE Quillmont' | head -n1)
sleep 2
xdotool windowfocus --sync "$win" || true

# Pauses between steps: the commands redraw a 200-odd-cell maze, and there is no window manager.
step() { sleep "${VANTREL_SCREENSHOT_PAUSE:-1.5}"; }

xdotool key --window "$win" ctrl+n
step

# Make Maze has no accelerator: open "Maze Options" by its title in the menu bar, then walk down to it.
read -r wx wy < <(xdotool getwindowgeometry --shell "$win" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x, y}')
xdotool mousemove --sync $((wx + ${VANTREL_MENU_X:-110})) $((wy + 10)) click 1
step
for _ in 1 2 3 4 5; do xdotool key Down; done
xdotool key Return
step

xdotool key --window "$win" ctrl+shift+5
step

import -window root "$out"
echo "screenshot: $out"
