#!/usr/bin/env bash
# Screenshots of the program under Wine: build/shots/<name>.png (or
# SHOTS_DIR/<name>.png). Names: the dialogs new, rename, refuse, about,
# about-hover (show_dialogs); the main window main-registration and
# main-launcher (Korvane.exe over the sample groups, a group selected); the
# toolkit gallery gallery and gallery-dialog. Without names, all nine. Two
# builds' sets compare pixel for pixel: compare -metric AE a.png b.png null:
set -eu
cd "$(dirname "$0")/../.."
source tools/wine-env.sh
korvane_ensure_prefix
if [ -z "${DISPLAY:-}" ]; then
  korvane_start_xvfb
  trap 'wineserver -k >/dev/null 2>&1 </dev/null; kill $KORVANE_XVFB_PID 2>/dev/null' EXIT
fi
out=${SHOTS_DIR:-build/shots}
mkdir -p "$out"

# The screen, as one picture without the blinking caret: five captures over
# more than one blink period, the lightest of each pixel kept (the caret is
# dark on a light box, and every capture holds it hidden at least once).
shot() {
  local tmp; tmp=$(mktemp -d)
  for i in 1 2 3 4 5; do
    import -window root -crop 900x700+0+0 "$tmp/$i.png"
    sleep 0.25
  done
  convert "$tmp"/?.png -evaluate-sequence max "$1"
  rm -rf "$tmp"
}
[ $# -gt 0 ] || set -- new rename refuse about about-hover main-registration main-launcher gallery gallery-dialog

# The main window over a fixed folder of sample groups (same paths every
# run), in the given mode, with its second group clicked.
main_window() {
  local mode=$1 name=$2 data=$PWD/build/shots-data
  rm -rf "$data"
  mkdir -p "$data"
  cp build/win32/dist/* "$data/"
  ./scripts/make_samples.sh "$data"
  printf '[Korvane]\r\nLEFT=0\r\nTOP=0\r\nWIDTH=730\r\nHEIGHT=479\r\nMODE=%s\r\n' "$mode" >"$data/Korvane.INI"
  (cd "$data" && exec wine Korvane.exe >/dev/null 2>&1 </dev/null) &
  local w=""
  for _ in $(seq 1 100); do
    w=$(xdotool search --name '^Korvane$' 2>/dev/null | head -1) && [ -n "$w" ] && break
    sleep 0.2
  done
  # Time to settle (a loaded machine makes Wine slow to finish the start).
  sleep 3
  # The second group row of the list (below the toolbar), then the pointer
  # away from every window, so no hint or hot state shows.
  xdotool mousemove --window "$w" 60 160 click 1
  xdotool mousemove 1270 1010
  sleep 3
  shot "$out/$name.png"
  wineserver -k >/dev/null 2>&1 </dev/null || true
}

for name in "$@"; do
  case $name in
    main-registration) main_window 0 main-registration ;;
    main-launcher) main_window 1 main-launcher ;;
    gallery) ./scripts/gallery-shot.sh "$out/gallery.png" >/dev/null ;;
    gallery-dialog) ./scripts/gallery-shot.sh "$out/gallery-dialog.png" --dialog >/dev/null ;;
    *)
      wine build/win32/tools/shots/show_dialogs.exe "$name" 6000 >/dev/null 2>&1 </dev/null &
      pid=$!
      sleep 4
      shot "$out/$name.png"
      wait $pid || true
      ;;
  esac
  echo "$out/$name.png"
done
