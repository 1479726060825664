#!/usr/bin/env bash
# Files dragged from another program onto the real grid: a drag source of
# our own (DoDragDrop with a wide HDROP, as Explorer drags) is dragged with
# the real pointer onto entry 2's row in registration mode; the drop shows
# the copy effect, fills entry 2 and the empty rows after it (entry 3 has a
# path and is kept), and a save writes them. The same file copied as a file
# list and pasted on entry 5's row is saved there.
source "$(dirname "$0")/lib.sh"
e2e_begin
e2e_install

FILES=$E2E_TMP/files
mkdir -p "$FILES/資料"
: >"$FILES/資料/見積表.csv"
: >"$FILES/請求書.txt"
e2e_group 業務A <<'EOF2'
[01]
TITLE=一番
PATH=C:\一番.txt
[03]
TITLE=三番
PATH=C:\三番.txt
EOF2
e2e_launch
e2e_click "$E2E_MAIN" 130 77 || fail "the group is clicked"
children=$(e2e_probe children "$E2E_MAIN")
GRID=$(awk '/ ui.DrawGrid / { print $1; exit }' <<<"$children")
[ -n "$GRID" ] || e2e_abort "the grid is found" "$children"

A=$(e2e_winpath "$FILES/資料/見積表.csv")
B=$(e2e_winpath "$FILES/請求書.txt")
e2e_start "$E2E_FIXTURES/fixture_drag_source.exe" "$A" "$B"
SOURCE_LOG=$E2E_LAST_LOG
SOURCE_PID=$E2E_LAST_PID
e2e_probe wait-window KorvaneDragSource DragSource 10000 >/dev/null || e2e_abort "the drag source appears"

# Pressed on the source, moved in steps onto entry 2's title cell, released.
read -r gx gy _ <<<"$(e2e_probe client-rect "$GRID")"
tx=$((gx + 40 + 60)) ty=$((gy + 41 * 2 + 20))
e2e_drag 100 750 "$tx" "$ty"
check "the drag ends" e2e_wait_exit "$SOURCE_PID" 10
check_match "the drop took the files as a copy" "effect 1" "$(tr -d '\r' <"$SOURCE_LOG")"
e2e_shot dropped >/dev/null

# Saved from the menu (ﾌｧｲﾙ → 保存): the keyboard focus after a drag is
# no matter of this test.
check "the save command reaches the program" e2e_probe post "$E2E_MAIN" 0x111 101 0
saved() {
  iconv -f CP932 -t UTF-8 "$E2E_DIR/業務A.PTH" 2>/dev/null | tr -d '\r' | grep -A2 -x "\[$1\]" | tr '\n' '|'
}
e2e_until 5 eval 'saved 02 | grep -qF "見積表"'
check_eq "entry 2 holds the first file, titled by its name" "[02]|TITLE=見積表|PATH=$A|" "$(saved 02)"
check_eq "entry 3 keeps its path" '[03]|TITLE=三番|PATH=C:\三番.txt|' "$(saved 03)"
check_eq "entry 4 holds the second file" "[04]|TITLE=請求書|PATH=$B|" "$(saved 04)"

# The first file copied as a file list in another program, pasted with
# Ctrl+V on entry 5's row, saved (again until the folder test answered).
e2e_start "$E2E_FIXTURES/fixture_drag_source.exe" --copy "$A"
copied() { grep -q copied "$E2E_LAST_LOG"; }
e2e_until 10 copied || e2e_abort "the file list is on the clipboard" "$(cat "$E2E_LAST_LOG")"
e2e_click_screen "$tx" $((gy + 41 * 5 + 20))
e2e_real_key "$E2E_MAIN" ctrl+v || fail "Ctrl+V is typed"
pasted() { e2e_probe post "$E2E_MAIN" 0x111 101 0 >/dev/null && sleep 0.3 && saved 05 | grep -qF "見積表"; }
check "the pasted file is saved" e2e_until 10 pasted
check_eq "entry 5 holds the pasted file" "[05]|TITLE=見積表|PATH=$A|" "$(saved 05)"
e2e_close
e2e_finish
