// The group folder changed by another place while the window runs (a text
// editor, another PC), and the start that shows the window before the
// group files are read.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "data/groupfiles.h"
#include "data/os.h"
#include "data/settings.h"
#include "kit.h"
#include "ui/wide.h"

namespace kit {
namespace {

class MainRefreshTest : public MainWindowTest {
 protected:
  // Records the grid rows painted from now on.
  void WatchPainting() {
    painted_.clear();
    form().DGMain.on_draw_cell = [this](HDC dc, int c, int r, const RECT& rect, ui::CellState s) {
      painted_.insert(r);
      form().DGMainDrawCell(dc, c, r, rect, s);
    };
  }
  bool Painted(int row) const { return painted_.count(row) != 0; }
  // Waits until the group's file is read and the folder sync is idle.
  bool Settled(const std::function<bool()>& done) {
    return PumpUntil([&] { return done() && !form().Sync().Busy(); });
  }
  std::string Status() { return form().StbInfo.Text(); }

  std::set<int> painted_;
};

TEST_F(MainRefreshTest, ChangesMadeElsewhereReachTheWindowWithoutARestart) {
  WriteGroup("Alpha", {{"a1", ""}, {"a2", ""}, {"a3", ""}});
  WriteGroup("Beta", {{"b1", ""}});
  WriteGroup("Gone", {{"g1", ""}});
  Open(korvane::kModeRegistration);
  std::vector<std::vector<std::size_t>> dropped;
  form().Sync().on_groups_dropped = [&](const std::vector<std::size_t>& rows) { dropped.push_back(rows); };
  int model_changed = 0;
  form().Sync().on_model_changed = [&] { ++model_changed; };
  ClickGroup(GroupIndex("Alpha"));
  WatchPainting();

  // A group this run has not changed takes the file's values; the changed
  // cells are painted anew.
  WriteGroup("Alpha", {{"a1 elsewhere", ""}, {"a2", ""}, {"a3", ""}});
  ASSERT_TRUE(Settled([&] { return Title(1) == "a1 elsewhere"; }));
  UpdateWindow(grid());   // what was invalidated is painted now
  EXPECT_TRUE(Painted(1));
  EXPECT_FALSE(Painted(5));
  EXPECT_FALSE(form().Model().Modified());
  EXPECT_GE(model_changed, 1);
  // A watched folder on a local disk: no looks besides the notifications
  // (whether it is on a share was answered off the window's thread).
  EXPECT_FALSE(form().Sync().Looks());

  // A group changed here keeps the user's value and takes the others.
  ASSERT_TRUE(form().Model().SetTitle(2, "mine"));
  WriteGroup("Alpha", {{"a1 again", ""}, {"a2", ""}, {"a3 elsewhere", ""}});
  ASSERT_TRUE(Settled([&] { return Title(1) == "a1 again"; }));
  EXPECT_EQ(Title(2), "mine");
  EXPECT_EQ(Title(3), "a3 elsewhere");

  // A file added elsewhere comes at the end of the list; one deleted
  // elsewhere leaves it, and whoever keeps rows hears which.
  const int gone = GroupIndex("Gone");
  WriteGroup("Delta", {{"d1", ""}});
  ASSERT_TRUE(DeleteFileW(ui::Wide(folder_.File("Gone.PTH")).c_str()));
  ASSERT_TRUE(Settled([&] {
    return form().Model().FindGroup("Delta") >= 0 && form().Model().FindGroup("Gone") < 0 &&
           form().Model().GroupAt(static_cast<std::size_t>(GroupIndex("Delta"))).state == korvane::ReadState::Read;
  }));
  EXPECT_EQ(form().LBGroup.Count(), static_cast<int>(form().Model().GroupCount()));
  EXPECT_EQ(form().LBGroup.Item(form().LBGroup.Count() - 1), "Delta");
  EXPECT_EQ(form().LBGroup.ItemIndex(), GroupIndex("Alpha"));
  ASSERT_EQ(dropped.size(), 1u);
  EXPECT_EQ(dropped[0], std::vector<std::size_t>{static_cast<std::size_t>(gone)});
  // The name dialogs refuse a listed name: the model knows it.
  EXPECT_GE(form().Model().FindGroup("delta"), 0);

  // The program's own save costs no read; what it wrote stays.
  const std::size_t reads = form().Sync().FilesRead();
  CtrlKey('S');
  ASSERT_FALSE(form().Model().Modified());
  // A file written elsewhere after the save: once it is in, the save's own
  // notification has been handled too, and only that file was read.
  WriteGroup("Marker", {{"m1", ""}});
  ASSERT_TRUE(Settled([&] { return form().Model().FindGroup("Marker") >= 0; }));
  EXPECT_EQ(form().Sync().FilesRead(), reads + 1);
  EXPECT_EQ(Title(2), "mine");
  EXPECT_NE(folder_.Read("Alpha.PTH").find("TITLE=mine"), std::string::npos);
  EXPECT_NE(folder_.Read("Alpha.PTH").find("TITLE=a1 again"), std::string::npos);

  // The current group deleted elsewhere: none is selected, the status bar
  // says so, and no box came.
  ClickGroup(GroupIndex("Beta"));
  ASSERT_TRUE(DeleteFileW(ui::Wide(folder_.File("Beta.PTH")).c_str()));
  ASSERT_TRUE(Settled([&] { return form().Model().FindGroup("Beta") < 0; }));
  EXPECT_EQ(form().Model().CurrentRow(), -1);
  EXPECT_EQ(form().LBGroup.ItemIndex(), -1);
  EXPECT_NE(Status().find("Beta"), std::string::npos) << Status();
  EXPECT_TRUE(seam_.boxes.empty()) << seam_.boxes[0].text;
}

TEST_F(MainRefreshTest, TheTitleEditorKeepsItsTextCaretAndCellThroughARefresh) {
  WriteGroup("Alpha", {{"a1", ""}, {"a2", ""}, {"a3", ""}});
  WriteGroup("Beta", {{"b1", ""}});
  WriteGroup("Gamma", {{"c1", ""}});
  Open(korvane::kModeRegistration);
  ClickGroup(0);
  form().DGMain.SetRow(2);
  Key(VK_F2);
  ASSERT_TRUE(IsWindowVisible(editor()));
  SendMessageA(editor(), EM_SETSEL, 0, -1);
  Type("typed here");
  SendMessageA(editor(), EM_SETSEL, 3, 5);
  const int top = form().DGMain.TopRow();

  WriteGroup("Alpha", {{"x1", ""}, {"x2", ""}, {"x3", ""}});
  ASSERT_TRUE(Settled([&] { return Title(1) == "x1"; }));
  EXPECT_TRUE(IsWindowVisible(editor()));
  EXPECT_EQ(GetFocus(), editor());
  EXPECT_EQ(ui::TextOf(editor()), "typed here");
  DWORD from = 0, to = 0;
  SendMessageA(editor(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 3u);
  EXPECT_EQ(to, 5u);
  EXPECT_EQ(form().DGMain.Row(), 2);
  EXPECT_EQ(form().DGMain.Col(), 1);
  EXPECT_EQ(form().DGMain.TopRow(), top);
  // Committed, the typed text is the user's value over the file's.
  Key(VK_RETURN);
  EXPECT_EQ(Title(2), "typed here");
  EXPECT_EQ(Title(3), "x3");

  // The file of a group this run has not changed deleted elsewhere while
  // its title is typed: the group stays under the editor (a file added at
  // the same time tells that the listing came), and the text, committed,
  // makes it a changed group that the save writes anew and names.
  ClickGroup(GroupIndex("Beta"));
  Key(VK_F2);
  SendMessageA(editor(), EM_SETSEL, 0, -1);
  Type("kept");
  ASSERT_TRUE(DeleteFileW(ui::Wide(folder_.File("Beta.PTH")).c_str()));
  WriteGroup("Delta", {{"d1", ""}});
  ASSERT_TRUE(Settled([&] { return form().Model().FindGroup("Delta") >= 0; }));
  ASSERT_GE(form().Model().CurrentRow(), 0);
  EXPECT_EQ(form().LBGroup.Item(form().LBGroup.ItemIndex()), "Beta");
  EXPECT_EQ(Current().name, "Beta");
  EXPECT_EQ(GetFocus(), editor());
  EXPECT_EQ(ui::TextOf(editor()), "kept");
  Key(VK_RETURN);
  EXPECT_EQ(Title(1), "kept");
  PumpUntil([] { return false; }, 600);   // the look after the edit keeps it
  ASSERT_GE(form().Model().CurrentRow(), 0);
  EXPECT_EQ(Current().name, "Beta");
  CtrlKey('S');
  ASSERT_FALSE(form().Model().Modified());
  EXPECT_NE(folder_.Read("Beta.PTH").find("TITLE=kept"), std::string::npos);
  ASSERT_EQ(seam_.boxes.size(), 1u);
  EXPECT_NE(seam_.boxes[0].text.find("Beta"), std::string::npos) << seam_.boxes[0].text;
  // The title typed over a2 while the file's became x2: the editor kept
  // its base, so the commit is a clash, told with the others.
  EXPECT_NE(seam_.boxes[0].text.find(korvane::ClashEntryMessage("Alpha", 2, true, false)), std::string::npos)
      << seam_.boxes[0].text;

  // The same with the editor left unchanged: the group leaves once it closes.
  ClickGroup(GroupIndex("Gamma"));
  Key(VK_F2);
  ASSERT_TRUE(DeleteFileW(ui::Wide(folder_.File("Gamma.PTH")).c_str()));
  WriteGroup("Epsilon", {{"e1", ""}});
  ASSERT_TRUE(Settled([&] { return form().Model().FindGroup("Epsilon") >= 0; }));
  ASSERT_GE(form().Model().CurrentRow(), 0);
  EXPECT_EQ(Current().name, "Gamma");
  EXPECT_TRUE(IsWindowVisible(editor()));
  Key(VK_RETURN);
  ASSERT_TRUE(Settled([&] { return form().Model().FindGroup("Gamma") < 0; }));
  EXPECT_EQ(form().Model().CurrentRow(), -1);
  EXPECT_NE(Status().find("Gamma"), std::string::npos) << Status();
  EXPECT_EQ(seam_.boxes.size(), 1u);
}

TEST_F(MainRefreshTest, TheWindowShowsBeforeTheFilesAreReadAndASaveWaitsForThem) {
  constexpr int kGroups = 1000;
  const auto name = [](int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "g%04d", i);
    return std::string(buf);
  };
  for (int i = 0; i < kGroups; ++i) WriteGroup(name(i), {{"t" + std::to_string(i), ""}});
  WriteGroup(name(7), {{"seven", ""}, {"", "C:\\nowhere\\seven.txt"}});
  const std::string before_last = folder_.Read(name(kGroups - 1) + ".PTH");
  settle_ = false;   // the test acts before the reads are done
  wait_for_reads_ = false;
  Open();
  ASSERT_EQ(form().LBGroup.Count(), kGroups);   // every name, in one step

  // The last group, selected at once, shows its entries once read; the
  // hourglass meanwhile.
  const bool unread = form().Model().GroupAt(kGroups - 1).state == korvane::ReadState::NotRead;
  form().LBGroup.SetItemIndex(kGroups - 1);
  form().LBGroupClick();
  ASSERT_EQ(form().Model().CurrentRow(), kGroups - 1);
  if (unread && form().Model().Current()->state == korvane::ReadState::NotRead) {
    EXPECT_GT(App().busy_count(), 0);
  }
  ASSERT_TRUE(PumpUntil([&] { return Title(1) == "t999"; }));
  EXPECT_EQ(form().Model().Current()->state, korvane::ReadState::Read);

  // Ctrl+S at once: the save waits for every file, writes the one change
  // and loses nothing.
  ASSERT_TRUE(PumpUntil([&] { return form().Model().GroupAt(7).state == korvane::ReadState::Read; }));
  form().Model().SelectGroup(7);
  ASSERT_TRUE(form().Model().SetTitle(1, "seven changed"));
  const bool all_read_before_save = !form().Sync().Starting();
  SetFocus(grid());
  CtrlKey('S');
  ASSERT_TRUE(PumpUntil([&] { return !form().Model().Modified(); }));
  EXPECT_FALSE(form().Sync().Starting());
  for (int i = 0; i < kGroups; ++i) {
    const korvane::Group& g = form().Model().GroupAt(static_cast<std::size_t>(i));
    ASSERT_EQ(g.state, korvane::ReadState::Read) << g.name;
    ASSERT_EQ(g.entries[0].title, i == 7 ? "seven changed" : "t" + std::to_string(i)) << g.name;
  }
  const std::string seven = folder_.Read(name(7) + ".PTH");
  EXPECT_NE(seven.find("TITLE=seven changed"), std::string::npos);
  EXPECT_NE(seven.find("PATH=C:\\nowhere\\seven.txt"), std::string::npos);
  EXPECT_EQ(folder_.Read(name(kGroups - 1) + ".PTH"), before_last);
  EXPECT_TRUE(seam_.boxes.empty()) << seam_.boxes[0].text;
  // Not a check, a note: whether this run's save really met unread files.
  if (all_read_before_save) std::printf("note: every file was read before Ctrl+S\n");
  settle_ = true;
  Pump();
}

TEST_F(MainRefreshTest, UnreadableFilesAreToldInOneBoxAfterTheWindowIsUp) {
  WriteGroup("Alpha", {{"a1", ""}});
  WriteGroup("Held", {{"h1", ""}});
  korvane::testing::HeldOpen held(folder_.File("Held.PTH"), korvane::testing::Sharing::None);
  if (!held.Effective()) GTEST_SKIP() << "this system cannot hold a file against readers";
  Open();
  ASSERT_TRUE(PumpUntil([&] { return !seam_.boxes.empty(); }));
  ASSERT_EQ(seam_.boxes.size(), 1u);
  EXPECT_NE(seam_.boxes[0].text.find("Held.PTH"), std::string::npos);
  EXPECT_TRUE(IsWindowVisible(main()));
  EXPECT_EQ(form().Model().GroupAt(static_cast<std::size_t>(GroupIndex("Alpha"))).entries[0].title, "a1");
}

}  // namespace
}  // namespace kit
