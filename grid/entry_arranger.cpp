#include "grid/entry_arranger.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "common/FN0010GF.h"
#include "data/settings.h"
#include "grid/clipboard.h"
#include "grid/painter.h"
#include "ui/gdi.h"
#include "ui/wide.h"

namespace korvane {

namespace {
// The insertion mark: a bar this high, at the edge of the row the entry
// would take that faces the row it leaves. A target group row is framed
// this wide.
constexpr int kMarkHeight = 3;
// Navy, of the colour table's system colours, which no cell uses.
constexpr int kMarkColor = 19;

constexpr char kTargetGone[] = "移動先の業務名は他の場所で削除されたため、移動しませんでした";
constexpr char kPasteTargetChanged[] = "貼り付け先の行が他の場所で変更されたため、貼り付けませんでした";

constexpr ui::Shortcut Alt(WORD key) { return ui::Shortcut{FALT, key}; }
constexpr ui::Shortcut Plain(WORD key) { return ui::Shortcut{0, key}; }

// "「title」" or, for an entry without one, its row.
std::string EntryName(const Entry& entry, std::size_t n) {
  if (!entry.title.empty()) return "「" + entry.title + "」";
  return std::to_string(n) + " 行目のエントリ";
}
}  // namespace

std::string GroupFullText(std::string_view group, bool copy) {
  return "業務「" + std::string(group) + "」には空いている行がないため、" + (copy ? "コピー" : "移動") + "できません。";
}

EntryArranger::EntryArranger(Parts parts) : p_(std::move(parts)) {
  menu_ = std::make_unique<ui::PopupMenu>(std::vector<ui::MenuItem>{
      {kIdMoveUp, "上へ移動(&U)", Alt(VK_UP), [this] { MoveBy(-1); }, {}},
      {kIdMoveDown, "下へ移動(&N)", Alt(VK_DOWN), [this] { MoveBy(1); }, {}},
      {0, ui::kSeparator, {}, nullptr, {}},
      {kIdCut, "切り取り(&T)", ui::Ctrl('X'), [this] { Cut(); }, {}},
      {kIdCopy, "コピー(&C)", ui::Ctrl('C'), [this] { Copy(); }, {}},
      {kIdPaste, "貼り付け(&P)", ui::Ctrl('V'), [this] { Paste(); }, {}},
      {0, ui::kSeparator, {}, nullptr, {}},
      {kIdDeleteEntry, "削除(&D)", Plain(VK_DELETE), [this] { if (p_.clear_cell) p_.clear_cell(); }, {}},
      {kIdDeleteWhole, "エントリの削除(&E)", ui::Shortcut{FCONTROL, VK_DELETE}, [this] { DeleteEntry(); }, {}},
  });
}

EntryArranger::~EntryArranger() = default;

void EntryArranger::MouseDown(ui::MouseButton button, ui::ShiftState shift, int x, int y) {
  EndDrag();
  if (button != ui::MouseButton::Left || (shift & ui::kDoubleClick) || p_.mode != kModeRegistration) return;
  if (!p_.model.Current()) return;
  const ui::GridCell cell = p_.grid.MouseToCell(x, y);
  // Only a press that made its cell current: a refused one stays a click.
  if (cell.col < 1 || cell.row < 1 || cell.row != p_.grid.Row() || cell.col != p_.grid.Col()) return;
  press_row_ = cell.row;
  press_ = POINT{x, y};
}

void EntryArranger::MouseMove(ui::ShiftState shift, int x, int y) {
  if (press_row_ < 1) return;
  if (!(shift & ui::kLeftButton)) return EndDrag();  // the release went elsewhere
  if (!dragging_) {
    // Within the system's drag rectangle the press is still a click.
    if (std::abs(x - press_.x) <= GetSystemMetrics(SM_CXDRAG) &&
        std::abs(y - press_.y) <= GetSystemMetrics(SM_CYDRAG))
      return;
    dragging_ = true;
  }
  Track(x, y);
}

// Where a release at (x, y) would put the entry.
void EntryArranger::Track(int x, int y) {
  ui::DrawGrid& grid = p_.grid;
  const int old_row = target_row_;
  const int old_group = target_group_;
  target_row_ = 0;
  target_group_ = -1;
  POINT screen{x, y};
  ClientToScreen(grid.hwnd(), &screen);
  RECT list{};
  GetWindowRect(p_.groups.hwnd(), &list);
  if (PtInRect(&list, screen)) {
    POINT pt = screen;
    ScreenToClient(p_.groups.hwnd(), &pt);
    const auto hit = static_cast<DWORD>(
        SendMessageW(p_.groups.hwnd(), LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y)));
    const int row = LOWORD(hit);
    if (HIWORD(hit) == 0 && row != p_.model.CurrentRow() && static_cast<std::size_t>(row) < p_.model.GroupCount()) {
      target_group_ = row;
      target_id_ = p_.model.GroupAt(static_cast<std::size_t>(row)).id;
    }
  } else {
    RECT client{};
    GetClientRect(grid.hwnd(), &client);
    if (x >= client.left && x < client.right) {
      // Above the entries the grid scrolls up a row, below them down a row.
      const RECT header = grid.CellRect(0, 0);
      const int last = grid.RowCount() - 1;
      int row = 0;
      if (y < header.bottom) {
        if (grid.TopRow() > 1) grid.SetTopRow(grid.TopRow() - 1);
        row = grid.TopRow();
      } else if (y >= client.bottom) {
        const int bottom = grid.TopRow() + grid.VisibleRowCount() - 1;
        if (bottom < last) grid.SetTopRow(grid.TopRow() + 1);
        row = std::min(last, grid.TopRow() + grid.VisibleRowCount() - 1);
      } else {
        row = grid.MouseToCell(grid.ColWidth(0) + 1, y).row;
        if (row < 1) row = last;  // below the last row, still inside
      }
      target_row_ = row;
    }
  }
  SetCursor(ui::SystemCursor(target_row_ >= 1 || target_group_ >= 0 ? IDC_ARROW : IDC_NO));
  if (target_row_ != old_row || target_group_ != old_group) grid.Invalidate();
  if (target_group_ != old_group) {
    MarkGroup(old_group);
    MarkGroup(target_group_);
  }
}

