#include "ui/font.h"

#include <cstring>

namespace ui {

UniqueFont MakeFont(const FontSpec& spec) {
  LOGFONTA lf{};
  lf.lfHeight = -spec.height;  // negative: the character height, not the cell height
  lf.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = spec.italic ? TRUE : FALSE;
  lf.lfUnderline = spec.underline ? TRUE : FALSE;
  lf.lfCharSet = spec.charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::size_t n = spec.face.size() < LF_FACESIZE - 1 ? spec.face.size() : LF_FACESIZE - 1;
  std::memcpy(lf.lfFaceName, spec.face.data(), n);
  return UniqueFont(CreateFontIndirectA(&lf));
}

namespace {
int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}
}  // namespace

int PointsToPixels(int points) { return MulDiv(points, ScreenDpi(), 72); }
int PixelsToPoints(int pixels) { return MulDiv(pixels, 72, ScreenDpi()); }

std::string ResolvedFace(const FontSpec& spec) {
  UniqueFont font = MakeFont(spec);
  HDC screen = GetDC(nullptr);
  char face[LF_FACESIZE + 1] = {};
  {
    ScopedSelect sel(screen, font.get());
    GetTextFaceA(screen, LF_FACESIZE, face);
  }
  ReleaseDC(nullptr, screen);
  return face;
}

}  // namespace ui
