#include "ui/status_bar.h"

#include <commctrl.h>

#include <vector>

#include "ui/wide.h"

namespace ui {

bool StatusBar::Create(const StatusBarArgs& args) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER |
                      (args.size_grip ? SBARS_SIZEGRIP : 0);
  if (!CreateControl("msctls_statusbar32", 0, style, "", args.bounds, args.parent)) return false;
  SendMessageW(hwnd(), SB_SIMPLE, TRUE, 0);
  return true;
}

// The Unicode messages: their lengths count the same units as the buffer.
void StatusBar::SetText(std::string_view text) {
  const std::wstring copy = Wide(text);
  SendMessageW(hwnd(), SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(copy.c_str()));
}

std::string StatusBar::Text() const {
  // The simple text is part SB_SIMPLEID on Windows; Wine reads it as part 0.
  WPARAM part = SB_SIMPLEID;
  LRESULT len = LOWORD(SendMessageW(hwnd(), SB_GETTEXTLENGTHW, part, 0));
  if (len == 0) {
    part = 0;
    len = LOWORD(SendMessageW(hwnd(), SB_GETTEXTLENGTHW, part, 0));
  }
  std::vector<wchar_t> buf(static_cast<std::size_t>(len) + 1, L'\0');
  if (len > 0) SendMessageW(hwnd(), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(buf.data()));
  return Narrow(buf.data());
}

}  // namespace ui
