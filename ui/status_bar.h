#pragma once
// Status bar without panels: one simple text area with a size grip. It does
// not move itself; the form's layout places it.
#include <windows.h>

#include <string>
#include <string_view>

#include "ui/control.h"

namespace ui {

struct StatusBarArgs {
  HWND parent = nullptr;
  Bounds bounds;
  bool size_grip = true;
};

class StatusBar : public SubclassedControl {
 public:
  bool Create(const StatusBarArgs& args);
  void SetText(std::string_view text);
  std::string Text() const;
};

}  // namespace ui
