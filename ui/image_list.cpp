#include "ui/image_list.h"

namespace ui {

int ImageList::Add(HBITMAP strip) {
  BITMAP bm{};
  if (!strip || !GetObjectW(strip, sizeof bm, &bm) || bm.bmWidth < width_) return 0;
  const WindowDC screen(nullptr);
  UniqueDC src(CreateCompatibleDC(screen.get()));
  UniqueDC dst(CreateCompatibleDC(screen.get()));
  int added = 0;
  const ScopedSelect src_sel(src.get(), strip);
  for (int x = 0; x + width_ <= bm.bmWidth; x += width_) {
    UniqueBitmap picture(CreateCompatibleBitmap(screen.get(), width_, height_));
    if (!picture) break;
    const ScopedSelect dst_sel(dst.get(), picture.get());
    BitBlt(dst.get(), 0, 0, width_, height_, src.get(), x, 0, SRCCOPY);
    pictures_.push_back(std::move(picture));
    ++added;
  }
  return added;
}

void ImageList::Draw(HDC dc, int index, int x, int y) const {
  if (index < 0 || index >= Count()) return;
  UniqueDC mem(CreateCompatibleDC(dc));
  ScopedSelect sel(mem.get(), pictures_[static_cast<std::size_t>(index)].get());
  BitBlt(dc, x, y, width_, height_, mem.get(), 0, 0, SRCCOPY);
}

}  // namespace ui
