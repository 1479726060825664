#pragma once
// Geometry of a grid whose leading fixed rows and columns stay in place while
// the others scroll: where a cell lies on screen, which cell holds a point,
// how far to scroll to show a cell, and where a navigation key goes. Plain
// arithmetic, shared by the draw grid's painting and its hit tests.
#include <optional>
#include <vector>

namespace ui {

// Client coordinates; right and bottom are exclusive.
struct GridRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const GridRect&, const GridRect&) = default;
};

struct GridCell {
  int col = -1, row = -1;
  friend bool operator==(const GridCell&, const GridCell&) = default;
};

// One direction of the grid: the columns across or the rows down. Every cell
// is followed by a grid line. Shown are the fixed cells, then the scrolled
// cells from First() on, until the viewport (the client extent) ends.
class GridAxis {
 public:
  int Count() const { return static_cast<int>(sizes_.size()); }
  void SetCount(int count);  // cells added get the default size
  int Fixed() const { return fixed_; }
  void SetFixed(int fixed);  // at most Count()
  int DefaultSize() const { return default_size_; }
  void SetDefaultSize(int size);  // every cell takes it
  int Size(int i) const;          // 0 for an index out of range
  void SetSize(int i, int size);  // a negative size counts as 0
  int LineWidth() const { return line_; }
  void SetLineWidth(int width);
  int Viewport() const { return viewport_; }
  void SetViewport(int length);

  // The first scrolled cell on screen (the grid's TopRow or LeftCol); kept
  // within [Fixed(), MaxFirst()] by every change.
  int First() const { return first_; }
  bool SetFirst(int first);  // clamped; true when it changed
  // Smallest First() that shows the last cell wholly; the last cell itself
  // when even that one does not fit.
  int MaxFirst() const;
  bool CanScroll() const { return MaxFirst() > fixed_; }

  bool IsNormal(int i) const { return i >= fixed_ && i < Count(); }
  bool IsShown(int i) const;  // fixed, or scrolled at or after First()
  int Start(int i) const;     // client position of a shown cell
  int Extent(int i) const { return Size(i) + line_; }
  int FixedExtent() const;
  // Some pixel of the cell itself (not only its line) is in the viewport.
  bool IsOnScreen(int i) const;
  // The cell and its line lie inside the viewport.
  bool IsWhollyVisible(int i) const;
  // The shown cell whose extent, its line included, holds pos; -1 when none
  // does or pos lies outside the viewport.
  int IndexAt(int pos) const;
  // Shown cells that begin inside the viewport, in screen order.
  std::vector<int> Visible() const;
  // Position just after the line of the last visible cell.
  int VisibleEnd() const;
  // Scrolled cells wholly visible from First() on, at least 1: the page of
  // Page Up/Down and of the scroll bar.
  int PageSize() const;

  // First() that shows cell i wholly with the least scrolling.
  int FirstToShowWholly(int i) const;
  // First() unchanged when any part of cell i is on screen, else as above.
  int FirstToReveal(int i) const;

 private:
  int Clamped(int first) const;
  std::vector<int> sizes_;
  int default_size_ = 24;
  int fixed_ = 0;
  int line_ = 1;
  int viewport_ = 0;
  int first_ = 0;
};

// How a move of the current cell scrolls: keyboard (and wheel) moves show the
// cell wholly; mouse and program moves scroll only a cell wholly out of view,
// so the row under the pointer never shifts between a press and its release.
enum class Reveal { Wholly, IfHidden };

enum class NavKey { Up, Down, Left, Right, PageUp, PageDown, Home, End };

// A navigation result: the new current cell and the first visible column and
// row that go with it.
struct NavMove {
  GridCell target;
  int left_col = 0;
  int top_row = 0;
};

struct GridLayout {
  GridAxis cols;
  GridAxis rows;

  bool IsFixed(int col, int row) const { return col < cols.Fixed() || row < rows.Fixed(); }
  bool IsNormal(GridCell c) const { return cols.IsNormal(c.col) && rows.IsNormal(c.row); }
  // The cell without its lines, not clipped to the client area; (0,0,0,0)
  // when no part of it is on screen.
  GridRect CellRect(int col, int row) const;
  // Column and row under a point (each -1 on its own when none).
  GridCell CellAt(int x, int y) const;
  // Column whose right border lies within slop pixels of x, for a point in
  // the fixed rows; the rightmost such column, or -1.
  int ColumnBorderAt(int x, int y, int slop) const;
  // First visible column and row after `cell` becomes current.
  GridCell FirstsFor(GridCell cell, Reveal how) const;
  // Where a key moves the current cell; nullopt when it stays (at an edge, or
  // no normal cell exists). Page keys move by PageSize() and scroll as far.
  std::optional<NavMove> Navigate(GridCell current, NavKey key, bool ctrl) const;
};

}  // namespace ui
