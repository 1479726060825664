// Arranging entries in the main window with real mouse and key messages:
// the drag within the grid and onto the group list, Alt+Up/Down, cut, copy
// and paste, the entry menu, and undo/redo of every kind of change with
// the edit menu's captions and the status bar's word on unsaved changes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/history.h"
#include "grid/entry_arranger.h"
#include "kit.h"
#include "ui/wide.h"

namespace kit {
namespace {

constexpr COLORREF kMark = RGB(0, 0, 128);
constexpr char kUnsaved[] = "未保存の変更があります";

// On the next popup menu of this thread: records its items, then chooses
// the item at `pick` with the keyboard (or closes the menu for -1).
class MenuChooser {
 public:
  explicit MenuChooser(HWND keys_to, int pick) : keys_to_(keys_to), pick_(pick) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 20, &MenuChooser::Tick);
  }
  ~MenuChooser() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  int seen = 0;
  std::vector<std::string> captions;
  std::vector<bool> enabled;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    MenuChooser* self = current_;
    HWND window = FindWindowA("#32768", nullptr);
    if (!self || self->seen || !window || !IsWindowVisible(window)) return;
    auto menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    if (!menu) return;
    ++self->seen;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[128] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), text, static_cast<int>(std::size(text)), MF_BYPOSITION);
      self->captions.push_back(ui::Narrow(text));
      self->enabled.push_back(!(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)));
    }
    if (self->pick_ < 0) {
      EndMenu();
      return;
    }
    for (int i = 0; i <= self->pick_; ++i) PostKey(self->keys_to_, VK_DOWN);
    PostKey(self->keys_to_, VK_RETURN);
  }
  static inline MenuChooser* current_ = nullptr;
  HWND keys_to_;
  int pick_;
  UINT_PTR timer_ = 0;
};

class MainArrangeTest : public MainWindowTest {
 protected:
  MainArrangeTest() { ParkPointer(); }

  korvane::LauncherModel& Model() { return form().Model(); }
  korvane::EntryArranger& Arranger() { return form().Arranger(); }
  std::vector<std::string> Titles(int count = 6) {
    std::vector<std::string> titles;
    for (int n = 1; n <= count; ++n) titles.push_back(Title(n));
    return titles;
  }
  const korvane::Group& Named(const std::string& name) {
    return Model().GroupAt(static_cast<std::size_t>(GroupIndex(name)));
  }
  // The pointer moves over the grid (client coordinates, the list's too).
  void Move(POINT at, WPARAM keys = MK_LBUTTON) {
    PostMessageW(grid(), WM_MOUSEMOVE, keys, MAKELPARAM(at.x, at.y));
    Pump();
  }
  // The centre of a group row in the grid's client coordinates.
  POINT ListPoint(int row) {
    POINT pt = GroupPoint(row);
    ClientToScreen(list(), &pt);
    ScreenToClient(grid(), &pt);
    return pt;
  }
  // Pressed on `from`, moved beyond the drag rectangle and to `to`.
  void DragTo(POINT from, POINT to) {
    Press(WM_LBUTTONDOWN, from);
    Move(POINT{from.x, from.y + GetSystemMetrics(SM_CYDRAG) + 1});
    Move(to);
  }
  void AltKey(UINT vk) {
    HeldKey alt(VK_MENU);
    PostMessageW(GetFocus(), WM_SYSKEYDOWN, vk, 1 | (1u << 29));
    PostMessageW(GetFocus(), WM_SYSKEYUP, vk, 1 | (1u << 29) | 0xC0000000u);
    Pump();
  }
  std::string Status() { return form().StbInfo.Text(); }
  std::string UndoItem() { return form().MainMenu().Caption(korvane::TFrmFR0010MN::kIdUndo); }
  std::string RedoItem() { return form().MainMenu().Caption(korvane::TFrmFR0010MN::kIdRedo); }
};

const std::vector<Entry> kSix = {{"t1", "C:\\1.txt"}, {"t2", ""}, {"t3", ""},
                                 {"t4", ""},          {"t5", "C:\\5.txt"}, {"t6", ""}};

