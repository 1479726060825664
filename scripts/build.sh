#!/usr/bin/env bash
# Configures (once) and builds the given presets: native, sanitize, fuzz,
# win32. The presets are configured and built side by side, each with as
# many jobs as there are cores (KORVANE_JOBS to change it): the lone steps
# of one tree (configuring, linking, the exe's whole-program optimisation)
# then overlap with the compiling of another, and the cores stay busy to
# the end. Errors and warnings are printed per preset once it is built.
set -u
cd "$(dirname "$0")/.."
jobs=${KORVANE_JOBS:-$(nproc)}
mkdir -p build
# A compiler cache where one is installed (KORVANE_CCACHE=0: none): a clean
# clone on a machine that has built before compiles almost nothing, and an
# empty cache costs no measurable time. Paths under the checkout are hashed
# relative to it, so every clone shares the cache. Taken when a tree is
# configured.
if [ "${KORVANE_CCACHE:-1}" != 0 ] && command -v ccache >/dev/null && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ]; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
fi

# One preset: its build's output into build/PRESET.log (the configure's
# only when it fails).
build_one() {
  local preset=$1
  if [ ! -f "build/$preset/build.ninja" ]; then
    cmake --preset "$preset" >"build/$preset.configure.log" 2>&1 || { cat "build/$preset.configure.log"; return 1; }
  fi
  # The progress lines are dropped, errors and warnings stay.
  cmake --build --preset "$preset" -- -k 0 -j "$jobs" | { grep -v -E '^\[[0-9]+/[0-9]+\] ' || true; }
  return "${PIPESTATUS[0]}"
}

pids=()
for preset in "$@"; do
  build_one "$preset" >"build/$preset.log" 2>&1 </dev/null &
  pids+=($!)
done
failed=0
i=0
for preset in "$@"; do
  wait "${pids[$i]}"
  rc=$?
  cat "build/$preset.log"
  [ "$rc" = 0 ] || { echo "build of $preset failed"; failed=1; }
  rm -f "build/$preset.log" "build/$preset.configure.log"
  i=$((i + 1))
done
exit "$failed"
