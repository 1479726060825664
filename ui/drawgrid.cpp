#include "ui/drawgrid.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "ui/wide.h"

namespace ui {
namespace {

constexpr const char* kClassName = "ui.DrawGrid";
// Pixels either side of a column border in the fixed row that start a drag.
constexpr int kSizingSlop = 2;

unsigned ButtonBit(MouseButton button) {
  switch (button) {
    case MouseButton::Left: return kLeftButton;
    case MouseButton::Right: return kRightButton;
    case MouseButton::Middle: return kMiddleButton;
  }
  return 0;
}

ShiftState KeyShift() {
  ShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= kShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= kCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= kAlt;
  return shift;
}

ShiftState MouseShift(WPARAM wp) {
  ShiftState shift = 0;
  if (wp & MK_SHIFT) shift |= kShift;
  if (wp & MK_CONTROL) shift |= kCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= kAlt;
  if (wp & MK_LBUTTON) shift |= kLeftButton;
  if (wp & MK_RBUTTON) shift |= kRightButton;
  if (wp & MK_MBUTTON) shift |= kMiddleButton;
  return shift;
}

// An opaque text-out of nothing: a fill without a brush to create.
void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
  if (right <= left || bottom <= top) return;
  const RECT rect{left, top, right, bottom};
  SetBkColor(dc, color);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

}  // namespace

DrawGrid::DrawGrid()
    : fixed_line_color_(RGB(0, 0, 0)), line_color_(RGB(192, 192, 192)), background_(GetSysColor(COLOR_WINDOW)) {}

DrawGrid::~DrawGrid() = default;

bool DrawGrid::Create(const DrawGridArgs& args) {
  for (GridAxis* axis : {&layout_.cols, &layout_.rows}) axis->SetLineWidth(args.line_width);
  layout_.cols.SetDefaultSize(args.default_col_width);
  layout_.cols.SetCount(args.col_count);
  layout_.cols.SetFixed(args.fixed_cols);
  layout_.rows.SetDefaultSize(args.default_row_height);
  layout_.rows.SetCount(args.row_count);
  layout_.rows.SetFixed(args.fixed_rows);
  current_ = {layout_.cols.Fixed(), layout_.rows.Fixed()};

  DWORD style = WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS;
  if (args.visible) style |= WS_VISIBLE;
  if (!args.enabled) style |= WS_DISABLED;
  // Double clicks must arrive as such: the program tells them from two presses.
  if (!CreateWindowOfClass(kClassName, args.border ? WS_EX_CLIENTEDGE : 0, style, "", args.x, args.y,
                           args.width, args.height, args.parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)), CS_DBLCLKS, nullptr))
    return false;
  SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  OnSize();
  return true;
}

