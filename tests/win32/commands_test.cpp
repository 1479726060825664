// The group commands (new, rename, delete) and the version dialog, run from
// the real main window over a data folder of group files: the dialogs and
// the question driven with keystrokes and button presses while their modal
// loops run, then the files the next save leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "about/FR0020AB.h"
#include "app/FR0010MN.h"
#include "common/FN0010GF.h"
#include "data/groupfiles.h"
#include "kit.h"
#include "groups/FR0030NG.h"
#include "groups/FR0040CG.h"
#include "tests/core/tempdir.h"
#include "ui/wide.h"

namespace {

using kit::FakeSeam;
using kit::Step;
using korvane::GroupNameDialog;
using korvane::TFrmFR0010MN;
using kit::PostAnsiChars;
using kit::PostKey;

constexpr char kDeleteTail[] = " を削除します。\r\n\r\nよろしいですか。";

// ------------------------------------------------------------ the data folder

using korvane::testing::Entry;
using korvane::testing::GroupFileBytes;
using korvane::testing::ReadBytes;
using korvane::testing::WriteBytes;

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// The group files in the folder, as the system spells them, sorted.
std::vector<std::string> GroupFiles(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(ui::Wide(folder + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = ui::Narrow(data.cFileName);
    if (name.size() > 4 && lstrcmpiA(name.substr(name.size() - 4).c_str(), ".PTH") == 0) names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

const std::vector<Entry> kEstimates = {
    {"見積書", "C:\\業務\\見積書.xls"}, {"請求書ソ表", "C:\\業務\\請求書.doc"}, {}, {"予定表", ""}};
const std::vector<Entry> kSales = {{"売上", "C:\\売上.xls"}};


// ------------------------------------------------------------ the fixture

// The main-window fixture over a folder the test fills with group files
// (and settings) byte for byte; the window opens at its designed size.
class GroupCommandsTest : public kit::MainWindowTest {
 protected:
  GroupCommandsTest() { kit::ParkPointer(); }

  void Group(const std::string& file_name, const std::string& bytes) {
    ASSERT_TRUE(WriteBytes(folder + file_name, bytes)) << file_name;
  }

  void Open() {
    form_ = std::make_unique<TFrmFR0010MN>();
    form_->SetDataFolder(folder);
    ASSERT_TRUE(form_->Create());
    // The designed size: the grid shows fewer than its twenty entries.
    form_->SetBounds({60, 40, 730, 479});
    form_->Show();
    ASSERT_TRUE(kit::BringToFront(form_->hwnd()));
    // The group files are read after the window shows, then their paths tested.
    ASSERT_TRUE(kit::PumpUntil([&] { return !form_->Sync().Starting() && !form_->BackgroundBusy(); }));
    kit::Pump();
    ASSERT_TRUE(seam_.boxes.empty()) << seam_.boxes[0].text;
    ASSERT_EQ(form_->LBGroup.Count(), static_cast<int>(form_->Model().GroupCount()));
  }

  korvane::LauncherModel& Model() { return form_->Model(); }
  // The list order is the folder's: rows are found by name.
  int Row(const std::string& name) { return Model().FindGroup(name); }
  const korvane::Group& GroupNamed(const std::string& name) {
    return Model().GroupAt(static_cast<std::size_t>(Row(name)));
  }
  std::vector<std::string> ListItems() {
    std::vector<std::string> items;
    for (int i = 0; i < form_->LBGroup.Count(); ++i) items.push_back(form_->LBGroup.Item(i));
    return items;
  }

  // A left click on the row, as the user selects a group.
  void ClickGroup(const std::string& name) {
    const int row = Row(name);
    ASSERT_GE(row, 0) << name;
    const RECT r = form_->LBGroup.ItemRect(row);
    kit::PostButton(form_->LBGroup.hwnd(), WM_LBUTTONDOWN, r.left + 20, (r.top + r.bottom) / 2);
    ASSERT_TRUE(kit::PumpUntil([&] { return Model().CurrentRow() == row; }));
    ASSERT_EQ(form_->LBGroup.ItemIndex(), row);
    ASSERT_TRUE(form_->DGMain.Enabled());
  }

  // Runs a group command as the popup menu runs it while `steps` drive
  // what it shows.
  void Run(void (TFrmFR0010MN::*command)(), std::vector<Step> steps) {
    kit::Script script(std::move(steps), [] { CloseWhateverIsUp(); });
    (form_.get()->*command)();
    EXPECT_TRUE(script.finished()) << "the command ended before the last step";
  }

  // The right button pressed over the group list (below its last row), the
  // popup menu read and answered by `in_menu`, then `steps`; runs until the
  // steps are done and the menu is gone.
  void RightClickList(std::function<void(HMENU)> in_menu, std::vector<Step> steps = {}) {
    std::vector<Step> all;
    all.push_back([this] {
      RECT client{};
      GetClientRect(form_->LBGroup.hwnd(), &client);
      kit::PostButton(form_->LBGroup.hwnd(), WM_RBUTTONDOWN, 30, client.bottom - 10);
    });
    all.push_back([in_menu] {
      HWND menu = FindWindowA("#32768", nullptr);
      if (!menu || !IsWindowVisible(menu)) return kit::RunAgain();
      in_menu(reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)));
    });
    for (Step& s : steps) all.push_back(std::move(s));
    kit::Script script(std::move(all), [] { CloseWhateverIsUp(); });
    EXPECT_TRUE(kit::PumpUntil([&] {
      HWND menu = FindWindowA("#32768", nullptr);
      return script.finished() && !(menu && IsWindowVisible(menu));
    }));
  }

  // Keys for the popup menu, which takes them from the thread's queue.
  void MenuKeys(std::initializer_list<UINT> keys) {
    for (UINT k : keys) PostKey(form_->hwnd(), k);
  }

  static void CloseWhateverIsUp() {
    for (const char* cls : {"TFrmFR0030NG", "TFrmFR0040CG", "TAboutBox"}) {
      if (HWND h = FindWindowA(cls, nullptr)) {
        if (ui::Form* f = ui::Form::FromHwnd(h)) f->EndModal(ui::kModalCancel);
      }
    }
    if (HWND box = kit::FindMessageBox()) PostMessageA(box, WM_COMMAND, IDNO, 0);
    if (HWND menu = FindWindowA("#32768", nullptr)) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  }

  // The name dialog of that class once it is up and has the focus in its
  // name box; null (and the step runs again) before.
  static GroupNameDialog* DialogUp(const char* cls) {
    HWND h = FindWindowA(cls, nullptr);
    auto* dialog = h ? dynamic_cast<GroupNameDialog*>(ui::Form::FromHwnd(h)) : nullptr;
    if (!dialog || !IsWindowVisible(h) || GetFocus() != dialog->EdtNewGroup.hwnd()) {
      kit::RunAgain();
      return nullptr;
    }
    return dialog;
  }

  static void Type(GroupNameDialog& d, const std::string& bytes) { PostAnsiChars(d.EdtNewGroup.hwnd(), bytes); }
  static void Enter(GroupNameDialog& d) { PostKey(d.EdtNewGroup.hwnd(), VK_RETURN); }
  static void PressCancel(GroupNameDialog& d) { kit::PostButton(d.BtnCancel.hwnd(), WM_LBUTTONDOWN, 10, 10); }

  // Steps of a name dialog: `type` replaces the selected text, then Enter.
  static std::vector<Step> NameAndEnter(const char* cls, std::string type) {
    return {[cls, type] {
      if (GroupNameDialog* d = DialogUp(cls)) {
        Type(*d, type);
        Enter(*d);
      }
    }};
  }

  void NewGroup(const std::string& name) { Run(&TFrmFR0010MN::MnuNewGroupClick, NameAndEnter("TFrmFR0030NG", name)); }
  void RenameSelected(const std::string& name) {
    Run(&TFrmFR0010MN::MnuChangeNameClick, NameAndEnter("TFrmFR0040CG", name));
  }
  void DeleteSelected() {
    seam_.answer = IDYES;
    form_->MnuDeleteGroupClick();
  }
  void Save() {
    const std::size_t shown = seam_.boxes.size();
    form_->MnuSaveClick();
    EXPECT_EQ(seam_.boxes.size(), shown) << "the save warned: " << seam_.boxes.back().text;
  }

  // The screen pixels of a grid cell.
  std::vector<COLORREF> CellPixels(int col, int row) {
    const RECT r = form_->DGMain.CellRect(col, row);
    std::vector<COLORREF> px;
    HDC dc = GetDC(form_->DGMain.hwnd());
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) px.push_back(GetPixel(dc, x, y));
    ReleaseDC(form_->DGMain.hwnd(), dc);
    return px;
  }

  const std::string folder = folder_.path();
};

// What a popup menu's three items allow.
std::string MenuStates(HMENU menu) {
  std::string s;
  for (int i = 0; i < 3; ++i) {
    const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    s += state == static_cast<UINT>(-1) ? '?' : (state & (MF_GRAYED | MF_DISABLED)) ? '-' : '+';
  }
  return s;
}

// ------------------------------------------------------------ new

TEST_F(GroupCommandsTest, NewGroupFromThePopupMenuIsTheLastRowUnselectedWithTwentyEmptyEntries) {
  Group("見積.PTH", GroupFileBytes(kEstimates));
  Group("売上.PTH", GroupFileBytes(kSales));
  Open();
  ClickGroup("見積");
  const int current = Row("見積");
  HWND dialog = nullptr;
  std::string menu_states;
  RightClickList(
      [&](HMENU menu) {
        menu_states = MenuStates(menu);
        MenuKeys({VK_DOWN, VK_RETURN});  // the first item
      },
      {[&] {
         GroupNameDialog* d = DialogUp("TFrmFR0030NG");
         if (!d) return;
         dialog = d->hwnd();
         EXPECT_EQ(GetWindow(dialog, GW_OWNER), form_->hwnd());
         EXPECT_FALSE(IsWindowEnabled(form_->hwnd()));
         EXPECT_EQ(d->EdtNewGroup.Text(), "");
         Type(*d, "総務　備品");
         Enter(*d);
       }});
  EXPECT_EQ(menu_states, "+++");
  ASSERT_EQ(ListItems().size(), 3u);
  EXPECT_EQ(form_->LBGroup.Item(2), "総務　備品");
  EXPECT_EQ(Model().Names()[2], "総務　備品");
  EXPECT_EQ(form_->LBGroup.ItemIndex(), current);  // the selection stays
  EXPECT_EQ(Model().CurrentRow(), current);       // and so does the grid's group
  EXPECT_TRUE(form_->DGMain.Enabled());
  EXPECT_EQ(Model().Current()->entries[0].title, "見積書");
  const korvane::Group& added = Model().GroupAt(2);
  EXPECT_EQ(added.entries, std::vector<korvane::Entry>(20));
  EXPECT_TRUE(Model().Modified());
  EXPECT_FALSE(IsWindow(dialog));  // made for one use
  EXPECT_TRUE(IsWindowEnabled(form_->hwnd()));
  EXPECT_EQ(GroupFiles(folder), Sorted({"売上.PTH", "見積.PTH"}));  // no file before a save
  EXPECT_TRUE(seam_.boxes.empty());

  Save();
  EXPECT_EQ(ReadBytes(folder + "総務　備品.PTH"), GroupFileBytes({}));
  EXPECT_FALSE(Model().Modified());
}

TEST_F(GroupCommandsTest, CancelInEitherDialogChangesNothingNotEvenTheFlag) {
  Group("見積.PTH", GroupFileBytes(kEstimates));
  Group("売上.PTH", GroupFileBytes(kSales));
  Open();
  ClickGroup("売上");
  const std::vector<std::string> items = ListItems();
  const int current = Row("売上");
  Run(&TFrmFR0010MN::MnuNewGroupClick, {[&] {
        if (GroupNameDialog* d = DialogUp("TFrmFR0030NG")) {
          Type(*d, "取消");
          PressCancel(*d);
        }
      }});
  Run(&TFrmFR0010MN::MnuChangeNameClick, {[&] {
        if (GroupNameDialog* d = DialogUp("TFrmFR0040CG")) {
          Type(*d, "別名");
          PressCancel(*d);
        }
      }});
  // A refused name, then Cancel.
  Run(&TFrmFR0010MN::MnuChangeNameClick,
      {[&] {
         if (GroupNameDialog* d = DialogUp("TFrmFR0040CG")) {
           Type(*d, "見積");
           Enter(*d);
         }
       },
       [&] {
         auto* d = dynamic_cast<GroupNameDialog*>(ui::Form::FromHwnd(FindWindowA("TFrmFR0040CG", nullptr)));
         ASSERT_NE(d, nullptr);
         ASSERT_EQ(seam_.Texts(), std::vector<std::string>{korvane::kMsgNameExists});
         PressCancel(*d);
       }});
  EXPECT_EQ(ListItems(), items);
  EXPECT_EQ(form_->LBGroup.ItemIndex(), current);
  EXPECT_EQ(Model().CurrentRow(), current);
  EXPECT_EQ(Model().Names(), items);
  EXPECT_TRUE(Model().Removed().empty());
  EXPECT_FALSE(Model().Modified());
  EXPECT_EQ(FindWindowA("TFrmFR0030NG", nullptr), nullptr);
  EXPECT_EQ(FindWindowA("TFrmFR0040CG", nullptr), nullptr);
}

// ------------------------------------------------------------ rename

TEST_F(GroupCommandsTest, RenamingTheCurrentGroupKeepsItsRowEntriesAndGridThenSaveMovesTheFile) {
  Group("見積.PTH", GroupFileBytes(kEstimates));
  Group("売上.PTH", GroupFileBytes(kSales));
  Open();
  ClickGroup("見積");
  const int row = Row("見積");
  const korvane::Group before = GroupNamed("見積");
  // The grid somewhere other than its first entry.
  for (int i = 0; i < 3; ++i) PostKey(form_->DGMain.hwnd(), VK_DOWN);
  ASSERT_TRUE(kit::PumpUntil([&] { return form_->DGMain.Row() == 4; }));
  std::string label, in_box;
  DWORD sel_start = 1, sel_end = 0;
  Run(&TFrmFR0010MN::MnuChangeNameClick, {[&] {
        auto* d = dynamic_cast<korvane::TFrmFR0040CG*>(DialogUp("TFrmFR0040CG"));
        if (!d) return;
        label = d->LblGroupName.caption();
        in_box = d->EdtNewGroup.Text();
        SendMessageA(d->EdtNewGroup.hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&sel_start),
                     reinterpret_cast<LPARAM>(&sel_end));
        Type(*d, "経理部");  // replaces the selected name
        Enter(*d);
      }});
  EXPECT_EQ(label, "見積");
  EXPECT_EQ(in_box, "見積");
  EXPECT_EQ(sel_start, 0u);
  EXPECT_EQ(sel_end, 2u);  // the whole name, in UTF-16 units
  EXPECT_EQ(form_->LBGroup.Item(row), "経理部");
  EXPECT_EQ(form_->LBGroup.Count(), 2);
  EXPECT_EQ(form_->LBGroup.ItemIndex(), row);
  EXPECT_EQ(Model().CurrentRow(), row);
  const korvane::Group& after = Model().GroupAt(static_cast<std::size_t>(row));
  EXPECT_EQ(after.name, "経理部");
  EXPECT_EQ(after.entries, before.entries);
  EXPECT_EQ(form_->DGMain.Row(), 4);  // the grid was not reset
  EXPECT_EQ(form_->DGMain.Col(), 1);
  EXPECT_TRUE(form_->DGMain.Enabled());
  ASSERT_EQ(Model().Removed().size(), 1u);
  EXPECT_EQ(Model().Removed()[0].name, "見積");
  EXPECT_TRUE(Model().Modified());
  EXPECT_EQ(GroupFiles(folder), Sorted({"売上.PTH", "見積.PTH"}));

