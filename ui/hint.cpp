#include "ui/hint.h"

#include <commctrl.h>

#include <vector>

#include "common/text.h"
#include "ui/wide.h"

namespace ui {

namespace {
constexpr wchar_t kTooltipProp[] = L"ui.Tooltip";
constexpr std::size_t kMaxHintBytes = 1023;

TTTOOLINFOW ToolInfo(HWND control) {
  // The first version of the structure: comctl32 5 refuses a larger one.
  TTTOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V1_SIZE;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = GetParent(control);
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  return ti;
}

HWND EnsureTooltip(HWND control) {
  HWND root = GetAncestor(control, GA_ROOT);
  if (!root) return nullptr;
  if (HWND tip = static_cast<HWND>(GetPropW(root, kTooltipProp)); tip && IsWindow(tip)) return tip;
  // Owned by the top-level window, so it goes away with it.
  HWND tip = CreateTooltipWindow(root);
  if (tip) SetPropW(root, kTooltipProp, tip);
  return tip;
}
}  // namespace

HWND CreateTooltipWindow(HWND owner) {
  static const bool loaded = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  if (!loaded) return nullptr;
  return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                         owner, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND TooltipOf(HWND control) {
  HWND root = GetAncestor(control, GA_ROOT);
  HWND tip = root ? static_cast<HWND>(GetPropW(root, kTooltipProp)) : nullptr;
  return tip && IsWindow(tip) ? tip : nullptr;
}

void ForgetTooltip(HWND top_level) { RemovePropW(top_level, kTooltipProp); }

void SetHint(HWND control, std::string_view text) {
  HWND tip = text.empty() ? TooltipOf(control) : EnsureTooltip(control);
  if (!tip) return;
  // The tooltip keeps a copy of its own; HintOf's buffer holds the longest.
  std::wstring copy = Wide(korvane::TruncateBytes(text, kMaxHintBytes));
  TTTOOLINFOW ti = ToolInfo(control);  // no text buffer: it would be filled
  const bool known = SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)) != 0;
  ti = ToolInfo(control);
  ti.lpszText = copy.data();
  if (copy.empty()) {
    if (known) SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  } else if (known) {
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
  } else {
    GetClientRect(control, &ti.rect);
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

std::string HintOf(HWND control) {
  HWND tip = TooltipOf(control);
  if (!tip) return {};
  TTTOOLINFOW ti = ToolInfo(control);
  if (!SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti))) return {};
  // Older tooltips copy without a size: the buffer holds the longest hint.
  std::vector<wchar_t> buf(kMaxHintBytes + 1, L'\0');
  ti.lpszText = buf.data();
  SendMessageW(tip, TTM_GETTEXTW, buf.size(), reinterpret_cast<LPARAM>(&ti));
  return Narrow(buf.data());
}

}  // namespace ui
