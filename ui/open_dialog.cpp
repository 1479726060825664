#include "ui/open_dialog.h"

#include <commdlg.h>

#include <vector>

#include "ui/wide.h"

namespace ui {

namespace {
// The longest name the Unicode file functions take, in UTF-16 units.
constexpr std::size_t kLongestPath = 32767 + 1;
}  // namespace

std::wstring FilterForDialog(const std::string& filter) {
  std::wstring out = Wide(filter);
  for (wchar_t& c : out) {
    if (c == L'|') c = L'\0';
  }
  out.push_back(L'\0');
  out.push_back(L'\0');
  return out;
}

std::size_t FileNameBufferSize(const std::wstring& initial) {
  return initial.size() + 1 > kLongestPath ? initial.size() + 1 : kLongestPath;
}

bool OpenFileDialog::Execute(HWND owner) {
  const std::wstring initial = Wide(file_name);
  std::vector<wchar_t> name(FileNameBufferSize(initial), L'\0');
  initial.copy(name.data(), initial.size());
  const std::wstring filter_text = FilterForDialog(filter);
  const std::wstring dir = Wide(initial_dir);
  const std::wstring caption = Wide(title);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter_text.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  ofn.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
  ofn.Flags = options | OFN_EXPLORER;
  if (!(run ? run(ofn) : GetOpenFileNameW(&ofn))) return false;
  file_name = Narrow(name.data());
  return true;
}

}  // namespace ui
