// One group folder used by this run and by other places at once: what a
// save writes, what it tells, and what a refresh takes over. Each case
// starts from group G (titles g1 g2 g3) as read at start; then this run
// and another place change things; then the refresh or the save runs.
#include <gtest/gtest.h>

#include <functional>

#include "data/groupfiles.h"
#include "data/os.h"
#include "data/refresh.h"
#include "tests/core/load_groups.h"
#include "tests/core/tempdir.h"

namespace korvane {
namespace {

using testing::ReadBytes;
using testing::WriteBytes;
using Names = std::vector<std::string>;

using testing::FileOf;

Names TitlesOf(const Group& group, std::size_t count = 3) {
  Names titles;
  for (std::size_t i = 0; i < count; ++i) titles.push_back(group.entries[i].title);
  return titles;
}

class SharedFolder : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(WriteBytes(dir.File("G.PTH"), FileOf({"g1", "g2", "g3"})));
    ASSERT_TRUE(WriteBytes(dir.File("K.PTH"), FileOf({"k1"})));
    ASSERT_TRUE(LoadGroups(dir.path(), model).ok);
  }
  int Row(std::string_view name) const { return model.FindGroup(name); }
  void Edit(std::string_view group, std::size_t n, std::string title) {
    model.SelectGroup(Row(group));
    ASSERT_TRUE(model.SetTitle(n, std::move(title)));
  }
  // A refresh as the window runs it, every step on this thread.
  struct Refreshed {
    ListingApplied listing;
    Names read;
    std::vector<SnapshotApplied> snapshots;
  };
  Refreshed Refresh() {
    Refreshed r;
    const std::optional<FolderListing> listing = ListGroupFiles(dir.path(), model.DiskEpoch());
    EXPECT_TRUE(listing.has_value());
    if (!listing) return r;
    r.listing = ApplyListing(model, *listing);
    r.read = FilesToRead(model, *listing);
    for (const std::string& file : r.read)
      r.snapshots.push_back(ApplySnapshot(model, ReadGroupSnapshot(dir.path(), file, kEntryCount, model.DiskEpoch())));
    return r;
  }
  // The clash lines of a group whose file as it was is kept: in the
  // Recycle Bin, or beside it as "<group>~1.PTH" holding those bytes.
  Names Kept(std::string_view group, const std::string& bytes) {
    const std::string side = std::string(group) + "~1";
    if (!dir.Exists(side + ".PTH")) return {RecycledMessage(group)};
    EXPECT_EQ(dir.Read(side + ".PTH"), bytes);
    return {KeptAsMessage(group, side)};
  }

  testing::TempDir dir;
  LauncherModel model;
};

struct Case {
  const char* name;
  std::function<void(SharedFolder&)> here;
  std::string elsewhere;      // G.PTH's bytes written elsewhere; "-" deletes it; "" leaves it
  Names file_after;           // G.PTH's first three titles after the save; empty: no file
  bool written;               // the save wrote G.PTH
  Names clashes;              // before the line that says where the old file went
  Names model_after_refresh;  // G's first three titles after a refresh
};

