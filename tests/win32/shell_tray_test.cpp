// The tray icon's record and the hiding and restoring of the program: the
// state table of minimise commands, tray messages and restore commands.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "kit.h"

namespace {

using kit::GroupFileBytes;
using kit::MainWindowTest;
using kit::TrayIconExists;

constexpr UINT kTray = 0x4B1;

RECT WindowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

class TrayTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    folder_.Write("Korvane.INI", kit::SettingsBytes(120, 80, 640, 480, 0));
    folder_.Write("業務A.PTH", GroupFileBytes({{"見積書", ""}}));
    OpenAsProgram();
  }

  bool Hidden() { return !IsWindowVisible(main()) && !IsWindowVisible(app()) && form().HiddenInTray(); }
  bool Shown() { return IsWindowVisible(main()) && IsWindowVisible(app()) && !form().HiddenInTray(); }
  bool WaitHidden() { return kit::PumpUntil([&] { return Hidden(); }, 3000); }
  bool WaitShown() { return kit::PumpUntil([&] { return Shown(); }, 3000); }
  void PostAndPump(HWND to, UINT msg, WPARAM wp, LPARAM lp) {
    PostMessageA(to, msg, wp, lp);
    kit::Pump();
  }
  void Hide() {
    PostMessageA(main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitHidden());
  }
  // Runs `step` while a dialog is open modally over the main window (owned
  // by it, as the name and version dialogs are).
  void WithDialog(const std::function<void(HWND dialog)>& step) {
    ui::Form dialog;
    ui::FormArgs args;
    args.kind = ui::FormKind::Dialog;
    args.caption = "dialog";
    args.bounds = ui::Bounds{200, 200, 240, 160};
    ASSERT_TRUE(dialog.Create(args));
    dialog.SetMessageHandler(WM_APP, [&](WPARAM, LPARAM, LRESULT&) {
      step(dialog.hwnd());
      dialog.EndModal(ui::kModalOk);
      return true;
    });
    PostMessageA(dialog.hwnd(), WM_APP, 0, 0);
    dialog.ShowModal();
    dialog.Destroy();
    kit::Pump();
  }
};

TEST_F(TrayTest, TheNotifyIconRecordIsTheFirstFormOfTheUnicodeRecord) {
  const NOTIFYICONDATAW& r = form().TrayRecord();
  EXPECT_EQ(r.cbSize, 152u) << "the first, 152-byte form of the wide record";
  EXPECT_EQ(r.hWnd, main());
  EXPECT_EQ(r.uID, 1u);
  EXPECT_EQ(r.uFlags, 7u);
  EXPECT_EQ(r.uCallbackMessage, kTray);
  EXPECT_NE(r.hIcon, nullptr);
  EXPECT_EQ(r.hIcon, LoadIconW(GetModuleHandleW(nullptr), L"MAINICON"));
  wchar_t tip[64] = L"Korvane";
  EXPECT_EQ(std::memcmp(r.szTip, tip, sizeof tip), 0) << "the tip, the rest of its 64 characters zero";
  EXPECT_TRUE(TrayIconExists(r));
}

