#include "ui/hot_key.h"

namespace ui {

HotKeyState SystemHotKey::Register(HWND window, int id, UINT modifiers, UINT key) {
  Unregister();
  if (key == 0 || !window) return state_;
  const UINT kNoRepeat = 0x4000;   // MOD_NOREPEAT: Windows 7 and later, and Wine
  const UINT mods = modifiers & (MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN);
  if (RegisterHotKey(window, id, mods | kNoRepeat, key)) {
    window_ = window;
    id_ = id;
    state_ = HotKeyState::Registered;
  } else {
    state_ = GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED ? HotKeyState::HeldElsewhere : HotKeyState::Refused;
  }
  return state_;
}

void SystemHotKey::Unregister() {
  if (state_ == HotKeyState::Registered && window_) UnregisterHotKey(window_, id_);
  window_ = nullptr;
  state_ = HotKeyState::Off;
}

}  // namespace ui
