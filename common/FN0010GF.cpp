// The program's message boxes (FN0010GF), the name-box input filter and the
// real system seam.
#include "common/FN0010GF.h"

#include <vector>

#include <shellapi.h>

#include "common/modal_guard.h"
#include "common/seam.h"

namespace korvane {

namespace {
HWND g_owner = nullptr;

// The program's text is UTF-8; the wide functions take UTF-16.
std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int in = static_cast<int>(utf8.size());
  std::wstring out(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, out.data(), static_cast<int>(out.size()));
  return out;
}

std::string WindowText(HWND edit) {
  const int len = GetWindowTextLengthW(edit);
  std::vector<wchar_t> buf(static_cast<std::size_t>(len > 0 ? len : 0) + 1, L'\0');
  const int got = GetWindowTextW(edit, buf.data(), static_cast<int>(buf.size()));
  if (got <= 0) return {};
  std::string out(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, buf.data(), got, nullptr, 0, nullptr, nullptr)),
                  '\0');
  WideCharToMultiByte(CP_UTF8, 0, buf.data(), got, out.data(), static_cast<int>(out.size()), nullptr, nullptr);
  return out;
}

// The program's top-level windows are disabled while a box is up: the box's
// owner is the hidden application window, and MessageBox disables only its
// owner. The owner stays MessageBox's own to disable and enable: enabled
// again before the box goes, it takes the activation rather than another
// program's window.
// Application-modal, owned by the application window, with exactly the
// flags given.
int Box(const std::string& text, UINT flags) {
  const ModalGuard guard(g_owner);
  return Seam().ShowMessageBox(g_owner, text, kProductCaption, flags);
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
  SetWindowTextW(edit, Wide(good).c_str());
  SendMessageW(edit, EM_SETSEL, d.caret, d.caret);
}

// The real seam.
int SystemSeam::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
  return MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), flags);
}
BOOL SystemSeam::RunOpenFileDialog(OPENFILENAMEW& ofn) { return GetOpenFileNameW(&ofn); }
HINSTANCE SystemSeam::OpenWithShell(HWND owner, const std::string& verb, const std::string& file,
                                   const std::string& params, const std::string& dir, int show) {
  return ShellExecuteW(owner, Wide(verb).c_str(), Wide(file).c_str(), Wide(params).c_str(), Wide(dir).c_str(), show);
}

namespace {
SystemSeam g_real;
SystemSeam* g_seam = &g_real;
}  // namespace

SystemSeam& Seam() { return *g_seam; }
void SetSeam(SystemSeam* seam) { g_seam = seam ? seam : &g_real; }

}  // namespace korvane
