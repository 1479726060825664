// The program's message boxes (FN0010GF), the name-box input filter and the
// real system seam.
#include "common/FN0010GF.h"

#include <vector>

#include <shellapi.h>

#include "common/modal_guard.h"
#include "common/seam.h"
#include "common/wide.h"

namespace korvane {

namespace {
HWND g_owner = nullptr;

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

void RememberText(HWND edit) { SetLastGoodText(TextOf(edit)); }

void FilterInput(HWND edit, std::string_view set, bool permitted) {
  const std::string text = TextOf(edit);
  const FilterDecision d = CheckInput(text, set, permitted);
  if (d.pass) {
    SetLastGoodText(text);
    return;
  }
  // Copy first: setting the text re-enters this routine through EN_CHANGE.
  const std::string good = LastGoodText();
  SetTextOf(edit, good);
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
