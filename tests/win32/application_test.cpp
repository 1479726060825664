// The application object: run loop and filter, modal loops, activation,
// the program-wide cursor, the application window.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "kit.h"
#include "ui/application.h"
#include "ui/button.h"
#include "ui/form.h"
#include "ui/wide.h"

namespace {

using kit::App;
using kit::PumpUntil;

constexpr UINT kPostedSeen = WM_APP + 1;
constexpr UINT kPostedHandledByFilter = WM_APP + 2;
constexpr UINT kSentSameThread = WM_APP + 3;
constexpr UINT kSentOtherThread = WM_APP + 4;
constexpr UINT kFinish = WM_APP + 5;

struct Recorder {
  std::vector<UINT> filtered;  // what the filter saw, for our form
  std::vector<UINT> handled;   // what the form's handlers got
  bool Filtered(UINT m) const { return std::find(filtered.begin(), filtered.end(), m) != filtered.end(); }
  bool Handled(UINT m) const { return std::find(handled.begin(), handled.end(), m) != handled.end(); }
};

struct Job {
  HWND to;
  UINT sent;
  HWND post_to;
  UINT posted;
};

DWORD WINAPI RunJob(void* p) {
  auto* j = static_cast<Job*>(p);
  SendMessageA(j->to, j->sent, 0, 0);  // returns once the window thread handled it
  PostMessageA(j->post_to, j->posted, 0, 0);
  delete j;
  return 0;
}

// Sends a message from another thread, then posts one; returns at once.
void SendThenPostFromThread(HWND to, UINT sent, HWND post_to, UINT posted) {
  HANDLE t = CreateThread(nullptr, 0, &RunJob, new Job{to, sent, post_to, posted}, 0, nullptr);
  CloseHandle(t);
}

void CALLBACK EndRunLoop(HWND, UINT, UINT_PTR, DWORD) { App().RequestEnd(-1); }
void CALLBACK CloseWindowTimer(HWND h, UINT, UINT_PTR, DWORD) { PostMessageA(h, WM_CLOSE, 0, 0); }

ui::ButtonArgs ButtonAt(HWND parent, ui::Bounds b, const char* caption) {
  ui::ButtonArgs a;
  a.parent = parent;
  a.bounds = b;
  a.caption = caption;
  return a;
}

TEST(RunLoop, FilterSeesPostedMessagesOnlyAndHandledOnesAreNotDispatched) {
  ui::Form form;
  ASSERT_TRUE(kit::MakeForm(form));
  Recorder rec;
  for (UINT m : {kPostedSeen, kPostedHandledByFilter, kSentSameThread, kSentOtherThread, kFinish}) {
    form.SetMessageHandler(m, [&rec, m, &form](WPARAM, LPARAM, LRESULT&) {
      rec.handled.push_back(m);
      if (m == kPostedSeen) {
        SendMessageA(form.hwnd(), kSentSameThread, 0, 0);
        SendThenPostFromThread(form.hwnd(), kSentOtherThread, form.hwnd(), kFinish);
      }
      if (m == kFinish) App().RequestEnd(7);
      return true;
    });
  }
  App().on_message = [&](MSG& msg) {
    if (msg.hwnd != form.hwnd()) return false;
    rec.filtered.push_back(msg.message);
    return msg.message == kPostedHandledByFilter;
  };
  // A watchdog, so that a broken loop fails instead of hanging.
  SetTimer(form.hwnd(), 1, 20000, &EndRunLoop);
  PostMessageA(form.hwnd(), kPostedHandledByFilter, 0, 0);
  PostMessageA(form.hwnd(), kPostedSeen, 0, 0);

  const int code = App().Run(form);
  KillTimer(form.hwnd(), 1);
  App().on_message = nullptr;

  EXPECT_EQ(code, 7);
  EXPECT_TRUE(rec.Filtered(kPostedSeen));
  EXPECT_TRUE(rec.Filtered(kPostedHandledByFilter));
  EXPECT_TRUE(rec.Filtered(kFinish));
  EXPECT_FALSE(rec.Filtered(kSentSameThread));
  EXPECT_FALSE(rec.Filtered(kSentOtherThread));
  EXPECT_FALSE(rec.Handled(kPostedHandledByFilter));
  EXPECT_TRUE(rec.Handled(kPostedSeen));
  EXPECT_TRUE(rec.Handled(kSentSameThread));
  EXPECT_TRUE(rec.Handled(kSentOtherThread));
  EXPECT_TRUE(rec.Handled(kFinish));
  // The run loop showed the taskbar button's window, zero-sized.
  EXPECT_TRUE(IsWindowVisible(App().hwnd()));
  RECT r{};
  GetWindowRect(App().hwnd(), &r);
  EXPECT_EQ(r.right - r.left, 0);
  EXPECT_EQ(r.bottom - r.top, 0);
  ShowWindow(App().hwnd(), SW_HIDE);
  App().SetMainForm(nullptr);
}

TEST(RunLoop, ClosingTheMainFormAsksTheCloseQueryAndEndsTheLoop) {
  ui::Form form;
  ASSERT_TRUE(kit::MakeForm(form));
  int asked = 0;
  form.on_close_query = [&] { return ++asked >= 2; };  // refuses once, then allows
  form.SetMessageHandler(WM_APP + 9, [&](WPARAM, LPARAM, LRESULT&) {
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(IsWindowVisible(form.hwnd()));  // the refused close left it alone
    PostMessageA(form.hwnd(), WM_CLOSE, 0, 0);
    return true;
  });
  SetTimer(form.hwnd(), 1, 20000, &EndRunLoop);
  PostMessageA(form.hwnd(), WM_CLOSE, 0, 0);
  PostMessageA(form.hwnd(), WM_APP + 9, 0, 0);
  EXPECT_EQ(App().Run(form), 0);
  KillTimer(form.hwnd(), 1);
  EXPECT_EQ(asked, 2);
  // The window stays until the program's end destroys it.
  EXPECT_TRUE(IsWindow(form.hwnd()));
  ShowWindow(App().hwnd(), SW_HIDE);
  App().SetMainForm(nullptr);
}

TEST(ModalLoop, DispatchesSentMessagesFiltersPostedOnesAndDisablesTheOtherWindows) {
  ui::Form main;
  ASSERT_TRUE(kit::MakeForm(main));
  App().SetMainForm(&main);
  ui::Form dialog;
  ui::FormArgs args;
  args.kind = ui::FormKind::Dialog;
  args.caption = "dialog";
  args.bounds = {150, 150, 200, 120};
  ASSERT_TRUE(dialog.Create(args));
  EXPECT_EQ(GetWindow(dialog.hwnd(), GW_OWNER), main.hwnd());

  Recorder rec;
  bool main_was_disabled = false;
  bool dialog_was_enabled = false;
  main.SetMessageHandler(kSentOtherThread, [&](WPARAM, LPARAM, LRESULT&) {
    rec.handled.push_back(kSentOtherThread);
    return true;
  });
  dialog.SetMessageHandler(kPostedSeen, [&](WPARAM, LPARAM, LRESULT&) {
    rec.handled.push_back(kPostedSeen);
    main_was_disabled = !IsWindowEnabled(main.hwnd());
    dialog_was_enabled = IsWindowEnabled(dialog.hwnd()) != FALSE;
    SendThenPostFromThread(main.hwnd(), kSentOtherThread, dialog.hwnd(), kFinish);
    return true;
  });
  dialog.SetMessageHandler(kFinish, [&](WPARAM, LPARAM, LRESULT&) {
    rec.handled.push_back(kFinish);
    dialog.EndModal(ui::kModalOk);
    return true;
  });
  App().on_message = [&](MSG& msg) {
    if (msg.hwnd == main.hwnd() || msg.hwnd == dialog.hwnd()) rec.filtered.push_back(msg.message);
    return false;
  };
  SetTimer(dialog.hwnd(), 1, 20000, &CloseWindowTimer);
  PostMessageA(dialog.hwnd(), kPostedSeen, 0, 0);

  EXPECT_EQ(dialog.ShowModal(), ui::kModalOk);
  KillTimer(dialog.hwnd(), 1);
  App().on_message = nullptr;

  EXPECT_TRUE(main_was_disabled);
  EXPECT_TRUE(dialog_was_enabled);
  EXPECT_TRUE(IsWindowEnabled(main.hwnd()));
  EXPECT_FALSE(IsWindowVisible(dialog.hwnd()));
  EXPECT_TRUE(rec.Handled(kSentOtherThread));
  EXPECT_TRUE(rec.Handled(kFinish));
  EXPECT_TRUE(rec.Filtered(kPostedSeen));
  EXPECT_TRUE(rec.Filtered(kFinish));
  EXPECT_FALSE(rec.Filtered(kSentOtherThread));
  App().SetMainForm(nullptr);
}

TEST(ModalLoop, QuitMessageEndsItAndIsKeptForTheRunLoop) {
  ui::Form main;
  ASSERT_TRUE(kit::MakeForm(main));
  ui::Form dialog;
  ui::FormArgs args;
  args.kind = ui::FormKind::Dialog;
  args.bounds = {150, 150, 200, 120};
  args.owner = main.hwnd();
  ASSERT_TRUE(dialog.Create(args));
  PostQuitMessage(3);
  EXPECT_EQ(dialog.ShowModal(), ui::kModalCancel);
  MSG msg{};
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST(ModalLoop, CloseBoxAndModalResultButtonEndIt) {
  ui::Form main;
  ASSERT_TRUE(kit::MakeForm(main));
  App().SetMainForm(&main);
  ui::Form dialog;
  ui::FormArgs args;
  args.kind = ui::FormKind::Dialog;
  args.bounds = {150, 150, 240, 140};
  ASSERT_TRUE(dialog.Create(args));
  ui::Button ok;
  ui::ButtonArgs ok_args = ButtonAt(dialog.hwnd(), {10, 10, 75, 25}, "OK");
  ok_args.modal_result = ui::kModalOk;
  ASSERT_TRUE(ok.Create(ok_args));
  int clicks = 0;
  ok.on_click = [&] { ++clicks; };

  PostMessageA(dialog.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(dialog.ShowModal(), ui::kModalCancel);

  kit::PostButton(ok.hwnd(), WM_LBUTTONDOWN, 5, 5);
  EXPECT_EQ(dialog.ShowModal(), ui::kModalOk);
  EXPECT_EQ(clicks, 1);
  App().SetMainForm(nullptr);
}

TEST(Activation, ProgramAndFormActivationAreTold) {
  int app_activations = 0;
  int app_deactivations = 0;
  App().on_activate = [&] { ++app_activations; };
  App().on_deactivate = [&] { ++app_deactivations; };
  ui::Form form;
  int form_activations = 0;
  form.on_activate = [&] { ++form_activations; };
  ASSERT_TRUE(kit::MakeForm(form));
  ASSERT_TRUE(PumpUntil([&] { return form_activations == 1; }));

  {
    // Another program comes to the front, then ours again.
    kit::OtherThreadWindow other;
    ASSERT_TRUE(kit::BringToFront(other.hwnd()));
    ASSERT_TRUE(PumpUntil([&] { return app_deactivations >= 1; }));
    const int before = app_activations;
    ASSERT_TRUE(kit::BringToFront(form.hwnd()));
    ASSERT_TRUE(PumpUntil([&] { return app_activations > before && GetActiveWindow() == form.hwnd(); }));
    kit::Pump();
    EXPECT_EQ(form_activations, 1);  // the program's own active form did not change
  }

  // A second form of the program takes the focus and gives it back.
  ui::Form second;
  int second_activations = 0;
  second.on_activate = [&] { ++second_activations; };
  ASSERT_TRUE(kit::MakeForm(second));
  ASSERT_TRUE(PumpUntil([&] { return second_activations == 1; }));
  SetActiveWindow(form.hwnd());
  EXPECT_TRUE(PumpUntil([&] { return form_activations == 2; }));
  App().on_activate = nullptr;
  App().on_deactivate = nullptr;
}

TEST(Application, TitleOwnershipAndScreenCursor) {
  static_assert(static_cast<int>(ui::ScreenCursor::HourGlass) == -11);
  static_assert(static_cast<int>(ui::ScreenCursor::Default) == 0);
  App().SetTitle("業務");
  EXPECT_EQ(ui::TextOf(App().hwnd()), "業務");
  App().SetTitle("𠮷野家 café");
  EXPECT_EQ(ui::TextOf(App().hwnd()), "𠮷野家 café");
  wchar_t text[32] = {};
  GetWindowTextW(App().hwnd(), text, static_cast<int>(std::size(text)));
  EXPECT_EQ(std::wstring(text), L"\U00020BB7野家 caf\u00e9") << "the window itself holds the characters";

  ui::Form form;
  ASSERT_TRUE(kit::MakeForm(form));
  EXPECT_EQ(GetWindow(form.hwnd(), GW_OWNER), App().hwnd());
  ui::Button button;
  ASSERT_TRUE(button.Create(ButtonAt(form.hwnd(), {10, 10, 80, 25}, "b")));

  HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  App().SetScreenCursor(ui::ScreenCursor::HourGlass);
  EXPECT_EQ(GetCursor(), wait);
  // Every window of the program keeps it while the pointer moves over it.
  SetCursor(arrow);
  SendMessageA(button.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(button.hwnd()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), wait);
  App().SetScreenCursor(ui::ScreenCursor::Default);
  SendMessageA(button.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(button.hwnd()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), arrow);

  // Counted: work that ends first (a wait cursor's scope) leaves the
  // hourglass to work still under way; one end too many changes nothing.
  App().BeginBusy();
  {
    const ui::WaitCursor inner;
    EXPECT_EQ(App().busy_count(), 2);
  }
  EXPECT_EQ(App().screen_cursor(), ui::ScreenCursor::HourGlass);
  EXPECT_EQ(GetCursor(), wait);
  App().EndBusy();
  EXPECT_EQ(App().screen_cursor(), ui::ScreenCursor::Default);
  App().EndBusy();
  EXPECT_EQ(App().busy_count(), 0);
  EXPECT_EQ(App().screen_cursor(), ui::ScreenCursor::Default);
}

TEST(Application, ExceptionsInHandlersAreReportedNotPropagated) {
  std::string reported;
  ui::SetExceptionReporter([&](const std::string& what) { reported = what; });
  ui::Form form;
  ASSERT_TRUE(kit::MakeForm(form));
  form.SetMessageHandler(WM_APP + 20, [](WPARAM, LPARAM, LRESULT&) -> bool { throw std::runtime_error("boom"); });
  SendMessageA(form.hwnd(), WM_APP + 20, 0, 0);
  EXPECT_EQ(reported, "boom");
  App().on_message = [](MSG& msg) -> bool {
    if (msg.message == WM_APP + 21) throw std::runtime_error("filter");
    return false;
  };
  PostMessageA(form.hwnd(), WM_APP + 21, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return reported == "filter"; }));
  App().on_message = nullptr;
  ui::SetExceptionReporter(nullptr);
}

}  // namespace
