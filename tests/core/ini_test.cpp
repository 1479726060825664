#include "data/ini.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "tests/core/tempdir.h"

namespace korvane {
namespace {

using namespace std::string_literals;
using testing::Cp932;
using testing::Utf16File;

IniDocument Doc(std::string bytes) { return IniDocument(std::move(bytes)); }

std::string Read(const std::string& bytes, std::string_view section, std::string_view key) {
  return Doc(bytes).Get(section, key, "DEF");
}

std::string Written(std::string bytes, std::string_view section, std::string_view key,
                    std::string_view value) {
  IniDocument doc(std::move(bytes));
  doc.Set(section, key, value);
  return doc.Bytes();
}

TEST(IniRead, BlanksAroundNamesAndValues) {
  const std::string r01 = "  [ Sec1 ]  \r\n \t key1 \t = \t value 1 \t \r\n";
  EXPECT_EQ(Read(r01, "sEC1", "KEY1"), "value 1");
  EXPECT_EQ(Read(r01, "  Sec1 ", " key1  "), "value 1");  // caller names lose spaces
  EXPECT_EQ(Read(r01, "\tSec1", "key1"), "DEF");          // but not tabs
  EXPECT_EQ(Read(r01, "Sec1", "\tkey1"), "DEF");
  // VT, FF and ^Z are blanks; the ideographic space is not.
  EXPECT_EQ(Read("[S]\r\n\vk\f=\x1A v \v\f\x1A\r\n", "S", "k"), "v");
  EXPECT_EQ(Read(Cp932("[S]\r\nk=　v　\r\n"), "S", "k"), "　v　");
  EXPECT_EQ(Read("[S]\r\nmy  key=1\r\n", "S", "my key"), "DEF");
  EXPECT_EQ(Read("[S]\r\nk=a=b\r\n", "S", "k"), "a=b");  // first '=' splits
}

TEST(IniRead, SectionHeaders) {
  // A missing ']' still makes a section; the first ']' ends the name.
  const std::string r02 = "[Prev]\r\na=1\r\n[Sec2   \r\nb=2\r\n";
  EXPECT_EQ(Read(r02, "Sec2", "b"), "2");
  EXPECT_EQ(Read(r02, "Prev", "b"), "DEF");
  EXPECT_EQ(Read(r02, "Prev", "a"), "1");
  const std::string r03 = "[a]b]\r\nk=vab\r\n";
  EXPECT_EQ(Read(r03, "a", "k"), "vab");
  EXPECT_EQ(Read(r03, "a]b", "k"), "DEF");
  EXPECT_EQ(Read("[Sec3b]k=v\r\n", "Sec3b", "k"), "DEF");
  EXPECT_EQ(Read("[Sec] junk\r\nk=v\r\n", "Sec", "k"), "v");
  EXPECT_EQ(Read("sec]\r\nk=v\r\n", "sec", "k"), "DEF");
  // Entries before the first header belong to no section; [] is section "".
  const std::string r18 = "k0=v0\r\n[]\r\nk=ve\r\n";
  EXPECT_EQ(Read(r18, "", "k0"), "DEF");
  EXPECT_EQ(Read(r18, "", "k"), "ve");
  // ']' and '[' as trail bytes: ゾ is 83 5D, ー is 81 5B.
  const std::string zo = "ゾ", zone = "ゾーン";
  ASSERT_EQ(Cp932(zo), "\x83\x5D");
  EXPECT_EQ(Read(Cp932("[ゾ]\r\nk=1\r\n"), zo, "k"), "1");
  EXPECT_EQ(Read(Cp932("[ゾーン]\r\nk=2\r\n"), zone, "k"), "2");
  EXPECT_EQ(Read(Cp932("[ゾ\r\nk=3\r\n"), zo, "k"), "3");  // no ']' at all: name to the line end
  EXPECT_EQ(Read(Cp932("[ゾーン]\r\nk=2\r\n"), "\x83", "k"), "DEF");   // no text names a lone byte
  // In UTF-16 the same names are plain characters.
  EXPECT_EQ(Read(Utf16File(u"[ゾ]\r\nk=1\r\n[ゾーン\r\nk=2\r\n"), zone, "k"), "2");
  EXPECT_EQ(Read(Utf16File(u"[ゾ]\r\nk=1\r\n[ゾーン\r\nk=2\r\n"), zo, "k"), "1");
  // A lead byte before the ']' takes it as its trail byte: 81 5D is one
  // character, named by its UTF-8.
  EXPECT_EQ(Read("[a\x81]\r\nk=4\r\n", Utf8FromCp932("a\x81]"), "k"), "4");
  EXPECT_EQ(Read("[a\x81]\r\nk=4\r\n", "a", "k"), "DEF");
  // A UTF-8 BOM is read as one: the first line is a section like the others.
  const std::string r13 = "\xEF\xBB\xBF[S]\r\nk=1\r\n[T]\r\nk=2\r\n";
  EXPECT_EQ(Read(r13, "S", "k"), "1");
  EXPECT_EQ(Read(r13, "T", "k"), "2");
  EXPECT_TRUE(Doc(r13).Readable());
  // Behind the mark, a byte that forms no character reads as U+FFFD.
  EXPECT_EQ(Read("\xEF\xBB\xBF[S]\r\nk=b\xA0\r\n", "S", "k"), "b\xEF\xBF\xBD");
  // UTF-8 without a mark, as editors save it now: read as UTF-8 when every
  // byte beyond ASCII is well-formed UTF-8, else as code page 932.
  EXPECT_EQ(Read("[業務]\r\nk=報告 \xF0\x9F\x98\x80\r\n", "業務", "k"), "報告 \xF0\x9F\x98\x80");
  EXPECT_EQ(Read(Cp932("[業務]\r\nk=報告\r\n"), "業務", "k"), "報告");
  EXPECT_EQ(Read("[S]\r\nk=\xE5\xA0\xB1\x82\xA0\r\n", "S", "k"), Utf8FromCp932("\xE5\xA0\xB1\x82\xA0"));
}

TEST(IniRead, CommentsAndLinesWithoutEquals) {
  const std::string file =
      "[S]\r\n;k=v\r\n  ;c=1\r\n#k3=v3\r\nk2=v2 ; c\r\nname3\r\nname4=\r\nname5 =   \r\n=val\r\n";
  EXPECT_EQ(Read(file, "S", ";k"), "DEF");
  EXPECT_EQ(Read(file, "S", ";c"), "DEF");
  EXPECT_EQ(Read(file, "S", "#k3"), "v3");
  EXPECT_EQ(Read(file, "S", "k2"), "v2 ; c");
  EXPECT_EQ(Read(file, "S", "name3"), "DEF");
  EXPECT_EQ(Read(file, "S", "name4"), "");
  EXPECT_EQ(Read(file, "S", "name5"), "");
  EXPECT_EQ(Read(file, "S", ""), "val");
}

TEST(IniRead, FirstSectionAndFirstKeyWin) {
  const std::string r07 = "[S]\r\na=1\r\n[T]\r\n[s]\r\na=2\r\nb=3\r\n";
  EXPECT_EQ(Read(r07, "S", "a"), "1");
  EXPECT_EQ(Read(r07, "S", "b"), "DEF");
  EXPECT_EQ(Read("[S]\r\na=1\r\nA=2\r\n", "s", "a"), "1");
  // A section looked up once reads its keys as Get does.
  const IniDocument doc(r07);
  const IniDocument::SectionReader s = doc.ReadSection(" s ");
  EXPECT_EQ(s.Get("A"), "1");
  EXPECT_EQ(s.Get("b", "none  "), "none");
  EXPECT_EQ(doc.ReadSection("U").Get("a", "none"), "none");
}

TEST(IniRead, CaseFoldsOnlyAsciiLettersInSingleBytePositions) {
  const std::string file = Cp932("[ＡＢＣ]\r\nk=1\r\n[ア]\r\nk=2\r\n[ｱ]\r\nk=3\r\n[MiXed]\r\nKeY=4\r\n");
  EXPECT_EQ(Read(file, "ＡＢＣ", "K"), "1");
  EXPECT_EQ(Read(file, "ａｂｃ", "k"), "DEF");
  EXPECT_EQ(Read(file, "ア", "k"), "2");
  EXPECT_EQ(Read(file, "ヂ", "k"), "DEF");  // 83 61 is not 83 41 folded
  EXPECT_EQ(Read(file, "ｱ", "k"), "3");
  EXPECT_EQ(Read(file, "ﾑ", "k"), "DEF");   // D1 is not B1 folded
  EXPECT_EQ(Read(file, "mixed", "KEY"), "4");
  EXPECT_EQ(Read(Cp932("[S]\r\nアB=5\r\n"), "s", "アb"), "5");
  EXPECT_EQ(Read(Cp932("[S]\r\nアB=5\r\n"), "s", "ヂb"), "DEF");
  // The same in a UTF-16 file: ASCII letters fold, nothing else does.
  const std::string wide = Utf16File(u"[ＡＢＣ]\r\nk=1\r\n[Café]\r\nK=2\r\n");
  EXPECT_EQ(Read(wide, "ＡＢＣ", "K"), "1");
  EXPECT_EQ(Read(wide, "ａｂｃ", "k"), "DEF");
  EXPECT_EQ(Read(wide, "cAFé", "k"), "2");
  EXPECT_EQ(Read(wide, "CAFÉ", "k"), "DEF");
}

TEST(IniValues, AnswerAsTheDocumentDoesInOnePass) {
  const std::vector<std::string> sections = {"01", "02", "S"};
  const std::string_view keys[] = {"TITLE", "PATH", "k"};
  const std::string long_value(3000, '\x82');
  const std::vector<std::string> files = {
      "k=before any section\r\n[02]\r\ntitle=a\r\nTITLE=second\r\n[01]\r\n PATH = \" p \" \r\n[02]\r\nk=again\r\n"
      "[x]\r\nk=x\r\n[s]\nk=lf\rTITLE=cr",
      "[01\x81]x]\r\nk=trail\r\n" + Cp932("[ 01 ]\r\n;k=comment\r\nk=報告\r\n[０１]\r\nk=wide\r\n[S]\r\nk='q'\r\n"),
      "[01]\r\nTITLF=no\r\nPATG=no\r\nk=a\0b\r\nTITLE\0x=n\r\nPATH=p\r\n[S]\r\nk=" + long_value + "\r\n",
      Utf16File(u"[01]\r\nk=ＡＢ\r\n[s]\r\nPATH=\"C:\\表\"\r\n"),
      "",
      "\x81",
      "\xEF\xBB\xBF[01]\r\nTITLE=b\xA0\r\n",
  };
  for (const std::string& file : files) {
    const IniDocument doc(file);
    const IniValues values(file, sections, keys);
    EXPECT_EQ(values.Readable(), doc.Readable());
    for (std::size_t i = 0; i < sections.size(); ++i)
      for (std::size_t k = 0; k < std::size(keys); ++k)
        EXPECT_EQ(values.Value(i, k), doc.Get(sections[i], keys[k])) << file << " " << sections[i] << " " << keys[k];
  }
  EXPECT_EQ(IniValues(files[0], sections, keys).Value(1, 0), "a");
  EXPECT_EQ(IniValues(files[0], sections, keys).Value(9, 0), "");
}

TEST(IniRead, QuotesAndDefaults) {
  const std::string r10 =
      "[S]\r\nq6=  \"  abc  \"  \r\nq3=\"abc'\r\nq4=\"\r\nq5=\"\"\r\nq7='x'\r\nq8=\"'\"\r\nq9=\"\"\"\"\r\n";
  EXPECT_EQ(Read(r10, "S", "q6"), "  abc  ");
  EXPECT_EQ(Read(r10, "S", "q3"), "\"abc'");
  EXPECT_EQ(Read(r10, "S", "q4"), "\"");
  EXPECT_EQ(Read(r10, "S", "q5"), "");
  EXPECT_EQ(Read(r10, "S", "q7"), "x");
  EXPECT_EQ(Read(r10, "S", "q8"), "'");
  EXPECT_EQ(Read(r10, "S", "q9"), "\"\"");  // one pair only
  const IniDocument doc = Doc(r10);
  EXPECT_EQ(doc.Get("S", "none", "\"dq\""), "\"dq\"");  // the default keeps its quotes
  EXPECT_EQ(doc.Get("S", "none", "def  "), "def");
  EXPECT_EQ(doc.Get("S", "none", "  def"), "  def");
  EXPECT_EQ(doc.Get("S", "none", "def\t"), "def\t");
  EXPECT_EQ(doc.Get("S", "none", "   "), "");
  EXPECT_EQ(doc.Get("none", "q6", "d"), "d");
  EXPECT_EQ(IniDocument().Get("S", "k"), "");
}

TEST(IniRead, ValuesCutAt2047BytesWithoutSplittingACharacter) {
  EXPECT_EQ(Read("[S]\r\nk=" + std::string(3000, 'x') + "\r\n", "S", "k"), std::string(2047, 'x'));
  std::string a1500;
  for (int i = 0; i < 1500; ++i) a1500 += "あ";
  const std::string a1023 = a1500.substr(0, 1023 * std::string("あ").size());
  const std::string cut = Read(Cp932("[S]\r\nk=" + a1500 + "\r\n"), "S", "k");
  EXPECT_EQ(TextUnits(cut), 2046u);
  EXPECT_EQ(cut, a1023);
  // In a UTF-16 file 2047 units: a surrogate pair counts 4 and goes whole.
  EXPECT_EQ(Read(Utf16File(Utf16FromUtf8("[S]\r\nk=" + a1500 + "\r\n")), "S", "k"), a1023);
  std::string yoshi;
  for (int i = 0; i < 600; ++i) yoshi += "𠮷";
  const std::string wide_cut = Read(Utf16File(Utf16FromUtf8("[S]\r\nk=a" + yoshi + "\r\n")), "S", "k");
  EXPECT_EQ(wide_cut, "a" + yoshi.substr(0, 511 * std::string("𠮷").size()));   // 1 + 2044 units
  // Quotes come off first, then the cut.
  EXPECT_EQ(Read("[S]\r\nk=\"" + std::string(2047, 'q') + "\"\r\n", "S", "k"), std::string(2047, 'q'));
  EXPECT_EQ(Read("[S]\r\nk=\"" + std::string(2048, 'q') + "\"\r\n", "S", "k"), std::string(2047, 'q'));
  // Values that triple in size read whole on either side of 1,024 bytes
  // (the longer ones are converted in their string, not on the stack).
  for (const std::size_t n : {1024u, 1025u, 1026u}) {
    std::string kana;
    for (std::size_t i = 0; i < n; ++i) kana += "ｱ";
    EXPECT_EQ(Read("[S]\r\nk=" + std::string(n, '\xB1') + "\r\n", "S", "k"), kana) << n;
    EXPECT_EQ(Read("[S]\r\nk=\"" + std::string(n - 2, '\xB1') + "\"\r\n", "S", "k"), kana.substr(0, 3 * (n - 2))) << n;
  }
}

TEST(IniRead, LineBreaksNulsAndRawBytes) {
  EXPECT_EQ(Read("[S]\na=1\n[T]\nb=2\n", "T", "b"), "2");
  EXPECT_EQ(Read("[S]\ra=1\r[T]\rb=2\r", "T", "b"), "2");
  const std::string mixed = "[S]\r\na=1\n\r[T]\rb=2\r\nc=3";
  EXPECT_EQ(Read(mixed, "S", "a"), "1");
  EXPECT_EQ(Read(mixed, "T", "b"), "2");
  EXPECT_EQ(Read(mixed, "T", "c"), "3");  // last line without a break
  // Lines of every length, their breaks of each kind in turn; 8D and 8A
  // differ from CR and LF in the top bit only.
  std::string lines = "[S]\r\n";
  const auto value = [](int n) { return std::string(static_cast<std::size_t>(n), n % 2 ? '\x8D' : '\x8A'); };
  for (int n = 0; n < 24; ++n) lines += "k" + std::to_string(n) + "=" + value(n) + (n % 3 ? n % 3 == 1 ? "\n" : "\r" : "\r\n");
  const IniDocument many(lines);
  for (int n = 0; n < 24; ++n) EXPECT_EQ(many.Get("S", "k" + std::to_string(n), "DEF"), Utf8FromCp932(value(n))) << n;
  // A name whose '=' lies beyond its line's first sixteen bytes, after a
  // long line without one (BD differs from '=' in the top bit only).
  const std::string long_name(20, 'n');
  EXPECT_EQ(Read("[S]\r\n" + std::string(40, '\xBD') + "\r\n" + long_name + "=v\r\n", "S", long_name), "v");
  // A NUL ends a name or a value.
  EXPECT_EQ(Read("[S]\r\nk=ab\0cd\r\n"s, "S", "k"), "ab");
  EXPECT_EQ(Read("[S]\r\nk=ab \0cd\r\n"s, "S", "k"), "ab");
  EXPECT_EQ(Read("[T\0U]\r\nk=1\r\n"s, "T", "k"), "1");
  EXPECT_EQ(Read("[S]\r\nk\0x=2\r\n"s, "S", "k"), "2");
  EXPECT_EQ(Read("[S]\r\nk=v\r\n\0"s, "S", "k"), "v");
  // Odd code page 932 bytes come back as Windows converts them.
  EXPECT_EQ(Read("[S]\r\nk2=a\x82\r\nk3=\xFA\x54\r\n", "S", "k2"), "a・");
  EXPECT_EQ(Read("[S]\r\nk2=a\x82\r\nk3=\xFA\x54\r\n", "S", "k3"), "￢");
  EXPECT_EQ(Read("[S]\r\nk=\x82", "S", "k"), "・");
  // Such a byte reads as two units: the value is cut again to the limit.
  std::string lone_leads;
  for (int i = 0; i < 1024; ++i) lone_leads += "\x81" "0";   // 30 is no trail byte: "・0", three units
  const std::string odd = Read("[S]\r\nk=" + lone_leads + "\r\n", "S", "k");
  EXPECT_EQ(TextUnits(odd), kIniValueLimit - 1);   // 682 times "・0": one more "・" would not fit
  EXPECT_EQ(odd.substr(0, 8), "・0・0");
}

TEST(IniUtf16, ReadAsUnicodeAndChangedInPlace) {
  IniDocument doc(Utf16File(u"; 業務\r\n[S]\r\n  k = 値  \r\nq=\"ゾーン\"\n[T]\r\nx=1\r\n"));
  EXPECT_TRUE(doc.Readable());
  EXPECT_EQ(doc.Get("s", "K", "d"), "値");
  EXPECT_EQ(doc.Get("S", "q", "d"), "ゾーン");
  doc.Set("S", "k", "値");   // the same value: the line stays as it is
  doc.Set("S", "q", " 表 ");
  doc.Set("S", "new", "ソ");
  doc.Set("U", "k", "v");
  EXPECT_EQ(doc.Bytes(),
            Utf16File(u"; 業務\r\n[S]\r\n  k = 値  \r\nq=\" 表 \"\nnew=ソ\r\n[T]\r\nx=1\r\n[U]\r\nk=v\r\n"));
  EXPECT_EQ(IniDocument(doc.Bytes()).Get("S", "q"), " 表 ");
  // W15c: the BOM alone is content, so the new section follows a line break.
  IniDocument bom_only("\xFF\xFE");
  bom_only.Set("S", "b", "v");
  EXPECT_EQ(bom_only.Bytes(), Utf16File(u"\r\n[S]\r\nb=v\r\n"));
  // A code page 932 document turns UTF-16 at the first text the code page
  // lacks, every line kept; a new one opens with its first section.
  IniDocument turned(Cp932("; 業務\r\n[S]\r\na=表\r\n") + "x=\x85\x40\r\n");
  turned.Set("S", "a", "表～");
  EXPECT_EQ(turned.Bytes(), Cp932("; 業務\r\n[S]\r\na=表～\r\n") + "x=\x85\x40\r\n");
  turned.Set("s", "b", "𠮷");
  EXPECT_EQ(turned.Bytes(), Utf16File(u"; 業務\r\n[S]\r\na=表～\r\nx=・\r\nb=𠮷\r\n"));
  EXPECT_EQ(turned.Get("S", "b"), "𠮷");
  IniDocument fresh;
  fresh.Set("S", "k", "café");
  EXPECT_EQ(fresh.Bytes(), Utf16File(u"[S]\r\nk=café\r\n"));
  IniDocument unnamed;
  unnamed.Set("波ダッシュ〜", "k", "v");   // a section name can turn it too
  EXPECT_EQ(unnamed.Bytes(), Utf16File(u"[波ダッシュ〜]\r\nk=v\r\n"));
  // UTF-16BE has no meaning here: read as code page 932 bytes, nothing found.
  const IniDocument be("\xFE\xFF\0[\0S\0]\0\r\0\n\0k\0=\0v\0\r\0\n"s);
  EXPECT_TRUE(be.Readable());
  EXPECT_EQ(be.Get("S", "k", "d"), "d");
}

TEST(IniUtf16, EveryCharacterReadsAndStaysUntilItsEntryChanges) {
  // é, ¥ and a character beyond the BMP have no code page 932 form, and
  // read as they are; an unpaired surrogate and an odd last byte are no
  // text at all.
  const std::u16string text = u"[S]\r\na=caf\u00E9\r\nb=a\u00A5b \U0001F600\r\nc=x\r\nd=\xD800z\r\n[T]\r\n";
  IniDocument doc(Utf16File(text) + "\x41");
  EXPECT_EQ(doc.Get("S", "a"), "caf\u00E9");
  EXPECT_EQ(doc.Get("S", "b"), "a\u00A5b \U0001F600");
  EXPECT_EQ(doc.Get("S", "d"), "\uFFFDz");
  for (const char* key : {"a", "b", "d"}) doc.Set("S", key, doc.Get("S", key));
  doc.Set("S", "c", "変更");
  EXPECT_EQ(doc.Bytes(), Utf16File(u"[S]\r\na=caf\u00E9\r\nb=a\u00A5b \U0001F600\r\nc=変更\r\nd=\xD800z\r\n[T]\r\n") + "\x41");
  // The odd byte stays last, new lines go in front of it.
  doc.Set("T", "k", "v");
  EXPECT_EQ(doc.Bytes().substr(doc.Bytes().size() - 11), "k\0=\0v\0\r\0\n\0\x41"s);
  // Changed by the user, the entry is written from the code page text.
  doc.Set("S", "a", "cafe");
  EXPECT_EQ(IniDocument(doc.Bytes()).Get("S", "a"), "cafe");
  // Bytes that are no UTF-8 are written as U+FFFD, and the document reads
  // as its file will.
  doc.Set("S", "c", "a\x82");
  EXPECT_EQ(doc.Get("S", "c"), "a\uFFFD");
  EXPECT_EQ(IniDocument(doc.Bytes()).Get("S", "c"), "a\uFFFD");
  doc.Set("S", "e", "𠮷野家");
  EXPECT_EQ(IniDocument(doc.Bytes()).Get("S", "e"), "𠮷野家");
}

TEST(IniWrite, ReplacesTheValueOnItsLineOnly) {
  // W02: the changed line keeps its indentation and spelling; all else stays.
  EXPECT_EQ(Written("; head\r\n\r\n[S]\r\n  Key1  =  old  \r\n; comment = c\r\n\r\n\r\n  odd line  \r\n"
                    "[T]\r\nx=1\r\n",
                    "s", "KEY1", "new"),
            "; head\r\n\r\n[S]\r\n  Key1=new\r\n; comment = c\r\n\r\n\r\n  odd line  \r\n[T]\r\nx=1\r\n");
  // W06: other lines keep their LF or CR; the changed one keeps its own break.
  EXPECT_EQ(Written("[S]\na=1\n[T]\nb=2\n", "S", "a", "9"), "[S]\na=9\n[T]\nb=2\n");
  EXPECT_EQ(Written("[S]\ra=1\r[T]\rb=2", "T", "b", "10"), "[S]\ra=1\r[T]\rb=10");
  // W14: the same value again only tidies the line.
  EXPECT_EQ(Written("[S]\r\n  a = 1  \r\n", "S", "a", "1"), "[S]\r\n  a=1\r\n");
  EXPECT_EQ(Written("[S]\r\nk=1\r\n", "S", "k", ""), "[S]\r\nk=\r\n");
  EXPECT_EQ(Written("[S]\r\nk\0x = 1\r\n"s, "S", "k", "2"), "[S]\r\nk\0x=2\r\n"s);
  // W09: the first key of the first section; a new key goes there too.
  IniDocument w09("[S]\r\na=1\r\na=1b\r\n[T]\r\n[S]\r\na=2\r\nb=3\r\n");
  w09.Set("S", "a", "X");
  w09.Set("S", "b", "Y");
  EXPECT_EQ(w09.Bytes(), "[S]\r\na=X\r\na=1b\r\nb=Y\r\n[T]\r\n[S]\r\na=2\r\nb=3\r\n");
  // W10b: odd code page 932 bytes elsewhere stay byte for byte.
  EXPECT_EQ(Written("; \xFA\x54 \xEE\xEF \x80 \xFD\r\n[S]\r\nk=\xFA\x40\r\n", "S", "k", "v"),
            "; \xFA\x54 \xEE\xEF \x80 \xFD\r\n[S]\r\nk=v\r\n");
}

TEST(IniWrite, NewKeysFollowTheSectionsLastNonBlankLine) {
  // W03: the blank separator stays before the next section.
  EXPECT_EQ(Written("[S]\r\na=1\r\n\r\n[T]\r\nb=2\r\n", "S", "c", "3"),
            "[S]\r\na=1\r\nc=3\r\n\r\n[T]\r\nb=2\r\n");
  // W07: the file's spelling of section and key stays; new keys in call order.
  IniDocument w07("[MySec]\r\nMyKey=v\r\n");
  w07.Set("MYSEC", "k2", "v2");
  w07.Set("mysec", "MYKEY", "v3");
  w07.Set("MySec", "k1", "v1");
  EXPECT_EQ(w07.Bytes(), "[MySec]\r\nMyKey=v3\r\nk2=v2\r\nk1=v1\r\n");
  // W17: comments, odd lines, '='-less and '#' lines all stay; they count as lines.
  EXPECT_EQ(Written("[S]\r\n;c = 1\r\n  odd line  \r\n=x\r\n=y\r\n k = v \r\n#h = 2\r\n", "S", "new", "n"),
            "[S]\r\n;c = 1\r\n  odd line  \r\n=x\r\n=y\r\n k = v \r\n#h = 2\r\nnew=n\r\n");
  EXPECT_EQ(Written("[S]\r\na=1\r\n; about T\r\n\r\n[T]\r\n", "S", "b", "2"),
            "[S]\r\na=1\r\n; about T\r\nb=2\r\n\r\n[T]\r\n");
  // W20: '[Open' is a section, so k=v is Spaced's last line.
  EXPECT_EQ(Written("  [ Spaced ]  ; c\r\nk=v\r\n[Open\r\nq=1\r\n[x]tail\r\n", "Spaced", "k2", "v2"),
            "  [ Spaced ]  ; c\r\nk=v\r\nk2=v2\r\n[Open\r\nq=1\r\n[x]tail\r\n");
  // An LF file gets CRLF on the new line only; blank lines at the end stay after it.
  EXPECT_EQ(Written("[S]\na=1\n\n\n", "S", "c", "3"), "[S]\na=1\nc=3\r\n\n\n");
  EXPECT_EQ(Written("[S]\ra=1\r", "S", "c", "3"), "[S]\ra=1\rc=3\r\n");
  // A header or entry at the very end without a break gets one first.
  EXPECT_EQ(Written("[S]", "S", "k", "v"), "[S]\r\nk=v\r\n");
  EXPECT_EQ(Written("x\r\n[S]  ", "s", "k", "v"), "x\r\n[S]  \r\nk=v\r\n");
  EXPECT_EQ(Written("[S]\r\na=1", "S", "b", "2"), "[S]\r\na=1\r\nb=2\r\n");
  IniDocument last("[S]\r\na=");  // the last entry ends the file
  last.Set("S", "a", "22");
  last.Set("S", "b", "2");
  last.Set("S", "a", "3");
  EXPECT_EQ(last.Bytes(), "[S]\r\na=3\r\nb=2\r\n");
  IniDocument empty_last("[S]\r\na=");
  empty_last.Set("S", "b", "2");
  EXPECT_EQ(empty_last.Get("S", "a", "DEF"), "");
  // A key in a section that only follows a duplicate of an earlier one.
  EXPECT_EQ(Written("[S]\r\na=1\r\n[s]\r\nb=2\r\n", "S", "b", "3"), "[S]\r\na=1\r\nb=3\r\n[s]\r\nb=2\r\n");
  // A '='-less line of the key's name is no entry: the key is added.
  EXPECT_EQ(Written("[S]\r\nk\r\n", "S", "k", "v"), "[S]\r\nk\r\nk=v\r\n");
}

TEST(IniWrite, NewSectionsGoAtTheEnd) {
  EXPECT_EQ(Written("", "App", "key", "string"), "[App]\r\nkey=string\r\n");      // W01
  EXPECT_EQ(Written("[S]\r\na=1", "N", "k", "v"), "[S]\r\na=1\r\n[N]\r\nk=v\r\n");  // W04
  EXPECT_EQ(Written("[S]\r\na=1\r\n", "N", "k", "v"), "[S]\r\na=1\r\n[N]\r\nk=v\r\n");
  EXPECT_EQ(Written("[S]\r\na=1\r\n\r\n\r\n", "N", "k", "v"), "[S]\r\na=1\r\n\r\n\r\n[N]\r\nk=v\r\n");
  EXPECT_EQ(Written("[S]\na=1\n", "N", "k", "v"), "[S]\na=1\n[N]\r\nk=v\r\n");
  EXPECT_EQ(Written("\xEF\xBB\xBF", "S", "b", "v"), "\xEF\xBB\xBF[S]\r\nb=v\r\n");  // W15b: the mark opens no line
  // A UTF-8 file stays UTF-8, with its mark if it had one; nothing becomes
  // code page 932 or UTF-16.
  EXPECT_EQ(Written("\xEF\xBB\xBF[S]\r\na=1\r\n", "S", "a", "表 é"), "\xEF\xBB\xBF[S]\r\na=表 é\r\n");
  EXPECT_EQ(Written("[S]\r\na=表\r\n", "S", "b", "☃"), "[S]\r\na=表\r\nb=☃\r\n");
  // W16: NULs and all 31 bytes kept.
  const std::string w16 = "Data \0 before \0 first \0 section"s;
  ASSERT_EQ(w16.size(), 31u);
  EXPECT_EQ(Written(w16, "section1", "key1", "string1"), w16 + "\r\n[section1]\r\nkey1=string1\r\n");
  // P4: names lose their spaces (only spaces); the value is quoted to survive.
  EXPECT_EQ(Written("", "  S3  ", "  k3  ", "  v  "), "[S3]\r\nk3=\"  v  \"\r\n");
  EXPECT_EQ(Written("", "", "", "x"), "[]\r\n=x\r\n");
  // The section that ended the file without a break still takes keys in place.
  IniDocument doc("[S]\r\na=1");
  doc.Set("N", "k", "v");
  doc.Set("S", "b", "2");
  doc.Set("N", "k2", "v2");
  EXPECT_EQ(doc.Bytes(), "[S]\r\na=1\r\nb=2\r\n[N]\r\nk=v\r\nk2=v2\r\n");
}

TEST(IniWrite, ValuesAreQuotedCleanedAndCutToReadBack) {
  EXPECT_EQ(Written("", "S", "sp", "  v  "), "[S]\r\nsp=\"  v  \"\r\n");  // W08
  EXPECT_EQ(Written("", "S", "q", "\"x\""), "[S]\r\nq=\"\"x\"\"\r\n");
  EXPECT_EQ(Written("", "S", "q", "'x'"), "[S]\r\nq=\"'x'\"\r\n");
  EXPECT_EQ(Written("", "S", "q", "\"x'"), "[S]\r\nq=\"x'\r\n");
  EXPECT_EQ(Written("", "S", "q", "\""), "[S]\r\nq=\"\r\n");
  EXPECT_EQ(Written("", "S", "q", "a\t"), "[S]\r\nq=\"a\t\"\r\n");
  EXPECT_EQ(Written("", "S", "q", "; x = y #"), "[S]\r\nq=; x = y #\r\n");
  // W18: CR and LF never reach the file; a NUL ends the value.
  EXPECT_EQ(Written("", "S", "k", "a\r\nb=c"), "[S]\r\nk=ab=c\r\n");
  EXPECT_EQ(Written("", "S", "k", "ab\0cd"s), "[S]\r\nk=ab\r\n");
  EXPECT_EQ(Written("", "S\r\n", "k\n", "v"), "[S]\r\nk=v\r\n");
  EXPECT_EQ(IniDocument::ValueAfterSet(std::string(3000, 'x')), std::string(2047, 'x'));
  std::string a1500;
  for (int i = 0; i < 1500; ++i) a1500 += "あ";
  const std::string a1023 = a1500.substr(0, 1023 * std::string("あ").size());
  EXPECT_EQ(IniDocument::ValueAfterSet(a1500), a1023);
  IniDocument doc;
  doc.Set("S", "k", " " + a1500);
  EXPECT_EQ(doc.Bytes(), "[S]\r\nk=\" " + Cp932(a1023) + "\"\r\n");
  EXPECT_EQ(doc.Get("S", "k"), " " + a1023);
  // Cut in units, never inside a surrogate pair; bytes that are no UTF-8
  // become U+FFFD.
  std::string yoshi;
  for (int i = 0; i < 600; ++i) yoshi += "𠮷";
  EXPECT_EQ(IniDocument::ValueAfterSet("abc" + yoshi), "abc" + yoshi.substr(0, 511 * std::string("𠮷").size()));
  EXPECT_EQ(IniDocument::ValueAfterSet("a\x82\r\nb"), "a\uFFFDb");
}

TEST(IniWrite, OddNamesAreWrittenAndTheDocumentStaysConsistent) {
  // Windows writes such names as they are; the reader then takes them its way.
  IniDocument doc("[S]\r\na=1\r\n");
  doc.Set("S", ";k", "c");
  doc.Set("S", "[X", "d");
  doc.Set("a]b", "k", "e");
  EXPECT_EQ(doc.Bytes(), "[S]\r\na=1\r\n;k=c\r\n[X=d\r\n[a]b]\r\nk=e\r\n");
  EXPECT_EQ(doc.Get("S", ";k", "DEF"), "DEF");
  EXPECT_EQ(doc.Get("X=d", "k", "DEF"), "DEF");
  EXPECT_EQ(doc.Get("a", "k", "DEF"), "e");
  doc.Set("S", "b", "2");  // S ends at the '[X=d' header now
  EXPECT_EQ(doc.Bytes(), "[S]\r\na=1\r\n;k=c\r\nb=2\r\n[X=d\r\n[a]b]\r\nk=e\r\n");
  EXPECT_EQ(doc.Get("S", "b"), "2");
}

// The part of `before` that a single splice removed to give `after`.
std::string_view RemovedPart(std::string_view before, std::string_view after) {
  std::size_t prefix = 0;
  while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
         before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
    ++suffix;
  }
  return before.substr(prefix, before.size() - prefix - suffix);
}

std::string RandomValue(std::mt19937& rng) {
  static const std::vector<std::string> pieces = {
      " ", "\t", "\"", "'", ";", "=", "[", "]", "a", "Z", "表", "ゾ", "ー", "ソ", "　",
      "\x81", "\\", "#", "\v", "\x1A", "\r", "\n", "\r\n", "C:\\ソフト\\"};
  std::string v;
  const int n = std::uniform_int_distribution<int>(0, 12)(rng);
  for (int i = 0; i < n; ++i) v += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(rng)];
  if (std::uniform_int_distribution<int>(0, 30)(rng) == 0) v += std::string(2100, 'x') + "表";
  return v;
}

