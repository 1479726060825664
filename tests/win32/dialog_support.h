#pragma once
// Helpers of the program's tests: the scripted fake of the system seam,
// steps run one after the other while a modal loop runs, and the clipboard.
#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/seam.h"
#include "ui/application.h"
#include "ui/form.h"

namespace kit {

// Installed for its lifetime. Message boxes are recorded and answered from
// `answers` while it holds any, then with `answer`; shell calls are recorded
// with the program-wide cursor they met and answered with `shell_result`;
// the open-file dialog is recorded and answered with `dialog_answer`
// (nullopt: cancelled). The hooks run inside the call, where the real box or
// dialog would be up.
class FakeSeam : public korvane::SystemSeam {
 public:
  FakeSeam();
  ~FakeSeam() override;

  struct Box {
    HWND owner;
    std::string text;
    std::string caption;
    UINT flags;
  };
  struct ShellCall {
    HWND owner;
    std::string verb, file, params, dir;
    int show;
    ui::ScreenCursor cursor;
  };
  struct DialogCall {
    HWND owner;
    std::string initial_name;  // UTF-8, as are the filter and the answer
    DWORD buffer_size;         // UTF-16 units
    std::string filter;  // up to and including the closing double NUL
    DWORD flags;
    bool has_initial_dir;
    bool has_title;
  };
  std::vector<Box> boxes;
  std::vector<ShellCall> shell_calls;
  std::vector<DialogCall> dialogs;
  int answer = IDOK;
  std::deque<int> answers;
  INT_PTR shell_result = 42;
  std::optional<std::string> dialog_answer;
  std::function<void()> on_box;
  std::function<void()> on_shell;
  std::function<void()> on_dialog;
  // The system's own shell call and open-file dialog instead, still
  // recorded (message boxes stay fake, so a test never hangs on one).
  bool real_shell = false;
  bool real_dialog = false;

  int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) override;
  BOOL RunOpenFileDialog(OPENFILENAMEW& ofn) override;
  HINSTANCE OpenWithShell(HWND owner, const std::string& verb, const std::string& file, const std::string& params,
                          const std::string& dir, int show) override;

  // The texts of the boxes shown so far, in order.
  std::vector<std::string> Texts() const;
};

using Step = std::function<void()>;

// Runs `steps` one per timer message while the thread handles messages (in
// a modal loop of a form or of a message box). A timer message comes only
// when no posted message waits, so what one step posted has been handled
// when the next step runs. When the steps are used up and the timer still
// fires, the test fails and `give_up` ends whatever still runs.
class Script {
 public:
  Script(std::vector<Step> steps, std::function<void()> give_up);
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;
  ~Script();
  bool finished() const { return next_ == steps_.size(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  std::vector<Step> steps_;
  std::function<void()> give_up_;
  std::size_t next_ = 0;
  bool busy_ = false;
  bool gave_up_ = false;
  bool again_ = false;
  int retries_ = 0;
  friend void RunAgain();
  UINT_PTR timer_ = 0;
};

// Called by a step that found things not ready yet: the step runs again at
// the next timer message (a test fails after a few seconds of this).
void RunAgain();

// Shows `form` modally while `steps` run; answers the modal result. The
// last step is expected to end the modal run.
int RunModal(ui::Form& form, std::vector<Step> steps);

void SetClipboardText(const std::wstring& text);
// Keeps the real pointer away from the windows under test, so Windows sends
// them no mouse movement of its own.
void ParkPointer();
// The message box of this thread that is up now, or null.
HWND FindMessageBox();
std::string DlgItemText(HWND dialog, int id);

}  // namespace kit