void EntryArranger::MarkGroup(int row) {
  if (row < 0 || !p_.groups.hwnd()) return;
  const RECT r = p_.groups.ItemRect(row);
  InvalidateRect(p_.groups.hwnd(), &r, FALSE);
  UpdateWindow(p_.groups.hwnd());
}

void EntryArranger::MouseUp(ui::MouseButton button, ui::ShiftState shift, int x, int y) {
  if (button == ui::MouseButton::Right) {
    EndDrag();
    const ui::GridCell cell = p_.grid.MouseToCell(x, y);
    // Over a title or path cell; column 0 holds the launch buttons.
    if (!p_.model.Current() || cell.row < 1 || cell.col < 1) return;
    // The menu acts on the cell pressed: it becomes current first.
    if (cell.col != p_.grid.Col() && !p_.grid.SetCol(cell.col)) return;
    if (cell.row != p_.grid.Row() && !p_.grid.SetRow(cell.row)) return;
    return ShowMenu(POINT{x, y});
  }
  if (button != ui::MouseButton::Left || press_row_ < 1) return;
  const bool drag = dragging_;
  const auto from = static_cast<std::size_t>(press_row_);
  const int row = target_row_;
  const int group = target_group_ >= 0 ? p_.model.RowOf(target_id_) : -1;
  const bool target_gone = target_group_ >= 0 && group < 0;
  EndDrag();
  if (!drag) return;  // a click, as it always was
  // The group the entry was dragged over, wherever a refresh moved it.
  if (target_gone) {
    if (p_.notice) p_.notice(kTargetGone);
    return;
  }
  if (group >= 0) return Transfer(from, static_cast<std::size_t>(group), (shift & ui::kCtrl) != 0);
  if (row >= 1 && static_cast<std::size_t>(row) != from && p_.history.MoveEntry(from, static_cast<std::size_t>(row))) {
    Moved(static_cast<std::size_t>(p_.model.CurrentRow()));
    p_.grid.SetRow(row);
    p_.grid.Repaint();
  }
}

void EntryArranger::Moved(std::size_t row) {
  if (p_.test_paths) p_.test_paths(row);
}

