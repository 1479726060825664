#include "grid/columns.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(ColumnWidths, BothModesFromTheGridWidth) {
  // 457-px grid, 16-px scroll bar, column 0 at 40, 1-px lines: base 394.
  const ColumnWidths reg = ComputeColumnWidths(457, 16, 40, 1, 0);
  EXPECT_EQ(reg.title, 197);
  EXPECT_EQ(reg.path, 197);
  EXPECT_EQ(reg.editor, 174);
  const ColumnWidths run = ComputeColumnWidths(457, 16, 40, 1, 1);
  EXPECT_EQ(run.title, 394);
  EXPECT_EQ(run.path, 394);
  EXPECT_EQ(run.editor, 371);
  // Any mode other than registration sizes like launcher mode.
  EXPECT_EQ(ComputeColumnWidths(457, 16, 40, 1, 7).title, 394);
  // An odd base truncates; a negative base truncates toward zero.
  EXPECT_EQ(ComputeColumnWidths(458, 16, 40, 1, 0).title, 197);
  EXPECT_EQ(ComputeColumnWidths(60, 16, 40, 1, 0).title, -1);
}

TEST(ColorTable, HoldsThePaintingColoursInPaletteOrder) {
  ASSERT_EQ(ColorTable.size(), 32u);
  auto same = [](Rgb c, int r, int g, int b) { return c.r == r && c.g == g && c.b == b; };
  EXPECT_TRUE(same(ColorTable[kClrCurrentCell], 255, 255, 240));
  EXPECT_TRUE(same(ColorTable[kClrPathFace], 224, 224, 255));
  EXPECT_TRUE(same(ColorTable[kClrHeaderShadow], 192, 128, 128));
  EXPECT_TRUE(same(ColorTable[kClrBlue], 0, 0, 255));
  EXPECT_TRUE(same(ColorTable[16], 128, 0, 0));
  EXPECT_TRUE(same(ColorTable[26], 255, 255, 0));
  EXPECT_TRUE(same(ColorTable[31], 255, 255, 255));
}

}  // namespace
}  // namespace korvane
