#pragma once
// Drawing on a borrowed DC with a current font, brush and pen, the way the
// program's painting code thinks of them. GDI objects are made when first
// needed after a change and selected into the DC; the DC's own objects are
// selected back when the canvas goes away.
#include <windows.h>

#include <span>
#include <string_view>

#include "ui/font.h"
#include "ui/gdi.h"

namespace ui {

enum class BkMode { Transparent, Opaque };

class Canvas {
 public:
  explicit Canvas(HDC dc);
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas();

  HDC dc() const { return dc_; }

  // Font: face, character height in pixels, style and colour.
  const FontSpec& font() const { return font_; }
  void SetFont(const FontSpec& font);
  void SetFontFace(std::string_view face);
  void SetFontHeight(int pixels);
  int FontHeight() const { return font_.height; }
  void SetFontSize(int points);  // converted at the screen's resolution
  int FontSize() const;
  void SetFontBold(bool bold);
  void SetFontUnderline(bool underline);
  COLORREF FontColor() const { return font_color_; }
  void SetFontColor(COLORREF color) { font_color_ = color; }

  // Brush (fills, and the text background in opaque mode) and pen (lines).
  COLORREF BrushColor() const { return brush_color_; }
  void SetBrushColor(COLORREF color);
  COLORREF PenColor() const { return pen_color_; }
  void SetPenColor(COLORREF color);
  void SetPenWidth(int width);
  BkMode bk_mode() const { return bk_mode_; }
  void SetBkMode(BkMode mode) { bk_mode_ = mode; }

  SIZE TextExtent(std::string_view text);
  int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  int TextHeight(std::string_view text) { return TextExtent(text).cy; }
  // UTF-8 text at (x, y) in the font colour.
  void TextAt(int x, int y, std::string_view text);
  // The same, clipped to `clip`.
  void TextInRect(const RECT& clip, int x, int y, std::string_view text);

  void FillRect(const RECT& r);  // with the brush colour
  void FrameRect(const RECT& r);  // one-pixel frame in the brush colour
  void Rectangle(const RECT& r);  // pen outline, brush inside
  void RoundRect(const RECT& r, int ellipse_width, int ellipse_height);
  void Polyline(std::span<const POINT> points);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Line(int x1, int y1, int x2, int y2) {
    MoveTo(x1, y1);
    LineTo(x2, y2);
  }
  // Lines of `width` pixels: top and left in `top_left`, bottom and right in
  // `bottom_right`; `r` shrinks by the width.
  void Frame3D(RECT& r, COLORREF top_left, COLORREF bottom_right, int width = 1);
  // BitBlt of `dest` from `src` at `src_origin`.
  void CopyFrom(const RECT& dest, HDC src, POINT src_origin, DWORD rop = SRCCOPY);
  void DrawIconAt(int x, int y, HICON icon);

 private:
  void RequireFont();
  void RequireBrush();
  void RequirePen();
  void PrepareText();

  HDC dc_;
  FontSpec font_;
  COLORREF font_color_ = RGB(0, 0, 0);
  COLORREF brush_color_ = RGB(255, 255, 255);
  COLORREF pen_color_ = RGB(0, 0, 0);
  int pen_width_ = 1;
  BkMode bk_mode_ = BkMode::Opaque;

  UniqueFont font_obj_;
  UniqueBrush brush_obj_;
  UniquePen pen_obj_;
  bool font_dirty_ = true;
  bool brush_dirty_ = true;
  bool pen_dirty_ = true;
  HGDIOBJ original_font_ = nullptr;
  HGDIOBJ original_brush_ = nullptr;
  HGDIOBJ original_pen_ = nullptr;
};

}  // namespace ui
