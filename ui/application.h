#pragma once
// The application object: the hidden application window (created before any
// other window, owner of every form, carrier of the taskbar button), the run
// loop with the application-wide message filter, activation, the program-wide
// screen cursor and context help.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "common/callback.h"
#include "common/modal_guard.h"
#include "ui/window.h"

namespace ui {

class Form;

// Values of the program-wide cursor.
enum class ScreenCursor : int { Default = 0, HourGlass = -11 };

class Application {
 public:
  // One per process, made before any form. `icon` (borrowed) goes to every
  // window class the toolkit registers: the taskbar button's and the forms'.
  explicit Application(HICON icon = nullptr);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
  ~Application();

  // The application object of the process, or null.
  static Application* Current();

  HWND hwnd() const { return window_.hwnd(); }  // the application window
  HICON icon() const { return icon_; }
  const std::string& title() const { return title_; }
  void SetTitle(std::string_view title);  // also the taskbar button's text

  // Sees every posted message the run loop and the toolkit's modal loops
  // take from the queue, before dispatch; true means handled (not
  // dispatched). Sent messages never pass through it.
  korvane::Callback<bool(MSG& msg)> on_message;
  // The program became the active application / stopped being it.
  korvane::Callback<void()> on_activate;
  korvane::Callback<void()> on_deactivate;
  // F1 found a help context on the focused control or a parent of it.
  korvane::Callback<void(DWORD context)> on_help;

  // Shows `main` (and the taskbar button), then takes and handles messages
  // until the quit message; answers its exit code. `main` becomes the main
  // form: closing it ends the loop, and dialogs are owned by it.
  int Run(Form& main);
  // Posts the quit message: the run loop ends when it takes it.
  void RequestEnd(int exit_code = 0);
  Form* main_form() const { return main_form_; }
  void SetMainForm(Form* form) { main_form_ = form; }

  // One message through the filter, the forms' keyboard handling (menu
  // shortcuts, F1, Tab, default and cancel buttons) and dispatch.
  void ProcessMessage(MSG& msg);
  // Handles every message already waiting. False when the quit message was
  // taken (it is posted again for the loop that owns it).
  bool ProcessMessages();
  // Takes and handles messages (the window keeps answering) until `done`
  // holds, limit_ms milliseconds have passed, or the quit message comes
  // (posted again for the loop that owns it). Works without an application
  // object too.
  static void RunUntil(const korvane::Callback<bool()>& done, unsigned limit_ms = INFINITE);

  ScreenCursor screen_cursor() const { return screen_cursor_; }
  void SetScreenCursor(ScreenCursor cursor);
  // The hourglass is counted: it shows from the first BeginBusy until as
  // many EndBusy have come, so work that ends first (a save) does not take
  // it from work still under way (a launch).
  void BeginBusy();
  void EndBusy();
  int busy_count() const { return busy_; }
  // For WM_SETCURSOR: sets the program-wide cursor when it is not the
  // default one and answers whether it did.
  static bool ApplyScreenCursor();

  // Bookkeeping of the forms: which one of the program was active last.
  // Answers true when the activation came from no form or another form.
  bool NoteFormActivated(Form* form);
  void NoteFormGone(Form* form);
  Form* active_form() const { return active_form_; }

 private:
  class AppWindow : public Window {
   public:
    explicit AppWindow(Application& app) : app_(app) {}
    bool Create();

   protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

   private:
    Application& app_;
  };

  HICON icon_ = nullptr;  // before window_: its class takes the icon
  AppWindow window_{*this};
  std::string title_;
  Form* main_form_ = nullptr;
  Form* active_form_ = nullptr;
  ScreenCursor screen_cursor_ = ScreenCursor::Default;
  int busy_ = 0;
};

// The program-wide hourglass for the life of the scope (one BeginBusy and
// its EndBusy), however the scope is left.
class WaitCursor {
 public:
  WaitCursor();
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  ~WaitCursor();

 private:
  Application* app_;
};

// Around a modal window or box (it lies below the toolkit: the program's
// message boxes use it too).
using ModalGuard = korvane::ModalGuard;

}  // namespace ui
