#pragma once
// The one main-window fixture of the kit, over the shared helpers (data
// folder, fake seam, group files): the main window made in-process and
// driven with posted input, the grid's pixels read back, a slow share, and
// the window made as the program makes it for the tests of its start, end,
// tray and help.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/FR0010MN.h"
#include "common/seam.h"
#include "dialog_support.h"
#include "tests/core/tempdir.h"

namespace kit {

using TempFolder = korvane::testing::TempDir;
using korvane::testing::Entry;
using korvane::testing::GroupFileBytes;

// For its lifetime, drive Q: of the whole process is a share that does not
// answer: every file-existence test there waits until Answer(), then finds
// exactly the paths of `existing`; so does every icon extraction there
// (which then finds no icon). Other paths are tested as usual.
class GatedFileSystem {
 public:
  explicit GatedFileSystem(std::vector<std::string> existing);
  ~GatedFileSystem();
  GatedFileSystem(const GatedFileSystem&) = delete;
  GatedFileSystem& operator=(const GatedFileSystem&) = delete;
  void Answer();
  // Paths asked so far, answered or waiting (in order).
  std::vector<std::string> Asked() const;
  // Paths whose icon was asked for so far.
  std::vector<std::string> IconsAsked() const;
  // Waits until every thread that asked whether a path exists has ended.
  bool AskersEnded(DWORD timeout_ms) const;
};

// A 24-bit top-down bitmap in a memory DC, for painting off the screen.
class Pixels {
 public:
  Pixels(int width, int height);
  HDC dc() const { return surface_.dc(); }
  int width() const { return width_; }
  int height() const { return height_; }
  COLORREF at(int x, int y) const;
  void Fill(COLORREF color);

 private:
  ui::MemorySurface surface_;
  unsigned char* bits_ = nullptr;
  int width_, height_, stride_;
};

std::string Hex(COLORREF c);

// The settings file's bytes as the program writes a fresh one.
std::string SettingsBytes(int left, int top, int width, int height, int mode);

// Whether the shell holds a tray icon with the record's window and id.
bool TrayIconExists(const NOTIFYICONDATAW& record);

// The main window made over a data folder, shown and active.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes group `name` with its entries into the data folder.
  void WriteGroup(const std::string& name, const std::vector<Entry>& entries);
  // Writes the settings (placement, mode) and opens the window.
  void Open(int mode = 0);
  // Destroys the window as the program's end does (FormDestroy).
  void CloseWindow();

  // The window over the folder as it is, made as the program makes it:
  // message boxes owned by the application window, the window the
  // application's main form (owned by the application window). Answers
  // Create(); FormCreate runs inside. As the program, the folder is
  // watched, listed and its settings read before the window is made
  // (reading_ when a test began that reading itself).
  bool CreateAsProgram();
  // Only the boxes owned by the application window, for a test that makes
  // the window itself.
  void BoxesAsProgram();
  // The same, then shown as the run loop shows it and brought to the front.
  void OpenAsProgram();
  HWND main() const { return form_->hwnd(); }
  HWND app() const;
  // Handles messages for up to `ms` and answers whether the quit message
  // came (it is taken: the test's loop owns it).
  bool TakeQuit(int ms = 300);
  // Makes a change: clears the title of entry 1 of the first group.
  void ChangeSomething();

  korvane::TFrmFR0010MN& form() { return *form_; }
  HWND grid() { return form_->DGMain.hwnd(); }
  HWND list() { return form_->LBGroup.hwnd(); }
  HWND editor() { return form_->EdtTitle.hwnd(); }
  const korvane::Group& Current() { return *form_->Model().Current(); }
  std::string Title(int n) { return Current().entries[static_cast<std::size_t>(n - 1)].title; }
  std::string Path(int n) { return Current().entries[static_cast<std::size_t>(n - 1)].path; }
  korvane::PathMarker Marker(int n) { return Current().entries[static_cast<std::size_t>(n - 1)].marker; }

  // The list row of a group (the folder's listing order decides).
  int GroupIndex(const std::string& name);
  // A point inside a cell, grid client coordinates (the middle by default).
  POINT CellPoint(int col, int row, int dx = -1, int dy = -1);
  // The centre of group row `i` of the list box.
  POINT GroupPoint(int i);
  // Clicks a group row with the left button and waits for the grid to show it.
  void ClickGroup(int i);
  // Posted button press and release on the grid.
  void Press(UINT down_msg, POINT at);
  void Release(UINT up_msg, POINT at);
  void Click(POINT at) {
    Press(WM_LBUTTONDOWN, at);
    Release(WM_LBUTTONUP, at);
  }
  // The two clicks of a double click as Windows delivers them, with the
  // system pointer over the point (the handler asks the pointer).
  void DoubleClick(POINT at);
  // A key posted to the window with the focus, then handled.
  void Key(UINT vk);
  void CtrlKey(UINT vk);
  // Typed characters (code page 932 bytes) for the window with the focus.
  void Type(const std::string& bytes);
  // A click on a speed button.
  void ClickButton(HWND button);
  // Handles what is queued; with settle_, also waits for the work off the
  // window's thread (path tests, icons, launches) and its answers.
  void Pump();

  // The whole grid client area painted into a bitmap through the handler.
  std::unique_ptr<Pixels> PaintGrid();
  // One cell of `p` as a rectangle in grid client coordinates.
  RECT Cell(int col, int row) { return form_->DGMain.CellRect(col, row); }

  TempFolder folder_;
  FakeSeam seam_;
  bool settle_ = true;
  bool wait_for_reads_ = true;  // Open returns once every group file is read
  bool as_program_ = false;  // made by CreateAsProgram
  std::unique_ptr<korvane::StartupReading> reading_;
  std::unique_ptr<korvane::TFrmFR0010MN> form_;
};

// Colours of the painting.
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kSilver = RGB(192, 192, 192);
inline constexpr COLORREF kLightGray = RGB(224, 224, 224);
inline constexpr COLORREF kGray = RGB(128, 128, 128);
inline constexpr COLORREF kCurrent = RGB(255, 255, 240);
inline constexpr COLORREF kPathFace = RGB(224, 224, 255);
inline constexpr COLORREF kPathShadow = RGB(128, 128, 192);
inline constexpr COLORREF kHeaderFace = RGB(255, 192, 192);
inline constexpr COLORREF kHeaderShadow = RGB(192, 128, 128);
inline constexpr COLORREF kGroupSelected = RGB(192, 192, 255);
inline constexpr COLORREF kGroupFace = RGB(224, 255, 224);
inline constexpr COLORREF kGroupShadow = RGB(128, 192, 128);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kYellow = RGB(255, 255, 0);

// Pixels of a rectangle of `p` (x0..x1-1, y0..y1-1) that are `color`.
int CountColor(const Pixels& p, const RECT& r, COLORREF color);
// Pixels of a rectangle that are none of `colors`.
int CountOther(const Pixels& p, const RECT& r, std::initializer_list<COLORREF> colors);

}  // namespace kit
