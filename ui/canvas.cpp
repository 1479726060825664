#include "ui/canvas.h"

#include "ui/text_out.h"
#include "ui/wide.h"

namespace ui {

Canvas::Canvas(HDC dc) : dc_(dc) {}

Canvas::~Canvas() {
  // Our objects must be out of the DC before their handles are deleted.
  if (original_font_) SelectObject(dc_, original_font_);
  if (original_brush_) SelectObject(dc_, original_brush_);
  if (original_pen_) SelectObject(dc_, original_pen_);
}

void Canvas::SetFont(const FontSpec& font) {
  if (font == font_) return;
  font_ = font;
  font_dirty_ = true;
}

void Canvas::SetFontFace(std::string_view face) {
  if (font_.face == face) return;
  font_.face.assign(face);
  font_dirty_ = true;
}

void Canvas::SetFontHeight(int pixels) {
  if (font_.height == pixels) return;
  font_.height = pixels;
  font_dirty_ = true;
}

void Canvas::SetFontSize(int points) { SetFontHeight(PointsToPixels(points)); }
int Canvas::FontSize() const { return PixelsToPoints(font_.height); }

void Canvas::SetFontBold(bool bold) {
  if (font_.bold == bold) return;
  font_.bold = bold;
  font_dirty_ = true;
}

void Canvas::SetFontUnderline(bool underline) {
  if (font_.underline == underline) return;
  font_.underline = underline;
  font_dirty_ = true;
}

void Canvas::SetBrushColor(COLORREF color) {
  if (color == brush_color_ && !brush_dirty_) return;
  brush_color_ = color;
  brush_dirty_ = true;
}

void Canvas::SetPenColor(COLORREF color) {
  if (color == pen_color_ && !pen_dirty_) return;
  pen_color_ = color;
  pen_dirty_ = true;
}

void Canvas::SetPenWidth(int width) {
  if (width == pen_width_) return;
  pen_width_ = width;
  pen_dirty_ = true;
}

void Canvas::RequireFont() {
  if (!font_dirty_) return;
  UniqueFont made = MakeFont(font_);
  if (!made) return;
  HGDIOBJ prev = SelectObject(dc_, made.get());
  if (!original_font_) original_font_ = prev;
  font_obj_ = std::move(made);  // the old font is deselected by now
  font_dirty_ = false;
}

void Canvas::RequireBrush() {
  if (!brush_dirty_) return;
  UniqueBrush made(CreateSolidBrush(brush_color_));
  if (!made) return;
  HGDIOBJ prev = SelectObject(dc_, made.get());
  if (!original_brush_) original_brush_ = prev;
  brush_obj_ = std::move(made);
  brush_dirty_ = false;
}

void Canvas::RequirePen() {
  if (!pen_dirty_) return;
  UniquePen made(CreatePen(PS_SOLID, pen_width_, pen_color_));
  if (!made) return;
  HGDIOBJ prev = SelectObject(dc_, made.get());
  if (!original_pen_) original_pen_ = prev;
  pen_obj_ = std::move(made);
  pen_dirty_ = false;
}

void Canvas::PrepareText() {
  RequireFont();
  SetTextColor(dc_, font_color_);
  SetBkColor(dc_, brush_color_);
  ::SetBkMode(dc_, bk_mode_ == BkMode::Transparent ? TRANSPARENT : OPAQUE);
}

SIZE Canvas::TextExtent(std::string_view text) {
  RequireFont();
  return WholeTextExtent(dc_, Wide(text));
}

void Canvas::TextAt(int x, int y, std::string_view text) {
  PrepareText();
  DrawWholeText(dc_, x, y, 0, nullptr, Wide(text));
}

void Canvas::TextInRect(const RECT& clip, int x, int y, std::string_view text) {
  PrepareText();
  const UINT opts = ETO_CLIPPED | (bk_mode_ == BkMode::Opaque ? ETO_OPAQUE : 0);
  DrawWholeText(dc_, x, y, opts, &clip, Wide(text));
}

void Canvas::FillRect(const RECT& r) {
  RequireBrush();
  ::FillRect(dc_, &r, brush_obj_.get());
}

void Canvas::FrameRect(const RECT& r) {
  RequireBrush();
  ::FrameRect(dc_, &r, brush_obj_.get());
}

void Canvas::Rectangle(const RECT& r) {
  RequireBrush();
  RequirePen();
  ::Rectangle(dc_, r.left, r.top, r.right, r.bottom);
}

void Canvas::RoundRect(const RECT& r, int ellipse_width, int ellipse_height) {
  RequireBrush();
  RequirePen();
  ::RoundRect(dc_, r.left, r.top, r.right, r.bottom, ellipse_width, ellipse_height);
}

void Canvas::Polyline(std::span<const POINT> points) {
  RequirePen();
  ::Polyline(dc_, points.data(), static_cast<int>(points.size()));
}

void Canvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void Canvas::LineTo(int x, int y) {
  RequirePen();
  ::LineTo(dc_, x, y);
}

void Canvas::Frame3D(RECT& r, COLORREF top_left, COLORREF bottom_right, int width) {
  const COLORREF saved_pen = pen_color_;
  const int saved_width = pen_width_;
  SetPenWidth(1);
  for (int i = 0; i < width; ++i) {
    --r.bottom;
    --r.right;
    SetPenColor(top_left);
    const POINT tl[] = {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}};
    Polyline(tl);
    SetPenColor(bottom_right);
    // One past the end so the corner pixel at the top right is drawn.
    const POINT br[] = {{r.right, r.top}, {r.right, r.bottom}, {r.left - 1, r.bottom}};
    Polyline(br);
    ++r.left;
    ++r.top;
  }
  SetPenColor(saved_pen);
  SetPenWidth(saved_width);
}

void Canvas::CopyFrom(const RECT& dest, HDC src, POINT src_origin, DWORD rop) {
  BitBlt(dc_, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, src, src_origin.x, src_origin.y,
         rop);
}

void Canvas::DrawIconAt(int x, int y, HICON icon) { ::DrawIcon(dc_, x, y, icon); }

}  // namespace ui
