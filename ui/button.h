#pragma once
// Push button. A default button is pressed by Enter in its form, a cancel
// button by Escape; a button with a modal result ends its form's modal run
// with it after the click handler.
#include <windows.h>

#include <optional>
#include <string>

#include "common/callback.h"
#include "ui/control.h"

namespace ui {

struct ButtonArgs {
  HWND parent = nullptr;
  Bounds bounds;
  std::string caption;
  std::optional<FontSpec> font;  // default: the parent's font
  bool is_default = false;
  bool is_cancel = false;
  int modal_result = 0;
  bool visible = true;
  bool enabled = true;
  DWORD help_context = 0;
};

class Button : public SubclassedControl {
 public:
  bool Create(const ButtonArgs& args);

  korvane::Callback<void()> on_click;
  korvane::Callback<void(const MouseEvent&)> on_mouse_move;

  // As a click by the user.
  void Click();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  int modal_result_ = 0;
  UniqueFont own_font_;
};

}  // namespace ui
