// The main window's creation: what FormCreate leaves, in which order it
// builds it (seen from inside the warning box of the group load), the
// placement and mode from the settings file, and the end after a group
// folder that cannot be listed.
#include <windows.h>

#include <gtest/gtest.h>

#include "data/settings.h"
#include "grid/columns.h"
#include "kit.h"
#include "ui/hint.h"
#include "ui/wide.h"

namespace {

using kit::GroupFileBytes;
using kit::SettingsBytes;
using kit::MainWindowTest;
using kit::TrayIconExists;

RECT WorkArea() {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

RECT WindowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

::testing::AssertionResult SameRect(const RECT& expected, const RECT& actual) {
  if (EqualRect(&expected, &actual)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "expected (" << expected.left << ", " << expected.top << ")-("
                                       << expected.right << ", " << expected.bottom << "), got (" << actual.left
                                       << ", " << actual.top << ")-(" << actual.right << ", " << actual.bottom << ")";
}

// Width of the title column for a mode, from the grid's own measures.
int TitleWidthFor(korvane::TFrmFR0010MN& f, int mode) {
  return korvane::ComputeColumnWidths(f.DGMain.Width(), ui::DrawGrid::ScrollBarWidth(), 40, 1, mode).title;
}

using CreateTest = MainWindowTest;

TEST_F(CreateTest, WithoutSettingsTheWindowCoversTheWorkAreaInRegistrationMode) {
  folder_.Write("業務A.PTH", GroupFileBytes({{"見積書", ""}}));
  folder_.Write("業務B.PTH", GroupFileBytes({}));
  ASSERT_TRUE(CreateAsProgram());
  EXPECT_FALSE(IsWindowVisible(main())) << "the run loop shows it, not its creation";
  EXPECT_TRUE(seam_.boxes.empty());
  EXPECT_FALSE(TakeQuit()) << "a good start requests no end";

  char cls[64] = {};
  GetClassNameA(main(), cls, sizeof cls);
  EXPECT_STREQ(cls, "TFrmFR0010MN");
  EXPECT_EQ(form().Caption(), "Korvane");
  EXPECT_EQ(GetWindow(main(), GW_OWNER), app()) << "the application window owns it";
  EXPECT_TRUE(SameRect(WorkArea(), WindowRect(main())));

  EXPECT_EQ(form().Mode(), korvane::kModeRegistration);
  EXPECT_TRUE(form().SpbInput.Down());
  EXPECT_FALSE(form().SpbRun.Down());
  EXPECT_EQ(form().DGMain.ColWidth(1), TitleWidthFor(form(), 0));

  EXPECT_EQ(SendMessageA(form().LBGroup.hwnd(), LB_GETITEMHEIGHT, 0, 0), 41);
  EXPECT_EQ(form().DGMain.ColWidth(0), 40);
  EXPECT_EQ(SendMessageA(form().EdtTitle.hwnd(), EM_GETLIMITTEXT, 0, 0), 40);
  EXPECT_NE(form().Painter().palette(), nullptr);
  EXPECT_TRUE(form().Painter().HasCanvas());
  EXPECT_FALSE(form().HiddenInTray());
  EXPECT_TRUE(TrayIconExists(form().TrayRecord()));
  EXPECT_EQ(ui::HintOf(form().SpbSave.hwnd()), "保存");
  EXPECT_EQ(ui::HintOf(form().SpbRun.hwnd()), "ランチャーモード");
  EXPECT_FALSE(form().Model().Modified());
  EXPECT_EQ(form().Model().Current(), nullptr);
  EXPECT_EQ(form().Marks().pressed_row, -1);
  EXPECT_EQ(form().Marks().edit_row, -1);
  EXPECT_FALSE(form().Marks().title_editing);
  EXPECT_EQ(form().TargetRow(), -1);
  EXPECT_EQ(form().LBGroup.Count(), 2);

  // Shown by the run loop: a normal window the size of the work area.
  ShowWindow(app(), SW_SHOWNA);
  form().Show();
  ASSERT_TRUE(kit::PumpUntil([&] { return IsWindowVisible(main()) != FALSE; }));
  EXPECT_FALSE(IsZoomed(main()));
  EXPECT_TRUE(SameRect(WorkArea(), WindowRect(main())));
}

// A placement partly on the screen is applied as stored (the system's
// clamps apply); one wholly outside every work area gives the work area.
TEST_F(CreateTest, StoredPlacementIsAppliedAsStoredUnlessWhollyOffScreen) {
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  struct Case {
    std::string left, top, width;
    RECT expected;
  };
  const Case cases[] = {
      {"-600", "-400", "-640", RECT{-600, -400, 40, 80}},
      {std::to_string(width - 10), "100", "640", RECT{width - 10, 100, width + 630, 580}},
      {std::to_string(width + 500), "-2000", "-640", WorkArea()},
      {"-99999999", "0", "640", WorkArea()},
      {"-640", "100", "640", WorkArea()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.left + "," + c.top);
    folder_.Write("Korvane.INI", "[Korvane]\r\nLEFT=" + c.left + "\r\nTOP=" + c.top + "\r\nWIDTH=" + c.width +
                                     "\r\nHEIGHT=480\r\nMODE=0\r\n");
    ASSERT_TRUE(CreateAsProgram());
    EXPECT_TRUE(SameRect(c.expected, WindowRect(main())));
    EXPECT_EQ(form().Mode(), korvane::kModeRegistration);
    CloseWindow();
  }
}

// The start opens the folder's watch before it lists the folder, both
// before the window is made: a group file that comes after the listing
// reaches the list.
TEST_F(CreateTest, AGroupFileAddedAfterTheStartsListingReachesTheList) {
  folder_.Write("業務A.PTH", GroupFileBytes({{"見積書", ""}}));
  reading_ = std::make_unique<korvane::StartupReading>(folder_.path());
  reading_->Wait();
  folder_.Write("業務B.PTH", GroupFileBytes({{"請求書", ""}}));
  ASSERT_TRUE(CreateAsProgram());
  ASSERT_TRUE(kit::PumpUntil([&] { return form().LBGroup.Count() == 2; }));
  EXPECT_GE(form().Model().FindGroup("業務B"), 0);
}

TEST_F(CreateTest, PlacementValuesAddingUpToZeroGiveTheWorkArea) {
  folder_.Write("Korvane.INI", "[Korvane]\r\nLEFT=-100\r\nTOP=0\r\nWIDTH=100\r\nHEIGHT=0\r\nMODE=1\r\n");
  ASSERT_TRUE(CreateAsProgram());
  EXPECT_TRUE(SameRect(WorkArea(), WindowRect(main())));
  // The mode holds although the placement does not.
  EXPECT_EQ(form().Mode(), korvane::kModeLauncher);
}

TEST_F(CreateTest, AnyModeOtherThanZeroOrOneStartsLauncherMode) {
  for (const char* mode : {"2", "-1"}) {
    SCOPED_TRACE(mode);
    folder_.Write("Korvane.INI",
                  std::string("[Korvane]\r\nLEFT=10\r\nTOP=20\r\nWIDTH=700\r\nHEIGHT=500\r\nMODE=") + mode + "\r\n");
    ASSERT_TRUE(CreateAsProgram());
    EXPECT_EQ(form().Mode(), korvane::kModeLauncher);
    EXPECT_TRUE(form().SpbRun.Down());
    EXPECT_FALSE(form().SpbInput.Down());
    // The columns were sized for the mode restored before them.
    EXPECT_EQ(form().DGMain.ColWidth(1), TitleWidthFor(form(), 1));
    EXPECT_TRUE(SameRect(RECT{10, 20, 710, 520}, WindowRect(main())));
    CloseWindow();
    // An end without a change of mode writes "1".
    EXPECT_EQ(folder_.Read("Korvane.INI"), SettingsBytes(10, 20, 700, 500, 1));
  }
  // Something that is no integer counts as 0.
  folder_.Write("Korvane.INI", "[Korvane]\r\nLEFT=10\r\nTOP=20\r\nWIDTH=700\r\nHEIGHT=500\r\nMODE=x\r\n");
  ASSERT_TRUE(CreateAsProgram());
  EXPECT_EQ(form().Mode(), korvane::kModeRegistration);
  EXPECT_TRUE(form().SpbInput.Down());
}

// Steps 1 to 14 are done when the group load (step 15) shows its warning:
// a group file held open by another program. The files are read once the
// window is made, so the canvas (step 16) is there too.
TEST_F(CreateTest, TheGroupLoadRunsAfterEverythingElseAndBeforeTheCanvas) {
  folder_.Write("Korvane.INI", SettingsBytes(30, 40, 600, 450, 1));
  folder_.Write("業務A.PTH", GroupFileBytes({{"見積書", ""}}));
  const std::string held = folder_.File("業務B.PTH");
  folder_.Write("業務B.PTH", GroupFileBytes({{"請求書", ""}}));
  HANDLE lock = CreateFileW(ui::Wide(held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);

  int seen = 0;
  seam_.on_box = [&] {
    const kit::FakeSeam::Box& box = seam_.boxes.back();
    ++seen;
    EXPECT_EQ(box.text, held + " を読み込めません");
    EXPECT_EQ(box.flags, static_cast<UINT>(MB_ICONEXCLAMATION | MB_OK));
    EXPECT_EQ(form().Caption(), "Korvane");                                    // 3
    EXPECT_TRUE(SameRect(RECT{30, 40, 630, 490}, WindowRect(main())));         // 4
    EXPECT_EQ(form().Mode(), korvane::kModeLauncher);                          // 4
    EXPECT_EQ(SendMessageA(form().LBGroup.hwnd(), LB_GETITEMHEIGHT, 0, 0), 41);  // 2
    EXPECT_TRUE(static_cast<bool>(kit::App().on_message));                 // 6
    EXPECT_TRUE(static_cast<bool>(kit::App().on_activate));                // 7
    EXPECT_EQ(form().DGMain.ColWidth(0), 40);                                  // 8
    EXPECT_EQ(form().DGMain.ColWidth(1), TitleWidthFor(form(), 1));            // 9
    EXPECT_EQ(SendMessageA(form().EdtTitle.hwnd(), EM_GETLIMITTEXT, 0, 0), 40);  // 11
    EXPECT_NE(form().Painter().palette(), nullptr);                            // 12
    EXPECT_TRUE(TrayIconExists(form().TrayRecord()));                          // 13
    EXPECT_FALSE(form().HiddenInTray());                                       // 14
    EXPECT_EQ(form().LBGroup.Count(), 2) << "the list is filled before the warning";
    EXPECT_TRUE(form().Painter().HasCanvas()) << "the warning comes once the window is made";
    EXPECT_EQ(form().Model().GroupAt(static_cast<std::size_t>(form().Model().FindGroup("業務A"))).state,
              korvane::ReadState::Read)
        << "every file is read first";
  };
  ASSERT_TRUE(CreateAsProgram());
  EXPECT_EQ(seen, 1);
  CloseHandle(lock);
  // A file that cannot be read does not stop the start.
  EXPECT_TRUE(form().Painter().HasCanvas());
  EXPECT_FALSE(TakeQuit());
  form().Model().SelectGroup(1);
  ASSERT_NE(form().Model().Current(), nullptr);
  EXPECT_EQ(form().Model().Current()->entries[0].title, "");
}

TEST_F(CreateTest, AnUnlistableGroupFolderEndsTheRunAfterItsWarning) {
  // The data folder does not exist: the group load cannot list it.
  const std::string missing = folder_.path() + "無い\\";
  BoxesAsProgram();
  form_ = std::make_unique<korvane::TFrmFR0010MN>();
  form_->SetDataFolder(missing);
  kit::App().SetMainForm(form_.get());
  ASSERT_TRUE(form_->Create());

  ASSERT_EQ(seam_.boxes.size(), 1u);
  EXPECT_EQ(seam_.boxes[0].text, missing + " を読み込めません");
  EXPECT_EQ(seam_.boxes[0].caption, "Korvane");
  EXPECT_EQ(seam_.boxes[0].flags, static_cast<UINT>(MB_ICONEXCLAMATION | MB_OK));
  EXPECT_EQ(seam_.boxes[0].owner, app());
  EXPECT_FALSE(form().Painter().HasCanvas()) << "creation stops at the failed load";
  EXPECT_TRUE(TakeQuit()) << "the end of the run loop is requested";
  // The tray icon comes after the window shows: a run that ends at its
  // load never puts one up.
  Pump();
  NOTIFYICONDATAW record{};
  record.cbSize = NOTIFYICONDATAW_V1_SIZE;
  record.hWnd = main();
  record.uID = 1;
  EXPECT_FALSE(TrayIconExists(record)) << "no tray icon for a run that ends at its load";

  // The run loop still shows the window before it takes the quit message.
  ShowWindow(app(), SW_SHOWNA);
  form().Show();
  const RECT placed = WindowRect(main());
  // The folder is there again by the end: the settings go into it.
  ASSERT_TRUE(CreateDirectoryW(ui::Wide(missing).c_str(), nullptr));
  CloseWindow();
  EXPECT_FALSE(TrayIconExists(record)) << "FormDestroy removes the icon";
  HANDLE h = CreateFileW(ui::Wide((missing + "Korvane.INI")).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << "the settings file is written at the end";
  char buf[256] = {};
  DWORD got = 0;
  ReadFile(h, buf, sizeof buf - 1, &got, nullptr);
  CloseHandle(h);
  EXPECT_EQ(std::string(buf, got), SettingsBytes(placed.left, placed.top, placed.right - placed.left,
                                                 placed.bottom - placed.top, 0));
  EXPECT_EQ(seam_.boxes.size(), 1u) << "nothing more is shown";
  DeleteFileW(ui::Wide((missing + "Korvane.INI")).c_str());
  RemoveDirectoryW(ui::Wide(missing).c_str());
}

TEST_F(CreateTest, TheEndWritesTheSettingsAndKeepsTheOtherLinesOfTheFile) {
  folder_.Write("Korvane.INI",
                "; 設定\r\n[他]\r\nA=1\r\n[Korvane]\r\nHEIGHT=300\r\nLEFT=7\r\nX=y\r\nTOP=5\r\nWIDTH=400\r\n"
                "\r\n[後]\r\nB=2\r\n");
  ASSERT_TRUE(CreateAsProgram());
  EXPECT_TRUE(SameRect(RECT{7, 5, 7 + 400, 5 + 300}, WindowRect(main())));
  form().SetBounds(ui::Bounds{12, 34, 560, 420});
  CloseWindow();
  EXPECT_EQ(folder_.Read("Korvane.INI"),
            "; 設定\r\n[他]\r\nA=1\r\n[Korvane]\r\nHEIGHT=420\r\nLEFT=12\r\nX=y\r\nTOP=34\r\nWIDTH=560\r\n"
            "MODE=0\r\n\r\n[後]\r\nB=2\r\n");
}

TEST_F(CreateTest, AMaximisedWindowWritesZeroPlacement) {
  folder_.Write("Korvane.INI", SettingsBytes(30, 40, 600, 450, 1));
  OpenAsProgram();
  ShowWindow(main(), SW_MAXIMIZE);
  ASSERT_TRUE(IsZoomed(main()));
  CloseWindow();
  EXPECT_EQ(folder_.Read("Korvane.INI"), SettingsBytes(0, 0, 0, 0, 1));
}

}  // namespace
