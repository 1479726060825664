// Forms: tab order and focus moves, the keys a form keeps and the keys it
// leaves to the focused control, context help, menus, palette, placement.
#include <windows.h>

#include <gtest/gtest.h>

#include "kit.h"
#include "ui/button.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/panel.h"
#include "ui/wide.h"

namespace {

using kit::App;
using kit::PostKey;
using kit::Pump;
using kit::PumpUntil;

ui::EditArgs EditAt(HWND parent, ui::Bounds b) {
  ui::EditArgs a;
  a.parent = parent;
  a.bounds = b;
  return a;
}

ui::ButtonArgs ButtonAt(HWND parent, ui::Bounds b, const char* caption) {
  ui::ButtonArgs a;
  a.parent = parent;
  a.bounds = b;
  a.caption = caption;
  return a;
}

ui::PanelArgs PanelAt(HWND parent, ui::Bounds b) {
  ui::PanelArgs a;
  a.parent = parent;
  a.bounds = b;
  return a;
}

TEST(FormKeys, TabAndNextDlgCtlFollowTheTabOrderThroughPanels) {
  ui::Form form;
  ASSERT_TRUE(kit::MakeForm(form));
  ui::Panel panel;
  ui::Edit first, hidden, inside;
  kit::KeySink sink;
  ui::Button disabled, last;
  ASSERT_TRUE(first.Create(EditAt(form.hwnd(), {10, 10, 100, 22})));
  ASSERT_TRUE(sink.Create(form.hwnd(), 10, 40, 100, 40));
  ui::EditArgs hidden_args = EditAt(form.hwnd(), {10, 90, 100, 22});
  hidden_args.visible = false;
  ASSERT_TRUE(hidden.Create(hidden_args));
  ASSERT_TRUE(panel.Create(PanelAt(form.hwnd(), {150, 10, 200, 100})));
  ASSERT_TRUE(inside.Create(EditAt(panel.hwnd(), {10, 10, 100, 22})));
  ui::ButtonArgs disabled_args = ButtonAt(form.hwnd(), {10, 120, 80, 25}, "off");
  disabled_args.enabled = false;
  ASSERT_TRUE(disabled.Create(disabled_args));
  ASSERT_TRUE(last.Create(ButtonAt(form.hwnd(), {100, 120, 80, 25}, "last")));

  // Tab order by creation: first, sink, (hidden), panel: inside, (disabled), last.
  form.FocusControl(first.hwnd());
  const HWND expected[] = {sink.hwnd(), inside.hwnd(), last.hwnd(), first.hwnd()};
  for (HWND want : expected) {
    PostKey(GetFocus(), VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == want; }));
  }
  {
    kit::HeldKey shift(VK_SHIFT);
    PostKey(GetFocus(), VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == last.hwnd(); }));
  }
  EXPECT_EQ(sink.keys, "");  // Tab never reached the control

  // The order can be changed: last before sink.
  ui::SetTabOrder({first.hwnd(), last.hwnd(), sink.hwnd()});
  form.FocusControl(first.hwnd());
  PostKey(first.hwnd(), VK_TAB);
  EXPECT_TRUE(PumpUntil([&] { return GetFocus() == last.hwnd(); }));

  // WM_NEXTDLGCTL from a key handler: Enter in the edit moves on, and the
  // character never reaches the box.
  first.on_key_press = [&](unsigned& key) {
    if (key == '\r') {
      key = 0;
      SendMessageA(form.hwnd(), WM_NEXTDLGCTL, 0, 0);
    }
  };
  form.FocusControl(first.hwnd());
  first.SetText("abc");
  first.SetModified(false);
  kit::PostChar(first.hwnd(), L'\r');
  EXPECT_TRUE(PumpUntil([&] { return GetFocus() == last.hwnd(); }));
  EXPECT_EQ(first.Text(), "abc");
  EXPECT_FALSE(first.Modified());
  SendMessageA(form.hwnd(), WM_NEXTDLGCTL, 1, 0);  // previous
  EXPECT_EQ(GetFocus(), first.hwnd());
  SendMessageA(form.hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(inside.hwnd()), TRUE);
  EXPECT_EQ(GetFocus(), inside.hwnd());
}