  Save();
  EXPECT_EQ(GroupFiles(folder), Sorted({"売上.PTH", "経理部.PTH"}));
  EXPECT_EQ(ReadBytes(folder + "経理部.PTH"), GroupFileBytes(kEstimates));
  EXPECT_EQ(ReadBytes(folder + "売上.PTH"), GroupFileBytes(kSales));
  EXPECT_FALSE(Model().Modified());
  EXPECT_TRUE(Model().Removed().empty());
}

TEST_F(GroupCommandsTest, RenamedAwayAndBackTheGroupKeepsItsFileAndEntries) {
  Group("見積.PTH", GroupFileBytes(kEstimates));
  Group("売上.PTH", GroupFileBytes(kSales));
  Open();
  ClickGroup("見積");
  RenameSelected("仮の名");
  EXPECT_EQ(form_->LBGroup.Item(form_->LBGroup.ItemIndex()), "仮の名");
  RenameSelected("見積");
  EXPECT_EQ(form_->LBGroup.Item(form_->LBGroup.ItemIndex()), "見積");
  ASSERT_EQ(Model().Removed().size(), 2u);
  EXPECT_TRUE(seam_.boxes.empty());

  Save();
  EXPECT_EQ(GroupFiles(folder), Sorted({"売上.PTH", "見積.PTH"}));
  EXPECT_EQ(ReadBytes(folder + "見積.PTH"), GroupFileBytes(kEstimates));
  EXPECT_FALSE(Model().Modified());
}

