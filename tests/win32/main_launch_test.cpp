// Launching entries: the launch buttons with any mouse button, double
// clicks, Enter and F2 in launcher mode, the three outcomes of a launch and
// the markers they leave; one real launch under the system's shell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/settings.h"
#include "kit.h"
#include "ui/wide.h"

namespace kit {
namespace {

constexpr char kMissingFile[] = "ファイルが存在しません。";
constexpr char kLaunchFailed[] =
    "起動に失敗しました。\r\n\r\n関連付けられたアプリケーションが存在するか、確認してください。";

// Closes the popup menu of this thread once it is up, and counts it.
int g_menus_closed = 0;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND menu = FindWindowA("#32768", nullptr);
  if (!menu || !IsWindowVisible(menu)) return;
  ++g_menus_closed;
  EndMenu();
}

class MainLaunchTest : public MainWindowTest {
 protected:
  // Entry 1 an existing file, 2 a missing one, 3 empty, 4 a folder, 5 an
  // existing file the test may take away, 6 to 20 existing files.
  void WriteEntries() {
    existing_ = folder_.Write("起動.txt");
    later_ = folder_.Write("後で消す.txt");
    std::vector<Entry> e{{"有る", existing_},
                         {"無い", "C:\\存在しない\\無い.txt"},
                         {"空", ""},
                         {"フォルダ", folder_.MakeFolder("資料")},
                         {"後で消す", later_}};
    for (int n = 6; n <= 20; ++n) {
      const std::string name = "f" + std::to_string(n) + ".txt";
      e.push_back({name, folder_.Write(name)});
    }
    WriteGroup("日常業務", e);
  }
  void OpenWithGroup(int mode) {
    WriteEntries();
    Open(mode);
    ClickGroup(0);
  }
  // The files the fake shell was asked to open, in order.
  std::vector<std::string> Launched() const {
    std::vector<std::string> files;
    for (const auto& c : seam_.shell_calls) files.push_back(c.file);
    return files;
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& b : seam_.boxes) texts.push_back(b.text);
    return texts;
  }
  void Forget() {
    seam_.shell_calls.clear();
    seam_.boxes.clear();
  }
  using Files = std::vector<std::string>;
  std::string existing_, later_;
};

TEST_F(MainLaunchTest, APressAndAReleaseOnTheSameButtonLaunchWithAnyButton) {
  OpenWithGroup(korvane::kModeRegistration);
  ui::DrawGrid& g = form().DGMain;
  Press(WM_LBUTTONDOWN, CellPoint(0, 1));
  EXPECT_TRUE(seam_.shell_calls.empty());
  Release(WM_LBUTTONUP, CellPoint(0, 1, 5, 30));
  ASSERT_EQ(seam_.shell_calls.size(), 1u);
  const FakeSeam::ShellCall& call = seam_.shell_calls[0];
  EXPECT_EQ(call.owner, form().hwnd());
  EXPECT_EQ(call.verb, "OPEN");
  EXPECT_EQ(call.file, existing_);
  EXPECT_EQ(call.params, "");
  EXPECT_EQ(call.dir, "");
  EXPECT_EQ(call.show, SW_SHOW);
  EXPECT_EQ(form().Marks().pressed_row, -1);
  EXPECT_EQ(Marker(1), korvane::PathMarker::Found);
  EXPECT_TRUE(seam_.boxes.empty());

  // The right and the middle button launch as well, and the press makes
  // the row current (the column stays).
  Click(CellPoint(2, 2));
  Press(WM_RBUTTONDOWN, CellPoint(0, 6));
  EXPECT_EQ(g.Row(), 6);
  EXPECT_EQ(g.Col(), 2);
  Release(WM_RBUTTONUP, CellPoint(0, 6));
  Press(WM_MBUTTONDOWN, CellPoint(0, 7));
  Release(WM_MBUTTONUP, CellPoint(0, 7));
  // The grid line right of the button still belongs to it.
  const int line = g.ColWidth(0);
  Press(WM_LBUTTONDOWN, CellPoint(0, 1, line));
  EXPECT_EQ(form().Marks().pressed_row, 1);
  Release(WM_LBUTTONUP, CellPoint(0, 1, line));
  EXPECT_EQ(Launched(), (Files{existing_, Path(6), Path(7), existing_}));
  EXPECT_FALSE(form().Model().Modified());
}