// Minimising from the title bar or the system menu: WM_SYSCOMMAND sent to
// the main window.
TEST_F(TrayTest, TheMinimiseButtonHidesTheWholeProgramAndADoubleClickBringsItBack) {
  const RECT before = WindowRect(main());
  SendMessageA(main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitHidden()) << "the main window and the taskbar button go";
  EXPECT_FALSE(IsIconic(main())) << "the system's own minimising does not take place";
  EXPECT_TRUE(TrayIconExists(form().TrayRecord())) << "the icon stays";

  PostMessageA(main(), kTray, 1, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(WaitShown());
  EXPECT_TRUE(kit::PumpUntil([&] { return GetForegroundWindow() == main(); }, 3000));
  EXPECT_FALSE(IsZoomed(main()));
  EXPECT_FALSE(IsIconic(main()));
  const RECT after = WindowRect(main());
  EXPECT_TRUE(EqualRect(&before, &after)) << "back at its former place and size";
  EXPECT_TRUE(TrayIconExists(form().TrayRecord()));
}

// The application-wide filter: a posted minimise or restore command to any
// window of the program.
TEST_F(TrayTest, PostedMinimiseAndRestoreCommandsWorkOnEveryWindowOfTheProgram) {
  for (HWND to : {main(), form().LBGroup.hwnd(), app()}) {
    PostMessageA(to, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitHidden());
    // Hidden, minimised again: stays hidden.
    PostAndPump(form().DGMain.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(Hidden());
    PostMessageA(to, WM_SYSCOMMAND, SC_RESTORE, 0);
    ASSERT_TRUE(WaitShown());
  }
  // Shown, restored: stays shown, in its place.
  const RECT before = WindowRect(main());
  PostAndPump(main(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(WaitShown());
  const RECT after = WindowRect(main());
  EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(TrayTest, OnlyTheDoubleClickMessageDoesAnything) {
  for (bool hidden : {true, false}) {
    SCOPED_TRACE(hidden ? "hidden" : "shown");
    if (hidden) Hide();
    for (LPARAM mouse : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
                         WM_RBUTTONDBLCLK, WM_MBUTTONDOWN}) {
      PostAndPump(main(), kTray, 1, mouse);
      kit::PumpUntil([] { return false; }, 50);
      EXPECT_EQ(hidden, Hidden()) << "lParam " << mouse;
      EXPECT_EQ(!hidden, Shown()) << "lParam " << mouse;
    }
    EXPECT_EQ(FindWindowA("#32768", nullptr), nullptr) << "there is no tray menu";
    PostMessageA(main(), kTray, 1, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitShown());
  }
}

TEST_F(TrayTest, AMaximisedWindowComesBackMaximised) {
  ShowWindow(main(), SW_MAXIMIZE);
  ASSERT_TRUE(IsZoomed(main()));
  const RECT maximised = WindowRect(main());
  Hide();
  PostMessageA(main(), kTray, 1, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(WaitShown());
  EXPECT_TRUE(IsZoomed(main()));
  const RECT after = WindowRect(main());
  EXPECT_TRUE(EqualRect(&maximised, &after));
}

TEST_F(TrayTest, HidingAndRestoringChangeNoStateOfTheWindow) {
  ChangeSomething();
  form().LBGroup.SetItemIndex(0);
  const int mode = form().Mode();
  Hide();
  PostMessageA(main(), kTray, 1, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(WaitShown());
  EXPECT_TRUE(form().Model().Modified());
  EXPECT_EQ(form().Model().CurrentRow(), 0);
  EXPECT_EQ(form().Model().Current()->entries[0].title, "");
  EXPECT_EQ(form().Mode(), mode);
  EXPECT_EQ(form().LBGroup.ItemIndex(), 0);
  EXPECT_TRUE(seam_.boxes.empty());
}

// A dialog over the main window (owned by it, not by the application
// window) goes with the program and comes back in front, with the keyboard
// focus in its edit box when the handover (the message a second start
// sends) is answered: a key typed at once lands there.
TEST_F(TrayTest, ADialogOverTheMainWindowHidesAndComesBackWithIt) {
  bool owned = false, hidden = false, back = false, in_front = false, focus_back = false;
  char typed[16] = "";
  WithDialog([&](HWND dialog) {
    owned = GetWindow(dialog, GW_OWNER) == main();
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 8, 8, 160, 24,
                                dialog, nullptr, nullptr, nullptr);
    SetFocus(edit);
    SendMessageA(main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    hidden = WaitHidden() && !IsWindowVisible(dialog);
    SendMessageA(main(), kTray, 0, WM_LBUTTONDBLCLK);
    focus_back = GetFocus() == edit;
    kit::SendKeys({'K'});
    back = WaitShown() && IsWindowVisible(dialog);
    in_front = kit::PumpUntil([&] { return GetForegroundWindow() == dialog; }, 3000);
    kit::PumpUntil([&] { return GetWindowTextLengthA(edit) > 0; }, 3000);
    GetWindowTextA(edit, typed, sizeof typed);
  });
  EXPECT_TRUE(owned);
  EXPECT_TRUE(hidden);
  EXPECT_TRUE(back);
  EXPECT_TRUE(in_front);
  EXPECT_TRUE(focus_back) << "the focus is in the edit box when the handover returns";
  EXPECT_STREQ(typed, "k") << "the key typed at once";
}

// Shown behind another program: the handover (the message a second start
// sends) brings the program's last active window forward, the main window
// or a dialog open over it.
TEST_F(TrayTest, TheHandoverBringsTheLastActiveWindowForward) {
  {
    kit::OtherThreadWindow other;
    ASSERT_TRUE(kit::BringToFront(other.hwnd()));
    SendMessageA(main(), kTray, 0, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(kit::PumpUntil([&] { return GetForegroundWindow() == main(); }, 3000));
    EXPECT_TRUE(Shown());
  }

  bool brought = false;
  WithDialog([&](HWND dialog) {
    kit::OtherThreadWindow other;
    if (kit::BringToFront(other.hwnd())) {
      SendMessageA(main(), kTray, 0, WM_LBUTTONDBLCLK);
      brought = kit::PumpUntil([&] { return GetForegroundWindow() == dialog; }, 3000);
    }
  });
  EXPECT_TRUE(brought) << "the dialog open over the main window comes to the foreground";
}

}  // namespace