TEST_F(MainArrangeTest, ADragBeyondTheThresholdReordersWithAMarkAClickOrDoubleClickStaysWhatItWas) {
  WriteGroup("A", kSix);
  Open();
  ClickGroup(0);
  const std::vector<std::string> start = {"t1", "t2", "t3", "t4", "t5", "t6"};
  EXPECT_EQ(Status(), "");

  // Within the drag rectangle the press stays a click: the row is current,
  // nothing moves.
  const POINT p5 = CellPoint(1, 5);
  Press(WM_LBUTTONDOWN, p5);
  EXPECT_EQ(Arranger().PressedRow(), 5);
  Move(POINT{p5.x + GetSystemMetrics(SM_CXDRAG), p5.y - GetSystemMetrics(SM_CYDRAG)});
  EXPECT_FALSE(Arranger().Dragging());
  Release(WM_LBUTTONUP, p5);
  EXPECT_EQ(Titles(), start);
  EXPECT_EQ(form().DGMain.Row(), 5);
  EXPECT_FALSE(Model().Modified());

  // Entry 5 dragged by its path cell onto row 2: the mark lies on row 2's
  // top edge while the button is held; the entries between shift down.
  DragTo(CellPoint(2, 5), CellPoint(1, 2));
  EXPECT_TRUE(Arranger().Dragging());
  EXPECT_EQ(Arranger().TargetRow(), 2);
  {
    auto px = PaintGrid();
    const RECT r2 = Cell(1, 2);
    EXPECT_EQ(px->at(r2.left + 30, r2.top + 1), kMark);
    EXPECT_NE(px->at(r2.left + 30, r2.bottom - 2), kMark);
    const RECT r5 = Cell(1, 5);
    EXPECT_EQ(CountColor(*px, r5, kMark), 0);
  }
  Release(WM_LBUTTONUP, CellPoint(1, 2));
  EXPECT_EQ(Titles(), (std::vector<std::string>{"t1", "t5", "t2", "t3", "t4", "t6"}));
  EXPECT_EQ(Path(2), "C:\\5.txt");
  EXPECT_EQ(Marker(2), korvane::PathMarker::Missing);  // its marker went along
  EXPECT_EQ(form().DGMain.Row(), 2);
  EXPECT_FALSE(Arranger().Dragging());
  EXPECT_EQ(CountColor(*PaintGrid(), Cell(1, 2), kMark), 0);
  EXPECT_EQ(Status(), kUnsaved);
  EXPECT_EQ(UndoItem(), "元に戻す(&U) 並べ替え\tCtrl+Z");

  // Downwards the mark is on the bottom edge of the row taken.
  DragTo(CellPoint(1, 1), CellPoint(1, 3));
  {
    auto px = PaintGrid();
    const RECT r3 = Cell(1, 3);
    EXPECT_EQ(px->at(r3.left + 30, r3.bottom - 2), kMark);
    EXPECT_NE(px->at(r3.left + 30, r3.top + 1), kMark);
  }
  // Escape ends the drag; the release then changes nothing.
  Key(VK_ESCAPE);
  EXPECT_FALSE(Arranger().Dragging());
  Release(WM_LBUTTONUP, CellPoint(1, 3));
  EXPECT_EQ(Title(1), "t1");
  // So does a lost capture.
  DragTo(CellPoint(1, 1), CellPoint(1, 3));
  ReleaseCapture();
  Pump();
  EXPECT_FALSE(Arranger().Dragging());
  Release(WM_LBUTTONUP, CellPoint(1, 3));
  EXPECT_EQ(Title(1), "t1");

  // Ctrl+Z puts the order back, Ctrl+Y redoes it.
  CtrlKey('Z');
  EXPECT_EQ(Titles(), start);
  EXPECT_EQ(form().DGMain.Row(), 5);
  EXPECT_FALSE(Model().Modified());
  EXPECT_EQ(Status(), "");
  EXPECT_FALSE(form().MainMenu().Enabled(korvane::TFrmFR0010MN::kIdUndo));
  EXPECT_EQ(RedoItem(), "やり直し(&R) 並べ替え\tCtrl+Y");
  CtrlKey('Y');
  EXPECT_EQ(Title(2), "t5");

  // A double click still edits, and starts no drag.
  DoubleClick(CellPoint(1, 3));
  EXPECT_EQ(GetFocus(), editor());
  EXPECT_TRUE(IsWindowVisible(editor()));
  EXPECT_EQ(Arranger().PressedRow(), 0);
  // In launcher mode a press never drags.
  Key(VK_RETURN);
  ClickButton(form().SpbRun.hwnd());
  DragTo(CellPoint(1, 4), CellPoint(1, 1));
  EXPECT_FALSE(Arranger().Dragging());
  Release(WM_LBUTTONUP, CellPoint(1, 1));
  EXPECT_EQ(Title(4), "t3");
}

