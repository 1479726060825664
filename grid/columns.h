#pragma once
// Plain arithmetic of the entry grid: column widths for both modes and the
// colour table the painting and the palette share.
#include <array>
#include <cstdint>

namespace korvane {

struct ColumnWidths {
  int title = 0;         // column 1
  int path = 0;          // column 2
  int editor = 0;        // the title editor's width
};

// base = outer width - scroll bar - column 0 - 3 grid lines - 4. Registration
// mode (mode value 0) halves it (truncating toward zero); launcher mode gives the whole base
// to both columns, so the path column lies beyond the right edge.
ColumnWidths ComputeColumnWidths(int grid_outer_width, int scrollbar_width, int column0_width,
                                 int line_width, int mode);

struct Rgb {
  std::uint8_t r, g, b;
};

// The 32 painting colours, in palette order.
extern const std::array<Rgb, 32> ColorTable;

// Indexes into ColorTable by use.
enum ColorIndex : int {
  kClrBlack = 0, kClrWhite = 1, kClrSilver = 2, kClrLightGray = 3, kClrGray = 4,
  kClrCurrentCell = 5, kClrPathFace = 6, kClrPathShadow = 7, kClrSelectedGroup = 8,
  kClrGroupFace = 9, kClrGroupShadow = 10, kClrHeaderFace = 11, kClrHeaderShadow = 12,
  kClrBlue = 13, kClrPlateWhite = 14,
};

}  // namespace korvane
