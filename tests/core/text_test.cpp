#include "common/text.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

// The four names of files that offices share with Macs and colleagues
// abroad, and the wave dash as Windows writes it.
constexpr std::string_view kCafe = "Café メニュー.txt";
constexpr std::string_view kYoshinoya = "𠮷野家の請求書.txt";
constexpr std::string_view kKorean = "한국어 자料.txt";
constexpr std::string_view kWaveDash = "波ダッシュ〜テスト.txt";          // U+301C
constexpr std::string_view kFullwidthTilde = "波ダッシュ～テスト.txt";    // U+FF5E

TEST(ByteClass, TellsUtf8LeadAndContinuationBytes) {
  // "ソ" is E3 82 BD: no byte of it is a backslash or any other ASCII.
  const std::string s = "aソ\\𠮷";
  ASSERT_EQ(s.size(), 9u);
  EXPECT_EQ(ClassifyByte(s, 0), ByteClass::Single);
  EXPECT_EQ(ClassifyByte(s, 1), ByteClass::Lead);
  EXPECT_EQ(ClassifyByte(s, 2), ByteClass::Trail);
  EXPECT_EQ(ClassifyByte(s, 3), ByteClass::Trail);
  EXPECT_EQ(ClassifyByte(s, 4), ByteClass::Single);
  EXPECT_EQ(ClassifyByte(s, 5), ByteClass::Lead);
  EXPECT_EQ(ClassifyByte(s, 8), ByteClass::Trail);
  const std::string zero("\0a", 2);
  EXPECT_EQ(ClassifyByte(zero, 0), ByteClass::Single);
  // Characters and their lengths; what is not well formed is U+FFFD of one byte.
  EXPECT_EQ(DecodeChar(s, 1).code, U'ソ');
  EXPECT_EQ(DecodeChar(s, 1).length, 3u);
  EXPECT_EQ(DecodeChar(s, 5).code, U'𠮷');
  EXPECT_EQ(DecodeChar(s, 5).length, 4u);
  for (const std::string bad : {"\x80", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE3\x82"}) {
    EXPECT_EQ(DecodeChar(bad, 0).code, U'\uFFFD') << bad.size();
    EXPECT_EQ(DecodeChar(bad, 0).length, 1u) << bad.size();
  }
  EXPECT_EQ(ValidUtf8(s), s);
  EXPECT_EQ(ValidUtf8("a\x80" "b\xE3\x82"), "a\uFFFD" "b\uFFFD\uFFFD");
}

TEST(TextConversion, Utf16BothWays) {
  for (const std::string_view name : {kCafe, kYoshinoya, kKorean, kWaveDash, std::string_view("")}) {
    bool exact = false;
    EXPECT_EQ(Utf8FromUtf16(Utf16FromUtf8(name), &exact), name);
    EXPECT_TRUE(exact) << name;
  }
  EXPECT_EQ(Utf16FromUtf8("a𠮷"), u"a\xD842\xDFB7");
  EXPECT_EQ(Utf16FromUtf8("a\xFF"), u"a\xFFFD");
  // An unpaired surrogate has no UTF-8 spelling.
  bool exact = true;
  EXPECT_EQ(Utf8FromUtf16(u"a\xD800" "b", &exact), "a\uFFFD" "b");
  EXPECT_FALSE(exact);
  EXPECT_EQ(Utf8FromUtf16(u"\xDFB7\xD842", &exact), "\uFFFD\uFFFD");
  EXPECT_FALSE(exact);
}

TEST(TextConversion, CodePage932ExactlyOrNotAtAll) {
  ASSERT_TRUE(Cp932Available());
  EXPECT_EQ(Cp932FromUtf8("業務 ソ表"), "\x8B\xC6\x96\xB1 \x83\x5C\x95\x5C");
  EXPECT_EQ(Utf8FromCp932("\x8B\xC6\x96\xB1 \x83\x5C\x95\x5C"), "業務 ソ表");
  EXPECT_EQ(Cp932FromUtf8(""), "");
  EXPECT_EQ(Cp932FromUtf8("ｱ\\~"), "\xB1\\~");
  // Where Windows maps a byte pair to another character than the obvious
  // one, that character is the code page's: ～ ＼ － ∥ ￠ ￡ ￢.
  EXPECT_EQ(Cp932FromUtf8("～＼－∥￠￡￢"), "\x81\x60\x81\x5F\x81\x7C\x81\x61\x81\x91\x81\x92\x81\xCA");
  EXPECT_EQ(Utf8FromCp932("\x81\x60\x81\x5F\x81\x7C\x81\x61\x81\x91\x81\x92\x81\xCA"), "～＼－∥￠￡￢");
  // Characters of two codes (NEC and IBM rows) take the one Windows writes;
  // both read back.
  EXPECT_EQ(Cp932FromUtf8("≒ⅰ"), "\x81\xE0\xFA\x40");
  EXPECT_EQ(Utf8FromCp932("\x87\x90\xEE\xEF"), "≒ⅰ");
  // No look-alike ("e" for "é", "\\" for "¥", ～ for the wave dash), no
  // default character, nothing beyond the BMP.
  for (const std::string_view name :
       {kCafe, kYoshinoya, kKorean, kWaveDash, std::string_view("a\u00A5b"), std::string_view("\xE3\x82")}) {
    EXPECT_EQ(Cp932FromUtf8(name), std::nullopt) << name;
    EXPECT_FALSE(FitsCodePage932(name)) << name;
  }
  EXPECT_TRUE(FitsCodePage932(kFullwidthTilde));
  EXPECT_TRUE(FitsCodePage932("ＡΩЯ①"));
  EXPECT_EQ(Utf8FromCp932(*Cp932FromUtf8(kFullwidthTilde)), kFullwidthTilde);
  // Bytes that form no character read as "・", a lone lead byte too; a
  // byte that cannot be a trail byte stands on its own after it.
  EXPECT_EQ(Utf8FromCp932("a\x82"), "a・");
  EXPECT_EQ(Utf8FromCp932("\x85\x40z"), "・z");
  EXPECT_EQ(Utf8FromCp932("\x82\r\n"), "・\r\n");
  // Long text, and text that triples in size, convert alike.
  std::string bytes, text;
  for (int i = 0; i < 300; ++i) bytes += "abcdefghij\x8B\xC6\x96\xB1\x85\x40\xB1", text += "abcdefghij業務・ｱ";
  EXPECT_EQ(Utf8FromCp932(bytes + "\x82"), text + "・");
  for (const std::size_t n : {1024u, 1025u, 2047u, 2048u, 2049u}) {
    std::string kana;
    for (std::size_t i = 0; i < n; ++i) kana += "ｱ";
    EXPECT_EQ(Utf8FromCp932(std::string(n, '\xB1')), kana) << n;
  }
  EXPECT_EQ(Cp932CharLength("\x82\xA0", 0), 2u);
  EXPECT_EQ(Cp932CharLength("\x82", 0), 1u);
  EXPECT_EQ(Cp932CharLength("\xB1\xA0", 0), 1u);
}

TEST(TextUnits, CountCodePageBytesOrTwoPerUtf16Unit) {
  EXPECT_EQ(TextUnits("abc"), 3u);
  EXPECT_EQ(TextUnits("あいう"), 6u);
  EXPECT_EQ(TextUnits("ｱｲｳ"), 3u);   // half-width katakana: one byte each
  EXPECT_EQ(TextUnits(kCafe), 18u);
  EXPECT_EQ(TextUnits(kYoshinoya), 20u);
  EXPECT_EQ(TextUnits(kKorean), 15u);
  EXPECT_EQ(TextUnits(kWaveDash), 22u);
  EXPECT_EQ(TextUnits(kWaveDash), TextUnits(kFullwidthTilde));
  for (const std::string_view fits : {std::string_view("業務 ソ表"), kFullwidthTilde, std::string_view("ｱ～≒")})
    EXPECT_EQ(TextUnits(fits), Cp932FromUtf8(fits)->size()) << fits;
  // Never more units than bytes, nor fewer than UTF-16 units.
  for (const std::string_view name : {kCafe, kYoshinoya, kKorean, kWaveDash}) {
    EXPECT_LE(TextUnits(name), name.size());
    EXPECT_GE(TextUnits(name), Utf16FromUtf8(name).size());
  }
  EXPECT_EQ(CharUnits(U'𠮷'), 4u);
  EXPECT_EQ(CharUnits(U'é'), 2u);
  EXPECT_EQ(CharUnits(U'\uFFFD'), 2u);
}

TEST(CutToUnits, NeverSplitsACharacter) {
  const std::string three = "あいう";  // 6 units
  EXPECT_EQ(CutToUnits(three, 5), "あい");
  EXPECT_EQ(CutToUnits(three, 4), "あい");
  EXPECT_EQ(CutToUnits(three, 6), three);
  EXPECT_EQ(CutToUnits(three, 40), three);
  EXPECT_EQ(CutToUnits("aあい", 4), "aあ");
  EXPECT_EQ(CutToUnits("abc", 0), "");
  EXPECT_EQ(CutToUnits("ソソ", 3), "ソ");
  EXPECT_EQ(TruncateBytes("ソソ", 3), "ソ");
  // A surrogate pair goes whole or not at all.
  EXPECT_EQ(CutToUnits(kYoshinoya, 3), "");
  EXPECT_EQ(CutToUnits(kYoshinoya, 4), "𠮷");
  EXPECT_EQ(CutToUnits(kYoshinoya, 7), "𠮷野");
  EXPECT_EQ(CutToUnits(kCafe, 4), "Caf");
  EXPECT_EQ(CutToUnits(kCafe, 5), "Café");
  EXPECT_EQ(CutToUnits(kWaveDash, 11), "波ダッシュ");
  EXPECT_EQ(CutToUnits(kWaveDash, 12), "波ダッシュ〜");
  EXPECT_EQ(CutToUnits("ｱｲｳ", 2), "ｱｲ");
  // Every cut is within the limit and a whole character shorter at most.
  for (const std::string_view name : {kCafe, kYoshinoya, kKorean, kWaveDash}) {
    for (std::size_t n = 0; n <= name.size(); ++n) {
      const std::string cut = CutToUnits(name, n);
      EXPECT_LE(TextUnits(cut), n);
      EXPECT_EQ(ValidUtf8(cut), cut);
      EXPECT_EQ(name.substr(0, cut.size()), cut);
      if (cut.size() < name.size()) {
        EXPECT_GT(TextUnits(cut) + CharUnits(DecodeChar(name, cut.size()).code), n);
      }
    }
  }
}

TEST(LastPathSeparator, FindsTheLastBackslashOrColon) {
  EXPECT_EQ(LastPathSeparator("C:\\ソ"), 2u);
  EXPECT_EQ(LastPathSeparator("C:\\a\\b.txt"), 4u);
  EXPECT_EQ(LastPathSeparator("C:x"), 1u);
  EXPECT_EQ(LastPathSeparator("ソ表"), std::string::npos);
  EXPECT_EQ(LastPathSeparator("E:\\業務\\𠮷野家の請求書.txt"), 9u);
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
  // Characters whose code page 932 bytes end in 0x5C or 0x7C pass, and so
  // does any character Windows allows in a name.
  EXPECT_TRUE(CheckInput("ソ表ポ", forbidden, false).pass);
  EXPECT_TRUE(CheckInput(kCafe, forbidden, false).pass);
  EXPECT_TRUE(CheckInput(kKorean, forbidden, false).pass);
  // The caret counts UTF-16 units: two for a surrogate pair.
  auto after = CheckInput("あい:", forbidden, false);
  EXPECT_EQ(after.caret, 2u);
  auto pair = CheckInput("𠮷野:", forbidden, false);
  EXPECT_EQ(pair.caret, 3u);
}

TEST(CheckInput, PermittedSetRejectsEveryOtherCharacter) {
  EXPECT_TRUE(CheckInput("123", "0123456789", true).pass);
  auto r = CheckInput("1あ", "0123456789", true);
  EXPECT_FALSE(r.pass);
  EXPECT_EQ(r.caret, 1u);
  // The set is compared by character: "あ" in it lets "あ" pass, and a set
  // holding characters that share bytes with it does not.
  EXPECT_TRUE(CheckInput("1あ", "0123456789あ", true).pass);
  auto other = CheckInput("1あ", "0123456789ぁぃ", true);
  EXPECT_FALSE(other.pass);
  EXPECT_EQ(other.caret, 1u);
}

TEST(NamesEqualNoCase, FoldsLettersOnly) {
  EXPECT_TRUE(NamesEqualNoCase("Abc", "aBC"));
  EXPECT_FALSE(NamesEqualNoCase("abc", "abcd"));
  EXPECT_TRUE(NamesEqualNoCase("ＡＢＣ", "ａｂｃ"));
  EXPECT_TRUE(NamesEqualNoCase("ΑΩ", "αω"));
  EXPECT_TRUE(NamesEqualNoCase("АЯЁ", "аяё"));
  EXPECT_TRUE(NamesEqualNoCase("業務A", "業務a"));
  EXPECT_TRUE(NamesEqualNoCase("café", "CAFÉ"));
  EXPECT_TRUE(NamesEqualNoCase("Łódź", "łÓDŹ"));
  EXPECT_FALSE(NamesEqualNoCase("cafe", "café"));
  EXPECT_FALSE(NamesEqualNoCase("ア", "ヂ"));
  EXPECT_FALSE(NamesEqualNoCase("ｱ", "ﾑ"));
  EXPECT_FALSE(NamesEqualNoCase("あ", "い"));
  EXPECT_FALSE(NamesEqualNoCase("한", "핝"));
  EXPECT_TRUE(NamesEqualNoCase(kYoshinoya, kYoshinoya));
}

}  // namespace
}  // namespace korvane
