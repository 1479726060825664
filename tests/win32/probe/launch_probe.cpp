// A program for the launch tests to start: it writes the arguments it got
// and its working folder (UTF-8) into a file beside itself ("name.out" for
// "name.exe") and ends. The file appears whole (written, then renamed). Its
// own name may hold any character: every call is a wide one.
#include <windows.h>

#include <string>

#include "common/wide.h"

namespace {
std::string Utf8(const std::wstring& text) { return korvane::Narrow(text); }

// The command line without the program's own name, as WinMain's is given.
std::wstring Arguments() {
  const wchar_t* p = GetCommandLineW();
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  wchar_t self[32768] = {};
  const DWORD n = GetModuleFileNameW(nullptr, self, 32768);
  if (n == 0 || n >= 32768) return 1;
  std::wstring base(self, n);
  const std::size_t dot = base.rfind(L'.');
  if (dot != std::wstring::npos) base.resize(dot);
  wchar_t folder[32768] = {};
  GetCurrentDirectoryW(32768, folder);
  const std::string text = "args=[" + Utf8(Arguments()) + "]\r\nshow=" + std::to_string(show) +
                           "\r\nfolder=" + Utf8(folder) + "\r\n";
  const std::wstring temp = base + L".tmp";
  HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);
  return MoveFileExW(temp.c_str(), (base + L".out").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