TEST_F(SharedFolder, SaveAndRefreshOverBaseThisRunAndTheFileNow) {
  const auto none = [](SharedFolder&) {};
  const auto mine1 = [](SharedFolder& t) { t.Edit("G", 1, "mine"); };
  const std::vector<Case> cases = {
      {"no change", none, "", {"g1", "g2", "g3"}, false, {}, {"g1", "g2", "g3"}},
      {"this run only", mine1, "", {"mine", "g2", "g3"}, true, {}, {"mine", "g2", "g3"}},
      {"elsewhere only", none, FileOf({"g1", "theirs", "g3"}) + "; theirs\r\n", {"g1", "theirs", "g3"}, false, {},
       {"g1", "theirs", "g3"}},
      {"both on other entries", mine1, FileOf({"g1", "theirs", "g3"}), {"mine", "theirs", "g3"}, true, {},
       {"mine", "theirs", "g3"}},
      {"both on the same entry", mine1, FileOf({"theirs", "g2", "x3"}), {"mine", "g2", "x3"}, true,
       {ClashEntryMessage("G", 1, true, false)}, {"mine", "g2", "x3"}},
      {"both to the same value", mine1, FileOf({"mine", "g2", "g3"}), {"mine", "g2", "g3"}, false, {},
       {"mine", "g2", "g3"}},
      {"deleted elsewhere, changed here", mine1, "-", {"mine", "g2", "g3"}, true, {DeletedElsewhereMessage("G")},
       {"mine", "g2", "g3"}},
      {"deleted elsewhere, unchanged here", none, "-", {}, false, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const bool refresh_first : {false, true}) {
      SCOPED_TRACE(refresh_first ? "refreshed before the save" : "saved at once");
      TearDown();
      model = LauncherModel();
      testing::RemoveTree(dir.path());
      ASSERT_TRUE(testing::MakeFolder(dir.path()));
      SetUp();
      c.here(*this);
      std::string before = dir.Read("G.PTH");
      if (c.elsewhere == "-") {
        ASSERT_TRUE(os::DeleteFile(dir.File("G.PTH")));
      } else if (!c.elsewhere.empty()) {
        ASSERT_TRUE(WriteBytes(dir.File("G.PTH"), before = c.elsewhere));
      }
      if (refresh_first) {
        const Refreshed r = Refresh();
        const int row = Row("G");
        if (c.model_after_refresh.empty()) {
          EXPECT_EQ(row, -1);
          EXPECT_EQ(r.listing.dropped, Names{"G"});
          continue;
        }
        ASSERT_GE(row, 0);
        EXPECT_EQ(TitlesOf(model.GroupAt(static_cast<std::size_t>(row))), c.model_after_refresh);
        EXPECT_EQ(r.read, c.elsewhere.empty() || c.elsewhere == "-" ? Names{} : Names{"G.PTH"});
      }
      const bool changed_here = model.GroupAt(static_cast<std::size_t>(Row("G"))).Edited();
      const FileReport report = SaveGroups(dir.path(), model);
      ASSERT_TRUE(report.ok);
      EXPECT_FALSE(model.Modified());
      if (c.file_after.empty()) {
        EXPECT_FALSE(dir.Exists("G.PTH"));
        continue;
      }
      const std::string after = dir.Read("G.PTH");
      EXPECT_EQ(after != before, c.written);
      std::vector<Entry> on_disk(kEntryCount);
      ASSERT_EQ(ReadGroupFile(dir.File("G.PTH"), on_disk), ReadOutcome::Read);
      Names titles;
      for (std::size_t i = 0; i < 3; ++i) titles.push_back(on_disk[i].title);
      EXPECT_EQ(titles, c.file_after);
      if (!c.elsewhere.empty() && c.elsewhere != "-" && c.written) {   // what was saved elsewhere stays around it
        EXPECT_EQ(after.find("; theirs") != std::string::npos, c.elsewhere.find("; theirs") != std::string::npos);
      }
      Names clashes = c.clashes;
      if (!c.clashes.empty() && c.elsewhere != "-") {
        const Names kept = Kept("G", c.elsewhere);
        clashes.insert(clashes.end(), kept.begin(), kept.end());
      }
      EXPECT_EQ(report.clashes, clashes);
      // The save's own writes cost the next refresh nothing (a copy kept
      // beside the group is a group of its own); a change made elsewhere
      // to a group the save left alone is read then. Afterwards the group
      // holds what its file holds, and nothing counts as changed.
      Names read;
      if (!refresh_first && !changed_here && !c.elsewhere.empty()) read.push_back("G.PTH");
      if (dir.Exists("G~1.PTH")) read.push_back("G~1.PTH");
      EXPECT_EQ(Refresh().read, read);
      const Group& g = model.GroupAt(static_cast<std::size_t>(Row("G")));
      EXPECT_EQ(TitlesOf(g), c.file_after);
      EXPECT_FALSE(g.Edited());
      EXPECT_EQ(dir.Read("K.PTH"), FileOf({"k1"}));
    }
  }
}

TEST_F(SharedFolder, ASaveWaitsForAFileStillBeingWrittenAndSplicesIntoItWhole) {
  // Elsewhere G is rewritten slowly (a sync client on a slow link): half,
  // a pause, the rest. Here entry 3 was changed, and the save comes in the
  // pause: it waits for the writer, then splices into the whole file.
  Edit("G", 3, "mine");
  Names theirs;
  for (int i = 1; i <= 20; ++i) theirs.push_back("w" + std::to_string(i));
  const std::string whole = FileOf(theirs);
  FileReport report;
  {
    testing::SlowWriter writer(dir.File("G.PTH"), whole.substr(0, whole.size() / 2), whole.substr(whole.size() / 2),
                               300);
    writer.WaitForFirst();
    report = SaveGroups(dir.path(), model);
  }
  EXPECT_TRUE(report.ok) << ::testing::PrintToString(report.messages);
  Names expected = theirs;
  expected[2] = "mine";
  EXPECT_EQ(dir.Read("G.PTH"), FileOf(expected));
  // Entry 3 clashed: the copy kept is the whole file as the writer left it.
  Names clashes{ClashEntryMessage("G", 3, true, false)};
  const Names kept = Kept("G", whole);
  clashes.insert(clashes.end(), kept.begin(), kept.end());
  EXPECT_EQ(report.clashes, clashes);
  EXPECT_FALSE(model.Modified());
}

