#pragma once
// Bevel: a box drawn lowered or raised over the parent's background; three
// pixels wide it is the vertical groove between toolbar buttons.
//
// A graphic control: it has no window of its own. Its parent Panel keeps it
// in a list and draws it over the panel's face in its own painting, so a
// toolbar's grooves cost no window creation at start-up. The mouse goes to
// the panel under it.
#include <windows.h>

#include "ui/control.h"
#include "ui/panel.h"

namespace ui {

struct BevelArgs {
  HWND parent = nullptr;  // the window of a ui::Panel
  Bounds bounds;
  BevelCut style = BevelCut::Lowered;
  bool visible = true;
};

class Bevel {
 public:
  Bevel() = default;
  Bevel(const Bevel&) = delete;
  Bevel& operator=(const Bevel&) = delete;
  ~Bevel();

  // Records the bounds, style and visibility and joins the panel, which
  // draws it from then on. False when the parent is no ui::Panel.
  bool Create(const BevelArgs& args);

  // In the panel's client coordinates.
  const Bounds& bounds() const { return bounds_; }
  RECT Rect() const;
  BevelCut style() const { return style_; }
  bool visible() const { return visible_; }
  // Shows or hides it: the panel repaints the place.
  void SetVisible(bool visible);

  // The groove (or box) inside `rect`, over what the DC already shows.
  void Paint(HDC dc, const RECT& rect) const;

 private:
  friend class Panel;
  void Invalidate() const;

  Panel* panel_ = nullptr;  // cleared by the panel when it goes first
  Bounds bounds_;
  BevelCut style_ = BevelCut::Lowered;
  bool visible_ = true;
};

}  // namespace ui
