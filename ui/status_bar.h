#pragma once
// Status bar without panels: one text area over the face colour, in the
// system's status-bar font, with a size grip that sizes the top-level
// window. It does not move itself; the form's layout places it. Drawn by
// the program (no common-controls library at start); its text is its
// window text, which a screen reader reads as the status bar's name and is
// told of when it changes.
#include <windows.h>

#include <string>
#include <string_view>

#include "ui/accessible.h"
#include "ui/control.h"
#include "ui/window.h"

namespace ui {

struct StatusBarArgs {
  HWND parent = nullptr;
  Bounds bounds;
  bool size_grip = true;
};

class StatusBar : public Window {
 public:
  bool Create(const StatusBarArgs& args);
  void SetText(std::string_view text);
  std::string Text() const;
  void Paint(HDC dc, const RECT& client) const;
  // The grip's square in client coordinates; empty without a grip or while
  // the top-level window cannot be sized (maximised).
  RECT GripRect() const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool size_grip_ = true;
  UniqueFont font_;
  AccessibleSlot accessible_;
};

}  // namespace ui
