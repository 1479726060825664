#include "ui/grid_geometry.h"

#include <gtest/gtest.h>

#include <ostream>

namespace ui {

void PrintTo(const GridRect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
void PrintTo(const GridCell& c, std::ostream* os) { *os << "(col " << c.col << ", row " << c.row << ")"; }

namespace {

// The entry grid as the launcher sets it up: 3 columns, 21 rows of 40 px,
// one fixed row and column, column 0 40 px wide, 1-px lines, 437 × 353 px of
// client area (457 × 357 outer, less the sunken edge and the scroll bar).
GridLayout EntryGrid() {
  GridLayout g;
  g.cols.SetCount(3);
  g.cols.SetFixed(1);
  g.cols.SetDefaultSize(120);
  g.cols.SetSize(0, 40);
  g.cols.SetSize(1, 197);
  g.cols.SetSize(2, 197);
  g.rows.SetCount(21);
  g.rows.SetFixed(1);
  g.rows.SetDefaultSize(40);
  g.cols.SetViewport(437);
  g.rows.SetViewport(353);
  g.cols.SetFirst(1);
  g.rows.SetFirst(1);
  return g;
}

TEST(GridLayout, CellRectanglesLeaveTheLinesOutAndVanishOffScreen) {
  GridLayout g = EntryGrid();
  EXPECT_EQ(g.CellRect(0, 0), (GridRect{0, 0, 40, 40}));
  EXPECT_EQ(g.CellRect(1, 0), (GridRect{41, 0, 238, 40}));
  EXPECT_EQ(g.CellRect(2, 1), (GridRect{239, 41, 436, 81}));
  // Row 8 starts at 328 and is cut by the client edge at 353: still on
  // screen, and its rectangle is not clipped.
  EXPECT_EQ(g.CellRect(1, 8), (GridRect{41, 328, 238, 368}));
  EXPECT_EQ(g.CellRect(1, 9), GridRect{});
  EXPECT_EQ(g.CellRect(3, 1), GridRect{});
  EXPECT_EQ(g.CellRect(-1, 1), GridRect{});

  // Scrolled to the end: fixed cells stay, rows above the first vanish.
  ASSERT_TRUE(g.rows.SetFirst(14));
  EXPECT_EQ(g.CellRect(0, 0), (GridRect{0, 0, 40, 40}));
  EXPECT_EQ(g.CellRect(1, 1), GridRect{});
  EXPECT_EQ(g.CellRect(1, 13), GridRect{});
  EXPECT_EQ(g.CellRect(0, 14), (GridRect{0, 41, 40, 81}));
  EXPECT_EQ(g.CellRect(2, 20), (GridRect{239, 287, 436, 327}));
}

TEST(GridLayout, PointToCellCountsTheLineAfterEachCell) {
  GridLayout g = EntryGrid();
  EXPECT_EQ(g.CellAt(0, 0), (GridCell{0, 0}));
  EXPECT_EQ(g.CellAt(40, 40), (GridCell{0, 0}));  // the line pixels
  EXPECT_EQ(g.CellAt(41, 41), (GridCell{1, 1}));
  EXPECT_EQ(g.CellAt(238, 81), (GridCell{1, 1}));
  EXPECT_EQ(g.CellAt(239, 82), (GridCell{2, 2}));
  EXPECT_EQ(g.CellAt(436, 352), (GridCell{2, 8}));  // partly visible row
  EXPECT_EQ(g.CellAt(437, 353), (GridCell{-1, -1}));  // outside the client area
  EXPECT_EQ(g.CellAt(-1, 100), (GridCell{-1, 2}));
  g.rows.SetFirst(5);
  EXPECT_EQ(g.CellAt(100, 41).row, 5);
  EXPECT_EQ(g.CellAt(100, 40).row, 0);

  // Columns narrower than the client: nothing beyond the last line.
  g.cols.SetSize(2, 100);
  EXPECT_EQ(g.CellAt(339, 50).col, 2);
  EXPECT_EQ(g.CellAt(340, 50).col, -1);
  // A grid whose rows all fit: nothing below the last row's line.
  g.rows.SetCount(4);
  EXPECT_EQ(g.rows.First(), 1);
  EXPECT_EQ(g.CellAt(50, 163).row, 3);
  EXPECT_EQ(g.CellAt(50, 164).row, -1);
}

TEST(GridLayout, VisibleRowsPageAndScrollLimits) {
  GridLayout g = EntryGrid();
  // 353 px: the header, rows 1-7 whole, row 8 cut.
  EXPECT_EQ(g.rows.PageSize(), 7);
  EXPECT_EQ(g.rows.Visible(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_TRUE(g.rows.IsWhollyVisible(7));
  EXPECT_FALSE(g.rows.IsWhollyVisible(8));
  EXPECT_TRUE(g.rows.IsOnScreen(8));
  EXPECT_FALSE(g.rows.IsOnScreen(9));
  EXPECT_EQ(g.rows.MaxFirst(), 14);
  EXPECT_TRUE(g.rows.CanScroll());
  EXPECT_FALSE(g.cols.CanScroll());

  EXPECT_FALSE(g.rows.SetFirst(0));  // fixed rows never scroll away
  EXPECT_TRUE(g.rows.SetFirst(99));
  EXPECT_EQ(g.rows.First(), 14);
  // A taller client shows everything: the first row snaps back.
  g.rows.SetViewport(21 * 41);
  EXPECT_EQ(g.rows.First(), 1);
  EXPECT_FALSE(g.rows.CanScroll());
  g.rows.SetViewport(21 * 41 - 1);  // the last line cut off
  EXPECT_TRUE(g.rows.CanScroll());
  EXPECT_EQ(g.rows.MaxFirst(), 2);
}

TEST(GridLayout, KeyboardShowsWhollyMouseOnlyWhenHidden) {
  GridLayout g = EntryGrid();
  // Row 8 is cut: a key move scrolls one row, a click leaves it be.
  EXPECT_EQ(g.rows.FirstToShowWholly(8), 2);
  EXPECT_EQ(g.rows.FirstToReveal(8), 1);
  EXPECT_EQ(g.FirstsFor({1, 8}, Reveal::Wholly), (GridCell{1, 2}));
  EXPECT_EQ(g.FirstsFor({1, 8}, Reveal::IfHidden), (GridCell{1, 1}));
  // Wholly out of view below: both bring it to the bottom.
  EXPECT_EQ(g.rows.FirstToReveal(9), 3);
  EXPECT_EQ(g.rows.FirstToShowWholly(20), 14);
  // Above the first row: it becomes the first.
  g.rows.SetFirst(10);
  EXPECT_EQ(g.rows.FirstToReveal(3), 3);
  EXPECT_EQ(g.rows.FirstToShowWholly(3), 3);
  EXPECT_EQ(g.rows.FirstToShowWholly(12), 10);
  // A fixed or nonexistent row never scrolls.
  EXPECT_EQ(g.rows.FirstToShowWholly(0), 10);
  EXPECT_EQ(g.rows.FirstToShowWholly(21), 10);

  // Launcher mode: column 1 fills the client but for its last pixel, where
  // column 2 begins; a cut column is not scrolled to unless by key.
  g.cols.SetSize(1, 394);
  g.cols.SetSize(2, 394);
  EXPECT_TRUE(g.cols.IsOnScreen(2));
  EXPECT_EQ(g.CellRect(2, 10), (GridRect{436, 41, 830, 81}));  // row 10 is first
  EXPECT_EQ(g.CellAt(436, 50).col, 2);
  EXPECT_EQ(g.cols.FirstToShowWholly(2), 2);
  EXPECT_EQ(g.cols.FirstToReveal(2), 1);
  g.cols.SetSize(1, 395);
  EXPECT_EQ(g.CellRect(2, 10), GridRect{});
  EXPECT_EQ(g.cols.FirstToReveal(2), 2);
}

TEST(GridLayout, UnevenSizesWideLinesAndDegenerateGrids) {
  GridLayout g;
  g.rows.SetCount(5);
  g.rows.SetFixed(1);
  g.rows.SetLineWidth(2);
  g.rows.SetDefaultSize(10);
  g.rows.SetSize(2, 50);
  g.rows.SetViewport(60);
  // 0:[0,12) 1:[12,24) 2:[24,76) cut by the viewport at 60.
  EXPECT_EQ(g.rows.Start(2), 24);
  EXPECT_EQ(g.rows.IndexAt(11), 0);
  EXPECT_EQ(g.rows.IndexAt(59), 2);
  EXPECT_EQ(g.rows.PageSize(), 1);
  // Row 2 alone is taller than the room below the header: it is shown from
  // its top, and the last rows fit from row 3 on.
  EXPECT_EQ(g.rows.FirstToShowWholly(2), 2);
  EXPECT_EQ(g.rows.MaxFirst(), 3);
  EXPECT_EQ(g.rows.FirstToShowWholly(4), 3);

  // A zero-height row has no pixel of its own but keeps its line.
  g.rows.SetSize(1, 0);
  EXPECT_FALSE(g.rows.IsOnScreen(1));
  EXPECT_EQ(g.rows.IndexAt(12), 1);
  EXPECT_EQ(g.rows.IndexAt(14), 2);
  g.rows.SetSize(1, -5);
  EXPECT_EQ(g.rows.Size(1), 0);

  // Fixed rows taller than the client: nothing scrolled is on screen.
  g.rows.SetSize(0, 100);
  EXPECT_FALSE(g.rows.IsOnScreen(g.rows.First()));
  EXPECT_EQ(g.rows.IndexAt(59), 0);
  EXPECT_EQ(g.rows.PageSize(), 1);

  // Only fixed rows: no normal cell, no navigation.
  g.rows.SetFixed(5);
  EXPECT_EQ(g.rows.First(), 5);
  EXPECT_FALSE(g.rows.CanScroll());
  g.cols.SetCount(2);
  g.cols.SetFixed(1);
  g.cols.SetViewport(100);
  EXPECT_FALSE(g.IsNormal({1, 4}));
  EXPECT_FALSE(g.Navigate({1, 4}, NavKey::Down, false).has_value());
}

TEST(GridLayout, ColumnBordersAreFoundOnlyInTheHeader) {
  GridLayout g = EntryGrid();
  EXPECT_EQ(g.ColumnBorderAt(40, 10, 2), 0);
  EXPECT_EQ(g.ColumnBorderAt(38, 10, 2), 0);
  EXPECT_EQ(g.ColumnBorderAt(42, 10, 2), 0);
  EXPECT_EQ(g.ColumnBorderAt(37, 10, 2), -1);
  EXPECT_EQ(g.ColumnBorderAt(43, 10, 2), -1);
  EXPECT_EQ(g.ColumnBorderAt(238, 40, 2), 1);  // the header's own line counts
  EXPECT_EQ(g.ColumnBorderAt(238, 41, 2), -1);  // first entry row: no sizing
  // The last border on the client's last pixel can be dragged; one beyond
  // the client cannot.
  EXPECT_EQ(g.ColumnBorderAt(436, 10, 2), 2);
  g.cols.SetViewport(436);
  EXPECT_EQ(g.ColumnBorderAt(435, 10, 2), -1);
  // Narrow columns: the border of the right one wins, so it can be widened.
  g.cols.SetSize(1, 2);
  EXPECT_EQ(g.ColumnBorderAt(42, 10, 2), 1);
}

TEST(GridLayout, NavigationKeys) {
  GridLayout g = EntryGrid();
  auto move = [&](GridCell from, NavKey key, bool ctrl = false) { return g.Navigate(from, key, ctrl); };

  auto down = move({1, 7}, NavKey::Down);
  ASSERT_TRUE(down);
  EXPECT_EQ(down->target, (GridCell{1, 8}));
  EXPECT_EQ(down->top_row, 2);  // the cut row comes wholly into view
  EXPECT_FALSE(move({1, 1}, NavKey::Up));  // the header is never current
  EXPECT_FALSE(move({1, 20}, NavKey::Down));
  EXPECT_FALSE(move({1, 5}, NavKey::Left));
  EXPECT_FALSE(move({2, 5}, NavKey::Right));
  EXPECT_EQ(move({1, 5}, NavKey::Right)->target, (GridCell{2, 5}));

  // Page Down moves the cell and the view by the 7 whole rows.
  auto page = move({1, 3}, NavKey::PageDown);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->target, (GridCell{1, 10}));
  EXPECT_EQ(page->top_row, 8);
  g.rows.SetFirst(14);
  page = move({1, 18}, NavKey::PageDown);
  EXPECT_EQ(page->target, (GridCell{1, 20}));
  EXPECT_EQ(page->top_row, 14);
  page = move({1, 18}, NavKey::PageUp);
  EXPECT_EQ(page->target, (GridCell{1, 11}));
  EXPECT_EQ(page->top_row, 7);
  page = move({1, 3}, NavKey::PageUp);  // current row scrolled away above
  EXPECT_EQ(page->target, (GridCell{1, 1}));
  EXPECT_EQ(page->top_row, 1);

  // Home/End stay in the row; with Ctrl they stay in the column.
  EXPECT_EQ(move({2, 16}, NavKey::Home)->target, (GridCell{1, 16}));
  EXPECT_EQ(move({1, 16}, NavKey::End)->target, (GridCell{2, 16}));
  EXPECT_FALSE(move({1, 16}, NavKey::Home));
  auto top = move({2, 16}, NavKey::Home, true);
  EXPECT_EQ(top->target, (GridCell{2, 1}));
  EXPECT_EQ(top->top_row, 1);
  g.rows.SetFirst(1);
  auto bottom = move({1, 4}, NavKey::End, true);
  EXPECT_EQ(bottom->target, (GridCell{1, 20}));
  EXPECT_EQ(bottom->top_row, 14);
  EXPECT_EQ(bottom->left_col, 1);
}

}  // namespace
}  // namespace ui