bool SameAsciiName(std::string_view a, std::string_view b) {
  const auto strip = [](std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
  };
  a = strip(a);
  b = strip(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

TEST(IniWrite, WrittenValuesReadBackAndOtherLinesStay) {
  const std::vector<std::string> sections = {"01", "02", "03", "Korvane", "korvane", " new ", "20", ""};
  const std::vector<std::string> keys = {"TITLE", "path", "PATH", "LEFT", "x", ""};
  const std::string base =
      "; groups\r\nlost=1\r\n[01]\r\nTITLE=  \"quoted\"  \r\nPATH=C:\\\x83\x5C\x83\x74\x83\x67\\a.txt\r\n\r\n"
      "[02]\nTITLE=lf only\n; note\n\n[03]\rPATH=\xFA\x54 odd\r[01]\r\nTITLE=hidden\r\n"
      "[Korvane]\r\nLEFT\r\n\0junk\r\n\x81\r\n[20]\r\nTITLE="s;
  std::mt19937 rng(20240611);
  for (int round = 0; round < 40; ++round) {
    IniDocument doc(base);
    for (int step = 0; step < 25; ++step) {
      const std::string& s = sections[rng() % sections.size()];
      const std::string& k = keys[rng() % keys.size()];
      const std::string v = RandomValue(rng);
      std::vector<std::string> others;
      for (const auto& os : sections)
        for (const auto& ok : keys) others.push_back(doc.Get(os, ok, "\x01"));
      std::string before = doc.Bytes();
      doc.Set(s, k, v);
      ASSERT_EQ(doc.Get(s, k, "\x01"), IniDocument::ValueAfterSet(v)) << "round " << round << " step " << step;
      // The first text code page 932 lacks made the file UTF-16: every line
      // kept, converted.
      const bool utf16 = doc.Bytes().starts_with("\xFF\xFE");
      if (utf16 && !before.starts_with("\xFF\xFE")) before = Utf16File(Utf16FromUtf8(Utf8FromCp932(before)));
      // One splice, inside one line: no line break of the file is removed.
      const std::string_view removed = RemovedPart(before, doc.Bytes());
      ASSERT_EQ(removed.find_first_of("\r\n"), std::string_view::npos);
      const std::size_t head = utf16 ? 2 + 2 * 18 : 18;
      ASSERT_EQ(doc.Bytes().compare(0, head, before, 0, head), 0);  // the lines before [01] stay
      // The index kept while writing agrees with a fresh read, and no other key moved.
      const IniDocument fresh(doc.Bytes());
      std::size_t i = 0;
      for (const auto& os : sections) {
        for (const auto& ok : keys) {
          const std::string now = doc.Get(os, ok, "\x01");
          ASSERT_EQ(fresh.Get(os, ok, "\x01"), now);
          if (!(SameAsciiName(os, s) && SameAsciiName(ok, k))) {
            ASSERT_EQ(now, others[i]);
          }
          ++i;
        }
      }
    }
  }
}

TEST(IniDocument, AnyBytesLoadAndAnswer) {
  // One 10 MB line, with and without a section header.
  std::string line(10 * 1024 * 1024, 'x');
  line[5] = '=';
  IniDocument big("[S]\r\n" + line);
  EXPECT_EQ(big.Get("S", "xxxxx").size(), kIniValueLimit);
  big.Set("S", "xxxxx", "short");
  EXPECT_EQ(big.Bytes(), "[S]\r\nxxxxx=short");
  line[0] = '[';
  line[5] = '\x81';
  IniDocument header(line);
  header.Set("T", "k", "v");
  EXPECT_EQ(header.Get("T", "k"), "v");
  EXPECT_EQ(header.Bytes().size(), line.size() + 12);
  // 100,000 sections.
  std::string many;
  for (int i = 0; i < 100000; ++i) many += "[s" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
  IniDocument sections(many);
  EXPECT_EQ(sections.Get("S99999", "K"), "99999");
  sections.Set("s0", "k2", "new");
  sections.Set("s50000", "k", "changed");
  EXPECT_EQ(sections.Get("s99999", "k"), "99999");
  EXPECT_EQ(sections.Get("s50000", "k"), "changed");
  EXPECT_EQ(IniDocument(sections.Bytes()).Get("s0", "k2"), "new");
  // Binary junk and lone lead bytes at the ends of lines and of the file.
  std::string junk;
  std::mt19937 rng(7);
  for (int i = 0; i < 200000; ++i) junk += static_cast<char>(rng() & 0xFF);
  IniDocument j(junk);
  j.Set("S", "k", "v");
  EXPECT_EQ(j.Get("S", "k"), "v");
  EXPECT_EQ(j.Bytes().compare(0, junk.size(), junk), 0);
  IniDocument lone("[\x81\r\n\x81=\x81\r\n[S]\r\nk=\x9F");
  EXPECT_EQ(lone.Get("・", "・", "DEF"), "DEF");   // "・" is 81 45, no lone 81
  EXPECT_EQ(lone.Get("S", "k"), "・");
  lone.Set("S", "k2", "v");
  EXPECT_EQ(lone.Bytes(), "[\x81\r\n\x81=\x81\r\n[S]\r\nk=\x9F\r\nk2=v\r\n");
}

TEST(IniDocument, MovesAndHandsOverItsBytes) {
  IniDocument doc("[S]\r\nk=v\r\n");
  IniDocument moved = std::move(doc);
  EXPECT_EQ(moved.Get("S", "k"), "v");
  std::string bytes = moved.TakeBytes();
  EXPECT_EQ(bytes, "[S]\r\nk=v\r\n");
  EXPECT_EQ(moved.Bytes(), "");
  EXPECT_EQ(moved.Get("S", "k", "d"), "d");
  moved.Set("S", "k", "w");
  EXPECT_EQ(moved.Bytes(), "[S]\r\nk=w\r\n");
}

}  // namespace
}  // namespace korvane
