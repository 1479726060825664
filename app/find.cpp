// The main window's find: the find box over every group's entries (Ctrl+F,
// the File menu, its toolbar button), the system-wide hot key that brings
// the program forward with the box open, and the full path as a tooltip
// over the grid.
#include "app/FR0010MN.h"
#include "data/settings.h"
#include "ui/application.h"

namespace korvane {

namespace {
constexpr char kHotKeyHeld[] = "ホットキー %s は他のプログラムが使用しているため使えません。";
constexpr char kHotKeyRefused[] = "ホットキー %s を登録できませんでした。";
constexpr char kHotKeyUnreadable[] = "設定ファイルの HOTKEY が読み取れないため、ホットキーは使いません。";

std::string WithKey(const char* pattern, const HotKey& key) {
  std::string text = pattern;
  const std::size_t at = text.find("%s");
  return text.replace(at, 2, FormatHotKey(key));
}
}  // namespace

FindBoxCallbacks TFrmFR0010MN::FindCallbacks() {
  FindBoxCallbacks callbacks;
  callbacks.launch = [this](std::size_t group, std::size_t n) { launcher_.LaunchEntry(group, n); };
  callbacks.show = [this](std::size_t group, std::size_t n) { FindShow(group, n); };
  callbacks.icon = [this](const std::string& path) { return FindIcon(path); };
  return callbacks;
}

void TFrmFR0010MN::StartFind(const LoadedSettings& settings) {
  // The path tip (a tooltip window of its own) comes after the show.
  if (settings.hot_key_invalid) {
    Notice(kHotKeyUnreadable);
    return;
  }
  const HotKey key = settings.hot_key;
  const ui::HotKeyState state = hot_key_.Register(hwnd(), kFindHotKeyId, key.modifiers, key.key);
  if (state == ui::HotKeyState::HeldElsewhere) Notice(WithKey(kHotKeyHeld, key));
  else if (state == ui::HotKeyState::Refused) Notice(WithKey(kHotKeyRefused, key));
}

void TFrmFR0010MN::StopFind() {
  hot_key_.Unregister();
  find_box_.CloseBox();
  path_tip_.Detach();
}

void TFrmFR0010MN::WarmFindIndex() {
  // Once the groups are read, the index is built while the window waits for
  // input, so that the first Ctrl+F only brings it up to date.
  work_.Send([this] {
    if (!find_stale_) return;
    find_box_.ModelChanged();
    find_stale_ = false;
  });
}

void TFrmFR0010MN::MnuFindClick() { OpenFind(); }

void TFrmFR0010MN::OpenFind() {
  // Not while a dialog or a box is open over the window.
  if (!IsWindowEnabled(hwnd())) return;
  CommitTitleEdit();
  find_stale_ = false;  // Open brings the index up to the model
  // In registration mode Enter shows the entry instead of launching it.
  find_box_.Open(hwnd(), mode_ == kModeRegistration);
}

void TFrmFR0010MN::FindModelChanged() {
  // Cheap while the box is closed: it catches up when it opens.
  if (find_box_.IsOpen()) find_box_.ModelChanged();
  else find_stale_ = true;
}

void TFrmFR0010MN::FindShow(std::size_t group, std::size_t n) {
  if (group >= model_.GroupCount()) return;
  // As a click on the group: the edit committed, its paths tested first,
  // its icons asked anew, the grid reset and focused.
  LBGroup.SetItemIndex(static_cast<int>(group));
  LBGroupClick();
  DGMain.SetCol(1);
  DGMain.SetRow(static_cast<int>(n));
  SetForegroundWindow(hwnd());
  DGMain.SetFocus();
}

HICON TFrmFR0010MN::FindIcon(const std::string& path) {
  IconCache& icons = painter_.Icons();
  bool known = false;
  HICON icon = icons.Find(path, &known);
  if (!known) {
    if (icons.Request(path)) work_.WantIcon(path);
    find_icons_waited_ = true;
  }
  return icon;
}

void TFrmFR0010MN::FindIconsMayHaveCome() {
  if (!find_icons_waited_ || !find_box_.IsOpen()) return;
  // The rows ask again as they repaint: those whose icon is still on its
  // way set the flag anew.
  find_icons_waited_ = false;
  find_box_.IconsChanged();
}

void TFrmFR0010MN::HotKeyPressed(WPARAM id) {
  if (static_cast<int>(id) != kFindHotKeyId) return;
  if (hidden_in_tray_) RestoreFromTray();
  ShowWindow(hwnd(), SW_SHOW);
  // A box or a name dialog open over the window comes forward instead of
  // the find box.
  if (!IsWindowEnabled(hwnd())) {
    ui::Application* app = ui::Application::Current();
    HWND popup = app ? GetLastActivePopup(app->hwnd()) : nullptr;
    if (popup && popup != hwnd()) SetForegroundWindow(popup);
    return;
  }
  SetForegroundWindow(hwnd());
  OpenFind();
}

}  // namespace korvane
