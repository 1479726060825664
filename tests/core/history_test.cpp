// Undo and redo: every kind of change comes back exactly, markers and
// changed marks included, and a save after an undo writes and deletes the
// right files.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "data/groupfiles.h"
#include "data/history.h"
#include "data/refresh.h"
#include "tests/core/load_groups.h"
#include "tests/core/tempdir.h"

namespace korvane {
namespace {

// Everything the model holds, one line per group and entry, so that a
// failed comparison shows where two states differ.
std::string Dump(const LauncherModel& model) {
  std::string text;
  for (const Group& group : model.Groups()) {
    text += "group " + group.name + "|" + group.extension + "|" + group.source + (group.Unread() ? "|unread" : "") + "\n";
    for (std::size_t i = 0; i < group.entries.size(); ++i) {
      const Entry& entry = group.entries[i];
      if (entry == Entry{} && !group.TitleChanged(i + 1) && !group.PathChanged(i + 1)) continue;
      text += "  " + std::to_string(i + 1) + " " + entry.title + "|" + entry.path + "|" +
              std::to_string(static_cast<int>(entry.marker)) + (group.TitleChanged(i + 1) ? " T" : "") +
              (group.PathChanged(i + 1) ? " P" : "") + "\n";
    }
  }
  for (const RemovedGroup& removed : model.Removed()) text += "removed " + removed.FileName() + "\n";
  text += "current " + std::to_string(model.CurrentRow()) + (model.Modified() ? " modified" : "") + "\n";
  return text;
}

// Groups A (entries 1..5 filled, markers of each kind), B (entry 1), C:
// loaded, A current.
LauncherModel ThreeGroups() {
  LauncherModel model;
  Group a = model.NewGroup("A");
  a.source = "A.PTH";
  for (std::size_t n = 1; n <= 5; ++n) {
    *a.EntryAt(n) = {"a" + std::to_string(n), "C:\\a" + std::to_string(n) + ".txt",
                     n % 3 == 0 ? PathMarker::Untested : n % 3 == 1 ? PathMarker::Found : PathMarker::Missing};
  }
  Group b = model.NewGroup("B");
  b.source = "B.pth";
  b.extension = ".pth";
  *b.EntryAt(1) = {"b1", "C:\\b1.txt", PathMarker::Found};
  Group c = model.NewGroup("C");
  c.source = "C.PTH";
  model.AppendLoaded(std::move(a));
  model.AppendLoaded(std::move(b));
  model.AppendLoaded(std::move(c));
  model.SelectGroup(0);
  return model;
}

TEST(History, EveryKindOfChangeIsUndoneAndRedoneExactlyDownToAnEmptyHistory) {
  LauncherModel model = ThreeGroups();
  History history(model);
  EXPECT_FALSE(history.CanUndo());
  EXPECT_EQ(history.UndoCaption(), "元に戻す(&U)");
  EXPECT_EQ(history.RedoCaption(), "やり直し(&R)");

  struct Done {
    std::string before, after, caption;
  };
  std::vector<Done> done;
  const auto step = [&](const char* name, const std::function<void()>& change) {
    const std::string before = Dump(model);
    change();
    ASSERT_NE(Dump(model), before) << name;
    done.push_back({before, Dump(model), history.UndoCaption()});
    EXPECT_EQ(history.UndoCaption(), std::string("元に戻す(&U) ") + name);
  };
  step("タイトルの変更", [&] { EXPECT_TRUE(history.SetTitle(1, "新しいタイトル")); });
  step("タイトルの削除", [&] { EXPECT_TRUE(history.ClearTitle(2)); });
  step("ファイルの変更", [&] { EXPECT_TRUE(history.SetPath(7, "C:\\フォルダ\\表.txt")); });
  step("ファイルの削除", [&] { EXPECT_TRUE(history.ClearPath(1)); });
  step("エントリの削除", [&] {
    EXPECT_TRUE(history.DeleteEntry(5));
    EXPECT_FALSE(history.DeleteEntry(5));   // nothing left to delete: no step
  });
  step("並べ替え", [&] { EXPECT_TRUE(history.MoveEntry(5, 2)); });
  step("並べ替え", [&] { EXPECT_TRUE(history.MoveEntry(1, kEntryCount)); });
  step("別の業務名への移動", [&] {
    EXPECT_EQ(history.TransferEntry(3, 1, false).outcome, LauncherModel::Transfer::Done);
  });
  step("別の業務名へのコピー", [&] {
    EXPECT_EQ(history.TransferEntry(4, 2, true).outcome, LauncherModel::Transfer::Done);
  });
  step("切り取り", [&] { EXPECT_TRUE(history.Cut(4)); });
  step("貼り付け", [&] { EXPECT_EQ(history.Paste(10, false), LauncherModel::Paste::Done); });
  step("貼り付け", [&] {
    EXPECT_EQ(history.Paste(6, false), LauncherModel::Paste::Ask);
    EXPECT_EQ(history.Paste(6, true), LauncherModel::Paste::Done);
  });
  step("ファイルの変更", [&] { EXPECT_EQ(history.SetPaths({{11, "C:\\x.txt"}, {12, "C:\\y.txt"}}), 2u); });
  step("業務名の新規追加", [&] { history.AddGroup("D"); });
  step("業務名の変更", [&] { history.RenameGroup(1, "B2"); });
  model.SelectGroup(3);   // selecting is no step
  step("タイトルの変更", [&] { EXPECT_TRUE(history.SetTitle(1, "in D")); });
  step("業務名の削除", [&] { history.DeleteGroup(0); });
  step("業務名の削除", [&] { history.DeleteGroup(1); });

  for (std::size_t i = done.size(); i-- > 0;) {
    ASSERT_TRUE(history.CanUndo());
    EXPECT_EQ(history.UndoCaption(), done[i].caption);
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(Dump(model), done[i].before) << "undo of step " << i;
    EXPECT_TRUE(history.CanRedo());
  }
  EXPECT_FALSE(history.CanUndo());
  EXPECT_FALSE(history.Undo());
  EXPECT_FALSE(model.Modified());
  for (std::size_t i = 0; i < done.size(); ++i) {
    ASSERT_TRUE(history.Redo());
    EXPECT_EQ(Dump(model), done[i].after) << "redo of step " << i;
  }
  EXPECT_FALSE(history.CanRedo());
  EXPECT_FALSE(history.Redo());
  // And all the way back once more: a group taken out by a redo comes back
  // as it went.
  while (history.Undo()) {
  }
  EXPECT_EQ(Dump(model), done.front().before);
}

TEST(History, TheWindowLearnsWhichGroupAndRowToShow) {
  LauncherModel model = ThreeGroups();
  History history(model);
  ASSERT_TRUE(history.MoveEntry(5, 2));
  ASSERT_EQ(history.TransferEntry(2, 1, false).outcome, LauncherModel::Transfer::Done);
  model.SelectGroup(2);   // the user looks at another group meanwhile

  std::optional<Shown> shown = history.Undo();
  ASSERT_TRUE(shown);
  EXPECT_EQ(model.CurrentRow(), 0);
  EXPECT_EQ(shown->entry, 2u);
  EXPECT_FALSE(shown->names_changed);
  EXPECT_EQ(shown->groups, (std::vector<std::size_t>{0, 1}));
  // A reorder shows the entry where it is: back at 5, forward at 2.
  shown = history.Undo();
  EXPECT_EQ(shown->entry, 5u);
  EXPECT_EQ(shown->groups, std::vector<std::size_t>{0});
  shown = history.Redo();
  EXPECT_EQ(shown->entry, 2u);
  ASSERT_TRUE(history.Redo());

  // A deleted group comes back at its place and is shown; the group after
  // it moves down again.
  model.SelectGroup(1);
  history.DeleteGroup(1);
  EXPECT_EQ(model.CurrentRow(), -1);
  EXPECT_EQ(model.Names(), (std::vector<std::string>{"A", "C"}));
  shown = history.Undo();
  EXPECT_TRUE(shown->names_changed);
  EXPECT_EQ(model.Names(), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(model.CurrentRow(), 1);
  EXPECT_EQ(shown->groups, std::vector<std::size_t>{1});   // its paths are tested again
  shown = history.Redo();
  EXPECT_EQ(model.CurrentRow(), -1);
  EXPECT_TRUE(shown->groups.empty());
  ASSERT_TRUE(history.Undo());

  // A new group taken back while it was current: the group current when it
  // was added is current again.
  history.AddGroup("D");
  model.SelectGroup(3);
  shown = history.Undo();
  EXPECT_TRUE(shown->names_changed);
  EXPECT_EQ(model.CurrentRow(), 1);
  EXPECT_EQ(model.GroupCount(), 3u);
  shown = history.Redo();
  EXPECT_EQ(model.GroupCount(), 4u);
  EXPECT_EQ(shown->groups, std::vector<std::size_t>{3});
}

TEST(History, OnlyRealChangesAreStepsAndANewOneDropsWhatCouldBeRedone) {
  LauncherModel model = ThreeGroups();
  History history(model);
  // Delete on an empty title still sets the flag: a step, whose undo clears it.
  ASSERT_TRUE(history.ClearTitle(kEntryCount));
  EXPECT_TRUE(model.Modified());
  ASSERT_TRUE(history.Undo());
  EXPECT_FALSE(model.Modified());
  // Nothing changed, nothing recorded.
  EXPECT_TRUE(history.MoveEntry(10, 12));
  EXPECT_FALSE(history.MoveEntry(3, 3));
  EXPECT_FALSE(history.Cut(9));
  EXPECT_FALSE(history.Copy(9));
  EXPECT_EQ(history.Paste(1, false), LauncherModel::Paste::Nothing);   // nothing to paste
  ASSERT_TRUE(history.Copy(2));
  EXPECT_EQ(history.Paste(1, false), LauncherModel::Paste::Ask);
  EXPECT_EQ(history.TransferEntry(9, 1, false).outcome, LauncherModel::Transfer::Nothing);
  EXPECT_FALSE(history.SetTitle(kEntryCount + 1, "x"));
  history.RenameGroup(7, "x");
  history.DeleteGroup(7);
  EXPECT_FALSE(history.CanUndo());
  EXPECT_TRUE(history.CanRedo());
  EXPECT_EQ(history.RedoCaption(), "やり直し(&R) タイトルの削除");
  EXPECT_FALSE(model.Modified());
  // A full group refuses: no step either.
  model.SelectGroup(2);
  for (std::size_t n = 1; n <= kEntryCount; ++n) ASSERT_TRUE(history.SetTitle(n, "c"));
  history.Clear();
  model.SelectGroup(0);
  EXPECT_EQ(history.TransferEntry(1, 2, false).outcome, LauncherModel::Transfer::Full);
  EXPECT_FALSE(history.CanUndo());
  EXPECT_FALSE(history.CanRedo());

  // A change after an undo: the undone step cannot come back over it.
  ASSERT_TRUE(history.SetTitle(1, "one"));
  ASSERT_TRUE(history.SetTitle(1, "two"));
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(model.GroupAt(0).entries[0].title, "one");
  ASSERT_TRUE(history.SetTitle(2, "three"));
  EXPECT_FALSE(history.CanRedo());
  ASSERT_TRUE(history.Undo());
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(model.GroupAt(0).entries[0].title, "a1");
  EXPECT_EQ(model.GroupAt(0).entries[1].title, "a2");
  // A flag already set stays set by the undo of a later step.
  EXPECT_TRUE(model.Modified());
}

TEST(History, TheClipboardOutlivesUndoAndAnswersOfPathTestsStayWithTheirGroup) {
  LauncherModel model = ThreeGroups();
  History history(model);
  ASSERT_TRUE(history.Cut(1));
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(model.GroupAt(0).entries[0].title, "a1");
  ASSERT_TRUE(history.Clipboard());
  EXPECT_EQ(history.Clipboard()->title, "a1");
  EXPECT_EQ(history.Clipboard()->marker, PathMarker::Found);
  model.SelectGroup(2);
  ASSERT_EQ(history.Paste(1, false), LauncherModel::Paste::Done);
  EXPECT_EQ(model.GroupAt(2).entries[0], model.GroupAt(0).entries[0]);

  // A path test answered before the group was deleted: the group comes
  // back with that answer.
  ASSERT_TRUE(model.SetMarkerOfPath(0, 3, "C:\\a3.txt", PathMarker::Missing));
  history.DeleteGroup(0);
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(model.GroupAt(0).entries[2].marker, PathMarker::Missing);
  // A redo puts back the marker the step left, which the window tests again
  // when it is untested.
  history.AddGroup("D");
  ASSERT_TRUE(history.Undo());
  ASSERT_TRUE(history.Redo());
  model.SelectGroup(3);
  ASSERT_TRUE(history.SetPath(1, "C:\\d.txt"));
  ASSERT_TRUE(model.SetMarkerOfPath(3, 1, "C:\\d.txt", PathMarker::Found));
  ASSERT_TRUE(history.Undo());
  ASSERT_TRUE(history.Redo());
  EXPECT_EQ(model.GroupAt(3).entries[0].marker, PathMarker::Untested);

  // Every step, undo, redo and clear is told; a refused operation is not.
  int told = 0;
  history.on_change = [&] { ++told; };
  EXPECT_FALSE(history.Cut(kEntryCount));
  EXPECT_EQ(told, 0);
  ASSERT_TRUE(history.SetTitle(2, "x"));
  ASSERT_TRUE(history.Undo());
  ASSERT_TRUE(history.Redo());
  EXPECT_EQ(told, 3);
  // Groups appended by a refresh keep every step; a group taken out by one
  // takes only its own steps with it, the others name their groups by
  // identity and still undo where their groups went.
  model.AppendListed("E", ".PTH");
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(model.GroupAt(3).entries[1].title, "");
  ASSERT_TRUE(history.Redo());
  model.SelectGroup(1);
  ASSERT_TRUE(history.SetTitle(1, "in B"));
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(history.CanRedo());
  EXPECT_EQ(told, 7);
  model.DropGroup(1);
  EXPECT_EQ(told, 8);
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(history.UndoCaption(), "元に戻す(&U) タイトルの変更");
  EXPECT_EQ(model.GroupAt(2).entries[1].title, "x");
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(model.GroupAt(2).entries[1].title, "");
  EXPECT_EQ(model.GroupAt(2).name, "D");
  ASSERT_TRUE(history.Clipboard());
}

TEST(History, TheStatusBarTellsUnsavedAndSaved) {
  EXPECT_STREQ(StatusText(false, false), "");
  EXPECT_STREQ(StatusText(true, false), "未保存の変更があります");
  EXPECT_STREQ(StatusText(true, true), "未保存の変更があります");
  EXPECT_STREQ(StatusText(false, true), "保存しました");
}

// A group file as the program writes it, with lines of its own after.
std::string FileBytes(const std::string& first_title, std::string_view extra = "") {
  std::string bytes;
  for (std::size_t n = 1; n <= kEntryCount; ++n) {
    bytes += "[" + EntrySection(n, kEntryCount) + "]\r\nTITLE=" + (n == 1 ? first_title : "") + "\r\nPATH=\r\n";
  }
  return bytes + std::string(extra);
}

TEST(History, ASaveAfterUndoingGroupCommandsDeletesAndWritesExactlyWhatItShould) {
  testing::TempDir dir;
  const std::string a_bytes = FileBytes("one", "; mine\r\n[21]\r\nX=1\r\n");
  ASSERT_TRUE(testing::WriteBytes(dir.File("A.PTH"), a_bytes));
  ASSERT_TRUE(testing::WriteBytes(dir.File("B.PTH"), FileBytes("two")));
  LauncherModel model;
  ASSERT_TRUE(LoadGroups(dir.path(), model).ok);
  History history(model);
  const auto row = [&model](const char* name) { return static_cast<std::size_t>(model.FindGroup(name)); };
  const auto save = [&] {
    const bool ok = SaveGroups(dir.path(), model).ok;
    history.Clear();
    return ok;
  };

  // A rename taken back: the group keeps its own file, every line of it.
  history.RenameGroup(row("A"), "X");
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(model.Removed().empty());
  EXPECT_FALSE(model.Modified());
  ASSERT_TRUE(save());
  EXPECT_EQ(testing::SortedNames(dir.path()), (std::vector<std::string>{"A.PTH", "B.PTH"}));
  EXPECT_EQ(dir.Read("A.PTH"), a_bytes);

  // A deletion taken back: the same.
  history.DeleteGroup(row("A"));
  ASSERT_TRUE(history.Undo());
  EXPECT_TRUE(model.Removed().empty());
  ASSERT_TRUE(save());
  EXPECT_EQ(dir.Read("A.PTH"), a_bytes);
  EXPECT_FALSE(history.CanUndo());

  // A new group taken back gets no file; a deletion before it still stands.
  history.DeleteGroup(row("B"));
  history.AddGroup("b");
  ASSERT_TRUE(history.Undo());
  ASSERT_EQ(model.Removed().size(), 1u);
  EXPECT_EQ(model.Removed()[0].FileName(), "B.PTH");
  ASSERT_TRUE(save());
  EXPECT_EQ(testing::SortedNames(dir.path()), std::vector<std::string>{"A.PTH"});

  // A rename undone and redone moves the file.
  model.SelectGroup(static_cast<int>(row("A")));
  ASSERT_TRUE(history.MoveEntry(1, 3));
  history.RenameGroup(row("A"), "Z");
  ASSERT_TRUE(history.Undo());
  ASSERT_TRUE(history.Redo());
  ASSERT_TRUE(save());
  EXPECT_EQ(testing::SortedNames(dir.path()), std::vector<std::string>{"Z.PTH"});
  std::string moved = a_bytes;
  moved.replace(moved.find("TITLE=one"), 9, "TITLE=");
  moved.replace(moved.find("[03]\r\nTITLE=") + 12, 0, "one");
  EXPECT_EQ(dir.Read("Z.PTH"), moved);
}


// Another place changes the folder between the user's steps.
TEST(History, UndoAndRedoAfterAMergeNeverWriteOverWhatAnotherPlaceSaved) {
  testing::TempDir dir;
  const auto write = [&](const char* file, const std::vector<testing::Entry>& entries) {
    ASSERT_TRUE(testing::WriteBytes(dir.File(file), testing::GroupFileBytes(entries)));
  };
  write("G.PTH", {{"見積書", "C:\\old\\q.txt"}, {"二", ""}});
  write("K.PTH", {{"k1", ""}});
  LauncherModel model;
  ASSERT_TRUE(LoadGroups(dir.path(), model).ok);
  History history(model);
  int dropped = 0, reread = 0;
  history.on_steps_dropped = [&] { ++dropped; };
  history.on_reread = [&] { ++reread; };
  const auto refresh = [&] {
    const std::optional<FolderListing> listing = ListGroupFiles(dir.path(), model.DiskEpoch());
    ApplyListing(model, listing.value());
    for (const std::string& file : FilesToRead(model, *listing))
      ApplySnapshot(model, ReadGroupSnapshot(dir.path(), file, kEntryCount, model.DiskEpoch()));
  };
  const auto g = [&](const char* name) -> const Group& { return model.GroupAt(model.FindGroup(name)); };
  const auto saved_clash = [&](const std::string& line) {
    const FileReport saved = SaveGroups(dir.path(), model);
    return saved.ok && !saved.clashes.empty() && saved.clashes[0] == line;
  };
  model.SelectGroup(model.FindGroup("G"));

  // Title changed here, path elsewhere: the undo takes back the title only.
  ASSERT_TRUE(history.SetTitle(1, "途中"));
  write("G.PTH", {{"見積書", "C:\\new\\q.txt"}, {"二", ""}});
  refresh();
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(g("G").entries[0], (Entry{"見積書", "C:\\new\\q.txt", PathMarker::Untested}));
  EXPECT_FALSE(model.Modified());
  // A value a step holds changed elsewhere: the steps holding it go, told.
  ASSERT_TRUE(history.SetTitle(3, "三"));
  ASSERT_TRUE(history.SetTitle(2, "here"));
  ASSERT_TRUE(history.Undo());
  write("G.PTH", {{"見積書", "C:\\new\\q.txt"}, {"外で変更", ""}});
  refresh();
  EXPECT_EQ(dropped, 1);
  EXPECT_FALSE(history.CanRedo());
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(g("G").entries[1].title, "外で変更");
  EXPECT_FALSE(model.Modified());

  // An open editor keeps its base: the commit is a clash at the save.
  model.Hold({g("G").id, 1, true});
  write("G.PTH", {{"外で変更", "C:\\new\\q.txt"}});
  refresh();
  EXPECT_EQ(g("G").entries[0].title, "見積書");
  EXPECT_TRUE(model.TakeHeldBack());
  ASSERT_TRUE(history.SetTitle(1, "見積書入力"));
  model.Release();
  EXPECT_TRUE(saved_clash(ClashEntryMessage("G", 1, true, false)));
  history.Clear();

  // A deleted group brought back is read again.
  history.DeleteGroup(model.FindGroup("K"));
  write("K.PTH", {{"k1 elsewhere", ""}});
  refresh();
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(reread, 1);
  refresh();
  EXPECT_EQ(g("K").entries[0].title, "k1 elsewhere");

  // A new group's redo onto a name taken elsewhere: only when asked.
  history.AddGroup("N");
  ASSERT_TRUE(history.Undo());
  write("N.PTH", {{"n theirs", ""}});
  refresh();
  EXPECT_EQ(history.RedoNameTakenBy(), model.FindGroup("N"));
  EXPECT_FALSE(history.Redo());
  ASSERT_TRUE(history.Redo(true));
  const std::vector<std::string> names = model.Names();
  EXPECT_EQ(std::count(names.begin(), names.end(), "N"), 1);
  EXPECT_EQ(g("N").source, "");
  EXPECT_TRUE(saved_clash(MadeElsewhereMessage("N")));
}

// The callable the handlers are stored in: small lambdas in place, others on
// the heap, each copy its own and each destroyed once.
TEST(History, HandlersCopyMoveAndEmptyAsStdFunctionDid) {
  Callback<int(int)> empty;
  EXPECT_FALSE(empty);
  EXPECT_THROW(empty(1), std::bad_function_call);
  EXPECT_FALSE((Callback<int(int)>(static_cast<int (*)(int)>(nullptr))));

  int base = 10;
  const Callback<int(int)> local = [&base](int x) { return base + x; };
  Callback<int(int)> copied = local;
  base = 20;
  EXPECT_EQ(copied(1), 21);

  auto held = std::make_shared<int>(0);
  Callback<int(int)> heap = [held, text = std::string(40, 'x'), calls = 0](int x) mutable {
    return ++calls * 100 + x + static_cast<int>(text.size());
  };
  EXPECT_EQ(heap(1), 141);
  Callback<int(int)> copy = heap;
  EXPECT_EQ(held.use_count(), 3);
  EXPECT_EQ(heap(1), 241);
  EXPECT_EQ(copy(1), 241);  // its own count, copied at 1
  Callback<int(int)> moved = std::move(heap);
  EXPECT_FALSE(heap);
  EXPECT_EQ(moved(2), 342);
  copy = local;
  moved = nullptr;
  EXPECT_TRUE(moved == nullptr);
  EXPECT_EQ(held.use_count(), 1);
  EXPECT_EQ(copy(2), 22);
}

}  // namespace
}  // namespace korvane
