#include "ui/font.h"

#include <cstring>
#include "ui/wide.h"

namespace ui {

UniqueFont MakeFont(const FontSpec& font) {
  LOGFONTW lf{};
  lf.lfHeight = -font.height;  // negative: the character height, not the cell height
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic ? TRUE : FALSE;
  lf.lfUnderline = font.underline ? TRUE : FALSE;
  lf.lfCharSet = font.charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const std::wstring face = Wide(font.face);
  const std::size_t n = face.size() < LF_FACESIZE - 1 ? face.size() : LF_FACESIZE - 1;
  std::memcpy(lf.lfFaceName, face.data(), n * sizeof(wchar_t));
  return UniqueFont(CreateFontIndirectW(&lf));
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
  wchar_t face[LF_FACESIZE + 1] = {};
  const ScopedSelect sel(screen.get(), made.get());
  GetTextFaceW(screen.get(), LF_FACESIZE, face);
  return Narrow(face);
}

}  // namespace ui
