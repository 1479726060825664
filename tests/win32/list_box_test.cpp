// The owner-drawn list box: the click event only for the user's changes,
// the program's row painting, the focus rectangle, mouse presses.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "kit.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/gdi.h"
#include "ui/list_box.h"

namespace {

using kit::Pump;
using kit::PumpUntil;

constexpr COLORREF kRow = RGB(224, 224, 224);
constexpr COLORREF kSelectedRow = RGB(192, 192, 255);

struct ListForm {
  ui::Form form;
  ui::ListBox list;
  std::vector<ui::DrawItemEvent> drawn;
  int clicks = 0;
  std::vector<std::string> names;  // the program's texts of a no_data list

  bool Create(int items, bool no_data = false) {
    if (!kit::MakeForm(form)) return false;
    ui::ListBoxArgs args;
    args.parent = form.hwnd();
    args.bounds = {10, 10, 200, 220};
    args.item_height = 15;
    args.no_data = no_data;
    if (!list.Create(args)) return false;
    list.SetItemHeight(41);
    for (int i = 0; i < items; ++i) names.push_back("業務" + std::to_string(i));
    if (no_data) {
      list.item_text = [this](int i) { return names.at(static_cast<std::size_t>(i)); };
      list.SetCount(items);
    } else {
      for (const std::string& name : names) list.AddItem(name);
    }
    list.on_click = [this] { ++clicks; };
    list.on_draw_item = [this](const ui::DrawItemEvent& e) {
      drawn.push_back(e);
      ui::UniqueBrush brush(CreateSolidBrush(e.selected ? kSelectedRow : kRow));
      FillRect(e.dc, &e.rect, brush.get());
    };
    return true;
  }
  POINT RowCentre(int index) const {
    const RECT r = list.ItemRect(index);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
};

TEST(ListBox, ClickEventOnlyForSelectionChangesByTheUser) {
  ListForm f;
  ASSERT_TRUE(f.Create(4));
  f.list.SetItemIndex(1);  // the program's change
  f.list.SetItem(2, "改名");
  f.list.DeleteItem(3);
  f.list.AddItem("追加");
  Pump();
  EXPECT_EQ(f.clicks, 0);
  EXPECT_EQ(f.list.ItemIndex(), 1);
  EXPECT_EQ(f.list.Item(2), "改名");

  const POINT p = f.RowCentre(2);
  kit::PostButton(f.list.hwnd(), WM_LBUTTONDOWN, p.x, p.y);
  ASSERT_TRUE(PumpUntil([&] { return f.clicks == 1; }));
  EXPECT_EQ(f.list.ItemIndex(), 2);

  SetFocus(f.list.hwnd());
  kit::PostKey(f.list.hwnd(), VK_DOWN);
  ASSERT_TRUE(PumpUntil([&] { return f.clicks == 2; }));
  EXPECT_EQ(f.list.ItemIndex(), 3);
  f.list.SetItemIndex(0);
  Pump();
  EXPECT_EQ(f.clicks, 2);
}

TEST(ListBox, MouseDownReportsButtonAndPointAndTheRightButtonLeavesTheSelection) {
  ListForm f;
  ASSERT_TRUE(f.Create(3));
  f.list.SetItemIndex(0);
  std::vector<ui::MouseEvent> presses;
  f.list.on_mouse_down = [&](const ui::MouseEvent& e) { presses.push_back(e); };
  kit::PostButton(f.list.hwnd(), WM_RBUTTONDOWN, 30, 100);
  ASSERT_TRUE(PumpUntil([&] { return presses.size() == 1; }));
  EXPECT_EQ(presses[0].button, ui::MouseButton::Right);
  EXPECT_EQ(presses[0].x, 30);
  EXPECT_EQ(presses[0].y, 100);
  EXPECT_EQ(f.list.ItemIndex(), 0);
  EXPECT_EQ(f.clicks, 0);
  kit::PostButton(f.list.hwnd(), WM_LBUTTONDOWN, 20, 50);
  ASSERT_TRUE(PumpUntil([&] { return presses.size() == 2 && f.clicks == 1; }));
  EXPECT_EQ(presses[1].button, ui::MouseButton::Left);
  EXPECT_EQ(f.list.ItemIndex(), 1);

  // Keys reach the key handler first, F10 and Alt keys too; a key it used
  // goes no further (Down would have moved the selection).
  std::vector<std::string> keys;
  f.list.on_key_down = [&](WORD key, unsigned shift) {
    keys.push_back(std::to_string(key) + (shift & ui::kShift ? " shift" : ""));
    return key == VK_DOWN;
  };
  SetFocus(f.list.hwnd());
  PostMessageA(f.list.hwnd(), WM_KEYDOWN, VK_DOWN, 1);
  Pump();
  {
    kit::HeldKey shift(VK_SHIFT);
    PostMessageA(f.list.hwnd(), WM_SYSKEYDOWN, VK_F10, 1);
    Pump();
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"40", "121 shift"}));
  EXPECT_EQ(f.list.ItemIndex(), 1);
  EXPECT_EQ(f.clicks, 1);
  PostMessageA(f.list.hwnd(), WM_KEYDOWN, VK_UP, 1);
  ASSERT_TRUE(PumpUntil([&] { return f.list.ItemIndex() == 0; }));
  EXPECT_EQ(keys.size(), 3u);
}

