#pragma once
// Panel: a button-face container with an outer and an inner bevel. Its
// children tab in and out of it like the form's own. It also draws its
// graphic children, the windowless ui::Bevel grooves, over its face.
#include <windows.h>

#include <optional>
#include <vector>

#include "common/callback.h"
#include "ui/control.h"
#include "ui/window.h"

namespace ui {

enum class BevelCut { None, Lowered, Raised };

class Bevel;

struct PanelArgs {
  HWND parent = nullptr;
  Bounds bounds;
  BevelCut outer = BevelCut::Raised;
  BevelCut inner = BevelCut::None;
  int bevel_width = 1;
  std::optional<FontSpec> font;  // default: the parent's
  DWORD help_context = 0;
  bool visible = true;
};

class Panel : public Window {
 public:
  // Its graphic children stay behind harmless: they draw nowhere any more.
  ~Panel() override;
  bool Create(const PanelArgs& args);
  korvane::Callback<void(const MouseEvent&)> on_mouse_move;
  // The bevels and then the visible graphic children, drawn on whatever DC
  // (the window's, or a test bitmap).
  void Paint(HDC dc, const RECT& client) const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  friend class Bevel;
  void AddGraphic(Bevel* graphic);
  void RemoveGraphic(Bevel* graphic);

  std::vector<Bevel*> graphics_;  // not owned; each removes itself when it goes
  BevelCut outer_ = BevelCut::Raised;
  BevelCut inner_ = BevelCut::None;
  int bevel_width_ = 1;
  UniqueFont own_font_;
  HFONT font_ = nullptr;
};

// Draws a bevel of `cut` inside `r` and shrinks `r` by its width.
void DrawBevel(HDC dc, RECT& r, BevelCut cut, int width);

}  // namespace ui
