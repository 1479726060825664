#!/usr/bin/env bash
# Runs a Win32 program under Wine with the test environment. Wine's helper
# processes (wineserver, services.exe, explorer.exe) inherit stdout/stderr;
# when those are CTest's pipes the reader waits for the helpers to exit. So
# the program's output goes to a file that is printed afterwards.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
korvane_ensure_prefix || exit 1
if [ -z "${DISPLAY:-}" ]; then
  korvane_start_xvfb || exit 1
  trap 'kill $KORVANE_XVFB_PID 2>/dev/null' EXIT
fi
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
tr -d '\r' <"$out"
rm -f "$out"
exit $rc