TEST_F(MainArrangeTest, ADropOnAGroupMovesOrWithCtrlCopiesIntoItsFirstEmptyRowAFullGroupRefuses) {
  WriteGroup("A", {{"a1", "C:\\a1.txt"}, {"a2", "C:\\a2.txt"}, {"a3", ""}});
  WriteGroup("B", {{"b1", ""}, {}, {"b3", ""}});
  std::vector<Entry> full(korvane::kEntryCount, Entry{"c", ""});
  WriteGroup("C", full);
  Open();
  const int a = GroupIndex("A");
  const int b = GroupIndex("B");
  const int c = GroupIndex("C");
  ClickGroup(a);

  DragTo(CellPoint(1, 1), ListPoint(b));
  EXPECT_EQ(Arranger().TargetGroup(), b);
  EXPECT_EQ(Arranger().TargetRow(), 0);
  Release(WM_LBUTTONUP, ListPoint(b));
  EXPECT_EQ(Named("A").entries[0], korvane::Entry{});
  EXPECT_EQ(Named("B").entries[1].title, "a1");
  EXPECT_EQ(Named("B").entries[1].path, "C:\\a1.txt");
  EXPECT_EQ(form().StbInfo.Text(), "「a1」を業務「B」の 2 行目へ移動しました。");
  EXPECT_EQ(Model().CurrentRow(), a);
  EXPECT_EQ(form().LBGroup.ItemIndex(), a);

  // Ctrl held at the release: a copy, into the next empty row.
  DragTo(CellPoint(1, 2), ListPoint(b));
  PostMessageW(grid(), WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(ListPoint(b).x, ListPoint(b).y));
  Pump();
  EXPECT_EQ(Named("A").entries[1].title, "a2");
  EXPECT_EQ(Named("B").entries[3].title, "a2");
  EXPECT_EQ(form().StbInfo.Text(), "「a2」を業務「B」の 4 行目へコピーしました。");

  // A full group: an information box, nothing changes.
  const std::vector<korvane::Entry> a_before = Named("A").entries;
  seam_.answer = IDOK;
  DragTo(CellPoint(1, 3), ListPoint(c));
  Release(WM_LBUTTONUP, ListPoint(c));
  ASSERT_FALSE(seam_.boxes.empty());
  EXPECT_EQ(seam_.boxes.back().text, "業務「C」には空いている行がないため、移動できません。");
  EXPECT_EQ(seam_.boxes.back().flags & MB_ICONINFORMATION, static_cast<UINT>(MB_ICONINFORMATION));
  EXPECT_EQ(Named("A").entries, a_before);
  EXPECT_EQ(Named("C").entries[0].title, "c");
  EXPECT_EQ(UndoItem(), "元に戻す(&U) 別の業務名へのコピー\tCtrl+Z");

  // The current group's own row is no target.
  const std::size_t boxes = seam_.boxes.size();
  DragTo(CellPoint(1, 3), ListPoint(a));
  EXPECT_EQ(Arranger().TargetGroup(), -1);
  Release(WM_LBUTTONUP, ListPoint(a));
  EXPECT_EQ(seam_.boxes.size(), boxes);
  EXPECT_EQ(Named("A").entries, a_before);

  // Both undone, from the group list too.
  CtrlKey('Z');
  EXPECT_EQ(Named("B").entries[3], korvane::Entry{});
  SetFocus(list());
  CtrlKey('Z');
  EXPECT_EQ(Named("A").entries[0].title, "a1");
  EXPECT_EQ(Named("B").entries[1], korvane::Entry{});
  EXPECT_FALSE(Model().Modified());

  // The group under the pointer goes elsewhere before the release (another
  // takes its row): the entry goes nowhere, and the status bar says so.
  DragTo(CellPoint(1, 3), ListPoint(c));
  ASSERT_EQ(Arranger().TargetGroup(), c);
  ASSERT_TRUE(DeleteFileW(ui::Wide(folder_.File("C.PTH")).c_str()));
  WriteGroup("D", {});
  ASSERT_TRUE(PumpUntil([&] { return Model().FindGroup("C") < 0 && Model().FindGroup("D") >= 0; }));
  Pump();
  Release(WM_LBUTTONUP, ListPoint(c));
  EXPECT_EQ(Named("A").entries[2].title, "a3");
  for (const korvane::Group& group : Model().Groups())
    for (const korvane::Entry& e : group.entries) EXPECT_TRUE(group.name == "A" || e.title != "a3") << group.name;
  EXPECT_NE(form().StbInfo.Text().find("移動先"), std::string::npos) << form().StbInfo.Text();
}

