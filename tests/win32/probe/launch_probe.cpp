// A program for the launch tests to start: it writes the arguments it got
// and its working folder into a file beside itself ("name.out" for
// "name.exe") and ends. The file appears whole (written, then renamed).
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR args, int show) {
  char self[MAX_PATH * 2] = {};
  const DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
  if (n == 0 || n >= sizeof self) return 1;
  std::string base(self, n);
  const std::size_t dot = base.rfind('.');
  if (dot != std::string::npos) base.resize(dot);
  char folder[MAX_PATH * 2] = {};
  GetCurrentDirectoryA(sizeof folder, folder);
  const std::string text = std::string("args=[") + (args ? args : "") + "]\r\nshow=" + std::to_string(show) +
                           "\r\nfolder=" + folder + "\r\n";
  const std::string temp = base + ".tmp";
  HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);
  return MoveFileExA(temp.c_str(), (base + ".out").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
