// The open-file dialog wrapper (answered by a scripted dialog), hints and the
// status bar text.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "kit.h"
#include "ui/form.h"
#include "ui/hint.h"
#include "ui/open_dialog.h"
#include "ui/status_bar.h"
#include "ui/wide.h"

namespace {

// Stands in for the system's dialog.
struct ScriptedDialog {
  bool accept = true;
  std::string answer;
  // What the dialog was given.
  std::string filter;
  std::string initial;
  DWORD flags = 0;
  DWORD buffer_size = 0;
  HWND owner = nullptr;

  BOOL Run(OPENFILENAMEW& ofn) {
    const wchar_t* f = ofn.lpstrFilter;
    while (f && (*f || f[1])) ++f;  // up to the double NUL
    filter = ui::Narrow(
        std::wstring_view(ofn.lpstrFilter, f ? static_cast<std::size_t>(f - ofn.lpstrFilter) + 2 : 0));
    initial = ui::Narrow(ofn.lpstrFile);
    flags = ofn.Flags;
    buffer_size = ofn.nMaxFile;
    owner = ofn.hwndOwner;
    const std::wstring wide = ui::Wide(answer);
    if (!accept || wide.size() + 1 > ofn.nMaxFile) return FALSE;
    wide.copy(ofn.lpstrFile, wide.size());
    ofn.lpstrFile[wide.size()] = L'\0';
    return TRUE;
  }
};

// A byte string with its NULs, from a literal.
template <std::size_t N>
std::string Bytes(const char (&s)[N]) {
  return std::string(s, N - 1);
}
template <std::size_t N>
std::wstring Units(const wchar_t (&s)[N]) {
  return std::wstring(s, N - 1);
}

TEST(OpenFileDialog, PassesFilterOptionsAndNameAndReturnsTheChoice) {
  ScriptedDialog seam;
  ui::OpenFileDialog dialog;
  dialog.run = [&](OPENFILENAMEW& ofn) { return seam.Run(ofn); };
  dialog.filter = "すべてのファイル(*.*)|*.*";
  dialog.options = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_SHAREAWARE | OFN_ENABLESIZING;
  dialog.file_name = "C:\\ソフト\\表.txt";
  // The longest answer a user can give still fits, and so does every
  // character a name may hold.
  seam.answer = "C:\\" + std::string(32000, 'a') + "\\報告 𠮷野家 한국어 Café 〜.txt";
  ASSERT_TRUE(dialog.Execute(nullptr));
  EXPECT_EQ(seam.filter, Bytes("すべてのファイル(*.*)\0*.*\0\0"));
  EXPECT_EQ(seam.initial, "C:\\ソフト\\表.txt");
  EXPECT_EQ(seam.flags, dialog.options | OFN_EXPLORER);
  EXPECT_GE(seam.buffer_size, 32767u);
  EXPECT_EQ(dialog.file_name, seam.answer);

  seam.accept = false;
  dialog.file_name = "keep";
  EXPECT_FALSE(dialog.Execute(nullptr));
  EXPECT_EQ(dialog.file_name, "keep");
}

TEST(OpenFileDialog, FilterSeparatorIsNeverPartOfACharacter) {
  // ポ was 0x83 0x7C in code page 932: its second byte the code of '|'.
  EXPECT_EQ(ui::FilterForDialog("ポスト|*.txt|全部|*.*"), Units(L"ポスト\0*.txt\0全部\0*.*\0\0"));
  EXPECT_EQ(ui::FileNameBufferSize(std::wstring(70000, L'x')), 70001u);
}

TEST(Hints, SetChangeAndRemove) {
  ui::Form form;
  ASSERT_TRUE(kit::MakeForm(form));
  kit::KeySink a, b;
  ASSERT_TRUE(a.Create(form.hwnd(), 10, 10, 40, 40));
  ASSERT_TRUE(b.Create(form.hwnd(), 60, 10, 40, 40));
  EXPECT_EQ(ui::TooltipOf(a.hwnd()), nullptr);
  ui::SetHint(a.hwnd(), "保存");
  ui::SetHint(b.hwnd(), "終了");
  EXPECT_EQ(ui::HintOf(a.hwnd()), "保存");
  ui::SetHint(a.hwnd(), "登録モード");
  EXPECT_EQ(ui::HintOf(a.hwnd()), "登録モード");
  EXPECT_EQ(ui::HintOf(b.hwnd()), "終了");
  ui::SetHint(b.hwnd(), std::string(5000, 'h'));  // kept at 1023 units
  EXPECT_EQ(ui::HintOf(b.hwnd()).size(), 1023u);
  ui::SetHint(b.hwnd(), "𠮷野家 한국어 café 〜");
  EXPECT_EQ(ui::HintOf(b.hwnd()), "𠮷野家 한국어 café 〜");
  ui::SetHint(a.hwnd(), "");
  EXPECT_EQ(ui::HintOf(a.hwnd()), "");
  EXPECT_EQ(GetWindow(ui::TooltipOf(b.hwnd()), GW_OWNER), form.hwnd());
}

TEST(StatusBar, SimpleTextWithoutPanels) {
  ui::Form form;
  ASSERT_TRUE(kit::MakeForm(form));
  ui::StatusBar bar;
  ui::StatusBarArgs args;
  args.parent = form.hwnd();
  args.bounds = {0, 200, 300, 19};
  ASSERT_TRUE(bar.Create(args));
  EXPECT_EQ(ui::BoundsOf(bar.hwnd()).height, 19);  // it does not size itself
  EXPECT_EQ(bar.Text(), "");
  bar.SetText("準備完了");
  EXPECT_EQ(bar.Text(), "準備完了");
  bar.SetText("𠮷野家 한국어 café 〜");
  EXPECT_EQ(bar.Text(), "𠮷野家 한국어 café 〜");
  // The text is the window's text, as tools that read windows see it.
  wchar_t text[8] = {};
  GetWindowTextW(bar.hwnd(), text, 8);
  EXPECT_STREQ(text, L"𠮷野家 한국");

  // The grip is the sizing corner of the top-level window while it can be
  // sized; the rest of the bar is its client area.
  const auto hit = [&](bool at_grip) {
    RECT r{};
    GetWindowRect(bar.hwnd(), &r);
    const int x = at_grip ? r.right - 3 : r.left + 3;
    return SendMessageW(bar.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(x, r.bottom - 3));
  };
  EXPECT_EQ(hit(true), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(false), HTCLIENT);
  ShowWindow(form.hwnd(), SW_MAXIMIZE);
  EXPECT_EQ(hit(true), HTCLIENT);
  ShowWindow(form.hwnd(), SW_RESTORE);
  EXPECT_EQ(hit(true), HTBOTTOMRIGHT);
  ui::StatusBar plain;
  args.size_grip = false;
  ASSERT_TRUE(plain.Create(args));
  RECT r{};
  GetWindowRect(plain.hwnd(), &r);
  EXPECT_EQ(SendMessageW(plain.hwnd(), WM_NCHITTEST, 0, MAKELPARAM(r.right - 3, r.bottom - 3)), HTCLIENT);
}

}  // namespace
