#include "ui/spot_tip.h"

#include <commctrl.h>

#include "common/text.h"
#include "ui/hint.h"
#include "ui/wide.h"
#include "ui/window.h"

namespace ui {

namespace {
constexpr UINT_PTR kSubclassId = 0x53544950;  // one subclass per window
constexpr UINT_PTR kToolId = 1;
// Wider than the screen's half: a long path keeps to one line where it can.
constexpr int kMaxTipWidth = 1000;
// Tooltips copy at most this much in older versions.
constexpr std::size_t kMaxTextBytes = 1023;

TTTOOLINFOW Tool(HWND window) {
  // The first version of the structure: comctl32 5 refuses a larger one.
  TTTOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V1_SIZE;
  ti.hwnd = window;
  ti.uId = kToolId;
  return ti;
}
}  // namespace

bool SpotTip::Attach(HWND window, TextAt text_at) {
  Detach();
  if (!window) return false;
  HWND root = GetAncestor(window, GA_ROOT);
  tip_ = CreateTooltipWindow(root);
  if (!tip_) return false;
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
  // One tool over nothing yet: its rectangle and text follow the pointer.
  TTTOOLINFOW ti = Tool(window);
  ti.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  if (!SetWindowSubclass(window, &SpotTip::Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    DestroyWindow(tip_);
    tip_ = nullptr;
    return false;
  }
  window_ = window;
  text_at_ = std::move(text_at);
  return true;
}

void SpotTip::Detach() {
  if (window_) RemoveWindowSubclass(window_, &SpotTip::Proc, kSubclassId);
  if (tip_ && IsWindow(tip_)) DestroyWindow(tip_);
  window_ = nullptr;
  tip_ = nullptr;
  text_at_ = nullptr;
  text_.clear();
  spot_ = RECT{};
}

void SpotTip::MovedTo(POINT point) {
  if (!tip_ || !text_at_) return;
  RECT spot{};
  std::string text = text_at_(point, &spot);
  if (text.empty()) spot = RECT{};
  Set(korvane::TruncateBytes(text, kMaxTextBytes), spot);
}

void SpotTip::Set(const std::string& text, const RECT& spot) {
  if (text == text_ && EqualRect(&spot, &spot_)) return;
  const bool moved = !EqualRect(&spot, &spot_);
  text_ = text;
  spot_ = spot;
  // A tip showing for another spot goes before it shows the new text.
  if (moved) SendMessageW(tip_, TTM_POP, 0, 0);
  TTTOOLINFOW ti = Tool(window_);
  ti.rect = spot_;
  SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
  std::wstring wide = Wide(text_);
  ti.lpszText = wide.data();
  SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

LRESULT CALLBACK SpotTip::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self_ptr) {
  auto* self = reinterpret_cast<SpotTip*>(self_ptr);
  try {
    if (msg == WM_MOUSEMOVE) self->MovedTo(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
    if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) && self->tip_) {
      MSG relayed{};
      relayed.hwnd = hwnd;
      relayed.message = msg;
      relayed.wParam = wp;
      relayed.lParam = lp;
      relayed.time = static_cast<DWORD>(GetMessageTime());
      SendMessageW(self->tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    if (msg == WM_NCDESTROY) {
      // The window goes first: the tip forgets it (the tooltip goes with its owner).
      RemoveWindowSubclass(hwnd, &SpotTip::Proc, kSubclassId);
      self->window_ = nullptr;
    }
  } catch (...) {
    ReportCurrentException();
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace ui
