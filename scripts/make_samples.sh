#!/usr/bin/env bash
# Writes a few sample group files (code page 932) into the folder given,
# with entries that point at files that exist under Wine. File names stay
# UTF-8 on Linux: Wine shows them to the program as code page 932.
set -eu
dir=$1
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }
printf 'Korvane の練習用メモです。\r\n' | iconv -f UTF-8 -t CP932 >"$dir/メモ.txt"
mkdir -p "$dir/資料"
printf '会議資料\r\n' | iconv -f UTF-8 -t CP932 >"$dir/資料/会議.txt"
sample() {
  local name=$1; shift
  {
    local n=1
    while [ $# -ge 2 ]; do
      printf '[%02d]\r\nTITLE=%s\r\nPATH=%s\r\n' "$n" "$1" "$2"
      n=$((n + 1)); shift 2
    done
  } | iconv -f UTF-8 -t CP932 >"$dir/$name.PTH"
}
sample "日常業務" \
  "メモ帳" 'C:\windows\notepad.exe' \
  "バージョン情報" 'C:\windows\system32\winver.exe' \
  "練習用メモ" "$(winpath "$dir/メモ.txt")" \
  "会議資料" "$(winpath "$dir/資料/会議.txt")" \
  "なくなったファイル" 'C:\存在しない\報告書.doc'
sample "システム" \
  "コマンドプロンプト" 'C:\windows\system32\cmd.exe' \
  "レジストリエディタ" 'C:\windows\regedit.exe'
sample "Reports" \
  "" ""
