#include "ui/image.h"

#include <cstring>

namespace ui {

void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, int w, int h, int src_x, int src_w) {
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm)) return;
  if (src_w <= 0) src_w = bm.bmWidth - src_x;
  if (w <= 0) w = src_w;
  if (h <= 0) h = bm.bmHeight;
  UniqueDC mem(CreateCompatibleDC(dc));
  ScopedSelect sel(mem.get(), bitmap);
  const COLORREF key = GetPixel(mem.get(), src_x, bm.bmHeight - 1);
  TransparentBlt(dc, x, y, w, h, mem.get(), src_x, 0, src_w, bm.bmHeight, key);
}

bool Image::Create(const ImageArgs& args) {
  auto_size_ = args.auto_size;
  stretch_ = args.stretch;
  transparent_ = args.transparent;
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (args.visible ? WS_VISIBLE : 0);
  return CreateWindowOfClass("ui.Image", 0, style, "", args.bounds.x, args.bounds.y, args.bounds.width,
                             args.bounds.height, args.parent, nullptr, CS_DBLCLKS, nullptr);
}

void Image::SetBitmap(UniqueBitmap bitmap) {
  BITMAP bm{};
  picture_ = (bitmap && GetObjectW(bitmap.get(), sizeof bm, &bm)) ? SIZE{bm.bmWidth, bm.bmHeight} : SIZE{0, 0};
  bitmap_ = std::move(bitmap);
  icon_.reset();
  PictureChanged();
}

void Image::SetIcon(UniqueIcon icon, int width, int height) {
  picture_ = icon ? SIZE{width, height} : SIZE{0, 0};
  icon_ = std::move(icon);
  bitmap_.reset();
  PictureChanged();
}

void Image::PictureChanged() {
  if (auto_size_ && picture_.cx > 0) {
    SetWindowPos(hwnd(), nullptr, 0, 0, picture_.cx, picture_.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void Image::Paint(HDC dc, const RECT& client) const {
  if (transparent_) {
    PaintParentBackground(hwnd(), dc);
  } else {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  }
  const int w = stretch_ ? client.right : picture_.cx;
  const int h = stretch_ ? client.bottom : picture_.cy;
  if (icon_) {
    DrawIconEx(dc, 0, 0, icon_.get(), w, h, 0, nullptr, DI_NORMAL);
  } else if (bitmap_) {
    if (transparent_) {
      DrawTransparentBitmap(dc, bitmap_.get(), 0, 0, w, h);
    } else {
      UniqueDC mem(CreateCompatibleDC(dc));
      ScopedSelect sel(mem.get(), bitmap_.get());
      StretchBlt(dc, 0, 0, w, h, mem.get(), 0, 0, picture_.cx, picture_.cy, SRCCOPY);
    }
  }
}

LRESULT Image::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (PaintMessage(hwnd(), msg, wp, [this](HDC dc, const RECT& client) { Paint(dc, client); })) return 0;
  if (clicks_.Handle(hwnd(), msg, lp, on_click)) return 0;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // all of it is painted in WM_PAINT
    case WM_MOUSEMOVE:
      if (on_mouse_move) {
        on_mouse_move(MouseEventOf(msg, wp, lp));
      }
      return 0;
    default:
      return Window::HandleMessage(msg, wp, lp);
  }
}

UniqueBitmap LoadPicture(const wchar_t* name) {
  const HMODULE exe = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(exe, name, MAKEINTRESOURCEW(2));   // RT_BITMAP
  const HGLOBAL loaded = found ? LoadResource(exe, found) : nullptr;
  const auto* info = static_cast<const BITMAPINFO*>(loaded ? LockResource(loaded) : nullptr);
  const DWORD size = found ? SizeofResource(exe, found) : 0;
  if (!info || size < sizeof(BITMAPINFOHEADER)) return UniqueBitmap();
  const BITMAPINFOHEADER& head = info->bmiHeader;
  const bool rle = (head.biCompression == BI_RLE4 && head.biBitCount == 4) ||
                   (head.biCompression == BI_RLE8 && head.biBitCount == 8);
  if (!rle)
    return UniqueBitmap(static_cast<HBITMAP>(LoadImageW(exe, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  // The header and colours as they stand, without the compression.
  const DWORD colours = head.biClrUsed != 0 ? head.biClrUsed : 1u << head.biBitCount;
  const DWORD table = head.biSize + colours * sizeof(RGBQUAD);
  struct {
    BITMAPINFOHEADER head;
    RGBQUAD colours[256];
  } plain{};
  if (head.biSize < sizeof(BITMAPINFOHEADER) || colours > 256 || table > size || head.biSizeImage == 0 ||
      head.biSizeImage > size - table || head.biHeight <= 0)
    return UniqueBitmap();
  std::memcpy(&plain.head, &head, sizeof plain.head);
  std::memcpy(plain.colours, reinterpret_cast<const char*>(info) + head.biSize, colours * sizeof(RGBQUAD));
  plain.head.biSize = sizeof plain.head;
  plain.head.biCompression = BI_RGB;
  plain.head.biSizeImage = 0;
  void* bits = nullptr;
  UniqueBitmap bitmap(
      CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&plain), DIB_RGB_COLORS, &bits, nullptr, 0));
  const WindowDC screen(nullptr);
  if (bitmap && SetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(head.biHeight),
                          reinterpret_cast<const char*>(info) + table, info, DIB_RGB_COLORS) != 0)
    return bitmap;
  // A system that will not decode into a section still makes its own
  // bitmap of the picture, in the screen's format.
  return UniqueBitmap(LoadBitmapW(exe, name));
}

}  // namespace ui
