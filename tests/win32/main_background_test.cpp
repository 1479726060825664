// Work off the window's thread, over a share that does not answer until the
// test lets it: the window opens and shows the group meanwhile, markers
// arrive later on their own rows, a launch keeps the window going, answers
// for a group renamed or deleted meanwhile are dropped; the icon cache
// destroys every icon it held.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "data/settings.h"
#include "grid/icon_cache.h"
#include "kit.h"

namespace kit {
namespace {

using korvane::PathMarker;

// An icon handle that still names a live icon.
bool Alive(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return false;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return true;
}

class BackgroundTest : public MainWindowTest {
 protected:
  // Hands the answers that arrive to the window without painting, until
  // `done` holds.
  bool DeliverUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 2000 && !done(); ++i) {
      Sleep(5);
      form().BackgroundAnswers();
    }
    return done();
  }
  // True when the middle of the cell waits to be repainted.
  bool Invalid(int col, int row) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(grid(), region, FALSE);
    const POINT p = CellPoint(col, row);
    const bool in = PtInRegion(region, p.x, p.y) != FALSE;
    DeleteObject(region);
    return in;
  }
  COLORREF At(const Pixels& p, int col, int row, int x, int y) { return p.at(Cell(col, row).left + x, Cell(col, row).top + y); }
  const korvane::Group& Named(const std::string& name) {
    return form().Model().GroupAt(static_cast<std::size_t>(GroupIndex(name)));
  }
};

TEST_F(BackgroundTest, MarkersOfASlowShareArriveLaterOnTheirOwnRows) {
  const std::string found = "Q:\\共有\\有る.xls", gone = "Q:\\共有\\無い.xls", other = "Q:\\他\\表.xls";
  GatedFileSystem share({found});
  WriteGroup("共有", {{"有る", found}, {"無い", gone}, {"空", ""}, {"同じ", found}});
  WriteGroup("他", {{"他", other}});
  settle_ = false;
  Open();
  ClickGroup(GroupIndex("共有"));
  // Up and answering while the share says nothing; untested paths show as
  // found.
  EXPECT_EQ(Marker(1), PathMarker::Untested);
  EXPECT_EQ(Marker(2), PathMarker::Untested);
  EXPECT_EQ(Marker(3), PathMarker::NoPath);
  auto p = PaintGrid();
  EXPECT_EQ(Hex(At(*p, 0, 2, 27, 19)), Hex(kBlue));
  EXPECT_EQ(CountColor(*p, Cell(0, 2), kRed), 0);

  ValidateRect(grid(), nullptr);
  share.Answer();
  ASSERT_TRUE(DeliverUntil([&] {
    return Marker(1) == PathMarker::Found && Marker(2) == PathMarker::Missing && Marker(4) == PathMarker::Found &&
           Named("他").entries[0].marker == PathMarker::Missing;
  }));
  // Each answer repaints its own launch button, nothing else of the grid's
  // rows but the title cells that wait for an icon.
  EXPECT_TRUE(Invalid(0, 1));
  EXPECT_TRUE(Invalid(0, 2));
  EXPECT_TRUE(Invalid(0, 4));
  EXPECT_FALSE(Invalid(0, 3));
  EXPECT_FALSE(Invalid(2, 1));
  EXPECT_FALSE(Invalid(2, 2));
  // The shown group's paths were asked before the other group's (unless
  // the other's was under way already when the group was selected).
  const std::vector<std::string> asked = share.Asked();
  ASSERT_EQ(asked.size(), 4u);
  EXPECT_TRUE(asked.front() == other || asked.back() == other);
  settle_ = true;
  Pump();
  p = PaintGrid();
  EXPECT_EQ(Hex(At(*p, 0, 1, 27, 19)), Hex(kBlue));
  EXPECT_EQ(Hex(At(*p, 0, 2, 19, 19)), Hex(kRed));
  EXPECT_FALSE(form().Model().Modified());
}

