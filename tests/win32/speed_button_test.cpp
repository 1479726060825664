// Flat speed buttons: grouping with exactly one down, setting down without
// the click handler, no focus taken, hints, transparent pictures.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "kit.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/gdi.h"
#include "ui/hint.h"
#include "ui/panel.h"
#include "ui/speed_button.h"

namespace {

using kit::Pump;
using kit::PumpUntil;

constexpr COLORREF kGlyphBackground = RGB(255, 0, 255);
constexpr COLORREF kEnabledMark = RGB(255, 0, 0);
constexpr COLORREF kDisabledMark = RGB(0, 128, 0);

// Two 32 × 32 pictures: background magenta, a square in the middle.
ui::UniqueBitmap MakeGlyph() {
  ui::MemorySurface surface;
  surface.Create(64, 32);
  const RECT all{0, 0, 64, 32}, first{8, 8, 24, 24}, second{40, 8, 56, 24};
  ui::UniqueBrush bg(CreateSolidBrush(kGlyphBackground)), a(CreateSolidBrush(kEnabledMark)),
      b(CreateSolidBrush(kDisabledMark));
  FillRect(surface.dc(), &all, bg.get());
  FillRect(surface.dc(), &first, a.get());
  FillRect(surface.dc(), &second, b.get());
  return surface.TakeBitmap();
}

struct Toolbar {
  ui::Form form;
  ui::Panel panel;
  ui::SpeedButton input, run, save;
  ui::Edit edit;
  std::string clicks;

  bool Create() {
    if (!kit::MakeForm(form)) return false;
    ui::PanelArgs pa;
    pa.parent = form.hwnd();
    pa.bounds = {0, 0, 300, 57};
    pa.outer = ui::BevelCut::Lowered;
    pa.inner = ui::BevelCut::Raised;
    if (!panel.Create(pa)) return false;
    const auto make = [&](ui::SpeedButton& b, int x, int group, bool down, const char* hint, const char* name) {
      ui::SpeedButtonArgs a;
      a.parent = panel.hwnd();
      a.bounds = {x, 8, 41, 41};
      a.group_index = group;
      a.down = down;
      a.hint = hint;
      b.on_click = [this, name] { clicks += name; };
      return b.Create(a);
    };
    ui::EditArgs ea;
    ea.parent = form.hwnd();
    ea.bounds = {10, 100, 200, 22};
    return make(save, 8, 0, false, "保存", "save;") && make(input, 136, 1, true, "登録モード", "input;") &&
           make(run, 176, 1, false, "ランチャーモード", "run;") && edit.Create(ea);
  }
};

TEST(SpeedButton, ExactlyOneOfAGroupIsDownAndSetDownRunsNoHandler) {
  Toolbar t;
  ASSERT_TRUE(t.Create());
  EXPECT_TRUE(t.input.Down());
  EXPECT_FALSE(t.run.Down());
  kit::PostButton(t.run.hwnd(), WM_LBUTTONDOWN, 20, 20);
  ASSERT_TRUE(PumpUntil([&] { return t.clicks == "run;"; }));
  EXPECT_TRUE(t.run.Down());
  EXPECT_FALSE(t.input.Down());
  // A click on the button that is down keeps it down and still runs.
  kit::PostButton(t.run.hwnd(), WM_LBUTTONDOWN, 20, 20);
  ASSERT_TRUE(PumpUntil([&] { return t.clicks == "run;run;"; }));
  EXPECT_TRUE(t.run.Down());
  // The program sets the state: no handler.
  t.input.SetDown(true);
  EXPECT_TRUE(t.input.Down());
  EXPECT_FALSE(t.run.Down());
  t.input.SetDown(false);  // the group keeps one down
  EXPECT_TRUE(t.input.Down());
  Pump();
  EXPECT_EQ(t.clicks, "run;run;");
  // A press released outside is no click.
  PostMessageA(t.save.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
  PostMessageA(t.save.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 20));
  PostMessageA(t.save.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(200, 20));
  Pump();
  EXPECT_EQ(t.clicks, "run;run;");
  EXPECT_FALSE(t.save.Down());  // no group: a click does not hold it down
}

TEST(SpeedButton, TakesNoFocusAndShowsHints) {
  Toolbar t;
  ASSERT_TRUE(t.Create());
  int exits = 0;
  t.edit.on_exit = [&] { ++exits; };
  t.form.FocusControl(t.edit.hwnd());
  kit::PostButton(t.save.hwnd(), WM_LBUTTONDOWN, 20, 20);
  ASSERT_TRUE(PumpUntil([&] { return t.clicks == "save;"; }));
  EXPECT_EQ(GetFocus(), t.edit.hwnd());
  EXPECT_EQ(exits, 0);
  EXPECT_EQ(ui::HintOf(t.save.hwnd()), "保存");
  EXPECT_EQ(ui::HintOf(t.run.hwnd()), "ランチャーモード");
  t.run.SetHint("");
  EXPECT_EQ(ui::HintOf(t.run.hwnd()), "");
  EXPECT_EQ(SendMessageA(ui::TooltipOf(t.save.hwnd()), TTM_GETTOOLCOUNT, 0, 0), 2);
}

TEST(SpeedButton, PictureBackgroundIsTransparentAndDisabledUsesTheSecondPicture) {
  Toolbar t;
  ASSERT_TRUE(t.Create());
  t.save.SetGlyph(MakeGlyph(), 2);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const auto paint = [&](ui::MemorySurface& s) {
    ASSERT_TRUE(s.Create(41, 41));
    t.save.Paint(s.dc(), RECT{0, 0, 41, 41});
  };
  ui::MemorySurface enabled;
  paint(enabled);
  // The picture is centred: its corner (4, 4) is background, (20, 20) the mark.
  EXPECT_EQ(GetPixel(enabled.dc(), 5, 5), face);
  EXPECT_EQ(GetPixel(enabled.dc(), 20, 20), kEnabledMark);
  t.save.SetEnabled(false);
  ui::MemorySurface disabled;
  paint(disabled);
  EXPECT_EQ(GetPixel(disabled.dc(), 20, 20), kDisabledMark);
  EXPECT_EQ(GetPixel(disabled.dc(), 5, 5), face);
  // A disabled button does not click.
  kit::PostButton(t.save.hwnd(), WM_LBUTTONDOWN, 20, 20);
  Pump();
  EXPECT_EQ(t.clicks, "");
}

}  // namespace
