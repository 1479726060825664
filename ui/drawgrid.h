#pragma once
// The draw grid: a child window of cells that only its owner paints, with
// fixed leading rows and columns, one current cell moved by mouse, keys and
// program, vertical scrolling by rows and column sizing in the fixed row.
//
// Order of events, which the owner's handlers may rely on:
//  - a button goes down: the grid takes the focus (if it cannot, the press is
//    dropped); for the left button on a normal cell the current cell moves
//    there; then on_mouse_down. The mouse is captured until every button is
//    up, so on_mouse_up sees the release wherever the pointer is.
//  - a double click: the focus (already here), on_dbl_click, then
//    on_mouse_down for the second press; nothing takes the focus back after
//    on_dbl_click.
//  - a key goes down: on_key_down, then the grid's own navigation for the
//    same key. Tab and Shift+Tab move the focus out of the grid.
//  - every change of the current cell first asks on_select_cell.
#include <windows.h>


#include "common/callback.h"
#include "ui/control.h"
#include "ui/gdi.h"
#include "ui/grid_geometry.h"
#include "ui/window.h"

namespace ui {

// Keys and buttons held at an input event (the shape of the program's
// "shift state").
enum ShiftFlag : unsigned {
  kShift = 1u << 0,
  kAlt = 1u << 1,
  kCtrl = 1u << 2,
  kLeftButton = 1u << 3,
  kRightButton = 1u << 4,
  kMiddleButton = 1u << 5,
  kDoubleClick = 1u << 6,
};
using ShiftState = unsigned;

// State of a cell handed to the draw-cell handler.
enum CellFlag : unsigned {
  kCellSelected = 1u << 0,  // the current cell, with or without the focus
  kCellFocused = 1u << 1,   // the current cell while the grid has the focus
  kCellFixed = 1u << 2,     // in a fixed row or column
};
using CellState = unsigned;

struct DrawGridArgs {
  HWND parent = nullptr;
  int id = 0;
  int x = 0, y = 0, width = 0, height = 0;  // outer size
  int col_count = 5, row_count = 5;
  int fixed_cols = 1, fixed_rows = 1;
  int default_col_width = 64, default_row_height = 24;
  int line_width = 1;
  bool border = true;  // sunken client edge
  bool enabled = true;
  bool visible = true;
};

class DrawGrid : public Window {
 public:
  using DrawCellHandler = korvane::Callback<void(HDC dc, int col, int row, const RECT& rect, CellState state)>;
  using SelectCellHandler = korvane::Callback<bool(int col, int row)>;  // false refuses
  using MouseHandler = korvane::Callback<void(MouseButton button, ShiftState shift, int x, int y)>;
  using KeyHandler = korvane::Callback<void(WORD key, ShiftState shift)>;

  // Handlers; any may stay empty. x and y are client coordinates.
  DrawCellHandler on_draw_cell;
  SelectCellHandler on_select_cell;
  korvane::Callback<void()> on_dbl_click;
  KeyHandler on_key_down;
  MouseHandler on_mouse_down;
  MouseHandler on_mouse_up;
  // The pointer moved over the grid, or anywhere while the grid holds the
  // capture (not while a column is being sized).
  MouseHandler on_mouse_move;
  // A key with Alt held, or F10 (WM_SYSKEYDOWN): true when the handler used
  // it; otherwise the system's handling runs (the menu bar's Alt keys).
  korvane::Callback<bool(WORD key, ShiftState shift)> on_sys_key_down;
  // The capture went to another window while a button was held (a message
  // box, another window activated): no release will follow.
  korvane::Callback<void()> on_capture_lost;
  // WM_GETOBJECT: the owner's accessible object for the grid, or 0 for the
  // system's answer.
  korvane::Callback<LRESULT(WPARAM wp, LPARAM lp)> on_get_object;
  // The current cell moved, or the grid took or lost the focus: what a
  // screen reader follows.
  korvane::Callback<void()> on_current_changed;

  DrawGrid();
  ~DrawGrid() override;

  bool Create(const DrawGridArgs& args);

