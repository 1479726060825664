// Finding entries across groups with the plain fold: what matches, the
// order of the results, and an index that folds only what changed.
#include <gtest/gtest.h>

#include "data/find.h"

namespace korvane {
namespace {

using Hits = std::vector<FindHit>;

struct Seed {
  const char* group;
  std::vector<std::pair<std::size_t, Entry>> entries;   // entry number, entry
};

LauncherModel ModelOf(const std::vector<Seed>& seeds) {
  LauncherModel model;
  for (const Seed& seed : seeds) {
    Group group = model.NewGroup(seed.group);
    for (const auto& [n, entry] : seed.entries) group.entries[n - 1] = entry;
    model.AppendLoaded(std::move(group));
  }
  return model;
}

// A fold that counts its calls.
struct CountingFold {
  std::size_t* calls;
  FoldedText operator()(std::string_view text) const {
    ++*calls;
    return FoldBytes(text);
  }
};

TEST(FindFold, LowersAsciiLettersAndKeepsDoubleByteCharactersWhole) {
  EXPECT_EQ(FoldBytes("AbC-9"), u"abc-9");
  // One UTF-16 unit per character of the BMP, never a '\\' inside one (表
  // is 95 5C in code page 932).
  const FoldedText table = FoldBytes("表");
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0], u'表');
  EXPECT_EQ(FoldBytes("表").find(FoldBytes("\\")), FoldedText::npos);
  // Only ASCII letters are folded here.
  EXPECT_NE(FoldBytes("Ａ"), FoldBytes("ａ"));
  EXPECT_EQ(FoldBytes("CAFÉ"), u"cafÉ");
  EXPECT_EQ(FoldBytes("𠮷野家"), u"\xD842\xDFB7野家");
  EXPECT_EQ(FoldBytes("\x82"), FoldedText(1, 0xFFFD));   // a byte that is no UTF-8
  EXPECT_EQ(PathFileName("C:\\ソフト\\表.xls"), "表.xls");
  EXPECT_EQ(PathFileName("D:report.txt"), "report.txt");
  EXPECT_EQ(PathFileName("name.txt"), "name.txt");
  EXPECT_EQ(PathFileName("C:\\dir\\"), "");
}

TEST(FindFold, LookAlikesOfCodePage932AndAccentsFindEachOtherBothWays) {
  const LauncherModel model = ModelOf({{"g", {{1, {"請求～2026 ￡ Café", ""}}, {2, {"請求〜2026 £ Cafe\xCC\x81", ""}}}}});
  FindIndex index(FoldBytes);
  index.Sync(model);
  for (const char* typed : {"～2026 ￡ cafe", "〜2026 £ CAFÉ", "~２０２６"})
    EXPECT_EQ(index.Filter(typed), (Hits{{0, 1}, {0, 2}})) << typed;
  EXPECT_EQ(index.Fold("Æß×〝"), u"Æß×〝");   // no base letter, no pair: as they are
}

TEST(FindIndex, TitlesBeginningWithTheTextComeFirstThenOtherMatchesInGroupAndEntryOrder) {
  const LauncherModel model = ModelOf({
      {"経理", {{3, {"月報 集計", "C:\\a\\x.xls"}}, {1, {"集計 月報", "C:\\a\\y.xls"}}}},
      {"営業", {{2, {"Report", "C:\\b\\ledger.doc"}}, {5, {"集計表", "C:\\b\\z.doc"}}}},
      {"集計係", {{4, {"日報", "C:\\c\\daily.txt"}}}},
  });
  FindIndex index(FoldBytes);
  index.Sync(model);
  EXPECT_EQ(index.counts().groups, 3u);
  EXPECT_EQ(index.counts().entries, 5u);
  // Title prefixes (経理 1, 営業 5) first; then a title holding it (経理 3)
  // and an entry of a group whose name holds it (集計係 4).
  EXPECT_EQ(index.Filter("集計"), (Hits{{0, 1}, {1, 5}, {0, 3}, {2, 4}}));
  // The path's file name, not its folders; case ignored.
  EXPECT_EQ(index.Filter("LEDGER"), (Hits{{1, 2}}));
  EXPECT_EQ(index.Filter("rep"), (Hits{{1, 2}}));
  EXPECT_EQ(index.Filter("C:\\b"), Hits{});
  EXPECT_EQ(index.Filter(".xls"), (Hits{{0, 1}, {0, 3}}));
  // The group's name matches every entry of that group that holds something.
  EXPECT_EQ(index.Filter("経理"), (Hits{{0, 1}, {0, 3}}));
  EXPECT_EQ(index.Filter("存在しない"), Hits{});
  // Empty text finds nothing.
  EXPECT_EQ(index.Filter(""), Hits{});
  EXPECT_EQ(index.FilterFolded(u""), Hits{});
}

