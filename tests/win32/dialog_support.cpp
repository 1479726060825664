#include "dialog_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "ui/wide.h"

namespace kit {

FakeSeam::FakeSeam() { korvane::SetSeam(this); }
FakeSeam::~FakeSeam() { korvane::SetSeam(nullptr); }

int FakeSeam::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
  boxes.push_back({owner, text, caption, flags});
  if (on_box) on_box();
  if (answers.empty()) return answer;
  const int next = answers.front();
  answers.pop_front();
  return next;
}

BOOL FakeSeam::RunOpenFileDialog(OPENFILENAMEW& ofn) {
  DialogCall call{};
  call.owner = ofn.hwndOwner;
  call.initial_name = ofn.lpstrFile ? ui::Narrow(ofn.lpstrFile) : "";
  call.buffer_size = ofn.nMaxFile;
  if (ofn.lpstrFilter) {
    const wchar_t* p = ofn.lpstrFilter;
    std::size_t n = 0;
    while (p[n] || p[n + 1]) ++n;
    call.filter = ui::Narrow(std::wstring_view(p, n + 2));
  }
  call.flags = ofn.Flags;
  call.has_initial_dir = ofn.lpstrInitialDir != nullptr;
  call.has_title = ofn.lpstrTitle != nullptr;
  dialogs.push_back(call);
  if (on_dialog) on_dialog();
  if (real_dialog) return korvane::SystemSeam::RunOpenFileDialog(ofn);
  if (!dialog_answer) return FALSE;
  const std::wstring answer_text = ui::Wide(*dialog_answer);
  if (answer_text.size() + 1 > ofn.nMaxFile) {
    ADD_FAILURE() << "the file name buffer holds only " << ofn.nMaxFile << " units";
    return FALSE;
  }
  std::memcpy(ofn.lpstrFile, answer_text.c_str(), (answer_text.size() + 1) * sizeof(wchar_t));
  return TRUE;
}

HINSTANCE FakeSeam::OpenWithShell(HWND owner, const std::string& verb, const std::string& file,
                                  const std::string& params, const std::string& dir, int show) {
  ui::Application* app = ui::Application::Current();
  shell_calls.push_back(
      {owner, verb, file, params, dir, show, app ? app->screen_cursor() : ui::ScreenCursor::Default});
  if (on_shell) on_shell();
  if (real_shell) return korvane::SystemSeam::OpenWithShell(owner, verb, file, params, dir, show);
  return reinterpret_cast<HINSTANCE>(shell_result);
}

std::vector<std::string> FakeSeam::Texts() const {
  std::vector<std::string> texts;
  for (const Box& b : boxes) texts.push_back(b.text);
  return texts;
}

namespace {
Script* g_script = nullptr;
constexpr int kMaxRetries = 300;
}  // namespace

void RunAgain() {
  if (g_script) g_script->again_ = true;
}

Script::Script(std::vector<Step> steps, std::function<void()> give_up)
    : steps_(std::move(steps)), give_up_(std::move(give_up)) {
  g_script = this;
  timer_ = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &Script::Tick);
}

Script::~Script() {
  if (timer_) KillTimer(nullptr, timer_);
  if (g_script == this) g_script = nullptr;
}

void CALLBACK Script::Tick(HWND, UINT, UINT_PTR, DWORD) {
  Script* s = g_script;
  // A step that itself runs a modal loop gets no ticks inside it.
  if (!s || s->busy_) return;
  s->busy_ = true;
  if (s->next_ < s->steps_.size()) {
    Step step = s->steps_[s->next_];
    s->again_ = false;
    step();
    if (!s->again_ || ++s->retries_ > kMaxRetries) {
      if (s->again_) ADD_FAILURE() << "step " << s->next_ + 1 << " never found what it waited for";
      ++s->next_;
      s->retries_ = 0;
    }
  } else if (!s->gave_up_) {
    s->gave_up_ = true;
    ADD_FAILURE() << "still running after the last step";
    if (s->give_up_) s->give_up_();
  }
  s->busy_ = false;
}

int RunModal(ui::Form& form, std::vector<Step> steps) {
  Script script(std::move(steps), [&form] { form.EndModal(ui::kModalCancel); });
  const int result = form.ShowModal();
  EXPECT_TRUE(script.finished()) << "the modal run ended before the last step";
  return result;
}

void SetClipboardText(const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  ASSERT_NE(mem, nullptr);
  auto* p = static_cast<wchar_t*>(GlobalLock(mem));
  std::copy(text.begin(), text.end(), p);
  p[text.size()] = 0;
  GlobalUnlock(mem);
  SetClipboardData(CF_UNICODETEXT, mem);  // the clipboard owns it now
  CloseClipboard();
}

void ParkPointer() { SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1); }

namespace {
BOOL CALLBACK FindBox(HWND h, LPARAM lp) {
  wchar_t cls[16] = {};
  GetClassNameW(h, cls, static_cast<int>(std::size(cls)));
  if (std::wstring(cls) == L"#32770" && IsWindowVisible(h)) {
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindMessageBox() {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&box));
  return box;
}

std::string DlgItemText(HWND dialog, int id) {
  wchar_t text[1024] = {};
  GetDlgItemTextW(dialog, id, text, static_cast<int>(std::size(text)));
  return ui::Narrow(text);
}

}  // namespace kit
