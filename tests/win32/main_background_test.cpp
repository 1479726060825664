// Work off the window's thread, over a share that does not answer until the
// test lets it: the window opens and shows the group meanwhile, markers
// arrive later on their own rows, a launch keeps the window going, answers
// for a group renamed or deleted meanwhile are dropped; the icon cache
// destroys every icon it held; a share that never answers holds up no
// local marker, icon or launch, and no drop or chosen path; jobs nobody
// needs any more never run.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "data/settings.h"
#include "drop_data.h"
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
  // Opened with a lookup limit no test reaches unless it shortens it: the
  // share is let go when each test says.
  void Open(int mode = 0) {
    MainWindowTest::Open(mode);
    form().Work().SetLookupLimit(5 * 60 * 1000);
  }
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
  // the other's was under way already when the group was selected); the
  // path held twice was asked once.
  const std::vector<std::string> asked = share.Asked();
  ASSERT_EQ(asked.size(), 3u);
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
  // The renamed group's path got its marker under its new name.
  EXPECT_EQ(Named("丙").entries[0].marker, PathMarker::Found);
  EXPECT_EQ(Named("乙").entries[0].marker, PathMarker::NoPath);
  const std::vector<std::string> asked = share.Asked();
  // Asked once: the test under way serves the new name too.
  EXPECT_EQ(std::count(asked.begin(), asked.end(), a), 1);
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
  // The shown group's own test of the path is under way (it waits at the
  // share) before the launch is pressed: only the launch's ask follows.
  const auto asked_for = [&share, &slow] {
    const std::vector<std::string> asked = share.Asked();
    return std::count(asked.begin(), asked.end(), slow);
  };
  ASSERT_TRUE(kit::PumpUntil([&] { return asked_for() == 1; }));
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