TEST_F(MainLaunchTest, AReleaseAnywhereElseCancels) {
  OpenWithGroup(korvane::kModeRegistration);
  const int line = form().DGMain.ColWidth(0);
  const POINT elsewhere[] = {
      CellPoint(0, 2),                            // another row's button
      CellPoint(1, 1),                            // the title cell of the row
      CellPoint(0, 1, line + 1),                  // just past the grid line
      POINT{-3, CellPoint(0, 1).y},               // left of the grid
      POINT{CellPoint(0, 1).x, -10},              // above the grid
      POINT{CellPoint(0, 1).x, CellPoint(0, 1).y + 41},  // the next row down
  };
  for (const POINT& at : elsewhere) {
    Press(WM_LBUTTONDOWN, CellPoint(0, 1));
    ASSERT_EQ(form().Marks().pressed_row, 1);
    Release(WM_LBUTTONUP, at);
    EXPECT_EQ(form().Marks().pressed_row, -1) << at.x << "," << at.y;
  }
  // Presses off the buttons: the header's corner, and just right of the
  // button column, start nothing.
  Press(WM_LBUTTONDOWN, CellPoint(0, 0));
  EXPECT_EQ(form().Marks().pressed_row, -1);
  Release(WM_LBUTTONUP, CellPoint(0, 0));
  Press(WM_RBUTTONDOWN, CellPoint(0, 1, line + 1));
  EXPECT_EQ(form().Marks().pressed_row, -1);
  // There the release of the right button opens the entry menu instead.
  g_menus_closed = 0;
  const UINT_PTR closer = SetTimer(nullptr, 0, 20, &CloseMenu);
  Release(WM_RBUTTONUP, CellPoint(0, 1, line + 1));
  KillTimer(nullptr, closer);
  EXPECT_EQ(g_menus_closed, 1);
  EXPECT_TRUE(seam_.shell_calls.empty());
  EXPECT_TRUE(seam_.boxes.empty());
  // The picture is raised again.
  auto p = PaintGrid();
  EXPECT_EQ(Hex(p->at(Cell(0, 1).left, Cell(0, 1).top)), Hex(kWhite));
}

// A message box or another window takes the mouse capture from a held
// button: the press is forgotten, so its release launches nothing.
TEST_F(MainLaunchTest, LosingTheCaptureCancelsAPress) {
  OpenWithGroup(korvane::kModeRegistration);
  for (bool to_other : {false, true}) {
    Press(WM_LBUTTONDOWN, CellPoint(0, 1));
    ASSERT_EQ(form().Marks().pressed_row, 1);
    ASSERT_EQ(GetCapture(), grid());
    if (to_other) SetCapture(list());
    else ReleaseCapture();
    EXPECT_EQ(form().Marks().pressed_row, -1);
    auto p = PaintGrid();
    EXPECT_EQ(Hex(p->at(Cell(0, 1).left, Cell(0, 1).top)), Hex(kWhite)) << "raised again";
    Release(WM_LBUTTONUP, CellPoint(0, 1));
    ReleaseCapture();
  }
  EXPECT_TRUE(seam_.shell_calls.empty());
}

TEST_F(MainLaunchTest, ThePartlyVisibleBottomRowLaunchesTheEntryPressed) {
  OpenWithGroup(korvane::kModeRegistration);
  ui::DrawGrid& g = form().DGMain;
  const int partly = g.TopRow() + g.VisibleRowCount();
  const RECT r = Cell(0, partly);
  RECT client{};
  GetClientRect(grid(), &client);
  ASSERT_GT(r.bottom, client.bottom) << "the window shows every row whole";
  const POINT at{20, (r.top + client.bottom) / 2};
  Press(WM_LBUTTONDOWN, at);
  EXPECT_EQ(g.Row(), partly);
  EXPECT_EQ(g.TopRow(), 1);
  Release(WM_LBUTTONUP, at);
  EXPECT_EQ(Launched(), (Files{Path(partly)}));
}

