// The tray icon, and hiding the whole program to it and bringing it back.
// Hiding works on the application window, the owner of the main window: the
// system hides and re-shows the windows it owns with it.
#include <iterator>
#include <string>
#include <vector>

#include "app/tray.h"

#include "app/FR0010MN.h"

#include <commctrl.h>

#include "ui/application.h"
#include "ui/wide.h"

namespace korvane {

namespace {

HWND AppWindow(HWND fallback) {
  ui::Application* app = ui::Application::Current();
  return app ? app->hwnd() : fallback;
}

// The program's last active window (the main window, or a dialog open over
// it) to the foreground, as Windows itself does when restoring. When the
// application window itself was active last (hiding activates it), the
// window remembered at hiding time stands in for it.
void BringLastActiveForward(HWND app, HWND fallback) {
  HWND popup = GetLastActivePopup(app);
  if (!popup || popup == app) popup = fallback;
  if (popup && popup != app && IsWindow(popup) && IsWindowVisible(popup) && IsWindowEnabled(popup)) {
    SetForegroundWindow(popup);
  }
}

// Windows hides the windows that an owner owns when it is minimised and
// shows each again in its own state when it is restored. Wine does neither,
// and its ShowOwnedPopups brings a maximised window back restored; so the
// program's windows are hidden and shown here with their state untouched
// (harmless on Windows, which then finds them hidden already). Every window
// whose chain of owners leads to the application window goes: the main
// window, and the dialogs the main window owns. A hint goes and stays gone.
bool OwnedBy(HWND h, HWND owner) {
  for (HWND o = GetWindow(h, GW_OWNER); o; o = GetWindow(o, GW_OWNER)) {
    if (o == owner) return true;
  }
  return false;
}

bool IsHint(HWND h) {
  wchar_t name[32] = L"";
  GetClassNameW(h, name, static_cast<int>(std::size(name)));
  return lstrcmpiW(name, TOOLTIPS_CLASSW) == 0;
}

BOOL CALLBACK HideOwned(HWND h, LPARAM list_ptr) {
  auto* list = reinterpret_cast<std::vector<HWND>*>(list_ptr);
  if (IsWindowVisible(h) && OwnedBy(h, list->front())) {
    SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!IsHint(h)) list->push_back(h);
  }
  return TRUE;
}

void HideOwnedWindows(HWND owner, std::vector<HWND>& hidden) {
  std::vector<HWND> found{owner};
  EnumThreadWindows(GetCurrentThreadId(), &HideOwned, reinterpret_cast<LPARAM>(&found));
  hidden.insert(hidden.end(), found.begin() + 1, found.end());
}

void ShowOwnedWindows(std::vector<HWND>& hidden) {
  for (HWND h : hidden) {
    if (IsWindow(h)) {
      SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  hidden.clear();
}

// Under Wine (no window manager), bringing a window forward asks the X
// server for the input focus, and two things could make that request miss
// a key typed right after a second start's handover:
// - The request carries the time of the last message the thread took from
//   its queue, and the server drops a request older than the last change
//   of the focus. A message sent from another process is not taken from
//   the queue: after a hide, the restore's request was older than the hide
//   and was dropped. A message posted to the window and taken at once
//   makes that time now.
// - The requests wait in a buffer that goes out when the thread next looks
//   at its queue, and the second start gets its answer, and ends, before
//   that. Looking for a message that is never posted sends them at once.
// Both are done only for a message sent from another thread: a posted one
// (a double click on the icon, as some trays deliver it) carries its own
// fresh time, and the loop sends the requests as soon as it returns. (On
// Windows both are only a look at the queue.)
// (The two messages stand in app/messages.h.)

void TakeFreshMessageTime(HWND hwnd) {
  MSG msg;
  if (PostMessageW(hwnd, kFreshTimeMessage, 0, 0))
    PeekMessageW(&msg, hwnd, kFreshTimeMessage, kFreshTimeMessage, PM_REMOVE);
}

void SendPendingWindowRequests() {
  MSG msg;
  PeekMessageW(&msg, nullptr, kNeverPosted, kNeverPosted, PM_NOREMOVE);
}

}  // namespace

void TrayIcon::Add() {
  record_ = NOTIFYICONDATAW{};
  // The first, 88-byte form of the record, without the later extensions.
  record_.cbSize = NOTIFYICONDATAW_V1_SIZE;
  record_.hWnd = window_.hwnd();
  record_.uID = 1;
  record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record_.uCallbackMessage = kTrayMessage;
  record_.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  const std::wstring tip = ui::Wide(kMainTitle);
  tip.copy(record_.szTip, std::size(record_.szTip) - 1);
  Shell_NotifyIconW(NIM_ADD, &record_);
}

void TrayIcon::Remove() { Shell_NotifyIconW(NIM_DELETE, &record_); }

void TrayIcon::Notify(LPARAM lp) {
  if (lp != WM_LBUTTONDBLCLK) return;
  const bool sent = InSendMessage();
  if (sent) TakeFreshMessageTime(window_.hwnd());
  if (hidden_) {
    Restore();
  } else {
    ShowWindow(window_.hwnd(), SW_SHOW);
    BringLastActiveForward(AppWindow(window_.hwnd()), window_.hwnd());
  }
  if (sent) SendPendingWindowRequests();
}

bool TrayIcon::SysCommand(WPARAM wp) {
  if (wp != SC_MINIMIZE) return false;
  Hide();
  return true;
}

bool TrayIcon::AppMessageFilter(const MSG& msg) {
  if (msg.message != WM_SYSCOMMAND) return false;
  if (msg.wParam == SC_RESTORE) {
    Restore();
    return true;
  }
  if (msg.wParam == SC_MINIMIZE) {
    Hide();
    return true;
  }
  return false;
}

void TrayIcon::Hide() {
  const HWND app = AppWindow(window_.hwnd());
  HWND last = GetLastActivePopup(app);
  restore_popup_ = (last && last != app) ? last : window_.hwnd();
  ShowWindow(app, SW_SHOW);
  SetForegroundWindow(app);
  const ui::Bounds b = window_.bounds();
  SetWindowPos(app, HWND_BOTTOM, b.x, b.y, b.width, 0, SWP_NOZORDER);
  HideOwnedWindows(app, hidden_owned_);
  ShowWindow(app, SW_MINIMIZE);
  ShowWindow(app, SW_HIDE);
  hidden_ = true;
}

void TrayIcon::Restore() {
  const HWND app = AppWindow(window_.hwnd());
  ShowWindow(app, SW_SHOW);
  SetForegroundWindow(app);
  ShowWindow(app, SW_RESTORE);
  ShowOwnedWindows(hidden_owned_);
  SetWindowPos(app, HWND_TOP, 0, 0, 0, 0, SWP_NOZORDER);
  hidden_ = false;
  BringLastActiveForward(app, restore_popup_ ? restore_popup_ : window_.hwnd());
}

}  // namespace korvane