TEST_F(BackgroundTest, AGroupRenamedOrDeletedWhileItsPathsAreTestedGetsNoStaleMarker) {
  const std::string a = "Q:\\甲\\表.xls", b = "Q:\\乙\\表.xls";
  GatedFileSystem share({a, b});
  WriteGroup("甲", {{"表", a}});
  WriteGroup("乙", {{"表", b}});
  settle_ = false;
  Open();
  // 甲 renamed to 丙 (as the rename command does it), 乙 deleted and made
  // again (empty), all before the share answers.
  ClickGroup(GroupIndex("甲"));
  const auto renamed = static_cast<std::size_t>(GroupIndex("甲"));
  form().Model().RenameGroup(renamed, "丙");
  form().QueueMarkerTests(renamed, true);
  ClickGroup(GroupIndex("乙"));
  seam_.answer = IDYES;
  form().MnuDeleteGroupClick();
  form().AddGroup("乙");
  ASSERT_EQ(Named("乙").entries[0].path, "");

  share.Answer();
  settle_ = true;
  Pump();
  // The renamed group's path was tested again under its new name.
  EXPECT_EQ(Named("丙").entries[0].marker, PathMarker::Found);
  EXPECT_EQ(Named("乙").entries[0].marker, PathMarker::NoPath);
  const std::vector<std::string> asked = share.Asked();
  EXPECT_EQ(std::count(asked.begin(), asked.end(), a), 2);
  EXPECT_TRUE(seam_.boxes.size() == 1u && seam_.shell_calls.empty());   // the delete question only

  // Any other job: its answer is stale once the same key runs again or is
  // forgotten.
  std::vector<std::string> got;
  korvane::BackgroundWork& work = form().Work();
  const auto answer = [&got](const char* what) {
    return [&got, what] { return korvane::BackgroundWork::Answer([&got, what] { got.push_back(what); }); };
  };
  work.Run("read", answer("first"));
  work.Run("read", answer("second"));
  work.Run("watch", answer("forgotten"));
  work.Forget("watch");
  Pump();
  EXPECT_EQ(got, std::vector<std::string>{"second"});
}

TEST_F(BackgroundTest, ALaunchFromASlowShareKeepsTheWindowGoingAndASecondPressDoesNothing) {
  const std::string slow = "Q:\\共有\\見積.xls";
  GatedFileSystem share({slow});
  WriteGroup("共有", {{"見積", slow}, {"空", ""}});
  settle_ = false;
  Open(korvane::kModeRegistration);
  ClickGroup(0);
  const std::size_t tested = share.Asked().size();
  Click(CellPoint(0, 1));
  EXPECT_TRUE(form().Launching());
  EXPECT_EQ(kit::App().screen_cursor(), ui::ScreenCursor::HourGlass);
  Click(CellPoint(0, 1));
  // The window goes on: another entry's button works meanwhile.
  Click(CellPoint(0, 2));
  EXPECT_EQ(Marker(2), PathMarker::NoPath);
  EXPECT_TRUE(seam_.shell_calls.empty());
  // A save meanwhile ends its own hourglass, not the launch's.
  form().MnuSaveClick();
  EXPECT_EQ(kit::App().screen_cursor(), ui::ScreenCursor::HourGlass);

  share.Answer();
  ASSERT_TRUE(kit::PumpUntil([&] { return !form().Launching(); }));
  const std::vector<std::string> asked = share.Asked();
  EXPECT_EQ(std::count(asked.begin() + static_cast<long>(tested), asked.end(), slow), 1);
  ASSERT_EQ(seam_.shell_calls.size(), 1u);
  EXPECT_EQ(seam_.shell_calls[0].file, slow);
  EXPECT_EQ(kit::App().screen_cursor(), ui::ScreenCursor::Default);
  settle_ = true;
  Pump();
  EXPECT_EQ(Marker(1), PathMarker::Found);
  EXPECT_TRUE(seam_.boxes.empty());
}

TEST_F(BackgroundTest, TheIconCacheDestroysEveryIconItHeld) {
  char self[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  WriteGroup("実行", {{"自分", self}});
  Open();
  ClickGroup(0);
  PaintGrid();
  korvane::IconCache& cache = form().Painter().Icons();
  bool known = false;
  const HICON first = cache.Find(self, &known);
  ASSERT_TRUE(known && first && Alive(first));
  // Selected again: emptied, and the next painting asks anew.
  ClickGroup(0);
  EXPECT_FALSE(Alive(first));
  PaintGrid();
  const HICON second = cache.Find(self, &known);
  ASSERT_TRUE(known && second && Alive(second));
  CloseWindow();
  EXPECT_FALSE(Alive(second));

  // Bounded: the least recently drawn leaves first; an answer for a request
  // from before the cache was emptied is dropped.
  const HICON base = LoadIconA(nullptr, IDI_APPLICATION);
  std::vector<HICON> made;
  const auto make = [&] {
    made.push_back(CopyIcon(base));
    return ui::UniqueIcon(made.back());
  };
  korvane::IconCache small(2);
  EXPECT_TRUE(small.Request("a"));
  EXPECT_FALSE(small.Request("a"));
  small.Store(small.Generation(), "a", make());
  small.Store(small.Generation(), "b", make());
  EXPECT_EQ(small.Find("a", &known), made[0]);
  small.Store(small.Generation(), "c", make());
  EXPECT_TRUE(Alive(made[0]));
  EXPECT_FALSE(Alive(made[1]));
  small.Find("b", &known);
  EXPECT_FALSE(known);
  EXPECT_TRUE(small.Request("b"));
  const auto before = small.Generation();
  small.Clear();
  EXPECT_FALSE(Alive(made[0]) || Alive(made[2]));
  small.Store(before, "b", make());
  EXPECT_FALSE(Alive(made[3]));
  EXPECT_EQ(small.Size(), 0u);
}

}  // namespace
}  // namespace kit
