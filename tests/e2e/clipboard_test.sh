#!/usr/bin/env bash
# Files copied in another program, pasted on the real grid: a stand-in for
# a file manager puts two files on the clipboard as a file list; Ctrl+V on
# entry 2's row in registration mode registers them there and in the next
# empty row (entry 3 has a path and is kept), and a save writes them.
source "$(dirname "$0")/lib.sh"
e2e_begin
e2e_install

FILES=$E2E_TMP/files
mkdir -p "$FILES"
: >"$FILES/見積表.csv"
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

A=$(e2e_winpath "$FILES/見積表.csv")
B=$(e2e_winpath "$FILES/請求書.txt")
e2e_start "$E2E_FIXTURES/fixture_copy_files.exe" "$A" "$B"
COPY_LOG=$E2E_LAST_LOG
copied() { grep -q copied "$COPY_LOG"; }
e2e_until 10 copied || e2e_abort "the files are on the clipboard" "$(cat "$COPY_LOG")"

# Entry 2's title cell made current, then Ctrl+V there.
read -r gx gy _ <<<"$(e2e_probe client-rect "$GRID")"
e2e_click_screen $((gx + 40 + 60)) $((gy + 41 * 2 + 20))
e2e_real_key "$E2E_MAIN" ctrl+v || fail "Ctrl+V reaches the window"

# Saved from the menu (ﾌｧｲﾙ → 保存) until the paste, whose folder test runs
# off the window's thread, is in the file.
saved() {
  iconv -f CP932 -t UTF-8 "$E2E_DIR/業務A.PTH" 2>/dev/null | tr -d '\r' | grep -A2 -x "\[$1\]" | tr '\n' '|'
}
save_and_look() {
  e2e_probe post "$E2E_MAIN" 0x111 101 0 >/dev/null && sleep 0.3 && saved 02 | grep -qF "見積表"
}
check "the pasted files are saved" e2e_until 10 save_and_look
check_eq "entry 2 holds the first file, titled by its name" "[02]|TITLE=見積表|PATH=$A|" "$(saved 02)"
check_eq "entry 3 keeps its path" '[03]|TITLE=三番|PATH=C:\三番.txt|' "$(saved 03)"
check_eq "entry 4 holds the second file" "[04]|TITLE=請求書|PATH=$B|" "$(saved 04)"
e2e_close
e2e_finish
