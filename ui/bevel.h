#pragma once
// Bevel: a box drawn lowered or raised over the parent's background; three
// pixels wide it is the vertical groove between toolbar buttons.
#include <windows.h>

#include "ui/control.h"
#include "ui/panel.h"
#include "ui/window.h"

namespace ui {

struct BevelArgs {
  HWND parent = nullptr;
  Bounds bounds;
  BevelCut style = BevelCut::Lowered;
  bool visible = true;
};

class Bevel : public Window {
 public:
  bool Create(const BevelArgs& args);
  void Paint(HDC dc, const RECT& client) const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  BevelCut style_ = BevelCut::Lowered;
};

}  // namespace ui
