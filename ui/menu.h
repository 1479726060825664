#pragma once
// Menus built from tables: one row per item (id, caption, shortcut,
// handler). The menu bar's shortcuts become an accelerator table that the
// form applies wherever the focus is; a popup menu opens at a screen point
// and runs the handler of the item chosen.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "common/callback.h"
#include "ui/gdi.h"

namespace ui {

struct Shortcut {
  BYTE modifiers = 0;  // FCONTROL, FSHIFT, FALT
  WORD key = 0;        // virtual-key code; 0 for none
};
constexpr Shortcut Ctrl(char key) { return Shortcut{FCONTROL, static_cast<WORD>(key)}; }

inline constexpr char kSeparator[] = "-";

struct MenuItem {
  UINT id = 0;  // 0 for separators and submenus
  std::string caption;  // kSeparator for a separator line
  Shortcut shortcut{};
  korvane::Callback<void()> on_click;
  std::vector<MenuItem> items;  // non-empty: a submenu
};

class Menu {
 public:
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;
  virtual ~Menu() = default;

  HMENU handle() const { return menu_.get(); }
  void SetEnabled(UINT id, bool enabled);
  bool Enabled(UINT id) const;
  // A new caption for an item (of a submenu too); its shortcut stays shown.
  void SetCaption(UINT id, const std::string& caption);
  std::string Caption(UINT id) const;  // with "\t" and the shortcut, if any
  // Runs the handler of an enabled item; false for unknown or disabled ids.
  bool Run(UINT id);

 protected:
  Menu() = default;
  void Build(HMENU menu, const std::vector<MenuItem>& items);

  UniqueMenu menu_;
  std::vector<std::pair<UINT, korvane::Callback<void()>>> handlers_;
  std::vector<ACCEL> accels_;
};

class MenuBar : public Menu {
 public:
  explicit MenuBar(const std::vector<MenuItem>& items);
  HACCEL accelerators() const { return accel_.get(); }

 private:
  UniqueAccel accel_;
};

class PopupMenu : public Menu {
 public:
  explicit PopupMenu(const std::vector<MenuItem>& items);
  // Opens with its top-left corner at `screen` and runs until the user
  // chooses an item (its handler runs before this returns) or dismisses it.
  void Popup(HWND owner, POINT screen);
};

// "Ctrl+S" and the like, as shown beside a caption.
std::string ShortcutText(const Shortcut& shortcut);

}  // namespace ui
