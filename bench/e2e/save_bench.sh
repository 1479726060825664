#!/usr/bin/env bash
# Save figures under Wine, for GROUPS group files of twenty entries (default
# 1000), medians of RUNS (default 7):
# - a save with one group changed (entry 1's title of the first group typed
#   anew through the window: F2, the text, Enter, sent by the probe where
#   the keyboard would): the Save command sent to the main window, from the
#   message to the hourglass gone, timed inside Wine by the probe; the files
#   it replaced are counted (one is expected);
# - the same with the first MANY groups changed (default 100; each chosen
#   on the list with Down and its title typed; the typing is not timed);
# - the load of the same files: the start-up to the main window with them
#   less the start-up with no group file.
# Prints figures only.
#   tests/e2e/save_bench.sh [RUNS] [GROUPS] [MANY]
source "$(dirname "$0")/../../tests/e2e/lib.sh"
runs=${1:-7}
groups=${2:-1000}
many=${3:-100}
[ "$many" -le "$groups" ] || many=$groups
e2e_begin save_bench
e2e_install
WM_COMMAND=0x0111
ID_SAVE=101


# start_ms: one start, to the visible main window, then closed; prints the ms.
start_ms() {
  local out ms hwnd
  out=$(e2e_time_start "$E2E_DIR/Korvane.exe" "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE") || e2e_abort "the program starts"
  read -r ms hwnd <<<"$out"
  e2e_probe close "$hwnd" >/dev/null
  e2e_probe wait-exit 30000 >/dev/null || e2e_abort "the program ends"
  echo "$ms"
}

# stamps FILE: each group file's inode, size and time recorded in FILE;
# stamps FILE --count: how many group files differ from the record (a save
# puts a new file in place of each one it writes).
cat >"$E2E_TMP/stamps.py" <<'EOF'
import json, os, sys
folder, record = sys.argv[1], sys.argv[2]
now = {}
for n in os.listdir(folder):
    if n.upper().endswith('.PTH'):
        st = os.stat(os.path.join(folder, n))
        now[n] = [st.st_ino, st.st_size, st.st_mtime_ns]
if len(sys.argv) > 3:
    before = json.load(open(record))
    print(sum(1 for n in set(now) | set(before) if now.get(n) != before.get(n)))
else:
    json.dump(now, open(record, 'w'))
EOF
stamps() { python3 "$E2E_TMP/stamps.py" "$E2E_DIR" "$@"; }

# type_titles COUNT TEXT: entry 1's title of the first COUNT groups typed
# anew. The grid has the focus on entry 1 of the first group, as after the
# first Down on the list, and has it there again afterwards.
type_titles() {
  e2e_probe keys "$E2E_MAIN" 1 F2 "text:$2" Return >/dev/null || e2e_abort "a title is typed"
  [ "$1" -gt 1 ] || return 0
  e2e_probe keys "$E2E_MAIN" $(($1 - 1)) Tab Down F2 "text:$2" Return >/dev/null || e2e_abort "the titles are typed"
  e2e_probe keys "$E2E_MAIN" 1 Tab Home >/dev/null || e2e_abort "the first group is chosen again"
}

# save COUNT TEXT: COUNT groups changed through the window, then one save;
# sets SAVE_MS to its milliseconds and REPLACED to the files it replaced.
save() {
  type_titles "$1" "$2"
  stamps "$E2E_TMP/stamps.json"
  SAVE_MS=$(e2e_probe time-send "$E2E_MAIN" $WM_COMMAND $ID_SAVE 0 120000) || e2e_abort "the save answers"
  REPLACED=$(stamps "$E2E_TMP/stamps.json" --count)
}

start_ms >/dev/null   # the first start of a prefix loads more
empty=()
for ((i = 0; i < runs; i++)); do empty+=("$(start_ms)"); done
e2e_many_groups "$groups"
full=()
for ((i = 0; i < runs; i++)); do full+=("$(start_ms)"); done

e2e_launch
# The list has the focus: Down chooses the first group, the grid takes it.
e2e_probe keys "$E2E_MAIN" 1 Down >/dev/null || e2e_abort "the first group is chosen"
save 1 warm
one=() all=() replaced_one=() replaced_all=()
for ((i = 0; i < runs; i++)); do
  save 1 "one $i"
  one+=("$SAVE_MS") replaced_one+=("$REPLACED")
  save "$many" "many $i"
  all+=("$SAVE_MS") replaced_all+=("$REPLACED")
done
e2e_close 60

e=$(printf '%s\n' "${empty[@]}" | median)
f=$(printf '%s\n' "${full[@]}" | median)
o=$(printf '%s\n' "${one[@]}" | median)
a=$(printf '%s\n' "${all[@]}" | median)
load=$(awk -v f="$f" -v e="$e" 'BEGIN { print f - e }')
echo "save, one of $groups groups changed:  median $o ms (${one[*]}); files replaced: ${replaced_one[*]}"
echo "save, $many of $groups groups changed: median $a ms (${all[*]}); files replaced: ${replaced_all[*]}"
echo "start-up with $groups group files:     median $f ms (${full[*]})"
echo "start-up with none:                   median $e ms (${empty[*]})"
echo "load of the $groups files (the difference): $load ms"
echo "save with one change / load: $(awk -v o="$o" -v l="$load" 'BEGIN { printf "%.2f", (l > 0) ? o / l : 0 }')"
exit 0
