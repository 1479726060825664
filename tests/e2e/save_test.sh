#!/usr/bin/env bash
# Saving and closing with the real program: Ctrl+S writes only the groups
# changed in this run (sections 01..20, TITLE then PATH, CR LF for a new
# file; the rest of a user's file kept), and neither brings back a file
# deleted elsewhere nor touches a group nothing changed in; closing with unsaved
# changes asks first, No keeps the program running, Yes ends it without
# writing any group file.
source "$(dirname "$0")/lib.sh"
e2e_begin

no_temporary_files() {
  ! ls "$E2E_DIR" | grep -v -E '\.(PTH|INI|html|exe)$' | grep -q .
}

# --- Ctrl+S with two groups, nothing changed --------------------------------
e2e_install ソフト表
full_group '見積書|C:\業務\見積書.xls' '請求書|C:\業務\請求書.doc' | e2e_group 業務A
e2e_group 業務B <<'EOF'
; 予定の一覧
[01]
TITLE=予定表
PATH=C:\ソフト表\予定表.xls
[03]
PATH=C:\a.txt
TITLE=三番
EOF
cp "$E2E_DIR/業務B.PTH" "$E2E_TMP/B.expected"
# A third group, changed here: its file written is the sign that the save
# has been through the groups.
full_group '控え|C:\業務\控え.txt' | e2e_group 業務C
full_group '|C:\業務\控え.txt' | e2e_cp932 >"$E2E_TMP/C.cleared"

e2e_launch
e2e_choose_group 3 || fail "業務C is chosen"
e2e_key "$E2E_MAIN" Delete || fail "Delete is typed"
rm "$E2E_DIR/業務A.PTH"
e2e_key "$E2E_MAIN" ctrl+s || fail "Ctrl+S is typed"
check "the changed group is saved" e2e_until 10 cmp -s "$E2E_DIR/業務C.PTH" "$E2E_TMP/C.cleared"
check "a group file deleted elsewhere and unchanged here stays deleted" test ! -e "$E2E_DIR/業務A.PTH"
e2e_check_bytes "a user's group file nothing changed in is left as it is" "$E2E_DIR/業務B.PTH" "$E2E_TMP/B.expected"
check "no temporary file is left" no_temporary_files
# Nothing changed: the close asks nothing (a question would keep it running).
e2e_close

# --- one group: a change, Ctrl+S, another change, the close query ----------
e2e_install 別の場所
full_group '見積書|C:\業務\見積書.xls' '請求書|C:\業務\請求書.doc' '納品書|C:\業務\納品書.pdf' | e2e_group 業務C
full_group '|C:\業務\見積書.xls' '請求書|C:\業務\請求書.doc' '納品書|C:\業務\納品書.pdf' | e2e_cp932 >"$E2E_TMP/C.saved"

e2e_launch
# The group (row 1 of the list), then Delete on the title cell of entry 1
# in registration mode.
e2e_choose_group 1 || fail "the group is chosen"
e2e_key "$E2E_MAIN" Delete ctrl+s || fail "Delete, Ctrl+S are typed"
e2e_until 10 cmp -s "$E2E_DIR/業務C.PTH" "$E2E_TMP/C.saved"
e2e_check_bytes "Ctrl+S writes the change" "$E2E_DIR/業務C.PTH" "$E2E_TMP/C.saved"

# Entry 2's title cleared, not saved (each key seen in the grid before the
# close, which would overtake them).
before=$(e2e_picture "$GRID")
e2e_key "$E2E_MAIN" Down || fail "Down is typed"
e2e_until 5 e2e_picture_changed "$GRID" "$before" || fail "Down moves in the grid"
before=$(e2e_picture "$GRID")
e2e_key "$E2E_MAIN" Delete || fail "Delete is typed"
e2e_until 5 e2e_picture_changed "$GRID" "$before" || fail "Delete clears the title"

e2e_probe close "$E2E_MAIN" >/dev/null
if e2e_msgbox; then
  check_eq "question: caption" Korvane "$MSGBOX_CAPTION"
  check_eq "question: text" $'変更は保存されていません。\n\n終了してもよろしいですか？' "$MSGBOX_TEXT"
  check_eq "question: Yes and No" "6 7" "$MSGBOX_BUTTONS"
  check_eq "question: No is the default" 7 "$MSGBOX_DEFAULT"
  e2e_shot close-question >/dev/null
  check "No pressed" e2e_press 7
else
  fail "closing with unsaved changes asks"
fi
check "No: the main window is active again" e2e_probe wait-foreground "$E2E_MAIN" 3000
check "No: the program keeps running" e2e_alive "$E2E_PID"
check_eq "No: the window stays" 1 "$(e2e_probe visible "$E2E_MAIN")"
check_eq "No: and enabled" "enabled 1" "$(e2e_probe info "$E2E_MAIN" | grep '^enabled')"
check_eq "No: no settings written" no "$([ -e "$E2E_DIR/Korvane.INI" ] && echo yes || echo no)"

e2e_probe close "$E2E_MAIN" >/dev/null
if e2e_msgbox; then
  check "Yes pressed" e2e_press 6
else
  fail "the second close asks again"
fi
if e2e_wait_exit "$E2E_PID" 10; then
  pass "Yes: the program ends"
  check_eq "Yes: exit code" 0 "$E2E_EXIT_CODE"
else
  fail "Yes: the program ends" "still running; killed"
fi
E2E_PID=""
e2e_check_bytes "Yes: the group file is as saved, the later change not written" "$E2E_DIR/業務C.PTH" "$E2E_TMP/C.saved"
check "Yes: the settings are written" test -s "$E2E_DIR/Korvane.INI"
check "no temporary file is left" no_temporary_files

e2e_finish
