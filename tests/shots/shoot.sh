#!/usr/bin/env bash
# Screenshots of the program's dialogs under Wine: build/shots/<name>.png.
set -eu
cd "$(dirname "$0")/../.."
source tools/wine-env.sh
korvane_ensure_prefix
if [ -z "${DISPLAY:-}" ]; then
  korvane_start_xvfb
  trap 'kill $KORVANE_XVFB_PID 2>/dev/null' EXIT
fi
mkdir -p build/shots
for name in "$@"; do
  wine build/win32/tests/shots/show_dialogs.exe "$name" 6000 >/dev/null 2>&1 </dev/null &
  pid=$!
  sleep 4
  import -window root -crop 900x700+0+0 "build/shots/$name.png"
  wait $pid || true
  echo "build/shots/$name.png"
done
