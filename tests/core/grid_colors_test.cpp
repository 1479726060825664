#include "grid/colors.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

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
