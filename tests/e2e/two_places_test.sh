#!/usr/bin/env bash
# Two Korvane processes on one folder, each in a Wine prefix of its own
# (two Wine servers, as two PCs are): each saves in turn, nothing either
# saved is lost, and each sees the other's change in its grid without a
# restart; a file written from the script (a text editor) shows up too.
# Screenshots: build/win32/e2e-artifacts/two_places/.
source "$(dirname "$0")/lib.sh"
e2e_begin

PREFIX_A=$WINEPREFIX
PREFIX_B=${KORVANE_WINEPREFIX_B:-$KORVANE_ROOT/build/wineprefix-b}
# as_b COMMAND...: runs a function of the library against the second PC.
as_b() { WINEPREFIX=$PREFIX_B "$@"; }
as_b korvane_ensure_prefix >"$E2E_TMP/prefix-b.log" 2>&1 </dev/null ||
  e2e_abort "the second Wine prefix is ready" "$(cat "$E2E_TMP/prefix-b.log")"
as_b wineserver -k >/dev/null 2>&1 </dev/null
as_b wineserver -w >/dev/null 2>&1 </dev/null
# (The script's own status is handed on to the cleanup, not the last kill's.)
trap 'rc=$?; WINEPREFIX=$PREFIX_B wineserver -k >/dev/null 2>&1 </dev/null; (exit $rc); e2e__cleanup' EXIT
# A probe of its own serves the questions about B.
as_b e2e_probe_serve || e2e_abort "the second prefix's probe serves"

entries() {
  local i title
  for i in $(seq 1 20); do
    title=${!i:-}
    printf '[%02d]\nTITLE=%s\nPATH=\n' "$i" "$title"
  done
}
settings_at() {
  printf '[Korvane]\nLEFT=%s\nTOP=60\nWIDTH=600\nHEIGHT=420\nMODE=0\n' "$1" | e2e_cp932 >"$E2E_DIR/Korvane.INI"
}
title_of() {   # title_of N: entry N's title in the group file, as UTF-8
  iconv -f CP932 -t UTF-8 "$E2E_DIR/業務A.PTH" | tr -d '\r' |
    awk -v s="[$(printf %02d "$1")]" '$0 == s { f = 1; next } /^\[/ { f = 0 } f && /^TITLE=/ { print substr($0, 7); exit }'
}

e2e_install 共有
entries 見積書 請求書 納品書 | e2e_group 業務A
entries 予定表 | e2e_group 業務B

# PC A on the left, PC B on the right (each reads the settings at its start).
settings_at 0
e2e_start
e2e_wait_main || e2e_abort "A's main window appears"
MAIN_A=$E2E_MAIN
PID_A=$E2E_LAST_PID
settings_at 640
E2E_PID=""
as_b e2e_start
MAIN_B=$(as_b e2e_probe wait-window "$E2E_MAIN_CLASS" "$E2E_MAIN_TITLE" 15000) ||
  e2e_abort "B's main window appears"
PID_B=$E2E_LAST_PID

# Registration mode (MODE=0): row 1 of the list is 業務A; Delete clears the
# title cell of entry 1 (A), then entry 2 (B).
as_b e2e_choose_group 1 "$MAIN_B" || fail "B: the group is chosen"
GRID_B=$GRID
e2e_choose_group 1 "$MAIN_A" || fail "A: the group is chosen"
GRID_A=$GRID

# A clears entry 1 and saves.
shown_b=$(as_b e2e_picture "$GRID_B")
e2e_key "$MAIN_A" Delete ctrl+s || fail "A: Delete, Ctrl+S"
e2e_until 10 eval 'test -z "$(title_of 1)"'
check_eq "A's save wrote its change" "" "$(title_of 1)"
check "B's grid shows A's change" e2e_until 10 as_b e2e_picture_changed "$GRID_B" "$shown_b"
e2e_shot b-sees-a >/dev/null

# B, which had read the file before A's save, clears entry 2 and saves:
# A's change stays.
as_b e2e_choose_group 1 "$MAIN_B" || fail "B: the group is chosen again"
as_b e2e_key "$MAIN_B" Down Delete ctrl+s || fail "B: Down, Delete, Ctrl+S"
e2e_until 10 eval 'test -z "$(title_of 2)"'
check_eq "B's save wrote its change" "" "$(title_of 2)"
check_eq "B's save kept A's change" "" "$(title_of 1)"
check_eq "the entry neither changed stays" 納品書 "$(title_of 3)"

