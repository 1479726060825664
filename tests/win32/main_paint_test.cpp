// The entry grid and the group list as the main window paints them: cell
// backgrounds, frames, plates, pictures, title and icon, column sizing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

#include "data/settings.h"
#include "kit.h"
#include "ui/wide.h"

namespace kit {
namespace {

constexpr char kNotepad[] = "C:\\windows\\notepad.exe";

std::string Box(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

// The box of the pixels of `color` within `area` of `p`; right and bottom
// inclusive; left > right when there are none.
RECT ExtentIn(const Pixels& p, RECT area, COLORREF color) {
  RECT box{10000, 10000, -1, -1};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (p.at(x, y) == color) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x);
        box.bottom = std::max<LONG>(box.bottom, y);
      }
  return box;
}

// Where GDI alone puts the black pixels of `text` in `font`, written at x and
// centred vertically in a w x h cell, as the painting's primitives do.
RECT ReferenceIn(const ui::FontSpec& font, const std::string& text, int x, int w, int h) {
  Pixels p(w, h);
  p.Fill(kWhite);
  ui::UniqueFont f = ui::MakeFont(font);
  HGDIOBJ old = SelectObject(p.dc(), f.get());
  SIZE size{};
  const std::wstring wide = ui::Wide(text);
  GetTextExtentPoint32W(p.dc(), wide.data(), static_cast<int>(wide.size()), &size);
  SetBkMode(p.dc(), TRANSPARENT);
  SetTextColor(p.dc(), kBlack);
  ExtTextOutW(p.dc(), x, (h - size.cy) / 2, 0, nullptr, wide.data(), static_cast<UINT>(wide.size()), nullptr);
  SelectObject(p.dc(), old);
  return ExtentIn(p, RECT{0, 0, w, h}, kBlack);
}

// The same for the grid's 15-px painting font in a 40-px row.
RECT Reference(const std::string& text, int x, int w) {
  return ReferenceIn(ui::FontSpec{ui::kFaceMsGothic, 15}, text, x, w, 40);
}

class MainPaintTest : public MainWindowTest {
 protected:
  // A pixel of cell (col, row), cell-local coordinates.
  COLORREF At(const Pixels& p, int col, int row, int x, int y) {
    const RECT r = Cell(col, row);
    return p.at(r.left + x, r.top + y);
  }
  // A cell-local rectangle of `p` in grid coordinates.
  RECT Local(int col, int row, int x0, int y0, int x1, int y1) {
    const RECT r = Cell(col, row);
    return {r.left + x0, r.top + y0, r.left + x1, r.top + y1};
  }
  // The etched frame of an entry or header cell: a gray groove 2 px inside
  // the edge with white just inside its top and left, just outside its
  // bottom and right.
  void ExpectFrame(const Pixels& p, int col, int row, COLORREF background) {
    const RECT r = Cell(col, row);
    const int w = r.right - r.left, h = r.bottom - r.top;
    SCOPED_TRACE("frame of cell " + std::to_string(col) + "," + std::to_string(row));
    EXPECT_EQ(Hex(At(p, col, row, 1, h / 2)), Hex(background));
    EXPECT_EQ(Hex(At(p, col, row, 2, 2)), Hex(kGray));
    EXPECT_EQ(Hex(At(p, col, row, 2, h / 2)), Hex(kGray));
    EXPECT_EQ(Hex(At(p, col, row, 3, h / 2)), Hex(kWhite));
    EXPECT_EQ(Hex(At(p, col, row, w / 2, 2)), Hex(kGray));
    EXPECT_EQ(Hex(At(p, col, row, w / 2, 3)), Hex(kWhite));
    EXPECT_EQ(Hex(At(p, col, row, w / 2, h - 3)), Hex(kGray));
    EXPECT_EQ(Hex(At(p, col, row, w / 2, h - 2)), Hex(kWhite));
    EXPECT_EQ(Hex(At(p, col, row, w / 2, h - 1)), Hex(background));
    EXPECT_EQ(Hex(At(p, col, row, w - 3, h / 2)), Hex(kGray));
    EXPECT_EQ(Hex(At(p, col, row, w - 2, h / 2)), Hex(kWhite));
    EXPECT_EQ(Hex(At(p, col, row, w - 1, h / 2)), Hex(background));
  }
  // The cell-local box of the pixels of `color` within `area`; right and
  // bottom inclusive; left > right when there are none.
  RECT Extent(const Pixels& p, int col, int row, COLORREF color, RECT area) {
    RECT box{10000, 10000, -1, -1};
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x)
        if (At(p, col, row, x, y) == color) {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x);
          box.bottom = std::max<LONG>(box.bottom, y);
        }
    return box;
  }
};

