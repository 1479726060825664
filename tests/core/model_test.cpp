// The launcher data model: every operation and its effect on the flag.
#include <gtest/gtest.h>

#include <cstring>

#include "data/model.h"
#include "data/os.h"
#include "tests/core/tempdir.h"

namespace korvane {
namespace {

// A model holding groups A, B, C (loaded, so the flag is clear).
LauncherModel ThreeGroups() {
  LauncherModel model;
  for (const char* name : {"A", "B", "C"}) {
    Group group = model.NewGroup(name);
    group.entries[0].title = std::string("title of ") + name;
    model.AppendLoaded(std::move(group));
  }
  return model;
}

TEST(LauncherModel, AddGroupAppendsTwentyEmptyEntriesAndSetsTheFlag) {
  LauncherModel model = ThreeGroups();
  model.SelectGroup(1);
  EXPECT_FALSE(model.Modified());
  model.AddGroup("新しい業務");
  EXPECT_TRUE(model.Modified());
  EXPECT_EQ(model.Names(), (std::vector<std::string>{"A", "B", "C", "新しい業務"}));
  const Group& added = model.GroupAt(3);
  EXPECT_EQ(added.entries, std::vector<Entry>(kEntryCount, Entry{"", "", PathMarker::NoPath}));
  EXPECT_EQ(added.FileName(), "新しい業務.PTH");
  EXPECT_EQ(model.CurrentRow(), 1);   // the selection stays
  EXPECT_EQ(model.Current()->name, "B");
  EXPECT_TRUE(model.Removed().empty());
}

TEST(LauncherModel, EntryCountComesFromTheGrid) {
  LauncherModel model(100);
  EXPECT_EQ(model.NewGroup("x").entries.size(), 100u);
}

TEST(LauncherModel, FindGroupIgnoresCaseAndGivesTheFirst) {
  LauncherModel model = ThreeGroups();
  model.AddGroup("業務Ａ");
  EXPECT_EQ(model.FindGroup("b"), 1);
  EXPECT_EQ(model.FindGroup("C"), 2);
  EXPECT_EQ(model.FindGroup("業務ａ"), 3);
  EXPECT_EQ(model.FindGroup("D"), -1);
  EXPECT_EQ(model.FindGroup(""), -1);
  const bool before = model.Modified();
  model.FindGroup("a");
  EXPECT_EQ(model.Modified(), before);
}

TEST(LauncherModel, SelectGroupChangesOnlyTheCurrentGroup) {
  LauncherModel model = ThreeGroups();
  EXPECT_EQ(model.Current(), nullptr);
  model.SelectGroup(2);
  EXPECT_EQ(model.Current()->name, "C");
  model.SelectGroup(-1);   // no row selected: nothing happens
  EXPECT_EQ(model.CurrentRow(), 2);
  model.SelectGroup(3);
  EXPECT_EQ(model.CurrentRow(), 2);
  EXPECT_FALSE(model.Modified());
}

TEST(LauncherModel, RenameKeepsTheEntriesAndRemembersTheOldName) {
  LauncherModel model = ThreeGroups();
  model.SelectGroup(1);
  model.RenameGroup(1, "B2");
  EXPECT_TRUE(model.Modified());
  EXPECT_EQ(model.Names(), (std::vector<std::string>{"A", "B2", "C"}));
  EXPECT_EQ(model.GroupAt(1).entries[0].title, "title of B");
  EXPECT_EQ(model.CurrentRow(), 1);
  ASSERT_EQ(model.Removed().size(), 1u);
  EXPECT_EQ(model.Removed()[0].FileName(), "B.PTH");
  // And back: both names are on the removed list, in order.
  model.RenameGroup(1, "B");
  ASSERT_EQ(model.Removed().size(), 2u);
  EXPECT_EQ(model.Removed()[1].FileName(), "B2.PTH");
  EXPECT_EQ(model.GroupAt(1).entries[0].title, "title of B");
}

TEST(LauncherModel, RenameGivesTheNewFileTheProgramsExtension) {
  LauncherModel model;
  Group group = model.NewGroup("x");
  group.extension = ".pth";   // as found on disk
  model.AppendLoaded(std::move(group));
  EXPECT_EQ(model.GroupAt(0).FileName(), "x.pth");
  model.RenameGroup(0, "y");
  EXPECT_EQ(model.GroupAt(0).FileName(), "y.PTH");
  EXPECT_EQ(model.Removed()[0].FileName(), "x.pth");
}

TEST(LauncherModel, DeleteDropsTheGroupAndLeavesNoneCurrent) {
  LauncherModel model = ThreeGroups();
  model.SelectGroup(0);
  model.DeleteGroup(1);
  EXPECT_TRUE(model.Modified());
  EXPECT_EQ(model.Names(), (std::vector<std::string>{"A", "C"}));
  EXPECT_EQ(model.GroupAt(1).entries[0].title, "title of C");
  EXPECT_EQ(model.Current(), nullptr);
  ASSERT_EQ(model.Removed().size(), 1u);
  EXPECT_EQ(model.Removed()[0].name, "B");
  // Entry operations now have no group to act on.
  EXPECT_FALSE(model.SetTitle(1, "x"));
  EXPECT_FALSE(model.ClearPath(1));
}

TEST(LauncherModel, EntryOperationsAndTheFlag) {
  testing::TempDir dir;
  const std::string existing = dir.File("報告書.xls");
  ASSERT_TRUE(testing::WriteBytes(existing, "x"));

  LauncherModel model = ThreeGroups();
  EXPECT_FALSE(model.SetTitle(1, "no group"));   // none current yet
  EXPECT_FALSE(model.Modified());
  model.SelectGroup(0);
  EXPECT_FALSE(model.SetTitle(0, "x"));          // entry numbers are 1..20
  EXPECT_FALSE(model.SetTitle(21, "x"));
  EXPECT_FALSE(model.Modified());

  ASSERT_TRUE(model.SetTitle(20, "最後"));
  EXPECT_TRUE(model.Modified());
  EXPECT_EQ(model.Current()->entries[19].title, "最後");

  LauncherModel clean = ThreeGroups();
  clean.SelectGroup(0);
  ASSERT_TRUE(clean.ClearPath(3));   // already empty: still a change
  EXPECT_TRUE(clean.Modified());
  EXPECT_EQ(clean.Current()->entries[2].marker, PathMarker::NoPath);

  clean = ThreeGroups();
  clean.SelectGroup(0);
  ASSERT_TRUE(clean.ClearTitle(2));
  EXPECT_TRUE(clean.Modified());

  // A chosen file gives the empty title its name; a title already there stays.
  clean = ThreeGroups();
  clean.SelectGroup(0);
  ASSERT_TRUE(clean.SetPath(2, existing));
  EXPECT_TRUE(clean.Modified());
  EXPECT_EQ(clean.Current()->entries[1].path, existing);
  EXPECT_EQ(clean.Current()->entries[1].marker, PathMarker::Found);
  EXPECT_EQ(clean.Current()->entries[1].title, TitleFromPath(existing));
  ASSERT_TRUE(clean.SetPath(1, dir.File("無い.doc")));
  EXPECT_EQ(clean.Current()->entries[0].marker, PathMarker::Missing);
  EXPECT_EQ(clean.Current()->entries[0].title, "title of A");
  ASSERT_TRUE(clean.SetPath(3, dir.path()));      // a folder counts as missing
  EXPECT_EQ(clean.Current()->entries[2].marker, PathMarker::Missing);

  // Refreshing a marker follows the file system and never sets the flag.
  clean.ClearModified();
  ASSERT_TRUE(testing::WriteBytes(dir.File("無い.doc"), ""));
  ASSERT_TRUE(clean.RefreshMarker(1));
  EXPECT_EQ(clean.Current()->entries[0].marker, PathMarker::Found);
  EXPECT_FALSE(clean.Modified());
}

TEST(LauncherModel, RefreshMarkerSeesAFileThatDisappeared) {
  testing::TempDir dir;
  const std::string file = dir.File("消える.txt");
  ASSERT_TRUE(testing::WriteBytes(file, "x"));
  LauncherModel model = ThreeGroups();
  model.SelectGroup(2);
  ASSERT_TRUE(model.SetPath(5, file));
  EXPECT_EQ(model.Current()->entries[4].marker, PathMarker::Found);
  model.ClearModified();
  ASSERT_TRUE(os::DeleteFile(file));
  ASSERT_TRUE(model.RefreshMarker(5));
  EXPECT_EQ(model.Current()->entries[4].marker, PathMarker::Missing);
  EXPECT_FALSE(model.Modified());
}

TEST(LauncherModel, ATestAnswerLandsOnlyWhileTheEntryHoldsItsPath) {
  LauncherModel model = ThreeGroups();
  model.SelectGroup(0);
  ASSERT_TRUE(model.SetPath(2, "X:\\共有\\表.xls"));
  model.ClearModified();
  // Any group, current or not; the flag stays clear.
  EXPECT_TRUE(model.SetMarkerOfPath(0, 2, "X:\\共有\\表.xls", PathMarker::Found));
  EXPECT_EQ(model.GroupAt(0).entries[1].marker, PathMarker::Found);
  EXPECT_FALSE(model.SetMarkerOfPath(0, 2, "X:\\前の\\表.xls", PathMarker::Missing));   // path changed since
  EXPECT_EQ(model.GroupAt(0).entries[1].marker, PathMarker::Found);
  EXPECT_FALSE(model.SetMarkerOfPath(1, 2, "X:\\共有\\表.xls", PathMarker::Missing));   // another group's entry
  EXPECT_FALSE(model.SetMarkerOfPath(3, 2, "", PathMarker::NoPath));                     // no such group
  EXPECT_FALSE(model.SetMarkerOfPath(0, 21, "", PathMarker::NoPath));
  EXPECT_FALSE(model.Modified());
}

TEST(TitleFromPath, TakesTheFileNameWithoutItsLastExtension) {
  EXPECT_EQ(TitleFromPath("C:\\ソフト表\\報告書.xls"), "報告書");   // 表 ends in 0x5C
  EXPECT_EQ(TitleFromPath("C:\\ソ"), "ソ");
  EXPECT_EQ(TitleFromPath("C:表.txt"), "表");
  EXPECT_EQ(TitleFromPath("D:\\a.b.txt"), "a.b");
  EXPECT_EQ(TitleFromPath("D:\\.profile"), "");
  EXPECT_EQ(TitleFromPath("D:\\noext"), "noext");
  EXPECT_EQ(TitleFromPath("plain.txt"), "plain");
  // Cut to 40 bytes, or 39 when byte 40 opens a double-byte character.
  const std::string forty_one = "a" + std::string("あいうえおかきくけこさしすせそたちつてと");  // 1 + 40 bytes
  EXPECT_EQ(TitleFromPath("C:\\" + forty_one + ".txt"), "a" + std::string("あいうえおかきくけこさしすせそたちつて"));
  EXPECT_EQ(TitleFromPath("C:\\" + std::string(45, 'x') + ".txt"), std::string(40, 'x'));
}

TEST(LauncherModel, AGroupNotReadRemembersWhatTheUserChanged) {
  LauncherModel model;
  Group group = model.NewGroup("locked");
  group.state = ReadState::Unreadable;
  group.source = "locked.PTH";
  model.AppendLoaded(std::move(group));
  model.SelectGroup(0);
  model.SetTitle(1, "x");
  model.SetPath(2, "C:\\a.txt");   // the empty title is changed too
  model.ClearPath(3);   // already empty: no value changes
  model.SetMarker(4, PathMarker::Missing);
  model.RenameGroup(0, "renamed");
  const Group& g = model.GroupAt(0);
  EXPECT_TRUE(g.Unread());
  EXPECT_EQ(g.source, "locked.PTH");
  std::vector<bool> titles(kEntryCount), paths(kEntryCount), seen_titles, seen_paths;
  titles[0] = titles[1] = paths[1] = true;
  for (std::size_t n = 1; n <= kEntryCount; ++n) {
    seen_titles.push_back(g.TitleChanged(n));
    seen_paths.push_back(g.PathChanged(n));
  }
  EXPECT_EQ(seen_titles, titles);
  EXPECT_EQ(seen_paths, paths);
  EXPECT_TRUE(g.Edited());
  EXPECT_TRUE(g.ChangedHere());
  EXPECT_TRUE(model.Modified());
  ASSERT_EQ(model.Removed().size(), 1u);
  EXPECT_EQ(model.Removed()[0].FileName(), "locked.PTH");
}

TEST(EntryValues, HoldEachTitleAndPathAndTakeValuesFromThemselves) {
  const EntryValues empty(3);
  EXPECT_EQ(empty.size(), 3u);
  EXPECT_EQ(empty.Title(2), "");
  EXPECT_EQ(empty.Path(3), "");   // beyond the count: empty too
  std::vector<Entry> entries(4);
  entries[0] = {"報告", "C:\\ソフト表\\a.txt", PathMarker::Found};
  entries[2].path = std::string(3000, 'p');
  entries[3].title = "last";
  EntryValues values(entries);
  ASSERT_EQ(values.size(), 4u);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(values.Title(i), entries[i].title) << i;
    EXPECT_EQ(values.Path(i), entries[i].path) << i;
  }
  // Titles and paths trade places, read from the set being replaced.
  values.Assign(4, [&values](std::size_t i) { return std::pair(values.Path(i), values.Title(i)); });
  EXPECT_EQ(values.Title(0), "C:\\ソフト表\\a.txt");
  EXPECT_EQ(values.Path(0), "報告");
  EXPECT_EQ(values.Title(2), std::string(3000, 'p'));
  EXPECT_EQ(values.Path(3), "last");
  EXPECT_EQ(values.Title(3), "");
  // Values converted where the set keeps them: the head is filled and the
  // room after them given back; a set of empty values keeps no buffer.
  SharedBytes buffer(EntryValues::HeadBytes(2) + 100);
  std::memcpy(buffer.data() + EntryValues::HeadBytes(2), "abcdef", 6);
  const std::size_t ends[] = {2, 2, 5, 6};
  values.Adopt(2, std::move(buffer), ends);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(values.Title(0), "ab");
  EXPECT_EQ(values.Path(0), "");
  EXPECT_EQ(values.Title(1), "cde");
  EXPECT_EQ(values.Path(1), "f");
  EXPECT_TRUE(EntryValues(values).Shares(values));
  const std::size_t none[] = {0, 0, 0, 0};
  values.Adopt(2, SharedBytes(EntryValues::HeadBytes(2) + 4), none);
  EXPECT_EQ(values.Title(1), "");
  EXPECT_TRUE(values.Shares(EntryValues(std::vector<Entry>(2))));
}

TEST(EntryList, ValuesReadStayPackedUntilAnEntryIsLookedAt) {
  std::vector<Entry> entries(3);
  entries[0] = {"報告", "C:\\a.txt", PathMarker::Found};
  entries[2].title = "last";
  const EntryValues values(entries);
  const EntryValues copy = values;
  EXPECT_TRUE(copy.Shares(values));
  EXPECT_FALSE(EntryValues(entries).Shares(values));   // the same values, not one set
  Group group;
  group.base = values;
  group.entries = EntryList(values);
  ASSERT_NE(group.entries.Unmade(), nullptr);
  EXPECT_EQ(group.entries.size(), 3u);
  EXPECT_EQ(group.entries.Title(0), "報告");
  EXPECT_EQ(group.entries.Path(0), "C:\\a.txt");
  EXPECT_FALSE(group.Edited());
  EXPECT_FALSE(group.TitleChanged(3));
  EXPECT_NE(group.entries.Unmade(), nullptr);   // none of that made an entry
  // Looked at, every entry is made: paths untested.
  EXPECT_EQ(group.entries[0].marker, PathMarker::Untested);
  EXPECT_EQ(group.entries.Unmade(), nullptr);
  EXPECT_EQ(group.entries[1], Entry{});
  EXPECT_EQ(group.entries[2].title, "last");
  EXPECT_FALSE(group.Edited());
  group.entries[2].title = "changed";
  EXPECT_TRUE(group.TitleChanged(3));
  EXPECT_TRUE(group.Edited());
  EXPECT_EQ(group.entries.Values().Title(2), "changed");
  EXPECT_EQ(group.base.Title(2), "last");
}

TEST(LauncherModel, FreeGroupsReleasesEverythingButTheFlag) {
  LauncherModel model = ThreeGroups();
  model.SelectGroup(0);
  model.DeleteGroup(2);
  model.FreeGroups();
  EXPECT_EQ(model.GroupCount(), 0u);
  EXPECT_TRUE(model.Names().empty());
  EXPECT_TRUE(model.Removed().empty());
  EXPECT_EQ(model.Current(), nullptr);
  EXPECT_TRUE(model.Modified());
  model.FreeGroups();   // twice is harmless
  EXPECT_EQ(model.GroupCount(), 0u);
}

}  // namespace
}  // namespace korvane
