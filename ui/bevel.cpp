#include "ui/bevel.h"

namespace ui {

Bevel::~Bevel() {
  if (panel_) {
    if (visible_) Invalidate();
    panel_->RemoveGraphic(this);
  }
}

bool Bevel::Create(const BevelArgs& args) {
  if (panel_) {  // made again: leaves the panel it was on
    if (visible_) Invalidate();
    panel_->RemoveGraphic(this);
    panel_ = nullptr;
  }
  Panel* panel = dynamic_cast<Panel*>(Window::FromHwnd(args.parent));
  if (!panel) return false;
  bounds_ = args.bounds;
  style_ = args.style;
  visible_ = args.visible;
  panel_ = panel;
  panel_->AddGraphic(this);
  if (visible_) Invalidate();
  return true;
}

RECT Bevel::Rect() const {
  return RECT{bounds_.x, bounds_.y, bounds_.x + bounds_.width, bounds_.y + bounds_.height};
}

void Bevel::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Invalidate();
}

void Bevel::Paint(HDC dc, const RECT& rect) const {
  RECT r = rect;
  DrawBevel(dc, r, style_, 1);
}

void Bevel::Invalidate() const {
  // A panel whose window is gone (or not made yet) has nothing to repaint;
  // a null window would mean the whole screen.
  if (!panel_ || !panel_->hwnd()) return;
  const RECT r = Rect();
  InvalidateRect(panel_->hwnd(), &r, TRUE);
}

}  // namespace ui
