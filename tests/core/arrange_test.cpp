// Arranging entries: reorder, move and copy into another group, cut and
// paste, with the changed marks, the markers and the modified flag.
#include <gtest/gtest.h>

#include <algorithm>

#include "data/model.h"

namespace korvane {
namespace {

using Titles = std::vector<std::string>;

Titles TitlesOf(const Group& group) {
  Titles titles;
  for (const Entry& entry : group.entries) titles.push_back(entry.title);
  return titles;
}

// Rows whose title (or path) differs from the group's base.
std::vector<std::size_t> ChangedTitles(const Group& group) {
  std::vector<std::size_t> rows;
  for (std::size_t n = 1; n <= group.entries.size(); ++n)
    if (group.TitleChanged(n)) rows.push_back(n);
  return rows;
}
std::vector<std::size_t> ChangedPaths(const Group& group) {
  std::vector<std::size_t> rows;
  for (std::size_t n = 1; n <= group.entries.size(); ++n)
    if (group.PathChanged(n)) rows.push_back(n);
  return rows;
}

// Group A: entries 1..5 "a1".."a5" with paths (entry 3 titled but without a
// path), rows 6..20 empty; group B: rows 1, 2 and 4 filled. Loaded: the
// flag is clear, A is current.
LauncherModel TwoGroups() {
  LauncherModel model;
  Group a = model.NewGroup("A");
  for (std::size_t n = 1; n <= 5; ++n) {
    Entry& entry = *a.EntryAt(n);
    entry.title = "a" + std::to_string(n);
    if (n != 3) entry.path = "C:\\a" + std::to_string(n) + ".txt";
    entry.marker = n == 3 ? PathMarker::NoPath : n % 2 ? PathMarker::Found : PathMarker::Missing;
  }
  Group b = model.NewGroup("B");
  for (std::size_t n : {1, 2, 4}) *b.EntryAt(n) = {"b" + std::to_string(n), "C:\\b.txt", PathMarker::Untested};
  model.AppendLoaded(std::move(a));
  model.AppendLoaded(std::move(b));
  model.SelectGroup(0);
  return model;
}

TEST(ArrangeEntries, AnEntryMovesUpOrDownAndTheRowsBetweenShiftTowardsTheRowItLeft) {
  LauncherModel model = TwoGroups();
  const Group& a = model.GroupAt(0);
  const Entry fifth = a.entries[4];
  ASSERT_TRUE(model.MoveEntry(5, 2));
  Titles expected = {"a1", "a5", "a2", "a3", "a4"};
  expected.resize(kEntryCount);
  EXPECT_EQ(TitlesOf(a), expected);
  EXPECT_EQ(a.entries.size(), kEntryCount);
  // The marker goes with the entry: its path is the same.
  EXPECT_EQ(a.entries[1], fifth);
  EXPECT_EQ(a.entries[1].marker, PathMarker::Found);
  EXPECT_EQ(a.entries[2].marker, PathMarker::Missing);
  EXPECT_TRUE(model.Modified());
  EXPECT_EQ(ChangedTitles(a), (std::vector<std::size_t>{2, 3, 4, 5}));
  // Row 3 now holds a2 with a path where a3 had none, row 4 a3 without
  // one where a4 had one: every path of the span changed.
  EXPECT_EQ(ChangedPaths(a), (std::vector<std::size_t>{2, 3, 4, 5}));

  // And down again: back where it was.
  ASSERT_TRUE(model.MoveEntry(2, 5));
  expected = {"a1", "a2", "a3", "a4", "a5"};
  expected.resize(kEntryCount);
  EXPECT_EQ(TitlesOf(a), expected);
  EXPECT_EQ(a.entries[4], fifth);
}

TEST(ArrangeEntries, MovesToTheEndsKeepTwentyRowsAndLoseNothing) {
  LauncherModel model = TwoGroups();
  const Group& a = model.GroupAt(0);
  auto sorted = [](std::vector<Entry> entries) {
    std::sort(entries.begin(), entries.end(),
              [](const Entry& x, const Entry& y) { return x.title + '\n' + x.path < y.title + '\n' + y.path; });
    return entries;
  };
  const std::vector<Entry> all = sorted(a.entries);
  // The first row to the last: the empty rows shift up.
  ASSERT_TRUE(model.MoveEntry(1, kEntryCount));
  EXPECT_EQ(a.entries.size(), kEntryCount);
  EXPECT_EQ(a.entries[0].title, "a2");
  EXPECT_EQ(a.entries[3].title, "a5");
  EXPECT_EQ(a.entries[4], Entry{});
  EXPECT_EQ(a.entries[kEntryCount - 1].title, "a1");
  EXPECT_EQ(sorted(a.entries), all);
  // Rows 6..19 held an empty entry before and after: not marked.
  EXPECT_EQ(ChangedTitles(a), (std::vector<std::size_t>{1, 2, 3, 4, 5, kEntryCount}));
  // And the last row to the first.
  ASSERT_TRUE(model.MoveEntry(kEntryCount, 1));
  EXPECT_EQ(a.entries[0].title, "a1");
  EXPECT_EQ(a.entries[4].title, "a5");
  EXPECT_EQ(a.entries[kEntryCount - 1], Entry{});
  EXPECT_EQ(sorted(a.entries), all);
}

TEST(ArrangeEntries, AMoveThatChangesNoValueLeavesTheFlagAndRefusalsChangeNothing) {
  LauncherModel model = TwoGroups();
  // Among empty rows: done, but no value changed.
  EXPECT_TRUE(model.MoveEntry(10, 12));
  EXPECT_FALSE(model.Modified());
  EXPECT_FALSE(model.GroupAt(0).Edited());
  const std::vector<Entry> before = model.GroupAt(0).entries;
  EXPECT_FALSE(model.MoveEntry(3, 3));
  EXPECT_FALSE(model.MoveEntry(0, 3));
  EXPECT_FALSE(model.MoveEntry(3, kEntryCount + 1));
  EXPECT_EQ(model.GroupAt(0).entries, before);
  EXPECT_FALSE(model.Modified());
  LauncherModel none;
  none.AppendLoaded(none.NewGroup("X"));
  EXPECT_FALSE(none.MoveEntry(1, 2));   // no group current
}

// A group whose file could not be read: its rows look empty but may hold
// entries in the file. Only rows the user has filled in this run move.
TEST(ArrangeEntries, RowsNobodySawAreNeverShiftedOrFilled) {
  LauncherModel model;
  Group locked = model.NewGroup("locked");
  locked.state = ReadState::Unreadable;
  locked.source = "locked.PTH";
  model.AppendLoaded(std::move(locked));
  model.AppendLoaded(model.NewGroup("open"));
  EXPECT_EQ(model.FirstEmptyEntry(0), 0u);
  EXPECT_EQ(model.FirstEmptyEntry(1), 1u);
  EXPECT_FALSE(model.Known(0, 1));
  model.SelectGroup(0);
  ASSERT_TRUE(model.SetPath(2, "C:\\two.txt"));   // title and path: row 2 is known
  ASSERT_TRUE(model.SetPath(3, "C:\\three.txt"));
  EXPECT_TRUE(model.Known(0, 2));
  ASSERT_TRUE(model.SetTitle(4, "title only"));   // its path is still unseen
  EXPECT_FALSE(model.Known(0, 4));
  EXPECT_FALSE(model.MoveEntry(2, 4));
  EXPECT_FALSE(model.MoveEntry(1, 3));
  EXPECT_TRUE(model.MoveEntry(3, 2));
  EXPECT_EQ(model.GroupAt(0).entries[1].title, "three");
  // Cleared by the user, the row is back to what nobody saw: the save
  // leaves the file's entry there, so it takes no other entry.
  ASSERT_TRUE(model.ClearTitle(2));
  ASSERT_TRUE(model.ClearPath(2));
  EXPECT_FALSE(model.Known(0, 2));
  EXPECT_EQ(model.FirstEmptyEntry(0), 0u);
  // Moving from a row whose path nobody saw would write an empty path over it.
  EXPECT_EQ(model.TransferEntry(4, 1, false).outcome, LauncherModel::Transfer::Nothing);
  EXPECT_EQ(model.GroupAt(1).entries[0], Entry{});
  // Out of range.
  EXPECT_FALSE(model.Known(2, 1));
  EXPECT_FALSE(model.Known(0, 0));
  EXPECT_EQ(model.FirstEmptyEntry(2), 0u);
}

TEST(ArrangeEntries, AnEntryMovesOrIsCopiedIntoTheFirstEmptyRowOfAnotherGroup) {
  LauncherModel model = TwoGroups();
  const Entry second = model.GroupAt(0).entries[1];
  LauncherModel::TransferResult result = model.TransferEntry(2, 1, false);
  EXPECT_EQ(result.outcome, LauncherModel::Transfer::Done);
  EXPECT_EQ(result.entry, 3u);
  EXPECT_EQ(model.GroupAt(1).entries[2], second);   // marker included
  EXPECT_EQ(model.GroupAt(0).entries[1], Entry{});
  EXPECT_EQ(ChangedTitles(model.GroupAt(1)), std::vector<std::size_t>{3});
  EXPECT_EQ(ChangedPaths(model.GroupAt(1)), std::vector<std::size_t>{3});
  EXPECT_EQ(ChangedTitles(model.GroupAt(0)), std::vector<std::size_t>{2});
  EXPECT_TRUE(model.Modified());
  EXPECT_EQ(model.CurrentRow(), 0);

  // A copy stays; entry 3 has no path, so only its title is marked.
  result = model.TransferEntry(3, 1, true);
  EXPECT_EQ(result.outcome, LauncherModel::Transfer::Done);
  EXPECT_EQ(result.entry, 5u);
  EXPECT_EQ(model.GroupAt(1).entries[4], model.GroupAt(0).entries[2]);
  EXPECT_EQ(model.GroupAt(0).entries[2].title, "a3");
  EXPECT_EQ(ChangedPaths(model.GroupAt(1)), std::vector<std::size_t>{3});

  // Nothing to move, the group itself, a group out of range.
  EXPECT_EQ(model.TransferEntry(2, 1, false).outcome, LauncherModel::Transfer::Nothing);
  EXPECT_EQ(model.TransferEntry(1, 0, false).outcome, LauncherModel::Transfer::Nothing);
  EXPECT_EQ(model.TransferEntry(1, 2, false).outcome, LauncherModel::Transfer::Nothing);
  EXPECT_EQ(model.TransferEntry(kEntryCount + 1, 1, false).outcome, LauncherModel::Transfer::Nothing);
}

TEST(ArrangeEntries, AGroupWithoutAnEmptyRowRefusesAndNothingChanges) {
  LauncherModel model = TwoGroups();
  model.SelectGroup(1);
  for (std::size_t n = 1; n <= kEntryCount; ++n) {
    if (!model.GroupAt(1).entries[n - 1].title.empty()) continue;
    ASSERT_TRUE(model.SetTitle(n, "t" + std::to_string(n)));
  }
  model.ClearModified();
  model.SelectGroup(0);
  const std::vector<Group> before = model.Groups();
  EXPECT_EQ(model.FirstEmptyEntry(1), 0u);
  const LauncherModel::TransferResult result = model.TransferEntry(1, 1, false);
  EXPECT_EQ(result.outcome, LauncherModel::Transfer::Full);
  EXPECT_EQ(result.entry, 0u);
  EXPECT_EQ(model.TransferEntry(1, 1, true).outcome, LauncherModel::Transfer::Full);
  ASSERT_EQ(model.Groups().size(), before.size());
  for (std::size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(model.GroupAt(i).entries, before[i].entries);
    EXPECT_EQ(ChangedTitles(model.GroupAt(i)), ChangedTitles(before[i]));
  }
  EXPECT_FALSE(model.Modified());
}

TEST(ArrangeEntries, CutCopyAndPasteTakeTitlePathAndMarker) {
  LauncherModel model = TwoGroups();
  EXPECT_FALSE(model.EntryToCopy(6));   // empty
  EXPECT_FALSE(model.CutEntry(6));
  EXPECT_FALSE(model.Modified());
  const std::optional<Entry> copied = model.EntryToCopy(1);
  ASSERT_TRUE(copied);
  EXPECT_EQ(*copied, model.GroupAt(0).entries[0]);
  EXPECT_FALSE(model.Modified());

  const std::optional<Entry> cut = model.CutEntry(2);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->title, "a2");
  EXPECT_EQ(cut->marker, PathMarker::Missing);
  EXPECT_EQ(model.GroupAt(0).entries[1], Entry{});
  EXPECT_TRUE(model.Modified());

