#!/usr/bin/env bash
# Builds Korvane and starts it under Wine from the working folder build/demo
# (filled with sample groups on the first run), on $DISPLAY or, when there is
# none, on a new Xvfb, where a screenshot is saved.
set -eu
cd "$(dirname "$0")/.."
./scripts/deps.sh
mkdir -p build
./scripts/build.sh win32
source tools/wine-env.sh
korvane_ensure_prefix

demo=$PWD/build/demo
mkdir -p "$demo"
cp build/win32/dist/* "$demo/"
if ! ls "$demo"/*.PTH >/dev/null 2>&1; then
  ./scripts/make_samples.sh "$demo"
fi

own_display=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  korvane_start_xvfb
  own_display=1
fi
cd "$demo"
wine Korvane.exe >/dev/null 2>&1 </dev/null &
wine_pid=$!
for _ in $(seq 1 100); do
  xdotool search --name '^Korvane$' >/dev/null 2>&1 && break
  sleep 0.2
done
if [ $own_display = 1 ]; then
  sleep 1
  import -window root "$demo/screenshot.png"
  echo "Korvane runs on the new Xvfb display $DISPLAY (Xvfb pid $KORVANE_XVFB_PID)."
  echo "Screenshot: $demo/screenshot.png"
  echo "Stop it with: WINEPREFIX=$WINEPREFIX wineserver -k; kill $KORVANE_XVFB_PID"
else
  echo "Korvane runs on $DISPLAY from $demo; this script ends when it does."
  wait $wine_pid || true
fi
