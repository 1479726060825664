// Closing the main window: the close query for every way of closing, with
// scripted answers; what an allowed close leaves; the session's end.
#include <windows.h>

#include <gtest/gtest.h>

#include "kit.h"
#include "ui/wide.h"

namespace {

using kit::GroupFileBytes;
using kit::SettingsBytes;
using kit::MainWindowTest;
using kit::TrayIconExists;

constexpr char kQuestion[] = "変更は保存されていません。\r\n\r\n終了してもよろしいですか？";
constexpr UINT kConfirmFlags = MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2;

enum class Way { CloseMessage, AltF4, ExitMenu, ExitClick, EndSession };

const char* Name(Way w) {
  switch (w) {
    case Way::CloseMessage: return "WM_CLOSE";
    case Way::AltF4: return "SC_CLOSE";
    case Way::ExitMenu: return "exit menu item";
    case Way::ExitClick: return "MnuExitClick";
    case Way::EndSession: return "WM_QUERYENDSESSION";
  }
  return "";
}

class CloseTest : public MainWindowTest, public ::testing::WithParamInterface<Way> {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    folder_.Write("業務A.PTH", GroupFileBytes({{"見積書", ""}, {"請求書", ""}}));
    OpenAsProgram();
  }

  // Closes the window the way under test; answers whether the close (or
  // the session's end) was allowed.
  bool TryClose() {
    switch (GetParam()) {
      case Way::CloseMessage:
        PostMessageA(main(), WM_CLOSE, 0, 0);
        break;
      case Way::AltF4:
        // What Alt+F4 and the title bar's close button send.
        PostMessageA(main(), WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
      case Way::ExitMenu:
        PostMessageA(main(), WM_COMMAND, korvane::kIdExit, 0);
        break;
      case Way::ExitClick:
        form().MnuExitClick();
        break;
      case Way::EndSession: {
        const LRESULT allowed = SendMessageA(main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        // Windows asking ends nothing by itself.
        EXPECT_FALSE(TakeQuit(100));
        return allowed != FALSE;
      }
    }
    return TakeQuit();
  }
};

TEST_P(CloseTest, AsksOnlyWithUnsavedChangesAndNoKeepsThem) {
  SCOPED_TRACE(Name(GetParam()));
  const std::string group_file = folder_.Read("業務A.PTH");

  // Nothing changed: no question, the close is allowed.
  EXPECT_TRUE(TryClose());
  EXPECT_TRUE(seam_.boxes.empty());
  EXPECT_TRUE(IsWindow(main()) && IsWindowVisible(main())) << "the window stays until the program's end";

  // Changed, answered No: everything stays as it was.
  ChangeSomething();
  seam_.answers = {IDNO};
  EXPECT_FALSE(TryClose());
  ASSERT_EQ(seam_.boxes.size(), 1u);
  EXPECT_EQ(seam_.boxes[0].text, kQuestion);
  EXPECT_EQ(seam_.boxes[0].caption, "Korvane");
  EXPECT_EQ(seam_.boxes[0].flags, kConfirmFlags);
  EXPECT_TRUE(IsWindowVisible(main()));
  EXPECT_TRUE(form().Model().Modified());
  ASSERT_NE(form().Model().Current(), nullptr);
  EXPECT_EQ(form().Model().Current()->entries[0].title, "");
  EXPECT_EQ(form().Model().Current()->entries[1].title, "請求書");
  EXPECT_EQ(folder_.Read("業務A.PTH"), group_file);

  // Escape in the real box (and any other answer than Yes) is a No too.
  seam_.answers = {IDCANCEL};
  EXPECT_FALSE(TryClose());
  EXPECT_EQ(seam_.boxes.size(), 2u);
  EXPECT_TRUE(form().Model().Modified());

  // Answered Yes: the close is allowed without saving.
  seam_.answers = {IDYES};
  EXPECT_TRUE(TryClose());
  EXPECT_EQ(seam_.boxes.size(), 3u);
  EXPECT_TRUE(IsWindowVisible(main()));
  const NOTIFYICONDATAW record = form().TrayRecord();
  const RECT r = [&] {
    RECT w{};
    GetWindowRect(main(), &w);
    return w;
  }();
  CloseWindow();
  EXPECT_EQ(folder_.Read("業務A.PTH"), group_file) << "no group file is written";
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"Korvane.INI", "業務A.PTH"}));
  EXPECT_EQ(folder_.Read("Korvane.INI"), SettingsBytes(r.left, r.top, r.right - r.left, r.bottom - r.top, 0));
  EXPECT_FALSE(TrayIconExists(record));
}

INSTANTIATE_TEST_SUITE_P(EveryWay, CloseTest,
                         ::testing::Values(Way::CloseMessage, Way::AltF4, Way::ExitMenu, Way::ExitClick,
                                           Way::EndSession));

using EndSessionTest = MainWindowTest;

// The session ends once Windows has its answer: the program's end runs its
// steps then (settings written, tray icon removed), and only once.
TEST_F(EndSessionTest, TheEndingSessionRunsTheStepsOfTheEnd) {
  folder_.Write("業務A.PTH", GroupFileBytes({{"見積書", ""}}));
  OpenAsProgram();
  const NOTIFYICONDATAW record = form().TrayRecord();

  // Another program refused: nothing happens.
  SendMessageA(main(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
  EXPECT_FALSE(folder_.Exists("Korvane.INI"));
  EXPECT_TRUE(TrayIconExists(record));

  ChangeSomething();
  seam_.answers = {IDYES};
  EXPECT_EQ(SendMessageA(main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  SendMessageA(main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_TRUE(folder_.Exists("Korvane.INI"));
  EXPECT_FALSE(TrayIconExists(record));
  EXPECT_EQ(folder_.Read("業務A.PTH"), GroupFileBytes({{"見積書", ""}}));

  // The window's destruction afterwards does not write the file again.
  ASSERT_TRUE(DeleteFileW(ui::Wide(folder_.File("Korvane.INI")).c_str()));
  CloseWindow();
  EXPECT_FALSE(folder_.Exists("Korvane.INI"));
}

using CloseEditTest = MainWindowTest;

// A title being typed is part of the changes the question is about.
TEST_F(CloseEditTest, AnOpenTitleEditIsCommittedBeforeTheQuestion) {
  folder_.Write("業務A.PTH", GroupFileBytes({{"見積書", ""}}));
  OpenAsProgram();
  form().LBGroup.SetItemIndex(0);
  form().LBGroupClick();
  ASSERT_NE(form().Model().Current(), nullptr);
  // Enter on the title cell of entry 2 opens the editor.
  form().DGMain.SetRow(2);
  kit::PostKey(form().DGMain.hwnd(), VK_RETURN);
  ASSERT_TRUE(kit::PumpUntil([&] { return IsWindowVisible(form().EdtTitle.hwnd()) != FALSE; }));
  form().EdtTitle.SetText("納品書");
  form().EdtTitle.SetModified(true);
  ASSERT_FALSE(form().Model().Modified());

  seam_.answers = {IDNO};
  PostMessageA(main(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(TakeQuit());
  ASSERT_EQ(seam_.boxes.size(), 1u);
  EXPECT_EQ(seam_.boxes[0].text, kQuestion);
  EXPECT_EQ(form().Model().Current()->entries[1].title, "納品書");
  EXPECT_FALSE(IsWindowVisible(form().EdtTitle.hwnd()));
}

}  // namespace
