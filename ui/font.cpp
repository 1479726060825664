#include "ui/font.h"

#include <cstring>

namespace ui {

UniqueFont MakeFont(const FontSpec& font) {
  LOGFONTA lf{};
  lf.lfHeight = -font.height;  // negative: the character height, not the cell height
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfUnderline = font.underline ? TRUE : FALSE;
  lf.lfCharSet = font.charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::size_t n = font.face.size() < LF_FACESIZE - 1 ? font.face.size() : LF_FACESIZE - 1;
  std::memcpy(lf.lfFaceName, font.face.data(), n);
  return UniqueFont(CreateFontIndirectA(&lf));
}

namespace {
int ScreenDpi() {
  const WindowDC screen(nullptr);
  const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return dpi > 0 ? dpi : 96;
}
}  // namespace

int PointsToPixels(int points) { return MulDiv(points, ScreenDpi(), 72); }
int PixelsToPoints(int pixels) { return MulDiv(pixels, 72, ScreenDpi()); }

std::string ResolvedFace(const FontSpec& font) {
  UniqueFont made = MakeFont(font);
  const WindowDC screen(nullptr);
  char face[LF_FACESIZE + 1] = {};
  const ScopedSelect sel(screen.get(), made.get());
  GetTextFaceA(screen.get(), LF_FACESIZE, face);
  return face;
}

}  // namespace ui