TEST(FindIndex, EntriesWithoutTitleOrPathAreLeftOutAndAPathAloneCounts) {
  const LauncherModel model = ModelOf({{"業務", {{2, {"", "C:\\only\\path.exe"}}, {7, {"only title", ""}}}}});
  FindIndex index(FoldBytes);
  index.Sync(model);
  EXPECT_EQ(index.counts().entries, 2u);
  EXPECT_EQ(index.Filter("業務"), (Hits{{0, 2}, {0, 7}}));
  EXPECT_EQ(index.Filter("path"), (Hits{{0, 2}}));
  EXPECT_EQ(index.Filter("only"), (Hits{{0, 7}}));   // the folders of a path are not looked at
  // A trail byte equal to '\' does not end a folder: ソ ends in 5C.
  EXPECT_EQ(index.Filter("\\"), Hits{});
}

TEST(FindIndex, SyncFoldsOnlyWhatChangedAndFollowsEveryKindOfChange) {
  LauncherModel model = ModelOf({
      {"A", {{1, {"alpha", "C:\\a.txt"}}}},
      {"B", {{1, {"beta", "C:\\b.txt"}}, {2, {"bravo", ""}}}},
      {"C", {{1, {"gamma", "C:\\c.txt"}}}},
  });
  std::size_t calls = 0;
  FindIndex index(CountingFold{&calls});
  index.Sync(model);
  EXPECT_EQ(calls, 3u + 4u * 2u);   // three names, a title and a file name per entry
  EXPECT_EQ(index.counts().folded, calls);

  calls = 0;
  index.Sync(model);
  EXPECT_EQ(calls, 0u);
  EXPECT_EQ(index.counts().folded, 0u);

  // A title set in the current group: that one title is folded again.
  model.SelectGroup(1);
  model.SetTitle(2, "delta");
  calls = 0;
  index.Sync(model);
  EXPECT_EQ(calls, 1u);
  EXPECT_EQ(index.Filter("delta"), (Hits{{1, 2}}));
  EXPECT_EQ(index.Filter("bravo"), Hits{});

  // A group deleted: the others keep their folds and move up a row.
  model.DeleteGroup(0);
  calls = 0;
  index.Sync(model);
  EXPECT_EQ(calls, 0u);
  EXPECT_EQ(index.Filter("gamma"), (Hits{{1, 1}}));
  EXPECT_EQ(index.Filter("alpha"), Hits{});

  // A rename folds the group again; a group added folds only its name
  // (empty entries are not indexed).
  model.RenameGroup(0, "Bee");
  model.AddGroup("New");
  calls = 0;
  index.Sync(model);
  EXPECT_EQ(calls, 2u + 2u * 2u);
  EXPECT_EQ(index.counts().groups, 3u);
  EXPECT_EQ(index.Filter("bee"), (Hits{{0, 1}, {0, 2}}));
  EXPECT_EQ(index.Filter("new"), Hits{});

  // An entry emptied leaves the index; its path cleared alone keeps the title.
  model.SelectGroup(0);
  model.ClearTitle(1);
  model.ClearPath(1);
  model.SelectGroup(1);
  model.ClearPath(1);
  calls = 0;
  index.Sync(model);
  EXPECT_EQ(calls, 1u);   // the file name of C's entry, now empty
  EXPECT_EQ(index.Filter("beta"), Hits{});
  EXPECT_EQ(index.Filter("gamma"), (Hits{{1, 1}}));
  EXPECT_EQ(index.Filter("c.txt"), Hits{});
  EXPECT_EQ(index.counts().entries, 2u);

  // A reload into a fresh model with the same text reuses every fold.
  LauncherModel reloaded;
  for (const Group& g : model.Groups()) reloaded.AppendLoaded(g);
  calls = 0;
  index.Sync(reloaded);
  EXPECT_EQ(calls, 0u);
}

}  // namespace
}  // namespace korvane
