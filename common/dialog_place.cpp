#include "common/dialog_place.h"

namespace korvane {

void CentreOverOwner(HWND dialog, HWND owner) {
  RECT area{};
  if (!owner || !GetWindowRect(owner, &area) || area.right <= area.left || area.bottom <= area.top) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT self{};
  GetWindowRect(dialog, &self);
  const int width = self.right - self.left;
  const int height = self.bottom - self.top;
  // C++ integer division truncates toward zero, also for a negative
  // difference (an owner smaller than the dialog).
  const int left = area.left + ((area.right - area.left) - width) / 2;
  const int top = area.top + ((area.bottom - area.top) - height) / 2;
  SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace korvane