TEST_F(BackgroundTest, AShareThatNeverAnswersHoldsUpNoLocalMarkerIconOrLaunch) {
  const std::vector<std::string> dead = {"Q:\\共有\\一.xls", "Q:\\共有\\二.xls", "Q:\\共有\\三.xls",
                                         "Q:\\共有\\四.xls"};
  char self[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  const std::string missing = folder_.File("無い.txt");
  GatedFileSystem share({dead[0]});
  WriteGroup("共有", {{"一", dead[0]}, {"二", dead[1]}, {"三", dead[2]}, {"四", dead[3]}});
  WriteGroup("手元", {{"自分", self}, {"無い", missing}});
  settle_ = false;
  Open();
  // The share's group first, its tests, icons and four launches under way.
  ClickGroup(GroupIndex("共有"));
  form().QueueMarkerTests(static_cast<std::size_t>(GroupIndex("共有")), true);
  PaintGrid();
  for (int n = 1; n <= 4; ++n) Click(CellPoint(0, n));
  ASSERT_TRUE(form().Launching());
  ClickGroup(GroupIndex("手元"));
  ASSERT_TRUE(DeliverUntil([&] { return Marker(2) == PathMarker::Missing && Marker(1) == PathMarker::Found; }));
  PaintGrid();
  korvane::IconCache& cache = form().Painter().Icons();
  bool known = false;
  ASSERT_TRUE(DeliverUntil([&] { return cache.Find(self, &known) != nullptr; }));
  Click(CellPoint(0, 1));
  ASSERT_TRUE(kit::PumpUntil([&] { return seam_.shell_calls.size() == 1u; }));
  EXPECT_EQ(seam_.shell_calls[0].file, self);
  // The share still has not answered a single lookup.
  EXPECT_TRUE(form().Launching());
  for (std::size_t i = 0; i < dead.size(); ++i) EXPECT_EQ(Named("共有").entries[i].marker, PathMarker::Untested) << i;

  // Past the limit, the share's paths show missing and its launches end
  // as a missing file's does; none starts when the share answers at last,
  // and the paths it finds turn to found.
  form().Work().SetLookupLimit(200);
  ASSERT_TRUE(kit::PumpUntil([&] { return !form().Launching(); }));
  EXPECT_EQ(seam_.Texts(), std::vector<std::string>(4, "ファイルが存在しません。"));
  ASSERT_TRUE(DeliverUntil([&] { return Named("共有").entries[3].marker == PathMarker::Missing; }));
  EXPECT_EQ(Named("共有").entries[0].marker, PathMarker::Missing);
  share.Answer();
  ASSERT_TRUE(DeliverUntil([&] { return Named("共有").entries[0].marker == PathMarker::Found; }));
  settle_ = true;
  Pump();
  EXPECT_EQ(seam_.shell_calls.size(), 1u);
  EXPECT_EQ(Named("共有").entries[1].marker, PathMarker::Missing);
}

TEST_F(BackgroundTest, JobsNobodyNeedsAreDroppedBeforeTheyRun) {
  std::vector<Entry> entries;
  for (int i = 0; i < 6; ++i) entries.push_back({"表" + std::to_string(i), "Q:\\共有\\表" + std::to_string(i) + ".xls"});
  entries.push_back({"同じ", entries[0].path});
  GatedFileSystem share(std::vector<std::string>{});
  WriteGroup("甲", entries);
  WriteGroup("乙", {{"空", ""}});
  settle_ = false;
  Open();
  // Tests of 甲's six paths (the one held twice asked once), then its icons.
  ClickGroup(GroupIndex("甲"));
  PaintGrid();
  // Another group shown: 甲's icons are not wanted any more; 甲 deleted:
  // nor are its tests.
  ClickGroup(GroupIndex("乙"));
  ClickGroup(GroupIndex("甲"));
  ClickGroup(GroupIndex("乙"));
  ClickGroup(GroupIndex("甲"));
  seam_.answer = IDYES;
  form().MnuDeleteGroupClick();
  share.Answer();
  settle_ = true;
  Pump();
  // Only what was under way when they were dropped: at most two lookups
  // of each queue on the one share.
  EXPECT_EQ(share.Asked().size(), 2u);
  EXPECT_LE(share.IconsAsked().size(), 2u);
  EXPECT_GE(share.IconsAsked().size(), 1u);
}

TEST_F(BackgroundTest, ADropAndAChosenPathOnAShareThatNeverAnswersLeaveTheWindowAnswering) {
  const std::string dropped = "Q:\\共有\\落.xls", chosen = "Q:\\共有\\選.xls";
  GatedFileSystem share({dropped, chosen});
  WriteGroup("登録", {{"一", ""}, {"二", ""}, {"三", ""}});
  settle_ = false;
  Open(korvane::kModeRegistration);
  ClickGroup(0);
  form().Work().SetLookupLimit(200);
  POINT pt = CellPoint(1, 2);
  ClientToScreen(grid(), &pt);
  auto* data = new kit::HdropData(kit::MakeHdrop(std::vector<std::string>{dropped}));
  DWORD effect = DROPEFFECT_COPY;
  IDropTarget* target = form().GridDropTarget();
  ASSERT_NE(target, nullptr);
  target->DragEnter(data, MK_LBUTTON, POINTL{pt.x, pt.y}, &effect);
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->Drop(data, MK_LBUTTON, POINTL{pt.x, pt.y}, &effect), S_OK);
  data->Release();
  // The path chosen in the dialog: set at once, its marker untested.
  seam_.dialog_answer = chosen;
  Key(VK_RIGHT);
  ASSERT_EQ(form().DGMain.Col(), 2);
  Key(VK_RETURN);
  ASSERT_EQ(seam_.dialogs.size(), 1u);
  EXPECT_EQ(Path(1), chosen);
  EXPECT_EQ(Marker(1), PathMarker::Untested);
  // Nothing waits on the share: the window answers at once.
  DWORD_PTR result = 0;
  EXPECT_NE(SendMessageTimeoutA(main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result), 0);
  // The drop's folder test does not answer within the limit: the file is
  // registered all the same, shown missing until the share answers.
  ASSERT_TRUE(DeliverUntil([&] { return Path(2) == dropped && Marker(2) == PathMarker::Missing; }));
  EXPECT_EQ(Title(2), "二");
  ASSERT_TRUE(DeliverUntil([&] { return Marker(1) == PathMarker::Missing; }));
  EXPECT_TRUE(seam_.boxes.empty());
  share.Answer();
  ASSERT_TRUE(DeliverUntil([&] { return Marker(1) == PathMarker::Found && Marker(2) == PathMarker::Found; }));
  EXPECT_TRUE(form().Model().Modified());
}

TEST_F(BackgroundTest, ASaveThatDoesNotEndWithinItsLimitIsToldTheWindowGoesOnAndItsResultComesLater) {
  WriteGroup("甲", {{"一", "C:\\一.txt"}, {"二", "C:\\二.txt"}});
  Open();
  static HANDLE gate = nullptr;
  gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  korvane::GroupSaver::before_write_for_tests = [] { WaitForSingleObject(gate, 20000); };
  form().Saver().SetLimit(300);
  ChangeSomething();
  // The save waits where a share that does not answer would: past its
  // limit the user is told which folder, and the change is still unsaved.
  form().MnuSaveClick();
  EXPECT_EQ(seam_.Texts(),
            std::vector<std::string>{korvane::ReportText({korvane::GroupSaver::LateMessage(form().DataFolder())})});
  EXPECT_TRUE(form().Saver().Late());
  EXPECT_TRUE(form().Model().Modified());
  EXPECT_EQ(Current().entries[0].title, "");
  // The window goes on: another change, and a save asked for meanwhile,
  // which follows the first.
  ASSERT_TRUE(form().Model().ClearTitle(2));
  form().MnuSaveClick();
  // Closing asks the usual question; No keeps everything.
  seam_.answer = IDNO;
  EXPECT_FALSE(form().FormCloseQuery());
  ASSERT_EQ(seam_.Texts().size(), 2u);
  EXPECT_EQ(seam_.Texts()[1], "変更は保存されていません。\r\n\r\n終了してもよろしいですか？");
  // The share answers: the first save is taken in, then the second runs.
  SetEvent(gate);
  ASSERT_TRUE(kit::PumpUntil([&] { return !form().Model().Modified() && !form().Saver().Late(); }));
  korvane::GroupSaver::before_write_for_tests = nullptr;
  CloseHandle(gate);
  EXPECT_EQ(korvane::testing::ReadBytes(folder_.File("甲.PTH")), GroupFileBytes({{"", "C:\\一.txt"}, {"", "C:\\二.txt"}}));
  EXPECT_EQ(seam_.Texts().size(), 2u);
}

