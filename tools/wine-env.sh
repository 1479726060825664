# Sourced by the scripts that run Win32 programs under Wine: the locale that
# makes Wine use code page 932, a private 32-bit prefix, and an Xvfb display.
KORVANE_ROOT=${KORVANE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win32
export WINEPREFIX=${KORVANE_WINEPREFIX:-$KORVANE_ROOT/build/wineprefix}

# Creates the prefix once (about 6 s). Managed=N: without a window manager a
# managed window takes 2 s to hide or close and keystrokes follow the pointer.
korvane_ensure_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.korvane-ready" ]; then
      rm -rf "$WINEPREFIX"
      local log; log=$(mktemp)
      if ! wineboot -i >"$log" 2>&1 </dev/null; then
        cat "$log" >&2; rm -f "$log"; exit 1
      fi
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >"$log" 2>&1 </dev/null
      wineserver -w >/dev/null 2>&1 </dev/null
      rm -f "$log"
      touch "$WINEPREFIX/.korvane-ready"
    fi
    # Debian's Wine does not load the fonts of fonts-wine from
    # /usr/share/wine/fonts: without Marlett in the prefix, caption buttons
    # are drawn as the letters "0 1 r".
    local marlett=/usr/share/wine/fonts/marlett.ttf
    if [ -f "$marlett" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
      cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Starts a 24-bit Xvfb on a free display and exports DISPLAY; its pid goes
# to KORVANE_XVFB_PID. Colours then read back exactly from screenshots.
korvane_start_xvfb() {
  local n
  for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    KORVANE_XVFB_PID=$!
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$KORVANE_XVFB_PID" 2>/dev/null || break
      sleep 0.1
    done
  done
  echo "could not start Xvfb" >&2
  return 1
}