TEST(FormKeys, MainFormLeavesEnterEscapeF2AndDeleteToTheFocusedControl) {
  ui::Form form;
  ASSERT_TRUE(kit::MakeForm(form));
  kit::KeySink sink;
  ASSERT_TRUE(sink.Create(form.hwnd(), 10, 10, 100, 40));
  ui::Button button;  // a plain button, not the default one
  ASSERT_TRUE(button.Create(ButtonAt(form.hwnd(), {10, 60, 80, 25}, "b")));
  int clicks = 0;
  button.on_click = [&] { ++clicks; };
  form.FocusControl(sink.hwnd());
  for (UINT vk : {VK_RETURN, VK_ESCAPE, VK_F2, VK_DELETE, VK_F1}) PostKey(sink.hwnd(), vk);
  const std::string want = "D13;D27;D113;D46;D112;";
  EXPECT_TRUE(PumpUntil([&] { return sink.keys == want; }));
  EXPECT_EQ(sink.keys, want);
  EXPECT_EQ(clicks, 0);
}

struct NameDialog {
  ui::Form form;
  ui::Panel panel;
  ui::Edit edit;
  ui::Button ok;
  ui::Button cancel;
  int ok_clicks = 0;
  int cancel_clicks = 0;

  bool Create(bool bind_escape) {
    ui::FormArgs args;
    args.kind = ui::FormKind::Dialog;
    args.close_box = false;
    args.caption = "業務名の新規追加";
    args.bounds = {120, 120, 312, 173};
    args.client_size = true;
    args.help_context = 12;
    if (!form.Create(args)) return false;
    if (!panel.Create(PanelAt(form.hwnd(), {8, 8, 297, 153}))) return false;
    if (!edit.Create(EditAt(panel.hwnd(), {8, 64, 281, 23}))) return false;
    ui::ButtonArgs ok_args = ButtonAt(panel.hwnd(), {128, 112, 75, 25}, "OK");
    ok_args.is_default = true;
    ui::ButtonArgs cancel_args = ButtonAt(panel.hwnd(), {214, 112, 75, 25}, "ｷｬﾝｾﾙ");
    cancel_args.is_cancel = bind_escape;
    if (!ok.Create(ok_args) || !cancel.Create(cancel_args)) return false;
    ok.on_click = [this] { ++ok_clicks; };
    cancel.on_click = [this] { ++cancel_clicks; };
    form.Show();
    return kit::BringToFront(form.hwnd()) && PumpUntil([&] { return GetFocus() == edit.hwnd(); });
  }
};

TEST(FormKeys, DialogEnterPressesTheDefaultButtonAndEscapeOnlyWhenBound) {
  NameDialog d;
  ASSERT_TRUE(d.Create(false));
  SIZE client = d.form.ClientSize();
  EXPECT_EQ(client.cx, 312);
  EXPECT_EQ(client.cy, 173);
  EXPECT_TRUE(GetWindowLongA(d.ok.hwnd(), GWL_STYLE) & BS_DEFPUSHBUTTON);

  PostKey(d.edit.hwnd(), VK_RETURN);
  EXPECT_TRUE(PumpUntil([&] { return d.ok_clicks == 1; }));
  PostKey(GetFocus(), VK_ESCAPE);
  PostMessageA(d.form.hwnd(), WM_NULL, 0, 0);
  Pump();
  EXPECT_EQ(d.cancel_clicks, 0);
  EXPECT_TRUE(d.form.Visible());
  // Enter on another push button presses that one.
  SetFocus(d.cancel.hwnd());
  PostKey(d.cancel.hwnd(), VK_RETURN);
  EXPECT_TRUE(PumpUntil([&] { return d.cancel_clicks == 1; }));
  EXPECT_EQ(d.ok_clicks, 1);

  NameDialog bound;
  ASSERT_TRUE(bound.Create(true));
  PostKey(bound.edit.hwnd(), VK_ESCAPE);
  EXPECT_TRUE(PumpUntil([&] { return bound.cancel_clicks == 1; }));
}

