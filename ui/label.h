#pragma once
// Label: text in its own font and colour, optionally over the parent's
// background (transparent), sized to its text, with a cursor of its own, a
// tooltip hint and click and mouse-move events.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "common/callback.h"
#include "ui/control.h"
#include "ui/window.h"

namespace ui {

// The window-text colour of the system.
inline constexpr COLORREF kDefaultTextColor = 0xFF000000;

struct LabelArgs {
  HWND parent = nullptr;
  Bounds bounds;  // width and height follow the text when auto_size
  std::string caption;
  std::optional<FontSpec> font;  // default: the parent's font
  COLORREF color = kDefaultTextColor;
  bool transparent = false;
  bool auto_size = true;
  HCURSOR cursor = nullptr;  // null: the arrow
  std::string hint;
  bool visible = true;
};

class Label : public Window {
 public:
  bool Create(const LabelArgs& args);

  korvane::Callback<void()> on_click;
  korvane::Callback<void(const MouseEvent&)> on_mouse_move;

  const std::string& caption() const { return caption_; }
  void SetCaption(std::string_view caption);
  COLORREF font_color() const { return color_; }
  void SetFontColor(COLORREF color);
  // Replaces the font (the label then has one of its own).
  void SetFont(const FontSpec& font);
  void SetHint(std::string_view hint);
  void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
  void Paint(HDC dc, const RECT& client) const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void FitToText();

  std::string caption_;
  COLORREF color_ = kDefaultTextColor;
  bool transparent_ = false;
  bool auto_size_ = true;
  HCURSOR cursor_ = nullptr;
  UniqueFont own_font_;
  HFONT font_ = nullptr;
  ClickTracker clicks_;
};

}  // namespace ui
