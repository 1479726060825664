#include "ui/open_dialog.h"

#include <commdlg.h>

#include <vector>

#include "common/text.h"

namespace ui {

namespace {
// The longest name the Unicode file functions take, in bytes of code page
// 932 (two per character at most).
constexpr std::size_t kLongestPathBytes = 2 * 32767 + 1;
}  // namespace

std::string FilterForDialog(const std::string& filter) {
  std::string out = filter;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (out[i] == '|' && korvane::ClassifyByte(out, i) != korvane::ByteClass::Trail) out[i] = '\0';
  }
  out.push_back('\0');
  out.push_back('\0');
  return out;
}

std::size_t FileNameBufferSize(const std::string& initial) {
  return initial.size() + 1 > kLongestPathBytes ? initial.size() + 1 : kLongestPathBytes;
}

bool OpenFileDialog::Execute(HWND owner) {
  std::vector<char> name(FileNameBufferSize(file_name), '\0');
  file_name.copy(name.data(), file_name.size());
  const std::string filter_text = FilterForDialog(filter);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter_text.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = initial_dir.empty() ? nullptr : initial_dir.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.Flags = options | OFN_EXPLORER;
  if (!(run ? run(ofn) : GetOpenFileNameA(&ofn))) return false;
  file_name.assign(name.data());
  return true;
}

}  // namespace ui
