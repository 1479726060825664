#!/usr/bin/env bash
# Builds everything and runs every test: the core suite natively, under
# AddressSanitizer/UndefinedBehaviorSanitizer and under Wine, the fuzzers
# briefly, and the Win32 toolkit and program tests and end-to-end scripts
# under Wine on an Xvfb display of their own. Exits non-zero on any failure.
#
# Both cores are kept busy: the Wine prefixes are made while the trees
# build, the Win32 tree is built first and its tests (one at a time, on one
# display and one wineserver) start as soon as it is, while the other trees
# build (at a lower priority) and run their tests beside them. Each tree's
# test output is printed as a whole when it ends.
set -u
cd "$(dirname "$0")/.."
./scripts/deps.sh || exit 1
mkdir -p build
start=$SECONDS
say() { echo "[$((SECONDS - start)) s] $*"; }

source tools/wine-env.sh
# The prefix, and the second one of the two-computer script.
{
  korvane_ensure_prefix &&
    WINEPREFIX=$PWD/build/wineprefix-b korvane_ensure_prefix
} >build/prefix.log 2>&1 </dev/null &
prefix_pid=$!
say "building win32"
./scripts/build.sh win32 >build/build-win32.out 2>&1 &
win32_build=$!
# The others build beside it at a lower priority, so the Win32 tree is
# ready first and its tests run unhindered; they take what CPU it leaves.
nice -n 10 ./scripts/build.sh native sanitize fuzz >build/build-others.out 2>&1 &
others_build=$!

failed=0
declare -A summary
# run_tree TREE: its tests, output into build/test-TREE.out; the summary line.
run_tree() {
  local tree=$1 out=build/test-$1.out rc repeat=()
  # A Win32 test that fails is run once more (both runs stay in the
  # output, so one that needed it is seen): some still hang on Wine's
  # timing under load.
  [ "$tree" = win32 ] && repeat=(--repeat until-pass:2)
  # The test presets (CMakePresets.json): output on failure; the Win32
  # tests share one display and one wineserver, so they run in turn.
  ctest --preset "$tree" "${repeat[@]}" >"$out" 2>&1 </dev/null
  rc=$?
  echo "$(grep -E 'tests passed|tests failed' "$out" | tail -1)$(grep -c -E '^\s*[0-9]+ - .* \(Skipped\)$' "$out" |
    sed -e 's/^0$//' -e 's/^[1-9].*/, & skipped/')$([ "$rc" = 0 ] || echo " (exit code $rc)")" >"$out.summary"
  return "$rc"
}
report() {
  echo "=== $1 ==="
  cat "build/test-$1.out"
  summary[$1]=$(cat "build/test-$1.out.summary" 2>/dev/null)
}

wait "$win32_build"
win32_built=$?
cat build/build-win32.out
say "win32 built"
win32_tests=""
if [ "$win32_built" = 0 ]; then
  if wait "$prefix_pid"; then
    korvane_start_xvfb || exit 1
    cleanup() { wineserver -k >/dev/null 2>&1 </dev/null; kill "$KORVANE_XVFB_PID" 2>/dev/null; }
    trap cleanup EXIT
    run_tree win32 &
    win32_tests=$!
  else
    cat build/prefix.log
    summary[win32]="the Wine prefix could not be made"
    failed=1
  fi
else
  summary[win32]="build failed"
  failed=1
fi

wait "$others_build"
others_built=$?
cat build/build-others.out
say "native, sanitize, fuzz built"
[ "$others_built" = 0 ] || failed=1
for tree in native sanitize fuzz; do
  if [ ! -f "build/$tree/build.ninja" ] || grep -q "^build of $tree failed" build/build-others.out; then
    summary[$tree]="build failed"
    continue
  fi
  run_tree "$tree" || failed=1
  report "$tree"
  say "$tree tested"
done
if [ -n "$win32_tests" ]; then
  wait "$win32_tests" || failed=1
  report win32
  say "win32 tested"
fi
rm -f build/build-win32.out build/build-others.out build/test-*.out build/test-*.out.summary

echo "=== summary ==="
for tree in native sanitize fuzz win32; do
  echo "$tree: ${summary[$tree]:-no tests}"
done
say "done"
[ $failed = 0 ] && echo "all passed" || echo "FAILED"
exit $failed
