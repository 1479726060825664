// The edit box: limits in units (code page 932 bytes, 2 per UTF-16 unit of
// any other character) on every way in, never cutting a character or a
// surrogate pair; caret positions in UTF-16 units, selection on entry,
// entry and exit, the input method.
#include <windows.h>

#include <gtest/gtest.h>
#include <imm.h>

#include "kit.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/wide.h"

namespace {

using kit::PostAnsiChars;
using kit::Pump;
using kit::PumpUntil;

ui::EditArgs EditAt(HWND parent, ui::Bounds b, std::size_t max_units = 0) {
  ui::EditArgs a;
  a.parent = parent;
  a.bounds = b;
  a.max_units = max_units;
  return a;
}

void SetClipboard(const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  auto* p = static_cast<wchar_t*>(GlobalLock(mem));
  std::copy(text.begin(), text.end(), p);
  p[text.size()] = 0;
  GlobalUnlock(mem);
  SetClipboardData(CF_UNICODETEXT, mem);
  CloseClipboard();
}

struct EditForm {
  ui::Form form;
  ui::Edit edit;
  ui::Edit other;
  bool Create(std::size_t max_units) {
    return kit::MakeForm(form) && edit.Create(EditAt(form.hwnd(), {10, 10, 200, 22}, max_units)) &&
           other.Create(EditAt(form.hwnd(), {10, 50, 200, 22}));
  }
  // Puts the text in, the caret at the end, the focus in the box.
  void Reset(const char* text) {
    edit.SetText(text);
    form.FocusControl(edit.hwnd());
    const std::size_t end = ui::Wide(text).size();
    edit.SetSelection(end, end);
  }
};

TEST(EditLimit, TypedCharactersCountTheirUnitsAndAreNeverSplit) {
  EditForm f;
  ASSERT_TRUE(f.Create(5));
  f.Reset("");
  PostAnsiChars(f.edit.hwnd(), "あいう");  // lead/trail pairs, as a DBCS keyboard sends them
  Pump();
  EXPECT_EQ(f.edit.Text(), "あい");
  PostAnsiChars(f.edit.hwnd(), "ab");
  Pump();
  EXPECT_EQ(f.edit.Text(), "あいa");
  f.Reset("abc");
  kit::PostChar(f.edit.hwnd(), L'あ');
  kit::PostChar(f.edit.hwnd(), L'い');
  Pump();
  EXPECT_EQ(f.edit.Text(), "abcあ");
  // Typing over a selection frees its bytes first.
  f.edit.SelectAll();
  PostAnsiChars(f.edit.hwnd(), "かき");
  Pump();
  EXPECT_EQ(f.edit.Text(), "かき");
  // Characters code page 932 lacks count 2 per UTF-16 unit: é 2, 𠮷 (a
  // surrogate pair, typed as two characters) 4, and a pair that does not
  // fit is refused whole.
  f.Reset("a");
  for (const wchar_t c : std::wstring(L"\u00e9\U00020BB7")) kit::PostChar(f.edit.hwnd(), c);
  Pump();
  EXPECT_EQ(f.edit.Text(), "aé") << "𠮷 needs 4 units, 2 are left";
  f.Reset("a");
  for (const wchar_t c : std::wstring(L"\U00020BB7b\u301C")) kit::PostChar(f.edit.hwnd(), c);
  Pump();
  EXPECT_EQ(f.edit.Text(), "a𠮷") << "b fits no more, nor does the wave dash";
}

TEST(EditLimit, PasteAndReplaceSelAreCutToTheLimitOnACharacterBoundary) {
  EditForm f;
  ASSERT_TRUE(f.Create(5));
  SetClipboard(L"かきくけこ");
  f.Reset("ab");
  SendMessageA(f.edit.hwnd(), WM_PASTE, 0, 0);
  EXPECT_EQ(f.edit.Text(), "abか");
  f.Reset("abc");
  SendMessageA(f.edit.hwnd(), WM_PASTE, 0, 0);
  EXPECT_EQ(f.edit.Text(), "abcか");
  f.Reset("abcd");
  SendMessageA(f.edit.hwnd(), WM_PASTE, 0, 0);  // one unit left: no half character
  EXPECT_EQ(f.edit.Text(), "abcd");
  // Replacing "bcd" keeps "a" and "e": three units of room.
  f.Reset("abcde");
  f.edit.SetSelection(1, 4);
  SendMessageA(f.edit.hwnd(), WM_PASTE, 0, 0);
  EXPECT_EQ(f.edit.Text(), "aかe");
  // Ctrl+V typed, and only the first line of a multi-line text.
  SetClipboard(L"xy\r\nzz");
  f.Reset("");
  kit::PostChar(f.edit.hwnd(), 0x16);
  Pump();
  EXPECT_EQ(f.edit.Text(), "xy");
  // EM_REPLACESEL from the program.
  f.Reset("ab");
  SendMessageW(f.edit.hwnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"xyzかき"));
  EXPECT_EQ(f.edit.Text(), "abxyz");
  f.Reset("a");
  SendMessageW(f.edit.hwnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"かきく"));
  EXPECT_EQ(f.edit.Text(), "aかき");
  // A pasted pair is never cut in half: 𠮷 takes 4 units or none.
  SetClipboard(L"\U00020BB7\U00020BB7");
  f.Reset("ab");
  SendMessageW(f.edit.hwnd(), WM_PASTE, 0, 0);
  EXPECT_EQ(f.edit.Text(), "ab") << "3 units left";
  f.Reset("a");
  SendMessageW(f.edit.hwnd(), WM_PASTE, 0, 0);
  EXPECT_EQ(f.edit.Text(), "a𠮷");
  // Text the program puts in keeps every character, inside code page 932
  // or not.
  f.edit.SetText("한국어 〜 café");
  EXPECT_EQ(f.edit.Text(), "한국어 〜 café");
  // The program's own text is not cut (as with Windows' limit).
  f.edit.SetText("あいうえお");
  EXPECT_EQ(f.edit.Text(), "あいうえお");
}

