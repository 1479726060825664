// Registration mode: the title editor over the title cell, the path chosen
// in the open-file dialog, the Delete key, and files dropped on a row (a
// file dropped on an entry's row sets that entry as the open-file dialog
// would; several fill that row and the rows without a path after it).
#include "grid/entry_editor.h"

#include "common/FN0010GF.h"
#include "common/text.h"
#include "data/entry_path.h"
#include "data/groupfiles.h"
#include "data/ini.h"
#include "data/os.h"
#include "data/settings.h"
#include "grid/columns.h"

namespace korvane {

namespace {
constexpr int kEditorHeight = 20;
constexpr char kDropNeedsRegistration[] = "ファイルの登録は登録モードで行ってください。";
constexpr char kDropNeedsGroup[] = "業務名を選択してから、ファイルをドロップしてください。";
constexpr char kDropOnARow[] = "ファイルは登録する行の上にドロップしてください。";
// One box names every file of a drop that was not registered, each with
// its reason.
constexpr char kDropRefused[] = "次のファイルは登録されませんでした。\r\n\r\n";
constexpr char kReasonBadName[] = "【使えない文字】";
constexpr char kReasonTooLong[] = "【名前が長すぎる】";
constexpr char kReasonFolder[] = "【フォルダー】";
constexpr char kReasonNoRoom[] = "【空いている行がない】";
constexpr char kReasonNotAPath[] = "【ファイルのパスではない】";
constexpr char kNameNotShown[] = "（表示できない名前）";
constexpr char kEntryGone[] = "業務が他の場所で削除されたため、パスは変更されませんでした";
}  // namespace

void EntryEditor::FitColumns() {
  ui::DrawGrid& grid = p_.grid;
  if (!grid.hwnd()) return;
  // Launcher mode shows only the title column: the current cell moves there
  // first.
  if (p_.mode != kModeRegistration) grid.SetCol(1);
  const ColumnWidths w = ComputeColumnWidths(grid.Width(), ui::DrawGrid::ScrollBarWidth(), grid.ColWidth(0),
                                             grid.GridLineWidth(), p_.mode);
  grid.SetColWidth(1, w.title);
  grid.SetColWidth(2, w.path);
  ui::Bounds b = ui::BoundsOf(p_.title_editor.hwnd());
  b.width = TitleEditorWidth(grid.ColWidth(1));
  ui::SetBounds(p_.title_editor.hwnd(), b);
}

void EntryEditor::EditCell(int col, int row) {
  target_row_ = p_.marks.edit_row = row;
  p_.marks.title_editing = col == 1;
  p_.grid.Repaint();
  if (col == 1) BeginTitleEdit(col, row);
  else SelectPath();
}

void EntryEditor::ClearCurrentCell() {
  ui::DrawGrid& grid = p_.grid;
  if (grid.Col() < 1 || grid.Row() < 1) return;
  const auto n = static_cast<std::size_t>(grid.Row());
  if (grid.Col() == 1) p_.history.ClearTitle(n);
  else p_.history.ClearPath(n);
  grid.Repaint();
}

void EntryEditor::BeginTitleEdit(int col, int row) {
  const RECT cell = p_.grid.CellRect(col, row);
  const ui::Bounds grid = ui::BoundsOf(p_.grid.hwnd());
  ui::Bounds b;
  b.x = grid.x + cell.left + 20;
  b.y = grid.y + cell.top + (cell.bottom - cell.top - kEditorHeight) / 2 + 4;
  b.width = TitleEditorWidth(cell.right - cell.left);
  b.height = kEditorHeight;
  ui::Edit& editor = p_.title_editor;
  ui::SetBounds(editor.hwnd(), b);
  const Group* group = p_.model.Current();
  const Entry* entry = group ? group->EntryAt(static_cast<std::size_t>(row)) : nullptr;
  editor.SetText(entry ? entry->title : std::string());
  editor.SetModified(false);
  // While the editor is open a refresh leaves this title and its base as
  // the editor found them: a change made elsewhere meanwhile makes the
  // commit a clash, told and kept at the save.
  if (entry) p_.model.Hold({group->id, static_cast<std::size_t>(row), true});
  // Its place in the z-order, above the grid, is its place in the tab
  // order too: the grid follows it, so Enter and Tab lead back there.
  ui::SetVisible(editor.hwnd(), true);
  p_.form.FocusControl(editor.hwnd());
  editor.SelectAll();
}

void EntryEditor::TitleKeyPress(unsigned& key) {
  if (key != '\r') return;
  key = 0;
  // The focus goes on in tab order: from the editor to the grid.
  SendMessageW(p_.form.hwnd(), WM_NEXTDLGCTL, 0, 0);
}

void EntryEditor::TitleExit() {
  GridMarks& marks = p_.marks;
  if (!marks.title_editing) return;
  ui::Edit& editor = p_.title_editor;
  if (editor.Modified() && p_.model.Current() && target_row_ >= 1) {
    p_.history.SetTitle(static_cast<std::size_t>(target_row_), TruncateBytes(editor.Text(), kTitleMaxBytes));
  }
  p_.model.Release();
  marks.edit_row = -1;
  target_row_ = -1;
  marks.title_editing = false;
  editor.SetText("");
  ui::SetVisible(editor.hwnd(), false);
  p_.grid.Repaint();
}

void EntryEditor::CommitTitleEdit() {
  if (!p_.marks.title_editing) return;
  // The editor may still hold the focus (the speed buttons take none): it
  // goes to the grid, as after Enter, and the editor's exit commits. Hiding
  // the focused editor first would hand the focus to the first control in
  // tab order, the group list.
  if (GetFocus() == p_.title_editor.hwnd()) {
    if (p_.grid.Enabled()) p_.grid.SetFocus();
    else SetFocus(p_.form.hwnd());
  }
  if (p_.marks.title_editing) TitleExit();
}

void EntryEditor::SelectPath() {
  LauncherModel& model = p_.model;
  const Group* group = model.Current();
  const auto n = static_cast<std::size_t>(target_row_);
  if (const Entry* entry = group ? group->EntryAt(n) : nullptr) {
    ui::OpenFileDialog& dialog = p_.path_dialog;
    // The dialog opens where the entry's file is; a file chosen on the
    // stick the program runs from is stored without its drive letter.
    dialog.file_name = p_.work.Resolved(entry->path);
    // The path keeps its base while the dialog is open, as the title does
    // under the title editor.
    const std::uint64_t id = group->id;
    model.Hold({id, n, false});
    // Tested off the window's thread, the chosen path or (cancelled) the
    // one there.
    const bool chosen = dialog.Execute(p_.form.hwnd());
    model.Release();
    // A refresh may have run during the dialog (groups appended elsewhere
    // move the model's storage): the entry is looked up again, in the group
    // it was chosen for.
    group = model.Current();
    entry = group && group->id == id ? group->EntryAt(n) : nullptr;
    if (!entry && p_.notice) p_.notice(kEntryGone);
    if (entry) {
      if (chosen) p_.history.SetPath(n, p_.work.StoredPath(dialog.file_name));
      else model.SetMarker(n, UntestedMarker(entry->path));
      p_.work.TestPaths(static_cast<std::size_t>(model.CurrentRow()), true, n);
    }
  }
  p_.marks.edit_row = -1;
  target_row_ = -1;
  p_.grid.Repaint();
}

int EntryEditor::DropRow(POINT screen) const {
  const HWND grid = p_.grid.hwnd();
  POINT pt = screen;
  ScreenToClient(grid, &pt);
  RECT client{};
  GetClientRect(grid, &client);
  if (!PtInRect(&client, pt)) return -1;
  // The row at the pointer's height, wherever across it (the launch button
  // too), found as a press on the button finds it.
  return p_.grid.MouseToCell(p_.grid.ColWidth(0) + 1, pt.y).row;
}

bool EntryEditor::AcceptsDrop(POINT screen) const {
  return p_.mode == kModeRegistration && p_.model.Current() && DropRow(screen) >= 1;
}

void EntryEditor::DropFiles(const std::vector<std::optional<std::string>>& names, POINT screen) {
  CommitTitleEdit();
  if (p_.mode != kModeRegistration) return ShowInformation(kDropNeedsRegistration);
  if (!p_.model.Current()) return ShowInformation(kDropNeedsGroup);
  const int row = DropRow(screen);
  if (row < 1) return ShowInformation(kDropOnARow);
  RegisterFiles(names, row, false);
}

void EntryEditor::PasteFiles(const std::vector<std::optional<std::string>>& names, int row, bool typed) {
  CommitTitleEdit();
  if (p_.mode != kModeRegistration) return ShowInformation(kDropNeedsRegistration);
  if (!p_.model.Current() || row < 1) return;
  RegisterFiles(names, row, typed);
}

void EntryEditor::RegisterFiles(const std::vector<std::optional<std::string>>& names, int row, bool typed) {
  LauncherModel& model = p_.model;
  // Each name either is registered or gets its reason.
  std::vector<std::string> reasons(names.size());
  std::vector<std::string> paths;
  std::vector<std::size_t> at;  // the place in names of each of paths
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (!names[i]) {
      reasons[i] = kReasonBadName;
    } else if (TextUnits(*names[i]) > kIniValueLimit) {
      reasons[i] = kReasonTooLong;
    } else if (typed && !IsFullPath(*names[i])) {
      reasons[i] = kReasonNotAPath;
    } else {
      paths.push_back(*names[i]);
      at.push_back(i);
    }
  }
  if (paths.empty()) return ReportRefused(names, reasons);
  // Folders are looked for off the window's thread; the entries are set
  // when the answer comes, if the group is still shown for registration.
  p_.work.FindFolders(paths, [this, names, reasons, paths, at, row, group = model.Current()->name](
                                 const std::vector<bool>& folders) mutable {
    const Group* now = p_.model.Current();
    if (p_.mode != kModeRegistration || !now || now->name != group) return;
    std::vector<std::string> files;
    std::vector<std::size_t> file_at;
    for (std::size_t k = 0; k < paths.size(); ++k) {
      if (k < folders.size() && folders[k]) {
        reasons[at[k]] = kReasonFolder;
      } else {
        files.push_back(paths[k]);
        file_at.push_back(at[k]);
      }
    }
    const std::size_t registered = RegisterDropped(files, row);
    for (std::size_t k = registered; k < files.size(); ++k) reasons[file_at[k]] = kReasonNoRoom;
    ReportRefused(names, reasons);
  });
}

