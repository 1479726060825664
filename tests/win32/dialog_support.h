#pragma once
// Helpers of the program's dialog tests: a scripted fake of the system seam,
// steps run one after the other while a modal loop runs, and the clipboard.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "common/seam.h"
#include "ui/application.h"
#include "ui/form.h"

namespace dlgtest {

// Installed for its lifetime: message boxes are recorded and answered with
// `answer` (after `on_box` ran, inside the box's call), shell calls are
// recorded with the program-wide cursor they met.
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
    std::string verb;
    std::string file;
    std::string params;
    std::string dir;
    int show;
    ui::ScreenCursor cursor;
  };
  std::vector<Box> boxes;
  std::vector<ShellCall> shell_calls;
  std::function<void()> on_box;
  int answer = IDOK;

  int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) override;
  BOOL RunOpenFileDialog(OPENFILENAMEA& ofn) override;
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

}  // namespace dlgtest
