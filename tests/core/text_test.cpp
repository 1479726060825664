#include "common/text.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(ByteClass, CountsLeadValuedBytesInFront) {
  // "ソ" is 83 5C: the 0x5C is a trail byte, not a backslash.
  const std::string s = "aソ\\";
  ASSERT_EQ(s.size(), 4u);
  EXPECT_EQ(ClassifyByte(s, 0), ByteClass::Single);
  EXPECT_EQ(ClassifyByte(s, 1), ByteClass::Lead);
  EXPECT_EQ(ClassifyByte(s, 2), ByteClass::Trail);
  EXPECT_EQ(ClassifyByte(s, 3), ByteClass::Single);
  // A run of lead-valued bytes alternates lead and trail.
  const std::string t("\x81\x81\x81", 3);
  EXPECT_EQ(ClassifyByte(t, 1), ByteClass::Trail);
  EXPECT_EQ(ClassifyByte(t, 2), ByteClass::Lead);
  const std::string z("\x81\0", 2);
  EXPECT_EQ(ClassifyByte(z, 1), ByteClass::Trail);
  const std::string zero("\0a", 2);
  EXPECT_EQ(ClassifyByte(zero, 0), ByteClass::Single);
}

TEST(TruncateBytes, NeverSplitsADoubleByteCharacter) {
  const std::string three = "あいう";  // 6 bytes
  EXPECT_EQ(TruncateBytes(three, 5), "あい");
  EXPECT_EQ(TruncateBytes(three, 4), "あい");
  EXPECT_EQ(TruncateBytes(three, 6), three);
  EXPECT_EQ(TruncateBytes(three, 40), three);
  EXPECT_EQ(TruncateBytes("aあい", 4), "aあ");
  EXPECT_EQ(TruncateBytes("abc", 0), "");
  // A 0x5C trail byte at the cut stays with its lead byte.
  EXPECT_EQ(TruncateBytes("ソソ", 3), "ソ");
}

TEST(LastPathSeparator, SkipsTrailBytes) {
  EXPECT_EQ(LastPathSeparator("C:\\ソ"), 2u);
  EXPECT_EQ(LastPathSeparator("C:\\a\\b.txt"), 4u);
  EXPECT_EQ(LastPathSeparator("C:x"), 1u);
  EXPECT_EQ(LastPathSeparator("ソ"), std::string::npos);
}

TEST(CheckInput, ForbiddenSetRejectsAndGivesCaret) {
  const std::string forbidden = "\\/:*?\"<>|;,";
  EXPECT_TRUE(CheckInput("abc", forbidden, false).pass);
  EXPECT_TRUE(CheckInput("", forbidden, false).pass);
  auto end = CheckInput("abc:", forbidden, false);
  EXPECT_FALSE(end.pass);
  EXPECT_EQ(end.caret, 3u);
  auto mid = CheckInput("ab:c", forbidden, false);
  EXPECT_FALSE(mid.pass);
  EXPECT_EQ(mid.caret, 2u);
  // Double-byte characters with 0x5C / 0x7C trail bytes pass.
  EXPECT_TRUE(CheckInput("ソ表\x83\x7C", forbidden, false).pass);
  auto after = CheckInput("あい:", forbidden, false);
  EXPECT_EQ(after.caret, 4u);
}

TEST(CheckInput, PermittedSetRejectsEveryDoubleByteCharacter) {
  EXPECT_TRUE(CheckInput("123", "0123456789", true).pass);
  auto r = CheckInput("1あ", "0123456789", true);
  EXPECT_FALSE(r.pass);
  EXPECT_EQ(r.caret, 1u);
  // Even with both bytes of "あ" (82 A0) in the set, the trail byte never matches.
  auto both = CheckInput("1あ", "0123456789\x82\xA0", true);
  EXPECT_FALSE(both.pass);
  EXPECT_EQ(both.caret, 2u);
}

TEST(NamesEqualNoCase, FoldsLettersOnly) {
  EXPECT_TRUE(NamesEqualNoCase("Abc", "aBC"));
  EXPECT_FALSE(NamesEqualNoCase("abc", "abcd"));
  EXPECT_TRUE(NamesEqualNoCase("ＡＢＣ", "ａｂｃ"));
  EXPECT_TRUE(NamesEqualNoCase("ΑΩ", "αω"));
  EXPECT_TRUE(NamesEqualNoCase("АЯЁ", "аяё"));
  EXPECT_TRUE(NamesEqualNoCase("業務A", "業務a"));
  EXPECT_FALSE(NamesEqualNoCase("ア", "ヂ"));   // 83 41 vs 83 61
  EXPECT_FALSE(NamesEqualNoCase("ｱ", "ﾑ"));     // B1 vs D1
  EXPECT_FALSE(NamesEqualNoCase("あ", "い"));
}

}  // namespace
}  // namespace korvane