TEST_F(GroupCommandsTest, ANameTheBoxRefusesIsShownInTheLabelAndTheBoxHoldsTheLastGoodText) {
  // A file named outside the program: ";" never gets into the name box.
  Group("a;b.PTH", GroupFileBytes(kEstimates));
  Group("売上.PTH", GroupFileBytes(kSales));
  Open();
  // What a name box last held: typed into the new-group dialog, cancelled.
  Run(&TFrmFR0010MN::MnuNewGroupClick, {[&] {
        if (GroupNameDialog* d = DialogUp("TFrmFR0030NG")) {
          Type(*d, "前回");
          PressCancel(*d);
        }
      }});
  ClickGroup("a;b");
  std::string label, in_box;
  Run(&TFrmFR0010MN::MnuChangeNameClick, {[&] {
        auto* d = dynamic_cast<korvane::TFrmFR0040CG*>(DialogUp("TFrmFR0040CG"));
        if (!d) return;
        label = d->LblGroupName.caption();
        in_box = d->EdtNewGroup.Text();
        Type(*d, "ab");
        Enter(*d);
      }});
  EXPECT_EQ(label, "a;b");
  EXPECT_EQ(in_box, "前回");
  EXPECT_EQ(form_->LBGroup.Item(form_->LBGroup.ItemIndex()), "ab");
  EXPECT_TRUE(seam_.boxes.empty());
  Save();
  EXPECT_EQ(GroupFiles(folder), Sorted({"ab.PTH", "売上.PTH"}));
  EXPECT_EQ(ReadBytes(folder + "ab.PTH"), GroupFileBytes(kEstimates));
}