TEST_F(BackgroundTest, ClosingDuringALaunchAsksFirstAndTheLaunchNeverStartsAfterTheWindowIsGone) {
  const std::string slow = "Q:\\共有\\見積.xls";
  GatedFileSystem share({slow});
  WriteGroup("共有", {{"見積", slow}});
  settle_ = false;
  Open();
  ClickGroup(0);
  Click(CellPoint(0, 1));
  ASSERT_TRUE(form().Launching());
  seam_.answer = IDNO;
  EXPECT_FALSE(form().FormCloseQuery());
  seam_.answer = IDYES;
  EXPECT_TRUE(form().FormCloseQuery());
  EXPECT_EQ(seam_.Texts(), std::vector<std::string>(2, "起動中のファイルがあります。\r\n\r\n終了してもよろしいですか？"));
  CloseWindow();
  share.Answer();
  // The test answers after the end: the worker that asked ends (the end
  // stops the window's workers) without asking the shell.
  EXPECT_TRUE(share.AskersEnded(10000));
  kit::Pump();
  EXPECT_TRUE(seam_.shell_calls.empty());

  // A shell call under way when the window goes ends before it is gone.
  char self[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, self, sizeof self);
  WriteGroup("手元", {{"自分", self}});
  Open();
  ClickGroup(GroupIndex("手元"));
  static std::atomic<HWND> window{nullptr};
  static std::atomic<int> call{0};  // 1: under way, 2: ended with the window there, 3: without
  window = main();
  seam_.on_shell = [] {
    call = 1;
    Sleep(600);
    call = IsWindow(window.load()) ? 2 : 3;
  };
  Click(CellPoint(0, 1));
  ASSERT_TRUE(kit::PumpUntil([&] { return call.load() != 0; }));
  CloseWindow();
  ASSERT_TRUE(kit::PumpUntil([&] { return call.load() > 1; }));
  EXPECT_EQ(call.load(), 2);
}

TEST_F(BackgroundTest, ClosingWhileTheFolderListingHangsAsksWithinTheLimit) {
  WriteGroup("甲", {{"一", "C:\\一.txt"}});
  Open();
  // A folder that sends no notifications, and whose listing does not answer.
  static std::atomic<bool> open{false}, hanging{false};
  korvane::BackgroundWork::before_run_for_tests = [](const std::string& key) {
    if (key != "folder sync: list") return;
    hanging = true;
    for (int i = 0; i < 400 && !open; ++i) Sleep(50);
    hanging = false;
  };
  form().Sync().SetLooks(true);
  form().Sync().wait_limit_ms = 300;
  ChangeSomething();
  // The question comes while the listing still hangs, and says that
  // changes are unsaved; No keeps the window.
  bool asked_while_hanging = false;
  seam_.on_box = [&] { asked_while_hanging = hanging; };
  seam_.answer = IDNO;
  EXPECT_FALSE(form().FormCloseQuery());
  EXPECT_TRUE(asked_while_hanging);
  EXPECT_EQ(seam_.Texts(), std::vector<std::string>{"変更は保存されていません。\r\n\r\n終了してもよろしいですか？"});
  open = true;
  korvane::BackgroundWork::before_run_for_tests = nullptr;
}

TEST_F(BackgroundTest, TheRootOfAPathIsItsShareOrDrive) {
  EXPECT_EQ(korvane::PathRoot("\\\\Server\\Share\\a\\b.xls"), "\\\\server\\share");
  EXPECT_EQ(korvane::PathRoot("\\\\server\\share"), "\\\\server\\share");
  EXPECT_EQ(korvane::PathRoot("\\\\?\\UNC\\Server\\S\\x.txt"), "\\\\server\\s");
  EXPECT_EQ(korvane::PathRoot("\\\\?\\C:\\x.txt"), "c:");
  EXPECT_EQ(korvane::PathRoot("Q:\\共有\\表.xls"), "q:");
  // 表 ends in byte 0x5C: no separator; A in a double-byte name stays.
  EXPECT_EQ(korvane::PathRoot("\\\\サーバ表\\共有\\x"), "\\\\サーバ表\\共有");
  EXPECT_EQ(korvane::PathRoot("表\\x"), "");
  EXPECT_EQ(korvane::PathRoot("relative\\x.txt"), "");
}

}  // namespace
}  // namespace kit