TEST_F(MainPaintTest, WithoutAGroupTheGridIsDisabledWithYellowBarsAndSilverCells) {
  WriteGroup("日常業務", {{"メモ帳", kNotepad}});
  Open();
  EXPECT_FALSE(IsWindowEnabled(grid()));
  EXPECT_EQ(form().LBGroup.ItemIndex(), -1);
  // A click on the disabled grid does nothing.
  Click(CellPoint(1, 2));
  EXPECT_EQ(form().DGMain.Row(), 1);
  auto p = PaintGrid();
  for (int row = 1; row <= 5; ++row) {
    SCOPED_TRACE("row " + std::to_string(row));
    EXPECT_EQ(Hex(At(*p, 0, row, 18, 19)), Hex(kYellow));
    EXPECT_EQ(Hex(At(*p, 0, row, 0, 0)), Hex(kWhite));
    EXPECT_EQ(Hex(At(*p, 0, row, 39, 39)), Hex(kGray));
    for (int col = 1; col <= 2; ++col) {
      ExpectFrame(*p, col, row, kSilver);
      // Nothing but the silver fill and the frame: no text, plate or icon,
      // even on the current cell.
      const RECT r = Cell(col, row);
      EXPECT_EQ(CountOther(*p, r, {kSilver, kGray, kWhite}), 0);
    }
  }
  // The corner shows the GO! picture: red triangle, black letters, frame.
  EXPECT_EQ(Hex(At(*p, 0, 0, 19, 25)), Hex(kRed));
  EXPECT_EQ(Hex(At(*p, 0, 0, 8, 10)), Hex(kBlack));
  EXPECT_EQ(Hex(At(*p, 0, 0, 2, 20)), Hex(kGray));
  EXPECT_EQ(Hex(At(*p, 0, 0, 3, 20)), Hex(kWhite));
}

TEST_F(MainPaintTest, RowsAlternateAndTheCurrentCellIsIvory) {
  WriteGroup("日常業務", {});
  Open();
  ClickGroup(0);
  auto p = PaintGrid();
  // Entry cells away from text: the frame's colours around the background.
  ExpectFrame(*p, 1, 1, kCurrent);
  ExpectFrame(*p, 2, 1, kSilver);
  ExpectFrame(*p, 1, 2, kLightGray);
  ExpectFrame(*p, 2, 2, kLightGray);
  ExpectFrame(*p, 1, 3, kSilver);
  ExpectFrame(*p, 2, 4, kLightGray);
  // Empty entries: background and frame only.
  for (int row = 1; row <= 4; ++row)
    for (int col = 1; col <= 2; ++col) {
      const COLORREF bg = (col == 1 && row == 1) ? kCurrent : row % 2 ? kSilver : kLightGray;
      EXPECT_EQ(CountOther(*p, Cell(col, row), {bg, kGray, kWhite}), 0) << col << "," << row;
    }

  // A click moves the ivory cell; the old one takes its row's colour.
  Click(CellPoint(2, 3));
  EXPECT_EQ(form().DGMain.Col(), 2);
  EXPECT_EQ(form().DGMain.Row(), 3);
  p = PaintGrid();
  ExpectFrame(*p, 2, 3, kCurrent);
  ExpectFrame(*p, 1, 3, kSilver);
  ExpectFrame(*p, 1, 1, kSilver);

  // The same colours reach the screen.
  form().DGMain.Repaint();
  HDC dc = GetDC(grid());
  const RECT current = Cell(2, 3), even = Cell(1, 2);
  EXPECT_EQ(Hex(GetPixel(dc, current.right - 8, current.top + 8)), Hex(kCurrent));
  EXPECT_EQ(Hex(GetPixel(dc, even.right - 8, even.top + 8)), Hex(kLightGray));
  EXPECT_EQ(Hex(GetPixel(dc, current.left + 2, current.top + 20)), Hex(kGray));
  ReleaseDC(grid(), dc);
}

