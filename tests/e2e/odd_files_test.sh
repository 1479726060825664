#!/usr/bin/env bash
# Group files real folders hold, with the real program: a UTF-16LE file (as
# Notepad saves "Unicode") is read and written back in UTF-16LE with only the
# changed entry rewritten; group files named with characters code page 932
# lacks are groups like any other; full names beyond the path limit are left
# alone, named in one box at start, and block no save. Files named with
# such characters (made on the Linux side as UTF-8 names, as Wine keeps
# them) are chosen in the real open-file dialog and dropped in a group named
# café, saved, read again at a restart and launched: each starts the right
# program.
source "$(dirname "$0")/lib.sh"
e2e_begin

# e2e-style group text (UTF-8, LF) to a UTF-16LE file with its BOM, CR LF.
utf16_file() {
  printf '\xFF\xFE'
  sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE
}

# Twenty entries; entry 1's title and entry 2's title as given.
unicode_group() {
  local i
  echo '; 業務の一覧'
  for i in $(seq -w 1 20); do
    printf '[%s]\n' "$i"
    case $i in
      01) printf 'TITLE=%s\nPATH=C:\\ソフト\\日報.xls\n' "$1" ;;
      02) printf 'TITLE=%s\nPATH=\n' 'café ☕' ;;
      *) printf 'TITLE=\nPATH=\n' ;;
    esac
  done
}

# The group's row (1 unless given), then Delete on entry 1's title in
# registration mode.
clear_first_title() {
  e2e_choose_group "${1:-1}" || fail "the group is chosen"
  e2e_key "$E2E_MAIN" Delete || fail "Delete is typed"
}

close_without_question() {
  e2e_probe close "$E2E_MAIN" >/dev/null
  if e2e_wait_exit "$E2E_PID" 10; then
    pass "$1: the close asks nothing"
  else
    fail "$1: the close asks nothing" "still running; killed"
  fi
  E2E_PID=""
}

# --- a UTF-16LE group: one entry changed, the rest byte for byte ------------
e2e_install ソフト表
unicode_group '日報' | utf16_file >"$E2E_DIR/日報.PTH"
unicode_group '' | utf16_file >"$E2E_TMP/unicode.expected"
e2e_launch
clear_first_title
e2e_key "$E2E_MAIN" ctrl+s || fail "Ctrl+S is typed"
e2e_until 5 cmp -s "$E2E_DIR/日報.PTH" "$E2E_TMP/unicode.expected"
e2e_check_bytes "UTF-16LE kept, only entry 1's title rewritten, café ☕ kept" \
  "$E2E_DIR/日報.PTH" "$E2E_TMP/unicode.expected"
close_without_question "UTF-16LE saved"

# --- names the program cannot take, beside normal groups --------------------
e2e_install 別の場所
long_name=$(printf 'x%.0s' $(seq 1 250)).PTH
printf 'theirs\r\n' >"$E2E_DIR/café.PTH"
printf 'theirs\r\n' >"$E2E_DIR/a¥b.PTH"
printf 'theirs\r\n' >"$E2E_DIR/$long_name"
for f in café.PTH a¥b.PTH "$long_name"; do cp "$E2E_DIR/$f" "$E2E_TMP/odd-$(echo "$f" | md5sum | cut -c1-8)"; done
for g in 業務A 業務B; do
  printf '[01]\nTITLE=%s\nPATH=C:\\%s.txt\n' "$g" "$g" | e2e_group "$g"
done
# The save splices the cleared title into 業務A's file and leaves every other
# byte; 業務B, unchanged, is not written at all.
printf '[01]\nTITLE=\nPATH=C:\\業務A.txt\n' | e2e_cp932 >"$E2E_TMP/業務A.expected"
cp "$E2E_DIR/業務B.PTH" "$E2E_TMP/業務B.untouched"
before=$(ls "$E2E_DIR" | sort)

e2e_start
folder=$(e2e_winpath "$E2E_DIR")
if e2e_msgbox; then
  e2e_shot load-box >/dev/null
  check_eq "one box: caption" Korvane "$MSGBOX_CAPTION"
  check_match "one box names the long name" "xxxxxxxxxx" "$MSGBOX_TEXT"
  check "café.PTH is a group: the box does not name it" eval '! grep -q "caf" <<<"$MSGBOX_TEXT"'
  check "a¥b.PTH is a group: the box does not name it" eval '! grep -q "a.b\\.PTH" <<<"$MSGBOX_TEXT"'
  width=$(e2e_probe rect "$MSGBOX_HWND" | awk '{print $3}')
  screen=$(e2e_probe screen | head -1 | awk '{print $1}')
  check "the box ($width px) is narrower than the screen ($screen px)" test "${width:-99999}" -lt "${screen:-0}"
  check "OK pressed" e2e_press 1
else
  fail "the load problems are shown in a box"
fi
if e2e_msgbox 1500; then
  fail "only one box at start" "$MSGBOX_TEXT"
  e2e_press 1