# A text editor's change reaches both.
shown_a=$(e2e_picture "$GRID_A") shown_b=$(as_b e2e_picture "$GRID_B")
entries "" "" 納品書 "エディターで追加" | e2e_group 業務A
check "A's grid shows the editor's change" e2e_until 10 e2e_picture_changed "$GRID_A" "$shown_a"
check "B's grid shows the editor's change" e2e_until 10 as_b e2e_picture_changed "$GRID_B" "$shown_b"
e2e_shot both-see-the-editor >/dev/null
# A saves again after a change of its own: the editor's entry stays.
e2e_choose_group 1 "$MAIN_A" || fail "A: the group is chosen again"
shown_b=$(as_b e2e_picture "$GRID_B")
e2e_key "$MAIN_A" Down Down Delete ctrl+s || fail "A: Down, Down, Delete, Ctrl+S"
e2e_until 10 eval 'test -z "$(title_of 3)"'
check_eq "A's second save wrote its change" "" "$(title_of 3)"
check_eq "A's second save kept the editor's entry" エディターで追加 "$(title_of 4)"
# Both have done their part (A wrote, B shows the file A wrote) before
# neither is found asking.
check "B's grid shows A's second save" e2e_until 10 as_b e2e_picture_changed "$GRID_B" "$shown_b"
no_box() { ! e2e_msgbox 500 && ! as_b e2e_msgbox 500; }
check "no clash box came" no_box

# Both end without a question: nothing is unsaved.
E2E_PID=$PID_A E2E_MAIN=$MAIN_A e2e_close
as_b e2e_probe close "$MAIN_B" >/dev/null || fail "B: WM_CLOSE"
if e2e_wait_exit "$PID_B" 10; then pass "B ends"; else fail "B ends"; fi

# ---- A sync client's two ways of replacing a file, seen by one Korvane:
# a temporary file renamed over 業務A, then 業務A deleted and made anew
# 5 ms later. The group keeps its row and its selection throughout, and a
# change made after both lands beside what the client wrote.
LB_GETCURSEL=0x0188
LB_GETCOUNT=0x018B
E2E_PID=""
e2e_start
e2e_wait_main || e2e_abort "the main window appears for the sync client's case"
list=$(e2e_probe children "$E2E_MAIN" | awk '/ ListBox / { print $1; exit }')
e2e_choose_group 1 || fail "the group is chosen"
e2e_until 3 eval 'test "$(e2e_probe send "$list" $LB_GETCURSEL 0 0)" = 0' || fail "業務A is selected"
entries "" "" "" エディターで追加 同期1 | e2e_cp932 >"$E2E_DIR/.業務A.PTH.sync-tmp"
mv -f "$E2E_DIR/.業務A.PTH.sync-tmp" "$E2E_DIR/業務A.PTH"
sleep 0.5
rm -f "$E2E_DIR/業務A.PTH"
sleep 0.005
entries "" "" "" エディターで追加 同期1 同期2 | e2e_cp932 >"$E2E_DIR/業務A.PTH"
# Entry 4 cleared and saved: the client's entries 5 and 6 stay.
e2e_choose_group 1 || fail "the group is chosen again"
e2e_key "$E2E_MAIN" Down Down Down Delete ctrl+s || fail "Down x3, Delete, Ctrl+S"
e2e_until 10 eval 'test -z "$(title_of 4)"'
check_eq "the save after the client's writes cleared entry 4" "" "$(title_of 4)"
check_eq "the renamed-over file's entry stays" 同期1 "$(title_of 5)"
check_eq "the file made anew keeps its entry" 同期2 "$(title_of 6)"
# Past the 2-second grace the group has not left: same row, still selected.
sleep 2.5
check_eq "the group list still counts both groups" 2 "$(e2e_probe send "$list" $LB_GETCOUNT 0 0)"
check_eq "業務A is still selected, in its row" 0 "$(e2e_probe send "$list" $LB_GETCURSEL 0 0)"
check "no clash box came" no_box
e2e_close
e2e_finish
