#include "ui/hint.h"

#include <commctrl.h>

#include <vector>

#include "common/text.h"
#include "ui/codepage.h"

namespace ui {

namespace {
constexpr char kTooltipProp[] = "ui.Tooltip";
constexpr std::size_t kMaxHintBytes = 1023;

TTTOOLINFOA ToolInfo(HWND control) {
  // The first version of the structure: comctl32 5 refuses a larger one.
  TTTOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V1_SIZE;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = GetParent(control);
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  return ti;
}

HWND EnsureTooltip(HWND control) {
  HWND root = GetAncestor(control, GA_ROOT);
  if (!root) return nullptr;
  if (HWND tip = static_cast<HWND>(GetPropA(root, kTooltipProp)); tip && IsWindow(tip)) return tip;
  // Owned by the top-level window, so it goes away with it.
  HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                             0, 0, root, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (tip) SetPropA(root, kTooltipProp, tip);
  return tip;
}
}  // namespace

HWND TooltipOf(HWND control) {
  HWND root = GetAncestor(control, GA_ROOT);
  HWND tip = root ? static_cast<HWND>(GetPropA(root, kTooltipProp)) : nullptr;
  return tip && IsWindow(tip) ? tip : nullptr;
}

void ForgetTooltip(HWND top_level) { RemovePropA(top_level, kTooltipProp); }

void SetHint(HWND control, std::string_view text) {
  HWND tip = text.empty() ? TooltipOf(control) : EnsureTooltip(control);
  if (!tip) return;
  // The tooltip keeps a copy of its own; HintOf's buffer holds the longest.
  std::string copy = korvane::TruncateBytes(text, kMaxHintBytes);
  TTTOOLINFOA ti = ToolInfo(control);  // no text buffer: it would be filled
  const bool known = SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
  ti = ToolInfo(control);
  ti.lpszText = copy.data();
  if (copy.empty()) {
    if (known) SendMessageA(tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  } else if (known) {
    SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
  } else {
    GetClientRect(control, &ti.rect);
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

std::string HintOf(HWND control) {
  HWND tip = TooltipOf(control);
  if (!tip) return {};
  TTTOOLINFOA ti = ToolInfo(control);
  if (!SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti))) return {};
  // Older tooltips copy without a size: the buffer holds the longest hint.
  // The Unicode message: the ANSI one stops at 80 bytes in Wine.
  std::vector<wchar_t> buf(kMaxHintBytes + 1, L'\0');
  TTTOOLINFOW tw{};
  tw.cbSize = TTTOOLINFOW_V1_SIZE;
  tw.uFlags = ti.uFlags;
  tw.hwnd = ti.hwnd;
  tw.uId = ti.uId;
  tw.lpszText = buf.data();
  SendMessageW(tip, TTM_GETTEXTW, buf.size(), reinterpret_cast<LPARAM>(&tw));
  return Narrow(buf.data());
}

}  // namespace ui
