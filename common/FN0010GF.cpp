#include "common/FN0010GF.h"

#include <vector>

#include <shellapi.h>

#include "common/seam.h"

namespace korvane {

namespace {
HWND g_owner = nullptr;

std::string WindowText(HWND edit) {
  const int len = GetWindowTextLengthA(edit);
  std::vector<char> buf(static_cast<std::size_t>(len) + 1);
  const int got = GetWindowTextA(edit, buf.data(), len + 1);
  return std::string(buf.data(), static_cast<std::size_t>(got > 0 ? got : 0));
}

BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM lp) {
  if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
  return TRUE;
}

// Application-modal: every top-level window of the program is disabled
// while the box is up (the system does that only for the owner), the box
// is owned by the application window, and the window that was active gets
// the activation back afterwards.
int Box(const std::string& text, UINT flags) {
  const HWND active = GetActiveWindow();
  std::vector<HWND> disabled;
  EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled));
  for (HWND w : disabled) {
    if (w != g_owner) EnableWindow(w, FALSE);
  }
  const int answer = Seam().ShowMessageBox(g_owner, text, kProductCaption, flags | MB_APPLMODAL);
  for (HWND w : disabled) {
    if (w != g_owner && IsWindow(w)) EnableWindow(w, TRUE);
  }
  if (active && IsWindow(active)) SetActiveWindow(active);
  return answer;
}
}  // namespace

void SetMessageBoxOwner(HWND owner) { g_owner = owner; }

void ShowWarning(const std::string& text) { Box(text, MB_ICONEXCLAMATION | MB_OK); }
void ShowInformation(const std::string& text) { Box(text, MB_ICONINFORMATION | MB_OK); }
bool Confirm(const std::string& text) {
  return Box(text, MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

void RememberText(HWND edit) { SetLastGoodText(WindowText(edit)); }

void FilterInput(HWND edit, std::string_view set, bool permitted) {
  const std::string text = WindowText(edit);
  const FilterDecision d = CheckInput(text, set, permitted);
  if (d.pass) {
    SetLastGoodText(text);
    return;
  }
  // Copy first: setting the text re-enters this routine through EN_CHANGE.
  const std::string good = LastGoodText();
  SetWindowTextA(edit, good.c_str());
  SendMessageA(edit, EM_SETSEL, d.caret, d.caret);
}

// The real seam.
int SystemSeam::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
  return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}
BOOL SystemSeam::RunOpenFileDialog(OPENFILENAMEA& ofn) { return GetOpenFileNameA(&ofn); }
HINSTANCE SystemSeam::OpenWithShell(HWND owner, const std::string& verb, const std::string& file,
                                   const std::string& params, const std::string& dir, int show) {
  return ShellExecuteA(owner, verb.c_str(), file.c_str(), params.c_str(), dir.c_str(), show);
}

namespace {
SystemSeam g_real;
SystemSeam* g_seam = &g_real;
}  // namespace

SystemSeam& Seam() { return *g_seam; }
void SetSeam(SystemSeam* seam) { g_seam = seam ? seam : &g_real; }

}  // namespace korvane
