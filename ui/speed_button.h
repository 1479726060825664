#pragma once
// Flat speed button: a picture (32 × 32 or any size; a strip of one or two
// pictures, enabled and disabled) drawn with its background colour (the
// bottom-left pixel) transparent, a tooltip hint, and a group: among the
// buttons of one parent with the same group index exactly one is down. It
// never takes the focus, so an open editor elsewhere keeps it. To a screen
// reader it is a push button named by its window text, pressed while down;
// BM_CLICK clicks it.
#include <windows.h>

#include <string>
#include <string_view>

#include "common/callback.h"
#include "ui/accessible.h"
#include "ui/control.h"
#include "ui/gdi.h"
#include "ui/window.h"

namespace ui {

struct SpeedButtonArgs {
  HWND parent = nullptr;
  Bounds bounds;
  bool flat = true;
  int group_index = 0;  // 0: no group
  bool down = false;
  bool allow_all_up = false;  // a group may have none down
  std::string hint;
  // What a screen reader calls it (its window text; never painted).
  std::string name;
  bool visible = true;
  bool enabled = true;
};

class SpeedButton : public Window {
 public:
  bool Create(const SpeedButtonArgs& args);

  korvane::Callback<void()> on_click;

  // `glyph` holds `count` pictures side by side: enabled, then disabled.
  void SetGlyph(UniqueBitmap glyph, int count);
  bool Down() const { return down_; }
  // Sets the state without running the click handler; in a group it puts
  // the others up (and refuses to leave a group without a down button).
  void SetDown(bool down);
  int group_index() const { return group_index_; }
  void SetEnabled(bool enabled);
  bool Enabled() const;
  void SetHint(std::string_view hint);
  void Paint(HDC dc, const RECT& client) const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool PointerInside(LPARAM lp) const;
  void Clicked();
  void DownChanged(bool down);

  UniqueBitmap glyph_;
  int glyph_count_ = 1;
  bool flat_ = true;
  int group_index_ = 0;
  bool allow_all_up_ = false;
  bool down_ = false;
  bool pressed_ = false;  // left button held on the button
  bool pressed_inside_ = false;
  bool hot_ = false;  // pointer over it
  AccessibleSlot accessible_;
};

}  // namespace ui
