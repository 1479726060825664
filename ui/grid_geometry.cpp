#include "ui/grid_geometry.h"

#include <algorithm>

namespace ui {

void GridAxis::SetCount(int count) {
  sizes_.resize(static_cast<std::size_t>(std::max(count, 0)), default_size_);
  fixed_ = std::min(fixed_, Count());
  first_ = Clamped(first_);
}

void GridAxis::SetFixed(int fixed) {
  fixed_ = std::clamp(fixed, 0, Count());
  first_ = Clamped(first_);
}

void GridAxis::SetDefaultSize(int size) {
  default_size_ = std::max(size, 0);
  std::fill(sizes_.begin(), sizes_.end(), default_size_);
  first_ = Clamped(first_);
}

int GridAxis::Size(int i) const {
  return i >= 0 && i < Count() ? sizes_[static_cast<std::size_t>(i)] : 0;
}

void GridAxis::SetSize(int i, int size) {
  if (i < 0 || i >= Count()) return;
  sizes_[static_cast<std::size_t>(i)] = std::max(size, 0);
  first_ = Clamped(first_);
}

void GridAxis::SetLineWidth(int width) {
  line_ = std::max(width, 0);
  first_ = Clamped(first_);
}

void GridAxis::SetViewport(int length) {
  viewport_ = std::max(length, 0);
  first_ = Clamped(first_);
}

bool GridAxis::SetFirst(int first) {
  const int clamped = Clamped(first);
  if (clamped == first_) return false;
  first_ = clamped;
  return true;
}

int GridAxis::Clamped(int first) const { return std::clamp(first, fixed_, MaxFirst()); }

int GridAxis::MaxFirst() const {
  if (Count() <= fixed_) return fixed_;
  const int room = viewport_ - FixedExtent();
  int t = Count() - 1;
  int used = Extent(t);
  if (used > room) return t;
  while (t > fixed_ && used + Extent(t - 1) <= room) used += Extent(--t);
  return t;
}

bool GridAxis::IsShown(int i) const {
  return (i >= 0 && i < fixed_) || (i >= first_ && i < Count());
}

int GridAxis::FixedExtent() const {
  int extent = 0;
  for (int i = 0; i < fixed_; ++i) extent += Extent(i);
  return extent;
}

int GridAxis::Start(int i) const {
  int pos = 0;
  if (i < fixed_) {
    for (int j = 0; j < i; ++j) pos += Extent(j);
    return pos;
  }
  pos = FixedExtent();
  for (int j = first_; j < i; ++j) pos += Extent(j);
  return pos;
}

bool GridAxis::IsOnScreen(int i) const {
  return IsShown(i) && Size(i) > 0 && Start(i) < viewport_;
}

bool GridAxis::IsWhollyVisible(int i) const {
  return IsShown(i) && Start(i) + Extent(i) <= viewport_;
}

std::vector<int> GridAxis::Visible() const {
  std::vector<int> shown;
  int pos = 0;
  auto take = [&](int i) {
    if (pos >= viewport_) return false;
    shown.push_back(i);
    pos += Extent(i);
    return true;
  };
  for (int i = 0; i < fixed_; ++i)
    if (!take(i)) return shown;
  for (int i = first_; i < Count(); ++i)
    if (!take(i)) return shown;
  return shown;
}

int GridAxis::VisibleEnd() const {
  const std::vector<int> shown = Visible();
  return shown.empty() ? 0 : Start(shown.back()) + Extent(shown.back());
}

int GridAxis::IndexAt(int pos) const {
  if (pos < 0 || pos >= viewport_) return -1;
  for (int i : Visible()) {
    const int start = Start(i);
    if (pos >= start && pos < start + Extent(i)) return i;
  }
  return -1;
}

int GridAxis::PageSize() const {
  int count = 0;
  for (int i = first_; i < Count() && IsWhollyVisible(i); ++i) ++count;
  return std::max(count, 1);
}

int GridAxis::FirstToShowWholly(int i) const {
  if (!IsNormal(i)) return first_;
  if (i < first_) return i;
  if (IsWhollyVisible(i)) return first_;
  // Scroll forward just far enough that the cells from t to i fill the room.
  const int room = viewport_ - FixedExtent();
  int t = i;
  int used = Extent(i);
  while (t - 1 >= fixed_ && used + Extent(t - 1) <= room) used += Extent(--t);
  return Clamped(t);
}

int GridAxis::FirstToReveal(int i) const {
  if (!IsNormal(i) || IsOnScreen(i)) return first_;
  return FirstToShowWholly(i);
}

GridRect GridLayout::CellRect(int col, int row) const {
  if (!cols.IsOnScreen(col) || !rows.IsOnScreen(row)) return {};
  const int x = cols.Start(col);
  const int y = rows.Start(row);
  return {x, y, x + cols.Size(col), y + rows.Size(row)};
}

GridCell GridLayout::CellAt(int x, int y) const { return {cols.IndexAt(x), rows.IndexAt(y)}; }

int GridLayout::ColumnBorderAt(int x, int y, int slop) const {
  const int row = rows.IndexAt(y);
  if (row < 0 || row >= rows.Fixed()) return -1;
  int found = -1;
  for (int c : cols.Visible()) {
    const int line = cols.Start(c) + cols.Size(c);
    if (line >= cols.Viewport()) break;
    if (x >= line - slop && x <= line + cols.LineWidth() - 1 + slop) found = c;
  }
  return found;
}

GridCell GridLayout::FirstsFor(GridCell cell, Reveal how) const {
  if (how == Reveal::Wholly) return {cols.FirstToShowWholly(cell.col), rows.FirstToShowWholly(cell.row)};
  return {cols.FirstToReveal(cell.col), rows.FirstToReveal(cell.row)};
}

std::optional<NavMove> GridLayout::Navigate(GridCell current, NavKey key, bool ctrl) const {
  if (cols.Count() <= cols.Fixed() || rows.Count() <= rows.Fixed()) return std::nullopt;
  const int first_col = cols.Fixed(), last_col = cols.Count() - 1;
  const int first_row = rows.Fixed(), last_row = rows.Count() - 1;
  GridCell to = current;
  GridLayout after = *this;
  switch (key) {
    case NavKey::Up: to.row = std::max(current.row - 1, first_row); break;
    case NavKey::Down: to.row = std::min(current.row + 1, last_row); break;
    case NavKey::Left: to.col = std::max(current.col - 1, first_col); break;
    case NavKey::Right: to.col = std::min(current.col + 1, last_col); break;
    case NavKey::PageUp:
    case NavKey::PageDown: {
      // The page scrolls with the cell, so the cell keeps its place on screen.
      const int page = key == NavKey::PageUp ? -rows.PageSize() : rows.PageSize();
      to.row = std::clamp(current.row + page, first_row, last_row);
      after.rows.SetFirst(rows.First() + page);
      break;
    }
    case NavKey::Home:
      if (ctrl) to.row = first_row;
      else to.col = first_col;
      break;
    case NavKey::End:
      if (ctrl) to.row = last_row;
      else to.col = last_col;
      break;
  }
  if (to == current) return std::nullopt;
  const GridCell firsts = after.FirstsFor(to, Reveal::Wholly);
  return NavMove{to, firsts.col, firsts.row};
}

}  // namespace ui
