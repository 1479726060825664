#include "app/find_box.h"

#include <algorithm>
#include <utility>

#include "common/dialog_place.h"
#include "ui/gdi.h"
#include "ui/text_fold.h"
#include "ui/text_out.h"
#include "ui/wide.h"

namespace korvane {

namespace {
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 380;
// The smallest client area the frame can be sized to.
constexpr int kMinWidth = 360;
constexpr int kMinHeight = 160;
constexpr int kMargin = 8;
constexpr int kCountWidth = 110;
constexpr int kRowHeight = 20;
constexpr int kIconSize = 16;
constexpr int kGroupColumn = 120;
constexpr int kTitleColumn = 190;

void DrawCell(HDC dc, const std::string& text, RECT r, UINT ellipsis) {
  // DT_MODIFYSTRING is never set: the text stays as it is.
  ui::DrawLineText(dc, ui::Wide(text), r, DT_VCENTER | DT_NOPREFIX | ellipsis);
}
}  // namespace

FindBox::FindBox(const LauncherModel& model, FindBoxCallbacks callbacks, FoldFunction fold)
    : model_(model),
      callbacks_(std::move(callbacks)),
      index_(fold ? std::move(fold) : FoldFunction(ui::FoldForComparison)) {}

// The window goes while the whole object still stands.
FindBox::~FindBox() { Destroy(); }

bool FindBox::Open(HWND owner, bool enter_shows) {
  enter_shows_ = enter_shows;
  if (!hwnd()) {
    ui::FormArgs args;
    args.class_name = "Korvane.Find";
    args.caption = kFindBoxCaption;
    args.kind = ui::FormKind::Dialog;
    args.bounds = {0, 0, size_.width >= kMinWidth ? size_.width : kClientWidth,
                   size_.height >= kMinHeight ? size_.height : kClientHeight};
    args.client_size = true;
    args.owner = owner;
    args.help_context = kFindHelpContext;
    if (!Create(args) || !EdtFind.hwnd() || !LstFound.hwnd()) return false;
    // A sizing frame around the dialog's own: the client area stays.
    const SIZE client = ClientSize();
    SetWindowLongW(hwnd(), GWL_STYLE, GetWindowLongW(hwnd(), GWL_STYLE) | WS_THICKFRAME);
    RECT frame{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, GetWindowLongW(hwnd(), GWL_STYLE), FALSE, GetWindowLongW(hwnd(), GWL_EXSTYLE));
    SetWindowPos(hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    SetMessageHandler(WM_GETMINMAXINFO, [this](WPARAM, LPARAM lp, LRESULT& result) {
      RECT least{0, 0, kMinWidth, kMinHeight};
      AdjustWindowRectEx(&least, GetWindowLongW(hwnd(), GWL_STYLE), FALSE, GetWindowLongW(hwnd(), GWL_EXSTYLE));
      auto* info = reinterpret_cast<MINMAXINFO*>(lp);
      info->ptMinTrackSize = POINT{least.right - least.left, least.bottom - least.top};
      result = 0;
      return true;
    });
    CentreOverOwner(hwnd(), owner);
  } else if (!Visible()) {
    CentreOverOwner(hwnd(), owner);
  }
  index_.Sync(model_);
  Refilter();
  Show();
  SetForegroundWindow(hwnd());
  FocusControl(EdtFind.hwnd());
  EdtFind.SelectAll();
  return true;
}

void FindBox::CloseBox() {
  if (IsOpen()) Hide();
}

bool FindBox::OnCloseQuery() {
  // The close box hides: the window, its text and the index stay for the
  // next time.
  CloseBox();
  return false;
}

void FindBox::OnActivate() {
  ui::Form::OnActivate();
  ModelChanged();
}

void FindBox::OnResize() {
  ui::Form::OnResize();
  const SIZE client = ClientSize();
  // Kept as it was last shown: the box is gone by the time the main
  // window writes its settings.
  if (!IsIconic(hwnd()) && client.cx > 0 && client.cy > 0) shown_size_ = FindBoxSize{client.cx, client.cy};
  if (!EdtFind.hwnd() || !LstFound.hwnd() || !LblCount.hwnd()) return;
  const int w = std::max<int>(client.cx, kMinWidth), h = std::max<int>(client.cy, kMinHeight);
  ui::SetBounds(EdtFind.hwnd(), {kMargin, kMargin, w - 3 * kMargin - kCountWidth, 23});
  ui::SetBounds(LblCount.hwnd(), {w - kMargin - kCountWidth, kMargin + 5, kCountWidth, 16});
  ui::SetBounds(LstFound.hwnd(), {kMargin, kMargin + 23 + kMargin, w - 2 * kMargin, h - 3 * kMargin - 23});
  InvalidateRect(LstFound.hwnd(), nullptr, FALSE);
}

void FindBox::ModelChanged() {
  // The chosen entry is known by its group's name: rows move when groups go.
  const int row = hwnd() ? chosen() : -1;
  std::string name;
  std::uint32_t n = 0;
  if (row >= 0) {
    const FindHit before = hits_[static_cast<std::size_t>(row)];
    if (const std::string* known = index_.GroupNameAt(before.group)) name = *known;
    n = before.entry;
  }
  index_.Sync(model_);
  if (!hwnd()) return;
  Refilter();
  if (n == 0) return;
  const auto it = std::find_if(hits_.begin(), hits_.end(), [&](const FindHit& hit) {
    const std::string* now = index_.GroupNameAt(hit.group);
    return hit.entry == n && now && *now == name;
  });
  if (it != hits_.end()) Choose(static_cast<int>(it - hits_.begin()));
}

void FindBox::IconsChanged() {
  if (LstFound.hwnd()) InvalidateRect(LstFound.hwnd(), nullptr, FALSE);
}

int FindBox::chosen() const {
  const int row = LstFound.hwnd() ? LstFound.ItemIndex() : -1;
  return row >= 0 && static_cast<std::size_t>(row) < hits_.size() ? row : -1;
}

std::string FindBox::CountText() const {
  if (EdtFind.Text().empty()) return {};
  return std::to_string(hits_.size()) + " 件";
}

void FindBox::CreateControls() {
  ui::EditArgs edit;
  edit.parent = hwnd();
  edit.bounds = {kMargin, kMargin, kClientWidth - 3 * kMargin - kCountWidth, 23};
  edit.font = ui::FontSpec{.face = ui::kFaceMsGothic, .height = 15};
  edit.ime_hiragana = true;
  if (!EdtFind.Create(edit)) return;
  EdtFind.on_change = [this] { Refilter(); };
  EdtFind.on_key_down = [this](UINT key) { return KeyDown(key); };
  // The characters of the keys taken above never reach the box.
  EdtFind.on_key_press = [](unsigned& key) {
    if (key == '\r' || key == '\n' || key == 0x1B) key = 0;
  };

  ui::LabelArgs count;
  count.parent = hwnd();
  count.bounds = {kClientWidth - kMargin - kCountWidth, kMargin + 5, kCountWidth, 16};
  count.auto_size = false;
  LblCount.Create(count);

  ui::ListBoxArgs list;
  list.parent = hwnd();
  list.bounds = {kMargin, kMargin + 23 + kMargin, kClientWidth - 2 * kMargin, kClientHeight - 3 * kMargin - 23};
  list.item_height = kRowHeight;
  list.no_data = true;
  list.name = "検索結果";
  if (!LstFound.Create(list)) return;
  // A click chooses a row and gives the focus back to the text box; Tab
  // reaches the list, which takes the text box's keys.
  SetWindowLongW(LstFound.hwnd(), GWL_STYLE, GetWindowLongW(LstFound.hwnd(), GWL_STYLE) | WS_TABSTOP);
  LstFound.on_key_down = [this](WORD key, unsigned) { return ListKeyDown(key); };
  LstFound.on_draw_item = [this](const ui::DrawItemEvent& e) { PaintRow(e.dc, e.rect, e.index, e.selected); };
  LstFound.on_mouse_down = [this](const ui::MouseEvent&) { FocusControl(EdtFind.hwnd()); };
  LstFound.on_double_click = [this] { Act(enter_shows_); };
  // A hit as a screen reader says it: 「業務 / タイトル / ファイル」.
  LstFound.item_text = [this](int row) {
    const auto i = static_cast<std::size_t>(row);
    if (row < 0 || i >= hits_.size() || hits_[i].group >= model_.GroupCount()) return std::string();
    const Group& group = model_.GroupAt(hits_[i].group);
    const Entry* entry = group.EntryAt(hits_[i].entry);
    return entry ? group.name + " / " + entry->title + " / " + entry->path : std::string();
  };
}

void FindBox::Refilter() {
  hits_ = index_.Filter(EdtFind.Text());
  LstFound.SetCount(static_cast<int>(hits_.size()));
  Choose(hits_.empty() ? -1 : 0);
  LblCount.SetCaption(CountText());
}

void FindBox::Choose(int row) {
  if (hits_.empty()) return;
  row = std::clamp(row, 0, static_cast<int>(hits_.size()) - 1);
  LstFound.SetItemIndex(row);
}

bool FindBox::KeyDown(UINT key) {
  const int row = chosen();
  const int page = std::max(1, ui::BoundsOf(LstFound.hwnd()).height / kRowHeight - 1);
  switch (key) {
    case VK_UP:
      Choose(row - 1);
      return true;
    case VK_DOWN:
      Choose(row + 1);
      return true;
    case VK_PRIOR:
      Choose(row - page);
      return true;
    case VK_NEXT:
      Choose(row + page);
      return true;
    case VK_RETURN:
    case VK_ESCAPE:
      return ListKeyDown(static_cast<WORD>(key));
    default:
      return false;
  }
}

bool FindBox::ListKeyDown(WORD key) {
  if (key == VK_ESCAPE) {
    CloseBox();
    return true;
  }
  if (key != VK_RETURN) return false;
  // Ctrl+Enter launches in either mode; Shift+Enter shows.
  if (GetKeyState(VK_CONTROL) < 0) Act(false);
  else Act(enter_shows_ || GetKeyState(VK_SHIFT) < 0);
  return true;
}

void FindBox::Act(bool show) {
  const int row = chosen();
  if (row < 0) return;
  const FindHit hit = hits_[static_cast<std::size_t>(row)];
  // An entry the model no longer holds is never passed on.
  if (hit.group >= model_.GroupCount() || !model_.GroupAt(hit.group).EntryAt(hit.entry)) return;
  if (show) {
    CloseBox();
    if (callbacks_.show) callbacks_.show(hit.group, hit.entry);
  } else if (callbacks_.launch) {
    callbacks_.launch(hit.group, hit.entry);
  }
}

void FindBox::PaintRow(HDC dc, const RECT& rect, int row, bool selected) const {
  FillRect(dc, &rect, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (row < 0 || static_cast<std::size_t>(row) >= hits_.size()) return;
  const FindHit hit = hits_[static_cast<std::size_t>(row)];
  if (hit.group >= model_.GroupCount()) return;
  const Group& group = model_.GroupAt(hit.group);
  const Entry* entry = group.EntryAt(hit.entry);
  if (!entry) return;

  const int top = rect.top + (rect.bottom - rect.top - kIconSize) / 2;
  if (HICON icon = callbacks_.icon && !entry->path.empty() ? callbacks_.icon(entry->path) : nullptr)
    DrawIconEx(dc, rect.left + 2, top, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);

  ui::ScopedSelect font(dc, this->font());
  SetBkMode(dc, TRANSPARENT);
  const COLORREF text = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  RECT cell{rect.left + kIconSize + 6, rect.top, rect.left + kIconSize + 6 + kGroupColumn, rect.bottom};
  SetTextColor(dc, selected ? text : GetSysColor(COLOR_GRAYTEXT));
  DrawCell(dc, group.name, cell, DT_END_ELLIPSIS);
  cell.left = cell.right + 4;
  cell.right = cell.left + kTitleColumn;
  SetTextColor(dc, text);
  DrawCell(dc, entry->title, cell, DT_END_ELLIPSIS);
  cell.left = cell.right + 4;
  cell.right = rect.right - 2;
  SetTextColor(dc, selected ? text : GetSysColor(COLOR_GRAYTEXT));
  // The end of the file name stays in view: the path gives way in its middle.
  ui::DrawLineText(dc, ui::FitPathText(dc, ui::Wide(entry->path), cell.right - cell.left), cell,
                   DT_VCENTER | DT_NOPREFIX);
}

}  // namespace korvane
