#pragma once
// The tray icon, and hiding the whole program to it and bringing it back:
// an object the main window owns.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "ui/form.h"

namespace korvane {

class TrayIcon {
 public:
  explicit TrayIcon(ui::Form& window) : window_(window) {}

  // Puts the icon in the tray (once the window shows) and takes it away.
  void Add();
  void Remove();
  // The icon's callback message: a double click restores the program.
  void Notify(LPARAM lp);
  // The window's minimise command hides it to the tray: true when used.
  bool SysCommand(WPARAM wp);
  // The application window's restore and minimise commands.
  bool AppMessageFilter(const MSG& msg);
  void Hide();
  void Restore();
  bool Hidden() const { return hidden_; }
  // The notify-icon record as registered with the shell.
  const NOTIFYICONDATAW& Record() const { return record_; }

 private:
  ui::Form& window_;
  NOTIFYICONDATAW record_{};
  bool hidden_ = false;
  HWND restore_popup_ = nullptr;    // the window that was active when hidden
  std::vector<HWND> hidden_owned_;  // the windows Hide hid
};

}  // namespace korvane
