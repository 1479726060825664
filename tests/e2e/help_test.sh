#!/usr/bin/env bash
# Help from the real program: the pages lie beside the exe, the Help menu
# opens the contents page and F1 on the group list the page of context 5,
# both through the system's association for .html files. A stand-in
# browser records what it is asked to show.
source "$(dirname "$0")/lib.sh"
e2e_begin
e2e_install

for page in Korvane Korvane_5 Korvane_12 Korvane_13 Korvane_arrange Korvane_keyboard Korvane_reader; do
  check "$page.html is beside the exe" test -s "$E2E_DIR/$page.html"
done

record=$E2E_TMP/opened.txt
browser=$E2E_TMP/browser.sh
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s"\n' "$record" >"$browser"
chmod +x "$browser"
wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$browser" /f >>"$E2E_TMP/wineserver.log" 2>&1 </dev/null

# opened PAGE: the stand-in browser was asked for that file (it gets a
# file:// address, percent-encoded UTF-8).
opened() {
  [ -f "$record" ] &&
    python3 -c 'import sys, urllib.parse; print(urllib.parse.unquote(open(sys.argv[1]).read()))' "$record" |
    grep -qxF "file://$1"
}

e2e_launch
e2e_probe post "$E2E_MAIN" 0x111 103 0 >/dev/null  # ﾍﾙﾌﾟ → ﾍﾙﾌﾟ
check "the Help menu opens the contents page beside the exe" e2e_until 10 opened "$E2E_DIR/Korvane.html"
: >"$record"
e2e_focus "$E2E_MAIN"
e2e_key "$E2E_MAIN" F1
check "F1 on the group list opens the page of context 5" e2e_until 10 opened "$E2E_DIR/Korvane_5.html"
e2e_close
wine reg delete 'HKCU\Software\Wine\WineBrowser' /v Browsers /f >>"$E2E_TMP/wineserver.log" 2>&1 </dev/null
e2e_finish
