// Colours on the screen as the system draws them.
#include "tools/probe/probe.h"

namespace probe {

namespace {
int PixelCmd(const Args& a) {
  Need(a, 2, 2);
  const int x = static_cast<int>(Number(a[0]));
  const int y = static_cast<int>(Number(a[1]));
  struct ScreenDC {
    HDC dc = GetDC(nullptr);
    ~ScreenDC() {
      if (dc) ReleaseDC(nullptr, dc);
    }
  } screen;
  if (!screen.dc) return kFailed;
  const COLORREF c = GetPixel(screen.dc, x, y);
  if (c == CLR_INVALID) return kFailed;
  char hex[8];
  wsprintfA(hex, "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  Print(hex);
  return kOk;
}

int ScreenSizeCmd(const Args& a) {
  Need(a, 0, 0);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  Print(std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " " + std::to_string(GetSystemMetrics(SM_CYSCREEN)));
  Print(std::to_string(work.left) + " " + std::to_string(work.top) + " " + std::to_string(work.right - work.left) +
        " " + std::to_string(work.bottom - work.top));
  return kOk;
}
}  // namespace

const std::vector<CommandInfo>& ScreenCommands() {
  static const std::vector<CommandInfo> table{
      {L"pixel", PixelCmd, "<x> <y>: the screen's colour there as RRGGBB"},
      {L"screen", ScreenSizeCmd, ": screen size (w h), then the work area (x y w h)"},
  };
  return table;
}

}  // namespace probe
