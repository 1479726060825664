// The new-group and rename dialogs, driven while their modal loop runs:
// typed characters and pastes against the filter, the checks of OK in their
// order, the keys, the results, the layouts and the placement.
#include <windows.h>

#include <gtest/gtest.h>
#include <imm.h>

#include <memory>
#include <string>
#include <vector>

#include "common/text.h"
#include "data/model.h"
#include "kit.h"
#include "groups/FR0030NG.h"
#include "groups/FR0040CG.h"
#include "ui/wide.h"

namespace {

using kit::FakeSeam;
using kit::RunModal;
using kit::SetClipboardText;
using korvane::TFrmFR0030NG;
using korvane::TFrmFR0040CG;
using kit::PostAnsiChars;
using kit::PostKey;

class NameDialogTest : public ::testing::Test {
 protected:
  NameDialogTest() {
    kit::App();
    kit::ParkPointer();
    model.AddGroup("Alpha");
    model.AddGroup("　");  // a full-width space: a name that passes the blank check
    model.AddGroup("業務Ｂ");
    model.AddGroup("a;b");  // a file named outside the program
  }
  ~NameDialogTest() override { kit::App().on_help = nullptr; }

  FakeSeam seam;
  korvane::LauncherModel model;
};

std::size_t Caret(const ui::Edit& edit) {
  const ui::Edit::Selection sel = edit.GetSelection();
  EXPECT_EQ(sel.start, sel.end) << "a selection where a caret was expected";
  return sel.end;
}

// Posted, so it keeps its place among the typed characters.
void SelectAllAndType(ui::Edit& edit, const std::string& bytes) {
  PostMessageA(edit.hwnd(), EM_SETSEL, 0, -1);
  PostAnsiChars(edit.hwnd(), bytes);
}

void PressEnter(ui::Edit& edit) { PostKey(edit.hwnd(), VK_RETURN); }

TEST_F(NameDialogTest, ForbiddenCharacterTypedPutsTheTextBackWithTheCaretWhereItStood) {
  korvane::SetLastGoodText("前の名前");  // what an earlier dialog's box held
  TFrmFR0030NG dlg(model);
  ASSERT_TRUE(dlg.Create());
  ui::Edit& edit = dlg.EdtNewGroup;
  const int result = RunModal(dlg, {
      [&] {
        EXPECT_EQ(GetFocus(), edit.hwnd());
        PostAnsiChars(edit.hwnd(), ":");
      },
      [&] {
        EXPECT_EQ(edit.Text(), "");  // the box's text on entry, not the earlier one
        PostAnsiChars(edit.hwnd(), "abc:");
      },
      [&] {
        EXPECT_EQ(edit.Text(), "abc");
        EXPECT_EQ(Caret(edit), 3u);
        SendMessageA(edit.hwnd(), EM_SETSEL, 2, 2);
        PostAnsiChars(edit.hwnd(), ":");
      },
      [&] {
        EXPECT_EQ(edit.Text(), "abc");
        EXPECT_EQ(Caret(edit), 2u);
        // The same after Japanese text: the caret offsets count the box's
        // UTF-16 units.
        SelectAllAndType(edit, "あいう|");
      },
      [&] {
        EXPECT_EQ(edit.Text(), "あいう");
        EXPECT_EQ(Caret(edit), 3u);
        SendMessageW(edit.hwnd(), EM_SETSEL, 1, 1);
        PostAnsiChars(edit.hwnd(), "\\");
      },
      [&] {
        EXPECT_EQ(edit.Text(), "あいう");
        EXPECT_EQ(Caret(edit), 1u);
        // After a character beyond the BMP (two units) as well.
        edit.SetText("𠮷é");
        SendMessageW(edit.hwnd(), EM_SETSEL, 2, 2);
        kit::PostChar(edit.hwnd(), L'?');
      },
      [&] {
        EXPECT_EQ(edit.Text(), "𠮷é");
        EXPECT_EQ(Caret(edit), 2u);
        // Every one of the eleven, typed after "x".
        for (char c : std::string(korvane::kForbiddenNameChars)) {
          SelectAllAndType(edit, std::string("x") + c);
        }
      },
      [&] {
        EXPECT_EQ(edit.Text(), "x");
        SendMessageA(dlg.BtnCancel.hwnd(), BM_CLICK, 0, 0);
      },
  });
  EXPECT_EQ(result, ui::kModalCancel);
  EXPECT_FALSE(dlg.Accepted);
  EXPECT_EQ(dlg.ResultName, "");
  EXPECT_TRUE(seam.boxes.empty());  // refused silently
}

TEST_F(NameDialogTest, PasteOrReplacementHoldingOneForbiddenCharacterIsUndoneAsAWhole) {
  TFrmFR0030NG dlg(model);
  ASSERT_TRUE(dlg.Create());
  ui::Edit& edit = dlg.EdtNewGroup;
  const int result = RunModal(dlg, {
      [&] { PostAnsiChars(edit.hwnd(), "abc"); },
      [&] {
        SetClipboardText(L"xyz*w");
        PostMessageA(edit.hwnd(), WM_PASTE, 0, 0);
      },
      [&] {
        EXPECT_EQ(edit.Text(), "abc");
        // Over a selection: "b" would have been replaced.
        edit.SetSelection(1, 2);
        SetClipboardText(L"ｘ\"");
        PostMessageA(edit.hwnd(), WM_PASTE, 0, 0);
      },
      [&] {
        EXPECT_EQ(edit.Text(), "abc");
        // Ctrl+V as typed.
        SetClipboardText(L"q<");
        kit::PostChar(edit.hwnd(), 0x16);
      },
      [&] {
        EXPECT_EQ(edit.Text(), "abc");
        edit.SetSelection(3, 3);
        SendMessageA(edit.hwnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("de>f"));
        EXPECT_EQ(edit.Text(), "abc");
        // A clean paste goes in and becomes the text a later refusal restores.
        SetClipboardText(L"ソ表");
        PostMessageA(edit.hwnd(), WM_PASTE, 0, 0);
      },
      [&] {
        EXPECT_EQ(edit.Text(), "abcソ表");
        SendMessageA(edit.hwnd(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("?"));
        EXPECT_EQ(edit.Text(), "abcソ表");
        PressEnter(edit);
      },
  });
  EXPECT_EQ(result, ui::kModalOk);
  EXPECT_TRUE(dlg.Accepted);
  EXPECT_EQ(dlg.ResultName, "abcソ表");
}

TEST_F(NameDialogTest, DoubleByteLookAlikesAndTrailBytesPassAndTheLimitIsThirtyUnits) {
  TFrmFR0030NG dlg(model);
  ASSERT_TRUE(dlg.Create());
  ui::Edit& edit = dlg.EdtNewGroup;
  // ソ 83 5C, 表 95 5C, ポ 83 7C: second bytes equal to '\' and '|'.
  const std::string look_alikes = "ソ表ポ：／＊";
  // n of あ: 2 units each.
  const auto a_times = [](int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "あ";
    return text;
  };
  const std::string sixteen = a_times(16);
  const int result = RunModal(dlg, {
      [&] { PostAnsiChars(edit.hwnd(), look_alikes); },
      [&] {
        EXPECT_EQ(edit.Text(), look_alikes);
        EXPECT_EQ(SendMessageA(edit.hwnd(), EM_GETLIMITTEXT, 0, 0), 30);
        SelectAllAndType(edit, sixteen);
      },
      [&] {
        EXPECT_EQ(edit.Text(), a_times(15));
        SelectAllAndType(edit, "a" + sixteen);
      },
      [&] {
        EXPECT_EQ(edit.Text(), "a" + a_times(14));  // 29 units: no half character
        PostAnsiChars(edit.hwnd(), "b");
      },
      [&] {
        EXPECT_EQ(edit.Text(), "a" + a_times(14) + "b");
        // Characters code page 932 lacks count 2 per UTF-16 unit: seven 𠮷
        // (4 units each) fill 28, and é (2) still fits, but no more.
        std::wstring wide;
        for (int i = 0; i < 7; ++i) wide += L"\U00020BB7";
        wide += L"\u00e9\u00e9";
        SendMessageW(edit.hwnd(), EM_SETSEL, 0, -1);
        for (const wchar_t c : wide) kit::PostChar(edit.hwnd(), c);
      },
      [&] {
        EXPECT_EQ(edit.Text(), "𠮷𠮷𠮷𠮷𠮷𠮷𠮷é");
        SelectAllAndType(edit, look_alikes);
        PressEnter(edit);
      },
  });
  EXPECT_EQ(result, ui::kModalOk);
  EXPECT_TRUE(dlg.Accepted);
  EXPECT_EQ(dlg.ResultName, look_alikes);
  EXPECT_TRUE(seam.boxes.empty());
}

TEST_F(NameDialogTest, OkRefusesEmptyExistingReservedControlAndTooLongNamesInThatOrder) {
  TFrmFR0030NG dlg(model);
  ASSERT_TRUE(dlg.Create());
  // A folder of 229 characters leaves no room for a name of 27 bytes.
  dlg.SetDataFolder("C:\\" + std::string(225, 'd') + "\\");
  ui::Edit& edit = dlg.EdtNewGroup;
  bool focus_left = false;
  bool still_modal = true;
  seam.on_box = [&] { still_modal = still_modal && dlg.InModal(); };
  const auto refused = [&](const char* typed) {
    return [&, typed] {
      if (GetFocus() != edit.hwnd()) focus_left = true;
      SelectAllAndType(edit, typed);
      PressEnter(edit);
    };
  };
  const int result = RunModal(dlg, {
      [&] { PressEnter(edit); },  // empty
      refused("  "),
      refused("　"),              // full-width space: not blank, but a group of that name exists
      refused("ALPHA"),           // other letter case
      refused("con"),
      refused("Lpt3.log"),
      refused("NUL .txt"),
      [&] {
        if (GetFocus() != edit.hwnd()) focus_left = true;
        SetClipboardText(L"a\tb");  // a control character gets in only by pasting
        SendMessageA(edit.hwnd(), EM_SETSEL, 0, -1);
        PostMessageA(edit.hwnd(), WM_PASTE, 0, 0);
        PressEnter(edit);
      },
      [&] { EXPECT_EQ(edit.Text(), "a\tb"); },  // the text stays after a refusal
      refused("abcdefghijklmnopqrstuvwxyz1"),
      [&] { SendMessageA(dlg.BtnCancel.hwnd(), BM_CLICK, 0, 0); },
  });
  EXPECT_EQ(result, ui::kModalCancel);
  EXPECT_FALSE(dlg.Accepted);
  EXPECT_EQ(dlg.ResultName, "");
  EXPECT_FALSE(focus_left);
  EXPECT_TRUE(still_modal);
  using korvane::kMsgControlByte, korvane::kMsgNameExists, korvane::kMsgNoName, korvane::kMsgReservedName;
  const std::vector<std::string> expected = {kMsgNoName,       kMsgNoName,       kMsgNameExists,
                                             kMsgNameExists,   kMsgReservedName, kMsgReservedName,
                                             kMsgReservedName, kMsgControlByte,  korvane::kMsgPathTooLong};
  EXPECT_EQ(seam.Texts(), expected);
  for (const FakeSeam::Box& box : seam.boxes) {
    EXPECT_EQ(box.caption, "Korvane");
    EXPECT_EQ(box.flags & 0xFF, static_cast<UINT>(MB_ICONINFORMATION | MB_OK));
  }
}

TEST_F(NameDialogTest, BlanksAroundANameAreKeptAndOnlyTheNameListIsSearched) {
  model.DeleteGroup(static_cast<std::size_t>(model.FindGroup("業務Ｂ")));  // now on the removed list
  {
    TFrmFR0030NG dlg(model);
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(RunModal(dlg, {[&] {
                               PostAnsiChars(dlg.EdtNewGroup.hwnd(), " Alpha ");
                               PressEnter(dlg.EdtNewGroup);
                             }}),
              ui::kModalOk);
    EXPECT_TRUE(dlg.Accepted);
    EXPECT_EQ(dlg.ResultName, " Alpha ");
  }
  // Tab to OK, then Space on it.
  TFrmFR0030NG dlg(model);
  ASSERT_TRUE(dlg.Create());
  const int result = RunModal(dlg, {
      [&] {
        PostAnsiChars(dlg.EdtNewGroup.hwnd(), "業務Ｂ");
        PostKey(dlg.EdtNewGroup.hwnd(), VK_TAB);
      },
      [&] {
        EXPECT_EQ(GetFocus(), dlg.BtnOK.hwnd());
        PostKey(dlg.BtnOK.hwnd(), VK_SPACE);
      },
  });
  EXPECT_EQ(result, ui::kModalOk);
  EXPECT_TRUE(dlg.Accepted);
  EXPECT_EQ(dlg.ResultName, "業務Ｂ");
  EXPECT_TRUE(seam.boxes.empty());
}

TEST_F(NameDialogTest, EnterPressesOkEscapeDoesNothingAndTheCloseCommandCancels) {
  TFrmFR0030NG dlg(model);
  ASSERT_TRUE(dlg.Create());
  ui::Edit& edit = dlg.EdtNewGroup;
  const int result = RunModal(dlg, {
      [&] {
        PostAnsiChars(edit.hwnd(), "Alpha");
        PressEnter(edit);  // refused: exists
      },
      [&] {
        ASSERT_EQ(seam.boxes.size(), 1u);
        PostKey(edit.hwnd(), VK_ESCAPE);
        PostKey(dlg.BtnCancel.hwnd(), VK_ESCAPE);  // not bound to Cancel, wherever the focus is
      },
      [&] {
        EXPECT_TRUE(dlg.InModal());
        EXPECT_TRUE(IsWindowVisible(dlg.hwnd()));
        EXPECT_EQ(edit.Text(), "Alpha");
        EXPECT_FALSE(dlg.Accepted);
        // Alt+F4: the system's close command, although there is no close box.
        const LPARAM alt = 1 | (MapVirtualKeyA(VK_F4, MAPVK_VK_TO_VSC) << 16) | (1 << 29);
        PostMessageA(edit.hwnd(), WM_SYSKEYDOWN, VK_F4, alt);
      },
  });
  EXPECT_EQ(result, ui::kModalCancel);
  EXPECT_FALSE(dlg.Accepted);
  EXPECT_EQ(dlg.ResultName, "");
  EXPECT_FALSE(IsWindowVisible(dlg.hwnd()));
}

TEST_F(NameDialogTest, RenameDialogShowsTheNameSelectedAndRefusesItInAnyCase) {
  TFrmFR0040CG dlg(model);
  ASSERT_TRUE(dlg.Create());
  dlg.LblGroupName.SetCaption("Alpha");
  dlg.EdtNewGroup.SetText("Alpha");
  ui::Edit& edit = dlg.EdtNewGroup;
  const int result = RunModal(dlg, {
      [&] {
        EXPECT_EQ(GetFocus(), edit.hwnd());
        EXPECT_EQ(edit.GetSelection().start, 0u);
        EXPECT_EQ(edit.GetSelection().end, 5u);
        PressEnter(edit);  // unchanged
      },
      [&] {
        ASSERT_EQ(seam.boxes.size(), 1u);
        SelectAllAndType(edit, "aLPHA");
        PressEnter(edit);
      },
      [&] {
        // Typing replaces the selected name.
        SendMessageA(edit.hwnd(), EM_SETSEL, 0, -1);
        PostAnsiChars(edit.hwnd(), "Beta");
        PressEnter(edit);
      },
  });
  EXPECT_EQ(result, ui::kModalOk);
  EXPECT_TRUE(dlg.Accepted);
  EXPECT_EQ(dlg.ResultName, "Beta");
  EXPECT_EQ(seam.Texts(), std::vector<std::string>(2, korvane::kMsgNameExists));
  EXPECT_EQ(dlg.LblGroupName.caption(), "Alpha");
}

TEST_F(NameDialogTest, RenameOfANameTheFilterRefusesShowsItOnlyInTheLabel) {
  for (const char* last_good : {"", "前回"}) {
    korvane::SetLastGoodText(last_good);
    TFrmFR0040CG dlg(model);
    ASSERT_TRUE(dlg.Create());
    dlg.LblGroupName.SetCaption("a;b");
    dlg.EdtNewGroup.SetText("a;b");
    EXPECT_EQ(dlg.EdtNewGroup.Text(), last_good);
    EXPECT_EQ(dlg.LblGroupName.caption(), "a;b");
    const int result = RunModal(dlg, {
        [&] {
          // On entry the box's text is the one a refusal falls back to.
          PostAnsiChars(dlg.EdtNewGroup.hwnd(), ",");
        },
        [&] {
          EXPECT_EQ(dlg.EdtNewGroup.Text(), last_good);
          SendMessageA(dlg.BtnCancel.hwnd(), BM_CLICK, 0, 0);
        },
    });
    EXPECT_EQ(result, ui::kModalCancel);
    EXPECT_FALSE(dlg.Accepted);
  }
  korvane::SetLastGoodText("");
}

// Position and size of a child in its parent's client coordinates.
void ExpectBounds(HWND h, int x, int y, int w, int hgt, const char* what) {
  const ui::Bounds b = ui::BoundsOf(h);
  EXPECT_EQ(b.x, x) << what;
  EXPECT_EQ(b.y, y) << what;
  if (w >= 0) {
    EXPECT_EQ(b.width, w) << what;
  }
  if (hgt >= 0) {
    EXPECT_EQ(b.height, hgt) << what;
  }
}

LOGFONTW FontOf(HWND h) {
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  return lf;
}

void ExpectFont(HWND h, const char* face, int height, const char* what) {
  const LOGFONTW lf = FontOf(h);
  EXPECT_EQ(ui::Narrow(lf.lfFaceName), face) << what;
  EXPECT_EQ(lf.lfHeight, -height) << what;
  EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET) << what;
}

void ExpectCommonLayout(korvane::GroupNameDialog& dlg, int edit_top, int buttons_top) {
  RECT client{};
  GetClientRect(dlg.hwnd(), &client);
  EXPECT_EQ(client.right, 312);
  EXPECT_EQ(client.bottom, 173);
  const LONG style = GetWindowLongA(dlg.hwnd(), GWL_STYLE);
  EXPECT_FALSE(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(GetWindowLongA(dlg.hwnd(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  ExpectBounds(dlg.PnlMain.hwnd(), 8, 8, 297, 153, "PnlMain");
  ExpectBounds(dlg.EdtNewGroup.hwnd(), 8, edit_top, 281, 23, "EdtNewGroup");
  ExpectBounds(dlg.BtnOK.hwnd(), 128, buttons_top, 75, 25, "BtnOK");
  ExpectBounds(dlg.BtnCancel.hwnd(), 214, buttons_top, 75, 25, "BtnCancel");
  ExpectFont(dlg.EdtNewGroup.hwnd(), "ＭＳ ゴシック", 15, "EdtNewGroup");
  ExpectFont(dlg.BtnOK.hwnd(), "ＭＳ Ｐゴシック", 12, "BtnOK");
  ExpectFont(dlg.BtnCancel.hwnd(), "ＭＳ Ｐゴシック", 12, "BtnCancel");
  EXPECT_EQ(SendMessageA(dlg.EdtNewGroup.hwnd(), EM_GETLIMITTEXT, 0, 0), 30);
  EXPECT_TRUE(dlg.EdtNewGroup.ime_hiragana());
  EXPECT_EQ(dlg.EdtNewGroup.Text(), "");
  EXPECT_EQ(GetWindowLongA(dlg.BtnOK.hwnd(), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongA(dlg.BtnCancel.hwnd(), GWL_STYLE) & 0x0F, BS_PUSHBUTTON);
  // Tab order: the box, OK, Cancel, round again.
  EXPECT_EQ(ui::NextTabStop(dlg.hwnd(), nullptr, false), dlg.EdtNewGroup.hwnd());
  EXPECT_EQ(ui::NextTabStop(dlg.hwnd(), dlg.EdtNewGroup.hwnd(), false), dlg.BtnOK.hwnd());
  EXPECT_EQ(ui::NextTabStop(dlg.hwnd(), dlg.BtnOK.hwnd(), false), dlg.BtnCancel.hwnd());
  EXPECT_EQ(ui::NextTabStop(dlg.hwnd(), dlg.BtnCancel.hwnd(), false), dlg.EdtNewGroup.hwnd());
}

TEST_F(NameDialogTest, LayoutsOfBothDialogs) {
  TFrmFR0030NG add(model);
  ASSERT_TRUE(add.Create());
  ExpectCommonLayout(add, 64, 112);
  EXPECT_EQ(add.Caption(), "業務名の新規追加");
  ExpectFont(add.hwnd(), "MS UI Gothic", 15, "new-group form");
  ExpectBounds(add.LblCaption.hwnd(), 8, 40, -1, -1, "LblCaption");
  EXPECT_EQ(add.LblCaption.caption(), "新規追加する業務名");
  ExpectFont(add.LblCaption.hwnd(), "MS UI Gothic", 15, "LblCaption");
  EXPECT_EQ(ui::HelpContextOf(add.hwnd()), korvane::kNewGroupHelpContext);

  TFrmFR0040CG rename(model);
  ASSERT_TRUE(rename.Create());
  ExpectCommonLayout(rename, 88, 120);
  EXPECT_EQ(rename.Caption(), "業務名の変更");
  ExpectFont(rename.hwnd(), "ＭＳ Ｐゴシック", 12, "rename form");
  ExpectBounds(rename.LblBefore.hwnd(), 8, 16, -1, -1, "LblBefore");
  EXPECT_EQ(rename.LblBefore.caption(), "現在の業務名");
  ExpectFont(rename.LblBefore.hwnd(), "MS UI Gothic", 15, "LblBefore");
  ExpectBounds(rename.LblGroupName.hwnd(), 16, 40, -1, -1, "LblGroupName");
  ExpectFont(rename.LblGroupName.hwnd(), "ＭＳ ゴシック", 15, "LblGroupName");
  ExpectBounds(rename.LblCaption.hwnd(), 8, 64, -1, -1, "LblCaption");
  EXPECT_EQ(rename.LblCaption.caption(), "新しい業務名");
  ExpectFont(rename.LblCaption.hwnd(), "MS UI Gothic", 15, "LblCaption");
  EXPECT_EQ(ui::HelpContextOf(rename.hwnd()), korvane::kRenameGroupHelpContext);
  // The label's width follows the name.
  rename.LblGroupName.SetCaption("A");
  const int narrow = ui::BoundsOf(rename.LblGroupName.hwnd()).width;
  rename.LblGroupName.SetCaption("ABCDEFGHIJ");
  EXPECT_GT(ui::BoundsOf(rename.LblGroupName.hwnd()).width, narrow * 5);
}

TEST_F(NameDialogTest, F1OpensTheDialogsHelpTopicAndTheInputMethodIsOnInTheBox) {
  std::vector<DWORD> topics;
  kit::App().on_help = [&](DWORD context) { topics.push_back(context); };
  for (int which = 0; which < 2; ++which) {
    std::unique_ptr<korvane::GroupNameDialog> dlg;
    if (which == 0) {
      dlg = std::make_unique<TFrmFR0030NG>(model);
    } else {
      dlg = std::make_unique<TFrmFR0040CG>(model);
    }
    ASSERT_TRUE(dlg->Create());
    RunModal(*dlg, {
        [&] {
          HIMC imc = ImmGetContext(dlg->EdtNewGroup.hwnd());
          ASSERT_NE(imc, nullptr);
          DWORD conversion = 0;
          DWORD sentence = 0;
          ImmGetConversionStatus(imc, &conversion, &sentence);
          EXPECT_TRUE(ImmGetOpenStatus(imc));
          EXPECT_EQ(conversion, static_cast<DWORD>(IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE));
          ImmReleaseContext(dlg->EdtNewGroup.hwnd(), imc);
          PostKey(dlg->EdtNewGroup.hwnd(), VK_F1);
        },
        [&] { SendMessageA(dlg->BtnCancel.hwnd(), BM_CLICK, 0, 0); },
    });
  }
  EXPECT_EQ(topics, (std::vector<DWORD>{12, 13}));
}

TEST_F(NameDialogTest, CentredOverTheOwnerByOuterSizesWithTruncatingDivision) {
  ui::Form owner;
  ui::FormArgs args;
  args.caption = "owner";
  args.kind = ui::FormKind::Dialog;  // a popup: Windows keeps no minimum size for it
  args.close_box = false;
  // Partly off the screen, and narrower than the dialog by an odd number of
  // pixels: the halving truncates toward zero, not down.
  args.bounds = {-150, 37, 101, 400};
  ASSERT_TRUE(owner.Create(args));
  owner.Show();
  TFrmFR0030NG dlg(model);
  ASSERT_TRUE(dlg.Create(owner.hwnd()));
  EXPECT_EQ(GetWindow(dlg.hwnd(), GW_OWNER), owner.hwnd());
  const ui::Bounds o = owner.bounds();
  const ui::Bounds d = dlg.bounds();
  ASSERT_EQ(o.width, 101);
  ASSERT_EQ(((o.width - d.width) % 2 != 0) && o.width < d.width, true) << "the case needs an odd negative difference";
  EXPECT_EQ(d.x * 2, o.x * 2 + (o.width - d.width) + 1);  // -0.5 truncated up to 0
  EXPECT_EQ(d.y, 37 + (400 - d.height) / 2);
  EXPECT_LT(d.x, 0);  // not pulled onto the screen
}

TEST_F(NameDialogTest, RefusalInTheSystemsMessageBoxGivesTheFocusBackToTheBox) {
  korvane::SetSeam(nullptr);  // the real message box
  TFrmFR0030NG dlg(model);
  ASSERT_TRUE(dlg.Create());
  std::string shown;
  bool dialog_disabled = false;
  const int result = RunModal(dlg, {
      [&] { PressEnter(dlg.EdtNewGroup); },
      [&] {
        // Runs inside the message box's own loop.
        HWND box = kit::FindMessageBox();
        if (!box) return kit::RunAgain();
        shown = kit::DlgItemText(box, 0xFFFF);
        dialog_disabled = !IsWindowEnabled(dlg.hwnd());
        PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
      },
      [&] {
        EXPECT_EQ(kit::FindMessageBox(), nullptr);
        EXPECT_TRUE(IsWindowEnabled(dlg.hwnd()));
        EXPECT_EQ(GetFocus(), dlg.EdtNewGroup.hwnd());
        PostAnsiChars(dlg.EdtNewGroup.hwnd(), "新規");
        PressEnter(dlg.EdtNewGroup);
      },
  });
  EXPECT_EQ(shown, korvane::kMsgNoName);
  EXPECT_TRUE(dialog_disabled);
  EXPECT_EQ(result, ui::kModalOk);
  EXPECT_EQ(dlg.ResultName, "新規");
}

}  // namespace
