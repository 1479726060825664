#include "ui/menu.h"

#include <iterator>

#include "ui/wide.h"

namespace ui {

std::string ShortcutText(const Shortcut& s) {
  if (!s.key) return {};
  std::string text;
  if (s.modifiers & FCONTROL) text += "Ctrl+";
  if (s.modifiers & FSHIFT) text += "Shift+";
  if (s.modifiers & FALT) text += "Alt+";
  if ((s.key >= '0' && s.key <= '9') || (s.key >= 'A' && s.key <= 'Z')) {
    text += static_cast<char>(s.key);
  } else if (s.key >= VK_F1 && s.key <= VK_F12) {
    text += "F" + std::to_string(s.key - VK_F1 + 1);
  } else if (s.key == VK_DELETE) {
    text += "Del";
  } else if (s.key == VK_INSERT) {
    text += "Ins";
  } else if (s.key == VK_UP) {
    text += "Up";
  } else if (s.key == VK_DOWN) {
    text += "Down";
  } else {
    text += "?";
  }
  return text;
}

void Menu::Build(HMENU menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    if (item.caption == kSeparator) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::string caption = item.caption;
    if (item.shortcut.key) caption += "\t" + ShortcutText(item.shortcut);
    if (!item.items.empty()) {
      HMENU sub = CreatePopupMenu();
      Build(sub, item.items);
      AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), Wide(caption).c_str());
      continue;
    }
    AppendMenuW(menu, MF_STRING, item.id, Wide(caption).c_str());
    if (item.on_click) handlers_.emplace_back(item.id, item.on_click);
    if (item.shortcut.key) {
      accels_.push_back(ACCEL{static_cast<BYTE>(item.shortcut.modifiers | FVIRTKEY), item.shortcut.key,
                              static_cast<WORD>(item.id)});
    }
  }
}

void Menu::SetEnabled(UINT id, bool enabled) {
  EnableMenuItem(menu_.get(), id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool Menu::Enabled(UINT id) const {
  const UINT state = GetMenuState(menu_.get(), id, MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
}

std::string Menu::Caption(UINT id) const {
  wchar_t text[256] = {};
  GetMenuStringW(menu_.get(), id, text, static_cast<int>(std::size(text)), MF_BYCOMMAND);
  return Narrow(text);
}

void Menu::SetCaption(UINT id, const std::string& caption) {
  const std::string old = Caption(id);
  const std::size_t tab = old.find('\t');
  const std::string text = tab == std::string::npos ? caption : caption + old.substr(tab);
  std::wstring wide = Wide(text);
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = wide.data();
  SetMenuItemInfoW(menu_.get(), id, FALSE, &info);
}

bool Menu::Run(UINT id) {
  if (!Enabled(id)) return false;
  for (auto& [item_id, handler] : handlers_) {
    if (item_id == id) {
      handler();
      return true;
    }
  }
  return false;
}

MenuBar::MenuBar(const std::vector<MenuItem>& items) {
  menu_.reset(CreateMenu());
  Build(menu_.get(), items);
  if (!accels_.empty()) accel_.reset(CreateAcceleratorTableW(accels_.data(), static_cast<int>(accels_.size())));
}

PopupMenu::PopupMenu(const std::vector<MenuItem>& items) {
  menu_.reset(CreatePopupMenu());
  Build(menu_.get(), items);
}

void PopupMenu::Popup(HWND owner, POINT screen) {
  // The owner must be in the foreground, or a click elsewhere would not
  // dismiss the menu; the null message afterwards is the documented fix for
  // the menu's second opening.
  SetForegroundWindow(owner);
  const UINT id = static_cast<UINT>(TrackPopupMenu(menu_.get(),
                                                   TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD |
                                                       TPM_NONOTIFY,
                                                   screen.x, screen.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  if (id) Run(id);
}

}  // namespace ui
