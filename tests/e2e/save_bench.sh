#!/usr/bin/env bash
# Save figures under Wine, for GROUPS group files of twenty entries (default
# 1000), medians of RUNS (default 7):
# - a save with one group file changed (its first title edited from outside,
#   which the save writes back): the Save command sent to the main window,
#   from the message to the hourglass gone, timed inside Wine by the probe;
# - the same with every group file changed;
# - the load of the same files: the start-up to the main window with them
#   less the start-up with no group file.
# Prints figures only.
#   tests/e2e/save_bench.sh [RUNS] [GROUPS]
source "$(dirname "$0")/lib.sh"
runs=${1:-7}
groups=${2:-1000}
e2e_begin save_bench
e2e_install
WM_COMMAND=0x0111
ID_SAVE=101

median() {
  sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# start_ms: one start, to the visible main window, then closed; prints the ms.
start_ms() {
  local out ms hwnd
  out=$(e2e_time_start "$E2E_DIR/Korvane.exe" "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE") || e2e_abort "the program starts"
  read -r ms hwnd <<<"$out"
  e2e_probe close "$hwnd" >/dev/null
  e2e_probe wait-exit 30000 >/dev/null || e2e_abort "the program ends"
  echo "$ms"
}

# edit_outside COUNT: the first title of the first COUNT group files changed.
edit_outside() {
  python3 - "$E2E_DIR" "$1" <<'EOF'
import os, sys
folder, count = sys.argv[1], int(sys.argv[2])
for name in sorted(n for n in os.listdir(folder) if n.endswith('.PTH'))[:count]:
    path = os.path.join(folder, name)
    data = open(path, 'rb').read()
    open(path, 'wb').write(data.replace(b'TITLE=', b'TITLE=outside ', 1))
EOF
}

# save_ms COUNT: COUNT files changed from outside, then one save; its ms.
save_ms() {
  edit_outside "$1"
  e2e_probe time-send "$E2E_MAIN" $WM_COMMAND $ID_SAVE 0 120000 || e2e_abort "the save answers"
}

start_ms >/dev/null   # the first start of a prefix loads more
empty=()
for ((i = 0; i < runs; i++)); do empty+=("$(start_ms)"); done
e2e_many_groups "$groups"
full=()
for ((i = 0; i < runs; i++)); do full+=("$(start_ms)"); done

e2e_launch
save_ms 1 >/dev/null
one=() all=()
for ((i = 0; i < runs; i++)); do
  one+=("$(save_ms 1)")
  all+=("$(save_ms "$groups")")
done
e2e_close 60

e=$(printf '%s\n' "${empty[@]}" | median)
f=$(printf '%s\n' "${full[@]}" | median)
o=$(printf '%s\n' "${one[@]}" | median)
a=$(printf '%s\n' "${all[@]}" | median)
load=$(awk -v f="$f" -v e="$e" 'BEGIN { print f - e }')
echo "save, one of $groups group files changed:  median $o ms (${one[*]})"
echo "save, all $groups group files changed:     median $a ms (${all[*]})"
echo "start-up with $groups group files:          median $f ms (${full[*]})"
echo "start-up with none:                        median $e ms (${empty[*]})"
echo "load of the $groups files (the difference): $load ms"
echo "save with one change / load: $(awk -v o="$o" -v l="$load" 'BEGIN { printf "%.2f", (l > 0) ? o / l : 0 }')"
exit 0