LRESULT DrawGrid::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // Paint covers every pixel: erasing first would only flicker
    case WM_PAINT: {
      // EndPaint runs also when a handler throws: no endless WM_PAINT follows.
      const PaintDC paint(hwnd());
      if (paint.get()) Paint(paint.get(), paint.dirty());
      return 0;
    }
    case WM_SIZE: OnSize(); return 0;
    case WM_VSCROLL: OnVScroll(LOWORD(wp), HIWORD(wp)); return 0;
    case WM_LBUTTONDOWN: OnButtonDown(MouseButton::Left, wp, lp, false); return 0;
    case WM_LBUTTONDBLCLK: OnButtonDown(MouseButton::Left, wp, lp, true); return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: OnButtonDown(MouseButton::Right, wp, lp, msg == WM_RBUTTONDBLCLK); return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: OnButtonDown(MouseButton::Middle, wp, lp, msg == WM_MBUTTONDBLCLK); return 0;
    case WM_LBUTTONUP: OnButtonUp(MouseButton::Left, wp, lp); return 0;
    case WM_RBUTTONUP: OnButtonUp(MouseButton::Right, wp, lp); return 0;
    case WM_MBUTTONUP: OnButtonUp(MouseButton::Middle, wp, lp); return 0;
    case WM_MOUSEMOVE:
      if (sizing_col_ >= 0) {
        SetCursor(ui::SystemCursor(IDC_SIZEWE));
        const int floor = std::min(min_col_width_, sizing_start_width_);
        SetColWidth(sizing_col_, std::max<int>(floor, sizing_start_width_ + MousePoint(lp).x - sizing_start_x_));
      } else if (on_mouse_move && Enabled()) {
        const POINT pt = MousePoint(lp);
        on_mouse_move(MouseButton::Left, MouseShift(wp), pt.x, pt.y);
      }
      return 0;
    case WM_MOUSEWHEEL:
      // One row per notch, as an arrow key would.
      if (Enabled()) {
        wheel_delta_ += GET_WHEEL_DELTA_WPARAM(wp);
        for (; wheel_delta_ >= WHEEL_DELTA; wheel_delta_ -= WHEEL_DELTA) Navigate(NavKey::Up, false);
        for (; wheel_delta_ <= -WHEEL_DELTA; wheel_delta_ += WHEEL_DELTA) Navigate(NavKey::Down, false);
      }
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == HTCLIENT && OnSetCursor()) return TRUE;
      break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lp) != hwnd()) {
        held_buttons_ = 0;
        sizing_col_ = -1;
        if (!releasing_capture_ && on_capture_lost) on_capture_lost();
      }
      return 0;
    case WM_CANCELMODE:  // a modal loop starts, or the grid is being disabled
      EndMouseTracking();
      break;
    case WM_KEYDOWN: OnKeyDown(static_cast<WORD>(wp)); return 0;
    case WM_SYSKEYDOWN:
      if (Enabled() && on_sys_key_down && on_sys_key_down(static_cast<WORD>(wp), KeyShift())) return 0;
      break;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateCell(current_.col, current_.row);
      CurrentChanged();
      return 0;
    case WM_GETOBJECT:
      if (on_get_object) {
        if (const LRESULT object = on_get_object(wp, lp)) return object;
      }
      break;
    case WM_SETFONT:
      SetFont(reinterpret_cast<HFONT>(wp));
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(Font());
    default: break;
  }
  return DefWindowProcW(hwnd(), msg, wp, lp);
}

void DrawGrid::OnButtonDown(MouseButton button, WPARAM wp, LPARAM lp, bool double_click) {
  if (!Enabled()) return;
  const auto [x, y] = MousePoint(lp);
  const ShiftState shift = MouseShift(wp) | (double_click ? kDoubleClick : 0u);
  // Taking the focus first lets an editor elsewhere commit before anything
  // moves. When the focus could not be taken (a control kept it, or a box
  // opened meanwhile) the press is stale and dropped.
  if (GetFocus() != hwnd()) ::SetFocus(hwnd());
  if (!hwnd() || GetFocus() != hwnd()) return;
  held_buttons_ |= ButtonBit(button);
  if (GetCapture() != hwnd()) SetCapture(hwnd());
  if (button == MouseButton::Left) {
    if (double_click) {
      if (on_dbl_click) on_dbl_click();
    } else if (const int col = layout_.ColumnBorderAt(x, y, kSizingSlop); col >= 0) {
      sizing_col_ = col;
      sizing_start_x_ = x;
      sizing_start_width_ = ColWidth(col);
    } else if (const GridCell cell = layout_.CellAt(x, y); layout_.IsNormal(cell)) {
      MoveCurrent(cell, Reveal::IfHidden);
    }
  }
  if (hwnd() && on_mouse_down) on_mouse_down(button, shift, x, y);
}

void DrawGrid::OnButtonUp(MouseButton button, WPARAM wp, LPARAM lp) {
  held_buttons_ &= ~ButtonBit(button);
  if (button == MouseButton::Left) sizing_col_ = -1;
  // Release before the handler: it may open a message box.
  if (held_buttons_ == 0 && GetCapture() == hwnd()) {
    releasing_capture_ = true;
    ReleaseCapture();
    releasing_capture_ = false;
  }
  if (!Enabled()) return;
  const POINT pt = MousePoint(lp);
  if (on_mouse_up) on_mouse_up(button, MouseShift(wp), pt.x, pt.y);
}