TEST(EditLimit, LimitSetThroughTheWindowCountsUnits) {
  EditForm f;
  ASSERT_TRUE(f.Create(0));
  SendMessageA(f.edit.hwnd(), EM_LIMITTEXT, 4, 0);  // what a program holding only the HWND does
  EXPECT_EQ(SendMessageA(f.edit.hwnd(), EM_GETLIMITTEXT, 0, 0), 4);
  EXPECT_EQ(f.edit.max_units(), 4u);
  f.Reset("");
  PostAnsiChars(f.edit.hwnd(), "表示a");  // 表 and 示 (0x95 0x5C: trail byte 0x5C)
  Pump();
  EXPECT_EQ(f.edit.Text(), "表示");
}

TEST(EditCaret, PositionsAreUtf16UnitsBothWays) {
  EditForm f;
  ASSERT_TRUE(f.Create(0));
  f.Reset("あ𠮷う");
  SendMessageW(f.edit.hwnd(), EM_SETSEL, 1, 1);
  PostAnsiChars(f.edit.hwnd(), "x");
  Pump();
  EXPECT_EQ(f.edit.Text(), "あx𠮷う");
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(f.edit.hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(end, 2u);
  f.edit.SetSelection(2, 4);  // 𠮷: both halves of its pair
  EXPECT_EQ(f.edit.GetSelection().start, 2u);
  EXPECT_EQ(f.edit.GetSelection().end, 4u);
  f.edit.SelectAll();
  EXPECT_EQ(f.edit.GetSelection().end, 5u);
}

TEST(EditFocus, WholeTextSelectedOnEntryButNotByAClick) {
  EditForm f;
  ASSERT_TRUE(f.Create(0));
  f.edit.SetText("abcdef");
  f.other.SetText("あいう");
  f.form.FocusControl(f.edit.hwnd());
  EXPECT_EQ(f.edit.GetSelection().start, 0u);
  EXPECT_EQ(f.edit.GetSelection().end, 6u);
  kit::PostKey(f.edit.hwnd(), VK_TAB);
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == f.other.hwnd(); }));
  EXPECT_EQ(f.other.GetSelection().start, 0u);
  EXPECT_EQ(f.other.GetSelection().end, 3u) << "three UTF-16 units";
  // A click in the first box puts the caret where it was clicked.
  kit::PostButton(f.edit.hwnd(), WM_LBUTTONDOWN, 150, 10);
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == f.edit.hwnd(); }));
  Pump();
  const ui::Edit::Selection sel = f.edit.GetSelection();
  EXPECT_EQ(sel.start, sel.end);
}

