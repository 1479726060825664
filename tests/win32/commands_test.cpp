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
#include "dialog_support.h"
#include "groups/FR0030NG.h"
#include "groups/FR0040CG.h"
#include "support.h"
#include "tests/core/tempdir.h"

namespace {

using dlgtest::FakeSeam;
using dlgtest::Step;
using korvane::GroupNameDialog;
using korvane::TFrmFR0010MN;
using uitest::PostAnsiChars;
using uitest::PostKey;

constexpr char kDeleteTail[] = " を削除します。\r\n\r\nよろしいですか。";

// ------------------------------------------------------------ the data folder

using korvane::testing::RemoveTree;

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size();
}

std::string ReadBytes(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
  CloseHandle(h);
  return bytes;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// The group files in the folder, as the system spells them, sorted.
std::vector<std::string> GroupFiles(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = data.cFileName;
    if (name.size() > 4 && lstrcmpiA(name.substr(name.size() - 4).c_str(), ".PTH") == 0) names.push_back(name);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

struct Entry {
  std::string title;
  std::string path;
};

// A group file as the program writes it: sections "01".."20", TITLE then
// PATH; `entries` fill the first sections, the rest are empty.
std::string GroupFileBytes(const std::vector<Entry>& entries, const std::string& extra = "") {
  std::string bytes;
  for (int n = 1; n <= 20; ++n) {
    char section[8];
    wsprintfA(section, "[%02d]\r\n", n);
    const Entry e = static_cast<std::size_t>(n) <= entries.size() ? entries[static_cast<std::size_t>(n - 1)] : Entry{};
    bytes += section;
    bytes += "TITLE=" + e.title + "\r\nPATH=" + e.path + "\r\n";
  }
  return bytes + extra;
}

const std::vector<Entry> kEstimates = {
    {"見積書", "C:\\業務\\見積書.xls"}, {"請求書ソ表", "C:\\業務\\請求書.doc"}, {}, {"予定表", ""}};
const std::vector<Entry> kSales = {{"売上", "C:\\売上.xls"}};

// The titles a group shows, for comparing groups before and after.
std::vector<std::string> Titles(const korvane::Group& g) {
  std::vector<std::string> titles;
  for (const korvane::Entry& entry : g.entries) titles.push_back(entry.title);
  return titles;
}

// ------------------------------------------------------------ the fixture

class GroupCommandsTest : public ::testing::Test {
 protected:
  GroupCommandsTest() {
    uitest::App();
    dlgtest::ParkPointer();
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(sizeof temp, temp);
    static unsigned serial = 0;
    do {
      root_ = std::string(temp) + "korvane-cmd-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(++serial);
    } while (!CreateDirectoryA(root_.c_str(), nullptr));
    // A folder name ending in a 0x5C trail byte, as a user's may.
    folder = root_ + "\\ソフト表";
    CreateDirectoryA(folder.c_str(), nullptr);
    folder += "\\";
  }

  ~GroupCommandsTest() override {
    form.reset();
    // The main window hooked the application object shared by the tests.
    uitest::App().on_message = nullptr;
    uitest::App().on_activate = nullptr;
    uitest::Pump();
    RemoveTree(root_);
  }

  void Group(const std::string& file_name, const std::string& bytes) {
    ASSERT_TRUE(WriteBytes(folder + file_name, bytes)) << file_name;
  }

  void Open() {
    form = std::make_unique<TFrmFR0010MN>();
    form->SetDataFolder(folder);
    ASSERT_TRUE(form->Create());
    // The designed size: the grid shows fewer than its twenty entries.
    form->SetBounds({60, 40, 730, 479});
    form->Show();
    ASSERT_TRUE(uitest::BringToFront(form->hwnd()));
    uitest::Pump();
    ASSERT_TRUE(seam.boxes.empty()) << seam.boxes[0].text;
    ASSERT_EQ(form->LBGroup.Count(), static_cast<int>(form->Model().GroupCount()));
  }

  korvane::LauncherModel& Model() { return form->Model(); }
  // The list order is the folder's: rows are found by name.
  int Row(const std::string& name) { return Model().FindGroup(name); }
  const korvane::Group& GroupNamed(const std::string& name) {
    return Model().GroupAt(static_cast<std::size_t>(Row(name)));
  }
  std::vector<std::string> ListItems() {
    std::vector<std::string> items;
    for (int i = 0; i < form->LBGroup.Count(); ++i) items.push_back(form->LBGroup.Item(i));
    return items;
  }

  // A left click on the row, as the user selects a group.
  void ClickGroup(const std::string& name) {
    const int row = Row(name);
    ASSERT_GE(row, 0) << name;
    const RECT r = form->LBGroup.ItemRect(row);
    uitest::PostButton(form->LBGroup.hwnd(), WM_LBUTTONDOWN, r.left + 20, (r.top + r.bottom) / 2);
    ASSERT_TRUE(uitest::PumpUntil([&] { return Model().CurrentRow() == row; }));
    ASSERT_EQ(form->LBGroup.ItemIndex(), row);
    ASSERT_TRUE(form->DGMain.Enabled());
  }

  // Runs a group command as the popup menu runs it while `steps` drive
  // what it shows.
  void Run(void (TFrmFR0010MN::*command)(), std::vector<Step> steps) {
    dlgtest::Script script(std::move(steps), [] { CloseWhateverIsUp(); });
    (form.get()->*command)();
    EXPECT_TRUE(script.finished()) << "the command ended before the last step";
  }

  // The right button pressed over the group list (below its last row), the
  // popup menu read and answered by `in_menu`, then `steps`; runs until the
  // steps are done and the menu is gone.
  void RightClickList(std::function<void(HMENU)> in_menu, std::vector<Step> steps = {}) {
    std::vector<Step> all;
    all.push_back([this] {
      RECT client{};
      GetClientRect(form->LBGroup.hwnd(), &client);
      uitest::PostButton(form->LBGroup.hwnd(), WM_RBUTTONDOWN, 30, client.bottom - 10);
    });
    all.push_back([in_menu] {
      HWND menu = FindWindowA("#32768", nullptr);
      if (!menu || !IsWindowVisible(menu)) return dlgtest::RunAgain();
      in_menu(reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0)));
    });
    for (Step& s : steps) all.push_back(std::move(s));
    dlgtest::Script script(std::move(all), [] { CloseWhateverIsUp(); });
    EXPECT_TRUE(uitest::PumpUntil([&] {
      HWND menu = FindWindowA("#32768", nullptr);
      return script.finished() && !(menu && IsWindowVisible(menu));
    }));
  }

  // Keys for the popup menu, which takes them from the thread's queue.
  void MenuKeys(std::initializer_list<UINT> keys) {
    for (UINT k : keys) PostKey(form->hwnd(), k);
  }

  static void CloseWhateverIsUp() {
    for (const char* cls : {"TFrmFR0030NG", "TFrmFR0040CG", "TAboutBox"}) {
      if (HWND h = FindWindowA(cls, nullptr)) {
        if (ui::Form* f = ui::Form::FromHwnd(h)) f->EndModal(ui::kModalCancel);
      }
    }
    if (HWND box = dlgtest::FindMessageBox()) PostMessageA(box, WM_COMMAND, IDNO, 0);
    if (HWND menu = FindWindowA("#32768", nullptr)) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  }

  // The name dialog of that class once it is up and has the focus in its
  // name box; null (and the step runs again) before.
  static GroupNameDialog* DialogUp(const char* cls) {
    HWND h = FindWindowA(cls, nullptr);
    auto* dialog = h ? dynamic_cast<GroupNameDialog*>(ui::Form::FromHwnd(h)) : nullptr;
    if (!dialog || !IsWindowVisible(h) || GetFocus() != dialog->EdtNewGroup.hwnd()) {
      dlgtest::RunAgain();
      return nullptr;
    }
    return dialog;
  }

  static void Type(GroupNameDialog& d, const std::string& bytes) { PostAnsiChars(d.EdtNewGroup.hwnd(), bytes); }
  static void Enter(GroupNameDialog& d) { PostKey(d.EdtNewGroup.hwnd(), VK_RETURN); }
  static void PressCancel(GroupNameDialog& d) { uitest::PostButton(d.BtnCancel.hwnd(), WM_LBUTTONDOWN, 10, 10); }

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
    seam.answer = IDYES;
    form->MnuDeleteGroupClick();
  }
  void Save() {
    const std::size_t shown = seam.boxes.size();
    form->MnuSaveClick();
    EXPECT_EQ(seam.boxes.size(), shown) << "the save warned: " << seam.boxes.back().text;
  }

  // The screen pixels of a grid cell.
  std::vector<COLORREF> CellPixels(int col, int row) {
    const RECT r = form->DGMain.CellRect(col, row);
    std::vector<COLORREF> px;
    HDC dc = GetDC(form->DGMain.hwnd());
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) px.push_back(GetPixel(dc, x, y));
    ReleaseDC(form->DGMain.hwnd(), dc);
    return px;
  }

  FakeSeam seam;
  std::string folder;
  std::unique_ptr<TFrmFR0010MN> form;

 private:
  std::string root_;
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
         EXPECT_EQ(GetWindow(dialog, GW_OWNER), form->hwnd());
         EXPECT_FALSE(IsWindowEnabled(form->hwnd()));
         EXPECT_EQ(d->EdtNewGroup.Text(), "");
         Type(*d, "総務　備品");
         Enter(*d);
       }});
  EXPECT_EQ(menu_states, "+++");
  ASSERT_EQ(ListItems().size(), 3u);
  EXPECT_EQ(form->LBGroup.Item(2), "総務　備品");
  EXPECT_EQ(Model().Names()[2], "総務　備品");
  EXPECT_EQ(form->LBGroup.ItemIndex(), current);  // the selection stays
  EXPECT_EQ(Model().CurrentRow(), current);       // and so does the grid's group
  EXPECT_TRUE(form->DGMain.Enabled());
  EXPECT_EQ(Model().Current()->entries[0].title, "見積書");
  const korvane::Group& added = Model().GroupAt(2);
  EXPECT_EQ(added.entries, std::vector<korvane::Entry>(20));
  EXPECT_TRUE(Model().Modified());
  EXPECT_FALSE(IsWindow(dialog));  // made for one use
  EXPECT_TRUE(IsWindowEnabled(form->hwnd()));
  EXPECT_EQ(GroupFiles(folder), Sorted({"売上.PTH", "見積.PTH"}));  // no file before a save
  EXPECT_TRUE(seam.boxes.empty());

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
         ASSERT_EQ(seam.Texts(), std::vector<std::string>{korvane::kMsgNameExists});
         PressCancel(*d);
       }});
  EXPECT_EQ(ListItems(), items);
  EXPECT_EQ(form->LBGroup.ItemIndex(), current);
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
  for (int i = 0; i < 3; ++i) PostKey(form->DGMain.hwnd(), VK_DOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return form->DGMain.Row() == 4; }));
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
  EXPECT_EQ(sel_end, 4u);  // the whole name, in bytes
  EXPECT_EQ(form->LBGroup.Item(row), "経理部");
  EXPECT_EQ(form->LBGroup.Count(), 2);
  EXPECT_EQ(form->LBGroup.ItemIndex(), row);
  EXPECT_EQ(Model().CurrentRow(), row);
  const korvane::Group& after = Model().GroupAt(static_cast<std::size_t>(row));
  EXPECT_EQ(after.name, "経理部");
  EXPECT_EQ(after.entries, before.entries);
  EXPECT_EQ(form->DGMain.Row(), 4);  // the grid was not reset
  EXPECT_EQ(form->DGMain.Col(), 1);
  EXPECT_TRUE(form->DGMain.Enabled());
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
  EXPECT_EQ(form->LBGroup.Item(form->LBGroup.ItemIndex()), "仮の名");
  RenameSelected("見積");
  EXPECT_EQ(form->LBGroup.Item(form->LBGroup.ItemIndex()), "見積");
  ASSERT_EQ(Model().Removed().size(), 2u);
  EXPECT_TRUE(seam.boxes.empty());

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
  EXPECT_EQ(form->LBGroup.Item(form->LBGroup.ItemIndex()), "ab");
  EXPECT_TRUE(seam.boxes.empty());
  Save();
  EXPECT_EQ(GroupFiles(folder), Sorted({"ab.PTH", "売上.PTH"}));
  EXPECT_EQ(ReadBytes(folder + "ab.PTH"), GroupFileBytes(kEstimates));
}

