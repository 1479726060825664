// The draw grid driven the way a user drives it: posted mouse and key
// messages, and SendInput where the system itself must take part (double
// clicks, capture, modifier keys).
#include "ui/drawgrid.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace ui {
namespace {

constexpr int kGridX = 10, kGridY = 10;
constexpr int kHostX = 100, kHostY = 100;
HWND g_next_dlg_ctl_target = nullptr;
int g_next_dlg_ctl_count = 0;

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NEXTDLGCTL) {
    g_next_dlg_ctl_target = hwnd;
    ++g_next_dlg_ctl_count;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

struct WindowDeleter {
  void operator()(HWND hwnd) const { DestroyWindow(hwnd); }
};
using OwnedWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Input from SendInput arrives through the system; wait until it has.
template <class Done>
bool PumpUntil(Done done) {
  const DWORD start = GetTickCount();
  for (;;) {
    Pump();
    if (done()) return true;
    if (GetTickCount() - start > 5000) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
  std::vector<INPUT> in;
  for (auto [vk, down] : keys) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    i.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void SendButtons(std::initializer_list<DWORD> flags) {
  std::vector<INPUT> in;
  for (DWORD f : flags) {
    INPUT i{};
    i.type = INPUT_MOUSE;
    i.mi.dwFlags = f;
    in.push_back(i);
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

// A 3 × 21 grid like the launcher's entry grid, 457 × 357 outer, with a
// button before it and an edit box after it in tab order.
class DrawGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "DrawGridTestHost";
    RegisterClassA(&wc);
    host_.reset(CreateWindowExA(0, wc.lpszClassName, "grid test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, kHostX,
                                kHostY, 700, 420, nullptr, nullptr, wc.hInstance, nullptr));
    ASSERT_TRUE(host_);
    before_ = CreateWindowExA(0, "BUTTON", "before", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 480, 10, 80, 24,
                              host_.get(), nullptr, wc.hInstance, nullptr);
    DrawGridArgs args;
    args.parent = host_.get();
    args.x = kGridX;
    args.y = kGridY;
    args.width = 457;
    args.height = 357;
    args.col_count = 3;
    args.row_count = 21;
    args.default_col_width = 120;
    args.default_row_height = 40;
    ASSERT_TRUE(grid_.Create(args));
    after_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 480, 50, 80, 24,
                             host_.get(), nullptr, wc.hInstance, nullptr);
    // The launcher sizes the columns to fill the client exactly.
    grid_.SetColWidth(0, 40);
    const int half = (457 - ui::DrawGrid::ScrollBarWidth() - 40 - 3 - 4) / 2;
    grid_.SetColWidth(1, half);
    grid_.SetColWidth(2, half);
    grid_.on_select_cell = [this](int col, int row) {
      log_.push_back("select " + std::to_string(col) + "," + std::to_string(row));
      return !refuse_ || !refuse_(col, row);
    };
    grid_.on_mouse_down = [this](MouseButton b, ShiftState s, int x, int y) {
      log_.push_back(std::string("down ") + Name(b) + (s & kDoubleClick ? " double" : ""));
      last_x_ = x;
      last_y_ = y;
    };
    grid_.on_mouse_up = [this](MouseButton b, ShiftState, int x, int y) {
      log_.push_back(std::string("up ") + Name(b));
      last_x_ = x;
      last_y_ = y;
    };
    grid_.on_dbl_click = [this] { log_.push_back("dblclick"); };
    grid_.on_key_down = [this](WORD key, ShiftState) {
      log_.push_back("key " + std::to_string(key) + " at row " + std::to_string(grid_.Row()));
    };
    SetForegroundWindow(host_.get());
    grid_.SetFocus();
    Pump();
    log_.clear();
  }

  static const char* Name(MouseButton b) {
    return b == MouseButton::Left ? "L" : b == MouseButton::Right ? "R" : "M";
  }

  HWND grid() { return grid_.hwnd(); }

  void Post(UINT msg, WPARAM wp, int x, int y) { PostMessageA(grid(), msg, wp, MAKELPARAM(x, y)); }

  // Middle of a cell, in grid client coordinates.
  POINT Centre(int col, int row) {
    const RECT r = grid_.CellRect(col, row);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  void Click(int x, int y) {
    Post(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    Post(WM_LBUTTONUP, 0, x, y);
    Pump();
  }

  void Key(WORD vk) {
    PostMessageA(grid(), WM_KEYDOWN, vk, 1);
    PostMessageA(grid(), WM_KEYUP, vk, 0xC0000001);
    Pump();
  }

  // Moves the system pointer to a point of the grid's client area.
  void PointerTo(int x, int y) {
    POINT pt{x, y};
    ClientToScreen(grid(), &pt);
    SetCursorPos(pt.x, pt.y);
    Pump();
  }

  bool Logged(const std::string& what) const {
    for (const auto& e : log_)
      if (e == what) return true;
    return false;
  }

  OwnedWindow host_;
  HWND before_ = nullptr;
  HWND after_ = nullptr;
  DrawGrid grid_;
  std::vector<std::string> log_;
  std::function<bool(int, int)> refuse_;
  int last_x_ = 0, last_y_ = 0;
};

bool EmptyRect(const RECT& r) { return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0; }

TEST_F(DrawGridTest, GeometryOfTheEntryGrid) {
  // Sunken edge of 2 px each side, the scroll bar on the right.
  EXPECT_EQ(grid_.Width(), 457);
  EXPECT_EQ(grid_.ClientHeight(), 353);
  EXPECT_EQ(grid_.ClientWidth(), 457 - 4 - DrawGrid::ScrollBarWidth());
  EXPECT_TRUE(GetWindowLongA(grid(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(grid_.Col(), 1);
  EXPECT_EQ(grid_.Row(), 1);
  EXPECT_EQ(grid_.TopRow(), 1);
  EXPECT_EQ(grid_.VisibleRowCount(), 7);
  const RECT header = grid_.CellRect(0, 0);
  EXPECT_EQ(header.right, 40);
  EXPECT_EQ(header.bottom, 40);
  const RECT cut = grid_.CellRect(1, 8);
  EXPECT_EQ(cut.top, 328);
  EXPECT_EQ(cut.bottom, 368);  // not clipped to the client
  EXPECT_TRUE(EmptyRect(grid_.CellRect(1, 9)));
  EXPECT_EQ(grid_.MouseToCell(40, 40), (GridCell{0, 0}));
  EXPECT_EQ(grid_.MouseToCell(41, 352), (GridCell{1, 8}));
  EXPECT_EQ(grid_.MouseToCell(41, 353).row, -1);
  EXPECT_EQ(grid_.MouseToCell(-1, 5).col, -1);

  // Tall enough for every row: no scroll bar.
  grid_.SetTopRow(5);
  grid_.SetBounds(kGridX, kGridY, 457, 21 * 41 + 4);
  EXPECT_FALSE(GetWindowLongA(grid(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(grid_.TopRow(), 1);
  EXPECT_EQ(grid_.ClientWidth(), 457 - 4);
}

TEST_F(DrawGridTest, KeysNavigateAfterTheKeyHandler) {
  Key(VK_DOWN);
  EXPECT_EQ(grid_.Row(), 2);
  // The handler saw the key before the grid moved, and the move was asked.
  EXPECT_EQ(log_, (std::vector<std::string>{"key 40 at row 1", "select 1,2"}));
  Key(VK_RIGHT);
  EXPECT_EQ(grid_.Col(), 2);
  Key(VK_RIGHT);  // at the edge: nothing to ask
  EXPECT_EQ(grid_.Col(), 2);
  EXPECT_FALSE(Logged("select 3,2"));
  Key(VK_HOME);
  EXPECT_EQ(grid_.Col(), 1);
  Key(VK_END);
  EXPECT_EQ(grid_.Col(), 2);
  Key(VK_LEFT);
  Key(VK_UP);
  Key(VK_UP);  // the header is never current
  EXPECT_EQ(grid_.Col(), 1);
  EXPECT_EQ(grid_.Row(), 1);

  // Enter, F2 and Delete reach the handler and move nothing.
  log_.clear();
  for (WORD vk : {VK_RETURN, VK_F2, VK_DELETE}) Key(vk);
  EXPECT_EQ(log_, (std::vector<std::string>{"key 13 at row 1", "key 113 at row 1", "key 46 at row 1"}));

  // Down to the cut row 8 brings it wholly into view.
  for (int i = 0; i < 6; ++i) Key(VK_DOWN);
  EXPECT_EQ(grid_.Row(), 7);
  EXPECT_EQ(grid_.TopRow(), 1);
  Key(VK_DOWN);
  EXPECT_EQ(grid_.Row(), 8);
  EXPECT_EQ(grid_.TopRow(), 2);
  EXPECT_LE(grid_.CellRect(1, 8).bottom + 1, grid_.ClientHeight());

  // Page Down and Up by the seven whole rows, the view along.
  Key(VK_NEXT);
  EXPECT_EQ(grid_.Row(), 15);
  EXPECT_EQ(grid_.TopRow(), 9);
  Key(VK_NEXT);
  EXPECT_EQ(grid_.Row(), 20);
  EXPECT_EQ(grid_.TopRow(), 14);
  Key(VK_PRIOR);
  EXPECT_EQ(grid_.Row(), 13);
  EXPECT_EQ(grid_.TopRow(), 7);

  // Alt keys reach only the sys-key handler: one it used moves nothing and
  // goes no further; the key handler never sees either.
  std::vector<std::string> sys;
  grid_.on_sys_key_down = [&](WORD key, ShiftState s) {
    sys.push_back(std::to_string(key) + (s & kAlt ? " alt" : ""));
    return key == VK_UP;
  };
  log_.clear();
  BYTE state[256] = {};
  GetKeyboardState(state);
  state[VK_MENU] |= 0x80;  // Alt held, as the handler reads it
  SetKeyboardState(state);
  PostMessageA(grid(), WM_SYSKEYDOWN, VK_UP, 1 | (1u << 29));
  PostMessageA(grid(), WM_SYSKEYDOWN, VK_DOWN, 1 | (1u << 29));
  Pump();
  state[VK_MENU] &= 0x7F;
  SetKeyboardState(state);
  EXPECT_EQ(sys, (std::vector<std::string>{"38 alt", "40 alt"}));
  EXPECT_EQ(grid_.Row(), 13);
  EXPECT_TRUE(log_.empty());
  grid_.on_sys_key_down = nullptr;
}

TEST_F(DrawGridTest, CtrlHomeAndEndGoToTheFirstAndLastRow) {
  ASSERT_EQ(GetForegroundWindow(), host_.get());
  grid_.SetCol(2);
  SendKeys({{VK_CONTROL, true}, {VK_END, true}, {VK_END, false}, {VK_CONTROL, false}});
  ASSERT_TRUE(PumpUntil([&] { return grid_.Row() != 1; }));
  EXPECT_EQ(grid_.Row(), 20);
  EXPECT_EQ(grid_.Col(), 2);
  EXPECT_EQ(grid_.TopRow(), 14);
  // Row 1 is scrolled away: its rectangle is empty, which callers test as
  // "left 0 and top 0".
  EXPECT_TRUE(EmptyRect(grid_.CellRect(1, 1)));
  SendKeys({{VK_CONTROL, true}, {VK_HOME, true}, {VK_HOME, false}, {VK_CONTROL, false}});
  ASSERT_TRUE(PumpUntil([&] { return grid_.Row() != 20; }));
  EXPECT_EQ(grid_.Row(), 1);
  EXPECT_EQ(grid_.Col(), 2);
  EXPECT_EQ(grid_.TopRow(), 1);
}

TEST_F(DrawGridTest, SelectCellRefusalLeavesEverythingAsItWas) {
  // The launcher's rule in launcher mode: column 2 may never become current.
  refuse_ = [](int col, int) { return col == 2; };
  Key(VK_RIGHT);
  Key(VK_END);
  EXPECT_EQ(grid_.Col(), 1);
  EXPECT_TRUE(Logged("select 2,1"));
  // A click on column 2 moves nothing, but the mouse handler still runs.
  log_.clear();
  const POINT p = Centre(2, 4);
  Click(p.x, p.y);
  EXPECT_EQ(log_, (std::vector<std::string>{"select 2,4", "down L", "up L"}));
  EXPECT_EQ(grid_.Row(), 1);
  EXPECT_FALSE(grid_.SetCol(2));
  EXPECT_EQ(grid_.Col(), 1);

  // A refused move does not scroll either.
  refuse_ = [](int, int row) { return row >= 8; };
  Key(VK_NEXT);
  EXPECT_EQ(grid_.Row(), 1);
  EXPECT_EQ(grid_.TopRow(), 1);
  EXPECT_FALSE(grid_.SetRow(15));
  EXPECT_EQ(grid_.TopRow(), 1);
  // The wheel asks as the arrows do.
  grid_.SetRow(7);
  PostMessageA(grid(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  Pump();
  EXPECT_EQ(grid_.Row(), 7);
  EXPECT_TRUE(Logged("select 1,8"));
}

TEST_F(DrawGridTest, MouseAndProgramMovesDoNotScrollACutRow) {
  // Row 8 is cut by the bottom edge: clicking it keeps the view, so the row
  // under the pointer stays the same for the release and a second click.
  Click(100, 350);
  EXPECT_EQ(grid_.Row(), 8);
  EXPECT_EQ(grid_.TopRow(), 1);
  EXPECT_EQ(grid_.MouseToCell(100, 350).row, 8);
  EXPECT_EQ(log_, (std::vector<std::string>{"select 1,8", "down L", "up L"}));
  EXPECT_TRUE(grid_.SetRow(7));
  EXPECT_TRUE(grid_.SetRow(8));
  EXPECT_EQ(grid_.TopRow(), 1);

  // A row wholly out of view is brought in by the program.
  EXPECT_TRUE(grid_.SetRow(15));
  EXPECT_EQ(grid_.TopRow(), 9);
  EXPECT_TRUE(grid_.SetRow(2));
  EXPECT_EQ(grid_.TopRow(), 2);

  // Setting the first row scrolls and leaves the current cell.
  grid_.SetTopRow(10);
  EXPECT_EQ(grid_.TopRow(), 10);
  EXPECT_EQ(grid_.Row(), 2);
  EXPECT_TRUE(EmptyRect(grid_.CellRect(grid_.Col(), grid_.Row())));
  grid_.SetTopRow(99);
  EXPECT_EQ(grid_.TopRow(), 14);
  // The next key brings the current cell back into view.
  Key(VK_DOWN);
  EXPECT_EQ(grid_.Row(), 3);
  EXPECT_EQ(grid_.TopRow(), 3);
}

TEST_F(DrawGridTest, ScrollBarScrollsByRowsWithoutMovingTheCell) {
  auto pos = [&] {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(grid(), SB_VERT, &si);
    return si;
  };
  EXPECT_EQ(pos().nPage, 7u);
  EXPECT_EQ(pos().nMax - static_cast<int>(pos().nPage) + 1, 13);  // thumb range: top rows 1 to 14
  PostMessageA(grid(), WM_VSCROLL, SB_LINEDOWN, 0);
  Pump();
  EXPECT_EQ(grid_.TopRow(), 2);
  PostMessageA(grid(), WM_VSCROLL, SB_PAGEDOWN, 0);
  Pump();
  EXPECT_EQ(grid_.TopRow(), 9);
  EXPECT_EQ(pos().nPos, 8);
  PostMessageA(grid(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 4), 0);
  Pump();
  EXPECT_EQ(grid_.TopRow(), 5);
  PostMessageA(grid(), WM_VSCROLL, SB_BOTTOM, 0);
  PostMessageA(grid(), WM_VSCROLL, SB_LINEDOWN, 0);
  Pump();
  EXPECT_EQ(grid_.TopRow(), 14);
  PostMessageA(grid(), WM_VSCROLL, SB_PAGEUP, 0);
  Pump();
  EXPECT_EQ(grid_.TopRow(), 7);
  EXPECT_EQ(grid_.Row(), 1);
  EXPECT_TRUE(log_.empty());
}

TEST_F(DrawGridTest, WheelMovesOneRowPerNotch) {
  for (int i = 0; i < 8; ++i) PostMessageA(grid(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  Pump();
  EXPECT_EQ(grid_.Row(), 9);
  EXPECT_EQ(grid_.TopRow(), 3);  // like the arrow keys: wholly in view
  PostMessageA(grid(), WM_MOUSEWHEEL, MAKEWPARAM(0, 2 * WHEEL_DELTA), 0);
  // Half notches add up.
  PostMessageA(grid(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
  PostMessageA(grid(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0);
  Pump();
  EXPECT_EQ(grid_.Row(), 6);
}

TEST_F(DrawGridTest, ButtonsOtherThanLeftAndFixedCellsMoveNothing) {
  SetFocus(after_);
  const POINT p = Centre(2, 5);
  Post(WM_RBUTTONDOWN, MK_RBUTTON, p.x, p.y);
  Post(WM_RBUTTONUP, 0, p.x, p.y);
  Pump();
  EXPECT_EQ(GetFocus(), grid());  // any button takes the focus
  Post(WM_MBUTTONDOWN, MK_MBUTTON, p.x, p.y);
  Post(WM_MBUTTONUP, 0, p.x, p.y);
  const POINT button = Centre(0, 5);
  Post(WM_LBUTTONDOWN, MK_LBUTTON, button.x, button.y);
  Post(WM_LBUTTONUP, 0, button.x, button.y);
  Pump();
  EXPECT_EQ(grid_.Col(), 1);
  EXPECT_EQ(grid_.Row(), 1);
  EXPECT_EQ(log_, (std::vector<std::string>{"down R", "up R", "down M", "up M", "down L", "up L"}));
  EXPECT_EQ(last_x_, button.x);
  EXPECT_EQ(last_y_, button.y);
}

TEST_F(DrawGridTest, LeftPressMovesTheCellBeforeTheMouseHandler) {
  SetFocus(after_);
  int row_in_handler = -1;
  HWND focus_in_handler = nullptr;
  grid_.on_mouse_down = [&](MouseButton, ShiftState, int, int) {
    row_in_handler = grid_.Row();
    focus_in_handler = GetFocus();
  };
  const POINT p = Centre(1, 6);
  Click(p.x, p.y);
  EXPECT_EQ(row_in_handler, 6);
  EXPECT_EQ(focus_in_handler, grid());
}

HWND g_refuse_focus_to = nullptr;
LRESULT CALLBACK RefuseFocus(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_SETFOCUS && reinterpret_cast<HWND>(wp) == g_refuse_focus_to) return 1;
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(DrawGridTest, PressIsDroppedWhenTheFocusCannotBeTaken) {
  SetFocus(after_);
  g_refuse_focus_to = grid();
  HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseFocus, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  const POINT p = Centre(1, 4);
  Click(p.x, p.y);
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(GetFocus(), after_);
  EXPECT_EQ(grid_.Row(), 1);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(log_, (std::vector<std::string>{"up L"}));  // the release alone is still told
}

TEST_F(DrawGridTest, ColumnBorderDragInTheHeaderResizes) {
  // The sizing cursor over a border of the header, the arrow elsewhere.
  PointerTo(40, 20);
  SendMessageA(grid(), WM_SETCURSOR, reinterpret_cast<WPARAM>(grid()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_SIZEWE));
  PointerTo(100, 20);
  SendMessageA(grid(), WM_SETCURSOR, reinterpret_cast<WPARAM>(grid()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), LoadCursorA(nullptr, IDC_SIZEWE));
  // The real pointer rests where the drag ends: a late move event of it, on
  // a busy machine, then agrees with the posted ones.
  PointerTo(71, 25);
  Pump();

  const int title_width = grid_.ColWidth(1);
  // The real pointer where the posted drag ends: a move of its own that
  // Wine delivers late (from the warp above) then agrees with the drag.
  PointerTo(71, 25);
  Post(WM_LBUTTONDOWN, MK_LBUTTON, 41, 20);  // one pixel right of the line
  Post(WM_MOUSEMOVE, MK_LBUTTON, 60, 20);
  Post(WM_MOUSEMOVE, MK_LBUTTON, 71, 25);
  Pump();
  EXPECT_EQ(grid_.ColWidth(0), 70);
  Post(WM_LBUTTONUP, 0, 71, 25);
  Post(WM_MOUSEMOVE, 0, 200, 25);  // the drag is over
  Pump();
  EXPECT_EQ(grid_.ColWidth(0), 70);
  EXPECT_EQ(grid_.ColWidth(1), title_width);
  EXPECT_EQ(grid_.Row(), 1);
  EXPECT_EQ(log_, (std::vector<std::string>{"down L", "up L"}));
  EXPECT_EQ(grid_.CellRect(1, 1).left, 71);

  // Not narrower than the minimum; the title column's border follows column 0.
  const int border = 71 + title_width;
  Post(WM_LBUTTONDOWN, MK_LBUTTON, border, 5);
  Post(WM_MOUSEMOVE, MK_LBUTTON, -300, 5);
  Post(WM_LBUTTONUP, 0, -300, 5);
  Pump();
  EXPECT_EQ(grid_.ColWidth(1), 8);

  // Rows are never resized, and borders below the header do nothing.
  Post(WM_LBUTTONDOWN, MK_LBUTTON, 70, 100);
  Post(WM_MOUSEMOVE, MK_LBUTTON, 120, 100);
  Post(WM_LBUTTONUP, 0, 120, 100);
  Pump();
  EXPECT_EQ(grid_.ColWidth(0), 70);
  EXPECT_EQ(grid_.RowHeight(2), 40);
}

TEST_F(DrawGridTest, ReleaseOutsideTheGridReachesTheMouseUpHandler) {
  const POINT p = Centre(1, 3);
  PointerTo(p.x, p.y);
  SendButtons({MOUSEEVENTF_LEFTDOWN});
  ASSERT_TRUE(PumpUntil([&] { return Logged("down L"); }));
  EXPECT_EQ(GetCapture(), grid());
  EXPECT_EQ(grid_.Row(), 3);
  // Over the button beside the grid, then released there.
  PointerTo(grid_.ClientWidth() + 60, p.y);
  SendButtons({MOUSEEVENTF_LEFTUP});
  ASSERT_TRUE(PumpUntil([&] { return Logged("up L"); }));
  EXPECT_GT(last_x_, grid_.ClientWidth());
  EXPECT_EQ(GetCapture(), nullptr);

  // A modal loop starting (WM_CANCELMODE) ends the capture too, and a drag
  // in progress with it. The real pointer rests on the border first, so a
  // late move event of it cannot take part in the drag.
  PointerTo(40, 20);
  Pump();
  Post(WM_LBUTTONDOWN, MK_LBUTTON, 40, 20);
  Pump();
  ASSERT_EQ(GetCapture(), grid());
  SendMessageA(grid(), WM_CANCELMODE, 0, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  Post(WM_MOUSEMOVE, MK_LBUTTON, 90, 20);
  Pump();
  EXPECT_EQ(grid_.ColWidth(0), 40);

  // Moves reach the move handler with the buttons held, beyond the grid
  // too while it holds the capture; not while a column is being sized.
  std::vector<std::string> moves;
  grid_.on_mouse_move = [&](MouseButton, ShiftState s, int x, int y) {
    moves.push_back(std::to_string(x) + "," + std::to_string(y) + (s & kLeftButton ? " L" : ""));
  };
  Post(WM_MOUSEMOVE, 0, 70, 90);
  Post(WM_MOUSEMOVE, MK_LBUTTON, -30, 500);
  Pump();
  EXPECT_EQ(moves, (std::vector<std::string>{"70,90", "-30,500 L"}));
  Post(WM_LBUTTONDOWN, MK_LBUTTON, 40, 20);
  Post(WM_MOUSEMOVE, MK_LBUTTON, 60, 20);
  Post(WM_LBUTTONUP, 0, 60, 20);
  Pump();
  EXPECT_EQ(moves.size(), 2u);
  EXPECT_EQ(grid_.ColWidth(0), 60);
  grid_.on_mouse_move = nullptr;
}

TEST_F(DrawGridTest, DoubleClickRunsItsHandlerThenTheMouseDownHandler) {
  // The double-click handler opens an editor, as the launcher's does.
  grid_.on_dbl_click = [this] {
    log_.push_back("dblclick");
    SetFocus(after_);
  };
  const POINT p = Centre(1, 5);
  PointerTo(p.x, p.y);
  SendButtons({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
  ASSERT_TRUE(PumpUntil([&] { return log_.size() >= 6; }));
  EXPECT_EQ(log_, (std::vector<std::string>{"select 1,5", "down L", "up L", "dblclick", "down L double", "up L"}));
  EXPECT_EQ(GetFocus(), after_);  // nothing took the focus back
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(DrawGridTest, DisabledGridTakesNoInputAndNoFocus) {
  ASSERT_TRUE(grid_.Focused());
  grid_.SetEnabled(false);
  // The form takes the focus (Windows would leave it on the disabled grid,
  // Wine would drop it).
  EXPECT_EQ(GetFocus(), host_.get());
  const POINT p = Centre(2, 4);
  Click(p.x, p.y);
  Post(WM_RBUTTONDOWN, MK_RBUTTON, p.x, p.y);
  Post(WM_LBUTTONDBLCLK, MK_LBUTTON, p.x, p.y);
  Key(VK_DOWN);
  PostMessageA(grid(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  Pump();
  grid_.SetFocus();
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(grid_.Row(), 1);
  EXPECT_EQ(grid_.Col(), 1);
  EXPECT_FALSE(grid_.Focused());
  EXPECT_EQ(GetCapture(), nullptr);
  // Painting goes on.
  int painted = 0;
  grid_.on_draw_cell = [&](HDC, int, int, const RECT&, CellState) { ++painted; };
  grid_.Repaint();
  EXPECT_GT(painted, 0);

  grid_.SetEnabled(true);
  Click(p.x, p.y);
  EXPECT_EQ(grid_.Row(), 4);
  EXPECT_TRUE(grid_.Focused());
}

TEST_F(DrawGridTest, TabMovesTheFocusOutInTabOrder) {
  g_next_dlg_ctl_count = 0;
  Key(VK_TAB);
  EXPECT_EQ(GetFocus(), after_);
  EXPECT_EQ(g_next_dlg_ctl_target, host_.get());  // the form was asked first
  EXPECT_EQ(log_, (std::vector<std::string>{"key 9 at row 1"}));
  grid_.SetFocus();
  SendKeys({{VK_SHIFT, true}, {VK_TAB, true}, {VK_TAB, false}, {VK_SHIFT, false}});
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() != grid(); }));
  EXPECT_EQ(GetFocus(), before_);
  EXPECT_EQ(g_next_dlg_ctl_count, 2);
  // Arrows and characters are the grid's, not the dialog manager's.
  EXPECT_EQ(SendMessageA(grid(), WM_GETDLGCODE, 0, 0) & (DLGC_WANTARROWS | DLGC_WANTCHARS),
            DLGC_WANTARROWS | DLGC_WANTCHARS);
}

struct Call {
  int col, row;
  RECT rect;
  CellState state;
};

TEST_F(DrawGridTest, DrawCellGetsEveryVisibleCellWithItsState) {
  std::vector<Call> calls;
  grid_.on_draw_cell = [&](HDC, int col, int row, const RECT& r, CellState s) { calls.push_back({col, row, r, s}); };
  grid_.SetCol(2);
  grid_.SetRow(3);
  grid_.Repaint();
  ASSERT_EQ(calls.size(), 3u * 9u);  // rows 0-8, the last one cut
  for (const Call& c : calls) {
    SCOPED_TRACE(std::to_string(c.col) + "," + std::to_string(c.row));
    const RECT expected = grid_.CellRect(c.col, c.row);
    EXPECT_TRUE(EqualRect(&c.rect, &expected));
    EXPECT_EQ((c.state & kCellFixed) != 0, c.col == 0 || c.row == 0);
    const bool current = c.col == 2 && c.row == 3;
    EXPECT_EQ(c.state & (kCellSelected | kCellFocused), current ? kCellSelected | kCellFocused : 0u);
  }
  // Without the focus the current cell is still selected, not focused.
  SetFocus(after_);
  calls.clear();
  grid_.Repaint();
  ASSERT_FALSE(calls.empty());
  for (const Call& c : calls) {
    if (c.col == 2 && c.row == 3) {
      EXPECT_EQ(c.state, kCellSelected);
    }
  }
  // A cell moved to is painted again, and the one left.
  calls.clear();
  grid_.SetRow(4);
  UpdateWindow(grid());
  bool old_painted = false, new_painted = false;
  for (const Call& c : calls) {
    if (c.col == 2 && c.row == 3) old_painted = c.state == 0;
    if (c.col == 2 && c.row == 4) new_painted = c.state == kCellSelected;
  }
  EXPECT_TRUE(old_painted);
  EXPECT_TRUE(new_painted);
}

TEST_F(DrawGridTest, GridPaintsOnlyLinesAndTheAreaBeyondTheCells) {
  const COLORREF fixed_color = RGB(200, 0, 0), selected = RGB(0, 200, 0), normal = RGB(255, 255, 0);
  grid_.on_draw_cell = [&](HDC dc, int, int, const RECT& r, CellState s) {
    SetBkColor(dc, s & kCellFixed ? fixed_color : s & kCellSelected ? selected : normal);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  };
  grid_.SetColors(RGB(0, 0, 0), RGB(128, 128, 128), RGB(0, 0, 255));
  grid_.SetColWidth(2, 100);  // leaves room right of the last column
  const int w = grid_.ClientWidth(), h = grid_.ClientHeight();

  MemorySurface surface;
  ASSERT_TRUE(surface.CreateDib(w, h, 32));
  const RECT all{0, 0, w, h};
  grid_.Paint(surface.dc(), all);
  auto at = [&](int x, int y) { return GetPixel(surface.dc(), x, y); };

  const RECT current = grid_.CellRect(1, 1), beside = grid_.CellRect(2, 2);
  EXPECT_EQ(at(0, 0), fixed_color);
  EXPECT_EQ(at(39, 39), fixed_color);
  EXPECT_EQ(at(40, 10), RGB(0, 0, 0));   // line right of the fixed column
  EXPECT_EQ(at(100, 40), RGB(0, 0, 0));  // line below the header
  EXPECT_EQ(at(current.left, current.top), selected);  // the current cell, edge to edge
  EXPECT_EQ(at(current.right - 1, current.bottom - 1), selected);
  EXPECT_EQ(at(current.right, 60), RGB(128, 128, 128));  // between normal cells
  EXPECT_EQ(at(100, current.bottom), RGB(128, 128, 128));
  EXPECT_EQ(at(current.right, current.bottom), RGB(128, 128, 128));  // where the lines cross
  EXPECT_EQ(at(beside.left, beside.top), normal);
  EXPECT_EQ(at(beside.right - 1, beside.top), normal);
  EXPECT_EQ(at(beside.right, beside.top), RGB(128, 128, 128));
  EXPECT_EQ(at(beside.right + 1, beside.top), RGB(0, 0, 255));  // right of the last column
  EXPECT_EQ(at(w - 1, h - 1), RGB(0, 0, 255));
  EXPECT_EQ(at(beside.left, h - 1), normal);  // the cut row reaches the bottom
}

TEST_F(DrawGridTest, AnswersEraseItselfAndStillTakesInput) {
  // Paint covers every pixel, so erasing is answered as done (the class has
  // no brush: left to the default, the answer would be 0).
  const HDC dc = GetDC(grid());
  EXPECT_EQ(SendMessageA(grid(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  ReleaseDC(grid(), dc);
  RedrawWindow(grid(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  const POINT p = Centre(2, 2);
  Click(p.x, p.y);
  EXPECT_EQ(grid_.Row(), 2);
  EXPECT_EQ(grid_.Col(), 2);
}

TEST_F(DrawGridTest, HandlerExceptionsStopAtTheWindowProcedure) {
  std::string reported;
  SetExceptionReporter([&](const std::string& what) { reported = what; });
  grid_.on_key_down = [](WORD, ShiftState) { throw std::runtime_error("disk full"); };
  Key(VK_DOWN);
  EXPECT_EQ(reported, "disk full");
  EXPECT_EQ(grid_.Row(), 1);  // the rest of the message was abandoned
  grid_.on_draw_cell = [](HDC, int, int, const RECT&, CellState) { throw std::runtime_error("no bitmap"); };
  grid_.Repaint();
  EXPECT_EQ(reported, "no bitmap");
  EXPECT_FALSE(GetUpdateRect(grid(), nullptr, FALSE));  // painted out, no endless WM_PAINT
  SetExceptionReporter(nullptr);
}

TEST_F(DrawGridTest, FontIsTheGridsOwnCopy) {
  LOGFONTA lf{};
  lf.lfHeight = -15;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  lstrcpyA(lf.lfFaceName, "MS Gothic");
  HFONT font = CreateFontIndirectA(&lf);
  grid_.SetFont(font);
  DeleteObject(font);  // the caller's handle may go
  ASSERT_NE(grid_.Font(), nullptr);
  EXPECT_NE(grid_.Font(), font);
  LOGFONTA copy{};
  ASSERT_EQ(GetObjectA(grid_.Font(), sizeof copy, &copy), static_cast<int>(sizeof copy));
  EXPECT_EQ(copy.lfHeight, -15);
  EXPECT_EQ(copy.lfCharSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(grid(), WM_GETFONT, 0, 0)), grid_.Font());
}

}  // namespace
}  // namespace ui
