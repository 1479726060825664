// The merge rules on their own, without a folder: what a save makes of the
// bytes it found, and what a listing does while an entry is edited.
#include <gtest/gtest.h>

#include "data/merge.h"
#include "tests/core/tempdir.h"

namespace korvane {
namespace {

using Names = std::vector<std::string>;

using testing::FileOf;

// Group G as read from FileOf({"g1", "g2", "g3"}), current.
LauncherModel Read() {
  LauncherModel model;
  model.AppendListed("G", ".PTH");
  model.TakeFirstRead(0, GroupFileValues(FileOf({"g1", "g2", "g3"}), kEntryCount).value(), os::FileStamp{1, 1});
  model.SelectGroup(0);
  return model;
}

TEST(MergeRules, ASaveSplicesOnlyWhatThisRunChangedAndTellsEveryClash) {
  LauncherModel model = Read();
  EXPECT_EQ(SaveNeedOf(model, model.GroupAt(0)), SaveNeed::Nothing);
  ASSERT_TRUE(model.SetTitle(1, "mine"));
  ASSERT_TRUE(model.SetTitle(2, "same"));
  EXPECT_EQ(SaveNeedOf(model, model.GroupAt(0)), SaveNeed::Merge);

  // Elsewhere: entry 2 the same as here, entry 3 changed; nothing clashes.
  SaveInputs calm;
  calm.base = FileOf({"g1", "same", "x3"});
  SaveMerge merge = MergeForSave(model, model.GroupAt(0), calm);
  EXPECT_EQ(merge.outcome, SaveMerge::Outcome::Write);
  EXPECT_EQ(merge.bytes, FileOf({"mine", "same", "x3"}));
  EXPECT_TRUE(merge.clashes.empty());
  EXPECT_TRUE(merge.displaced.empty());
  ASSERT_TRUE(merge.written.has_value());
  EXPECT_EQ(merge.written->Title(2), "x3");

  // Entry 1 changed elsewhere too: the user's value wins, the file as it
  // was is kept whole.
  SaveInputs clash;
  clash.base = FileOf({"theirs", "g2", "g3"});
  merge = MergeForSave(model, model.GroupAt(0), clash);
  EXPECT_EQ(merge.bytes, FileOf({"mine", "same", "g3"}));
  EXPECT_EQ(merge.clashes, Names{ClashEntryMessage("G", 1, true, false)});
  ASSERT_EQ(merge.displaced.size(), 1u);
  EXPECT_EQ(merge.displaced[0].bytes, *clash.base);

  // Deleted elsewhere: written whole, and told.
  merge = MergeForSave(model, model.GroupAt(0), SaveInputs{});
  EXPECT_EQ(merge.bytes, FileOf({"mine", "same", "g3"}));
  EXPECT_EQ(merge.clashes, Names{DeletedElsewhereMessage("G")});

  // Already what the file holds: nothing to write.
  SaveInputs done;
  done.base = FileOf({"mine", "same", "g3"});
  EXPECT_EQ(MergeForSave(model, model.GroupAt(0), done).outcome, SaveMerge::Outcome::Unchanged);

  // Renamed onto a name a file made elsewhere holds: kept and told; one
  // this run deleted is let go untold.
  model.RenameGroup(0, "H");
  SaveInputs taken;
  taken.base = FileOf({"g1", "g2", "g3"});
  taken.current = FileOf({"h"});
  merge = MergeForSave(model, model.GroupAt(0), taken);
  EXPECT_EQ(merge.clashes, Names{MadeElsewhereMessage("H")});
  ASSERT_EQ(merge.displaced.size(), 1u);
  EXPECT_TRUE(merge.displaced[0].told);
  taken.removed_here = true;
  merge = MergeForSave(model, model.GroupAt(0), taken);
  EXPECT_TRUE(merge.clashes.empty());
  ASSERT_EQ(merge.displaced.size(), 1u);
  EXPECT_FALSE(merge.displaced[0].told);
}

TEST(MergeRules, AnEditedGroupWhoseFileIsGoneStaysListedUntilTheEditEnds) {
  const LauncherModel model = Read();
  FolderListing listing;   // G.PTH is gone
  FolderListing held;
  bool kept = false;
  EXPECT_EQ(&HoldEdited(model, false, listing, held, &kept), &listing);
  EXPECT_FALSE(kept);
  const FolderListing& seen = HoldEdited(model, true, listing, held, &kept);
  EXPECT_TRUE(kept);
  ASSERT_EQ(seen.files.size(), 1u);
  EXPECT_EQ(seen.files[0].file_name, "G.PTH");
  EXPECT_EQ(seen.files[0].stamp, (os::FileStamp{1, 1}));
}

TEST(MergeRules, AFileDeletedAndMadeAgainWithinTheGraceKeepsItsGroupInPlace) {
  LauncherModel model = Read();
  MissingFiles missing;
  FolderListing gone, held;   // G.PTH deleted, as a sync client replaces it
  FolderListing back;         // and made again 5 ms later
  back.files.push_back({"G.PTH", os::FileStamp{9, 9}});
  EXPECT_TRUE(ApplyListing(model, missing.Hold(model, gone, 1000, held)).dropped.empty());
  EXPECT_EQ(model.CurrentRow(), 0);
  EXPECT_EQ(missing.NextLookIn(1000), kMissingGraceMs);
  EXPECT_TRUE(ApplyListing(model, missing.Hold(model, back, 1005, held)).dropped.empty());
  EXPECT_EQ(model.CurrentRow(), 0);
  EXPECT_EQ(FilesToRead(model, back), Names{"G.PTH"});
  EXPECT_EQ(missing.NextLookIn(1005), 0u);
  // Gone for good: the group leaves once the grace is over, not before.
  EXPECT_TRUE(ApplyListing(model, missing.Hold(model, gone, 2000, held)).dropped.empty());
  EXPECT_EQ(missing.NextLookIn(2500), kMissingGraceMs - 500);
  const ListingApplied later = ApplyListing(model, missing.Hold(model, gone, 2000 + kMissingGraceMs, held));
  EXPECT_EQ(later.dropped, Names{"G"});
  EXPECT_TRUE(later.current_dropped);
}

}  // namespace
}  // namespace korvane