TEST_F(MainLaunchTest, DoubleClicks) {
  OpenWithGroup(korvane::kModeRegistration);
  // On a button: two presses, two releases, one launch (in either mode):
  // the second release comes while the first launch is under way. No edit.
  DoubleClick(CellPoint(0, 1));
  EXPECT_EQ(Launched(), (Files{existing_}));
  EXPECT_FALSE(IsWindowVisible(editor()));
  EXPECT_TRUE(seam_.dialogs.empty());
  CloseWindow();
  Forget();

  Open(korvane::kModeLauncher);
  ClickGroup(0);
  DoubleClick(CellPoint(0, 6));
  EXPECT_EQ(Launched(), (Files{Path(6)}));
  Forget();
  // On a title cell in launcher mode: one launch; a single click only makes
  // the cell current.
  Click(CellPoint(1, 7));
  EXPECT_EQ(form().DGMain.Row(), 7);
  EXPECT_TRUE(seam_.shell_calls.empty());
  DoubleClick(CellPoint(1, 6));
  EXPECT_EQ(Launched(), (Files{Path(6)}));
  EXPECT_EQ(form().Marks().pressed_row, -1);
  // On the header: nothing.
  Forget();
  DoubleClick(CellPoint(1, 0));
  EXPECT_TRUE(seam_.shell_calls.empty());
  EXPECT_FALSE(IsWindowVisible(editor()));
  EXPECT_FALSE(form().Model().Modified());
}

TEST_F(MainLaunchTest, EnterAndF2LaunchTheCurrentEntryInLauncherMode) {
  OpenWithGroup(korvane::kModeLauncher);
  Key(VK_RETURN);
  EXPECT_EQ(Launched(), (Files{existing_}));
  for (int i = 0; i < 5; ++i) Key(VK_DOWN);
  ASSERT_EQ(form().DGMain.Row(), 6);
  Key(VK_F2);
  EXPECT_EQ(Launched(), (Files{existing_, Path(6)}));
  EXPECT_EQ(form().Marks().pressed_row, -1);
  EXPECT_FALSE(IsWindowVisible(editor()));
  EXPECT_TRUE(seam_.dialogs.empty());
  // The keys still move the current cell afterwards: they are not consumed.
  Key(VK_DOWN);
  EXPECT_EQ(form().DGMain.Row(), 7);

  // The current row scrolled out of view: neither key does anything.
  Forget();
  for (int i = 0; i < 3; ++i) PostMessageA(grid(), WM_VSCROLL, SB_PAGEDOWN, 0);
  Pump();
  const RECT r = Cell(1, 7);
  ASSERT_TRUE(r.left == 0 && r.top == 0);
  Key(VK_RETURN);
  Key(VK_F2);
  EXPECT_TRUE(seam_.shell_calls.empty());
  EXPECT_TRUE(seam_.boxes.empty());
  EXPECT_FALSE(form().Model().Modified());
}