// ------------------------------------------------------------ delete

TEST_F(GroupCommandsTest, TheListsKeysRunTheCommandsAndEachCanBeUndoneAndRedone) {
  Group("見積.PTH", GroupFileBytes(kEstimates));
  Group("売上.PTH", GroupFileBytes(kSales));
  Open();
  ClickGroup("見積");
  const int row = Row("見積");
  HWND list = form_->LBGroup.hwnd();
  // A key on the list; the dialog it opens is driven by `steps` inside.
  const auto key = [&](UINT vk, std::vector<Step> steps) {
    SetFocus(list);
    if (steps.empty()) {
      PostKey(list, vk);
      return kit::Pump();
    }
    // Sent, so that the script ends with the dialog's modal run.
    kit::Script script(std::move(steps), [] { CloseWhateverIsUp(); });
    SendMessageA(list, WM_KEYDOWN, vk, 1);
    EXPECT_TRUE(script.finished()) << "key " << vk;
  };
  const auto undo_item = [&] { return form_->MainMenu().Caption(TFrmFR0010MN::kIdUndo); };

  key(VK_F2, NameAndEnter("TFrmFR0040CG", "見積2"));
  EXPECT_EQ(Model().GroupAt(static_cast<std::size_t>(row)).name, "見積2");
  EXPECT_EQ(form_->LBGroup.Item(row), "見積2");
  EXPECT_EQ(undo_item(), "元に戻す(&U) 業務名の変更\tCtrl+Z");
  // Insert: a new group, the last row, unselected.
  key(VK_INSERT, NameAndEnter("TFrmFR0030NG", "新規"));
  ASSERT_EQ(form_->LBGroup.Count(), 3);
  EXPECT_EQ(form_->LBGroup.Item(2), "新規");
  EXPECT_EQ(form_->LBGroup.ItemIndex(), row);
  EXPECT_EQ(undo_item(), "元に戻す(&U) 業務名の新規追加\tCtrl+Z");
  // Delete asks the question; No keeps the group and records nothing.
  seam_.answer = IDNO;
  key(VK_DELETE, {});
  ASSERT_FALSE(seam_.boxes.empty());
  EXPECT_EQ(seam_.boxes.back().text, "見積2" + std::string(kDeleteTail));
  EXPECT_EQ(form_->LBGroup.Count(), 3);
  EXPECT_EQ(undo_item(), "元に戻す(&U) 業務名の新規追加\tCtrl+Z");

  // Undone on the list, each in turn; the rename takes its name back off
  // the removed list.
  {
    kit::HeldKey ctrl(VK_CONTROL);
    PostKey(list, 'Z');
    kit::Pump();
  }
  EXPECT_EQ(form_->LBGroup.Item(row), "見積2");
  ASSERT_EQ(form_->LBGroup.Count(), 2);
  EXPECT_EQ(Row("新規"), -1);
  {
    kit::HeldKey ctrl(VK_CONTROL);
    PostKey(list, 'Z');
    kit::Pump();
  }
  EXPECT_EQ(form_->LBGroup.Item(row), "見積");
  EXPECT_EQ(Model().GroupAt(static_cast<std::size_t>(row)).name, "見積");
  EXPECT_TRUE(Model().Removed().empty());
  EXPECT_EQ(form_->LBGroup.ItemIndex(), row);
  EXPECT_FALSE(Model().Modified());
  {
    kit::HeldKey ctrl(VK_CONTROL);
    PostKey(list, 'Y');
    kit::Pump();
  }
  EXPECT_EQ(form_->LBGroup.Item(row), "見積2");
  ASSERT_EQ(Model().Removed().size(), 1u);
  EXPECT_EQ(Model().Removed()[0].name, "見積");
}

