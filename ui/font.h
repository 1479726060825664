#pragma once
// Fonts by face name (UTF-8) and character height in pixels, Shift_JIS by default.
#include <windows.h>

#include <string>

#include "ui/gdi.h"

namespace ui {

// The Japanese faces the program names.
inline constexpr const char kFaceMsGothic[] = "ＭＳ ゴシック";
inline constexpr const char kFaceMsPGothic[] = "ＭＳ Ｐゴシック";
inline constexpr const char kFaceMsUiGothic[] = "MS UI Gothic";

struct FontSpec {
  std::string face = kFaceMsPGothic;
  int height = 12;  // character height in pixels, internal leading excluded
  bool bold = false;
  bool italic = false;
  bool underline = false;
  BYTE charset = SHIFTJIS_CHARSET;

  bool operator==(const FontSpec&) const = default;
};

UniqueFont MakeFont(const FontSpec& font);

// Pixel height of a size in points on the screen (12 px for 9 pt at 96 dpi).
int PointsToPixels(int points);
int PixelsToPoints(int pixels);

// The face GDI actually chose for `font` (for diagnostics and tests).
std::string ResolvedFace(const FontSpec& font);

}  // namespace ui
