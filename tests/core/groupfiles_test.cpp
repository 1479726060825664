// Group files: names, load, save, and what a save does to the files.
#include <gtest/gtest.h>

#include <algorithm>

#include "data/groupfiles.h"
#include "data/os.h"
#include "tests/core/tempdir.h"

namespace korvane {
namespace {

using testing::ReadBytes;
using testing::SortedNames;
using testing::WriteBytes;
using Names = std::vector<std::string>;

// The bytes of a group file written fresh: sections 01..20, TITLE then PATH.
std::string FreshFile(const Names& titles = {}, const Names& paths = {}) {
  std::string bytes;
  for (std::size_t i = 0; i < kEntryCount; ++i) {
    bytes += "[" + EntrySection(i + 1, kEntryCount) + "]\r\nTITLE=" + (i < titles.size() ? titles[i] : "") +
             "\r\nPATH=" + (i < paths.size() ? paths[i] : "") + "\r\n";
  }
  return bytes;
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
  EXPECT_FALSE(IsGroupFileName("\x81.PTH"));   // that '.' is the second byte of a character
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
  ASSERT_TRUE(WriteBytes(File(os::TemporaryNameFor(1, 1)), "left by a crash"));

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
  EXPECT_FALSE(os::PathExists(File(os::TemporaryNameFor(1, 1))));
  EXPECT_TRUE(os::FileExists(File("notes.txt")));
  EXPECT_EQ(model.CurrentRow(), -1);
  EXPECT_FALSE(model.Modified());
}

TEST_F(GroupFiles, LoadReadsTitlesAndPathsAndLeavesThePathsUntested) {
  const std::string program = File("本体.exe");
  ASSERT_TRUE(WriteBytes(program, "MZ"));
  const std::string forty_one(41, 't');
  const std::string lead_at_forty = "a" + std::string("あいうえおかきくけこさしすせそたちつてと");
  ASSERT_TRUE(WriteBytes(File("業務.PTH"),
                         "[01]\r\nTITLE=本体\r\nPATH=" + program + "\r\n"
                         "[02]\r\nTITLE=消えた\r\nPATH=" + File("消えた.doc") + "\r\n"
                         "[03]\r\nTITLE=フォルダ\r\nPATH=" + dir.path() + "\r\n"
                         "[04]\r\nTITLE=題だけ\r\n"
                         "[05]\r\nTITLE=" + forty_one + "\r\nPATH=\r\n"
                         "[06]\r\nTITLE=" + lead_at_forty + "\r\n"
                         "[07]\r\nPATH=" + program + "\r\n"
                         "[21]\r\nTITLE=never shown\r\n"));
  ASSERT_TRUE(Load().ok);
  ASSERT_EQ(model.GroupCount(), 1u);
  const Group& g = model.GroupAt(0);
  EXPECT_EQ(g.name, "業務");
  EXPECT_FALSE(g.unread);
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
  EXPECT_EQ(g.entries[5].title, "a" + std::string("あいうえおかきくけこさしすせそたちつて"));   // 39 bytes
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
  const std::string head = "; 業務ファイル\r\n\r\n";
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

TEST_F(GroupFiles, ASaveWithoutChangesRewritesEveryFileAndClearsTheFlag) {
  ASSERT_TRUE(WriteBytes(File("A.PTH"), FreshFile({"a1"})));
  ASSERT_TRUE(WriteBytes(File("B.PTH"), "[01]\r\nTITLE=b1\r\n"));
  ASSERT_TRUE(Load().ok);
  ASSERT_TRUE(os::DeleteFile(File("A.PTH")));   // deleted from outside meanwhile
  model.SelectGroup(Row("B"));
  model.SetTitle(1, "b1");                      // the same text: still a change
  ASSERT_TRUE(model.Modified());
  ASSERT_TRUE(Save().ok);
  EXPECT_FALSE(model.Modified());
  EXPECT_EQ(ReadBytes(File("A.PTH")), FreshFile({"a1"}));
  EXPECT_EQ(ReadBytes(File("B.PTH")), FreshFile({"b1"}));   // PATH and the sections 02..20 added
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
  // Written fresh: a name that was given up starts a new file.
  EXPECT_EQ(ReadBytes(File("A.PTH")), FreshFile({"one", "two"}));
  EXPECT_TRUE(model.Removed().empty());
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
  // Every file is wholly old or wholly new, nothing was deleted, the flag
  // is still set; the names of the files that ended new.
  Names CheckNothingHalfDone(const FileReport& report, const std::string& failing) {
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(report.messages, Names{CannotWriteMessage(File(failing + ".PTH"))});
    EXPECT_TRUE(model.Modified());
    EXPECT_EQ(model.Removed().size(), 1u);
    EXPECT_EQ(ReadBytes(File("E.PTH")), FreshFile({"old E"}));
    Names written;
    for (const std::string name : {"A", "B", "C", "D"}) {
      const std::string bytes = ReadBytes(File(name + ".PTH"));
      if (bytes == FreshFile({"new " + name})) written.push_back(name);
      else EXPECT_EQ(bytes, FreshFile({"old " + name})) << name;
    }
    EXPECT_EQ(std::count(written.begin(), written.end(), failing), 0);
    EXPECT_EQ(SortedNames(dir.path()), (Names{"A.PTH", "B.PTH", "C.PTH", "D.PTH", "E.PTH"}));
    return written;
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

TEST_F(FailingSave, AReadOnlyFileStopsTheSaveAtThatGroup) {
  testing::SetReadOnly(File("C.PTH"), true);
  const Names written = CheckNothingHalfDone(Save(), "C");
  // The groups listed before it were written, those after it were not.
  Names before;
  for (const std::string& name : model.Names()) {
    if (name == "C") break;
    before.push_back(name);
  }
  EXPECT_EQ(written, before);
  testing::SetReadOnly(File("C.PTH"), false);
  CheckTheNextSaveCompletes();
}

TEST_F(FailingSave, AFileNobodyMayReadStopsTheSaveBeforeAnyWrite) {
  testing::HeldOpen held(File("C.PTH"), testing::Sharing::None);
  if (!held.Effective()) GTEST_SKIP() << "file permissions do not bind a privileged user";
  const FileReport report = Save();
  held.Release();
  EXPECT_EQ(CheckNothingHalfDone(report, "C"), Names{});
  CheckTheNextSaveCompletes();
}

TEST_F(FailingSave, AFileHeldWithoutWriteSharingStopsTheSaveAtThatGroup) {
  testing::HeldOpen held(File("C.PTH"), testing::Sharing::ReadOnly);
  if (!held.Effective()) GTEST_SKIP() << "POSIX has no sharing modes to hold a file with";
  const FileReport report = Save();
  held.Release();
  CheckNothingHalfDone(report, "C");
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
  EXPECT_EQ(report.messages, Names{CannotWriteMessage(File("新規.PTH"))});
  EXPECT_EQ(ReadBytes(File("A.PTH")), FreshFile({"new A"}));   // written in place
  EXPECT_EQ(ReadBytes(File("B.PTH")), FreshFile({"old B"}));   // not deleted
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
  EXPECT_TRUE(locked.unread);
  EXPECT_EQ(locked.entries, std::vector<Entry>(kEntryCount));
  // Unlocked now, but its entries were never seen: a save leaves it as it is.
  Select("other");
  model.SetTitle(1, "changed");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(ReadBytes(File("locked.PTH")), locked_bytes);
  EXPECT_EQ(ReadBytes(File("other.PTH")), FreshFile({"changed"}));
  // Once the user changes the group, it is theirs to write.
  Select("locked");
  model.SetTitle(3, "mine");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(ReadBytes(File("locked.PTH")), FreshFile({"", "", "mine"}) + "; theirs\r\n");
}

TEST_F(GroupFiles, AProtectedGroupIsNeverWrittenEvenWhenItsFileIsGone) {
  ASSERT_TRUE(WriteBytes(File("kept.PTH"), "theirs"));
  Group group = model.NewGroup("kept");
  group.unread = true;
  model.AppendLoaded(std::move(group));
  model.AddGroup("new");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(ReadBytes(File("kept.PTH")), "theirs");
  ASSERT_TRUE(os::DeleteFile(File("kept.PTH")));
  ASSERT_TRUE(Save().ok);
  EXPECT_FALSE(os::PathExists(File("kept.PTH")));
}

TEST_F(GroupFiles, RenamingAGroupNotReadAtLoadKeepsItsFile) {
  // A UTF-16 file is not a form the reader takes: the group loads empty.
  const std::string unreadable("\xFF\xFE[\x00" "0\x001\x00]\x00", 10);
  ASSERT_TRUE(WriteBytes(File("A.PTH"), unreadable));
  ASSERT_TRUE(Load().ok);
  ASSERT_TRUE(model.GroupAt(0).unread);
  model.RenameGroup(0, "B");
  ASSERT_TRUE(Save().ok);
  EXPECT_EQ(ReadBytes(File("A.PTH")), unreadable);
  EXPECT_EQ(ReadBytes(File("B.PTH")), FreshFile());
  EXPECT_FALSE(model.Modified());
}

}  // namespace
}  // namespace korvane
