#pragma once
// Owner-drawn list box with rows of one fixed height. The program paints
// real rows; the toolkit paints the empty list's focus row and draws the
// dotted focus rectangle after the program's painting. The click event runs
// only when the user changes the selection (mouse or keyboard), never for a
// change the program makes. To a screen reader it is a list named by its
// window text whose rows are named by their texts (item_text for a no_data
// list).
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "common/callback.h"
#include "ui/accessible.h"
#include "ui/control.h"

namespace ui {

struct ListBoxArgs {
  HWND parent = nullptr;
  Bounds bounds;
  int item_height = 16;
  std::optional<FontSpec> font;  // default: the parent's font
  bool border = true;
  bool visible = true;
  // Rows by number only (SetCount), no strings kept: the program paints
  // them from its own data, so any number of rows costs nothing to set.
  // With item_text set, the texts are the program's all the same: Item,
  // LB_GETTEXT(LEN) from anywhere and the typed first letter use it.
  bool no_data = false;
  DWORD help_context = 0;
  // What a screen reader calls the list (its window text; never painted).
  std::string name;
};

struct DrawItemEvent {
  HDC dc = nullptr;
  int index = 0;
  RECT rect{};  // list box client coordinates
  bool selected = false;
  bool focused = false;
};

class ListBox : public SubclassedControl {
 public:
  bool Create(const ListBoxArgs& args);

  korvane::Callback<void()> on_click;
  korvane::Callback<void(const DrawItemEvent&)> on_draw_item;
  // Every button press, after the list box's own handling of it.
  korvane::Callback<void(const MouseEvent&)> on_mouse_down;
  // A double click on a row.
  korvane::Callback<void()> on_double_click;
  // A key goes down (WM_KEYDOWN, or WM_SYSKEYDOWN for F10 and Alt keys)
  // with the keys held (ui::ShiftState of ui/drawgrid.h): true when the handler
  // used it, and the list box's own handling is skipped.
  korvane::Callback<bool(WORD key, unsigned shift)> on_key_down;
  // The text of row n of a no_data list, from the program's data.
  korvane::Callback<std::string(int index)> item_text;

  int Count() const;
  // The number of rows of a no_data list; none selected afterwards.
  void SetCount(int count);
  // In a no_data list the text goes nowhere (item_text answers for the
  // row) and SetItem only repaints the row.
  int AddItem(std::string_view text);
  void InsertItem(int index, std::string_view text);
  void DeleteItem(int index);
  void SetItem(int index, std::string_view text);
  std::string Item(int index) const;
  void Clear();
  int ItemIndex() const;  // -1: none selected
  void SetItemIndex(int index);
  int ItemHeight() const;
  void SetItemHeight(int height);
  RECT ItemRect(int index) const;
  // No repainting between the two; EndUpdate repaints once.
  void BeginUpdate();
  void EndUpdate();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  LRESULT DrawItem(const DRAWITEMSTRUCT& dis);
  bool NoData() const;
  // A typed character in a no_data list: the next row whose text begins
  // with it becomes the selected one, as a list of strings does it.
  void SelectByFirstLetter(wchar_t typed);

  int update_depth_ = 0;
  UniqueFont own_font_;
  AccessibleSlot accessible_;
};

}  // namespace ui
