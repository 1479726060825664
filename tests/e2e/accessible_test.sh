#!/usr/bin/env bash
# What a screen reader gets of the real program, read from another process
# as a reader reads it (the probe's acc-tree, through MSAA): the grid as a
# table of the chosen group's entries whose current cell is focused and
# follows the arrow keys, the missing file said on its launch button, the
# toolbar's buttons by name with the mode pressed, the group list's names.
source "$(dirname "$0")/lib.sh"
e2e_begin
e2e_install

FILES=$E2E_TMP/files
mkdir -p "$FILES"
printf 'x\r\n' >"$FILES/見積書.txt"
FOUND=$(e2e_winpath "$FILES/見積書.txt")
printf '[01]\nTITLE=見積書\nPATH=%s\n[02]\nTITLE=無い\nPATH=C:\\無い\\表.xls\n' "$FOUND" | e2e_group 業務A

e2e_launch
e2e_probe wait-foreground "$E2E_MAIN" 5000 >/dev/null
GRID=$(e2e_probe children "$E2E_MAIN" | awk '/ ui.DrawGrid / { print $1; exit }')
[ -n "$GRID" ] || e2e_abort "the grid is found"
focus_is() { [ "$(e2e_probe focus)" = "$1" ]; }
e2e_real_key "$E2E_MAIN" Down || fail "Down is typed on the group list"
e2e_until 3 focus_is "$GRID" || fail "Down on the group list: the group is chosen, the grid has the focus"

# read_tree LINE: reads the grid's tree (a few seconds under Wine: every
# element is a few calls to the other process) until it holds the line,
# five times at most.
TREE=""
read_tree() {
  local i
  for i in 1 2 3 4 5; do
    TREE=$(e2e_probe acc-tree "$GRID" 3)
    grep -qF -- "$1" <<<"$TREE" && return 0
    sleep 0.5
  done
  return 1
}
has() { grep -qF -- "$1" <<<"$TREE"; }

check "the missing file is said on its launch button" read_tree 'button "起動 2" value "ファイルがありません"'
check "the grid is a table named after the group" has 'table "業務A"'
check "a row says the entry" has "row \"1 見積書 $FOUND\""
check "the found file's button has no state" grep -qx -- ' *button "起動 1"' <<<"$TREE"
check "the current cell is the focused title" has 'cell "見積書" focused,selected'
check "the file cell's value is the full path" has "cell \"$FOUND\" value \"$FOUND\""
check "an empty title" has 'cell "（空）"'
check "an entry without a file: its button cannot be pressed" has 'button "起動 3" unavailable'

# The rest of the window, one level deep.
TREE=$(e2e_probe acc-tree "$E2E_MAIN" 2)
check "the save button" has 'button "保存"'
check "the registration mode button, pressed" has 'button "登録モード" pressed'
check "the launcher mode button" has 'button "ランチャーモード"'
check "the exit button" has 'button "終了"'
check "the find button" has 'button "検索"'
check "the group list" has 'list "業務名"'
check "the chosen group" has 'item "業務A" selected'
check "the status bar" has 'statusbar'

e2e_real_key "$E2E_MAIN" Down || fail "Down is typed on the grid"
check "Down: the focus is on entry 2's title" read_tree 'cell "無い" focused,selected'
check "entry 1's title is no longer current" grep -qx -- ' *cell "見積書"' <<<"$TREE"
check_eq "one focused cell" 1 "$(grep -c 'focused' <<<"$TREE")"

e2e_close 5
e2e_finish
