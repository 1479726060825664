#!/usr/bin/env bash
# A group whose files lie on a network share that answers each lookup after
# a second (a FUSE file system standing in for an offline drive): the
# window appears before the share has answered, keeps answering messages
# while the group is shown, and the markers arrive as the share answers.
# Skipped (exit 77) where FUSE is unavailable.
source "$(dirname "$0")/lib.sh"
DELAY=1
e2e_need_fuse

e2e_begin
e2e_slow_share "$DELAY"
echo "見積" >"$SHARE/src/report1.txt"
echo "請求" >"$SHARE/src/report2.txt"
e2e_install
share=$(e2e_winpath "$SHARE/mnt")
printf '[01]\nTITLE=見積\nPATH=%s\\report1.txt\n[02]\nTITLE=無い\nPATH=%s\\gone1.txt\n' "$share" "$share" >"$E2E_TMP/group.txt"
printf '[03]\nTITLE=請求\nPATH=%s\\report2.txt\n[04]\nTITLE=無い2\nPATH=%s\\gone2.txt\n' "$share" "$share" >>"$E2E_TMP/group.txt"
e2e_group 共有 <"$E2E_TMP/group.txt"
answered() { grep -c . "$LOG"; }
# Every path has had its answer (a found file may be looked up again).
all_answered() {
  grep -q 'missing /gone1.txt' "$LOG" && grep -q 'missing /gone2.txt' "$LOG" &&
    grep -q 'found /report1.txt' "$LOG" && grep -q 'found /report2.txt' "$LOG"
}

e2e_launch
check_eq "the window is up before the share answered any lookup" 0 "$(answered)"
list=$(e2e_probe children "$E2E_MAIN" | awk '/ ListBox / { print $1; exit }')
GRID=$(e2e_probe children "$E2E_MAIN" | awk '/ ui.DrawGrid / { print $1; exit }')
[ -n "$list" ] && [ -n "$GRID" ] || e2e_abort "the group list and the grid are found" "$(e2e_probe children "$E2E_MAIN")"
read -r mx my _ <<<"$(e2e_probe client-rect "$E2E_MAIN")"
read -r lx ly _ <<<"$(e2e_probe client-rect "$list")"
e2e_click "$E2E_MAIN" $((lx - mx + 60)) $((ly - my + 20))
LB_GETCURSEL=0x0188
check_eq "the group is selected" 0 "$(e2e_probe send "$list" $LB_GETCURSEL 0 0 5000)"
# Messages are answered while the share has not answered every lookup.
answers() { e2e_probe send "$E2E_MAIN" 0 0 0 5000 >/dev/null; }
for i in 1 2 3; do
  check "WM_NULL is answered while the slow group is shown ($i)" answers
done
check "the share still had lookups to answer meanwhile" eval '! all_answered'
e2e_shot waiting >/dev/null

# The markers arrive as the share answers.
e2e_until 60 all_answered || fail "the share answers every path" "$(cat "$LOG")"
check "entry 2 missing: the red cross" e2e_until 5 button_has "#FF0000" 2
check "entry 4 missing: the red cross" e2e_until 5 button_has "#FF0000" 4
# A lookup past the time limit shows the red cross until its answer comes.
check "entry 1 found: the blue ring" e2e_until 30 button_has "#0000FF" 1
check "entry 3 found: the blue ring" e2e_until 30 button_has "#0000FF" 3
check "and no red cross on entry 1" eval '! button_has "#FF0000" 1'
check "still answering" answers
e2e_close 30
e2e_finish
