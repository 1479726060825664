#pragma once
// The standard open-file dialog (GetOpenFileNameA, or what the program puts
// in its place so tests can answer it).
#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>

namespace ui {

struct OpenFileDialog {
  // "description|pattern" pairs, joined by '|' ("すべてのファイル(*.*)|*.*").
  std::string filter;
  DWORD options = 0;  // OFN_* flags; OFN_EXPLORER is always added
  // In: the name the dialog starts with (its folder is where it opens).
  // Out: the full name the user chose.
  std::string file_name;
  std::string initial_dir;
  std::string title;
  // Shows the dialog; empty: GetOpenFileNameA.
  std::function<BOOL(OPENFILENAMEA&)> run;

  // True when the user chose a file.
  bool Execute(HWND owner);
};

// The filter as the dialog wants it: NUL-separated, ending in two NULs. A
// '|' that is the second byte of a double-byte character is no separator.
std::string FilterForDialog(const std::string& filter);
// Size of the file-name buffer: room for the longest path the dialog can
// give back and for the initial name.
std::size_t FileNameBufferSize(const std::string& initial);

}  // namespace ui
