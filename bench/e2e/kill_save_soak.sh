#!/usr/bin/env bash
# Kills the program at random moments of a save and checks that no group is
# ever lost. Not part of the normal test run (it takes minutes):
#   tests/e2e/kill_save_soak.sh [KILLS] [GROUPS] [CHANGED]
#                                          (defaults 60, 1000 and 200)
# Each round starts Korvane on GROUPS group files of twenty entries, types a
# new title into entry 1 of the first CHANGED groups through the window
# (registration mode: Down on the group list, F2, the text, Enter, Tab back
# to the list; the probe sends the keys where the keyboard would, each
# handled before the next), so the save must rewrite those files and leave
# the others alone, types Ctrl+S, kills the
# process with SIGKILL after a random delay within the length of a save, and
# starts it again. Checked after the kill: every group file holds wholly the
# bytes before the save or wholly the ones the save writes (a missing one
# only while a temporary file of it is there); after the restart: every
# group file is there and whole, no temporary file is left and the group
# list counts every group. Prints the figures.
source "$(dirname "$0")/../../tests/e2e/lib.sh"
kills=${1:-60}
groups=${2:-1000}
changed=${3:-200}
[ "$changed" -le "$groups" ] || changed=$groups
e2e_begin kill_save_soak
e2e_install
e2e_many_groups "$groups"
LB_GETCOUNT=0x018B

# snapshot NAME: every group file's bytes recorded; expect ROUND NAME: the
# bytes each file must hold once a save wrote the title the round types
# (the value of entry 1's TITLE replaced, every other byte as it is; a file
# the round leaves alone must stay as it is, "old"); check
# NAME-OLD NAME-NEW [--restarted]: prints "new old missing torn temporaries"
# and answers 1 when a file is torn, missing without a temporary file beside
# it, or (after a restart) missing at all or beside a temporary file.
cat >"$E2E_TMP/soak.py" <<'EOF'
import hashlib, json, os, re, sys
folder, command = sys.argv[1], sys.argv[2]
def digest(path):
    with open(path, 'rb') as f:
        return hashlib.md5(f.read()).hexdigest()
def groups():
    return [n for n in os.listdir(folder) if n.upper().endswith('.PTH')]
def title(round):
    return b'soak ' + round.encode()
temporary = re.compile(r'(\.~Korvane-[0-9a-f]+(-[0-9a-f]+){1,4}\.(tmp|new)$)|(^rf.*\.tmp$)', re.I)
if command == 'snapshot':
    json.dump({n: digest(os.path.join(folder, n)) for n in groups()}, open(sys.argv[3], 'w'))
elif command == 'expect':
    # Entry 1's title comes first in every file of the round.
    mark = b'TITLE=' + title(sys.argv[3])
    expected = {}
    for n in groups():
        data = open(os.path.join(folder, n), 'rb').read()
        expected[n] = hashlib.md5(re.sub(rb'TITLE=[^\r\n]*', mark, data, count=1)).hexdigest()
    json.dump(expected, open(sys.argv[4], 'w'))
elif command == 'check':
    old, new = json.load(open(sys.argv[3])), json.load(open(sys.argv[4]))
    restarted = len(sys.argv) > 5
    names = os.listdir(folder)
    temps = [n for n in names if temporary.search(n)]
    counts = dict(new=0, old=0, missing=0, torn=0)
    bad = False
    for n in new:
        p = os.path.join(folder, n)
        if not os.path.exists(p):
            counts['missing'] += 1
            bad |= restarted or not any(t.startswith(n + '.') for t in temps)
            continue
        d = digest(p)
        key = 'new' if d == new[n] else 'old' if d == old[n] else 'torn'
        counts[key] += 1
        bad |= key == 'torn'
    bad |= restarted and bool(temps)
    print(counts['new'], counts['old'], counts['missing'], counts['torn'], len(temps))
    sys.exit(1 if bad else 0)
