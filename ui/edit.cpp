#include "ui/edit.h"

#include <imm.h>

#include <vector>

#include "common/text.h"
#include "ui/wide.h"
#include "ui/window.h"

namespace ui {

namespace {
// A control of the same top-level window: another window of the program (a
// message box, a dialog, the application window while hidden to the tray)
// borrows the focus and gives it back.
bool InSameWindow(HWND h, HWND self) {
  return h && GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId() &&
         GetAncestor(h, GA_ROOT) == GetAncestor(self, GA_ROOT);
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      const std::size_t cap = GlobalSize(data) / sizeof(wchar_t);
      std::size_t n = 0;
      while (n < cap && p[n]) ++n;
      text.assign(p, n);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}
}  // namespace

bool Edit::Create(const EditArgs& args) {
  const DWORD style = WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS | ES_AUTOHSCROLL | (args.visible ? WS_VISIBLE : 0) |
                      (args.enabled ? 0 : WS_DISABLED);
  if (!CreateControl("EDIT", args.border ? WS_EX_CLIENTEDGE : 0, style, args.text, args.bounds, args.parent)) {
    return false;
  }
  ime_hiragana_ = args.ime_hiragana;
  auto_select_ = args.auto_select;
  HFONT font = ControlFont(args.parent, args.font, own_font_);
  if (font) SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (args.max_units) SetMaxUnits(args.max_units);
  SetHelpContext(hwnd(), args.help_context);
  return true;
}

std::wstring Edit::WideText() const { return WideTextOf(hwnd()); }

std::string Edit::Text() const { return Narrow(WideText()); }

void Edit::SetText(std::string_view text) { SetTextOf(hwnd(), text); }

void Edit::SetMaxUnits(std::size_t max_units) { SendMessageW(hwnd(), EM_LIMITTEXT, max_units, 0); }

bool Edit::Modified() const { return SendMessageW(hwnd(), EM_GETMODIFY, 0, 0) != 0; }

void Edit::SetModified(bool modified) { SendMessageW(hwnd(), EM_SETMODIFY, modified ? TRUE : FALSE, 0); }

Edit::Selection Edit::GetSelection() const {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

void Edit::SetSelection(std::size_t start, std::size_t end) {
  SendMessageW(hwnd(), EM_SETSEL, start, static_cast<LPARAM>(end));
}

void Edit::SelectAll() { SendMessageW(hwnd(), EM_SETSEL, 0, -1); }

void Edit::SetFont(const FontSpec& font) {
  UniqueFont made = MakeFont(font);
  if (!made) return;
  SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(made.get()), TRUE);
  own_font_ = std::move(made);  // the control uses the new one by now
}

std::wstring Edit::Fit(std::wstring_view insert) {
  std::wstring wanted(insert);
  if (!max_units_) return wanted;
  const std::wstring text = WideText();
  DWORD start = 0;
  DWORD end = 0;
  Default(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  if (start > text.size()) start = static_cast<DWORD>(text.size());
  if (end > text.size()) end = static_cast<DWORD>(text.size());
  if (end < start) std::swap(start, end);
  const std::size_t kept = Units(std::wstring_view(text).substr(0, start)) + Units(std::wstring_view(text).substr(end));
  if (kept >= max_units_) return {};
  return Wide(korvane::CutToUnits(Narrow(wanted), max_units_ - kept));
}

LRESULT Edit::OnChar(WPARAM wp, LPARAM lp) {
  wchar_t c = static_cast<wchar_t>(wp);
  if (on_key_press) {
    unsigned key = c;
    on_key_press(key);
    if (key == 0) return 0;
    c = static_cast<wchar_t>(key);
  }
  if (c == 0x16) {  // Ctrl+V: through our WM_PASTE, whatever the control does
    SendMessageW(hwnd(), WM_PASTE, 0, 0);
    return 0;
  }
  if (!Admits(c)) return 0;
  return Default(WM_CHAR, c, lp);
}

bool Edit::Admits(wchar_t c) {
  if (c < 0x20 || c == 0x7F || (GetWindowLongW(hwnd(), GWL_STYLE) & ES_READONLY)) return true;
  // A pair comes as two characters: the first is judged for both (a
  // character outside the BMP counts 4 units), the second follows it.
  if (IsLowSurrogate(c)) {
    const bool refused = refused_high_;
    refused_high_ = false;
    return !refused;
  }
  if (IsHighSurrogate(c)) {
    const wchar_t pair[2] = {c, 0xDC00};
    refused_high_ = Fit(std::wstring_view(pair, 2)).empty();
    return !refused_high_;
  }
  refused_high_ = false;
  return !Fit(std::wstring_view(&c, 1)).empty();
}

void Edit::Paste() {
  if (GetWindowLongW(hwnd(), GWL_STYLE) & ES_READONLY) return;
  std::wstring clip = ClipboardText(hwnd());
  const std::size_t line_end = clip.find_first_of(L"\r\n");  // a single line takes the first line
  if (line_end != std::wstring::npos) clip.resize(line_end);
  if (clip.empty()) return;
  const std::wstring fitted = Fit(clip);
  if (fitted.empty()) return;
  Default(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(fitted.c_str()));
}

void Edit::TrimToLimit() {
  if (!max_units_) return;
  std::wstring text = WideText();
  if (Units(text) <= max_units_) return;
  DWORD start = 0;
  DWORD caret = 0;
  Default(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&caret));
  if (caret > text.size()) caret = static_cast<DWORD>(text.size());
  // The input method inserted in front of the caret: give back from there.
  DWORD from = caret;
  while (from > 0 && Units(text) > max_units_) {
    // A whole character at a time: both halves of a pair.
    const DWORD n = from >= 2 && IsLowSurrogate(text[from - 1]) && IsHighSurrogate(text[from - 2]) ? 2 : 1;
    from -= n;
    text.erase(from, n);
  }
  Default(EM_SETSEL, from, caret);
  Default(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

void Edit::SetImeOpen(bool open) {
  HIMC imc = ImmGetContext(hwnd());
  if (!imc) return;
  if (open) {
    ImmSetOpenStatus(imc, TRUE);
    DWORD conversion = 0;
    DWORD sentence = 0;
    ImmGetConversionStatus(imc, &conversion, &sentence);
    ImmSetConversionStatus(imc, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE, sentence);
  } else {
    ImmSetOpenStatus(imc, FALSE);
  }
  ImmReleaseContext(hwnd(), imc);
}

LRESULT Edit::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case kReflectBase + WM_COMMAND:
      if (HIWORD(wp) == EN_CHANGE && on_change) on_change();
      return 0;
    case WM_CHAR:
      return OnChar(wp, lp);
    case WM_IME_CHAR:
      if (!Admits(static_cast<wchar_t>(wp))) return 0;
      break;
    case WM_IME_COMPOSITION: {
      const LRESULT r = Default(msg, wp, lp);
      if (lp & GCS_RESULTSTR) TrimToLimit();
      return r;
    }
    case WM_KEYDOWN:
      if (on_key_down && on_key_down(static_cast<UINT>(wp))) return 0;
      // Shift+Insert pastes: through our WM_PASTE as well.
      if (wp == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
        SendMessageW(hwnd(), WM_PASTE, 0, 0);
        return 0;
      }
      break;
    case WM_PASTE:
      Paste();
      return 0;
    case EM_REPLACESEL: {
      const auto* text = reinterpret_cast<const wchar_t*>(lp);
      const std::wstring fitted = Fit(text ? std::wstring_view(text) : std::wstring_view());
      return Default(msg, wp, reinterpret_cast<LPARAM>(fitted.c_str()));
    }
    case EM_LIMITTEXT:
      // UTF-16 units never outnumber units: the control's own count can
      // stay at the same number without ever cutting first.
      max_units_ = wp;
      return Default(msg, wp, lp);
    case EM_GETLIMITTEXT:
      return max_units_ ? static_cast<LRESULT>(max_units_) : Default(msg, wp, lp);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      // The focus that this press gives is no reason to select everything.
      by_mouse_ = true;
      const LRESULT r = Default(msg, wp, lp);
      by_mouse_ = false;
      return r;
    }
    case WM_SETFOCUS: {
      const LRESULT r = Default(msg, wp, lp);
      if (ime_hiragana_) SetImeOpen(true);
      if (!entered_) {
        entered_ = true;
        if (auto_select_ && !by_mouse_) Default(EM_SETSEL, 0, -1);
        if (on_enter) on_enter();
      }
      return r;
    }
    case WM_KILLFOCUS: {
      const LRESULT r = Default(msg, wp, lp);
      if (ime_hiragana_) SetImeOpen(false);
      // Focus going to another window (or nowhere) is no exit: the box
      // still is the form's active control when that window gives it back,
      // with its text and selection as they were.
      if (entered_ && InSameWindow(reinterpret_cast<HWND>(wp), hwnd())) {
        entered_ = false;
        if (on_exit) on_exit();
      }
      return r;
    }
    default:
      break;
  }
  return Default(msg, wp, lp);
}

}  // namespace ui
