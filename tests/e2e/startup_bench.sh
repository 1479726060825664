#!/usr/bin/env bash
# Start-up figure: milliseconds from the process's creation to its visible
# main window, median of RUNS starts (default 9), for Korvane with GROUPS
# group files beside it (default 0) and for the smallest Win32 window
# program under the same Wine, and their ratio. Measured inside Wine by
# korvane_probe, runs of the two programs interleaved. Prints figures only.
#   tests/e2e/startup_bench.sh [RUNS] [GROUPS]
source "$(dirname "$0")/lib.sh"
runs=${1:-9}
groups=${2:-0}
e2e_begin startup_bench
e2e_install
cp "$E2E_FIXTURES/fixture_window.exe" "$E2E_DIR/"
e2e_many_groups "$groups"

# time_one EXE CLASS TITLE: one start, closed and waited for; prints the ms.
time_one() {
  local exe=$1 out ms hwnd
  out=$(e2e_time_start "$E2E_DIR/$exe" "$2" "$3") || { echo "no window from $exe" >&2; exit 1; }
  read -r ms hwnd <<<"$out"
  e2e_probe close "$hwnd" >/dev/null
  e2e_probe --exe "$exe" wait-exit 10000 >/dev/null || { echo "$exe did not end" >&2; exit 1; }
  echo "$ms"
}

median() {
  sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# One start of each first: the first start of a prefix loads more.
time_one Korvane.exe TFrmFR0010MN Korvane >/dev/null
time_one fixture_window.exe KorvaneFixtureWindow Fixture >/dev/null
korvane=() empty=()
for ((i = 0; i < runs; i++)); do
  korvane+=("$(time_one Korvane.exe TFrmFR0010MN Korvane)")
  empty+=("$(time_one fixture_window.exe KorvaneFixtureWindow Fixture)")
done
k=$(printf '%s\n' "${korvane[@]}" | median)
e=$(printf '%s\n' "${empty[@]}" | median)
echo "Korvane with $groups group files: median $k ms (${korvane[*]})"
echo "empty Win32 window program:      median $e ms (${empty[*]})"
echo "ratio: $(awk -v k="$k" -v e="$e" 'BEGIN { printf "%.2f", k / e }')"
exit 0