TEST_F(MainLaunchTest, TheOutcomesOfALaunchAndTheMarkersTheyLeave) {
  OpenWithGroup(korvane::kModeRegistration);
  const auto launch = [&](int n) {
    Press(WM_LBUTTONDOWN, CellPoint(0, n));
    Release(WM_LBUTTONUP, CellPoint(0, n));
  };
  // Empty path: no marker, silently.
  launch(3);
  EXPECT_EQ(Marker(3), korvane::PathMarker::NoPath);
  EXPECT_TRUE(seam_.boxes.empty());
  EXPECT_TRUE(seam_.shell_calls.empty());

  // A missing file and a folder: marked missing and the information box, with
  // the button shown sunken while the box is up; nothing started.
  int pressed_in_box = 0;
  COLORREF corner_in_box = 0;
  seam_.on_box = [&] {
    pressed_in_box = form().Marks().pressed_row;
    form().DGMain.Repaint();
    HDC dc = GetDC(grid());
    corner_in_box = GetPixel(dc, Cell(0, pressed_in_box).left, Cell(0, pressed_in_box).top);
    ReleaseDC(grid(), dc);
  };
  launch(2);
  EXPECT_EQ(Marker(2), korvane::PathMarker::Missing);
  EXPECT_EQ(pressed_in_box, 2);
  EXPECT_EQ(Hex(corner_in_box), Hex(kGray));
  ASSERT_EQ(seam_.boxes.size(), 1u);
  EXPECT_EQ(seam_.boxes[0].text, kMissingFile);
  EXPECT_EQ(seam_.boxes[0].caption, "Korvane");
  EXPECT_EQ(seam_.boxes[0].flags & (MB_ICONMASK | MB_TYPEMASK), static_cast<UINT>(MB_ICONINFORMATION | MB_OK));
  launch(4);
  EXPECT_EQ(Marker(4), korvane::PathMarker::Missing);
  EXPECT_EQ(BoxTexts(), (Files{kMissingFile, kMissingFile}));
  EXPECT_TRUE(seam_.shell_calls.empty());
  seam_.on_box = nullptr;
  Forget();

  // The shell's answer taken as an unsigned number: below 32 is a failure
  // (the two-line box), the file was there so it is marked found anyway.
  for (INT_PTR result : {INT_PTR{31}, INT_PTR{0}, INT_PTR{32}, INT_PTR{-1}}) {
    seam_.shell_result = result;
    launch(1);
  }
  EXPECT_EQ(BoxTexts(), (Files{kLaunchFailed, kLaunchFailed}));
  EXPECT_EQ(Launched().size(), 4u);
  EXPECT_EQ(Marker(1), korvane::PathMarker::Found);
  seam_.shell_result = 42;
  Forget();

  // A file gone since loading: the red cross; back again: the blue ring.
  ASSERT_EQ(Marker(5), korvane::PathMarker::Found);
  ASSERT_TRUE(DeleteFileW(ui::Wide(later_).c_str()));
  launch(5);
  EXPECT_EQ(Marker(5), korvane::PathMarker::Missing);
  EXPECT_EQ(BoxTexts(), (Files{kMissingFile}));
  auto p = PaintGrid();
  EXPECT_EQ(Hex(p->at(Cell(0, 5).left + 19, Cell(0, 5).top + 19)), Hex(kRed));
  folder_.Write("後で消す.txt");
  launch(5);
  EXPECT_EQ(Marker(5), korvane::PathMarker::Found);
  EXPECT_EQ(Launched(), (Files{later_}));
  p = PaintGrid();
  EXPECT_EQ(Hex(p->at(Cell(0, 5).left + 27, Cell(0, 5).top + 19)), Hex(kBlue));
  EXPECT_FALSE(form().Model().Modified());

  // A launch leaves a set flag set, too.
  Click(CellPoint(1, 6));
  Key(VK_DELETE);
  ASSERT_TRUE(form().Model().Modified());
  launch(1);
  EXPECT_TRUE(form().Model().Modified());
}

TEST_F(MainLaunchTest, ARealLaunchStartsTheFileWithNoArguments) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring probe = self;
  probe.resize(probe.rfind(L'\\') + 1);
  probe += L"launch_probe.exe";
  // A name code page 932 lacks, stored relative to the exe's folder (the
  // data folder): tested and started where the exe is.
  const std::string target = folder_.path() + "起動確認 𠮷.exe";
  ASSERT_TRUE(CopyFileW(probe.c_str(), ui::Wide(target).c_str(), FALSE)) << ui::Narrow(probe);
  WriteGroup("日常業務", {{"起動確認", target}, {"相対", ".\\起動確認 𠮷.exe"}});
  Open();
  ClickGroup(0);
  seam_.real_shell = true;
  wchar_t cwd[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, cwd);
  const std::string expected = "args=[]\r\nshow=5\r\nfolder=" + ui::Narrow(cwd) + "\r\n";
  const std::wstring out = ui::Wide(folder_.File("起動確認 𠮷.out"));
  for (int row : {1, 2}) {
    // The first run's answer goes before the second run (the probe may
    // still be ending).
    ASSERT_TRUE(kit::PumpUntil([&] { return DeleteFileW(out.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; }));
    Press(WM_LBUTTONDOWN, CellPoint(0, row));
    Release(WM_LBUTTONUP, CellPoint(0, row));
    ASSERT_TRUE(kit::PumpUntil([&] { return folder_.Read("起動確認 𠮷.out").find("folder=") != std::string::npos; },
                               60000))
        << row;
    EXPECT_EQ(folder_.Read("起動確認 𠮷.out"), expected) << row;
    EXPECT_EQ(Marker(row), korvane::PathMarker::Found) << row;
    ASSERT_EQ(seam_.shell_calls.size(), static_cast<std::size_t>(row));
    EXPECT_EQ(seam_.shell_calls.back().file, target) << "the shell gets the full path";
  }
  EXPECT_EQ(Path(2), ".\\起動確認 𠮷.exe") << "shown as stored";
  EXPECT_TRUE(seam_.boxes.empty());
  EXPECT_FALSE(form().Model().Modified());
}

}  // namespace
}  // namespace kit