  // Into an empty row at once; into a filled one only when told to replace.
  EXPECT_EQ(model.PasteEntry(7, *cut, false), LauncherModel::Paste::Done);
  EXPECT_EQ(model.GroupAt(0).entries[6], *cut);
  EXPECT_EQ(ChangedPaths(model.GroupAt(0)), (std::vector<std::size_t>{2, 7}));
  EXPECT_EQ(model.PasteEntry(1, *cut, false), LauncherModel::Paste::Ask);
  EXPECT_EQ(model.GroupAt(0).entries[0].title, "a1");
  EXPECT_EQ(model.PasteEntry(1, *cut, true), LauncherModel::Paste::Done);
  EXPECT_EQ(model.GroupAt(0).entries[0], *cut);
  EXPECT_EQ(model.PasteEntry(1, Entry{}, true), LauncherModel::Paste::Nothing);
  EXPECT_EQ(model.PasteEntry(kEntryCount + 1, *cut, true), LauncherModel::Paste::Nothing);
  // Between groups: the clip goes anywhere.
  model.SelectGroup(1);
  EXPECT_EQ(model.PasteEntry(3, *copied, false), LauncherModel::Paste::Done);
  EXPECT_EQ(model.GroupAt(1).entries[2], *copied);
}

TEST(ArrangeEntries, GroupsPutBackOrTakenOutKeepTheCurrentGroupAndRowsTheirState) {
  LauncherModel model = TwoGroups();
  model.AppendLoaded(model.NewGroup("C"));
  model.SelectGroup(2);
  Group taken = model.TakeGroup(0);
  EXPECT_EQ(taken.name, "A");
  EXPECT_EQ(model.CurrentRow(), 1);
  model.InsertGroup(0, std::move(taken));
  EXPECT_EQ(model.CurrentRow(), 2);
  EXPECT_EQ(model.Names(), (std::vector<std::string>{"A", "B", "C"}));
  model.InsertGroup(9, model.NewGroup("D"));   // beyond the end: appended
  EXPECT_EQ(model.Names().back(), "D");
  model.TakeGroup(2);
  EXPECT_EQ(model.CurrentRow(), -1);
  model.RestoreCurrent(7);
  EXPECT_EQ(model.CurrentRow(), -1);
  model.RestoreCurrent(1);
  EXPECT_EQ(model.Current()->name, "B");
  EXPECT_FALSE(model.Modified());

  // A row's state: values, marker and marks, put back as they were.
  model.SelectGroup(0);
  const LauncherModel::EntryState before = model.StateOf(0, 2);
  ASSERT_TRUE(model.ClearPath(2));
  const LauncherModel::EntryState cleared = model.StateOf(0, 2);
  EXPECT_TRUE(model.GroupAt(0).PathChanged(2));
  EXPECT_FALSE(model.GroupAt(0).TitleChanged(2));
  EXPECT_EQ(cleared.entry.marker, PathMarker::NoPath);
  model.RestoreState(0, 2, before);
  EXPECT_EQ(model.StateOf(0, 2), before);
  EXPECT_FALSE(model.GroupAt(0).Edited());
  model.RestoreName(1, "b", ".pth");
  EXPECT_EQ(model.GroupAt(1).FileName(), "b.pth");
}

}  // namespace
}  // namespace korvane
