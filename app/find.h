#pragma once
// The main window's find, an object the window owns: the find box over
// every group's entries (Ctrl+F, the File menu, its toolbar button), kept
// up to the model, and the system-wide hot key that brings the program
// forward with the box open.
#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "app/find_box.h"
#include "app/tray.h"
#include "common/callback.h"
#include "data/model.h"
#include "data/settings.h"
#include "grid/background.h"
#include "grid/icon_cache.h"
#include "ui/form.h"
#include "ui/hot_key.h"

namespace korvane {

struct WindowFindArgs {
  ui::Form& window;
  const LauncherModel& model;
  IconCache& icons;
  BackgroundWork& work;
  TrayIcon& tray;
  const int& mode;
  // Entry n (1-based) of the group at row `group`: launched, or shown in the
  // grid.
  Callback<void(std::size_t group, std::size_t n)> launch;
  Callback<void(std::size_t group, std::size_t n)> show;
  // An open title edit is committed before the box opens.
  Callback<void()> commit_edit;
  Callback<void(std::string_view)> notice;
};

class WindowFind {
 public:
  static constexpr int kHotKeyId = 0x4B46;

  explicit WindowFind(WindowFindArgs args);

  // The box's size and the hot key, from the settings.
  void Start(const LoadedSettings& settings);
  void Stop();
  // Once the groups are read: the index is built while the window waits
  // for input.
  void Warm();
  // Opens the find box (again) over the window, its text box focused.
  void Open();
  // The model changed: the index follows, at once while the box is open,
  // else when it opens.
  void ModelChanged();
  // Answers of the work off the window's thread came: icons the box asked
  // for among them.
  void IconsMayHaveCome();
  void HotKeyPressed(WPARAM id);

  FindBox& Box() { return box_; }
  const ui::SystemHotKey& HotKey() const { return hot_key_; }

 private:
  HICON Icon(const std::string& path);

  WindowFindArgs a_;
  FindBox box_;
  ui::SystemHotKey hot_key_;
  bool stale_ = true;          // the index has not seen the model's last change
  bool icons_waited_ = false;  // the box painted a row whose icon was on its way
};

}  // namespace korvane