TEST(ListBox, RowsHaveTheSetHeightAndThePaintingGetsTheSelectedState) {
  ListForm f;
  ASSERT_TRUE(f.Create(3));
  EXPECT_EQ(f.list.ItemHeight(), 41);
  EXPECT_EQ(f.list.ItemRect(1).top, 41);
  SendMessageA(f.list.hwnd(), LB_SETITEMHEIGHT, 0, 41);  // as the program sends it
  f.list.SetItemIndex(1);
  f.drawn.clear();
  ui::RepaintNow(f.list.hwnd());
  ASSERT_GE(f.drawn.size(), 3u);
  for (const auto& e : f.drawn) {
    EXPECT_GE(e.index, 0);
    EXPECT_LT(e.index, 3);
    EXPECT_EQ(e.selected, e.index == 1);
  }

  // No painting while an update is open; one repaint when it ends.
  f.list.BeginUpdate();
  f.drawn.clear();
  f.list.AddItem("x");
  ui::RepaintNow(f.list.hwnd());
  EXPECT_TRUE(f.drawn.empty());
  f.list.EndUpdate();
  UpdateWindow(f.list.hwnd());
  EXPECT_FALSE(f.drawn.empty());
}

// Paints the list into a bitmap through WM_PRINTCLIENT; answers whether the
// border of `r` shows anything but the row colour.
bool BorderMarked(ListForm& f, const RECT& r, COLORREF row) {
  RECT client{};
  GetClientRect(f.list.hwnd(), &client);
  ui::MemorySurface surface;
  EXPECT_TRUE(surface.Create(client.right, client.bottom));
  SendMessageA(f.list.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(surface.dc()), PRF_CLIENT);
  for (int x = r.left; x < r.right; ++x) {
    if (GetPixel(surface.dc(), x, r.top) != row || GetPixel(surface.dc(), x, r.bottom - 1) != row) return true;
  }
  return false;
}