TEST(FormKeys, F1FindsTheNearestHelpContextUpToTheForm) {
  std::vector<DWORD> asked;
  App().on_help = [&](DWORD context) { asked.push_back(context); };
  NameDialog d;
  ASSERT_TRUE(d.Create(false));
  PostKey(d.edit.hwnd(), VK_F1);  // edit 0, panel 0, form 12
  ASSERT_TRUE(PumpUntil([&] { return asked.size() == 1; }));
  EXPECT_EQ(asked[0], 12u);
  ui::SetHelpContext(d.panel.hwnd(), 7);
  PostKey(d.edit.hwnd(), VK_F1);
  ASSERT_TRUE(PumpUntil([&] { return asked.size() == 2; }));
  EXPECT_EQ(asked[1], 7u);
  ui::SetHelpContext(d.edit.hwnd(), 5);
  PostKey(d.edit.hwnd(), VK_F1);
  ASSERT_TRUE(PumpUntil([&] { return asked.size() == 3; }));
  EXPECT_EQ(asked[2], 5u);

  // No context anywhere: nothing is asked and the key goes on.
  ui::Form plain;
  ASSERT_TRUE(kit::MakeForm(plain));
  kit::KeySink sink;
  ASSERT_TRUE(sink.Create(plain.hwnd(), 10, 10, 50, 50));
  plain.FocusControl(sink.hwnd());
  PostKey(sink.hwnd(), VK_F1);
  EXPECT_TRUE(PumpUntil([&] { return !sink.keys.empty(); }));
  EXPECT_EQ(asked.size(), 3u);
  App().on_help = nullptr;
}

enum : UINT { kSave = 100, kExit = 101, kNew = 200, kRename = 201, kDelete = 202 };

TEST(Menus, CtrlSRunsTheSaveItemWhereverTheFocusIs) {
  ui::Form form;
  ASSERT_TRUE(kit::MakeForm(form));
  int saves = 0;
  int exits = 0;
  ui::MenuBar bar({
      {0, "ﾌｧｲﾙ(&F)", {}, nullptr,
       {{kSave, "保存(&V)", ui::Ctrl('S'), [&] { ++saves; }, {}},
        {0, ui::kSeparator, {}, nullptr, {}},
        {kExit, "終了(&X)", {}, [&] { ++exits; }, {}}}},
  });
  form.SetMainMenu(&bar);
  kit::KeySink sink;
  ASSERT_TRUE(sink.Create(form.hwnd(), 10, 10, 100, 40));
  form.FocusControl(sink.hwnd());
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == sink.hwnd(); }));

  kit::SendKeys({VK_CONTROL, 'S'});
  EXPECT_TRUE(PumpUntil([&] { return saves == 1; }));
  EXPECT_EQ(sink.keys.find("D83;"), std::string::npos);  // the S did not reach the control

  wchar_t caption[64] = {};
  GetMenuStringW(bar.handle(), kSave, caption, static_cast<int>(std::size(caption)), MF_BYCOMMAND);
  EXPECT_EQ(ui::Narrow(caption), "保存(&V)\tCtrl+S");
  PostMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(kExit, 0), 0);  // as a menu click
  EXPECT_TRUE(PumpUntil([&] { return exits == 1; }));

  bar.SetEnabled(kSave, false);
  kit::SendKeys({VK_CONTROL, 'S'});
  kit::SendKeys({VK_F2});  // input comes in order: once F2 is here, so was Ctrl+S
  PostMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(kSave, 0), 0);
  EXPECT_TRUE(PumpUntil([&] { return sink.keys.find("D113;") != std::string::npos; }));
  Pump();
  EXPECT_EQ(saves, 1);
  form.SetMainMenu(nullptr);
}

struct PopupCheck {
  HMENU menu;
  HWND owner;
  bool second_grayed = false;
};
PopupCheck* g_popup_check = nullptr;

void CALLBACK ChooseFirstItem(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_popup_check->second_grayed = (GetMenuState(g_popup_check->menu, kRename, MF_BYCOMMAND) & MF_GRAYED) != 0;
  PostKey(g_popup_check->owner, VK_DOWN);
  PostKey(g_popup_check->owner, VK_RETURN);
}