void EntryArranger::Tell(std::string_view text) const {
  if (p_.notice) p_.notice(text);
}

void EntryArranger::CaptureLost() { EndDrag(); }

void EntryArranger::EndDrag() {
  const bool shown = dragging_;
  const int marked = target_group_;
  press_row_ = 0;
  dragging_ = false;
  target_row_ = 0;
  target_group_ = -1;
  target_id_ = 0;
  if (shown) {
    SetCursor(ui::SystemCursor(IDC_ARROW));
    p_.grid.Invalidate();
    MarkGroup(marked);
  }
}

bool EntryArranger::KeyDown(WORD key, ui::ShiftState shift) {
  const ui::ShiftState mods = shift & (ui::kShift | ui::kCtrl | ui::kAlt);
  if (key == VK_ESCAPE && press_row_ >= 1) {
    EndDrag();
    return true;
  }
  if (key == VK_APPS && mods == 0) {
    const RECT r = p_.grid.CellRect(p_.grid.Col(), p_.grid.Row());
    if (p_.model.Current() && !(r.left == 0 && r.top == 0)) ShowMenu(POINT{r.left + 8, r.bottom - 4});
    return true;
  }
  if (mods != ui::kCtrl) return false;
  switch (key) {
    case 'X': Cut(); return true;
    case 'C': Copy(); return true;
    case 'V': Paste(); return true;
    case VK_DELETE: DeleteEntry(); return true;
    default: return false;
  }
}

bool EntryArranger::SysKeyDown(WORD key, ui::ShiftState shift) {
  const ui::ShiftState mods = shift & (ui::kShift | ui::kCtrl | ui::kAlt);
  if (key == VK_F10 && mods == ui::kShift) return KeyDown(VK_APPS, 0);
  if (mods != ui::kAlt) return false;
  if (key == VK_UP) MoveBy(-1);
  else if (key == VK_DOWN) MoveBy(1);
  else return false;
  return true;
}

void EntryArranger::MoveBy(int rows) {
  if (p_.commit_edit) p_.commit_edit();
  const int from = p_.grid.Row();
  const int to = from + rows;
  if (from < 1 || to < 1 || static_cast<std::size_t>(to) > p_.model.EntryCount()) return;
  if (!p_.history.MoveEntry(static_cast<std::size_t>(from), static_cast<std::size_t>(to))) return;
  Moved(static_cast<std::size_t>(p_.model.CurrentRow()));
  p_.grid.SetRow(to);
  p_.grid.Repaint();
}

void EntryArranger::Cut() {
  if (p_.commit_edit) p_.commit_edit();
  if (p_.grid.Row() < 1 || !p_.history.Cut(static_cast<std::size_t>(p_.grid.Row()))) return;
  PutEntryOnClipboard(p_.form.hwnd(), p_.history.Clipboard()->path);
  p_.grid.Repaint();
}

void EntryArranger::Copy() {
  if (p_.commit_edit) p_.commit_edit();
  if (p_.grid.Row() >= 1 && p_.history.Copy(static_cast<std::size_t>(p_.grid.Row())))
    PutEntryOnClipboard(p_.form.hwnd(), p_.history.Clipboard()->path);
}

void EntryArranger::Paste() {
  if (p_.commit_edit) p_.commit_edit();
  if (!p_.model.Current() || p_.grid.Row() < 1) return;
  // Files and paths copied elsewhere go in as a drop would; the program's
  // own entry (or nothing it can use) is taken from the history's clipboard.
  ClipboardPaste pasted = ReadClipboard(p_.form.hwnd());
  if (pasted.kind == ClipboardPaste::Kind::Files || pasted.kind == ClipboardPaste::Kind::Text) {
    if (p_.paste_files) p_.paste_files(pasted.names, p_.grid.Row(), pasted.kind == ClipboardPaste::Kind::Text);
    return;
  }
  const auto n = static_cast<std::size_t>(p_.grid.Row());
  LauncherModel::Paste done = p_.history.Paste(n, false);
  if (done == LauncherModel::Paste::Ask) {
    // The entry the user is asked about: replaced only if it is still there,
    // as it was, once the box closes (a refresh runs inside its loop).
    const Group* group = p_.model.Current();
    const std::uint64_t id = group->id;
    const Entry asked = *group->EntryAt(n);
    if (!Confirm(kReplaceQuestion)) return;
    group = p_.model.Current();
    const Entry* now = group && group->id == id ? group->EntryAt(n) : nullptr;
    if (!now || now->title != asked.title || now->path != asked.path) {
      if (p_.notice) p_.notice(kPasteTargetChanged);
      return;
    }
    done = p_.history.Paste(n, true);
  }
  if (done != LauncherModel::Paste::Done) return;
  Moved(static_cast<std::size_t>(p_.model.CurrentRow()));
  p_.grid.Repaint();
}

