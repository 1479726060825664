#pragma once
// A tooltip over one window whose text depends on where the pointer is:
// `text_at` is asked on each mouse move for the text at that point and the
// rectangle (window client coordinates) it holds for; the tip shows it when
// the pointer rests there and hides over an empty text. The window itself
// is left as it is: its messages are watched through a subclass.
#include <windows.h>

#include <string>

#include "common/callback.h"

namespace ui {

class SpotTip {
 public:
  using TextAt = korvane::Callback<std::string(POINT point, RECT* spot)>;

  SpotTip() = default;
  SpotTip(const SpotTip&) = delete;
  SpotTip& operator=(const SpotTip&) = delete;
  ~SpotTip() { Detach(); }

  // Makes the tooltip (owned by window's top-level window) and starts
  // watching window. False when either fails.
  bool Attach(HWND window, TextAt text_at);
  void Detach();
  // As a mouse move to point does: asks the text there anew.
  void MovedTo(POINT point);
  // The text the tip holds now (empty: none) and its rectangle.
  const std::string& text() const { return text_; }
  const RECT& spot() const { return spot_; }
  HWND tooltip() const { return tip_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self);
  void Set(const std::string& text, const RECT& spot);

  HWND window_ = nullptr;
  HWND tip_ = nullptr;
  TextAt text_at_;
  std::string text_;
  RECT spot_{};
};

}  // namespace ui
