#pragma once
// Owned and borrowed GDI and USER handles. Owned ones are the program's one
// handle template (common/unique_handle.h) with their close functions;
// borrowed handles (stock objects, a DC handed in by Windows) stay plain
// HDC/HBRUSH/... and are never freed here. Scoped DCs and selections below.
#include <windows.h>

#include <utility>

#include "common/unique_handle.h"

namespace ui {

// The close functions, as plain functions of the program (the system's are
// imported and take the base handle type).
template <typename H>
BOOL DeleteGdiObject(H h) { return DeleteObject(h); }
inline BOOL DestroyIconHandle(HICON h) { return DestroyIcon(h); }
inline BOOL DeleteDcHandle(HDC h) { return DeleteDC(h); }
inline BOOL DestroyMenuHandle(HMENU h) { return DestroyMenu(h); }
inline BOOL DestroyAccelHandle(HACCEL h) { return DestroyAcceleratorTable(h); }

using korvane::UniqueHandle;
using UniqueBitmap = UniqueHandle<HBITMAP, &DeleteGdiObject<HBITMAP>>;
using UniqueBrush = UniqueHandle<HBRUSH, &DeleteGdiObject<HBRUSH>>;
using UniquePen = UniqueHandle<HPEN, &DeleteGdiObject<HPEN>>;
using UniqueFont = UniqueHandle<HFONT, &DeleteGdiObject<HFONT>>;
using UniquePalette = UniqueHandle<HPALETTE, &DeleteGdiObject<HPALETTE>>;
using UniqueRegion = UniqueHandle<HRGN, &DeleteGdiObject<HRGN>>;
using UniqueIcon = UniqueHandle<HICON, &DestroyIconHandle>;
using UniqueDC = UniqueHandle<HDC, &DeleteDcHandle>;  // a DC of our own (CreateCompatibleDC)
using UniqueMenu = UniqueHandle<HMENU, &DestroyMenuHandle>;
using UniqueAccel = UniqueHandle<HACCEL, &DestroyAccelHandle>;

// The DC of a window, from GetDC, released at the end of the scope.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint / EndPaint around a WM_PAINT.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  ~PaintDC() { EndPaint(hwnd_, &ps_); }
  HDC get() const { return dc_; }
  const RECT& dirty() const { return ps_.rcPaint; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_ = nullptr;
};

// SaveDC / RestoreDC: everything selected into the DC meanwhile is put back
// at the end of the scope, also when a painter throws.
class SavedDC {
 public:
  explicit SavedDC(HDC dc) : dc_(dc), state_(SaveDC(dc)) {}
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;
  ~SavedDC() {
    if (state_) RestoreDC(dc_, state_);
  }

 private:
  HDC dc_;
  int state_;
};

// SelectObject that selects the previous object back at the end of the scope.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// SelectPalette that puts the previous palette back (as a background
// palette) at the end of the scope.
class ScopedPalette {
 public:
  ScopedPalette(HDC dc, HPALETTE palette, bool background)
      : dc_(dc), old_(palette ? SelectPalette(dc, palette, background ? TRUE : FALSE) : nullptr) {}
  ScopedPalette(const ScopedPalette&) = delete;
  ScopedPalette& operator=(const ScopedPalette&) = delete;
  ~ScopedPalette() {
    if (old_) SelectPalette(dc_, old_, TRUE);
  }
  // Number of system palette entries that changed.
  UINT Realize() const { return old_ ? RealizePalette(dc_) : 0; }

 private:
  HDC dc_;
  HPALETTE old_;
};

// A memory DC with a bitmap of its own selected into it: the off-screen
// surface that painting composes on before one block copy.
class MemorySurface {
 public:
  MemorySurface() = default;
  MemorySurface(const MemorySurface&) = delete;
  MemorySurface& operator=(const MemorySurface&) = delete;
  ~MemorySurface() { Free(); }

  // Compatible with `reference` (the screen when null). False on failure.
  bool Create(int width, int height, HDC reference = nullptr);
  // A top-down device-independent bitmap of `bits_per_pixel`, whatever the
  // screen's depth; `bits` (when given) receives where its pixels lie.
  bool CreateDib(int width, int height, WORD bits_per_pixel, void** bits = nullptr);
  // A bitmap made elsewhere (a resource), selected into a DC of its own.
  bool Attach(UniqueBitmap bitmap, HDC reference = nullptr);
  // The bitmap, no longer selected, for the caller to keep; the DC goes.
  UniqueBitmap TakeBitmap();
  void Free();
  HDC dc() const { return dc_.get(); }
  HBITMAP bitmap() const { return bitmap_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }
  explicit operator bool() const { return static_cast<bool>(dc_); }

 private:
  UniqueDC dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ old_bitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

inline bool MemorySurface::Create(int width, int height, HDC reference) {
  const WindowDC screen(nullptr);
  HDC like = reference ? reference : screen.get();
  return Attach(UniqueBitmap(CreateCompatibleBitmap(like, width, height)), like);
}

inline bool MemorySurface::CreateDib(int width, int height, WORD bits_per_pixel, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = bits_per_pixel;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  if (!Attach(UniqueBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0)))) return false;
  if (bits) *bits = pixels;
  return true;
}

inline bool MemorySurface::Attach(UniqueBitmap bitmap, HDC reference) {
  Free();
  if (!bitmap) return false;
  dc_.reset(CreateCompatibleDC(reference));
  if (!dc_) return false;
  bitmap_ = std::move(bitmap);
  old_bitmap_ = SelectObject(dc_.get(), bitmap_.get());
  BITMAP bm{};
  GetObjectW(bitmap_.get(), sizeof bm, &bm);
  width_ = bm.bmWidth;
  height_ = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  return true;
}

inline UniqueBitmap MemorySurface::TakeBitmap() {
  UniqueBitmap bitmap = std::move(bitmap_);
  Free();
  return bitmap;
}

inline void MemorySurface::Free() {
  if (dc_ && old_bitmap_) SelectObject(dc_.get(), old_bitmap_);
  old_bitmap_ = nullptr;
  dc_.reset();  // the DC goes first: the bitmap is no longer selected anywhere
  bitmap_.reset();
  width_ = height_ = 0;
}

}  // namespace ui
