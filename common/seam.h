#pragma once
// Everything that waits for a person or reaches outside the program passes
// through this interface, so tests can replace it with a scripted fake.
// Product code always runs with the real one. Texts are UTF-8; the real
// seam calls the wide functions.
#include <windows.h>
#include <commdlg.h>

#include <string>

namespace korvane {

class SystemSeam {
 public:
  virtual ~SystemSeam() = default;
  virtual int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);
  virtual BOOL RunOpenFileDialog(OPENFILENAMEW& ofn);
  virtual HINSTANCE OpenWithShell(HWND owner, const std::string& verb, const std::string& file,
                                 const std::string& params, const std::string& dir, int show);
};

// The seam in use; the real one unless a test installed another.
SystemSeam& Seam();
// Installs a replacement (nullptr puts the real one back). Tests only.
void SetSeam(SystemSeam* seam);

}  // namespace korvane
