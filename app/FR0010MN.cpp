#include "app/FR0010MN.h"

namespace korvane {

bool TFrmFR0010MN::Create() {
  return CreateWindowOfClass(kMainClass, 0, WS_OVERLAPPEDWINDOW, kMainTitle, 195, 108, 730, 479, nullptr,
                             nullptr, CS_DBLCLKS, GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT TFrmFR0010MN::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE) {
    PostQuitMessage(0);
    return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace korvane
