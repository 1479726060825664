#pragma once
// A system-wide hot key of one window: Windows posts WM_HOTKEY with its id
// to that window whichever program is active. Released with the object.
#include <windows.h>

namespace ui {

enum class HotKeyState {
  Off,           // no key asked for, or released
  Registered,    // the window gets WM_HOTKEY
  HeldElsewhere, // another program (or window) holds the same key
  Refused,       // the system refused it for another reason
};

class SystemHotKey {
 public:
  SystemHotKey() = default;
  SystemHotKey(const SystemHotKey&) = delete;
  SystemHotKey& operator=(const SystemHotKey&) = delete;
  ~SystemHotKey() { Unregister(); }

  // Releases a key held before, then asks for modifiers (MOD_ALT,
  // MOD_CONTROL, MOD_SHIFT, MOD_WIN) with virtual key `key` for window under
  // id (0x0000 to 0xBFFF). A key of 0 only releases. Auto-repeat of a held
  // key sends no further WM_HOTKEY.
  HotKeyState Register(HWND window, int id, UINT modifiers, UINT key);
  void Unregister();
  HotKeyState state() const { return state_; }
  int id() const { return id_; }

 private:
  HWND window_ = nullptr;
  int id_ = 0;
  HotKeyState state_ = HotKeyState::Off;
};

}  // namespace ui