TEST(Menus, PopupMenuOpensWithItemsEnabledAsSetAndRunsTheChosenOne) {
  ui::Form form;
  ASSERT_TRUE(kit::MakeForm(form));
  std::string ran;
  ui::PopupMenu popup({
      {kNew, "新規業務名作成", {}, [&] { ran += "new;"; }, {}},
      {kRename, "業務名称変更", {}, [&] { ran += "rename;"; }, {}},
      {kDelete, "業務名削除", {}, [&] { ran += "delete;"; }, {}},
  });
  popup.SetEnabled(kNew, true);
  popup.SetEnabled(kRename, false);
  popup.SetEnabled(kDelete, false);
  EXPECT_TRUE(popup.Enabled(kNew));
  EXPECT_FALSE(popup.Enabled(kDelete));
  PopupCheck check{popup.handle(), form.hwnd()};
  g_popup_check = &check;
  SetTimer(nullptr, 0, 100, &ChooseFirstItem);
  POINT at{200, 200};
  ClientToScreen(form.hwnd(), &at);
  popup.Popup(form.hwnd(), at);
  g_popup_check = nullptr;
  EXPECT_TRUE(check.second_grayed);
  EXPECT_EQ(ran, "new;");
  EXPECT_FALSE(popup.Run(kDelete));  // a disabled item does not run
  EXPECT_EQ(ran, "new;");

  // Keys shown beside the captions; a new caption keeps its key.
  ui::PopupMenu keyed({
      {kNew, "a", ui::Shortcut{0, VK_INSERT}, nullptr, {}},
      {kRename, "b", ui::Shortcut{FALT, VK_UP}, nullptr, {}},
      {kDelete, "c", ui::Shortcut{0, VK_DELETE}, nullptr, {}},
  });
  EXPECT_EQ(keyed.Caption(kNew), "a\tIns");
  EXPECT_EQ(keyed.Caption(kRename), "b\tAlt+Up");
  EXPECT_EQ(ui::ShortcutText(ui::Shortcut{FALT, VK_DOWN}), "Alt+Down");
  keyed.SetCaption(kRename, "元に戻す(&U) 並べ替え");
  EXPECT_EQ(keyed.Caption(kRename), "元に戻す(&U) 並べ替え\tAlt+Up");
  keyed.SetCaption(kRename, "b");
  EXPECT_EQ(keyed.Caption(kRename), "b\tAlt+Up");
}