fi
e2e_wait_main || e2e_abort "the main window appears" "none after the box"
e2e_shot groups-listed >/dev/null
# a¥b and café are groups now: 業務A is the third row.
clear_first_title 3
e2e_key "$E2E_MAIN" ctrl+s || fail "Ctrl+S is typed"
e2e_until 5 cmp -s "$E2E_DIR/業務A.PTH" "$E2E_TMP/業務A.expected"
e2e_check_bytes "業務A is saved whole" "$E2E_DIR/業務A.PTH" "$E2E_TMP/業務A.expected"
# A group nothing was changed in is not written at all.
e2e_check_bytes "業務B is left byte for byte" "$E2E_DIR/業務B.PTH" "$E2E_TMP/業務B.untouched"
for f in café.PTH a¥b.PTH "$long_name"; do
  e2e_check_bytes "${f:0:12} is left byte for byte" "$E2E_DIR/$f" "$E2E_TMP/odd-$(echo "$f" | md5sum | cut -c1-8)"
done
check_eq "no stray file (no cafe.PTH, no a\\b.PTH)" "$before" "$(ls "$E2E_DIR" | sort)"
close_without_question "after the save"
check_eq "only the settings file is new" "$(printf '%s\nKorvane.INI' "$before" | sort)" "$(ls "$E2E_DIR" | sort)"

# --- any name: chosen, dropped, saved, restarted, launched ------------------
e2e_install 名前
FILES=$E2E_TMP/files
mkdir -p "$FILES"
NAMES=("Café メニュー" "𠮷野家の請求書" "한국어 자料" "波ダッシュ〜テスト")
# Each file is a copy of the launch probe: started, it writes NAME.out.
for n in "${NAMES[@]}"; do cp "$KORVANE_BUILD/tests/win32/launch_probe.exe" "$FILES/$n.exe"; done
WIN=()
for n in "${NAMES[@]}"; do WIN+=("$(e2e_winpath "$FILES/$n.exe")"); done
printf '[01]\nTITLE=\nPATH=\n' | e2e_group café
e2e_launch
e2e_probe wait-foreground "$E2E_MAIN" 5000 >/dev/null
children=$(e2e_probe children "$E2E_MAIN")
GRID=$(awk '/ ui.DrawGrid / { print $1; exit }' <<<"$children")
[ -n "$GRID" ] || e2e_abort "the grid is found" "$children"
e2e_real_key "$E2E_MAIN" Down || fail "Down is typed on the group list"
e2e_until 3 focus_is "$GRID" || fail "the group café is chosen, the grid has the focus"
# Entries 1 and 2 in the real open-file dialog, the name typed by the probe.
check "entry 1's path cell, Enter" e2e_real_key "$E2E_MAIN" Right Return
check "the dialog is answered with ${NAMES[0]}" e2e_openfile "$FILES/${NAMES[0]}.exe"
e2e_until 3 focus_is "$GRID" || e2e_focus "$E2E_MAIN"
check "entry 2's path cell, Enter" e2e_real_key "$E2E_MAIN" Down Return
check "the dialog is answered with ${NAMES[1]}" e2e_openfile "$FILES/${NAMES[1]}.exe"
# Entries 3 and 4 dropped together on entry 3's row.
e2e_start "$E2E_FIXTURES/fixture_drag_source.exe" "${WIN[2]}" "${WIN[3]}"
SOURCE_PID=$E2E_LAST_PID
e2e_probe wait-window KorvaneDragSource DragSource 10000 >/dev/null || e2e_abort "the drag source appears"
read -r gx gy _ <<<"$(e2e_probe client-rect "$GRID")"
e2e_drag 100 750 $((gx + 40 + 60)) $((gy + 41 * 3 + 20))
check "the drag ends" e2e_wait_exit "$SOURCE_PID" 10
if e2e_msgbox 1500; then
  fail "the drop refuses nothing" "$MSGBOX_TEXT"
  e2e_press 1
fi
e2e_shot any-name-registered >/dev/null
check "the save command reaches the program" e2e_probe post "$E2E_MAIN" 0x111 101 0
# The group's values need more than code page 932: UTF-16LE with its BOM.
saved() { tail -c +3 "$E2E_DIR/café.PTH" | iconv -f UTF-16LE -t UTF-8 2>/dev/null | tr -d '\r'; }
e2e_until 5 eval 'saved | grep -qF "波ダッシュ"'
check_eq "café.PTH begins with the UTF-16LE byte-order mark" "fffe" "$(head -c 2 "$E2E_DIR/café.PTH" | xxd -p)"
for i in 0 1 2 3; do
  check_eq "entry $((i + 1)) holds ${NAMES[$i]}, titled by its name" \
    "[0$((i + 1))]|TITLE=${NAMES[$i]}|PATH=${WIN[$i]}|" "$(saved | grep -A2 -x "\[0$((i + 1))\]" | tr '\n' '|')"
done
close_without_question "after the save"

# Restarted: the group is read again, and each launch starts its own file.
e2e_launch
if e2e_msgbox 1500; then
  fail "no box at the restart" "$MSGBOX_TEXT"
  e2e_press 1
