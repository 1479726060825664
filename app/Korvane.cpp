// Program entry.
#include <windows.h>

#include "app/FR0010MN.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  korvane::TFrmFR0010MN main_form;
  if (!main_form.Create()) return 0;
  ShowWindow(main_form.hwnd(), SW_SHOWNORMAL);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