void DrawGrid::EndMouseTracking() {
  held_buttons_ = 0;
  sizing_col_ = -1;
  if (hwnd() && GetCapture() == hwnd()) ReleaseCapture();
}

bool DrawGrid::OnSetCursor() {
  if (!Enabled()) return false;
  POINT pt{};
  GetCursorPos(&pt);
  ScreenToClient(hwnd(), &pt);
  if (sizing_col_ < 0 && layout_.ColumnBorderAt(pt.x, pt.y, kSizingSlop) < 0) return false;
  SetCursor(ui::SystemCursor(IDC_SIZEWE));
  return true;
}

void DrawGrid::OnKeyDown(WORD key) {
  if (!Enabled()) return;
  const ShiftState shift = KeyShift();
  if (on_key_down) on_key_down(key, shift);
  // The handler may have disabled or destroyed the grid.
  if (!hwnd() || !Enabled()) return;
  const bool ctrl = (shift & kCtrl) != 0;
  switch (key) {
    case VK_UP: Navigate(NavKey::Up, ctrl); break;
    case VK_DOWN: Navigate(NavKey::Down, ctrl); break;
    case VK_LEFT: Navigate(NavKey::Left, ctrl); break;
    case VK_RIGHT: Navigate(NavKey::Right, ctrl); break;
    case VK_PRIOR: Navigate(NavKey::PageUp, ctrl); break;
    case VK_NEXT: Navigate(NavKey::PageDown, ctrl); break;
    case VK_HOME: Navigate(NavKey::Home, ctrl); break;
    case VK_END: Navigate(NavKey::End, ctrl); break;
    case VK_TAB: MoveFocusOut((shift & kShift) != 0); break;
    default: break;
  }
}

void DrawGrid::MoveFocusOut(bool backward) {
  const HWND self = hwnd();
  const HWND root = GetAncestor(self, GA_ROOT);
  if (!root || root == self) return;
  SendMessageW(root, WM_NEXTDLGCTL, backward ? 1 : 0, 0);
  // A parent that does not answer the dialog message leaves the focus here.
  if (GetFocus() == self) {
    const HWND next = GetNextDlgTabItem(root, self, backward);
    if (next && next != self) ::SetFocus(next);
  }
}

