#!/usr/bin/env bash
# Shows the toolkit gallery under Wine on an Xvfb display of its own and
# saves a screenshot: scripts/gallery-shot.sh [out.png] [--dialog]
# (--dialog: the name dialog open over it). Build the win32 tree first.
set -u
cd "$(dirname "$0")/.."
out=${1:-build/gallery.png}
shift || true
exe=build/win32/tools/gallery/toolkit_gallery.exe
[ -f "$exe" ] || { echo "build the win32 tree first (scripts/build.sh win32)" >&2; exit 1; }
# A prefix of its own, so that ending Wine here never touches a test run.
export KORVANE_WINEPREFIX=$PWD/build/wineprefix-gallery
source tools/wine-env.sh
korvane_ensure_prefix || exit 1
unset DISPLAY
korvane_start_xvfb || exit 1
cleanup() { wineserver -k >/dev/null 2>&1 </dev/null; kill "$KORVANE_XVFB_PID" 2>/dev/null; }
trap cleanup EXIT
wine "$exe" "$@" >/dev/null 2>&1 </dev/null &
# The gallery puts "ready" in its title once everything has been painted.
for _ in $(seq 1 300); do
  xdotool search --name ' - ready$' >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool search --name ' - ready$' >/dev/null 2>&1 || { echo "the gallery did not come up" >&2; exit 1; }
import -window root "$out"
echo "$out"
