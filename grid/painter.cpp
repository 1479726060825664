#include "grid/painter.h"

#include <array>

#include "common/FN0010GF.h"
#include "grid/colors.h"
#include "ui/image.h"
#include "ui/wide.h"

namespace korvane {

namespace {

RECT LocalRect(const RECT& cell) { return RECT{0, 0, cell.right - cell.left, cell.bottom - cell.top}; }

std::string SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = n ? ui::Narrow(std::wstring_view(text, n)) : std::string();
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n')) message.pop_back();
  if (message.empty()) message = "Error " + std::to_string(error);
  return message;
}

}  // namespace

COLORREF PaletteColor(int index) {
  const Rgb c = ColorTable[static_cast<std::size_t>(index)];
  return PALETTERGB(c.r, c.g, c.b);
}

GridPainter::GridPainter() = default;

GridPainter::~GridPainter() { FreeCanvas(); }

void GridPainter::BuildPalette() {
  struct {
    WORD version;
    WORD count;
    PALETTEENTRY entries[32];
  } log{0x300, 32, {}};
  for (std::size_t i = 0; i < ColorTable.size(); ++i) {
    log.entries[i] = PALETTEENTRY{ColorTable[i].r, ColorTable[i].g, ColorTable[i].b, 0};
  }
  palette_.reset(CreatePalette(reinterpret_cast<LOGPALETTE*>(&log)));
}

bool GridPainter::PrepareCanvas(const ui::FontSpec& font) {
  FreeCanvas();
  if (!surface_.CreateDib(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 24)) {
    ShowWarning(SystemMessage(GetLastError() ? GetLastError() : ERROR_NOT_ENOUGH_MEMORY));
    return false;
  }
  canvas_ = std::make_unique<ui::Canvas>(surface_.dc());
  canvas_->SetFont(font);
  canvas_->SetFontColor(GetSysColor(COLOR_WINDOWTEXT));
  return true;
}

void GridPainter::FreeCanvas() {
  canvas_.reset();
  surface_.Free();
}

bool GridPainter::LoadPictures() {
  return pictures_.Attach(ui::LoadPicture(L"BUTTONS"));
}

void GridPainter::DrawPicture(HDC dc, int index, int x, int y) const {
  if (!pictures_) return;
  BitBlt(dc, x, y, kPictureSize, kPictureSize, pictures_.dc(), index * kPictureSize, 0, SRCCOPY);
}

void GridPainter::DrawRoundPlate(const RECT& r, std::string_view text, COLORREF shadow, COLORREF face) {
  ui::Canvas& c = *canvas_;
  const int th = c.TextHeight(text);
  const int y = (r.bottom - th) / 2;
  c.SetBrushColor(shadow);
  c.RoundRect(RECT{22, y + 2, r.right - 12, y + th + 8}, 5, 5);
  c.SetBrushColor(face);
  c.RoundRect(RECT{17, y - 3, r.right - 17, y + th + 3}, 5, 5);
}

void GridPainter::DrawHeaderText(const RECT& r, std::string_view text) {
  ui::Canvas& c = *canvas_;
  if (!text.empty()) DrawRoundPlate(r, text, PaletteColor(kClrHeaderShadow), PaletteColor(kClrHeaderFace));
  const SIZE ext = c.TextExtent(text);
  Emboss((r.right - ext.cx) / 2, (r.bottom - ext.cy) / 2, text);
}

void GridPainter::DrawPathText(const RECT& r, std::string_view text) {
  ui::Canvas& c = *canvas_;
  if (!text.empty()) DrawRoundPlate(r, text, PaletteColor(kClrPathShadow), PaletteColor(kClrPathFace));
  Emboss(20, (r.bottom - c.TextHeight(text)) / 2, text);
}

bool GridPainter::PathFitsPlate(int width, std::string_view path) const {
  if (!canvas_) return false;
  // DrawPathText's text begins at 20; DrawRoundPlate's face ends 17 short
  // of the cell's right edge.
  return 20 + canvas_->TextWidth(path) <= width - 17;
}

void GridPainter::DrawEmbossedText(const RECT& r, std::string_view text, int x) {
  Emboss(x, (r.bottom - canvas_->TextHeight(text)) / 2, text);
}

void GridPainter::Emboss(int x, int y, std::string_view text) {
  ui::Canvas& c = *canvas_;
  const COLORREF remembered = c.FontColor();
  const ui::BkMode mode = c.bk_mode();
  c.SetBkMode(ui::BkMode::Transparent);
  c.SetFontColor(PaletteColor(kClrWhite));
  c.TextAt(x + 1, y + 1, text);
  c.SetFontColor(remembered);
  c.TextAt(x, y, text);
  c.SetBkMode(mode);
}

void GridPainter::DrawEtchedFrame(const RECT& r) {
  ui::Canvas& c = *canvas_;
  const COLORREF remembered = c.PenColor();
  const LONG L = r.left, T = r.top, R = r.right, B = r.bottom;
  c.SetPenColor(PaletteColor(kClrGray));
  const std::array<POINT, 5> groove{{{L + 2, T + 2}, {L + 2, B - 3}, {R - 3, B - 3}, {R - 3, T + 2}, {L + 2, T + 2}}};
  c.Polyline(groove);
  c.SetPenColor(PaletteColor(kClrWhite));
  c.Line(L + 3, T + 3, L + 3, B - 4);
  c.MoveTo(L + 2, B - 2);
  c.LineTo(R - 2, B - 2);
  c.LineTo(R - 2, T + 2);
  c.Line(R - 4, T + 3, L + 3, T + 3);
  c.SetPenColor(remembered);
}

