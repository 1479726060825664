#include "grid/columns.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(ColumnWidths, BothModesFromTheGridWidth) {
  // 457-px grid, 16-px scroll bar, column 0 at 40, 1-px lines: base 394.
  const ColumnWidths reg = ComputeColumnWidths(457, 16, 40, 1, 0);
  EXPECT_EQ(reg.title, 197);
  EXPECT_EQ(reg.path, 197);
  EXPECT_EQ(TitleEditorWidth(reg.title), 174);
  const ColumnWidths run = ComputeColumnWidths(457, 16, 40, 1, 1);
  EXPECT_EQ(run.title, 394);
  EXPECT_EQ(run.path, 394);
  EXPECT_EQ(TitleEditorWidth(run.title), 371);
  // Any mode other than registration sizes like launcher mode.
  EXPECT_EQ(ComputeColumnWidths(457, 16, 40, 1, 7).title, 394);
  // An odd base truncates; a negative base truncates toward zero.
  EXPECT_EQ(ComputeColumnWidths(458, 16, 40, 1, 0).title, 197);
  EXPECT_EQ(ComputeColumnWidths(60, 16, 40, 1, 0).title, -1);
}

}  // namespace
}  // namespace korvane