TEST_F(MainPaintTest, HeaderCaptionsSitCentredOnPlatesOfOneHeight) {
  WriteGroup("日常業務", {});
  Open();
  auto p = PaintGrid();
  RECT faces[3];
  for (int col = 1; col <= 2; ++col) {
    SCOPED_TRACE("header " + std::to_string(col));
    const RECT r = Cell(col, 0);
    const int w = r.right - r.left;
    ExpectFrame(*p, col, 0, kSilver);
    // The face plate spans x 17 to W - 17 (outlined in black), the shadow
    // 5 px right and down, whatever the caption's width.
    EXPECT_EQ(Hex(At(*p, col, 0, 16, 20)), Hex(kSilver));
    EXPECT_EQ(Hex(At(*p, col, 0, 17, 20)), Hex(kBlack));
    EXPECT_EQ(Hex(At(*p, col, 0, 20, 20)), Hex(kHeaderFace));
    EXPECT_EQ(Hex(At(*p, col, 0, w - 18, 20)), Hex(kBlack));
    EXPECT_EQ(Hex(At(*p, col, 0, w - 16, 20)), Hex(kHeaderShadow));
    EXPECT_EQ(Hex(At(*p, col, 0, w - 13, 20)), Hex(kBlack));
    EXPECT_EQ(Hex(At(*p, col, 0, w - 11, 20)), Hex(kSilver));
    EXPECT_EQ(Hex(At(*p, col, 0, 30, 32)), Hex(kHeaderShadow));
    faces[col] = Extent(*p, col, 0, kHeaderFace, RECT{4, 4, w - 4, 36});
    // The caption: black text with its white copy, centred on the cell.
    const RECT text = Extent(*p, col, 0, kBlack, RECT{19, faces[col].top, w - 19, faces[col].bottom});
    ASSERT_LE(text.left, text.right);
    EXPECT_NEAR((text.left + text.right) / 2, w / 2, 2);
    EXPECT_GT(CountColor(*p, Local(col, 0, text.left, text.top, text.right + 2, text.bottom + 2), kWhite), 0);
  }
  // "Contents" is wider than "File"; the plates are not.
  EXPECT_EQ(faces[1].top, faces[2].top);
  EXPECT_EQ(faces[1].bottom, faces[2].bottom);
}

