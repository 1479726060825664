// Selecting a group in the group list by mouse and keyboard, and the group
// menu on the right button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/settings.h"
#include "kit.h"
#include "ui/wide.h"

namespace kit {
namespace {

// Watches for the popup menu of this thread while a test waits: records
// what it shows and closes it, as a user pressing Escape would.
class MenuWatch {
 public:
  MenuWatch() {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 20, &MenuWatch::Tick);
  }
  ~MenuWatch() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  int seen = 0;
  std::vector<std::string> captions;
  std::vector<bool> enabled;
  POINT top_left{};

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    MenuWatch* self = current_;
    if (!self) return;
    HWND window = FindWindowA("#32768", nullptr);
    if (!window || !IsWindowVisible(window)) return;
    auto menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    if (!menu) return;
    ++self->seen;
    self->captions.clear();
    self->enabled.clear();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[128] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), text, static_cast<int>(std::size(text)), MF_BYPOSITION);
      self->captions.push_back(ui::Narrow(text));
      self->enabled.push_back(!(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)));
    }
    RECT r{};
    GetWindowRect(window, &r);
    self->top_left = {r.left, r.top};
    EndMenu();
  }
  static inline MenuWatch* current_ = nullptr;
  UINT_PTR timer_ = 0;
};

class MainGroupTest : public MainWindowTest {
 protected:
  void WriteThree() {
    WriteGroup("総務", {{"総務の一", ""}});
    WriteGroup("経理", {{"経理の一", ""}});
    WriteGroup("営業", {{"営業の一", ""}});
  }
  // Scrolls the grid down by the keyboard, away from entry 1.
  void MoveDown() {
    for (int i = 0; i < 3; ++i) Key(VK_NEXT);
  }
  void ExpectAtTop() {
    ui::DrawGrid& g = form().DGMain;
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.TopRow(), 1);
    EXPECT_EQ(g.LeftCol(), 1);
    EXPECT_EQ(GetFocus(), grid());
  }
};

TEST_F(MainGroupTest, AClickOrAnArrowKeySelectsTheGroupAndFocusesTheGrid) {
  WriteThree();
  Open();
  EXPECT_FALSE(form().Model().Current());
  const int b = GroupIndex("経理");
  ClickGroup(b);
  EXPECT_EQ(Current().name, "経理");
  EXPECT_EQ(Title(1), "経理の一");
  EXPECT_TRUE(form().DGMain.Enabled());
  auto p = PaintGrid();
  EXPECT_GT(CountColor(*p, Cell(1, 1), kBlack), 10);  // the new group's title is painted

  // Back to the list with Shift+Tab, then the arrow keys.
  {
    kit::HeldKey shift(VK_SHIFT);
    Key(VK_TAB);
  }
  ASSERT_EQ(GetFocus(), list());
  const UINT key = b < 2 ? VK_DOWN : VK_UP;
  const int next = b < 2 ? b + 1 : b - 1;
  Key(key);
  ASSERT_TRUE(kit::PumpUntil([&] { return form().Model().CurrentRow() == next; }));
  EXPECT_EQ(form().LBGroup.ItemIndex(), next);
  EXPECT_EQ(GetFocus(), grid());
  EXPECT_EQ(Current().name, form().Model().GroupAt(static_cast<std::size_t>(next)).name);
  // Selecting changes no entry.
  EXPECT_FALSE(form().Model().Modified());
}

TEST_F(MainGroupTest, SelectingBringsTheGridBackToEntryOneInBothModes) {
  WriteThree();
  for (int mode : {korvane::kModeRegistration, korvane::kModeLauncher}) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    Open(mode);
    ClickGroup(0);
    if (mode == korvane::kModeRegistration) {
      Click(CellPoint(2, 2));
      ASSERT_EQ(form().DGMain.Col(), 2);
    }
    MoveDown();
    ASSERT_GT(form().DGMain.Row(), 10);
    ASSERT_GT(form().DGMain.TopRow(), 5);
    ClickGroup(1);
    ExpectAtTop();

    // Scrolled with the scroll bar only, entry 1 still current; a click on
    // the row already selected scrolls back as well.
    for (int i = 0; i < 3; ++i) PostMessageA(grid(), WM_VSCROLL, SB_PAGEDOWN, 0);
    Pump();
    ASSERT_EQ(form().DGMain.Row(), 1);
    ASSERT_GT(form().DGMain.TopRow(), 5);
    kit::PostButton(list(), WM_LBUTTONDOWN, GroupPoint(1).x, GroupPoint(1).y);
    ASSERT_TRUE(kit::PumpUntil([&] { return form().DGMain.TopRow() == 1; }));
    ExpectAtTop();
    EXPECT_EQ(form().Model().CurrentRow(), 1);
    CloseWindow();
  }
}

