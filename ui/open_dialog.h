#pragma once
// The standard open-file dialog (GetOpenFileNameW, or what the program puts
// in its place so tests can answer it).
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "common/callback.h"

namespace ui {

struct OpenFileDialog {
  // "description|pattern" pairs, joined by '|' ("すべてのファイル(*.*)|*.*").
  std::string filter;
  DWORD options = 0;  // OFN_* flags; OFN_EXPLORER is always added
  // In: the name the dialog starts with (its folder is where it opens).
  // Out: the full name the user chose. All texts are UTF-8.
  std::string file_name;
  std::string initial_dir;
  std::string title;
  // Shows the dialog; empty: GetOpenFileNameW.
  korvane::Callback<BOOL(OPENFILENAMEW&)> run;

  // True when the user chose a file.
  bool Execute(HWND owner);
};

// The filter as the dialog wants it: NUL-separated, ending in two NULs.
std::wstring FilterForDialog(const std::string& filter);
// Size of the file-name buffer in UTF-16 units: room for the longest path
// the dialog can give back and for the initial name.
std::size_t FileNameBufferSize(const std::wstring& initial);

}  // namespace ui