TEST_F(MainPaintTest, PathsSitOnBluePlatesAndTitlesAtFortyWithTheirIcons) {
  const std::string existing = folder_.Write("資料.txt");
  WriteGroup("日常業務", {{"■見出し", kNotepad},
                          {"■見出し", ""},
                          {"■見出し", kNotepad},
                          {"", existing},
                          {"", ""}});
  Open();
  ClickGroup(0);
  auto p = PaintGrid();
  const RECT path_cell = Cell(2, 1);
  const int w = path_cell.right - path_cell.left;
  // The path plate: face from x 17 to W - 17, shadow beyond; the path's
  // text left-aligned at x 20.
  EXPECT_EQ(Hex(At(*p, 2, 1, 17, 20)), Hex(kBlack));
  EXPECT_EQ(Hex(At(*p, 2, 1, 18, 11)), Hex(kPathFace));
  EXPECT_EQ(Hex(At(*p, 2, 1, w - 18, 20)), Hex(kBlack));
  EXPECT_EQ(Hex(At(*p, 2, 1, w - 16, 20)), Hex(kPathShadow));
  const RECT face = Extent(*p, 2, 1, kPathFace, RECT{4, 4, w - 4, 36});
  const RECT text = Extent(*p, 2, 1, kBlack, RECT{19, face.top + 1, w - 19, face.bottom});
  const RECT expected = Reference(kNotepad, 20, w);
  EXPECT_EQ(text.left, expected.left);
  EXPECT_EQ(text.top, expected.top);
  EXPECT_EQ(text.bottom, expected.bottom);
  // An empty path: background and frame only, no plate.
  EXPECT_EQ(CountOther(*p, Cell(2, 2), {kLightGray, kGray, kWhite}), 0);

  // The title: dark copy from x 40, exactly where GDI puts the same text
  // in the same font, the white copy one pixel right and down; nothing left
  // of it without an icon.
  const int cw = Cell(1, 2).right - Cell(1, 2).left;
  const RECT title = Extent(*p, 1, 2, kBlack, RECT{4, 4, cw - 4, 37});
  EXPECT_EQ(Box(title), Box(Reference("■見出し", 40, cw)));
  const RECT white = Extent(*p, 1, 2, kWhite, RECT{4, 4, cw - 4, 37});
  EXPECT_EQ(white.left, title.left + 1);
  EXPECT_EQ(white.bottom, title.bottom + 1);
  EXPECT_EQ(CountOther(*p, Local(1, 2, 4, 4, 40, 36), {kLightGray}), 0);

  // With a path (marked found): the icon of the file at (4, 4), 32 x 32,
  // drawn as the shell gives it; the title is unchanged beside it.
  ASSERT_EQ(Marker(3), korvane::PathMarker::Found);
  char buffer[513] = {};
  std::strcpy(buffer, kNotepad);
  WORD index = 0;
  HICON icon = ExtractAssociatedIconA(GetModuleHandleA(nullptr), buffer, &index);
  ASSERT_TRUE(icon);
  Pixels ref(40, 40);
  ref.Fill(kSilver);
  DrawIcon(ref.dc(), 4, 4, icon);
  DestroyIcon(icon);
  int differing = 0;
  for (int y = 4; y < 36; ++y)
    for (int x = 4; x < 36; ++x) differing += At(*p, 1, 3, x, y) != ref.at(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_GT(CountOther(ref, RECT{4, 4, 36, 36}, {kSilver}), 100);
  EXPECT_EQ(CountOther(*p, Local(1, 3, 36, 4, 40, 36), {kSilver}), 0);
  EXPECT_EQ(CountOther(*p, Local(1, 3, 4, 36, 36, 37), {kSilver}), 0);
  EXPECT_EQ(Box(Extent(*p, 1, 3, kBlack, RECT{38, 4, cw - 4, 37})), Box(title));

  // A title cell of an entry without a title and with a file that gets no
  // icon under this system: nothing but the background and frame.
  EXPECT_EQ(CountOther(*p, Cell(1, 5), {kSilver, kGray, kWhite}), 0);
}

TEST_F(MainPaintTest, LaunchButtonsShowTheMarkerRaisedAndSunkenWhilePressed) {
  const std::string existing = folder_.Write("有る.txt");
  WriteGroup("日常業務", {{"有る", existing}, {"無い", "C:\\存在しない\\無い.txt"}, {"空", ""}});
  Open();
  ClickGroup(0);
  ASSERT_EQ(Marker(1), korvane::PathMarker::Found);
  ASSERT_EQ(Marker(2), korvane::PathMarker::Missing);
  ASSERT_EQ(Marker(3), korvane::PathMarker::NoPath);
  auto p = PaintGrid();
  for (int row = 1; row <= 3; ++row) {
    EXPECT_EQ(Hex(At(*p, 0, row, 0, 0)), Hex(kWhite)) << row;
    EXPECT_EQ(Hex(At(*p, 0, row, 1, 20)), Hex(kWhite)) << row;
    EXPECT_EQ(Hex(At(*p, 0, row, 39, 39)), Hex(kGray)) << row;
    EXPECT_EQ(Hex(At(*p, 0, row, 38, 20)), Hex(kGray)) << row;
  }
  // Blue ring with a hole, red cross, yellow bar.
  EXPECT_EQ(Hex(At(*p, 0, 1, 27, 19)), Hex(kBlue));
  EXPECT_EQ(Hex(At(*p, 0, 1, 21, 21)), Hex(kSilver));
  EXPECT_EQ(Hex(At(*p, 0, 2, 19, 19)), Hex(kRed));
  EXPECT_EQ(Hex(At(*p, 0, 2, 10, 10)), Hex(kRed));
  EXPECT_EQ(Hex(At(*p, 0, 3, 18, 19)), Hex(kYellow));
  EXPECT_EQ(CountColor(*p, Local(0, 1, 0, 0, 40, 40), kRed), 0);
  EXPECT_EQ(CountColor(*p, Local(0, 2, 0, 0, 40, 40), kBlue), 0);

  // Held down (any button): the sunken form, edges exchanged, the symbol a
  // pixel lower right; the row becomes current. A release over another row
  // only restores the raised picture.
  const UINT downs[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  const UINT ups[] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
  for (int row = 1; row <= 3; ++row) {
    SCOPED_TRACE("pressed row " + std::to_string(row));
    Press(downs[row - 1], CellPoint(0, row));
    EXPECT_EQ(form().Marks().pressed_row, row);
    EXPECT_EQ(form().DGMain.Row(), row);
    p = PaintGrid();
    EXPECT_EQ(Hex(At(*p, 0, row, 0, 0)), Hex(kGray));
    EXPECT_EQ(Hex(At(*p, 0, row, 39, 39)), Hex(kWhite));
    EXPECT_EQ(Hex(At(*p, 0, row, 38, 20)), Hex(kWhite));
    if (row == 1) {
      EXPECT_EQ(Hex(At(*p, 0, row, 28, 20)), Hex(kBlue));
      EXPECT_EQ(Hex(At(*p, 0, row, 22, 22)), Hex(kSilver));
    }
    if (row == 2) {
      EXPECT_EQ(Hex(At(*p, 0, row, 11, 11)), Hex(kRed));
    }
    if (row == 3) {
      EXPECT_EQ(Hex(At(*p, 0, row, 8, 18)), Hex(kYellow));
    }
    // The other buttons stay raised.
    const int other = row == 1 ? 2 : 1;
    EXPECT_EQ(Hex(At(*p, 0, other, 0, 0)), Hex(kWhite));
    Release(ups[row - 1], CellPoint(0, row == 3 ? 1 : row + 1));
    EXPECT_EQ(form().Marks().pressed_row, -1);
    p = PaintGrid();
    EXPECT_EQ(Hex(At(*p, 0, row, 0, 0)), Hex(kWhite));
  }
  EXPECT_TRUE(seam_.shell_calls.empty());
  EXPECT_TRUE(seam_.boxes.empty());
}

TEST_F(MainPaintTest, GroupRowsPaintSelectedAndAlternatingRows) {
  for (const char* name : {"一", "二", "三", "四"}) WriteGroup(name, {});
  Open();
  EXPECT_EQ(form().LBGroup.ItemHeight(), 41);
  ClickGroup(0);
  ui::RepaintNow(list());
  HDC dc = GetDC(list());
  const auto pixel = [&](int i, int x, int y) {
    const RECT r = form().LBGroup.ItemRect(i);
    return GetPixel(dc, r.left + x, r.top + y);
  };
  const int w = form().LBGroup.ItemRect(0).right;
  // Selected: light blue row, green plate with its shadow; the others light
  // gray from index 0, silver at odd indexes, white plates, gray shadows.
  EXPECT_EQ(Hex(pixel(0, 10, 20)), Hex(kGroupSelected));
  EXPECT_EQ(Hex(pixel(0, w - 25, 12)), Hex(kGroupFace));
  EXPECT_EQ(Hex(pixel(0, w - 15, 20)), Hex(kGroupShadow));
  EXPECT_EQ(Hex(pixel(0, 2, 20)), Hex(kGray));
  EXPECT_EQ(Hex(pixel(0, 3, 20)), Hex(kWhite));
  EXPECT_EQ(Hex(pixel(1, 10, 20)), Hex(kSilver));
  EXPECT_EQ(Hex(pixel(1, w - 25, 12)), Hex(kWhite));
  EXPECT_EQ(Hex(pixel(1, w - 15, 20)), Hex(kGray));
  EXPECT_EQ(Hex(pixel(2, 10, 20)), Hex(kLightGray));
  EXPECT_EQ(Hex(pixel(3, 10, 20)), Hex(kSilver));
  ReleaseDC(list(), dc);

  ClickGroup(2);
  ui::RepaintNow(list());
  dc = GetDC(list());
  EXPECT_EQ(Hex(pixel(0, 10, 20)), Hex(kLightGray));
  EXPECT_EQ(Hex(pixel(2, 10, 20)), Hex(kGroupSelected));
  ReleaseDC(list(), dc);

  // The name: 9-point text at x 20, bold blue when selected, regular black
  // otherwise.
  const RECT row = form().LBGroup.ItemRect(0);
  Pixels sel(row.right, row.bottom), unsel(row.right, row.bottom);
  form().LBGroupDrawItem(ui::DrawItemEvent{sel.dc(), 0, row, true, false});
  form().LBGroupDrawItem(ui::DrawItemEvent{unsel.dc(), 0, row, false, false});
  // Inside the plate's outline.
  const RECT area{19, 12, row.right - 19, 29};
  EXPECT_EQ(CountColor(sel, area, kBlack), 0);
  EXPECT_EQ(CountColor(unsel, area, kBlue), 0);
  const RECT bold = ExtentIn(sel, area, kBlue);
  const RECT regular = ExtentIn(unsel, area, kBlack);
  const std::string name0 = form().Model().GroupAt(0).name;
  ui::FontSpec font{ui::kFaceMsGothic, 12};
  EXPECT_EQ(Box(regular), Box(ReferenceIn(font, name0, 20, row.right, row.bottom)));
  font.bold = true;
  EXPECT_EQ(Box(bold), Box(ReferenceIn(font, name0, 20, row.right, row.bottom)));
  EXPECT_GT(bold.right - bold.left, 5);
}

TEST_F(MainPaintTest, GridCellsAfterAGroupRowAreInTheRegularFont) {
  WriteGroup("日常業務", {{"題名の文字", ""}});
  Open();
  ClickGroup(0);  // the list has painted its selected row by now
  auto after_click = PaintGrid();
  const RECT r = Cell(1, 1);
  const RECT title = Local(1, 1, 38, 4, r.right - r.left - 4, 36);
  const auto same = [&](const Pixels& a, const Pixels& b) {
    int differing = 0;
    for (int y = title.top; y < title.bottom; ++y)
      for (int x = title.left; x < title.right; ++x) differing += a.at(x, y) != b.at(x, y);
    return differing;
  };
  EXPECT_EQ(CountColor(*after_click, title, kBlue), 0);
  EXPECT_GT(CountColor(*after_click, title, kBlack), 10);

  // Painting a selected and an unselected row in between changes nothing.
  const RECT row = form().LBGroup.ItemRect(0);
  Pixels rows(row.right, row.bottom);
  form().LBGroupDrawItem(ui::DrawItemEvent{rows.dc(), 0, row, true, true});
  auto after_selected = PaintGrid();
  EXPECT_EQ(same(*after_click, *after_selected), 0);
  form().LBGroupDrawItem(ui::DrawItemEvent{rows.dc(), 0, row, false, false});
  EXPECT_EQ(same(*after_click, *PaintGrid()), 0);

  // The regular painting font set anew gives the same picture, and the
  // bold face a different one: the comparison sees the style.
  ui::Canvas& canvas = *form().Painter().canvas();
  canvas.SetFontHeight(15);
  canvas.SetFontBold(false);
  canvas.SetFontColor(GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(same(*after_click, *PaintGrid()), 0);
  canvas.SetFontBold(true);
  EXPECT_GT(same(*after_click, *PaintGrid()), 20);
  canvas.SetFontBold(false);
}

TEST_F(MainPaintTest, ColumnsTakeHalfTheBaseInRegistrationAndAllOfItInLauncherMode) {
  WriteGroup("日常業務", {});
  Open(korvane::kModeRegistration);
  ClickGroup(0);
  ui::DrawGrid& g = form().DGMain;
  // The grid 457 px wide, as the window's designed size gives.
  form().SetWidth(form().Width() + 457 - g.Width());
  Pump();
  ASSERT_EQ(g.Width(), 457);
  const int scroll = GetSystemMetrics(SM_CXVSCROLL);
  std::printf("SM_CXVSCROLL = %d\n", scroll);
  const int base = 457 - scroll - 40 - 3 - 4;
  EXPECT_EQ(g.ColWidth(0), 40);
  EXPECT_EQ(g.ColWidth(1), base / 2);
  EXPECT_EQ(g.ColWidth(2), base / 2);
  EXPECT_EQ(ui::BoundsOf(editor()).width, base / 2 - 23);

  // Launcher mode from the current path cell: the current cell moves to the
  // title column of the same row first.
  Click(CellPoint(2, 3));
  ASSERT_EQ(g.Col(), 2);
  ClickButton(form().SpbRun.hwnd());
  EXPECT_EQ(form().Mode(), korvane::kModeLauncher);
  EXPECT_EQ(g.Col(), 1);
  EXPECT_EQ(g.Row(), 3);
  EXPECT_EQ(g.ColWidth(1), base);
  EXPECT_EQ(g.ColWidth(2), base);
  EXPECT_EQ(ui::BoundsOf(editor()).width, base - 23);
  EXPECT_TRUE(g.Enabled());
  // The path column cannot be entered from the keyboard.
  Key(VK_RIGHT);
  EXPECT_EQ(g.Col(), 1);

  // A resize recomputes from the grid's width in the current mode.
  form().SetWidth(form().Width() + 100);
  Pump();
  EXPECT_EQ(g.ColWidth(1), base + 100);
  EXPECT_EQ(g.ColWidth(2), base + 100);

  ClickButton(form().SpbInput.hwnd());
  EXPECT_EQ(form().Mode(), korvane::kModeRegistration);
  EXPECT_EQ(g.ColWidth(1), (base + 100) / 2);
  EXPECT_EQ(g.ColWidth(2), (base + 100) / 2);
  EXPECT_EQ(ui::BoundsOf(editor()).width, (base + 100) / 2 - 23);
  EXPECT_EQ(g.Row(), 3);
  Key(VK_RIGHT);
  EXPECT_EQ(g.Col(), 2);
}

TEST_F(MainPaintTest, AnExceptionInAHandlerIsToldInTheWarningBox) {
  Open();
  form().DGMain.on_draw_cell = [](HDC, int, int, const RECT&, ui::CellState) {
    throw std::runtime_error("no bitmap");
  };
  form().DGMain.Repaint();
  ASSERT_EQ(seam_.boxes.size(), 1u);
  EXPECT_EQ(seam_.boxes[0].text, "no bitmap");
  EXPECT_EQ(seam_.boxes[0].caption, "Korvane");
  EXPECT_EQ(seam_.boxes[0].flags, static_cast<UINT>(MB_ICONEXCLAMATION | MB_OK));
  form().DGMain.on_draw_cell = nullptr;
}

}  // namespace
}  // namespace kit