TEST_F(MainGroupTest, TheRightButtonOpensTheGroupMenuAtThePointerWithoutSelecting) {
  WriteThree();
  Open();
  {
    // No group selected: only the first item is enabled.
    MenuWatch watch;
    const POINT at = GroupPoint(1);
    PostMessageA(list(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
    ASSERT_TRUE(kit::PumpUntil([&] { return watch.seen > 0; }));
    PostMessageA(list(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    Pump();
    EXPECT_EQ(watch.captions,
              (std::vector<std::string>{"新規業務名作成(&N)\tIns", "業務名称変更(&R)\tF2", "業務名削除(&D)\tDel"}));
    EXPECT_EQ(watch.enabled, (std::vector<bool>{true, false, false}));
    POINT screen = at;
    ClientToScreen(list(), &screen);
    EXPECT_EQ(watch.top_left.x, screen.x);
    EXPECT_EQ(watch.top_left.y, screen.y);
    EXPECT_EQ(form().LBGroup.ItemIndex(), -1);
    EXPECT_FALSE(form().Model().Current());
    EXPECT_FALSE(form().DGMain.Enabled());
  }
  ClickGroup(0);
  {
    // With a selection, over another row and below the last: all enabled,
    // the selection stays where it was.
    MenuWatch watch;
    const RECT last = form().LBGroup.ItemRect(2);
    for (POINT at : {GroupPoint(2), POINT{20, static_cast<LONG>(last.bottom + 30)}}) {
      const int before = watch.seen;
      PostMessageA(list(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
      ASSERT_TRUE(kit::PumpUntil([&] { return watch.seen > before; }));
      PostMessageA(list(), WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
      Pump();
      EXPECT_EQ(watch.enabled, (std::vector<bool>{true, true, true}));
      EXPECT_EQ(form().LBGroup.ItemIndex(), 0);
      EXPECT_EQ(form().Model().CurrentRow(), 0);
    }
  }
  {
    // The left button selects and opens nothing; the menu would have run
    // inside the press.
    MenuWatch watch;
    kit::PostButton(list(), WM_LBUTTONDOWN, GroupPoint(2).x, GroupPoint(2).y);
    ASSERT_TRUE(kit::PumpUntil([&] { return form().Model().CurrentRow() == 2; }));
    Pump();
    EXPECT_EQ(watch.seen, 0);
    // Nor does the middle button.
    kit::PostButton(list(), WM_MBUTTONDOWN, GroupPoint(1).x, GroupPoint(1).y);
    Pump();
    EXPECT_EQ(watch.seen, 0);
  }
  {
    // Shift+F10 and the application key open it at the selected row, all
    // enabled; Shift+F10 as the system key it is.
    MenuWatch watch;
    SetFocus(list());
    const RECT selected = form().LBGroup.ItemRect(2);
    POINT at{selected.left + 8, selected.bottom - 2};
    ClientToScreen(list(), &at);
    {
      kit::HeldKey shift(VK_SHIFT);
      PostMessageA(list(), WM_SYSKEYDOWN, VK_F10, 1);
      ASSERT_TRUE(kit::PumpUntil([&] { return watch.seen == 1; }));
    }
    Key(VK_APPS);
    ASSERT_TRUE(kit::PumpUntil([&] { return watch.seen == 2; }));
    EXPECT_EQ(watch.enabled, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(watch.top_left.x, at.x);
    EXPECT_EQ(watch.top_left.y, at.y);
    EXPECT_EQ(form().LBGroup.ItemIndex(), 2);
    // F10 alone is not one of them.
    PostMessageA(list(), WM_SYSKEYDOWN, VK_F10, 1);
    Pump();
    EXPECT_EQ(watch.seen, 2);
  }
}

}  // namespace
}  // namespace kit
