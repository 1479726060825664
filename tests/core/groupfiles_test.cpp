// Group files: names, load, save, and what a save does to the files.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/text.h"
#include "data/groupfiles.h"
#include "data/os.h"
#include "tests/core/load_groups.h"
#include "tests/core/tempdir.h"

namespace korvane {
namespace {

using testing::ReadBytes;
using testing::SortedNames;
using testing::WriteBytes;
using Names = std::vector<std::string>;

// The bytes of a group file written fresh: sections 01..20, TITLE then PATH;
// in code page 932 (utf16: in UTF-16LE with a byte-order mark).
std::string FreshFile(const Names& titles = {}, const Names& paths = {}, bool utf16 = false) {
  std::string text;
  for (std::size_t i = 0; i < kEntryCount; ++i) {
    text += "[" + EntrySection(i + 1, kEntryCount) + "]\r\nTITLE=" + (i < titles.size() ? titles[i] : "") +
            "\r\nPATH=" + (i < paths.size() ? paths[i] : "") + "\r\n";
  }
  return utf16 ? testing::Utf16File(Utf16FromUtf8(text)) : testing::Cp932(text);
}

class GroupFiles : public ::testing::Test {
 protected:
  FileReport Load() { return LoadGroups(dir.path(), model); }
  FileReport Save() { return SaveGroups(dir.path(), model); }
  std::string File(std::string_view name) const { return dir.File(name); }
  int Row(std::string_view name) const {
    for (std::size_t i = 0; i < model.GroupCount(); ++i)
      if (model.GroupAt(i).name == name) return static_cast<int>(i);
    return -1;
  }
  void Select(std::string_view name) {
    ASSERT_GE(Row(name), 0) << name;
    model.SelectGroup(Row(name));
  }

