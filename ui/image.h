#pragma once
// Image: a bitmap or an icon. A transparent bitmap leaves out the colour of
// its bottom-left pixel; an icon brings its own mask.
#include <windows.h>


#include "common/callback.h"
#include "ui/control.h"
#include "ui/gdi.h"
#include "ui/window.h"

namespace ui {

struct ImageArgs {
  HWND parent = nullptr;
  Bounds bounds;
  bool auto_size = true;  // the control takes the picture's size
  bool stretch = false;   // the picture fills the control
  bool transparent = true;
  bool visible = true;
};

class Image : public Window {
 public:
  bool Create(const ImageArgs& args);

  korvane::Callback<void()> on_click;
  korvane::Callback<void(const MouseEvent&)> on_mouse_move;

  void SetBitmap(UniqueBitmap bitmap);
  void SetIcon(UniqueIcon icon, int width = 32, int height = 32);
  SIZE PictureSize() const { return picture_; }
  void Paint(HDC dc, const RECT& client) const;

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void PictureChanged();

  UniqueBitmap bitmap_;
  UniqueIcon icon_;
  SIZE picture_{0, 0};
  bool auto_size_ = true;
  bool stretch_ = false;
  bool transparent_ = true;
  ClickTracker clicks_;
};

// Copies `bitmap` to (x, y) at w × h, leaving out the colour of its
// bottom-left pixel (the whole picture when w/h are 0: natural size).
void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, int w = 0, int h = 0, int src_x = 0,
                           int src_w = 0);

// The bitmap resource `name` of the exe as a DIB section, null when there
// is none. Pictures of 4 or 8 bits a pixel may be stored run-length encoded
// (BI_RLE4, BI_RLE8: less than half the bytes): GDI decodes them into an
// uncompressed section of the same colours (or, where the system would not,
// into a bitmap in the screen's format).
UniqueBitmap LoadPicture(const wchar_t* name);

}  // namespace ui