void EntryArranger::DeleteEntry() {
  if (p_.commit_edit) p_.commit_edit();
  if (p_.grid.Row() >= 1 && p_.history.DeleteEntry(static_cast<std::size_t>(p_.grid.Row()))) p_.grid.Repaint();
}

void EntryArranger::Transfer(std::size_t n, std::size_t row, bool copy) {
  if (p_.commit_edit) p_.commit_edit();
  if (row >= p_.model.GroupCount()) return;
  const std::string target = p_.model.GroupAt(row).name;
  const LauncherModel::TransferResult done = p_.history.TransferEntry(n, row, copy);
  if (done.outcome == LauncherModel::Transfer::Full) return ShowInformation(GroupFullText(target, copy));
  if (done.outcome != LauncherModel::Transfer::Done) return;
  Moved(row);
  p_.grid.Repaint();
  if (row < p_.model.GroupCount()) {
    if (const Entry* went = p_.model.GroupAt(row).EntryAt(done.entry))
      Tell(EntryName(*went, n) + "を業務「" + target + "」の " + std::to_string(done.entry) + " 行目へ" +
           (copy ? "コピー" : "移動") + "しました。");
  }
}

void EntryArranger::ShowMenu(POINT client) {
  if (p_.commit_edit) p_.commit_edit();
  const Group* group = p_.model.Current();
  const int row = p_.grid.Row();
  if (!group || row < 1) return;
  menu_->SetEnabled(kIdMoveUp, row > 1);
  menu_->SetEnabled(kIdMoveDown, static_cast<std::size_t>(row) < p_.model.EntryCount());
  menu_->SetEnabled(kIdDeleteEntry, true);
  EnableItems(*menu_);
  ClientToScreen(p_.grid.hwnd(), &client);
  menu_->Popup(p_.form.hwnd(), client);
}

void EntryArranger::EnableItems(ui::Menu& menu) const {
  const int row = p_.grid.Row();
  const bool filled = p_.model.Current() && row >= 1 && p_.model.EntryToCopy(static_cast<std::size_t>(row)).has_value();
  menu.SetEnabled(kIdCut, filled);
  menu.SetEnabled(kIdCopy, filled);
  menu.SetEnabled(kIdDeleteWhole, filled);
  menu.SetEnabled(kIdPaste, p_.model.Current() && row >= 1 && (p_.history.Clipboard().has_value() || ClipboardHasPaste()));
}

void EntryArranger::DrawMark(HDC dc, int col, int row, const RECT& rect) const {
  if (!dragging_ || target_row_ < 1 || target_row_ == press_row_ || row != target_row_ || col < 1) return;
  RECT bar = rect;
  // Moving down the entry lands below the entries it passes, up above them.
  if (target_row_ > press_row_) bar.top = bar.bottom - kMarkHeight;
  else bar.bottom = bar.top + kMarkHeight;
  const ui::UniqueBrush brush(CreateSolidBrush(PaletteColor(kMarkColor)));
  FillRect(dc, &bar, brush.get());
}

void EntryArranger::DrawGroupMark(HDC dc, int row, const RECT& rect) const {
  if (!dragging_ || row != target_group_ || row < 0) return;
  // A frame inside the row, in the insertion mark's colour.
  const ui::UniqueBrush brush(CreateSolidBrush(PaletteColor(kMarkColor)));
  for (int i = 0; i < kMarkHeight; ++i) {
    const RECT frame{rect.left + i, rect.top + i, rect.right - i, rect.bottom - i};
    FrameRect(dc, &frame, brush.get());
  }
}

}  // namespace korvane