TEST(FormMessages, OwnHandlersSystemCommandsPaletteAndSessionEnd) {
  ui::Form form;
  ASSERT_TRUE(kit::MakeForm(form));
  LPARAM tray_lparam = 0;
  form.SetMessageHandler(0x4B1, [&](WPARAM, LPARAM lp, LRESULT& result) {
    tray_lparam = lp;
    result = 0;
    return true;
  });
  int minimise_requests = 0;
  form.SetMessageHandler(WM_SYSCOMMAND, [&](WPARAM wp, LPARAM, LRESULT& result) {
    if (wp != SC_MINIMIZE) return false;  // the rest: default handling
    ++minimise_requests;
    result = 0;
    return true;
  });
  SendMessageA(form.hwnd(), 0x4B1, 0, WM_LBUTTONDBLCLK);
  EXPECT_EQ(tray_lparam, WM_LBUTTONDBLCLK);
  SendMessageA(form.hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(minimise_requests, 1);
  EXPECT_FALSE(IsIconic(form.hwnd()));
  SendMessageA(form.hwnd(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_TRUE(PumpUntil([&] { return form.Maximized(); }));
  SendMessageA(form.hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(PumpUntil([&] { return !form.Maximized(); }));

  // Palette query: asked when the window may realise its palette, not when
  // it changed the system palette itself.
  struct {
    LOGPALETTE head;
    PALETTEENTRY more[1];
  } lp{{0x300, 2, {{255, 0, 0, 0}}}, {{0, 0, 255, 0}}};
  ui::UniquePalette palette(CreatePalette(&lp.head));
  int asked = 0;
  form.on_palette = [&] {
    ++asked;
    return palette.get();
  };
  SendMessageA(form.hwnd(), WM_QUERYNEWPALETTE, 0, 0);
  EXPECT_EQ(asked, 1);
  SendMessageA(form.hwnd(), WM_PALETTECHANGED, reinterpret_cast<WPARAM>(App().hwnd()), 0);
  EXPECT_EQ(asked, 2);
  SendMessageA(form.hwnd(), WM_PALETTECHANGED, reinterpret_cast<WPARAM>(form.hwnd()), 0);
  EXPECT_EQ(asked, 2);
  form.on_palette = nullptr;

  // Session end: the close query answers, the end is told.
  bool allow = false;
  form.on_close_query = [&] { return allow; };
  EXPECT_EQ(SendMessageA(form.hwnd(), WM_QUERYENDSESSION, 0, 0), FALSE);
  allow = true;
  EXPECT_EQ(SendMessageA(form.hwnd(), WM_QUERYENDSESSION, 0, 0), TRUE);
  int ended = -1;
  form.on_end_session = [&](bool ending) { ended = ending; };
  SendMessageA(form.hwnd(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(ended, 1);
}

TEST(FormPlacement, OuterBoundsMaximisedStateCaptionAndAlignedLayout) {
  ui::Form form;
  ui::FormArgs args;
  args.bounds = {195, 108, 730, 479};
  ASSERT_TRUE(form.Create(args));
  EXPECT_EQ(form.Left(), 195);
  EXPECT_EQ(form.Top(), 108);
  EXPECT_EQ(form.Width(), 730);
  EXPECT_EQ(form.Height(), 479);
  form.SetLeft(-20);  // placement off the screen is applied as it is
  form.SetTop(30);
  form.SetWidth(640);
  form.SetHeight(400);
  EXPECT_EQ(form.bounds().x, -20);
  EXPECT_EQ(form.bounds().y, 30);
  EXPECT_EQ(form.bounds().width, 640);
  EXPECT_EQ(form.bounds().height, 400);
  form.SetCaption("Korvane");
  EXPECT_EQ(form.Caption(), "Korvane");

  ui::Panel top, left, bottom, rest;
  for (ui::Panel* p : {&top, &left, &bottom, &rest}) ASSERT_TRUE(p->Create(PanelAt(form.hwnd(), {0, 0, 1, 1})));
  int resizes = 0;
  form.on_resize = [&] { ++resizes; };
  form.SetAlignedLayout({{top.hwnd(), ui::Align::Top, 57},
                         {bottom.hwnd(), ui::Align::Bottom, 19},
                         {left.hwnd(), ui::Align::Left, 265},
                         {rest.hwnd(), ui::Align::Client, 0}});
  const auto check = [&] {
    const SIZE c = form.ClientSize();
    const ui::Bounds t = ui::BoundsOf(top.hwnd()), b = ui::BoundsOf(bottom.hwnd()), l = ui::BoundsOf(left.hwnd()),
                     r = ui::BoundsOf(rest.hwnd());
    EXPECT_EQ(t.x, 0);
    EXPECT_EQ(t.y, 0);
    EXPECT_EQ(t.width, c.cx);
    EXPECT_EQ(t.height, 57);
    EXPECT_EQ(b.y, c.cy - 19);
    EXPECT_EQ(b.height, 19);
    EXPECT_EQ(l.y, 57);
    EXPECT_EQ(l.width, 265);
    EXPECT_EQ(l.height, c.cy - 57 - 19);
    EXPECT_EQ(r.x, 265);
    EXPECT_EQ(r.y, 57);
    EXPECT_EQ(r.width, c.cx - 265);
    EXPECT_EQ(r.height, c.cy - 57 - 19);
  };
  check();
  form.SetWidth(700);
  EXPECT_GE(resizes, 1);
  check();

  form.SetMaximized(true);  // before showing: shown maximised
  EXPECT_TRUE(form.Maximized());
  form.Show();
  EXPECT_TRUE(PumpUntil([&] { return IsZoomed(form.hwnd()) != FALSE; }));
  check();
}

}  // namespace