std::size_t EntryEditor::RegisterDropped(const std::vector<std::string>& names, int row) {
  if (names.empty()) return 0;
  LauncherModel& model = p_.model;
  const std::size_t count = model.EntryCount();
  std::size_t n = static_cast<std::size_t>(row);
  // The files of one drop are one step to undo.
  std::vector<std::pair<std::size_t, std::string>> paths;
  for (std::size_t i = 0; i < names.size(); ++i) {
    // The first goes where it was dropped; the others only to rows
    // without a path.
    if (i > 0) {
      for (++n; n <= count && !model.Current()->EntryAt(n)->path.empty();) ++n;
    }
    if (n > count) break;
    paths.emplace_back(n, p_.work.StoredPath(names[i]));
  }
  const std::size_t registered = paths.size();
  p_.history.SetPaths(std::move(paths));
  p_.work.TestPaths(static_cast<std::size_t>(model.CurrentRow()), true);
  p_.grid.Repaint();
  return registered;
}

void EntryEditor::ReportRefused(const std::vector<std::optional<std::string>>& names,
                                const std::vector<std::string>& reasons) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < names.size() && i < reasons.size(); ++i) {
    if (!reasons[i].empty()) lines.push_back(reasons[i] + (names[i] ? *names[i] : std::string(kNameNotShown)));
  }
  if (!lines.empty()) ShowInformation(kDropRefused + ReportText(lines));
}

}  // namespace korvane
