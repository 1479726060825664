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
declare -A summary skipped
for tree in native sanitize fuzz win32; do
  echo "=== $tree ==="
  args=(--output-on-failure)
  # The Win32 tests share one display and one wineserver: run them in turn.
  [ "$tree" = win32 ] || args+=(-j2)
  out=$(mktemp)
  ctest --test-dir "build/$tree" "${args[@]}" >"$out" 2>&1
  rc=$?
  cat "$out"
  summary[$tree]=$(grep -E 'tests passed|tests failed' "$out" | tail -1)
  # A skipped test (an end-to-end script whose subject is not built yet)
  # counts neither as passed nor as failed.
  skipped[$tree]=$(grep -c -E '^\s*[0-9]+ - .* \(Skipped\)$' "$out")
  rm -f "$out"
  [ $rc = 0 ] || failed=1
done
echo "=== summary ==="
passed=0; nfailed=0; nskipped=0
for tree in native sanitize fuzz win32; do
  note=""
  [ "${skipped[$tree]:-0}" = 0 ] || note=", ${skipped[$tree]} skipped"
  echo "$tree: ${summary[$tree]:-no tests}$note"
  if [[ "${summary[$tree]:-}" =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    nfailed=$((nfailed + BASH_REMATCH[1]))
    passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1] - ${skipped[$tree]:-0}))
    nskipped=$((nskipped + ${skipped[$tree]:-0}))
  fi
done
[ $failed = 0 ] || [ $nfailed -gt 0 ] || nfailed=1
echo "$passed passed, $nfailed failed$([ $nskipped = 0 ] || echo ", $nskipped skipped")"
exit $failed