fi
e2e_probe wait-foreground "$E2E_MAIN" 5000 >/dev/null
GRID=$(e2e_probe children "$E2E_MAIN" | awk '/ ui.DrawGrid / { print $1; exit }')
e2e_real_key "$E2E_MAIN" Down || fail "Down is typed on the group list"
e2e_until 5 focus_is "$GRID" || fail "Down on the group list: the grid has the focus"
e2e_shot any-name-restarted >/dev/null
before=$(e2e_picture "$GRID")
check "the launcher-mode button is clicked" e2e_click "$E2E_MAIN" $((176 + 20)) $((8 + 20))
e2e_until 5 e2e_picture_changed "$GRID" "$before" || fail "the grid shows launcher mode"
e2e_shot any-name-launcher >/dev/null
read -r gx gy _ <<<"$(e2e_probe client-rect "$GRID")"
read -r mx my _ <<<"$(e2e_probe client-rect "$E2E_MAIN")"
for i in 0 1 2 3; do
  check "entry $((i + 1))'s launch button is clicked" e2e_click "$E2E_MAIN" $((gx - mx + 20)) $((gy - my + 41 * (i + 1) + 20))
  check "${NAMES[$i]}.exe was started" e2e_until 20 test -s "$FILES/${NAMES[$i]}.out"
done
e2e_close

# --- a stick: entries follow the exe's removable drive to another letter ---
# The folder is mapped as a removable drive the way Wine keeps its drives: a
# dosdevices link and the drive's type in the registry ("floppy" answers
# DRIVE_REMOVABLE), read when the wineserver starts.
STICK=$E2E_TMP/stick
map_stick() {
  ln -sfn "$STICK" "$WINEPREFIX/dosdevices/$1:"
  wine reg add 'HKLM\Software\Wine\Drives' /v "$1:" /d floppy /f >>"$E2E_TMP/wineserver.log" 2>&1 </dev/null
  e2e__fresh_wineserver
}
unmap_stick() {
  rm -f "$WINEPREFIX/dosdevices/$1:"
  wine reg delete 'HKLM\Software\Wine\Drives' /v "$1:" /f >>"$E2E_TMP/wineserver.log" 2>&1 </dev/null
}
mkdir -p "$STICK/業務"
e2e_install stick/Korvane
cp "$KORVANE_BUILD/tests/win32/launch_probe.exe" "$STICK/業務/見積書.exe"
printf '[01]\nTITLE=\nPATH=\n' | e2e_group 持ち歩き
# start_on_stick LETTER: the program from the stick mapped as LETTER:, its
# one group chosen.
start_on_stick() {
  unmap_stick r
  unmap_stick s
  map_stick "$1"
  E2E_PID=""
  e2e_start "${1^^}:\\Korvane\\Korvane.exe"
  e2e_wait_main || e2e_abort "the main window appears on ${1^^}:"
  e2e_probe wait-foreground "$E2E_MAIN" 5000 >/dev/null
  GRID=$(e2e_probe children "$E2E_MAIN" | awk '/ ui.DrawGrid / { print $1; exit }')
  e2e_real_key "$E2E_MAIN" Down || fail "Down is typed on the group list"
}
start_on_stick r
e2e_until 3 focus_is "$GRID" || fail "the group is chosen, the grid has the focus"
check "entry 1's path cell, Enter" e2e_real_key "$E2E_MAIN" Right Return
check "the dialog is answered with R:\\業務\\見積書.exe" e2e_probe openfile 'R:\業務\見積書.exe' 10000
e2e_until 3 focus_is "$GRID" || e2e_focus "$E2E_MAIN"
check "the save command reaches the program" e2e_probe post "$E2E_MAIN" 0x111 101 0
stored() { iconv -f CP932 -t UTF-8 "$E2E_DIR/持ち歩き.PTH" 2>/dev/null | tr -d '\r' | grep '^PATH=' | head -1; }
e2e_until 5 eval 'stored | grep -qF "見積書"'
check_eq "the file on the exe's own stick is stored without its letter" 'PATH=\業務\見積書.exe' "$(stored)"
e2e_shot stick-stored >/dev/null
close_without_question "the stick's save"
# On another computer the stick is S:.
start_on_stick s
before=$(e2e_picture "$GRID")
check "the launcher-mode button is clicked" e2e_click "$E2E_MAIN" $((176 + 20)) $((8 + 20))
e2e_until 5 e2e_picture_changed "$GRID" "$before" || fail "the grid shows launcher mode"
e2e_shot stick-moved >/dev/null
read -r gx gy _ <<<"$(e2e_probe client-rect "$GRID")"
read -r mx my _ <<<"$(e2e_probe client-rect "$E2E_MAIN")"
check "entry 1's launch button is clicked" e2e_click "$E2E_MAIN" $((gx - mx + 20)) $((gy - my + 41 + 20))
if e2e_msgbox 3000; then
  fail "the entry is found on S:" "$MSGBOX_TEXT"
  e2e_press 1
fi
check "見積書.exe was started from S:" e2e_until 20 test -s "$STICK/業務/見積書.out"
e2e_close
unmap_stick s

e2e_finish
