#!/usr/bin/env bash
# docs/make-screenshot.sh [BUILD_DIR]: saves docs/menu.png, a picture of the real open menu.
#
# Runs build/quillhaven on a private Xvfb screen with the virtual notched desktop and the
# effect switched on, in throw-away folders (your own settings are never touched). No tray
# host runs under Xvfb, so a developer switch opens the app's own menu at a fixed place;
# the screen is then captured with ImageMagick and trimmed to the menu. Installs what it
# needs beyond the usual packages (ImageMagick, xdpyinfo).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
app=$build/quillhaven
out=$root/docs/menu.png
[ -x "$app" ] || { echo "No $app: run scripts/build first." >&2; exit 1; }
"$root/scripts/setup" imagemagick x11-utils

sandbox=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$sandbox"
}
trap cleanup EXIT

mkdir -p "$sandbox"/{home,config/Quillhaven,data,cache,runtime}
chmod 700 "$sandbox/runtime"
export HOME=$sandbox/home XDG_CONFIG_HOME=$sandbox/config XDG_DATA_HOME=$sandbox/data
export XDG_CACHE_HOME=$sandbox/cache XDG_RUNTIME_DIR=$sandbox/runtime
export QUILLHAVEN_DESKTOP=virtual QT_QPA_PLATFORM=xcb QUILLHAVEN_SHOW_MENU_FOR_SCREENSHOT=1
# Drawn at twice the size, so the picture stays sharp on high-density screens.
export QT_SCALE_FACTOR=2
export LANG=ja_JP.UTF-8 LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS XDG_CURRENT_DESKTOP
# The effect is on, so the menu shows its checked state and the reprocess command.
printf '[General]\nquillHaven.enabled=true\n' >"$XDG_CONFIG_HOME/Quillhaven/Quillhaven.conf"

display=:$(( 90 + RANDOM % 100 ))
Xvfb "$display" -screen 0 1024x768x24 -br -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do
  xdpyinfo -display "$display" >/dev/null 2>&1 && break
  sleep 0.1
done

"$app" &
app_pid=$!
# Long enough for the start-up render to finish and the menu to show the final state.
sleep 5
import -display "$display" -window root "$sandbox/screen.png"
# The screen is black apart from the menu: trim to it, keeping a small margin.
convert "$sandbox/screen.png" -trim +repage -bordercolor black -border 8 "$out"
echo "Saved $out"