TEST(ListBox, FocusRectangleIsDrawnAfterTheProgramsRowAndTheEmptyListIsHandled) {
  for (const bool no_data : {false, true}) {
  SCOPED_TRACE(no_data ? "no data" : "strings");
  ListForm f;
  ASSERT_TRUE(f.Create(3, no_data));
  ui::Edit elsewhere;  // somewhere else for the focus to go
  ui::EditArgs ea;
  ea.parent = f.form.hwnd();
  ea.bounds = {250, 10, 100, 22};
  ASSERT_TRUE(elsewhere.Create(ea));
  f.list.SetItemIndex(1);
  SetFocus(f.list.hwnd());
  Pump();
  EXPECT_TRUE(BorderMarked(f, f.list.ItemRect(1), kSelectedRow));
  EXPECT_FALSE(BorderMarked(f, f.list.ItemRect(2), kRow));
  bool focused_seen = false;
  for (const auto& e : f.drawn) focused_seen |= e.focused && e.index == 1;
  EXPECT_TRUE(focused_seen);
  SetFocus(elsewhere.hwnd());
  Pump();
  EXPECT_FALSE(BorderMarked(f, f.list.ItemRect(1), kSelectedRow));

  // The empty list with the focus: the program is never asked for row -1.
  f.list.Clear();
  f.drawn.clear();
  SetFocus(f.list.hwnd());
  ui::RepaintNow(f.list.hwnd());
  SetFocus(elsewhere.hwnd());
  Pump();
  for (const auto& e : f.drawn) EXPECT_GE(e.index, 0);
  EXPECT_TRUE(f.drawn.empty());
  }
}

TEST(ListBox, ANoDataListTakesEveryTextFromTheProgram) {
  ListForm f;
  ASSERT_TRUE(f.Create(1000, true));
  EXPECT_EQ(f.list.Count(), 1000);
  EXPECT_EQ(f.list.Item(999), "業務999");
  EXPECT_EQ(f.list.Item(1000), "");
  // Lengths in UTF-16 units, never less than the item data the list
  // copies for LB_GETTEXT.
  EXPECT_EQ(SendMessageW(f.list.hwnd(), LB_GETTEXTLEN, 999, 0), 5);
  EXPECT_EQ(SendMessageW(f.list.hwnd(), LB_GETTEXTLEN, 12, 0), 4);
  EXPECT_EQ(SendMessageA(f.list.hwnd(), LB_GETTEXTLEN, 1000, 0), LB_ERR);
  f.names[3] = "A";
  EXPECT_EQ(SendMessageA(f.list.hwnd(), LB_GETTEXTLEN, 3, 0), static_cast<LRESULT>(sizeof(ULONG_PTR)));

  // Rows come and go by number; the selection follows its row.
  f.list.SetItemIndex(2);
  f.names.insert(f.names.begin() + 1, "Beta");
  f.list.InsertItem(1, "Beta");
  EXPECT_EQ(f.list.ItemIndex(), 3);
  f.names.erase(f.names.begin());
  f.list.DeleteItem(0);
  EXPECT_EQ(f.list.ItemIndex(), 2);
  f.names.push_back("bravo");
  EXPECT_EQ(f.list.AddItem("bravo"), 1000);
  f.names[5] = "改名";
  f.list.SetItem(5, "改名");
  EXPECT_EQ(f.list.Count(), 1001);
  EXPECT_EQ(f.list.Item(5), "改名");
  EXPECT_EQ(f.list.Item(1000), "bravo");

  // A typed letter selects the next row beginning with it, in any case,
  // from the caret on and round, and tells it as a click.
  SetFocus(f.list.hwnd());
  PostMessageW(f.list.hwnd(), WM_CHAR, L'b', 1);
  ASSERT_TRUE(PumpUntil([&] { return f.clicks == 1; }));
  EXPECT_EQ(f.list.ItemIndex(), 1000);
  PostMessageW(f.list.hwnd(), WM_CHAR, L'B', 1);
  ASSERT_TRUE(PumpUntil([&] { return f.clicks == 2; }));
  EXPECT_EQ(f.list.ItemIndex(), 0);
  PostMessageW(f.list.hwnd(), WM_CHAR, L'z', 1);
  Pump();
  EXPECT_EQ(f.clicks, 2);
  EXPECT_EQ(f.list.ItemIndex(), 0);
}

}  // namespace
