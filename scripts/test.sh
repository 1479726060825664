#!/usr/bin/env bash
# Builds everything and runs every test: the core suite natively, under
# AddressSanitizer/UndefinedBehaviorSanitizer and under Wine, the fuzzers
# briefly, and the Win32 toolkit and program tests and end-to-end scripts
# under Wine on an Xvfb display of their own. Exits non-zero on any failure.
set -u
cd "$(dirname "$0")/.."
./scripts/deps.sh || exit 1
mkdir -p build
./scripts/build.sh native sanitize fuzz win32 || exit 1

source tools/wine-env.sh
korvane_ensure_prefix || exit 1
korvane_start_xvfb || exit 1
cleanup() { wineserver -k >/dev/null 2>&1 </dev/null; kill "$KORVANE_XVFB_PID" 2>/dev/null; }
trap cleanup EXIT

failed=0
declare -A summary
for tree in native sanitize fuzz win32; do
  echo "=== $tree ==="
  out=$(mktemp)
  # The test presets (CMakePresets.json): output on failure; the Win32
  # tests share one display and one wineserver, so they run in turn.
  ctest --preset "$tree" 2>&1 | tee "$out"
  rc=${PIPESTATUS[0]}
  summary[$tree]="$(grep -E 'tests passed|tests failed' "$out" | tail -1)$(grep -c -E '^\s*[0-9]+ - .* \(Skipped\)$' "$out" | sed -e 's/^0$//' -e 's/^[1-9].*/, & skipped/')"
  rm -f "$out"
  [ "$rc" = 0 ] || { failed=1; summary[$tree]="${summary[$tree]} (exit code $rc)"; }
done
echo "=== summary ==="
for tree in native sanitize fuzz win32; do
  echo "$tree: ${summary[$tree]:-no tests}"
done
[ $failed = 0 ] && echo "all passed" || echo "FAILED"
exit $failed