  int ColCount() const { return layout_.cols.Count(); }
  void SetColCount(int count);
  int RowCount() const { return layout_.rows.Count(); }
  void SetRowCount(int count);
  int FixedCols() const { return layout_.cols.Fixed(); }
  void SetFixedCols(int count);
  int FixedRows() const { return layout_.rows.Fixed(); }
  void SetFixedRows(int count);
  int DefaultColWidth() const { return layout_.cols.DefaultSize(); }
  void SetDefaultColWidth(int width);  // every column takes it
  int DefaultRowHeight() const { return layout_.rows.DefaultSize(); }
  void SetDefaultRowHeight(int height);  // every row takes it
  int ColWidth(int col) const { return layout_.cols.Size(col); }
  void SetColWidth(int col, int width);
  int RowHeight(int row) const { return layout_.rows.Size(row); }
  void SetRowHeight(int row, int height);
  int GridLineWidth() const { return layout_.cols.LineWidth(); }
  void SetGridLineWidth(int width);
  // Narrowest width a column can be dragged to.
  void SetMinColumnWidth(int width) { min_col_width_ = width; }

  // The current cell. The setters pass on_select_cell and scroll only when
  // the cell is wholly out of view; false when refused or not a normal cell.
  int Col() const { return current_.col; }
  bool SetCol(int col);
  int Row() const { return current_.row; }
  bool SetRow(int row);
  // First visible scrolled row and column; setting them scrolls without
  // moving the current cell.
  int TopRow() const { return layout_.rows.First(); }
  void SetTopRow(int row);
  int LeftCol() const { return layout_.cols.First(); }
  void SetLeftCol(int col);
  int VisibleRowCount() const { return layout_.rows.PageSize(); }  // wholly visible normal rows
  int VisibleColCount() const { return layout_.cols.PageSize(); }

  // Full rectangle of a cell that is at least partly on screen, without its
  // lines and not clipped; (0, 0, 0, 0) otherwise.
  RECT CellRect(int col, int row) const;
  // Column and row under a client point, each -1 when there is none.
  GridCell MouseToCell(int x, int y) const;
  const GridLayout& Layout() const { return layout_; }

  bool Enabled() const;
  void SetEnabled(bool enabled);  // a disabled grid gives up the focus
  bool Focused() const;
  void SetFocus();
  void Invalidate();
  void InvalidateCell(int col, int row);
  void Repaint();  // paints before returning

  // The grid keeps its own copy of the font; Font() is borrowed from it.
  void SetFont(HFONT font);
  HFONT Font() const { return font_.get(); }
  // Colours of the lines around fixed cells, of the other lines, and of the
  // area right of and below the last cells.
  void SetColors(COLORREF fixed_line, COLORREF line, COLORREF background);

  int Width() const;   // outer size
  int Height() const;
  int ClientWidth() const { return layout_.cols.Viewport(); }
  int ClientHeight() const { return layout_.rows.Viewport(); }
  void SetBounds(int x, int y, int width, int height);
  static int ScrollBarWidth() { return GetSystemMetrics(SM_CXVSCROLL); }

  // Paints the cells and lines that meet clip into dc; WM_PAINT uses it, and
  // so can a test with a memory DC.
  void Paint(HDC dc, const RECT& clip);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void OnButtonDown(MouseButton button, WPARAM wp, LPARAM lp, bool double_click);
  void OnButtonUp(MouseButton button, WPARAM wp, LPARAM lp);
  void OnKeyDown(WORD key);
  void OnVScroll(int code, int pos);
  bool OnSetCursor();
  void OnSize();
  void EndMouseTracking();
  bool Navigate(NavKey key, bool ctrl);
  bool MoveCurrent(GridCell target, Reveal how);
  bool ApplyMove(GridCell target, int left_col, int top_row);
  bool SetFirsts(int left_col, int top_row);
  void MoveFocusOut(bool backward);
  void LayoutChanged();
  void UpdateScrollBar();
  void CurrentChanged();

  GridLayout layout_;
  GridCell current_;
  UniqueFont font_;
  COLORREF fixed_line_color_;
  COLORREF line_color_;
  COLORREF background_;
  int min_col_width_ = 8;
  unsigned held_buttons_ = 0;  // buttons pressed over the grid and not yet released
  bool releasing_capture_ = false;  // the grid lets the capture go at a release
  int sizing_col_ = -1;        // column being resized by a drag, or -1
  int sizing_start_x_ = 0;
  int sizing_start_width_ = 0;
  int wheel_delta_ = 0;        // wheel movement short of a whole notch
  bool updating_scroll_bar_ = false;
};

}  // namespace ui