TEST_F(SharedFolder, NamesTakenElsewhereAndRenamesCarryTheFileAsItIsNow) {
  // Renamed here while changed elsewhere: the new name gets their bytes.
  model.RenameGroup(static_cast<std::size_t>(Row("G")), "H");
  ASSERT_TRUE(WriteBytes(dir.File("G.PTH"), FileOf({"g1", "theirs"}) + "; theirs\r\n"));
  // A new group here, and a file of that name made elsewhere.
  model.AddGroup("N");
  Edit("N", 1, "n mine");
  ASSERT_TRUE(WriteBytes(dir.File("N.PTH"), FileOf({"n theirs"})));
  const FileReport report = SaveGroups(dir.path(), model);
  ASSERT_TRUE(report.ok);
  EXPECT_FALSE(dir.Exists("G.PTH"));
  EXPECT_EQ(dir.Read("H.PTH"), FileOf({"g1", "theirs"}) + "; theirs\r\n");
  EXPECT_EQ(TitlesOf(model.GroupAt(static_cast<std::size_t>(Row("H")))), (Names{"g1", "theirs", ""}));
  EXPECT_EQ(dir.Read("N.PTH"), FileOf({"n mine"}));
  Names clashes{MadeElsewhereMessage("N")};
  const Names kept = Kept("N", FileOf({"n theirs"}));
  clashes.insert(clashes.end(), kept.begin(), kept.end());
  EXPECT_EQ(report.clashes, clashes);
  // The box: a lead line, then the lines as the warnings show them.
  EXPECT_EQ(ClashText(report.clashes).find(ReportText(report.clashes)), ClashText(report.clashes).size() -
                                                                           ReportText(report.clashes).size());
  EXPECT_EQ(ClashText({}), "");
  EXPECT_FALSE(model.Modified());
}

TEST_F(SharedFolder, ARefreshListsNewAndDeletedFilesAndKeepsWhatThisRunChanged) {
  // Order: G, K; then X made elsewhere; K deleted elsewhere while current;
  // G deleted elsewhere but changed here.
  Edit("G", 2, "mine");
  model.SelectGroup(Row("K"));
  ASSERT_TRUE(WriteBytes(dir.File("X.PTH"), FileOf({"x1"})));
  ASSERT_TRUE(os::DeleteFile(dir.File("K.PTH")));
  ASSERT_TRUE(os::DeleteFile(dir.File("G.PTH")));
  const Refreshed r = Refresh();
  EXPECT_EQ(model.Names(), (Names{"G", "X"}));
  EXPECT_EQ(r.listing.dropped, Names{"K"});
  EXPECT_TRUE(r.listing.current_dropped);
  EXPECT_EQ(model.CurrentRow(), -1);
  EXPECT_EQ(r.listing.appended, 1u);
  EXPECT_EQ(r.read, Names{"X.PTH"});
  ASSERT_EQ(r.snapshots.size(), 1u);
  EXPECT_TRUE(r.snapshots[0].first_read);
  EXPECT_EQ(r.snapshots[0].entries, std::vector<std::size_t>{1});
  EXPECT_EQ(TitlesOf(model.GroupAt(1)), (Names{"x1", "", ""}));
  EXPECT_EQ(model.GroupAt(1).entries[0].marker, PathMarker::NoPath);
  EXPECT_FALSE(model.GroupAt(1).Edited());
  EXPECT_TRUE(model.Modified());   // G's change is still unsaved

  // A file named as a group of this run is not a group of its own, nor is
  // one this run deleted; an unlistable folder changes nothing.
  model.AddGroup("N");
  model.DeleteGroup(static_cast<std::size_t>(Row("X")));
  ASSERT_TRUE(WriteBytes(dir.File("N.PTH"), FileOf({"n"})));
  Refresh();
  EXPECT_EQ(model.Names(), (Names{"G", "N"}));
  EXPECT_FALSE(ListGroupFiles(dir.File("gone"), model.DiskEpoch()).has_value());

  // A listing or a read from before a save that wrote the folder is stale.
  const std::optional<FolderListing> old = ListGroupFiles(dir.path(), model.DiskEpoch());
  ASSERT_TRUE(old.has_value());
  const GroupSnapshot old_read = ReadGroupSnapshot(dir.path(), "N.PTH", kEntryCount, model.DiskEpoch());
  ASSERT_EQ(old_read.outcome, ReadOutcome::Read);
  ASSERT_TRUE(SaveGroups(dir.path(), model).ok);
  EXPECT_TRUE(ApplyListing(model, *old).stale);
  model.SelectGroup(Row("N"));
  EXPECT_EQ(model.Current()->entries[0].title, "");
  EXPECT_EQ(ApplySnapshot(model, old_read).row, -1);
  EXPECT_EQ(model.Current()->entries[0].title, "");   // not the "n" read before the save

  // A group typed into before its first read keeps what was typed; the
  // other entries take the file's values.
  ASSERT_TRUE(WriteBytes(dir.File("U.PTH"), FileOf({"u1", "u2"})));
  const std::optional<FolderListing> with_u = ListGroupFiles(dir.path(), model.DiskEpoch());
  ASSERT_TRUE(with_u.has_value());
  ApplyListing(model, *with_u);
  ASSERT_GE(Row("U"), 0);
  model.SelectGroup(Row("U"));
  ASSERT_EQ(model.Current()->state, ReadState::NotRead) << ::testing::PrintToString(model.Names());
  ASSERT_TRUE(model.SetTitle(2, "typed"));
  const SnapshotApplied first =
      ApplySnapshot(model, ReadGroupSnapshot(dir.path(), "U.PTH", kEntryCount, model.DiskEpoch()));
  EXPECT_TRUE(first.first_read);
  EXPECT_EQ(TitlesOf(*model.Current()), (Names{"u1", "typed", ""}));
  EXPECT_EQ(model.Current()->state, ReadState::Read);
  EXPECT_TRUE(model.Current()->TitleChanged(2));
}

