#pragma once
// What every child control shares: its place, the subclassing of standard
// controls, and small operations that work on any child window (also on
// windows of other classes, such as the draw grid).
#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "common/callback.h"
#include "ui/font.h"
#include "ui/gdi.h"

namespace ui {

struct Bounds {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

enum class MouseButton { Left, Right, Middle };

// Mouse events: button (for presses), key state (MK_* flags), client point.
struct MouseEvent {
  MouseButton button = MouseButton::Left;
  UINT keys = 0;
  int x = 0;
  int y = 0;
};

// The event of a client-area mouse message: the button of a press, release
// or double click (Left for a move), the keys of wp, the signed point of lp.
MouseEvent MouseEventOf(UINT msg, WPARAM wp, LPARAM lp);
inline POINT MousePoint(LPARAM lp) { return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}; }

// A standard control (EDIT, BUTTON, LISTBOX) subclassed: its window
// procedure replaced by one that hands messages to OnMessage, `this` in a
// property of the window. The control is destroyed with
// the object unless its parent destroyed it first.
class SubclassedControl {
 public:
  SubclassedControl() = default;
  SubclassedControl(const SubclassedControl&) = delete;
  SubclassedControl& operator=(const SubclassedControl&) = delete;
  virtual ~SubclassedControl();

  HWND hwnd() const { return hwnd_; }
  void Destroy();

 protected:
  // Creates the control (a Unicode window) and subclasses it.
  bool CreateControl(const char* class_name, DWORD ex_style, DWORD style, std::string_view text,
                     const Bounds& bounds, HWND parent);
  virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  // Puts the control's own procedure back and lets go of the window.
  void Unsubclass();
  HWND hwnd_ = nullptr;
  WNDPROC base_proc_ = nullptr;
};

// Font for a control: its own when `font` is given (kept in `own`), else
// the font of its parent (WM_GETFONT), which forms and panels answer.
HFONT ControlFont(HWND parent, const std::optional<FontSpec>& font, UniqueFont& own);

void SetBounds(HWND hwnd, const Bounds& b);
Bounds BoundsOf(HWND hwnd);  // in the parent's client coordinates
void SetVisible(HWND hwnd, bool visible);
void SetEnabled(HWND hwnd, bool enabled);
// Help context for F1: the focused control's, or its nearest parent's.
void SetHelpContext(HWND hwnd, DWORD context);
DWORD HelpContextOf(HWND hwnd);
void Invalidate(HWND hwnd);
// Invalidates and paints before returning.
void RepaintNow(HWND hwnd);

// Tab order is the z-order of the children: the first window gets the first
// place, each next one the place after the previous one.
void SetTabOrder(std::initializer_list<HWND> order);
// The next (or previous) visible, enabled WS_TABSTOP window after `from`
// under `root`, descending into children marked WS_EX_CONTROLPARENT;
// wraps around. Null when there is none.
HWND NextTabStop(HWND root, HWND from, bool previous);

// WM_PAINT and WM_PRINTCLIENT of a self-drawn control, both through one
// paint function of (DC, client rectangle). True when msg was one of them.
bool PaintMessage(HWND hwnd, UINT msg, WPARAM wp, const korvane::Callback<void(HDC, const RECT&)>& paint);

// A click as labels and images take it: the left button pressed on the
// control (captured) and released inside it. Handle answers true for the
// mouse messages it consumed.
class ClickTracker {
 public:
  bool Handle(HWND hwnd, UINT msg, LPARAM lp, const korvane::Callback<void()>& on_click);

 private:
  bool pressed_ = false;
};

// Paints into `dc` what the parent shows under `child` (its background and
// WM_PRINTCLIENT picture): the base of a transparent control.
void PaintParentBackground(HWND child, HDC dc);

}  // namespace ui