TEST(EditFocus, ExitOnlyWhenTheFocusGoesToAnotherControlOfTheSameWindow) {
  EditForm f;
  ASSERT_TRUE(f.Create(0));
  int enters = 0;
  int exits = 0;
  f.edit.on_enter = [&] { ++enters; };
  f.edit.on_exit = [&] { ++exits; };
  f.form.FocusControl(f.edit.hwnd());
  EXPECT_EQ(enters, 1);
  {
    kit::OtherThreadWindow other;
    ASSERT_TRUE(kit::BringToFront(other.hwnd()));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() != f.edit.hwnd(); }));
    Pump();
    EXPECT_EQ(exits, 0);
    ASSERT_TRUE(kit::BringToFront(f.form.hwnd()));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == f.edit.hwnd(); }));
    Pump();
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(exits, 0);
  }
  // Another window of the program (a message box, a dialog) borrows the
  // focus: no exit, and the selection is the one left there.
  f.edit.SetText("abcdef");
  f.edit.SetSelection(2, 4);
  {
    ui::Form box;
    ASSERT_TRUE(kit::MakeForm(box));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() != f.edit.hwnd(); }));
    EXPECT_EQ(exits, 0);
    box.Destroy();
    ASSERT_TRUE(kit::BringToFront(f.form.hwnd()));
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == f.edit.hwnd(); }));
  }
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(exits, 0);
  EXPECT_EQ(f.edit.GetSelection().start, 2u);
  EXPECT_EQ(f.edit.GetSelection().end, 4u);
  SetFocus(f.other.hwnd());
  EXPECT_EQ(exits, 1);
  SetFocus(f.edit.hwnd());
  EXPECT_EQ(enters, 2);
}

TEST(EditIme, HiraganaModeWhileFocused) {
  ui::Form form;
  ASSERT_TRUE(kit::MakeForm(form));
  ui::EditArgs args = EditAt(form.hwnd(), {10, 10, 200, 22});
  args.ime_hiragana = true;
  ui::Edit edit;
  ASSERT_TRUE(edit.Create(args));
  ui::Edit plain;
  ASSERT_TRUE(plain.Create(EditAt(form.hwnd(), {10, 50, 200, 22})));
  form.FocusControl(edit.hwnd());
  HIMC imc = ImmGetContext(edit.hwnd());
  ASSERT_NE(imc, nullptr);
  DWORD conversion = 0;
  DWORD sentence = 0;
  ImmGetConversionStatus(imc, &conversion, &sentence);
  EXPECT_EQ(conversion, static_cast<DWORD>(IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE));
  EXPECT_TRUE(ImmGetOpenStatus(imc));
  ImmReleaseContext(edit.hwnd(), imc);
  form.FocusControl(plain.hwnd());
  imc = ImmGetContext(edit.hwnd());
  EXPECT_FALSE(ImmGetOpenStatus(imc));
  ImmReleaseContext(edit.hwnd(), imc);
}

TEST(EditEvents, ChangeKeyPressAndModifiedFlag) {
  EditForm f;
  ASSERT_TRUE(f.Create(3));
  int changes = 0;
  f.edit.on_change = [&] { ++changes; };
  std::vector<unsigned> keys;
  f.edit.on_key_press = [&](unsigned& key) {
    keys.push_back(key);
    if (key == 'q') key = 'Q';
    if (key == '!') key = 0;
  };
  f.edit.SetText("");
  EXPECT_EQ(changes, 1);  // the program's own change runs the handler too
  EXPECT_FALSE(f.edit.Modified());
  f.form.FocusControl(f.edit.hwnd());
  PostAnsiChars(f.edit.hwnd(), "q!あz");
  Pump();
  EXPECT_EQ(f.edit.Text(), "Qあ");
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_EQ(keys[2], 0x3042u);  // あ as its UTF-16 unit
  EXPECT_EQ(changes, 3);        // Q and あ; the swallowed ! and the refused z change nothing
  EXPECT_TRUE(f.edit.Modified());
  f.edit.SetModified(false);
  EXPECT_FALSE(f.edit.Modified());
}

}  // namespace
