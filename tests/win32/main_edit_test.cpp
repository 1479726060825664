// Registration mode: the title editor over the title cell, the path chosen
// in the open-file dialog, the Delete key, and an open title edit committed
// before whatever would lose it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/text.h"
#include "data/groupfiles.h"
#include "data/settings.h"
#include "drop_data.h"
#include "groups/name_dialog.h"
#include "kit.h"
#include "ui/wide.h"

namespace kit {
namespace {

constexpr char kCloseQuestion[] = "変更は保存されていません。\r\n\r\n終了してもよろしいですか？";

class MainEditTest : public MainWindowTest {
 protected:
  // 1 a title and an existing file, 2 nothing, 3 a title only, 4 a title
  // and a file the test may take away.
  void OpenWithGroup(int mode = korvane::kModeRegistration) {
    existing_ = folder_.Write("資料.txt");
    later_ = folder_.Write("後で消す.txt");
    WriteGroup("日常業務", {{"元の題名", existing_}, {"", ""}, {"題名あり", ""}, {"消える", later_}});
    WriteGroup("予備", {{"予備の一", ""}});
    Open(mode);
    ClickGroup(GroupIndex("日常業務"));
  }
  // Entry 1's path of 日常業務 becomes `path` elsewhere; waits until the
  // window has read the file.
  void PathChangedElsewhere(const std::string& path) {
    const std::size_t reads = form().Sync().FilesRead();
    WriteGroup("日常業務", {{"元の題名", path}, {"", ""}, {"題名あり", ""}, {"消える", later_}});
    EXPECT_TRUE(PumpUntil([&] { return form().Sync().FilesRead() > reads && !form().Sync().Busy(); }));
  }
  // Moves the current cell with the arrow keys.
  void GoTo(int col, int row) {
    ui::DrawGrid& g = form().DGMain;
    while (g.Row() < row) Key(VK_DOWN);
    while (g.Row() > row) Key(VK_UP);
    while (g.Col() < col) Key(VK_RIGHT);
    while (g.Col() > col) Key(VK_LEFT);
    ASSERT_EQ(g.Col(), col);
    ASSERT_EQ(g.Row(), row);
  }
  bool Editing() { return IsWindowVisible(editor()) && form().Marks().title_editing; }
  // After an edit of either kind: every marker back at rest.
  void ExpectIdle() {
    EXPECT_EQ(form().Marks().edit_row, -1);
    EXPECT_EQ(form().TargetRow(), -1);
    EXPECT_FALSE(form().Marks().title_editing);
    EXPECT_FALSE(IsWindowVisible(editor()));
    EXPECT_EQ(form().EdtTitle.Text(), "");
  }
  // The section of a group file on disk, from its header to the next one.
  std::string Section(const std::string& file, const std::string& name) {
    const std::string bytes = korvane::Utf8FromCp932(folder_.Read(file));
    const std::size_t at = bytes.find("[" + name + "]");
    if (at == std::string::npos) return {};
    const std::size_t end = bytes.find("\r\n[", at);
    return bytes.substr(at, end == std::string::npos ? std::string::npos : end - at);
  }
  std::string existing_, later_;
};

TEST_F(MainEditTest, F2OpensTheEditorOverTheTitleCellAndEnterLeavesItUnchanged) {
  OpenWithGroup();
  Key(VK_F2);
  ASSERT_TRUE(Editing());
  EXPECT_EQ(GetFocus(), editor());
  EXPECT_EQ(form().Marks().edit_row, 1);
  EXPECT_EQ(form().TargetRow(), 1);
  EXPECT_EQ(form().EdtTitle.Text(), "元の題名");
  EXPECT_EQ(form().EdtTitle.GetSelection().start, 0u);
  EXPECT_EQ(form().EdtTitle.GetSelection().end, 4u) << "four UTF-16 units";
  EXPECT_FALSE(form().EdtTitle.Modified());
  // Placed 20 px into the cell, vertically centred and 4 px lower, 23 px
  // narrower than the cell, 20 px high.
  const ui::Bounds g = ui::BoundsOf(grid());
  const RECT cell = Cell(1, 1);
  const ui::Bounds e = ui::BoundsOf(editor());
  EXPECT_EQ(e.x, g.x + cell.left + 20);
  EXPECT_EQ(e.y, g.y + cell.top + 14);
  EXPECT_EQ(e.width, cell.right - cell.left - 23);
  EXPECT_EQ(e.height, 20);
  // The row is white; the title cell shows neither title nor icon under the
  // editor; the path and the launch button are painted as before.
  auto p = PaintGrid();
  EXPECT_EQ(CountOther(*p, Cell(1, 1), {kWhite, kGray}), 0);
  EXPECT_EQ(Hex(p->at(Cell(2, 1).right - 8, Cell(2, 1).top + 5)), Hex(kWhite));
  EXPECT_GT(CountColor(*p, Cell(2, 1), kPathFace), 100);
  EXPECT_GT(CountColor(*p, Cell(0, 1), kBlue), 100);
  EXPECT_EQ(Hex(p->at(Cell(1, 2).right - 8, Cell(1, 2).top + 5)), Hex(kLightGray));
  // On the screen the editor lies above the grid: its text shows, selected.
  RedrawWindow(form().hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT shown{};
  GetWindowRect(editor(), &shown);
  HDC screen = GetDC(nullptr);
  int selected = 0;
  for (int y = shown.top; y < shown.bottom; ++y)
    for (int x = shown.left; x < shown.right; ++x) selected += GetPixel(screen, x, y) == GetSysColor(COLOR_HIGHLIGHT);
  ReleaseDC(nullptr, screen);
  EXPECT_GT(selected, 100);

  // Enter: the focus goes back to the grid, nothing was typed, nothing
  // changes.
  Key(VK_RETURN);
  EXPECT_EQ(GetFocus(), grid());
  ExpectIdle();
  EXPECT_EQ(Title(1), "元の題名");
  EXPECT_FALSE(form().Model().Modified());
  p = PaintGrid();
  EXPECT_GT(CountColor(*p, Cell(1, 1), kBlack), 10);

  // Again from the keyboard alone: Enter opens it, Enter closes it, and
  // the focus is on the grid each time.
  for (int round = 0; round < 2; ++round) {
    Key(VK_RETURN);
    ASSERT_TRUE(Editing());
    EXPECT_EQ(GetFocus(), editor());
    Key(VK_RETURN);
    EXPECT_EQ(GetFocus(), grid()) << "round " << round;
    ExpectIdle();
  }
  // Tab leaves it for the grid as well.
  Key(VK_F2);
  ASSERT_TRUE(Editing());
  Key(VK_TAB);
  EXPECT_EQ(GetFocus(), grid());
  ExpectIdle();
  EXPECT_FALSE(form().Model().Modified());
}


// Hiding to the tray and back is no reason to end an edit.
TEST_F(MainEditTest, HidingToTheTrayAndBackLeavesTheEditorOpen) {
  OpenWithGroup();
  Key(VK_F2);
  ASSERT_TRUE(Editing());
  Type("abc");
  form().EdtTitle.SetSelection(1, 1);
  PostMessageA(form().hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(kit::PumpUntil([&] { return form().HiddenInTray() && !IsWindowVisible(form().hwnd()); }));
  EXPECT_TRUE(form().Marks().title_editing);
  EXPECT_EQ(Title(1), "元の題名");
  PostMessageA(form().hwnd(), korvane::kTrayMessage, 1, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(kit::PumpUntil([&] { return !form().HiddenInTray() && GetFocus() == editor(); }, 3000));
  EXPECT_TRUE(Editing());
  EXPECT_EQ(form().EdtTitle.Text(), "abc");
  EXPECT_EQ(form().EdtTitle.GetSelection().start, 1u);
  EXPECT_EQ(form().EdtTitle.GetSelection().end, 1u);
  Key(VK_RETURN);
  EXPECT_EQ(Title(1), "abc");
}
TEST_F(MainEditTest, ADoubleClickOnATitleCellOpensTheEditorThere) {
  OpenWithGroup();
  DoubleClick(CellPoint(1, 3));
  ASSERT_TRUE(Editing());
  EXPECT_EQ(GetFocus(), editor());
  EXPECT_EQ(form().TargetRow(), 3);
  EXPECT_EQ(form().EdtTitle.Text(), "題名あり");
  EXPECT_EQ(ui::BoundsOf(editor()).y, ui::BoundsOf(grid()).y + Cell(1, 3).top + 14);
  Type("三番目");
  Key(VK_RETURN);
  EXPECT_EQ(Title(3), "三番目");
  EXPECT_EQ(GetFocus(), grid());
  // Double clicks on a launch button and on the header start no edit.
  DoubleClick(CellPoint(1, 0));
  EXPECT_FALSE(Editing());
  EXPECT_TRUE(seam_.dialogs.empty());
}

TEST_F(MainEditTest, WhatIsTypedIsStoredAsTyped) {
  OpenWithGroup();
  // Typing replaces the selected title.
  Key(VK_F2);
  Type(" 新しい題名 ");
  Key(VK_RETURN);
  EXPECT_EQ(Title(1), " 新しい題名 ");
  EXPECT_TRUE(form().Model().Modified());
  form().Model().ClearModified();

  // Typing the same text again still counts as a change.
  Key(VK_F2);
  Type(" 新しい題名 ");
  EXPECT_EQ(form().EdtTitle.Text(), " 新しい題名 ");
  Key(VK_RETURN);
  EXPECT_EQ(Title(1), " 新しい題名 ");
  EXPECT_TRUE(form().Model().Modified());
  form().Model().ClearModified();

  // Emptying the editor stores an empty title; the path stays.
  Key(VK_F2);
  Key(VK_DELETE);
  Key(VK_RETURN);
  EXPECT_EQ(Title(1), "");
  EXPECT_EQ(Path(1), existing_);
  EXPECT_TRUE(form().Model().Modified());
}

TEST_F(MainEditTest, ATitleHoldsFortyUnitsAndNoHalfCharacter) {
  OpenWithGroup();
  GoTo(1, 2);
  Key(VK_F2);
  std::string text = "a";
  for (int i = 0; i < 19; ++i) text += "あ";
  Type(text);
  ASSERT_EQ(korvane::TextUnits(form().EdtTitle.Text()), 39u);
  Type("い");  // two units: no room
  EXPECT_EQ(form().EdtTitle.Text(), text);
  Type("bc");
  Key(VK_RETURN);
  EXPECT_EQ(Title(2), text + "b");
  EXPECT_EQ(korvane::TextUnits(Title(2)), 40u);
}

TEST_F(MainEditTest, DeleteClearsTheTitleOrThePathInRegistrationMode) {
  OpenWithGroup();
  // An empty entry: the flag is set all the same.
  GoTo(1, 2);
  Key(VK_DELETE);
  EXPECT_TRUE(form().Model().Modified());
  form().Model().ClearModified();

  GoTo(1, 1);
  Key(VK_DELETE);
  EXPECT_EQ(Title(1), "");
  EXPECT_EQ(Path(1), existing_);
  EXPECT_EQ(Marker(1), korvane::PathMarker::Found);
  EXPECT_TRUE(form().Model().Modified());
  form().Model().ClearModified();
  // The grid shows it at once: no title text in the cell.
  auto p = PaintGrid();
  EXPECT_EQ(CountColor(*p, RECT{Cell(1, 1).left + 38, Cell(1, 1).top, Cell(1, 1).right, Cell(1, 1).bottom}, kBlack),
            0);

  GoTo(2, 4);
  Key(VK_DELETE);
  EXPECT_EQ(Path(4), "");
  EXPECT_EQ(Marker(4), korvane::PathMarker::NoPath);
  EXPECT_EQ(Title(4), "消える");
  EXPECT_TRUE(form().Model().Modified());
  // The key is not consumed: the grid's own keys go on working.
  Key(VK_DOWN);
  EXPECT_EQ(form().DGMain.Row(), 5);
  EXPECT_TRUE(seam_.boxes.empty());
}

TEST_F(MainEditTest, DeleteClearsTheTitleInLauncherMode) {
  OpenWithGroup(korvane::kModeLauncher);
  GoTo(1, 4);
  Key(VK_DELETE);
  EXPECT_EQ(Title(4), "");
  EXPECT_EQ(Path(4), later_);
  EXPECT_TRUE(form().Model().Modified());
  // Enter and F2 launch here: no edit opens.
  Key(VK_F2);
  EXPECT_FALSE(Editing());
  EXPECT_EQ(seam_.shell_calls.size(), 1u);
}

TEST_F(MainEditTest, AChosenFileGivesThePathTheMarkerAndATitleWhenThereIsNone) {
  const std::string report = folder_.Write("report.txt");
  const std::string archive = folder_.Write("archive.tar.gz");
  folder_.MakeFolder("ソフト");
  const std::string trail = folder_.Write("ソフト\\予定表.txt");  // 表 ends in byte 0x5C
  OpenWithGroup();
  GoTo(2, 2);
  seam_.dialog_answer = report;
  int edit_row_in_dialog = 0;
  bool title_editing_in_dialog = true;
  COLORREF title_cell_in_dialog = 0;
  seam_.on_dialog = [&] {
    edit_row_in_dialog = form().Marks().edit_row;
    title_editing_in_dialog = form().Marks().title_editing;
    auto p = PaintGrid();
    title_cell_in_dialog = p->at(Cell(1, 2).right - 8, Cell(1, 2).top + 5);
  };
  Key(VK_RETURN);
  ASSERT_EQ(seam_.dialogs.size(), 1u);
  const FakeSeam::DialogCall& d = seam_.dialogs[0];
  EXPECT_EQ(d.owner, form().hwnd());
  EXPECT_EQ(d.initial_name, "");
  const char filter[] = "すべてのファイル(*.*)\0*.*\0\0";
  EXPECT_EQ(d.filter, std::string(filter, sizeof filter - 1));
  const DWORD options = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_SHAREAWARE | OFN_ENABLESIZING;
  EXPECT_EQ(d.flags & options, options);
  EXPECT_FALSE(d.flags & OFN_ALLOWMULTISELECT);
  EXPECT_FALSE(d.has_initial_dir);
  EXPECT_FALSE(d.has_title);
  EXPECT_GE(d.buffer_size, static_cast<DWORD>(MAX_PATH));
  // While the dialog is up the whole row is white.
  EXPECT_EQ(edit_row_in_dialog, 2);
  EXPECT_FALSE(title_editing_in_dialog);
  EXPECT_EQ(Hex(title_cell_in_dialog), Hex(kWhite));
  EXPECT_EQ(Path(2), report);
  EXPECT_EQ(Marker(2), korvane::PathMarker::Found);
  EXPECT_EQ(Title(2), "report");
  EXPECT_TRUE(form().Model().Modified());
  ExpectIdle();
  seam_.on_dialog = nullptr;

  // The last extension only; a title that is there stays; a 0x5C trail
  // byte is no folder separator.
  const auto choose = [&](int row, const std::string& file) {
    GoTo(2, row);
    seam_.dialog_answer = file;
    Key(VK_F2);
    EXPECT_EQ(Path(row), file);
  };
  choose(2, archive);
  EXPECT_EQ(Title(2), "report");
  Key(VK_LEFT);
  Key(VK_DELETE);
  choose(2, archive);
  EXPECT_EQ(Title(2), "archive.tar");
  choose(3, report);
  EXPECT_EQ(Title(3), "題名あり");
  choose(5, trail);
  EXPECT_EQ(Title(5), "予定表");
  EXPECT_EQ(Marker(5), korvane::PathMarker::Found);
  // A file gone by the time of the test: marked missing; a long name is cut to
  // 40 units without splitting a character.
  std::string long_name = "a";
  for (int i = 0; i < 20; ++i) long_name += "あ";
  choose(6, folder_.path() + long_name + ".txt");
  EXPECT_EQ(Marker(6), korvane::PathMarker::Missing);
  EXPECT_EQ(Title(6), long_name.substr(0, 1 + 19 * 3)) << "a and nineteen あ: 39 units";
  // The dialog starts from the entry's path.
  EXPECT_EQ(seam_.dialogs.back().initial_name, "");
  choose(6, report);
  EXPECT_EQ(seam_.dialogs.back().initial_name, folder_.path() + long_name + ".txt");
  ExpectIdle();

  // Entry 1's path changed elsewhere while the dialog is up: the file
  // chosen is a clash, told at the save.
  GoTo(2, 1);
  seam_.dialog_answer = report;
  seam_.on_dialog = [&] { PathChangedElsewhere(later_); };
  Key(VK_RETURN);
  seam_.on_dialog = nullptr;
  EXPECT_EQ(Path(1), report);
  CtrlKey('S');
  ASSERT_FALSE(seam_.boxes.empty());
  EXPECT_NE(seam_.boxes.back().text.find(korvane::ClashEntryMessage("日常業務", 1, false, true)), std::string::npos)
      << seam_.boxes.back().text;
}

TEST_F(MainEditTest, ACancelledDialogOnlyRechecksTheMarker) {
  OpenWithGroup();
  ASSERT_EQ(Marker(4), korvane::PathMarker::Found);
  ASSERT_TRUE(DeleteFileW(ui::Wide(later_).c_str()));
  GoTo(2, 4);
  seam_.dialog_answer.reset();
  Key(VK_RETURN);
  ASSERT_EQ(seam_.dialogs.size(), 1u);
  EXPECT_EQ(seam_.dialogs[0].initial_name, later_);
  EXPECT_EQ(Path(4), later_);
  EXPECT_EQ(Marker(4), korvane::PathMarker::Missing);
  EXPECT_EQ(Title(4), "消える");
  EXPECT_FALSE(form().Model().Modified());
  ExpectIdle();
  // A double click on a path cell opens the dialog too; back again, the
  // file is found.
  folder_.Write("後で消す.txt");
  DoubleClick(CellPoint(2, 4));
  EXPECT_EQ(seam_.dialogs.size(), 2u);
  EXPECT_EQ(Marker(4), korvane::PathMarker::Found);
  EXPECT_FALSE(form().Model().Modified());
  ExpectIdle();

  // Cancelled while entry 1's path changed elsewhere: the other place's
  // path comes in once the dialog is closed.
  GoTo(2, 1);
  seam_.on_dialog = [&] { PathChangedElsewhere(later_); };
  Key(VK_RETURN);
  EXPECT_TRUE(PumpUntil([&] { return Path(1) == later_; }));
}

TEST_F(MainEditTest, EnterAndF2DoNothingWhenTheCurrentCellIsScrolledAway) {
  OpenWithGroup();
  for (int col = 1; col <= 2; ++col) {
    GoTo(col, 1);
    for (int i = 0; i < 3; ++i) PostMessageA(grid(), WM_VSCROLL, SB_PAGEDOWN, 0);
    Pump();
    ASSERT_EQ(Cell(col, 1).left, 0);
    Key(VK_RETURN);
    Key(VK_F2);
    EXPECT_FALSE(Editing());
    EXPECT_TRUE(seam_.dialogs.empty());
    EXPECT_EQ(form().Marks().edit_row, -1);
    PostMessageA(grid(), WM_VSCROLL, SB_TOP, 0);
    Pump();
  }
}

// An open title edit is committed (its text into the entry of the group it
// began in) before whatever would lose it: every trigger of that rule.
class CommitFirstTest;
struct Trigger {
  const char* name;
  void (CommitFirstTest::*run)();
};

class CommitFirstTest : public MainEditTest, public ::testing::WithParamInterface<Trigger> {
 public:
  static constexpr char kTyped[] = "入力中の題名";

  // Ctrl+S from inside the editor; the Save button, which takes no focus,
  // so the editor keeps it until the command commits the edit.
  void SaveKey() {
    CtrlKey('S');
    ExpectSaved();
  }
  void SaveButton() {
    ClickButton(form().SpbSave.hwnd());
    ExpectSaved();
  }
  void CloseQuestion() {
    seam_.answer = IDNO;
    PostMessageA(form().hwnd(), WM_CLOSE, 0, 0);
    Pump();
    ASSERT_EQ(seam_.boxes.size(), 1u);
    EXPECT_EQ(seam_.boxes[0].text, kCloseQuestion);
    ExpectCommitted();
    EXPECT_TRUE(form().Model().Modified());
    EXPECT_TRUE(IsWindowVisible(form().hwnd()));
  }
  // Into its own group, not the one selected next.
  void GroupChange() {
    const int own = GroupIndex("日常業務");
    ClickGroup(GroupIndex("予備"));
    EXPECT_FALSE(Editing());
    EXPECT_EQ(form().Model().GroupAt(static_cast<std::size_t>(own)).entries[0].title, kTyped);
    EXPECT_EQ(Title(1), "予備の一");
    EXPECT_TRUE(form().Model().Modified());
  }
  void LaunchPress() {
    Press(WM_LBUTTONDOWN, CellPoint(0, 1));
    ExpectCommitted();
    EXPECT_EQ(GetFocus(), grid());
    EXPECT_EQ(form().Marks().pressed_row, 1);
    Release(WM_LBUTTONUP, CellPoint(0, 1));
    ASSERT_EQ(seam_.shell_calls.size(), 1u);
    EXPECT_EQ(seam_.shell_calls[0].file, existing_);
  }
  void DroppedFile() {
    const std::string dropped = folder_.Write("z.txt");
    POINT pt = CellPoint(1, 1);
    ClientToScreen(grid(), &pt);
    const POINTL at{pt.x, pt.y};
    auto* data = new HdropData(MakeHdrop(std::vector<std::string>{dropped}));
    DWORD effect = DROPEFFECT_COPY;
    IDropTarget* target = form().GridDropTarget();
    ASSERT_NE(target, nullptr);
    target->DragEnter(data, MK_LBUTTON, at, &effect);
    target->Drop(data, MK_LBUTTON, at, &effect);
    data->Release();
    Pump();
    ExpectCommitted();
    EXPECT_EQ(Path(1), dropped);
  }
  void NewGroupCommand() {
    InNameDialog(&korvane::TFrmFR0010MN::MnuNewGroupClick, "TFrmFR0030NG", [this](korvane::GroupNameDialog& d) {
      ExpectCommitted();
      d.EndModal(ui::kModalCancel);
    });
    EXPECT_EQ(form().Model().GroupCount(), 2u);
  }
  void RenameCommand() {
    InNameDialog(&korvane::TFrmFR0010MN::MnuChangeNameClick, "TFrmFR0040CG", [this](korvane::GroupNameDialog& d) {
      ExpectCommitted();
      d.EdtNewGroup.SetText("経理");
      PostButton(d.BtnOK.hwnd(), WM_LBUTTONDOWN, 10, 10);
    });
    EXPECT_EQ(form().Model().GroupAt(static_cast<std::size_t>(GroupIndex("経理"))).entries[0].title, kTyped);
  }
  // Committed before the question; afterwards nothing went into another
  // group and the focus left the editor.
  void DeleteCommand() {
    const std::vector<korvane::Entry> other = form().Model().GroupAt(static_cast<std::size_t>(GroupIndex("予備"))).entries;
    bool committed_before_question = false;
    seam_.on_box = [&] {
      committed_before_question = !IsWindowVisible(editor()) && form().Model().Current() &&
                                  form().Model().Current()->entries[0].title == kTyped;
    };
    seam_.answer = IDYES;
    form().MnuDeleteGroupClick();
    seam_.on_box = nullptr;
    EXPECT_TRUE(committed_before_question);
    EXPECT_EQ(form().Model().Names(), std::vector<std::string>{"予備"});
    EXPECT_FALSE(IsWindowVisible(editor()));
    EXPECT_EQ(form().EdtTitle.Text(), "");
    EXPECT_EQ(form().Model().GroupAt(0).entries[0].title, other[0].title);
    EXPECT_NE(GetFocus(), editor());
  }

 protected:
  void ExpectCommitted() {
    EXPECT_FALSE(Editing());
    EXPECT_EQ(Title(1), kTyped);
  }
  void ExpectSaved() {
    ExpectCommitted();
    EXPECT_NE(Section("日常業務.PTH", "01").find(std::string("TITLE=") + kTyped + "\r\n"), std::string::npos);
    EXPECT_FALSE(form().Model().Modified());
    EXPECT_EQ(GetFocus(), grid());
    EXPECT_TRUE(seam_.boxes.empty());
  }
  // Runs a group command while a step waits for its name dialog, then runs
  // `then` on it.
  void InNameDialog(void (korvane::TFrmFR0010MN::*command)(), const char* cls,
                    std::function<void(korvane::GroupNameDialog&)> then) {
    const auto up = [cls]() -> korvane::GroupNameDialog* {
      HWND h = FindWindowA(cls, nullptr);
      return h && IsWindowVisible(h) ? dynamic_cast<korvane::GroupNameDialog*>(ui::Form::FromHwnd(h)) : nullptr;
    };
    Script script({[&] {
                    if (korvane::GroupNameDialog* d = up()) then(*d);
                    else RunAgain();
                  }},
                  [&] {
                    if (korvane::GroupNameDialog* d = up()) d->EndModal(ui::kModalCancel);
                  });
    (form().*command)();
    EXPECT_TRUE(script.finished());
  }
};

TEST_P(CommitFirstTest, AnOpenTitleEditIsCommittedFirst) {
  OpenWithGroup();
  Key(VK_F2);
  Type(kTyped);
  ASSERT_TRUE(Editing());
  ASSERT_EQ(Title(1), "元の題名");
  (this->*GetParam().run)();
}

INSTANTIATE_TEST_SUITE_P(
    Triggers, CommitFirstTest,
    ::testing::Values(Trigger{"SaveKey", &CommitFirstTest::SaveKey}, Trigger{"SaveButton", &CommitFirstTest::SaveButton},
                      Trigger{"CloseQuestion", &CommitFirstTest::CloseQuestion},
                      Trigger{"GroupChange", &CommitFirstTest::GroupChange},
                      Trigger{"LaunchPress", &CommitFirstTest::LaunchPress},
                      Trigger{"DroppedFile", &CommitFirstTest::DroppedFile},
                      Trigger{"NewGroupCommand", &CommitFirstTest::NewGroupCommand},
                      Trigger{"RenameCommand", &CommitFirstTest::RenameCommand},
                      Trigger{"DeleteCommand", &CommitFirstTest::DeleteCommand}),
    [](const ::testing::TestParamInfo<Trigger>& info) { return std::string(info.param.name); });

TEST_F(MainEditTest, TheEditorStaysOpenAcrossAModeSwitch) {
  OpenWithGroup();
  Key(VK_F2);
  Type("切替中");
  const ui::Bounds before = ui::BoundsOf(editor());
  ClickButton(form().SpbRun.hwnd());
  ASSERT_EQ(form().Mode(), korvane::kModeLauncher);
  ASSERT_TRUE(Editing());
  EXPECT_EQ(GetFocus(), editor());
  const ui::Bounds after = ui::BoundsOf(editor());
  EXPECT_EQ(after.x, before.x);
  EXPECT_EQ(after.y, before.y);
  EXPECT_EQ(after.width, form().DGMain.ColWidth(1) - 23);
  EXPECT_GT(after.width, before.width);
  // A change of the window's width: only the editor's width follows.
  form().SetWidth(form().Width() + 60);
  Pump();
  ASSERT_TRUE(Editing());
  const ui::Bounds resized = ui::BoundsOf(editor());
  EXPECT_EQ(resized.x, before.x);
  EXPECT_EQ(resized.y, before.y);
  EXPECT_EQ(resized.width, after.width + 60);
  // The mode menu's item switches back as the other button does.
  EXPECT_TRUE(form().MainMenu().Run(korvane::kIdRegistrationMode));
  EXPECT_EQ(form().Mode(), korvane::kModeRegistration);
  EXPECT_TRUE(form().SpbInput.Down());
  EXPECT_TRUE(Editing());
  EXPECT_EQ(GetFocus(), editor());
  Key(VK_RETURN);
  EXPECT_EQ(Title(1), "切替中");
  EXPECT_EQ(GetFocus(), grid());
}

TEST_F(MainEditTest, TheKeyboardAloneEditsAndSaves) {
  OpenWithGroup();
  Key(VK_DOWN);
  Key(VK_F2);
  Type("キーだけ");
  Key(VK_RETURN);
  CtrlKey('S');
  EXPECT_NE(Section("日常業務.PTH", "02").find("TITLE=キーだけ\r\n"), std::string::npos);
  EXPECT_FALSE(form().Model().Modified());
}

// Answers the system's own open-file dialog of this thread by typing a
// full name into its name box and pressing OK, from a timer.
class DialogTyper {
 public:
  explicit DialogTyper(std::string name) : name_(std::move(name)) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 50, &DialogTyper::Tick);
  }
  ~DialogTyper() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool typed = false;

 private:
  static BOOL CALLBACK Find(HWND h, LPARAM lp) {
    char cls[16] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(h)) return TRUE;
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogTyper* self = current_;
    if (!self || self->typed) return;
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &DialogTyper::Find, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog || !GetDlgItem(dialog, 0x47C)) return;
    SetDlgItemTextW(dialog, 0x47C, ui::Wide(self->name_).c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    self->typed = true;
  }
  static inline DialogTyper* current_ = nullptr;
  std::string name_;
  UINT_PTR timer_ = 0;
};

TEST_F(MainEditTest, TheRealOpenFileDialogTakesATypedName) {
  const std::string chosen = folder_.Write("報告書.txt");
  OpenWithGroup();
  GoTo(2, 2);
  seam_.real_dialog = true;
  DialogTyper typer(chosen);
  Key(VK_RETURN);
  EXPECT_TRUE(typer.typed);
  ASSERT_EQ(seam_.dialogs.size(), 1u);
  EXPECT_EQ(Path(2), chosen);
  EXPECT_EQ(Title(2), "報告書");
  EXPECT_EQ(Marker(2), korvane::PathMarker::Found);
  EXPECT_TRUE(form().Model().Modified());
  ExpectIdle();
}

}  // namespace
}  // namespace kit