TEST_F(MainArrangeTest, KeysAndTheEntryMenuArrangeAndEveryKindOfChangeIsUndoneAndRedoneInTurn) {
  WriteGroup("A", kSix);
  WriteGroup("B", {{"b1", ""}});
  Open();
  ClickGroup(GroupIndex("A"));

  // Alt+Down and Alt+Up carry the current entry, and the current row.
  AltKey(VK_DOWN);
  EXPECT_EQ(Title(2), "t1");
  EXPECT_EQ(Title(1), "t2");
  EXPECT_EQ(form().DGMain.Row(), 2);
  AltKey(VK_UP);
  EXPECT_EQ(Title(1), "t1");
  EXPECT_EQ(form().DGMain.Row(), 1);
  AltKey(VK_UP);  // no row above: nothing
  EXPECT_EQ(Title(1), "t1");

  // Copy row 1, paste into the empty row 7 (no question), then over row 3:
  // No keeps it, Yes replaces it.
  CtrlKey('C');
  for (int i = 0; i < 6; ++i) Key(VK_DOWN);
  ASSERT_EQ(form().DGMain.Row(), 7);
  CtrlKey('V');
  EXPECT_TRUE(seam_.boxes.empty());
  EXPECT_EQ(Title(7), "t1");
  EXPECT_EQ(Path(7), "C:\\1.txt");
  form().DGMain.SetRow(3);
  seam_.answers = {IDNO, IDYES};
  CtrlKey('V');
  ASSERT_EQ(seam_.boxes.size(), 1u);
  EXPECT_EQ(seam_.boxes[0].text, korvane::kReplaceQuestion);
  EXPECT_EQ(Title(3), "t3");
  CtrlKey('V');
  EXPECT_EQ(Title(3), "t1");
  // Cut empties the row.
  form().DGMain.SetRow(4);
  CtrlKey('X');
  EXPECT_EQ(Title(4), "");
  ASSERT_TRUE(form().Undoer().Clipboard());
  EXPECT_EQ(form().Undoer().Clipboard()->title, "t4");

  // The entry menu on the right button: the cell pressed becomes current,
  // the items show their keys; 下へ移動 moves the entry.
  {
    MenuChooser chooser(main(), 1);
    Press(WM_RBUTTONDOWN, CellPoint(2, 5));
    Release(WM_RBUTTONUP, CellPoint(2, 5));
    ASSERT_TRUE(PumpUntil([&] { return chooser.seen > 0; }));
    Pump();
    EXPECT_EQ(chooser.captions,
              (std::vector<std::string>{"上へ移動(&U)\tAlt+Up", "下へ移動(&N)\tAlt+Down", "", "切り取り(&T)\tCtrl+X",
                                        "コピー(&C)\tCtrl+C", "貼り付け(&P)\tCtrl+V", "", "削除(&D)\tDel",
                                        "エントリの削除(&E)\tCtrl+Del"}));
    // (Separators read as disabled.)
    EXPECT_EQ(chooser.enabled, (std::vector<bool>{true, true, false, true, true, true, false, true, true}));
  }
  EXPECT_EQ(form().DGMain.Col(), 2);
  EXPECT_EQ(Title(6), "t5");
  EXPECT_EQ(Title(5), "t6");
  EXPECT_EQ(form().DGMain.Row(), 6);
  {
    // On an empty row nothing can be cut or copied; the first row cannot
    // go up. The application key opens it at the current cell.
    MenuChooser chooser(main(), -1);
    form().DGMain.SetRow(8);
    Key(VK_APPS);
    EXPECT_EQ(chooser.seen, 1);
    EXPECT_EQ(chooser.enabled, (std::vector<bool>{true, true, false, false, false, true, false, true, false}));
    form().DGMain.SetRow(1);
  }
  {
    MenuChooser chooser(main(), -1);
    HeldKey shift(VK_SHIFT);
    PostMessageW(grid(), WM_SYSKEYDOWN, VK_F10, 1);
    Pump();
    EXPECT_EQ(chooser.seen, 1);
    ASSERT_EQ(chooser.enabled.size(), 9u);
    EXPECT_FALSE(chooser.enabled[0]);
  }

  // A title typed and committed, then Delete on it.
  form().DGMain.SetCol(1);
  DoubleClick(CellPoint(1, 2));
  ASSERT_EQ(GetFocus(), editor());
  Type("new");
  Key(VK_RETURN);
  EXPECT_EQ(Title(2), "new");
  EXPECT_EQ(UndoItem(), "元に戻す(&U) タイトルの変更\tCtrl+Z");
  Key(VK_DELETE);
  EXPECT_EQ(Title(2), "");
  EXPECT_EQ(UndoItem(), "元に戻す(&U) タイトルの削除\tCtrl+Z");

  // Undone one by one, each to exactly the state before it.
  const std::vector<std::pair<std::string, std::vector<std::string>>> back = {
      {"タイトルの削除", {"t1", "new", "t1", "", "t6", "t5"}},
      {"タイトルの変更", {"t1", "t2", "t1", "", "t6", "t5"}},
      {"並べ替え", {"t1", "t2", "t1", "", "t5", "t6"}},
      {"切り取り", {"t1", "t2", "t1", "t4", "t5", "t6"}},
      {"貼り付け", {"t1", "t2", "t3", "t4", "t5", "t6"}},
      {"貼り付け", {"t1", "t2", "t3", "t4", "t5", "t6"}},
  };
  for (const auto& [name, titles] : back) {
    EXPECT_EQ(UndoItem(), "元に戻す(&U) " + name + "\tCtrl+Z");
    CtrlKey('Z');
    EXPECT_EQ(Titles(), titles) << name;
  }
  EXPECT_EQ(Title(7), "");
  CtrlKey('Z');  // Alt+Up
  CtrlKey('Z');  // Alt+Down
  EXPECT_EQ(Titles(), (std::vector<std::string>{"t1", "t2", "t3", "t4", "t5", "t6"}));
  EXPECT_FALSE(form().Undoer().CanUndo());
  EXPECT_FALSE(Model().Modified());
  // The edit menu runs them too.
  ASSERT_TRUE(form().MainMenu().Run(korvane::TFrmFR0010MN::kIdRedo));
  EXPECT_EQ(Title(1), "t2");
  ASSERT_TRUE(form().MainMenu().Run(korvane::TFrmFR0010MN::kIdUndo));
  EXPECT_EQ(Title(1), "t1");
  EXPECT_EQ(RedoItem(), "やり直し(&R) 並べ替え\tCtrl+Y");

  // Row 5 changed elsewhere while its question is up: Yes replaces
  // nothing (the entry asked about is not there any more), and says so.
  form().DGMain.SetRow(5);
  seam_.answers = {IDYES};
  seam_.on_box = [&] {
    std::vector<Entry> theirs = kSix;
    theirs[4].title = "t5 elsewhere";
    WriteGroup("A", theirs);
    EXPECT_TRUE(PumpUntil([&] { return Title(5) == "t5 elsewhere" && !form().Sync().Busy(); }));
  };
  CtrlKey('V');
  seam_.on_box = nullptr;
  EXPECT_EQ(Title(5), "t5 elsewhere");
  EXPECT_NE(form().StbInfo.Text().find("貼り付け"), std::string::npos) << form().StbInfo.Text();
}