  testing::TempDir dir;
  LauncherModel model;
};

TEST(GroupFileNames, SectionsFollowTheWidthOfTheEntryCount) {
  EXPECT_EQ(EntrySection(1, 20), "01");
  EXPECT_EQ(EntrySection(9, 20), "09");
  EXPECT_EQ(EntrySection(20, 20), "20");
  EXPECT_EQ(EntrySection(1, 100), "001");
  EXPECT_EQ(EntrySection(100, 100), "100");
  EXPECT_EQ(EntrySection(5, 9), "5");
  // A file is read in the sections of the entry count it is read for.
  testing::TempDir dir;
  const std::string file = dir.Write("w.PTH", "[001]\r\nTITLE=a\r\n[01]\r\nTITLE=b\r\n[1]\r\nTITLE=c\r\n");
  for (const auto& [count, title] : {std::pair<std::size_t, std::string>{100, "a"}, {20, "b"}, {9, "c"}}) {
    std::vector<Entry> entries(count);
    ASSERT_EQ(ReadGroupFile(file, entries), ReadOutcome::Read);
    EXPECT_EQ(entries[0].title, title) << count;
  }
}

TEST(GroupFileNames, OnlyARealPthExtensionMakesAGroupFile) {
  EXPECT_TRUE(IsGroupFileName("日常業務.PTH"));
  EXPECT_TRUE(IsGroupFileName("x.pth"));
  EXPECT_TRUE(IsGroupFileName("x.Pth"));
  EXPECT_TRUE(IsGroupFileName(".PTH"));
  EXPECT_FALSE(IsGroupFileName("x.PTHX"));
  EXPECT_FALSE(IsGroupFileName("xPTH"));
  EXPECT_FALSE(IsGroupFileName("PTH"));
  EXPECT_FALSE(IsGroupFileName("Korvane.INI"));
  // In UTF-8 a '.' is never part of another character.
  EXPECT_TRUE(IsGroupFileName("\x81.PTH"));
  EXPECT_TRUE(IsGroupFileName("café.PTH"));
  EXPECT_TRUE(IsGroupFileName("𠮷野家の請求書.pth"));
  EXPECT_FALSE(IsGroupFileName("café.PTHé"));
  EXPECT_EQ(GroupNameOf("日常業務.PTH"), "日常業務");
  EXPECT_EQ(GroupNameOf("a.b.PTH"), "a.b");
  EXPECT_EQ(GroupNameOf(".PTH"), "");
  EXPECT_EQ(GroupNameOf("表.pth"), "表");
}

TEST(GroupFileNames, MessagesJoinTheFileNameInFront) {
  // A name holding '%' stays as it is: no format string is involved.
  EXPECT_EQ(CannotWriteMessage("C:\\ソフト表\\100%s.PTH"), "C:\\ソフト表\\100%s.PTH に書き込めません");
  EXPECT_EQ(CannotDeleteMessage("C:\\a.PTH"), "C:\\a.PTH を削除できません");
  EXPECT_EQ(CannotReadMessage("C:\\a.PTH"), "C:\\a.PTH を読み込めません");
  // Many at once: one box, ten lines and a count of the rest.
  Names many;
  for (int i = 1; i <= 12; ++i) many.push_back(std::to_string(i));
  EXPECT_EQ(ReportText(Names(many.begin(), many.begin() + 2)), "1\r\n2");
  EXPECT_EQ(ReportText(many), "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\nほか 2 件");
  // A long name breaks after a folder in the second half of a line, else at
  // the width, never inside "表" (95 5C), so the box stays narrow.
  const std::string folder = "C:\\" + std::string(60, 'f') + "\\";
  const std::string name = "a" + std::string(40, 'x') + "表表.PTH を読み込めません";
  EXPECT_EQ(ReportText({folder + name}), folder + "\r\n" + name);
  const std::string wide(79, 'x');
  EXPECT_EQ(ReportText({wide + "表" + "z"}), wide + "\r\n表z");
}

TEST_F(GroupFiles, AFolderWithoutGroupFilesLoadsEmpty) {
  ASSERT_TRUE(WriteBytes(File("readme.txt"), "x"));
  const FileReport report = Load();
  EXPECT_TRUE(report.ok);
  EXPECT_TRUE(report.messages.empty());
  EXPECT_EQ(model.GroupCount(), 0u);
  EXPECT_FALSE(model.Modified());

  LauncherModel elsewhere;
  const std::string missing = dir.File("nowhere");
  const FileReport failed = LoadGroups(missing, elsewhere);
  EXPECT_FALSE(failed.ok);
  EXPECT_EQ(failed.messages, Names{CannotReadMessage(missing)});
}

TEST_F(GroupFiles, LoadTakesEveryGroupFileInTheFoldersOrder) {
  for (const char* name : {"日常業務.PTH", "x.pth", ".PTH", "a.b.PTH", "notes.txt", "Korvane.INI", "b.PTHX"})
    ASSERT_TRUE(WriteBytes(File(name), FreshFile({name})));
  ASSERT_TRUE(testing::MakeFolder(File("y.PTH")));
  ASSERT_TRUE(WriteBytes(File(os::TemporaryNameFor("x.pth", true, 1, 1)), "left by a crash"));

  const FileReport report = Load();
  EXPECT_TRUE(report.ok);
  EXPECT_TRUE(report.messages.empty());
  Names expected_order;
  const auto listing = os::ListFolder(dir.path());
  ASSERT_TRUE(listing.has_value());
  for (const os::DirEntry& e : *listing)
    if (!e.is_folder && IsGroupFileName(e.name)) expected_order.push_back(GroupNameOf(e.name));
  EXPECT_EQ(model.Names(), expected_order);
  Names sorted = model.Names();
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (Names{"", "a.b", "x", "日常業務"}));
  EXPECT_EQ(model.GroupAt(Row("x")).entries[0].title, "x.pth");
  EXPECT_EQ(model.GroupAt(Row("x")).FileName(), "x.pth");
  EXPECT_EQ(model.GroupAt(Row("")).entries[0].title, ".PTH");
  // The temporary file of an interrupted save is gone; nothing else is touched.
  EXPECT_FALSE(os::PathExists(File(os::TemporaryNameFor("x.pth", true, 1, 1))));
  EXPECT_TRUE(os::FileExists(File("notes.txt")));
  EXPECT_EQ(model.CurrentRow(), -1);
  EXPECT_FALSE(model.Modified());
}

TEST_F(GroupFiles, AnInterruptedSaveIsPutRightAtLoad) {
  // Whole, for a file that is gone: put back in its place.
  ASSERT_TRUE(WriteBytes(File(os::TemporaryNameNow("戻る.PTH", true, FreshFile({"new"}), 1)), FreshFile({"new"})));
  // Cut short (a kill before its bytes were flushed), for a file deleted
  // elsewhere since: removed, and no empty group comes back.
  ASSERT_TRUE(WriteBytes(File(os::TemporaryNameNow("業務0076.PTH", true, FreshFile({"76"}), 2)), ""));
  // Whole, but the folder changed after it was written (its file may have
  // been deleted elsewhere since): removed.
  const std::string aged = File(os::TemporaryNameNow("消えた.PTH", true, FreshFile({"gone"}), 3));
  ASSERT_TRUE(WriteBytes(aged, FreshFile({"gone"})));
  ASSERT_TRUE(testing::AgeFile(aged, 60));
  // Another computer's, whole or not, with or without its file: its save
  // may be under way there, so it is left alone.
  os::TemporaryFile other = *os::ParseTemporaryName(os::TemporaryNameNow("他.PTH", true, "whole", 4));
  other.machine ^= 1;
  ASSERT_TRUE(WriteBytes(File(os::TemporaryNameFor(other)), "whole"));
  other.file_name = "残る.PTH";
  ASSERT_TRUE(WriteBytes(File(os::TemporaryNameFor(other)), "torn"));
  // Beside its file, which is whole: removed.
  ASSERT_TRUE(WriteBytes(File("残る.PTH"), FreshFile({"old"})));
  ASSERT_TRUE(WriteBytes(File(os::TemporaryNameFor("残る.PTH", true, 7, 2)), FreshFile({"new"})));
  // For a file that never existed, perhaps cut short: removed.
  ASSERT_TRUE(WriteBytes(File(os::TemporaryNameFor("途中.PTH", false, 7, 3)), "[01]\r\nTIT"));
  // Not the program's: left alone.
  const Names theirs = {"~Korvane-1-1.tmp", "a.txt.~Korvane-1-1.tmp", "b.PTH.~Korvane-1-x.tmp"};
  for (const std::string& name : theirs) ASSERT_TRUE(WriteBytes(File(name), "theirs"));
  ASSERT_TRUE(Load().ok);
  Names expected = theirs;
  other.file_name = "他.PTH";
  expected.insert(expected.end(), {"戻る.PTH", "残る.PTH", os::TemporaryNameFor(other)});
  other.file_name = "残る.PTH";
  expected.push_back(os::TemporaryNameFor(other));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(SortedNames(dir.path()), expected);
  EXPECT_EQ(ReadBytes(File("戻る.PTH")), FreshFile({"new"}));
  EXPECT_EQ(ReadBytes(File("残る.PTH")), FreshFile({"old"}));
  ASSERT_EQ(model.GroupCount(), 2u);
  EXPECT_EQ(model.GroupAt(static_cast<std::size_t>(Row("戻る"))).entries[0].title, "new");
}

TEST_F(GroupFiles, LoadReadsTitlesAndPathsAndLeavesThePathsUntested) {
  const std::string program = File("本体.exe");
  ASSERT_TRUE(WriteBytes(program, "MZ"));
  const std::string forty_one(41, 't');
  const std::string lead_at_forty = "a" + std::string("あいうえおかきくけこさしすせそたちつてと");
  ASSERT_TRUE(WriteBytes(File("業務.PTH"), testing::Cp932(
                         "[01]\r\nTITLE=本体\r\nPATH=" + program + "\r\n"
                         "[02]\r\nTITLE=消えた\r\nPATH=" + File("消えた.doc") + "\r\n"
                         "[03]\r\nTITLE=フォルダ\r\nPATH=" + dir.path() + "\r\n"
                         "[04]\r\nTITLE=題だけ\r\n"
                         "[05]\r\nTITLE=" + forty_one + "\r\nPATH=\r\n"
                         "[06]\r\nTITLE=" + lead_at_forty + "\r\n"
                         "[07]\r\nPATH=" + program + "\r\n"
                         "[21]\r\nTITLE=never shown\r\n")));
  ASSERT_TRUE(Load().ok);
  ASSERT_EQ(model.GroupCount(), 1u);
  const Group& g = model.GroupAt(0);
  EXPECT_EQ(g.name, "業務");
  EXPECT_FALSE(g.Unread());
  ASSERT_EQ(g.entries.size(), kEntryCount);
  EXPECT_EQ(g.entries[0].title, "本体");
  EXPECT_EQ(g.entries[0].path, program);
  // Every path is tested later, off the window's thread.
  for (std::size_t i : {0, 1, 2, 6}) EXPECT_EQ(g.entries[i].marker, PathMarker::Untested) << i;
  EXPECT_EQ(MarkerFor(g.entries[0].path), PathMarker::Found);
  EXPECT_EQ(MarkerFor(g.entries[1].path), PathMarker::Missing);   // gone
  EXPECT_EQ(MarkerFor(g.entries[2].path), PathMarker::Missing);   // a folder
  EXPECT_EQ(g.entries[3].title, "題だけ");
  EXPECT_EQ(g.entries[3].path, "");
  EXPECT_EQ(g.entries[3].marker, PathMarker::NoPath);
  EXPECT_EQ(g.entries[4].title, std::string(40, 't'));
  EXPECT_EQ(g.entries[5].title, "a" + std::string("あいうえおかきくけこさしすせそたちつて"));   // 39 units
  EXPECT_EQ(g.entries[6].title, "");
  for (std::size_t i = 7; i < kEntryCount; ++i) {
    EXPECT_EQ(g.entries[i].title, "");
    EXPECT_EQ(g.entries[i].path, "");
    EXPECT_EQ(g.entries[i].marker, PathMarker::NoPath);
  }
}

TEST_F(GroupFiles, ANewGroupGetsAWholeFreshFile) {
  ASSERT_TRUE(Load().ok);
  model.AddGroup("新規");
  model.SelectGroup(0);
  model.SetTitle(1, "見積");
  model.SetPath(20, "C:\\ソフト表\\見積.xls");
  const FileReport report = Save();
  EXPECT_TRUE(report.ok);
  EXPECT_TRUE(report.messages.empty());
  EXPECT_FALSE(model.Modified());
  Names titles(kEntryCount), paths(kEntryCount);
  titles[0] = "見積";
  titles[19] = "見積";
  paths[19] = "C:\\ソフト表\\見積.xls";
  EXPECT_EQ(ReadBytes(File("新規.PTH")), FreshFile(titles, paths));
  EXPECT_EQ(SortedNames(dir.path()), Names{"新規.PTH"});
}

TEST_F(GroupFiles, ASaveKeepsEveryLineTheProgramDoesNotOwn) {
  const std::string head = testing::Cp932("; 業務ファイル\r\n\r\n");
  const std::string original = head + "[01]\r\nTITLE=old\r\nMEMO=keep me\r\nPATH=\r\n\r\n" +
                               FreshFile().substr(std::string("[01]\r\nTITLE=\r\nPATH=\r\n").size()) +
                               "[21]\r\nTITLE=hidden\r\nPATH=C:\\hidden.txt\r\n";
  ASSERT_TRUE(WriteBytes(File("業務.PTH"), original));
  ASSERT_TRUE(Load().ok);
  EXPECT_EQ(model.GroupAt(0).entries[0].title, "old");
  model.SelectGroup(0);
  model.SetTitle(1, "new");
  ASSERT_TRUE(Save().ok);
  std::string expected = original;
  expected.replace(expected.find("TITLE=old"), 9, "TITLE=new");
  EXPECT_EQ(ReadBytes(File("業務.PTH")), expected);
  // Any number of saves leave it so.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(Save().ok);
  EXPECT_EQ(ReadBytes(File("業務.PTH")), expected);
  LauncherModel again;
  ASSERT_TRUE(LoadGroups(dir.path(), again).ok);
  EXPECT_EQ(again.GroupAt(0).entries, model.GroupAt(0).entries);
}

TEST_F(GroupFiles, AFileDeletedFromOutsideIsWrittenAnewOnlyWhenChangedHere) {
  ASSERT_TRUE(WriteBytes(File("A.PTH"), FreshFile({"a1"})));
  ASSERT_TRUE(WriteBytes(File("B.PTH"), "[01]\r\nTITLE=b1\r\n"));
  ASSERT_TRUE(Load().ok);
  ASSERT_TRUE(os::DeleteFile(File("A.PTH")));   // deleted from outside meanwhile
  model.SelectGroup(Row("B"));
  model.SetTitle(1, "b1");                      // the same text: the flag, but no value changes
  ASSERT_TRUE(model.Modified());
  FileReport report = Save();
  ASSERT_TRUE(report.ok);
  EXPECT_TRUE(report.clashes.empty());
  EXPECT_FALSE(model.Modified());
  EXPECT_EQ(ReadBytes(File("A.PTH")), "<missing>");            // the deletion elsewhere stands
  EXPECT_EQ(ReadBytes(File("B.PTH")), "[01]\r\nTITLE=b1\r\n");   // not written at all
  // Changed here: written anew, whole, and told.
  Select("A");
  model.SetTitle(2, "a2");
  report = Save();
  ASSERT_TRUE(report.ok);
  EXPECT_EQ(ReadBytes(File("A.PTH")), FreshFile({"a1", "a2"}));
  EXPECT_EQ(report.clashes, Names{DeletedElsewhereMessage("A")});
  EXPECT_FALSE(model.Modified());
  EXPECT_FALSE(model.GroupAt(static_cast<std::size_t>(Row("A"))).Edited());
}

// A read-only file refuses any write: one left read-only shows the save
// left it alone.
TEST_F(GroupFiles, ASaveLeavesAloneEveryFileWhoseBytesWouldNotChange) {
  for (const char* name : {"A", "B", "C", "D"})
    ASSERT_TRUE(WriteBytes(File(std::string(name) + ".PTH"), FreshFile({name})));
  ASSERT_TRUE(Load().ok);
  for (const char* name : {"A", "B", "C", "D"}) testing::SetReadOnly(File(std::string(name) + ".PTH"), true);
  ASSERT_TRUE(Save().ok);   // nothing changed: nothing written
  testing::SetReadOnly(File("B.PTH"), false);
  testing::SetReadOnly(File("C.PTH"), false);
  testing::SetReadOnly(File("D.PTH"), false);
  Select("B");
  model.SetTitle(2, "changed");
  ASSERT_TRUE(WriteBytes(File("C.PTH"), FreshFile({"edited outside"}) + "; theirs\r\n"));
  ASSERT_TRUE(os::DeleteFile(File("D.PTH")));
  const FileReport report = Save();
  EXPECT_TRUE(report.ok);
  EXPECT_TRUE(report.messages.empty());
  EXPECT_FALSE(model.Modified());
  EXPECT_EQ(ReadBytes(File("A.PTH")), FreshFile({"A"}));
  EXPECT_EQ(ReadBytes(File("B.PTH")), FreshFile({"B", "changed"}));
  // Not changed here: what was saved elsewhere stays.
  EXPECT_EQ(ReadBytes(File("C.PTH")), FreshFile({"edited outside"}) + "; theirs\r\n");
  EXPECT_EQ(ReadBytes(File("D.PTH")), "<missing>");
  // A change that cannot be written still fails.
  Select("A");
  model.SetTitle(1, "A2");
  EXPECT_FALSE(Save().ok);
  testing::SetReadOnly(File("A.PTH"), false);
}

TEST_F(GroupFiles, AFileNamedInLowerCaseStaysOneFile) {
  ASSERT_TRUE(WriteBytes(File("x.pth"), FreshFile({"x"})));
  ASSERT_TRUE(WriteBytes(File(".PTH"), FreshFile({"nameless"})));
  ASSERT_TRUE(Load().ok);
  Select("x");
  model.SetTitle(2, "two");
  Select("");
  model.SetTitle(2, "zwei");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(SortedNames(dir.path()), (Names{".PTH", "x.pth"}));
  EXPECT_EQ(ReadBytes(File("x.pth")), FreshFile({"x", "two"}));
  EXPECT_EQ(ReadBytes(File(".PTH")), FreshFile({"nameless", "zwei"}));
  LauncherModel again;
  ASSERT_TRUE(LoadGroups(dir.path(), again).ok);
  EXPECT_EQ(again.GroupCount(), 2u);
}

TEST_F(GroupFiles, RenameMovesTheEntriesToTheNewFile) {
  ASSERT_TRUE(WriteBytes(File("A.PTH"), FreshFile({"one", "two"}, {"C:\\1.txt"})));
  ASSERT_TRUE(Load().ok);
  model.RenameGroup(0, "B");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(SortedNames(dir.path()), Names{"B.PTH"});
  EXPECT_EQ(ReadBytes(File("B.PTH")), FreshFile({"one", "two"}, {"C:\\1.txt"}));
  EXPECT_TRUE(model.Removed().empty());
  EXPECT_FALSE(model.Modified());
}

TEST_F(GroupFiles, RenameThereAndBackKeepsTheGroup) {
  ASSERT_TRUE(WriteBytes(File("A.PTH"), FreshFile({"one", "two"}) + "[21]\r\nX=1\r\n"));
  ASSERT_TRUE(Load().ok);
  model.RenameGroup(0, "B");
  model.RenameGroup(0, "A");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(SortedNames(dir.path()), Names{"A.PTH"});
  // Its own file, every line of it, as it was.
  EXPECT_EQ(ReadBytes(File("A.PTH")), FreshFile({"one", "two"}) + "[21]\r\nX=1\r\n");
  EXPECT_TRUE(model.Removed().empty());
}

TEST_F(GroupFiles, TwoGroupsSwappingNamesLoseNothingWhenTheSecondWriteFails) {
  ASSERT_TRUE(WriteBytes(File("A.PTH"), FreshFile({"old A"})));
  ASSERT_TRUE(WriteBytes(File("B.PTH"), FreshFile({"old B"})));
  ASSERT_TRUE(Load().ok);
  model.RenameGroup(static_cast<std::size_t>(Row("A")), "x");
  model.RenameGroup(static_cast<std::size_t>(Row("B")), "A");
  model.RenameGroup(static_cast<std::size_t>(Row("x")), "B");
  testing::SetReadOnly(File("B.PTH"), true);
  EXPECT_FALSE(Save().ok);
  EXPECT_TRUE(model.Modified());
  // Whatever was written, the old A's entries are still in a group file.
  LauncherModel on_disk;
  ASSERT_TRUE(LoadGroups(dir.path(), on_disk).ok);
  const auto titles = [&on_disk] {
    Names all;
    for (const Group& g : on_disk.Groups()) all.push_back(g.entries[0].title);
    std::sort(all.begin(), all.end());
    return all;
  };
  EXPECT_EQ(titles(), (Names{"old A", "old B", "old B"}));
  testing::SetReadOnly(File("B.PTH"), false);
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(SortedNames(dir.path()), (Names{"A.PTH", "B.PTH"}));
  EXPECT_EQ(ReadBytes(File("A.PTH")), FreshFile({"old B"}));
  EXPECT_EQ(ReadBytes(File("B.PTH")), FreshFile({"old A"}));
}

TEST_F(GroupFiles, ADeletedAndRemadeGroupGetsAFreshFile) {
  ASSERT_TRUE(WriteBytes(File("A.PTH"), FreshFile({"old entry"}) + "[21]\r\nX=1\r\n"));
  ASSERT_TRUE(WriteBytes(File("abc.PTH"), FreshFile({"old abc"})));
  ASSERT_TRUE(Load().ok);
  model.DeleteGroup(static_cast<std::size_t>(Row("A")));
  model.AddGroup("A");
  model.DeleteGroup(static_cast<std::size_t>(Row("abc")));
  model.AddGroup("ABC");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(ReadBytes(File("A.PTH")), FreshFile());
  // Under the new spelling, wherever the file system ignores case or not.
  EXPECT_EQ(SortedNames(dir.path()), (Names{"A.PTH", "ABC.PTH"}));
  EXPECT_EQ(ReadBytes(File("ABC.PTH")), FreshFile());
  EXPECT_TRUE(model.Removed().empty());
}

TEST_F(GroupFiles, ADeletedGroupsFileIsGoneAfterTheSave) {
  for (const char* name : {"A.PTH", "B.PTH", "C.PTH"}) ASSERT_TRUE(WriteBytes(File(name), FreshFile({name})));
  ASSERT_TRUE(Load().ok);
  model.DeleteGroup(static_cast<std::size_t>(Row("B")));
  model.DeleteGroup(static_cast<std::size_t>(Row("C")));
  ASSERT_TRUE(os::DeleteFile(File("C.PTH")));   // already gone: no error
  const FileReport report = Save();
  EXPECT_TRUE(report.ok);
  EXPECT_TRUE(report.messages.empty());
  EXPECT_EQ(SortedNames(dir.path()), Names{"A.PTH"});
  EXPECT_FALSE(model.Modified());
}

TEST_F(GroupFiles, ADeleteThatFailsIsReportedAndTriedAgain) {
  for (const char* name : {"A.PTH", "B.PTH"}) ASSERT_TRUE(WriteBytes(File(name), FreshFile({name})));
  ASSERT_TRUE(Load().ok);
  model.DeleteGroup(static_cast<std::size_t>(Row("B")));
  Select("A");
  model.SetTitle(1, "new A");
  testing::SetReadOnly(File("B.PTH"), true);
  FileReport report = Save();
  EXPECT_FALSE(report.ok);
  EXPECT_EQ(report.messages, Names{CannotDeleteMessage(File("B.PTH"))});
  EXPECT_TRUE(model.Modified());
  EXPECT_EQ(ReadBytes(File("A.PTH")), FreshFile({"new A"}));   // written before the deletions
  EXPECT_TRUE(os::FileExists(File("B.PTH")));
  ASSERT_EQ(model.Removed().size(), 1u);

  testing::SetReadOnly(File("B.PTH"), false);
  report = Save();
  EXPECT_TRUE(report.ok);
  EXPECT_EQ(SortedNames(dir.path()), Names{"A.PTH"});
  EXPECT_TRUE(model.Removed().empty());
  EXPECT_FALSE(model.Modified());
}

// Groups A..D with one changed title each and a removed group E whose file
// is still there; the file of `failing` is made to refuse.
class FailingSave : public GroupFiles {
 protected:
  void SetUp() override {
    for (const char* name : {"A", "B", "C", "D", "E"})
      ASSERT_TRUE(WriteBytes(File(std::string(name) + ".PTH"), FreshFile({std::string("old ") + name})));
    ASSERT_TRUE(Load().ok);
    model.DeleteGroup(static_cast<std::size_t>(Row("E")));
    for (const char* name : {"A", "B", "C", "D"}) {
      Select(name);
      model.SetTitle(1, std::string("new ") + name);
    }
  }
  // Every other group is written and the removed file deleted; the refused
  // one is wholly old, reported, and the flag is still set.
  void CheckOnlyTheRefusedGroupIsLeft(const FileReport& report, const std::string& failing) {
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(report.messages, Names{CannotWriteMessage(File(failing + ".PTH"))});
    EXPECT_TRUE(model.Modified());
    EXPECT_TRUE(model.Removed().empty());
    for (const std::string name : {"A", "B", "C", "D"}) {
      EXPECT_EQ(ReadBytes(File(name + ".PTH")), FreshFile({(name == failing ? "old " : "new ") + name})) << name;
    }
    EXPECT_EQ(SortedNames(dir.path()), (Names{"A.PTH", "B.PTH", "C.PTH", "D.PTH"}));
  }
  void CheckTheNextSaveCompletes() {
    const FileReport report = Save();
    EXPECT_TRUE(report.ok);
    EXPECT_FALSE(model.Modified());
    EXPECT_EQ(SortedNames(dir.path()), (Names{"A.PTH", "B.PTH", "C.PTH", "D.PTH"}));
    for (const std::string name : {"A", "B", "C", "D"})
      EXPECT_EQ(ReadBytes(File(name + ".PTH")), FreshFile({"new " + name}));
  }
};

TEST_F(FailingSave, AReadOnlyFileFailsOnlyItsGroup) {
  testing::SetReadOnly(File("C.PTH"), true);
  CheckOnlyTheRefusedGroupIsLeft(Save(), "C");
  testing::SetReadOnly(File("C.PTH"), false);
  CheckTheNextSaveCompletes();
}

TEST_F(FailingSave, AFileNobodyMayReadFailsOnlyItsGroup) {
  testing::HeldOpen held(File("C.PTH"), testing::Sharing::None);
  if (!held.Effective()) GTEST_SKIP() << "file permissions do not bind a privileged user";
  const FileReport report = Save();
  held.Release();
  CheckOnlyTheRefusedGroupIsLeft(report, "C");
  CheckTheNextSaveCompletes();
}

TEST_F(FailingSave, AFileHeldWithoutWriteSharingFailsOnlyItsGroup) {
  testing::HeldOpen held(File("C.PTH"), testing::Sharing::ReadOnly);
  if (!held.Effective()) GTEST_SKIP() << "POSIX has no sharing modes to hold a file with";
  const FileReport report = Save();
  held.Release();
  CheckOnlyTheRefusedGroupIsLeft(report, "C");
  CheckTheNextSaveCompletes();
}

TEST_F(GroupFiles, AnUnwritableFolderStillTakesChangesToExistingFiles) {
  ASSERT_TRUE(WriteBytes(File("A.PTH"), FreshFile({"old A"})));
  ASSERT_TRUE(WriteBytes(File("B.PTH"), FreshFile({"old B"})));
  ASSERT_TRUE(Load().ok);
  model.DeleteGroup(static_cast<std::size_t>(Row("B")));
  Select("A");   // (re-selected: the delete left none current)
  model.SetTitle(1, "new A");
  model.AddGroup("新規");
  testing::UnwritableFolder unwritable(dir.path());
  if (!unwritable.Effective()) GTEST_SKIP() << "this user may write into any folder (privileged)";
  const FileReport report = Save();
  EXPECT_FALSE(report.ok);
  // The deletion does not wait for the new group, but the folder may refuse it.
  Names expected{CannotWriteMessage(File("新規.PTH"))};
  if (os::PathExists(File("B.PTH"))) expected.push_back(CannotDeleteMessage(File("B.PTH")));
  EXPECT_EQ(report.messages, expected);
  EXPECT_EQ(ReadBytes(File("A.PTH")), FreshFile({"new A"}));   // written in place
  EXPECT_TRUE(model.Modified());
}

TEST_F(GroupFiles, AGroupNotReadAtLoadIsLeftAloneUntilChanged) {
  const std::string locked_bytes = FreshFile({"unseen 1", "unseen 2"}) + "; theirs\r\n";
  ASSERT_TRUE(WriteBytes(File("locked.PTH"), locked_bytes));
  ASSERT_TRUE(WriteBytes(File("other.PTH"), FreshFile({"other"})));
  {
    testing::HeldOpen held(File("locked.PTH"), testing::Sharing::None);
    if (!held.Effective()) GTEST_SKIP() << "file permissions do not bind a privileged user";
    const FileReport report = Load();
    EXPECT_TRUE(report.ok);
    EXPECT_EQ(report.messages, Names{CannotReadMessage(File("locked.PTH"))});
  }
  ASSERT_EQ(model.GroupCount(), 2u);
  const Group& locked = model.GroupAt(static_cast<std::size_t>(Row("locked")));
  EXPECT_TRUE(locked.Unread());
  EXPECT_EQ(locked.entries, std::vector<Entry>(kEntryCount));
  // Unlocked now, but its entries were never seen: a save leaves it as it is.
  Select("other");
  model.SetTitle(1, "changed");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(ReadBytes(File("locked.PTH")), locked_bytes);
  EXPECT_EQ(ReadBytes(File("other.PTH")), FreshFile({"changed"}));
  // What the user changes goes into the file; the unseen entries stay.
  Select("locked");
  model.SetTitle(3, "mine");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(ReadBytes(File("locked.PTH")), FreshFile({"unseen 1", "unseen 2", "mine"}) + "; theirs\r\n");
}

TEST_F(GroupFiles, AGroupLockedAtLoadKeepsItsUnseenEntriesThroughEditsAndRenames) {
  const std::string locked_bytes = FreshFile({"unseen 1", "unseen 2"}, {"", "C:\\2.txt"});
  ASSERT_TRUE(WriteBytes(File("locked.PTH"), locked_bytes));
  ASSERT_TRUE(WriteBytes(File("other.PTH"), FreshFile({"other"})));
  testing::HeldOpen held(File("locked.PTH"), testing::Sharing::None);
  if (!held.Effective()) GTEST_SKIP() << "file permissions do not bind a privileged user";
  ASSERT_TRUE(Load().ok);
  Select("locked");
  model.SetTitle(2, "seen 2");
  model.RenameGroup(static_cast<std::size_t>(Row("locked")), "away");
  // Still locked: this group fails, keeps its file, and no other group
  // takes that file's name over it.
  model.RenameGroup(static_cast<std::size_t>(Row("other")), "locked");
  FileReport report = Save();
  EXPECT_FALSE(report.ok);
  EXPECT_EQ(report.messages, (Names{CannotWriteMessage(File("away.PTH")), CannotWriteMessage(File("locked.PTH"))}));
  EXPECT_TRUE(model.Modified());
  held.Release();
  EXPECT_EQ(ReadBytes(File("locked.PTH")), locked_bytes);
  EXPECT_EQ(SortedNames(dir.path()), (Names{"locked.PTH", "other.PTH"}));
  // Released: the next save carries the file to the new name with the edit.
  // The user's entry 2 replaces one never seen: a clash, the old file kept
  // (in the Recycle Bin, or beside it where the folder has none).
  report = Save();
  ASSERT_TRUE(report.ok);
  const bool beside = dir.Exists("away~1.PTH");
  EXPECT_EQ(report.clashes, (Names{ClashEntryMessage("away", 2, true, false),
                                   beside ? KeptAsMessage("away", "away~1") : RecycledMessage("away")}));
  if (beside) {
    EXPECT_EQ(ReadBytes(File("away~1.PTH")), locked_bytes);
  }
  const Names expected_names =
      beside ? Names{"away.PTH", "away~1.PTH", "locked.PTH"} : Names{"away.PTH", "locked.PTH"};
  EXPECT_EQ(SortedNames(dir.path()), expected_names);
  EXPECT_EQ(ReadBytes(File("away.PTH")), FreshFile({"unseen 1", "seen 2"}, {"", "C:\\2.txt"}));
  EXPECT_EQ(ReadBytes(File("locked.PTH")), FreshFile({"other"}));
  // There and back: nothing the user did not change is written.
  model.RenameGroup(static_cast<std::size_t>(Row("away")), "x");
  model.RenameGroup(static_cast<std::size_t>(Row("x")), "away");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(ReadBytes(File("away.PTH")), FreshFile({"unseen 1", "seen 2"}, {"", "C:\\2.txt"}));
}

TEST_F(GroupFiles, AProtectedGroupIsNeverWrittenEvenWhenItsFileIsGone) {
  ASSERT_TRUE(WriteBytes(File("kept.PTH"), "theirs"));
  Group group = model.NewGroup("kept");
  group.state = ReadState::Unreadable;
  group.source = "kept.PTH";
  model.AppendLoaded(std::move(group));
  model.AddGroup("new");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(ReadBytes(File("kept.PTH")), "theirs");
  ASSERT_TRUE(os::DeleteFile(File("kept.PTH")));
  ASSERT_TRUE(Save().ok);
  EXPECT_FALSE(os::PathExists(File("kept.PTH")));
}

TEST_F(GroupFiles, RenamingAGroupNotReadAtLoadCarriesItsFile) {
  const std::string unreadable = FreshFile({"unseen"});
  ASSERT_TRUE(WriteBytes(File("A.PTH"), unreadable));
  {
    testing::HeldOpen held(File("A.PTH"), testing::Sharing::None);
    if (!held.Effective()) GTEST_SKIP() << "file permissions do not bind a privileged user";
    ASSERT_TRUE(Load().ok);
  }
  ASSERT_TRUE(model.GroupAt(0).Unread());
  model.RenameGroup(0, "B");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(SortedNames(dir.path()), Names{"B.PTH"});
  EXPECT_EQ(ReadBytes(File("B.PTH")), unreadable);
  EXPECT_FALSE(model.Modified());
}

TEST_F(GroupFiles, AUtf16FileIsReadAndWrittenBackInUtf16) {
  // As Notepad saves "Unicode"; entry 2 holds characters code page 932 lacks.
  const auto file = [](std::u16string_view title1) {
    std::u16string text = u"; 業務\r\n";
    for (std::size_t i = 1; i <= kEntryCount; ++i) {
      const std::string section = EntrySection(i, kEntryCount);
      text += u"[" + std::u16string(section.begin(), section.end()) + u"]\r\nTITLE=";
      text += i == 1 ? title1 : i == 2 ? u"caf\u00E9 \u2615" : u"";
      text += u"\r\nPATH=";
      text += i == 1 ? u"C:\\ソフト\\日報.xls" : u"";
      text += u"\r\n";
    }
    return testing::Utf16File(text);
  };
  ASSERT_TRUE(WriteBytes(File("業務.PTH"), file(u"日報")));
  const FileReport report = Load();
  EXPECT_TRUE(report.ok);
  EXPECT_TRUE(report.messages.empty());
  Select("業務");
  const Group& group = *model.Current();
  EXPECT_FALSE(group.Unread());
  EXPECT_EQ(group.entries[0].title, "日報");
  EXPECT_EQ(group.entries[0].path, "C:\\ソフト\\日報.xls");
  EXPECT_EQ(group.entries[1].title, "caf\u00E9 \u2615");   // read as Unicode
  model.SetTitle(1, "週報");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(ReadBytes(File("業務.PTH")), file(u"週報"));
  EXPECT_FALSE(model.Modified());
}

TEST_F(GroupFiles, AUtf8FileIsReadAndWrittenBackInUtf8WithItsMark) {
  // As editors save UTF-8 now, with and without a byte-order mark.
  for (const std::string mark : {"\xEF\xBB\xBF", ""}) {
    SCOPED_TRACE(mark.size());
    const auto file = [&mark](std::string_view title3) {
      std::string text = mark;
      for (std::size_t i = 1; i <= kEntryCount; ++i)
        text += "[" + EntrySection(i, kEntryCount) + "]\r\nTITLE=" +
                std::string(i == 1 ? "日報" : i == 2 ? "caf\u00E9 \u2615" : i == 3 ? title3 : "") + "\r\nPATH=\r\n";
      return text;
    };
    ASSERT_TRUE(WriteBytes(File("業務.PTH"), file("三")));
    ASSERT_TRUE(Load().ok);
    Select("業務");
    EXPECT_EQ(model.Current()->entries[0].title, "日報");
    EXPECT_EQ(model.Current()->entries[1].title, "caf\u00E9 \u2615");
    model.SetTitle(3, "週報");
    ASSERT_TRUE(Save().ok);
    EXPECT_EQ(ReadBytes(File("業務.PTH")), file("週報"));   // one [01], every byte UTF-8
  }
}

TEST_F(GroupFiles, NamesTheSystemCannotTakeAreLeftAlone) {
  // A full name beyond the path limit, and (on Windows) a name holding an
  // unpaired surrogate, which no UTF-8 spells. Names code page 932 lacks
  // are groups like any other.
  const std::string long_name = std::string(250, 'x') + ".PTH";
  Names odd = {File(long_name)};
#ifdef _WIN32
  ASSERT_TRUE(testing::WriteWideNamed(dir.path(), std::u16string(long_name.begin(), long_name.end()), "theirs"));
  // (Wine keeps names in UTF-8 on Linux and makes no such file.)
  if (testing::WriteWideNamed(dir.path(), u"a\xD800z.PTH", "theirs")) odd.push_back(File("a\uFFFDz.PTH"));
#else
  ASSERT_TRUE(WriteBytes(File(long_name), "theirs"));
#endif
  ASSERT_TRUE(WriteBytes(File("caf\u00E9.PTH"), FreshFile({"caf\u00E9 1"}, {}, true)));
  ASSERT_TRUE(WriteBytes(File("a\u00A5b.PTH"), FreshFile({"yen"})));
  ASSERT_TRUE(WriteBytes(File("ok.PTH"), FreshFile({"ok"})));
  const Names before = SortedNames(dir.path());
  const FileReport report = Load();
  EXPECT_TRUE(report.ok);
  Names loaded = model.Names();
  std::sort(loaded.begin(), loaded.end());
  ASSERT_EQ(loaded, (Names{"a\u00A5b", "caf\u00E9", "ok"}));
  EXPECT_EQ(model.GroupAt(static_cast<std::size_t>(model.FindGroup("caf\u00E9"))).entries[0].title, "caf\u00E9 1");
  EXPECT_EQ(model.GroupAt(static_cast<std::size_t>(model.FindGroup("a\u00A5b"))).entries[0].title, "yen");
  Names told = report.messages;
  Names expected;
  for (const std::string& path : odd) expected.push_back(LeftAloneMessage(path));
  std::sort(told.begin(), told.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(told, expected);
  Select("ok");
  model.SetTitle(1, "saved");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(ReadBytes(File("ok.PTH")), FreshFile({"saved"}));
  EXPECT_EQ(SortedNames(dir.path()), before);
  // A new group gets no name whose file would not fit, temporary files included.
  EXPECT_TRUE(GroupFileFits(dir.path(), "ok"));
  EXPECT_FALSE(GroupFileFits(dir.path(), std::string(200, 'x')));
  EXPECT_FALSE(GroupFileFits("C:\\" + std::string(220, 'f') + "\\", "abc"));
}

// A code page 932 file stays byte for byte what it is while every value set
// fits the code page; the first that does not makes it UTF-16LE with a
// byte-order mark, every line kept, and it reads back.
TEST_F(GroupFiles, AFileTurnsUtf16OnlyForTheFirstValueTheCodePageLacks) {
  const std::string text = "; 業務ファイル ～ ソ表\r\n" + std::string("[01]\r\nTITLE=見積\r\nMEMO=keep ポ\r\nPATH=\r\n") +
                           "[02]\r\nTITLE=日報\r\nPATH=C:\\ソフト表\\日報.xls\r\n[21]\r\nTITLE=hidden\r\n";
  const std::string original = testing::Cp932(text);
  const auto change = [](std::string& in, std::string_view from, std::string_view to) {
    in.replace(in.find(from), from.size(), to);
  };
  ASSERT_TRUE(WriteBytes(File("業務.PTH"), original));
  ASSERT_TRUE(Load().ok);
  Select("業務");
  model.SetTitle(1, "見積～改");
  ASSERT_TRUE(Save().ok);
  std::string expected = text;
  change(expected, "TITLE=見積", "TITLE=見積～改");
  EXPECT_EQ(ReadBytes(File("業務.PTH")), testing::Cp932(expected));   // only that line differs

  model.SetTitle(2, "Café メニュー");
  model.SetPath(1, "E:\\業務\\波ダッシュ〜テスト.txt");
  ASSERT_TRUE(Save().ok);
  change(expected, "TITLE=日報", "TITLE=Café メニュー");
  change(expected, "PATH=\r\n", "PATH=E:\\業務\\波ダッシュ〜テスト.txt\r\n");
  EXPECT_EQ(ReadBytes(File("業務.PTH")), testing::Utf16File(Utf16FromUtf8(expected)));
  ASSERT_TRUE(Load().ok);
  Select("業務");
  EXPECT_EQ(model.Current()->entries[0].title, "見積～改");
  EXPECT_EQ(model.Current()->entries[0].path, "E:\\業務\\波ダッシュ〜テスト.txt");
  EXPECT_EQ(model.Current()->entries[1].title, "Café メニュー");
  // Once UTF-16, it stays so, even when every value fits again.
  model.SetTitle(2, "日報");
  ASSERT_TRUE(Save().ok);
  change(expected, "TITLE=Café メニュー", "TITLE=日報");
  EXPECT_EQ(ReadBytes(File("業務.PTH")), testing::Utf16File(Utf16FromUtf8(expected)));
}

// The names of files shared with Macs and colleagues abroad, and a group
// named café, go through a save and a load unchanged; titles are cut in
// units, never inside a surrogate pair.
TEST_F(GroupFiles, AnyNameRoundTripsThroughASaveAndALoad) {
  const Names names = {"Café メニュー.txt", "𠮷野家の請求書.txt", "한국어 자料.txt", "波ダッシュ〜テスト.txt"};
  ASSERT_TRUE(Load().ok);
  model.AddGroup("café");
  model.AddGroup("日常");
  Select("café");
  for (std::size_t i = 0; i < names.size(); ++i) {
    model.SetTitle(i + 1, names[i]);
    model.SetPath(i + 1, File(names[i]));
  }
  Select("日常");
  model.SetTitle(1, "見積");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(SortedNames(dir.path()), (Names{"café.PTH", "日常.PTH"}));
  EXPECT_EQ(ReadBytes(File("café.PTH")).substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(ReadBytes(File("日常.PTH")), FreshFile({"見積"}));   // all fits: code page 932
  ASSERT_TRUE(Load().ok);
  Select("café");
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(model.Current()->entries[i].title, names[i]);
    EXPECT_EQ(model.Current()->entries[i].path, File(names[i]));
  }
  // A title beyond the limit is cut when read: ten 𠮷 are 40 units.
  std::string eleven;
  for (int i = 0; i < 11; ++i) eleven += "𠮷";
  ASSERT_TRUE(WriteBytes(File("café.PTH"), FreshFile({"a" + eleven}, {}, true)));
  ASSERT_TRUE(Load().ok);
  Select("café");
  EXPECT_EQ(model.Current()->entries[0].title, "a" + eleven.substr(0, 9 * std::string("𠮷").size()));
}

}  // namespace
}  // namespace korvane
