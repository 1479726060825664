#!/usr/bin/env bash
# Group files real folders hold, with the real program: a UTF-16LE file (as
# Notepad saves "Unicode") is read and written back in UTF-16LE with only the
# changed entry rewritten; names code page 932 cannot spell and full names
# beyond the path limit are left alone, named in one box at start, and block
# no save.
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

# The group row, under the 57-pixel toolbar, then Delete on entry 1's title
# in registration mode.
clear_first_title() {
  e2e_click "$E2E_MAIN" 130 77 || fail "the group is clicked"
  sleep 0.3
  e2e_key "$E2E_MAIN" Delete || fail "Delete is typed"
  sleep 0.3
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
  check_match "one box names café.PTH" "caf\\?\\.PTH は業務として扱えません" "$MSGBOX_TEXT"
  check_match "one box names a¥b.PTH" "a\\?b\\.PTH は業務として扱えません" "$MSGBOX_TEXT"
  check_match "one box names the long name" "xxxxxxxxxx" "$MSGBOX_TEXT"
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
clear_first_title
e2e_key "$E2E_MAIN" ctrl+s || fail "Ctrl+S is typed"
e2e_until 5 cmp -s "$E2E_DIR/業務A.PTH" "$E2E_TMP/業務A.expected"
sleep 0.3
e2e_check_bytes "業務A is saved whole" "$E2E_DIR/業務A.PTH" "$E2E_TMP/業務A.expected"
# A group nothing was changed in is not written at all.
e2e_check_bytes "業務B is left byte for byte" "$E2E_DIR/業務B.PTH" "$E2E_TMP/業務B.untouched"
for f in café.PTH a¥b.PTH "$long_name"; do
  e2e_check_bytes "${f:0:12} is left byte for byte" "$E2E_DIR/$f" "$E2E_TMP/odd-$(echo "$f" | md5sum | cut -c1-8)"
done
check_eq "no stray file (no cafe.PTH, no a\\b.PTH)" "$before" "$(ls "$E2E_DIR" | sort)"
close_without_question "after the save"
check_eq "only the settings file is new" "$(printf '%s\nKorvane.INI' "$before" | sort)" "$(ls "$E2E_DIR" | sort)"

e2e_finish
