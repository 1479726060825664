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
  EXPECT_FALSE(IsBlankName("café"));
  EXPECT_FALSE(IsBlankName("\u00A0"));   // a no-break space is a character of the name
}

TEST(NameRules, ReservedDeviceNames) {
  for (const char* n : {"CON", "con", "Prn", "AUX", "nul", "CONIN$", "conout$", "COM1", "com9", "LPT1",
                        "lpt9", "NUL.txt", "con .x", "AUX  ", "nul.a.b", "COM\u00B9", "lpt\u00B2.txt",
                        "Com\u00B3"}) {
    EXPECT_TRUE(IsReservedDeviceName(n)) << n;
  }
  for (const char* n : {"CONS", "COM0", "COM10", "LPT", "ＣＯＮ", "xCON", " CON", "console", "業務", "",
                        "COM\u2074", "COM\u00B9\u00B9", "COM１", "café", "CON\u00E9"}) {
    EXPECT_FALSE(IsReservedDeviceName(n)) << n;
  }
}

TEST(NameRules, ControlBytes) {
  EXPECT_TRUE(HasControlByte("a\tb"));
  EXPECT_TRUE(HasControlByte(std::string("a\0b", 3)));
  EXPECT_TRUE(HasControlByte("\x1f"));
  EXPECT_FALSE(HasControlByte("業務 名"));
  EXPECT_FALSE(HasControlByte(""));
  // UTF-8 continuation bytes are no control bytes, whatever their value.
  EXPECT_FALSE(HasControlByte("𠮷野家の請求書 한국어 Café"));
}

TEST(NameRules, ForbiddenCharactersAsWindowsSeesThem) {
  for (const char* n : {"a\\b", "a/b", "a:b", "a*", "?", "\"x\"", "<a", "a>", "a|b"}) {
    EXPECT_TRUE(HasForbiddenCharacter(n)) << n;
  }
  // Characters whose code page 932 bytes hold 0x5C or 0x7C, and characters
  // beyond the code page, are allowed in a file name.
  for (const char* n : {"ソ表ポ", "café", "𠮷野家", "한국어 자料", "波ダッシュ〜テスト", "＼／：＊？＂＜＞｜", ""}) {
    EXPECT_FALSE(HasForbiddenCharacter(n)) << n;
  }
}

}  // namespace
}  // namespace korvane
