// Entries that follow a USB stick: the stored form of a chosen path, and
// what a stored path names on the computer the stick is in now.
#include "data/entry_path.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(EntryPath, AFileOnTheExesRemovableDriveIsStoredWithoutItsLetter) {
  const std::string exe = "E:\\Korvane\\";
  EXPECT_EQ(StoredPathFor("E:\\業務\\見積書.xls", exe, true), "\\業務\\見積書.xls");
  EXPECT_EQ(StoredPathFor("e:\\𠮷野家の請求書.txt", exe, true), "\\𠮷野家の請求書.txt");   // any letter case
  EXPECT_EQ(StoredPathFor("E:\\Korvane\\help.txt", exe, true), "\\Korvane\\help.txt");
  // Other drives, shares and a fixed exe drive: as chosen.
  EXPECT_EQ(StoredPathFor("C:\\業務\\見積書.xls", exe, true), "C:\\業務\\見積書.xls");
  EXPECT_EQ(StoredPathFor("\\\\server\\share\\a.xls", exe, true), "\\\\server\\share\\a.xls");
  EXPECT_EQ(StoredPathFor("E:\\業務\\見積書.xls", exe, false), "E:\\業務\\見積書.xls");
  EXPECT_EQ(StoredPathFor("E:\\a.xls", "\\\\server\\share\\Korvane\\", true), "E:\\a.xls");
  EXPECT_EQ(StoredPathFor("E:a.xls", exe, true), "E:a.xls");   // relative to the drive's folder: no root
  EXPECT_EQ(StoredPathFor("", exe, true), "");
  // What is stored resolves to the file chosen, on the stick's new letter too.
  for (const char* chosen : {"E:\\業務\\見積書.xls", "E:\\Korvane\\help.txt", "C:\\x.txt"}) {
    EXPECT_EQ(ResolveEntryPath(StoredPathFor(chosen, exe, true), exe), chosen);
  }
  EXPECT_EQ(ResolveEntryPath(StoredPathFor("E:\\業務\\見積書.xls", exe, true), "F:\\Korvane\\"), "F:\\業務\\見積書.xls");
}

TEST(EntryPath, RootedAndRelativePathsResolveAgainstTheExe) {
  const std::string exe = "F:\\ツール\\Korvane\\";
  EXPECT_EQ(ResolveEntryPath("\\業務\\見積書.xls", exe), "F:\\業務\\見積書.xls");
  EXPECT_EQ(ResolveEntryPath(".\\見積書.xls", exe), "F:\\ツール\\Korvane\\見積書.xls");
  EXPECT_EQ(ResolveEntryPath("..\\共有\\表.xls", exe), "F:\\ツール\\共有\\表.xls");
  EXPECT_EQ(ResolveEntryPath("表.xls", exe), "F:\\ツール\\Korvane\\表.xls");
  EXPECT_EQ(ResolveEntryPath("a\\.\\b\\..\\c.txt", exe), "F:\\ツール\\Korvane\\a\\c.txt");
  EXPECT_EQ(ResolveEntryPath("..\\..\\..\\..\\x.txt", exe), "F:\\x.txt");   // never above the root
  EXPECT_EQ(ResolveEntryPath("..\\", exe), "F:\\ツール\\");
  EXPECT_EQ(ResolveEntryPath("/業務/a.txt", exe), "F:\\業務\\a.txt");
  EXPECT_EQ(ResolveEntryPath(".\\x.txt", "F:\\Korvane"), "F:\\Korvane\\x.txt");   // folder without its separator
  // An exe on a share: its share is the root.
  EXPECT_EQ(ResolveEntryPath("\\業務\\a.txt", "\\\\server\\share\\Korvane\\"), "\\\\server\\share\\業務\\a.txt");
  EXPECT_EQ(ResolveEntryPath("..\\..\\a.txt", "\\\\server\\share\\Korvane\\"), "\\\\server\\share\\a.txt");
  // Full paths, drive-relative ones and nothing stay as they are.
  for (const char* kept : {"C:\\業務\\見積書.xls", "c:x.txt", "\\\\server\\share\\a.txt", "//server/share/a.txt", ""}) {
    EXPECT_EQ(ResolveEntryPath(kept, exe), kept);
  }
  // Without a folder to resolve against, nothing changes.
  EXPECT_EQ(ResolveEntryPath(".\\x.txt", ""), ".\\x.txt");
}

TEST(EntryPath, TextOnTheClipboardGivesOnePathALineWithoutQuotes) {
  using Paths = std::vector<std::string>;
  EXPECT_EQ(PastedPaths("\"C:\\業務\\請求〜2026.xlsx\""), (Paths{"C:\\業務\\請求〜2026.xlsx"}));
  EXPECT_EQ(PastedPaths("  C:\\a b.txt \r\n"), (Paths{"C:\\a b.txt"}));
  EXPECT_EQ(PastedPaths("\"C:\\a.txt\"\r\n\r\n\"\\\\srv\\s\\b.txt\"\r\n"), (Paths{"C:\\a.txt", "\\\\srv\\s\\b.txt"}));
  EXPECT_EQ(PastedPaths("\"C:\\half"), (Paths{"\"C:\\half"}));   // one quote is no pair
  EXPECT_EQ(PastedPaths(" \r\n\t"), Paths{});
  EXPECT_TRUE(IsFullPath("C:\\a.txt"));
  EXPECT_TRUE(IsFullPath("\\\\srv\\s\\b.txt"));
  for (const char* not_full : {"a.txt", "C:a.txt", "C:\\", "\\a.txt", "\\\\", "請求書", ""})
    EXPECT_FALSE(IsFullPath(not_full)) << not_full;
}

}  // namespace
}  // namespace korvane