TEST_F(MainArrangeTest, AnUndoneGroupDeletionComesBackInItsPlaceAndTheStatusBarFollowsSaves) {
  WriteGroup("A", {{"a1", ""}});
  WriteGroup("B", {{"b1", "C:\\b.txt"}, {"b2", ""}});
  WriteGroup("C", {{"c1", ""}});
  Open();
  const int b = GroupIndex("B");
  ClickGroup(b);
  seam_.answer = IDYES;
  form().MnuDeleteGroupClick();
  ASSERT_EQ(Model().GroupCount(), 2u);
  EXPECT_FALSE(form().DGMain.Enabled());
  EXPECT_EQ(Status(), kUnsaved);
  form().Notice("よそで消されました");
  EXPECT_EQ(Status(), "よそで消されました");

  // Ctrl+Z on the list: the group is back at its row with its entries,
  // selected and shown; the notice gives way to the unsaved state.
  SetFocus(list());
  CtrlKey('Z');
  ASSERT_EQ(Model().GroupCount(), 3u);
  EXPECT_EQ(Model().GroupAt(static_cast<std::size_t>(b)).name, "B");
  EXPECT_EQ(form().LBGroup.Item(b), "B");
  EXPECT_EQ(form().LBGroup.Count(), 3);
  EXPECT_EQ(form().LBGroup.ItemIndex(), b);
  EXPECT_EQ(Model().CurrentRow(), b);
  EXPECT_TRUE(form().DGMain.Enabled());
  EXPECT_EQ(Title(1), "b1");
  EXPECT_EQ(Path(1), "C:\\b.txt");
  EXPECT_FALSE(Model().Modified());
  EXPECT_EQ(Status(), "");
  EXPECT_TRUE(Model().Removed().empty());
  CtrlKey('Y');
  EXPECT_EQ(Model().GroupCount(), 2u);
  EXPECT_EQ(form().LBGroup.Count(), 2);
  EXPECT_EQ(form().LBGroup.ItemIndex(), -1);
  EXPECT_FALSE(form().DGMain.Enabled());
  CtrlKey('Z');
  ASSERT_EQ(Model().GroupCount(), 3u);

  // A save: 保存しました until the next change, and nothing to undo.
  ClickGroup(b);
  Key(VK_DELETE);
  EXPECT_EQ(Status(), kUnsaved);
  form().MnuSaveClick();
  EXPECT_EQ(Status(), "保存しました");
  EXPECT_FALSE(form().Undoer().CanUndo());
  EXPECT_FALSE(form().MainMenu().Enabled(korvane::TFrmFR0010MN::kIdUndo));
  EXPECT_EQ(UndoItem(), "元に戻す(&U)\tCtrl+Z");
  CtrlKey('Z');
  EXPECT_EQ(Title(1), "");
  EXPECT_EQ(Status(), "保存しました");
  Key(VK_DOWN);
  Key(VK_DELETE);
  EXPECT_EQ(Status(), kUnsaved);
  // Undone back to what was saved: the files hold it.
  CtrlKey('Z');
  EXPECT_EQ(Status(), "保存しました");
}

TEST_F(MainArrangeTest, AnEntryMovedOrCopiedBeforeItsPathTestAnsweredGetsItsMarkerWhereItWent) {
  const std::string slow = "Q:\\共有\\表.xls";
  GatedFileSystem share({slow});
  WriteGroup("A", {{"表", slow}, {"二", ""}});
  WriteGroup("B", {{"b1", ""}});
  settle_ = false;
  Open();
  ClickGroup(GroupIndex("A"));
  ASSERT_EQ(Marker(1), korvane::PathMarker::Untested);
  AltKey(VK_DOWN);
  ASSERT_EQ(Path(2), slow);
  Arranger().Transfer(2, static_cast<std::size_t>(GroupIndex("B")), true);
  ASSERT_EQ(Named("B").entries[1].marker, korvane::PathMarker::Untested);
  share.Answer();
  settle_ = true;
  Pump();
  EXPECT_EQ(Marker(2), korvane::PathMarker::Found);
  EXPECT_EQ(Named("B").entries[1].marker, korvane::PathMarker::Found);
}

}  // namespace
}  // namespace kit