void DrawGrid::OnVScroll(int code, int pos) {
  const GridAxis& rows = layout_.rows;
  int top = rows.First();
  switch (code) {
    case SB_LINEUP: --top; break;
    case SB_LINEDOWN: ++top; break;
    case SB_PAGEUP: top -= rows.PageSize(); break;
    case SB_PAGEDOWN: top += rows.PageSize(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: top = rows.Fixed() + pos; break;
    case SB_TOP: top = rows.Fixed(); break;
    case SB_BOTTOM: top = rows.MaxFirst(); break;
    default: return;
  }
  SetTopRow(top);
}

void DrawGrid::OnSize() {
  if (!hwnd()) return;
  RECT client{};
  GetClientRect(hwnd(), &client);
  layout_.cols.SetViewport(client.right);
  layout_.rows.SetViewport(client.bottom);
  UpdateScrollBar();
  Invalidate();
}

void DrawGrid::UpdateScrollBar() {
  // Showing or hiding the bar resizes the client and comes back here.
  if (!hwnd() || updating_scroll_bar_) return;
  updating_scroll_bar_ = true;
  const GridAxis& rows = layout_.rows;
  const bool needed = rows.CanScroll();
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if (needed) {
    // Positions count scrolled rows: 0 shows the first normal row on top.
    const int page = rows.PageSize();
    info.nMax = rows.MaxFirst() - rows.Fixed() + page - 1;
    info.nPage = static_cast<UINT>(page);
    info.nPos = rows.First() - rows.Fixed();
  } else {
    info.nPage = 1;
  }
  SetScrollInfo(hwnd(), SB_VERT, &info, TRUE);
  ShowScrollBar(hwnd(), SB_VERT, needed);
  updating_scroll_bar_ = false;
}

bool DrawGrid::Navigate(NavKey key, bool ctrl) {
  const std::optional<NavMove> move = layout_.Navigate(current_, key, ctrl);
  if (!move) return false;
  if (on_select_cell && !on_select_cell(move->target.col, move->target.row)) return false;
  return ApplyMove(move->target, move->left_col, move->top_row);
}

bool DrawGrid::MoveCurrent(GridCell target, Reveal how) {
  if (!layout_.IsNormal(target)) return false;
  if (target == current_) return true;
  if (on_select_cell && !on_select_cell(target.col, target.row)) return false;
  const GridCell firsts = layout_.FirstsFor(target, how);
  return ApplyMove(target, firsts.col, firsts.row);
}

bool DrawGrid::ApplyMove(GridCell target, int left_col, int top_row) {
  // The select-cell handler may have changed the grid meanwhile.
  if (!layout_.IsNormal(target)) return false;
  const GridCell old = current_;
  current_ = target;
  if (!SetFirsts(left_col, top_row)) {
    InvalidateCell(old.col, old.row);
    InvalidateCell(target.col, target.row);
  }
  CurrentChanged();
  return true;
}

void DrawGrid::CurrentChanged() {
  if (on_current_changed && hwnd()) on_current_changed();
}

bool DrawGrid::SetFirsts(int left_col, int top_row) {
  const bool cols_moved = layout_.cols.SetFirst(left_col);
  const bool rows_moved = layout_.rows.SetFirst(top_row);
  if (!cols_moved && !rows_moved) return false;
  UpdateScrollBar();
  Invalidate();
  return true;
}

bool DrawGrid::SetCol(int col) { return MoveCurrent({col, current_.row}, Reveal::IfHidden); }
bool DrawGrid::SetRow(int row) { return MoveCurrent({current_.col, row}, Reveal::IfHidden); }
void DrawGrid::SetTopRow(int row) { SetFirsts(LeftCol(), row); }
void DrawGrid::SetLeftCol(int col) { SetFirsts(col, TopRow()); }

void DrawGrid::LayoutChanged() {
  // The current cell stays a normal cell, without asking: the old one is gone.
  const GridAxis& cols = layout_.cols;
  const GridAxis& rows = layout_.rows;
  const GridCell old = current_;
  if (cols.Count() > cols.Fixed()) current_.col = std::clamp(current_.col, cols.Fixed(), cols.Count() - 1);
  if (rows.Count() > rows.Fixed()) current_.row = std::clamp(current_.row, rows.Fixed(), rows.Count() - 1);
  UpdateScrollBar();
  Invalidate();
  if (current_ != old) CurrentChanged();
}

void DrawGrid::SetColCount(int count) { layout_.cols.SetCount(count); LayoutChanged(); }
void DrawGrid::SetRowCount(int count) { layout_.rows.SetCount(count); LayoutChanged(); }
void DrawGrid::SetFixedCols(int count) { layout_.cols.SetFixed(count); LayoutChanged(); }
void DrawGrid::SetFixedRows(int count) { layout_.rows.SetFixed(count); LayoutChanged(); }
void DrawGrid::SetDefaultColWidth(int width) { layout_.cols.SetDefaultSize(width); LayoutChanged(); }
void DrawGrid::SetDefaultRowHeight(int height) { layout_.rows.SetDefaultSize(height); LayoutChanged(); }
void DrawGrid::SetColWidth(int col, int width) { layout_.cols.SetSize(col, width); LayoutChanged(); }
void DrawGrid::SetRowHeight(int row, int height) { layout_.rows.SetSize(row, height); LayoutChanged(); }

void DrawGrid::SetGridLineWidth(int width) {
  layout_.cols.SetLineWidth(width);
  layout_.rows.SetLineWidth(width);
  LayoutChanged();
}

RECT DrawGrid::CellRect(int col, int row) const {
  const GridRect r = layout_.CellRect(col, row);
  return {r.left, r.top, r.right, r.bottom};
}

GridCell DrawGrid::MouseToCell(int x, int y) const { return layout_.CellAt(x, y); }

bool DrawGrid::Enabled() const { return hwnd() && IsWindowEnabled(hwnd()); }

void DrawGrid::SetEnabled(bool enabled) {
  if (!hwnd()) return;
  // A disabled window would keep the focus and swallow the keys: the form
  // takes it instead.
  if (!enabled && Focused()) ::SetFocus(GetAncestor(hwnd(), GA_ROOT));
  EnableWindow(hwnd(), enabled);
}

bool DrawGrid::Focused() const { return hwnd() && GetFocus() == hwnd(); }

void DrawGrid::SetFocus() {
  if (Enabled()) ::SetFocus(hwnd());
}

void DrawGrid::Invalidate() {
  if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void DrawGrid::InvalidateCell(int col, int row) {
  const GridRect r = layout_.CellRect(col, row);
  if (!hwnd() || r.right <= r.left) return;
  const RECT rect{r.left, r.top, r.right, r.bottom};
  InvalidateRect(hwnd(), &rect, FALSE);
}

void DrawGrid::Repaint() {
  if (hwnd()) RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void DrawGrid::SetFont(HFONT font) {
  LOGFONTW face{};
  if (!font || GetObjectW(font, sizeof face, &face) != sizeof face) return;
  UniqueFont copy(CreateFontIndirectW(&face));
  if (!copy) return;
  font_ = std::move(copy);
  Invalidate();
}

void DrawGrid::SetColors(COLORREF fixed_line, COLORREF line, COLORREF background) {
  fixed_line_color_ = fixed_line;
  line_color_ = line;
  background_ = background;
  Invalidate();
}

int DrawGrid::Width() const {
  RECT r{};
  if (hwnd()) GetWindowRect(hwnd(), &r);
  return r.right - r.left;
}

int DrawGrid::Height() const {
  RECT r{};
  if (hwnd()) GetWindowRect(hwnd(), &r);
  return r.bottom - r.top;
}

void DrawGrid::SetBounds(int x, int y, int width, int height) {
  if (hwnd()) MoveWindow(hwnd(), x, y, width, height, TRUE);
}

void DrawGrid::Paint(HDC dc, const RECT& clip) {
  SavedDC saved(dc);
  if (font_) SelectObject(dc, font_.get());
  const GridAxis& cols = layout_.cols;
  const GridAxis& rows = layout_.rows;
  const std::vector<int> visible_cols = cols.Visible();
  const bool focused = Focused();
  for (int r : rows.Visible()) {
    const int top = rows.Start(r);
    const int bottom = top + rows.Size(r);
    for (int c : visible_cols) {
      const int left = cols.Start(c);
      const int right = left + cols.Size(c);
      const RECT with_lines{left, top, right + cols.LineWidth(), bottom + rows.LineWidth()};
      RECT overlap{};
      if (!IntersectRect(&overlap, &with_lines, &clip)) continue;
      const bool fixed = layout_.IsFixed(c, r);
      if (right > left && bottom > top) {
        const RECT cell{left, top, right, bottom};
        if (on_draw_cell) {
          CellState state = fixed ? kCellFixed : 0u;
          if (GridCell{c, r} == current_) state |= kCellSelected | (focused ? kCellFocused : 0u);
          SavedDC for_handler(dc);
          on_draw_cell(dc, c, r, cell, state);
        } else {
          Fill(dc, left, top, right, bottom, background_);
        }
      }
      // The line right of the cell (with the corner) and the line below it.
      const COLORREF color = fixed ? fixed_line_color_ : line_color_;
      Fill(dc, right, top, right + cols.LineWidth(), bottom + rows.LineWidth(), color);
      Fill(dc, left, bottom, right, bottom + rows.LineWidth(), color);
    }
  }
  const int cols_end = cols.VisibleEnd();
  const int rows_end = rows.VisibleEnd();
  Fill(dc, cols_end, 0, cols.Viewport(), rows.Viewport(), background_);
  Fill(dc, 0, rows_end, std::min(cols_end, cols.Viewport()), rows.Viewport(), background_);
}

}  // namespace ui
