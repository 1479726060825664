#pragma once
// Image list: pictures of one size (40 × 40 for the grid), drawn opaque with
// one block copy each.
#include <windows.h>

#include <vector>

#include "ui/gdi.h"

namespace ui {

class ImageList {
 public:
  ImageList(int width, int height) : width_(width), height_(height) {}

  int width() const { return width_; }
  int height() const { return height_; }
  int Count() const { return static_cast<int>(pictures_.size()); }
  // Adds the pictures of a strip (side by side, `width` apart); answers how
  // many were added.
  int Add(HBITMAP strip);
  // Copies picture `index` to (x, y); nothing for an index out of range.
  void Draw(HDC dc, int index, int x, int y) const;

 private:
  int width_;
  int height_;
  std::vector<UniqueBitmap> pictures_;
};

}  // namespace ui