// ------------------------------------------------------------ delete

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
  for (int i = 0; i < 19; ++i) PostKey(form->DGMain.hwnd(), VK_DOWN);
  ASSERT_TRUE(uitest::PumpUntil([&] { return form->DGMain.Row() == 20; }));
  ASSERT_GT(form->DGMain.TopRow(), 1);
  const auto unchanged = [&] {
    EXPECT_EQ(ListItems(), items);
    EXPECT_EQ(form->LBGroup.ItemIndex(), row);
    EXPECT_EQ(Model().CurrentRow(), row);
    EXPECT_TRUE(form->DGMain.Enabled());
    EXPECT_EQ(form->DGMain.Row(), 20);
    EXPECT_FALSE(Model().Modified());
    EXPECT_TRUE(Model().Removed().empty());
  };

  // No.
  seam.answer = IDNO;
  form->MnuDeleteGroupClick();
  ASSERT_EQ(seam.boxes.size(), 1u);
  EXPECT_EQ(seam.boxes[0].text, std::string("見積") + kDeleteTail);
  EXPECT_EQ(seam.boxes[0].caption, "Korvane");
  EXPECT_EQ(seam.boxes[0].flags & (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK),
            static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
  unchanged();

  // Enter alone in the system's box: No is its default button.
  korvane::SetSeam(nullptr);
  std::string shown;
  bool no_is_default = false;
  bool main_disabled = false;
  Run(&TFrmFR0010MN::MnuDeleteGroupClick, {[&] {
        HWND box = dlgtest::FindMessageBox();
        if (!box || GetForegroundWindow() != box) return dlgtest::RunAgain();
        shown = dlgtest::DlgItemText(box, 0xFFFF);
        // The default button is drawn as such and has the focus.
        HWND no = GetDlgItem(box, IDNO);
        no_is_default = (GetWindowLongA(no, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON && GetFocus() == no;
        main_disabled = !IsWindowEnabled(form->hwnd());
        PostKey(GetFocus(), VK_RETURN);
      }});
  korvane::SetSeam(&seam);
  EXPECT_EQ(shown, std::string("見積") + kDeleteTail);
  EXPECT_TRUE(no_is_default);
  EXPECT_TRUE(main_disabled);
  EXPECT_EQ(dlgtest::FindMessageBox(), nullptr);
  unchanged();

  // Yes. The grid paints nothing of the group once it is released.
  int paints = 0, paints_with_a_group = 0;
  auto draw = form->DGMain.on_draw_cell;
  form->DGMain.on_draw_cell = [&](HDC dc, int c, int r, const RECT& rect, ui::CellState s) {
    ++paints;
    if (Model().Current()) ++paints_with_a_group;
    draw(dc, c, r, rect, s);
  };
  DeleteSelected();
  EXPECT_EQ(seam.boxes.size(), 2u);
  EXPECT_EQ(ListItems(), std::vector<std::string>{"売上"});
  EXPECT_EQ(form->LBGroup.ItemIndex(), -1);
  EXPECT_EQ(Model().CurrentRow(), -1);
  EXPECT_FALSE(form->DGMain.Enabled());
  EXPECT_EQ(form->DGMain.Col(), 1);
  EXPECT_EQ(form->DGMain.Row(), 1);
  EXPECT_EQ(form->DGMain.LeftCol(), 1);
  EXPECT_EQ(form->DGMain.TopRow(), 1);
  EXPECT_GT(paints, 0);  // repainted before the command returned
  EXPECT_EQ(paints_with_a_group, 0);
  form->DGMain.on_draw_cell = draw;
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

TEST_F(GroupCommandsTest, DeletingTheOnlyGroupLeavesAnEmptyListAndTheSaveRemovesItsFile) {
  Group("見積.PTH", GroupFileBytes(kEstimates));
  Open();
  ClickGroup("見積");
  DeleteSelected();
  EXPECT_EQ(form->LBGroup.Count(), 0);
  EXPECT_EQ(Model().GroupCount(), 0u);
  EXPECT_FALSE(form->DGMain.Enabled());
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
  EXPECT_EQ(form->LBGroup.ItemIndex(), -1);
  Save();
  EXPECT_EQ(GroupFiles(folder), Sorted({"売上.PTH", "見積.PTH"}));
  EXPECT_EQ(ReadBytes(folder + "見積.PTH"), GroupFileBytes({}));
  EXPECT_FALSE(Model().Modified());
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
  EXPECT_EQ(seam.boxes.size(), 1u);  // the question only
  Save();
  EXPECT_EQ(GroupFiles(folder), Sorted({"MEMO.PTH", "Note2.PTH"}));
  EXPECT_EQ(ReadBytes(folder + "MEMO.PTH"), GroupFileBytes({}));
  EXPECT_EQ(ReadBytes(folder + "Note2.PTH"), GroupFileBytes(kSales));
  EXPECT_FALSE(Model().Modified());
}

// ------------------------------------------------------------ an open title edit

TEST_F(GroupCommandsTest, AnOpenTitleEditIsCommittedBeforeEveryGroupCommand) {
  Group("Korvane.INI", "[Korvane]\r\nMODE=0\r\n");  // registration mode
  Group("見積.PTH", GroupFileBytes(kEstimates));
  Group("売上.PTH", GroupFileBytes(kSales));
  Open();
  ASSERT_EQ(form->Mode(), 0);
  ClickGroup("見積");
  const korvane::Group sales = GroupNamed("売上");
  // F2 on entry `n`'s title cell opens the editor; the text is typed in.
  const auto edit_title = [&](int n, const std::string& text) {
    while (form->DGMain.Row() < n) {
      const int r = form->DGMain.Row();
      PostKey(form->DGMain.hwnd(), VK_DOWN);
      ASSERT_TRUE(uitest::PumpUntil([&] { return form->DGMain.Row() == r + 1; }));
    }
    PostKey(form->DGMain.hwnd(), VK_F2);
    ASSERT_TRUE(uitest::PumpUntil([&] { return GetFocus() == form->EdtTitle.hwnd(); }));
    PostAnsiChars(form->EdtTitle.hwnd(), text);
    ASSERT_TRUE(uitest::PumpUntil([&] { return form->EdtTitle.Text() == text; }));
    ASSERT_NE(Model().Current(), nullptr);
    ASSERT_EQ(Model().Current()->entries[static_cast<std::size_t>(n - 1)].title, kEstimates[n - 1].title);
  };
  const auto committed = [&](int n, const std::string& text) {
    EXPECT_FALSE(IsWindowVisible(form->EdtTitle.hwnd()));
    EXPECT_FALSE(form->Marks().title_editing);
    const korvane::Group* g = Model().Current();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->entries[static_cast<std::size_t>(n - 1)].title, text);
  };

  edit_title(1, "新しい題名");
  Run(&TFrmFR0010MN::MnuNewGroupClick, {[&] {
        if (GroupNameDialog* d = DialogUp("TFrmFR0030NG")) {
          committed(1, "新しい題名");
          PressCancel(*d);
        }
      }});

  edit_title(2, "改名前");
  Run(&TFrmFR0010MN::MnuChangeNameClick, {[&] {
        if (GroupNameDialog* d = DialogUp("TFrmFR0040CG")) {
          committed(2, "改名前");
          Type(*d, "経理");
          Enter(*d);
        }
      }});
  EXPECT_EQ(GroupNamed("経理").entries[1].title, "改名前");

  edit_title(3, "削除前");
  bool committed_before_question = false;
  seam.on_box = [&] {
    committed_before_question = !IsWindowVisible(form->EdtTitle.hwnd()) && Model().Current() &&
                                Model().Current()->entries[2].title == "削除前";
  };
  DeleteSelected();
  seam.on_box = nullptr;
  EXPECT_TRUE(committed_before_question);
  EXPECT_EQ(Model().Names(), std::vector<std::string>{"売上"});
  EXPECT_FALSE(IsWindowVisible(form->EdtTitle.hwnd()));
  EXPECT_EQ(form->EdtTitle.Text(), "");
  EXPECT_EQ(Titles(GroupNamed("売上")), Titles(sales));  // nothing went into another group
  EXPECT_NE(GetFocus(), form->EdtTitle.hwnd());
}

// ------------------------------------------------------------ the version dialog

TEST_F(GroupCommandsTest, VersionDialogFromTheHelpMenuFollowsThePointerOpensTheLinkAndClosesOnEnter) {
  Open();
  HWND box_hwnd = nullptr;
  korvane::TAboutBox* box = nullptr;
  const auto move = [](HWND h) { PostMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3)); };
  std::vector<COLORREF> colours;
  dlgtest::Script script(
      {[&] { uitest::SendKeys({VK_MENU, 'H'}); },
       [&] {
         HWND menu = FindWindowA("#32768", nullptr);
         if (!menu || !IsWindowVisible(menu)) return dlgtest::RunAgain();
         uitest::SendKeys({'A'});
       },
       [&] {
         box_hwnd = FindWindowA("TAboutBox", "Version Information");
         if (!box_hwnd || !IsWindowVisible(box_hwnd)) return dlgtest::RunAgain();
         box = dynamic_cast<korvane::TAboutBox*>(ui::Form::FromHwnd(box_hwnd));
         ASSERT_NE(box, nullptr);
         EXPECT_EQ(GetWindow(box_hwnd, GW_OWNER), form->hwnd());
         EXPECT_FALSE(IsWindowEnabled(form->hwnd()));
         const ui::Bounds o = form->bounds();
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
         uitest::PostButton(box->LblCopyright.hwnd(), WM_LBUTTONDOWN, 3, 3);
       },
       [&] {
         colours.push_back(box->LblCopyright.font_color());
         ASSERT_EQ(seam.shell_calls.size(), 1u);
         EXPECT_TRUE(box->InModal());
         EXPECT_EQ(GetFocus(), box->OKButton.hwnd());
         PostKey(GetFocus(), VK_RETURN);
       },
       [&] {
         if (IsWindow(box_hwnd)) dlgtest::RunAgain();
       }},
      [] { CloseWhateverIsUp(); });
  EXPECT_TRUE(uitest::PumpUntil([&] { return script.finished() && box_hwnd && !IsWindow(box_hwnd); }));
  using korvane::kLinkColor, korvane::kLinkHotColor;
  EXPECT_EQ(colours, (std::vector<COLORREF>{kLinkColor, kLinkHotColor, kLinkColor, kLinkHotColor, kLinkColor}));
  ASSERT_EQ(seam.shell_calls.size(), 1u);
  const FakeSeam::ShellCall& call = seam.shell_calls[0];
  EXPECT_EQ(call.owner, nullptr);
  EXPECT_EQ(call.verb, "OPEN");
  EXPECT_EQ(call.file, korvane::kMakerAddress);
  EXPECT_EQ(call.show, SW_SHOW);
  EXPECT_EQ(call.cursor, ui::ScreenCursor::HourGlass);
  EXPECT_EQ(uitest::App().screen_cursor(), ui::ScreenCursor::Default);
  EXPECT_TRUE(IsWindowEnabled(form->hwnd()));
  EXPECT_TRUE(uitest::PumpUntil([&] { return GetActiveWindow() == form->hwnd(); }));
  EXPECT_FALSE(Model().Modified());
}

}  // namespace