void GridPainter::DrawCell(HDC target, int col, int row, const RECT& cell, CellState state,
                           const Group* current, const GridMarks& marks) {
  if (!canvas_) return;
  const ui::ScopedPalette canvas_palette(surface_.dc(), palette_.get(), true);
  canvas_palette.Realize();
  const ui::ScopedPalette target_palette(target, palette_.get(), true);
  target_palette.Realize();
  const RECT local = LocalRect(cell);
  if (state.fixed || col == 0 || row == 0) {
    FixedCell(col, row, local, current, marks);
  } else {
    EntryCell(col, row, local, state, current, marks);
  }
  CopyOut(target, cell);
}

void GridPainter::FixedCell(int col, int row, const RECT& local, const Group* current, const GridMarks& marks) {
  ui::Canvas& c = *canvas_;
  if (col == 0) {
    int picture = kPicGo;
    if (row >= 1) {
      picture = kPicBarUp;
      if (const Entry* entry = current ? current->EntryAt(static_cast<std::size_t>(row)) : nullptr) {
        const bool pressed = row == marks.pressed_row;
        switch (entry->marker) {
          case PathMarker::NoPath: picture = pressed ? kPicBarDown : kPicBarUp; break;
          case PathMarker::Found:
          case PathMarker::Untested:  // shown as found until its test answers
            picture = pressed ? kPicRingDown : kPicRingUp;
            break;
          case PathMarker::Missing: picture = pressed ? kPicCrossDown : kPicCrossUp; break;
        }
      }
    }
    // A launch column dragged wider than the picture shows silver beside it.
    if (local.right > kPictureSize || local.bottom > kPictureSize) {
      c.SetBrushColor(PaletteColor(kClrSilver));
      c.FillRect(local);
    }
    DrawPicture(c.dc(), picture, 0, 0);
    return;
  }
  c.SetBrushColor(PaletteColor(kClrSilver));
  c.FillRect(local);
  DrawHeaderText(local, col == 1 ? "Contents" : "File");
  DrawEtchedFrame(local);
}

void GridPainter::EntryCell(int col, int row, const RECT& local, CellState state, const Group* current,
                            const GridMarks& marks) {
  ui::Canvas& c = *canvas_;
  const Entry* entry = current ? current->EntryAt(static_cast<std::size_t>(row)) : nullptr;
  if (!entry) {
    c.SetBrushColor(PaletteColor(kClrSilver));
    c.FillRect(local);
    DrawEtchedFrame(local);
    return;
  }
  int background = (row % 2 == 1) ? kClrSilver : kClrLightGray;
  if (row == marks.edit_row) background = kClrWhite;
  else if (state.selected) background = kClrCurrentCell;
  c.SetBrushColor(PaletteColor(background));
  c.FillRect(local);
  DrawEtchedFrame(local);
  if (col == 2) {
    DrawPathText(local, entry->path);
    return;
  }
  if (marks.title_editing && row == marks.edit_row) return;  // the editor lies over it
  DrawEmbossedText(local, entry->title, 40);
  if (entry->marker != PathMarker::NoPath) DrawEntryIcon(entry->path);
}

void GridPainter::DrawEntryIcon(const std::string& path) {
  bool known = false;
  if (HICON icon = icons_.Find(path, &known)) {
    DrawIcon(canvas_->dc(), 4, 4, icon);
  } else if (!known && icons_.Request(path) && on_icon_wanted) {
    on_icon_wanted(path);
  }
}

void GridPainter::CopyOut(HDC target, const RECT& cell) {
  BitBlt(target, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, surface_.dc(), 0, 0, SRCCOPY);
}

void GridPainter::DrawGroupRow(HDC target, const RECT& row_rect, int index, std::string_view name, bool selected) {
  if (!canvas_) return;
  ui::Canvas& c = *canvas_;
  const ui::ScopedPalette canvas_palette(surface_.dc(), palette_.get(), true);
  canvas_palette.Realize();
  const ui::ScopedPalette target_palette(target, palette_.get(), true);
  target_palette.Realize();
  const RECT local = LocalRect(row_rect);
  const COLORREF remembered_color = c.FontColor();
  const int remembered_height = c.FontHeight();
  if (selected) {
    c.SetBrushColor(PaletteColor(kClrSelectedGroup));
    c.FillRect(local);
    DrawEtchedFrame(local);
    DrawRoundPlate(local, name, PaletteColor(kClrGroupShadow), PaletteColor(kClrGroupFace));
    c.SetFontBold(true);
    c.SetFontColor(PaletteColor(kClrBlue));
  } else {
    c.SetBrushColor(PaletteColor(index % 2 == 1 ? kClrSilver : kClrLightGray));
    c.FillRect(local);
    DrawEtchedFrame(local);
    DrawRoundPlate(local, name, PaletteColor(kClrGray), PaletteColor(kClrPlateWhite));
    c.SetFontColor(PaletteColor(kClrBlack));
  }
  // 9 points: 12 px, since the program declares no DPI awareness.
  c.SetFontSize(9);
  DrawEmbossedText(local, name, 20);
  c.SetFontHeight(remembered_height);
  c.SetFontColor(remembered_color);
  c.SetFontBold(false);
  CopyOut(target, row_rect);
}

}  // namespace korvane
