// The main window's find: the find box over every group's entries (Ctrl+F,
// the File menu, its toolbar button) and the system-wide hot key that
// brings the program forward with the box open.
#include "app/find.h"

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

FindBoxCallbacks BoxCallbacks(const WindowFindArgs& a, Callback<HICON(const std::string&)> icon) {
  FindBoxCallbacks callbacks;
  callbacks.launch = a.launch;
  callbacks.show = a.show;
  callbacks.icon = std::move(icon);
  return callbacks;
}
}  // namespace

WindowFind::WindowFind(WindowFindArgs args)
    : a_(std::move(args)), box_(a_.model, BoxCallbacks(a_, [this](const std::string& path) { return Icon(path); })) {}

void WindowFind::Start(const LoadedSettings& settings) {
  box_.SetSize(FindBoxSize{settings.find_width, settings.find_height});
  // The path tip (a tooltip window of its own) comes after the show.
  if (settings.hot_key_invalid) {
    a_.notice(kHotKeyUnreadable);
    return;
  }
  const korvane::HotKey key = settings.hot_key;
  const ui::HotKeyState state = hot_key_.Register(a_.window.hwnd(), kHotKeyId, key.modifiers, key.key);
  if (state == ui::HotKeyState::HeldElsewhere) a_.notice(WithKey(kHotKeyHeld, key));
  else if (state == ui::HotKeyState::Refused) a_.notice(WithKey(kHotKeyRefused, key));
}

void WindowFind::Stop() {
  hot_key_.Unregister();
  box_.CloseBox();
}

void WindowFind::Warm() {
  // Once the groups are read, the index is built while the window waits for
  // input, so that the first Ctrl+F only brings it up to date.
  a_.work.Send([this] {
    if (!stale_) return;
    box_.ModelChanged();
    stale_ = false;
  });
}

void WindowFind::Open() {
  // Not while a dialog or a box is open over the window.
  if (!IsWindowEnabled(a_.window.hwnd())) return;
  a_.commit_edit();
  stale_ = false;  // Open brings the index up to the model
  // In registration mode Enter shows the entry instead of launching it.
  box_.Open(a_.window.hwnd(), a_.mode == kModeRegistration);
}

void WindowFind::ModelChanged() {
  // Cheap while the box is closed: it catches up when it opens.
  if (box_.IsOpen()) box_.ModelChanged();
  else stale_ = true;
}

HICON WindowFind::Icon(const std::string& path) {
  bool known = false;
  HICON icon = a_.icons.Find(path, &known);
  if (!known) {
    if (a_.icons.Request(path)) a_.work.WantIcon(path);
    icons_waited_ = true;
  }
  return icon;
}

void WindowFind::IconsMayHaveCome() {
  if (!icons_waited_ || !box_.IsOpen()) return;
  // The rows ask again as they repaint: those whose icon is still on its
  // way set the flag anew.
  icons_waited_ = false;
  box_.IconsChanged();
}

void WindowFind::HotKeyPressed(WPARAM id) {
  if (static_cast<int>(id) != kHotKeyId) return;
  const HWND window = a_.window.hwnd();
  if (a_.tray.Hidden()) a_.tray.Restore();
  ShowWindow(window, SW_SHOW);
  // A box or a name dialog open over the window comes forward instead of
  // the find box.
  if (!IsWindowEnabled(window)) {
    ui::Application* app = ui::Application::Current();
    HWND popup = app ? GetLastActivePopup(app->hwnd()) : nullptr;
    if (popup && popup != window) SetForegroundWindow(popup);
    return;
  }
  SetForegroundWindow(window);
  Open();
}

}  // namespace korvane
