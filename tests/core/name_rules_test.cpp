#include "common/name_rules.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(NameRules, BlankNames) {
  EXPECT_TRUE(IsBlankName(""));
  EXPECT_TRUE(IsBlankName("   "));
  EXPECT_TRUE(IsBlankName(" \t\x01 "));
  EXPECT_FALSE(IsBlankName("　"));  // full-width space is a character
  EXPECT_FALSE(IsBlankName(" a "));
}

TEST(NameRules, ReservedDeviceNames) {
  for (const char* n : {"CON", "con", "Prn", "AUX", "nul", "CONIN$", "conout$", "COM1", "com9", "LPT1",
                        "lpt9", "NUL.txt", "con .x", "AUX  ", "nul.a.b"}) {
    EXPECT_TRUE(IsReservedDeviceName(n)) << n;
  }
  for (const char* n : {"CONS", "COM0", "COM10", "LPT", "ＣＯＮ", "xCON", " CON", "console", "業務", ""}) {
    EXPECT_FALSE(IsReservedDeviceName(n)) << n;
  }
}

TEST(NameRules, ControlBytes) {
  EXPECT_TRUE(HasControlByte("a\tb"));
  EXPECT_TRUE(HasControlByte(std::string("a\0b", 3)));
  EXPECT_TRUE(HasControlByte("\x1f"));
  EXPECT_FALSE(HasControlByte("業務 名"));
  EXPECT_FALSE(HasControlByte(""));
}

}  // namespace
}  // namespace korvane