TEST_F(SharedFolder, OneChangedFileAmongManyIsTheOnlyOneRead) {
  for (int i = 0; i < 300; ++i) ASSERT_TRUE(WriteBytes(dir.File("m" + std::to_string(i) + ".PTH"), FileOf({"m"})));
  ASSERT_TRUE(LoadGroups(dir.path(), model).ok);
  EXPECT_EQ(Refresh().read, Names{});
  // Another size: found without reading the others.
  ASSERT_TRUE(WriteBytes(dir.File("m123.PTH"), FileOf({"changed m123"})));
  const Refreshed r = Refresh();
  EXPECT_EQ(r.read, Names{"m123.PTH"});
  EXPECT_EQ(model.GroupAt(static_cast<std::size_t>(Row("m123"))).entries[0].title, "changed m123");
  EXPECT_EQ(Refresh().read, Names{});
  // The row a file is expected at is looked at first; another row, or
  // none, still finds it.
  const int m5 = Row("m5");
  for (const std::size_t hint : {static_cast<std::size_t>(m5), std::size_t{0}, std::size_t{100000}, kNoRow})
    EXPECT_EQ(RowOfSource(model, "m5.PTH", hint), m5) << hint;
  EXPECT_EQ(RowOfSource(model, "M5.pth", static_cast<std::size_t>(m5)), os::SameFileName("m5.PTH", "M5.pth") ? m5 : -1);
  EXPECT_EQ(RowOfSource(model, "none.PTH", static_cast<std::size_t>(m5)), -1);
  // A file unreadable for now is tried at every refresh until it reads.
  testing::HeldOpen held(dir.File("m7.PTH"), testing::Sharing::None);
  if (!held.Effective()) return;
  ASSERT_TRUE(WriteBytes(dir.File("m8.PTH"), FileOf({"m8"})));
  LauncherModel again;
  const FileReport load = LoadGroups(dir.path(), again);
  EXPECT_EQ(load.messages, Names{CannotReadMessage(dir.File("m7.PTH"))});
  model = std::move(again);
  EXPECT_EQ(Refresh().read, Names{"m7.PTH"});
  held.Release();
  const Refreshed later = Refresh();
  ASSERT_EQ(later.snapshots.size(), 1u);
  EXPECT_FALSE(later.snapshots[0].unreadable);
  EXPECT_EQ(model.GroupAt(static_cast<std::size_t>(Row("m7"))).state, ReadState::Read);
}

}  // namespace
}  // namespace korvane
