#pragma once
// Painting of the entry grid and the group list: every cell and every group
// row is composed on one screen-sized off-screen bitmap and copied to the
// screen in one block transfer, in colours taken from the 32-entry colour
// table, which is also installed as the window's logical palette.
#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "common/callback.h"
#include "data/model.h"
#include "grid/icon_cache.h"
#include "ui/canvas.h"
#include "ui/font.h"
#include "ui/gdi.h"

namespace korvane {

// The colour of a table entry as a palette-relative RGB value.
COLORREF PaletteColor(int index);

struct CellState {
  bool selected = false;  // the grid's current cell
  bool focused = false;
  bool fixed = false;
};

// What the painting reads besides the current group.
struct GridMarks {
  int pressed_row = -1;       // PressedRow
  int edit_row = -1;          // EditRow
  bool title_editing = false;  // TitleEditing
};

// The seven 40 x 40 pictures: launch buttons and the corner.
enum Picture : int {
  kPicRingUp = 0, kPicRingDown = 1, kPicCrossUp = 2, kPicCrossDown = 3,
  kPicBarUp = 4, kPicBarDown = 5, kPicGo = 6,
};
inline constexpr int kPictureSize = 40;

class GridPainter {
 public:
  GridPainter();
  ~GridPainter();
  GridPainter(const GridPainter&) = delete;
  GridPainter& operator=(const GridPainter&) = delete;

  // GridPalette from ColorTable: version 0x300, 32 entries, flags 0.
  void BuildPalette();
  HPALETTE palette() const { return palette_.get(); }
  void DeletePalette() { palette_.reset(); }

  // OffscreenBitmap: 24 bits per pixel, the size of the screen, its canvas
  // font a copy of `font`. On failure shows the error in the warning box
  // and answers false, leaving no bitmap.
  bool PrepareCanvas(const ui::FontSpec& font);
  void FreeCanvas();
  bool HasCanvas() const { return canvas_ != nullptr; }
  ui::Canvas* canvas() const { return canvas_.get(); }
  HDC canvas_dc() const { return surface_.dc(); }

  // ILPicture: the pictures from the program's resources.
  bool LoadPictures();
  void DrawPicture(HDC dc, int index, int x, int y) const;

  // The five primitives; `r` is cell-local: (0, 0, W, H).
  void DrawRoundPlate(const RECT& r, std::string_view text, COLORREF shadow, COLORREF face);
  void DrawHeaderText(const RECT& r, std::string_view text);
  void DrawPathText(const RECT& r, std::string_view text);
  void DrawEmbossedText(const RECT& r, std::string_view text, int x);
  void DrawEtchedFrame(const RECT& r);
  // Whether a path drawn in a path cell `width` wide ends inside its plate
  // (false without the bitmap, whose font measures it).
  bool PathFitsPlate(int width, std::string_view path) const;

  // One cell of the entry grid onto `target`; `cell` in grid client
  // coordinates without the grid lines. Nothing without the bitmap.
  void DrawCell(HDC target, int col, int row, const RECT& cell, CellState state, const Group* current,
                const GridMarks& marks);
  // The entries' icons. Painting draws what the cache holds and asks
  // on_icon_wanted (once per path until the cache is emptied) for the rest.
  IconCache& Icons() { return icons_; }
  Callback<void(const std::string& path)> on_icon_wanted;

  // One row of the group list.
  void DrawGroupRow(HDC target, const RECT& row_rect, int index, std::string_view name, bool selected);

 private:
  void FixedCell(int col, int row, const RECT& local, const Group* current, const GridMarks& marks);
  void EntryCell(int col, int row, const RECT& local, CellState state, const Group* current,
                 const GridMarks& marks);
  void DrawEntryIcon(const std::string& path);
  void CopyOut(HDC target, const RECT& cell);
  // The white copy one pixel down and right, then the text in the font colour.
  void Emboss(int x, int y, std::string_view text);

  ui::UniquePalette palette_;
  ui::MemorySurface surface_;
  std::unique_ptr<ui::Canvas> canvas_;
  IconCache icons_;
  ui::MemorySurface pictures_;
};

}  // namespace korvane
