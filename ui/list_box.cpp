#include "ui/list_box.h"

#include <algorithm>
#include <vector>

#include "ui/text_out.h"
#include "ui/wide.h"
#include "ui/drawgrid.h"
#include "ui/window.h"

namespace ui {

namespace {
ShiftState HeldKeys() {
  ShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= kShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= kCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= kAlt;
  return shift;
}

class ListAccessible final : public Accessible {
 public:
  explicit ListAccessible(const ListBox& list) : Accessible(list.hwnd()), list_(list) {}

 private:
  long ChildCount() const override { return std::max(0, list_.Count()); }
  std::string Name(long child) const override {
    return child == 0 ? TextOf(hwnd()) : list_.Item(static_cast<int>(child - 1));
  }
  long Role(long child) const override { return child == 0 ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM; }
  long State(long child) const override {
    if (child == 0) return STATE_SYSTEM_FOCUSABLE | (GetFocus() == hwnd() && Caret() < 0 ? STATE_SYSTEM_FOCUSED : 0);
    long state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (child - 1 == list_.ItemIndex()) state |= STATE_SYSTEM_SELECTED;
    if (GetFocus() == hwnd() && child - 1 == Caret()) state |= STATE_SYSTEM_FOCUSED;
    RECT row = list_.ItemRect(static_cast<int>(child - 1)), client{}, seen{};
    GetClientRect(hwnd(), &client);
    if (!IntersectRect(&seen, &row, &client)) state |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
    return state;
  }
  RECT Location(long child) const override {
    if (child == 0) return ClientOnScreen();
    RECT r = list_.ItemRect(static_cast<int>(child - 1));
    MapWindowPoints(hwnd(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  long Focus() const override {
    if (GetFocus() != hwnd()) return kNoChild;
    const int caret = Caret();
    return caret >= 0 && caret < list_.Count() ? caret + 1 : 0;
  }
  long Selection() const override {
    const int row = list_.ItemIndex();
    return row >= 0 ? row + 1 : kNoChild;
  }
  long HitTest(POINT screen) const override {
    const RECT client = ClientOnScreen();
    if (!PtInRect(&client, screen)) return kNoChild;
    const LRESULT at = SendMessageW(hwnd(), LB_ITEMFROMPOINT, 0,
                                    MAKELPARAM(screen.x - client.left, screen.y - client.top));
    return HIWORD(at) == 0 && LOWORD(at) < list_.Count() ? LOWORD(at) + 1 : 0;
  }
  int Caret() const { return static_cast<int>(SendMessageW(hwnd(), LB_GETCARETINDEX, 0, 0)); }

  const ListBox& list_;
};
}  // namespace

bool ListBox::Create(const ListBoxArgs& args) {
  const DWORD style = WS_CHILD | WS_TABSTOP | WS_VSCROLL | WS_CLIPSIBLINGS | LBS_OWNERDRAWFIXED | LBS_NOTIFY |
                      LBS_NOINTEGRALHEIGHT | (args.no_data ? LBS_NODATA : LBS_HASSTRINGS) |
                      (args.visible ? WS_VISIBLE : 0);
  if (!CreateControl("LISTBOX", args.border ? WS_EX_CLIENTEDGE : 0, style, args.name, args.bounds, args.parent)) {
    return false;
  }
  HFONT font = ControlFont(args.parent, args.font, own_font_);
  if (font) SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  // WM_MEASUREITEM came during creation, before the subclass: set it now.
  SetItemHeight(args.item_height);
  SetHelpContext(hwnd(), args.help_context);
  return true;
}

bool ListBox::NoData() const { return (GetWindowLongW(hwnd(), GWL_STYLE) & LBS_NODATA) != 0; }

int ListBox::Count() const { return static_cast<int>(SendMessageW(hwnd(), LB_GETCOUNT, 0, 0)); }

void ListBox::SetCount(int count) {
  SendMessageW(hwnd(), LB_SETCOUNT, static_cast<WPARAM>(count), 0);
  SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

// The Unicode messages: the list box lengths then count the buffer's units.
// A no_data list takes a row without a text (its lParam would be item data).
int ListBox::AddItem(std::string_view text) {
  if (NoData()) return static_cast<int>(SendMessageW(hwnd(), LB_INSERTSTRING, static_cast<WPARAM>(-1), 0));
  const std::wstring w = Wide(text);
  return static_cast<int>(SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str())));
}

void ListBox::InsertItem(int index, std::string_view text) {
  if (NoData()) {
    SendMessageW(hwnd(), LB_INSERTSTRING, static_cast<WPARAM>(index), 0);
    return;
  }
  const std::wstring w = Wide(text);
  SendMessageW(hwnd(), LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(w.c_str()));
}

void ListBox::DeleteItem(int index) { SendMessageW(hwnd(), LB_DELETESTRING, static_cast<WPARAM>(index), 0); }

void ListBox::SetItem(int index, std::string_view text) {
  if (NoData()) {
    const RECT r = ItemRect(index);
    InvalidateRect(hwnd(), &r, TRUE);
    return;
  }
  const int selected = ItemIndex();
  BeginUpdate();
  DeleteItem(index);
  InsertItem(index, text);
  if (selected == index) SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  EndUpdate();
}

std::string ListBox::Item(int index) const {
  if (item_text && NoData()) return index >= 0 && index < Count() ? item_text(index) : std::string();
  const LRESULT len = SendMessageW(hwnd(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (len == LB_ERR) return {};
  std::vector<wchar_t> buf(static_cast<std::size_t>(len) + 1, L'\0');
  SendMessageW(hwnd(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
  return Narrow(buf.data());
}

void ListBox::Clear() { SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0); }

int ListBox::ItemIndex() const { return static_cast<int>(SendMessageW(hwnd(), LB_GETCURSEL, 0, 0)); }

void ListBox::SetItemIndex(int index) { SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

int ListBox::ItemHeight() const { return static_cast<int>(SendMessageW(hwnd(), LB_GETITEMHEIGHT, 0, 0)); }

void ListBox::SetItemHeight(int height) {
  SendMessageW(hwnd(), LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
  InvalidateRect(hwnd(), nullptr, TRUE);
}

RECT ListBox::ItemRect(int index) const {
  RECT r{};
  SendMessageW(hwnd(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

void ListBox::BeginUpdate() {
  if (update_depth_++ == 0) SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
}

void ListBox::EndUpdate() {
  if (update_depth_ == 0 || --update_depth_ > 0) return;
  SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT ListBox::DrawItem(const DRAWITEMSTRUCT& dis) {
  const bool focused = (dis.itemState & ODS_FOCUS) != 0;
  if (dis.itemID == static_cast<UINT>(-1)) {
    // The empty list showing that it has the focus: no row of the program.
    FillRect(dis.hDC, &dis.rcItem, GetSysColorBrush(COLOR_WINDOW));
  } else if (on_draw_item) {
    on_draw_item(DrawItemEvent{dis.hDC, static_cast<int>(dis.itemID), dis.rcItem,
                               (dis.itemState & ODS_SELECTED) != 0, focused});
  } else {
    const bool selected = (dis.itemState & ODS_SELECTED) != 0;
    FillRect(dis.hDC, &dis.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(dis.hDC, TRANSPARENT);
    SetTextColor(dis.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const std::wstring text = Wide(Item(static_cast<int>(dis.itemID)));
    RECT r = dis.rcItem;
    r.left += 2;
    DrawLineText(dis.hDC, text, r, DT_VCENTER | DT_NOPREFIX);
  }
  // Windows leaves the focus rectangle of an owner-drawn list to its owner.
  if (focused) DrawFocusRect(dis.hDC, &dis.rcItem);
  return TRUE;
}

void ListBox::SelectByFirstLetter(wchar_t typed) {
  const int count = Count();
  if (count <= 0) return;
  const int from = static_cast<int>(SendMessageW(hwnd(), LB_GETCARETINDEX, 0, 0));
  for (int step = 1; step <= count; ++step) {
    const int row = ((from < 0 ? -1 : from) + step) % count;
    const std::wstring text = Wide(item_text(row));
    if (text.empty() || CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, &typed, 1, text.data(), 1) != CSTR_EQUAL)
      continue;
    SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    // Told as the list's own key handling tells it: through the parent.
    SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd()), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(hwnd()));
    return;
  }
}

LRESULT ListBox::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case LB_GETTEXTLEN:
      // The row's length in UTF-16 units, where a no_data list would answer the
      // size of its item data. LB_GETTEXT stays the list's own: it copies
      // that item data, so the length is never less than its size, and a
      // buffer made for the length always takes it.
      if (item_text && NoData()) {
        const int index = static_cast<int>(wp);
        if (index < 0 || index >= Count()) return LB_ERR;
        return static_cast<LRESULT>(std::max(Wide(item_text(index)).size(), sizeof(ULONG_PTR)));
      }
      break;
    case WM_GETOBJECT:
      if (const LRESULT object = accessible_.Answer(wp, lp, [this] { return new ListAccessible(*this); }))
        return object;
      break;
    case WM_CHAR:
      if (item_text && NoData() && wp >= 0x20) {
        SelectByFirstLetter(static_cast<wchar_t>(wp));
        return 0;
      }
      break;
    case kReflectBase + WM_COMMAND:
      // LBN_SELCHANGE comes only from the user's mouse and keys.
      if (HIWORD(wp) == LBN_SELCHANGE && on_click) on_click();
      if (HIWORD(wp) == LBN_DBLCLK && on_double_click) on_double_click();
      return 0;
    case kReflectBase + WM_DRAWITEM:
      return DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (on_key_down) {
        if (on_key_down(static_cast<WORD>(wp), HeldKeys())) return 0;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: {
      const LRESULT r = Default(msg, wp, lp);
      if (on_mouse_down && hwnd()) {
        on_mouse_down(MouseEventOf(msg, wp, lp));
      }
      return r;
    }
    default:
      break;
  }
  return Default(msg, wp, lp);
}

}  // namespace ui
