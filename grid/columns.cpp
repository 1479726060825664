#include "grid/columns.h"

namespace korvane {

ColumnWidths ComputeColumnWidths(int grid_outer_width, int scrollbar_width, int column0_width,
                                 int line_width, int mode) {
  // 64-bit intermediate: a window can be made absurdly wide without overflow.
  const long long base = static_cast<long long>(grid_outer_width) - scrollbar_width - column0_width -
                         3LL * line_width - 4;
  ColumnWidths w;
  const long long each = (mode == 0) ? base / 2 : base;
  w.title = w.path = static_cast<int>(each);
  w.editor = static_cast<int>(each - 23);
  return w;
}

const std::array<Rgb, 32> ColorTable = {{
    {0, 0, 0},       {255, 255, 255}, {192, 192, 192}, {224, 224, 224},
    {128, 128, 128}, {255, 255, 240}, {224, 224, 255}, {128, 128, 192},
    {192, 192, 255}, {224, 255, 224}, {128, 192, 128}, {255, 192, 192},
    {192, 128, 128}, {0, 0, 255},     {255, 255, 255}, {255, 255, 255},
    {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {128, 128, 128}, {192, 192, 192},
    {255, 0, 0},     {0, 255, 0},     {255, 255, 0},   {0, 0, 255},
    {255, 0, 255},   {0, 255, 255},   {255, 255, 255}, {255, 255, 255},
}};

}  // namespace korvane
