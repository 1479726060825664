#include "ui/image_list.h"

namespace ui {

int ImageList::Add(HBITMAP strip) {
  BITMAP bm{};
  if (!strip || !GetObjectA(strip, sizeof bm, &bm) || bm.bmWidth < width_) return 0;
  HDC screen = GetDC(nullptr);
  UniqueDC src(CreateCompatibleDC(screen));
  UniqueDC dst(CreateCompatibleDC(screen));
  int added = 0;
  {
    ScopedSelect src_sel(src.get(), strip);
    for (int x = 0; x + width_ <= bm.bmWidth; x += width_) {
      UniqueBitmap picture(CreateCompatibleBitmap(screen, width_, height_));
      if (!picture) break;
      ScopedSelect dst_sel(dst.get(), picture.get());
      BitBlt(dst.get(), 0, 0, width_, height_, src.get(), x, 0, SRCCOPY);
      pictures_.push_back(std::move(picture));
      ++added;
    }
  }
  ReleaseDC(nullptr, screen);
  return added;
}

void ImageList::Draw(HDC dc, int index, int x, int y) const {
  if (index < 0 || index >= Count()) return;
  UniqueDC mem(CreateCompatibleDC(dc));
  ScopedSelect sel(mem.get(), pictures_[static_cast<std::size_t>(index)].get());
  BitBlt(dc, x, y, width_, height_, mem.get(), 0, 0, SRCCOPY);
}

}  // namespace ui