EOF
soak() { python3 "$E2E_TMP/soak.py" "$E2E_DIR" "$@"; }

start() {
  E2E_PID=""
  e2e_start
  e2e_wait_main 60000 || e2e_abort "the main window appears" "no main window"
}

# drive ROUND: entry 1's title of the first CHANGED groups typed through
# the window; the list has the focus and no group is selected, as after
# the start.
drive() {
  e2e_probe keys "$E2E_MAIN" "$changed" Down F2 "text:soak $1" Return Tab >/dev/null ||
    e2e_abort "round $1: the titles are typed through the window"
}

group_count() {
  local list
  list=$(e2e_probe children "$E2E_MAIN" | awk '/ ListBox / { print $1; exit }')
  e2e_probe send "$list" $LB_GETCOUNT 0 0
}

# One save, whole: its length in milliseconds, from Ctrl+S to the last file.
start
soak snapshot "$E2E_TMP/old.json"
soak expect 0 "$E2E_TMP/new.json"
begin=$(date +%s%N)
drive 0
drive_ms=$((($(date +%s%N) - begin) / 1000000))
echo "typing a title into $changed of the $groups groups through the window takes about $drive_ms ms"
begin=$(date +%s%N)
e2e_key "$E2E_MAIN" ctrl+s || e2e_abort "Ctrl+S is typed"
all_new() { [ "$(soak check "$E2E_TMP/old.json" "$E2E_TMP/new.json" | cut -d' ' -f1-2)" = "$changed $((groups - changed))" ]; }
e2e_until 60 all_new || e2e_abort "a save writes every changed group's file and no other"
save_ms=$((($(date +%s%N) - begin) / 1000000))
echo "a save of $changed changed groups among $groups takes about $save_ms ms"
e2e_close 60

inside=0 before=0 after=0 lost=0 round=0
while [ "$inside" -lt "$kills" ] && [ "$round" -lt $((kills * 3)) ]; do
  round=$((round + 1))
  start
  soak snapshot "$E2E_TMP/old.json"
  soak expect "$round" "$E2E_TMP/new.json"
  drive "$round"
  delay=$((RANDOM * (save_ms * 9 / 10) / 32768))
  e2e_key "$E2E_MAIN" ctrl+s || e2e_abort "Ctrl+S is typed"
  sleep "$(awk -v d="$delay" 'BEGIN { printf "%.3f", d / 1000 }')"
  kill -9 "$E2E_PID"
  wait "$E2E_PID" 2>/dev/null
  state=$(soak check "$E2E_TMP/old.json" "$E2E_TMP/new.json") || fail "round $round after the kill: a group is torn or lost" "$state"
  read -r n_new n_old n_missing n_torn n_temp <<<"$state"
  if [ "$n_new" = "$changed" ] && [ "$n_temp" = 0 ]; then
    after=$((after + 1))
  elif [ "$n_old" = "$groups" ] && [ "$n_temp" = 0 ]; then
    before=$((before + 1))
  else
    inside=$((inside + 1))
  fi
  start
  if restarted=$(soak check "$E2E_TMP/old.json" "$E2E_TMP/new.json" --restarted); then
    listed=$(group_count)
    if [ "$listed" = "$groups" ]; then
      pass "round $round (killed after $delay ms: $state): every group whole and listed"
    else
      fail "round $round: the list shows every group" "$listed listed"
      lost=$((lost + groups - listed))
    fi
  else
    fail "round $round after the restart: every group whole, no temporary file" "$restarted (after the kill: $state)"
    read -r _ _ n_missing _ _ <<<"$restarted"
    lost=$((lost + n_missing))
  fi
  e2e_close 60
done
echo "kills inside a save: $inside; before its first rename: $before; after its last: $after; groups lost: $lost"
[ "$inside" -ge "$kills" ] || fail "$kills kills land inside a save" "only $inside in $round rounds"
e2e_finish