TEST_F(GroupCommandsTest, DeleteAsksFirstNoAndEnterChangeNothingYesRemovesTheGroupAndEmptiesTheGrid) {
  Group("見積.PTH", GroupFileBytes(kEstimates));
  Group("売上.PTH", GroupFileBytes(kSales));
  Open();
  ClickGroup("見積");
  const int row = Row("見積");
  const std::vector<std::string> items = ListItems();
  // Entry 2 has a title, entry 3 none: their cells differ while the group shows.
  ASSERT_NE(CellPixels(1, 2), CellPixels(1, 3));
  // The grid scrolled down to its last entry.
  for (int i = 0; i < 19; ++i) PostKey(form_->DGMain.hwnd(), VK_DOWN);
  ASSERT_TRUE(kit::PumpUntil([&] { return form_->DGMain.Row() == 20; }));
  ASSERT_GT(form_->DGMain.TopRow(), 1);
  const auto unchanged = [&] {
    EXPECT_EQ(ListItems(), items);
    EXPECT_EQ(form_->LBGroup.ItemIndex(), row);
    EXPECT_EQ(Model().CurrentRow(), row);
    EXPECT_TRUE(form_->DGMain.Enabled());
    EXPECT_EQ(form_->DGMain.Row(), 20);
    EXPECT_FALSE(Model().Modified());
    EXPECT_TRUE(Model().Removed().empty());
  };

  // No.
  seam_.answer = IDNO;
  form_->MnuDeleteGroupClick();
  ASSERT_EQ(seam_.boxes.size(), 1u);
  EXPECT_EQ(seam_.boxes[0].text, std::string("見積") + kDeleteTail);
  EXPECT_EQ(seam_.boxes[0].caption, "Korvane");
  EXPECT_EQ(seam_.boxes[0].flags & (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK),
            static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
  unchanged();

  // Enter alone in the system's box: No is its default button.
  korvane::SetSeam(nullptr);
  std::string shown;
  bool no_is_default = false;
  bool main_disabled = false;
  Run(&TFrmFR0010MN::MnuDeleteGroupClick, {[&] {
        HWND box = kit::FindMessageBox();
        if (!box || GetForegroundWindow() != box) return kit::RunAgain();
        shown = kit::DlgItemText(box, 0xFFFF);
        // The default button is drawn as such and has the focus.
        HWND no = GetDlgItem(box, IDNO);
        no_is_default = (GetWindowLongA(no, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON && GetFocus() == no;
        main_disabled = !IsWindowEnabled(form_->hwnd());
        PostKey(GetFocus(), VK_RETURN);
      }});
  korvane::SetSeam(&seam_);
  EXPECT_EQ(shown, std::string("見積") + kDeleteTail);
  EXPECT_TRUE(no_is_default);
  EXPECT_TRUE(main_disabled);
  EXPECT_EQ(kit::FindMessageBox(), nullptr);
  unchanged();

  // Yes. The grid paints nothing of the group once it is released.
  int paints = 0, paints_with_a_group = 0;
  auto draw = form_->DGMain.on_draw_cell;
  form_->DGMain.on_draw_cell = [&](HDC dc, int c, int r, const RECT& rect, ui::CellState s) {
    ++paints;
    if (Model().Current()) ++paints_with_a_group;
    draw(dc, c, r, rect, s);
  };
  DeleteSelected();
  EXPECT_EQ(seam_.boxes.size(), 2u);
  EXPECT_EQ(ListItems(), std::vector<std::string>{"売上"});
  EXPECT_EQ(form_->LBGroup.ItemIndex(), -1);
  EXPECT_EQ(Model().CurrentRow(), -1);
  EXPECT_FALSE(form_->DGMain.Enabled());
  EXPECT_EQ(form_->DGMain.Col(), 1);
  EXPECT_EQ(form_->DGMain.Row(), 1);
  EXPECT_EQ(form_->DGMain.LeftCol(), 1);
  EXPECT_EQ(form_->DGMain.TopRow(), 1);
  EXPECT_GT(paints, 0);  // repainted before the command returned
  EXPECT_EQ(paints_with_a_group, 0);
  form_->DGMain.on_draw_cell = draw;
  EXPECT_EQ(CellPixels(1, 2), CellPixels(1, 3));  // no entries shown
  EXPECT_TRUE(Model().Modified());
  ASSERT_EQ(Model().Removed().size(), 1u);
  EXPECT_EQ(Model().Removed()[0].name, "見積");
  EXPECT_EQ(GroupFiles(folder), Sorted({"売上.PTH", "見積.PTH"}));  // until the save

  // Rename and delete wait for a selection.
  std::string menu_states;
  RightClickList([&](HMENU menu) {
    menu_states = MenuStates(menu);
    MenuKeys({VK_ESCAPE});
  });
  EXPECT_EQ(menu_states, "+--");

  Save();
  EXPECT_EQ(GroupFiles(folder), std::vector<std::string>{"売上.PTH"});
  EXPECT_FALSE(Model().Modified());
}

// Another place deletes group files while the question or the rename
// dialog is up (the refresh runs inside its loop): the command acts on the
// group it asked about wherever its row went, or on none, with a notice.
TEST_F(GroupCommandsTest, ACommandActsOnTheGroupItAskedAboutThoughARefreshMovedTheRowsUnderItsBox) {
  for (const char* name : {"丁", "丙", "乙", "甲", "戊", "己"})
    Group(std::string(name) + ".PTH", GroupFileBytes({{name, ""}}));
  Open();
  std::vector<std::string> items;
  // Each command asks about row 1 while the group of row `gone` is deleted
  // elsewhere and the refresh has taken it out.
  const auto run = [&](int gone, const char* rename) {
    items = ListItems();
    ClickGroup(items[1]);
    const Step elsewhere = [&, gone] {
      ASSERT_TRUE(DeleteFileW(ui::Wide(folder + items[gone] + ".PTH").c_str()));
      EXPECT_TRUE(kit::PumpUntil([&] { return Row(items[gone]) < 0 && !form_->Sync().Busy(); }));
    };
    seam_.on_box = elsewhere;
    if (!rename) return DeleteSelected();
    std::vector<Step> steps = NameAndEnter("TFrmFR0040CG", rename);
    steps.insert(steps.begin(), elsewhere);
    Run(&TFrmFR0010MN::MnuChangeNameClick, std::move(steps));
  };
  run(0, nullptr);
  EXPECT_EQ(ListItems(), (std::vector<std::string>{items[2], items[3], items[4], items[5]}));
  run(0, "改名");
  EXPECT_EQ(ListItems(), (std::vector<std::string>{"改名", items[2], items[3]}));
  run(1, nullptr);
  EXPECT_EQ(ListItems(), (std::vector<std::string>{"改名", items[2]}));
  EXPECT_NE(form_->StbInfo.Text().find(items[1]), std::string::npos) << form_->StbInfo.Text();
  run(1, "別名");
  EXPECT_EQ(ListItems(), std::vector<std::string>{"改名"});
  EXPECT_NE(form_->StbInfo.Text().find(items[1]), std::string::npos) << form_->StbInfo.Text();
  seam_.on_box = nullptr;
}

TEST_F(GroupCommandsTest, DeletingTheOnlyGroupLeavesAnEmptyListAndTheSaveRemovesItsFile) {
  Group("見積.PTH", GroupFileBytes(kEstimates));
  Open();
  ClickGroup("見積");
  DeleteSelected();
  EXPECT_EQ(form_->LBGroup.Count(), 0);
  EXPECT_EQ(Model().GroupCount(), 0u);
  EXPECT_FALSE(form_->DGMain.Enabled());
  EXPECT_EQ(Model().Current(), nullptr);
  std::string menu_states;
  RightClickList([&](HMENU menu) {
    menu_states = MenuStates(menu);
    MenuKeys({VK_ESCAPE});
  });
  EXPECT_EQ(menu_states, "+--");
  Save();
  EXPECT_TRUE(GroupFiles(folder).empty());
  EXPECT_FALSE(Model().Modified());
  EXPECT_TRUE(Model().Removed().empty());
}

TEST_F(GroupCommandsTest, DeletedAndMadeAgainUnderItsNameTheGroupIsSavedNewAndEmpty) {
  // A section the program never writes: a fresh file has none of it.
  Group("見積.PTH", GroupFileBytes(kEstimates, "[21]\r\nTITLE=古い\r\n"));
  Group("売上.PTH", GroupFileBytes(kSales));
  Open();
  ClickGroup("見積");
  DeleteSelected();
  NewGroup("見積");  // only the name list is searched, not the removed names
  EXPECT_EQ(Model().GroupCount(), 2u);
  EXPECT_EQ(form_->LBGroup.ItemIndex(), -1);
  Save();
  EXPECT_EQ(GroupFiles(folder), Sorted({"売上.PTH", "見積.PTH"}));
  EXPECT_EQ(ReadBytes(folder + "見積.PTH"), GroupFileBytes({}));
  EXPECT_FALSE(Model().Modified());
}

TEST_F(GroupCommandsTest, FilesASaveCannotRemoveAreNamedInOneBoxTheRestIsSavedAndClosingAsks) {
  Group("見積.PTH", GroupFileBytes(kEstimates));
  Group("売上.PTH", GroupFileBytes(kSales));
  Group("経理.PTH", GroupFileBytes({}));
  Open();
  for (const char* name : {"見積", "売上", "経理"}) {
    ClickGroup(name);
    RenameSelected(std::string(name) + "2");
  }
  korvane::testing::SetReadOnly(folder + "見積.PTH", true);
  korvane::testing::SetReadOnly(folder + "売上.PTH", true);
  const std::size_t shown = seam_.boxes.size();
  form_->MnuSaveClick();
  ASSERT_EQ(seam_.boxes.size(), shown + 1);
  EXPECT_EQ(seam_.boxes.back().text,
            korvane::CannotDeleteMessage(folder + "見積.PTH") + "\r\n" + korvane::CannotDeleteMessage(folder + "売上.PTH"));
  EXPECT_EQ(seam_.boxes.back().flags, static_cast<UINT>(MB_ICONEXCLAMATION | MB_OK));
  EXPECT_EQ(GroupFiles(folder), Sorted({"売上.PTH", "売上2.PTH", "経理2.PTH", "見積.PTH", "見積2.PTH"}));
  EXPECT_EQ(ReadBytes(folder + "見積2.PTH"), GroupFileBytes(kEstimates));
  EXPECT_TRUE(Model().Modified());
  seam_.answer = IDNO;
  EXPECT_FALSE(form_->FormCloseQuery());
  EXPECT_EQ(seam_.boxes.size(), shown + 2);
  korvane::testing::SetReadOnly(folder + "見積.PTH", false);
  korvane::testing::SetReadOnly(folder + "売上.PTH", false);
  Save();
  EXPECT_EQ(GroupFiles(folder), Sorted({"売上2.PTH", "経理2.PTH", "見積2.PTH"}));
}

// A file made elsewhere under the name a group is renamed to here is kept
// before the save writes the group there, and one box after the save says so.
TEST_F(GroupCommandsTest, AFileMadeElsewhereUnderARenamedGroupsNameIsToldAfterTheSave) {
  Group("見積.PTH", GroupFileBytes(kEstimates));
  Open();
  ClickGroup("見積");
  RenameSelected("見積2");
  Group("見積2.PTH", GroupFileBytes(kSales));
  const std::size_t shown = seam_.boxes.size();
  form_->MnuSaveClick();
  ASSERT_EQ(seam_.boxes.size(), shown + 1);
  EXPECT_EQ(seam_.boxes.back().flags, static_cast<UINT>(MB_ICONINFORMATION | MB_OK));
  EXPECT_NE(seam_.boxes.back().text.find("見積2"), std::string::npos) << seam_.boxes.back().text;
  EXPECT_EQ(ReadBytes(folder + "見積2.PTH"), GroupFileBytes(kEstimates));
  // A save with nothing met elsewhere shows nothing.
  ClickGroup("見積2");
  RenameSelected("見積3");
  form_->MnuSaveClick();
  EXPECT_EQ(seam_.boxes.size(), shown + 1);

  // A rename undone, its name then taken elsewhere: the redo asks; No
  // changes nothing, Yes renames and the save keeps their file aside.
  RenameSelected("見積4");
  form_->MnuUndoClick();
  Group("見積4.PTH", GroupFileBytes(kSales));
  ASSERT_TRUE(kit::PumpUntil([&] { return Row("見積4") >= 0 && !form_->Sync().Busy(); }));
  for (const int answer : {IDNO, IDYES}) {
    seam_.answer = answer;
    form_->MnuRedoClick();
  }
  ASSERT_EQ(seam_.boxes.size(), shown + 3);
  EXPECT_NE(seam_.boxes.back().text.find("見積4"), std::string::npos);
  // One 見積4, the renamed group (beside it, where the folder has no
  // Recycle Bin, the first save's copy of the clashing file, 見積2~1).
  const std::vector<std::string> items = ListItems();
  EXPECT_EQ(std::count(items.begin(), items.end(), "見積4"), 1);
  EXPECT_EQ(items.front(), "見積4");
  form_->MnuSaveClick();
  EXPECT_NE(seam_.boxes.back().text.find(korvane::MadeElsewhereMessage("見積4")), std::string::npos);
  EXPECT_EQ(ReadBytes(folder + "見積4.PTH"), GroupFileBytes(kEstimates));
}

TEST_F(GroupCommandsTest, FilesNamedInOtherLetterCaseAreRemovedAndReplacedAsTheSameFile) {
  Group("Memo.pth", GroupFileBytes(kEstimates));
  Group("note.Pth", GroupFileBytes(kSales));
  Open();
  ASSERT_EQ(Model().Names().size(), 2u);
  // Made again in other letter case: one file, the new group's.
  ClickGroup("Memo");
  DeleteSelected();
  NewGroup("MEMO");
  // Renamed away: the old spelling's file goes.
  ClickGroup("note");
  RenameSelected("Note2");
  EXPECT_EQ(seam_.boxes.size(), 1u);  // the question only
  Save();
  EXPECT_EQ(GroupFiles(folder), Sorted({"MEMO.PTH", "Note2.PTH"}));
  EXPECT_EQ(ReadBytes(folder + "MEMO.PTH"), GroupFileBytes({}));
  EXPECT_EQ(ReadBytes(folder + "Note2.PTH"), GroupFileBytes(kSales));
  EXPECT_FALSE(Model().Modified());
}

// ------------------------------------------------------------ the version dialog

TEST_F(GroupCommandsTest, VersionDialogFromTheHelpMenuFollowsThePointerOpensTheLinkAndClosesOnEnter) {
  Open();
  HWND box_hwnd = nullptr;
  korvane::TAboutBox* box = nullptr;
  const auto move = [](HWND h) { PostMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3)); };
  std::vector<COLORREF> colours;
  kit::Script script(
      {[&] { kit::SendKeys({VK_MENU, 'H'}); },
       [&] {
         HWND menu = FindWindowA("#32768", nullptr);
         if (!menu || !IsWindowVisible(menu)) return kit::RunAgain();
         kit::SendKeys({'A'});
       },
       [&] {
         box_hwnd = FindWindowA("TAboutBox", "Version Information");
         if (!box_hwnd || !IsWindowVisible(box_hwnd)) return kit::RunAgain();
         box = dynamic_cast<korvane::TAboutBox*>(ui::Form::FromHwnd(box_hwnd));
         ASSERT_NE(box, nullptr);
         EXPECT_EQ(GetWindow(box_hwnd, GW_OWNER), form_->hwnd());
         EXPECT_FALSE(IsWindowEnabled(form_->hwnd()));
         const ui::Bounds o = form_->bounds();
         const ui::Bounds d = box->bounds();
         EXPECT_EQ(d.x, o.x + (o.width - d.width) / 2);
         EXPECT_EQ(d.y, o.y + (o.height - d.height) / 2);
         colours.push_back(box->LblCopyright.font_color());
         move(box->LblCopyright.hwnd());
       },
       [&] {
         colours.push_back(box->LblCopyright.font_color());
         move(box->PnlDisp.hwnd());
       },
       [&] {
         colours.push_back(box->LblCopyright.font_color());
         move(box->LblCopyright.hwnd());
       },
       [&] {
         colours.push_back(box->LblCopyright.font_color());
         kit::PostButton(box->LblCopyright.hwnd(), WM_LBUTTONDOWN, 3, 3);
       },
       [&] {
         colours.push_back(box->LblCopyright.font_color());
         ASSERT_EQ(seam_.shell_calls.size(), 1u);
         EXPECT_TRUE(box->InModal());
         EXPECT_EQ(GetFocus(), box->OKButton.hwnd());
         PostKey(GetFocus(), VK_RETURN);
       },
       [&] {
         if (IsWindow(box_hwnd)) kit::RunAgain();
       }},
      [] { CloseWhateverIsUp(); });
  EXPECT_TRUE(kit::PumpUntil([&] { return script.finished() && box_hwnd && !IsWindow(box_hwnd); }));
  using korvane::kLinkColor, korvane::kLinkHotColor;
  EXPECT_EQ(colours, (std::vector<COLORREF>{kLinkColor, kLinkHotColor, kLinkColor, kLinkHotColor, kLinkColor}));
  ASSERT_EQ(seam_.shell_calls.size(), 1u);
  const FakeSeam::ShellCall& call = seam_.shell_calls[0];
  EXPECT_EQ(call.owner, nullptr);
  EXPECT_EQ(call.verb, "OPEN");
  EXPECT_EQ(call.file, korvane::kMakerAddress);
  EXPECT_EQ(call.show, SW_SHOW);
  EXPECT_EQ(call.cursor, ui::ScreenCursor::HourGlass);
  EXPECT_EQ(kit::App().screen_cursor(), ui::ScreenCursor::Default);
  EXPECT_TRUE(IsWindowEnabled(form_->hwnd()));
  EXPECT_TRUE(kit::PumpUntil([&] { return GetActiveWindow() == form_->hwnd(); }));
  EXPECT_FALSE(Model().Modified());
}

}  // namespace
