#pragma once
// Single-line edit box for any text (a Unicode EDIT control; UTF-8 in and
// out). Its limit counts units (common/text.h: the code page 932 bytes of a
// character that has them, 2 per UTF-16 unit of any other), also through
// EM_LIMITTEXT sent to its window, and no insertion (typing, pasting,
// EM_REPLACESEL, an input-method result) may exceed it or split a
// character, a surrogate pair included. Caret positions count UTF-16 units,
// as the control does.
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/callback.h"
#include "ui/control.h"

namespace ui {

struct EditArgs {
  HWND parent = nullptr;
  Bounds bounds;
  std::string text;
  std::optional<FontSpec> font;  // default: the parent's font
  bool border = true;
  std::size_t max_units = 0;  // 0: no limit of our own
  bool ime_hiragana = false;  // input method on, hiragana mode, while focused
  bool auto_select = true;    // whole text selected on entry other than by a click
  bool visible = true;
  bool enabled = true;
  DWORD help_context = 0;
};

class Edit : public SubclassedControl {
 public:
  bool Create(const EditArgs& args);

  // Every change of the text, whatever its cause (EN_CHANGE).
  korvane::Callback<void()> on_change;
  // The focus came in from another control / left for another control of
  // the same window. A switch to another window (of this program or
  // another) and back runs neither.
  korvane::Callback<void()> on_enter;
  korvane::Callback<void()> on_exit;
  // A typed character as its UTF-16 unit (each half of a surrogate pair
  // comes alone); setting it to 0 swallows the character.
  korvane::Callback<void(unsigned& key)> on_key_press;
  // A key pressed (WM_KEYDOWN) as its virtual-key code; answering true
  // keeps it from the box.
  korvane::Callback<bool(UINT key)> on_key_down;

  std::string Text() const;
  void SetText(std::string_view text);
  std::size_t max_units() const { return max_units_; }
  void SetMaxUnits(std::size_t max_units);
  bool Modified() const;
  void SetModified(bool modified);
  struct Selection {
    std::size_t start = 0;
    std::size_t end = 0;
  };
  Selection GetSelection() const;  // UTF-16 units
  void SetSelection(std::size_t start, std::size_t end);
  void SelectAll();
  void SetFont(const FontSpec& font);
  bool ime_hiragana() const { return ime_hiragana_; }

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  std::wstring WideText() const;
  // The part of `insert` that fits when it replaces the selection.
  std::wstring Fit(std::wstring_view insert);
  LRESULT OnChar(WPARAM wp, LPARAM lp);
  // Whether a typed character fits the limit.
  bool Admits(wchar_t c);
  void Paste();
  void TrimToLimit();
  void SetImeOpen(bool open);

  std::size_t max_units_ = 0;
  bool refused_high_ = false;  // the first half of a pair was refused: so is the second
  bool ime_hiragana_ = false;
  bool auto_select_ = true;
  bool entered_ = false;
  bool by_mouse_ = false;
  UniqueFont own_font_;
};

}  // namespace ui
