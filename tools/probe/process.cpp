// Processes: starting one and timing it to its first window, waiting for
// the end of every copy of a program.
#include "tools/probe/probe.h"

#include <tlhelp32.h>

namespace probe {

namespace {
std::vector<std::pair<DWORD, std::wstring>> Processes() {
  std::vector<std::pair<DWORD, std::wstring>> list;
  const UniqueHandle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snap) return list;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snap.get(), &entry); more; more = Process32NextW(snap.get(), &entry)) {
    list.emplace_back(entry.th32ProcessID, entry.szExeFile);
  }
  return list;
}

std::size_t CountOf(const std::wstring& exe) {
  std::size_t n = 0;
  for (const auto& p : Processes()) {
    if (lstrcmpiW(p.second.c_str(), exe.c_str()) == 0) ++n;
  }
  return n;
}

int ProcessesCmd(const Args& a) {
  Need(a, 0, 0);
  for (const auto& p : Processes()) Print(std::to_string(p.first) + " " + Utf8(p.second));
  return kOk;
}

int CountProcessesCmd(const Args& a) {
  Need(a, 0, 0);
  Print(std::to_string(CountOf(Opts().exe)));
  return kOk;
}

int WaitExitCmd(const Args& a) {
  Need(a, 1, 1);
  if (!WaitFor(Number(a[0]), [] { return CountOf(Opts().exe) == 0; })) {
    PrintError(Utf8(Opts().exe) + " still runs");
    return kFailed;
  }
  return kOk;
}

// Starts the program in its own folder and measures the time from the
// process's creation to its first visible matching window. The program
// keeps running; the caller closes it.
int TimeStartCmd(const Args& a) {
  Need(a, 4, 4);
  std::wstring exe = a[0];
  const std::size_t slash = exe.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : exe.substr(0, slash);
  const wchar_t* cls = ClassOrAny(a[1]);
  const wchar_t* title = ClassOrAny(a[2]);
  std::wstring command_line = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                      &pi)) {
    PrintError("cannot start " + Utf8(exe));
    return kFailed;
  }
  const UniqueHandle process(pi.hProcess);
  const UniqueHandle thread(pi.hThread);
  HWND found = nullptr;
  const long long timeout = Number(a[3]);
  for (;;) {
    const auto list = TopLevelWindows([&](HWND h) {
      return IsWindowVisible(h) && ProcessOf(h) == pi.dwProcessId &&
             (!cls || lstrcmpiW(ClassOf(h).c_str(), cls) == 0) && (!title || CaptionOf(h) == title);
    });
    QueryPerformanceCounter(&now);
    if (!list.empty()) {
      found = list.front();
      break;
    }
    const double elapsed = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
    if (elapsed > timeout || WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  if (!found) {
    PrintError("no window appeared");
    return kFailed;
  }
  const long long micro = 1000000LL * (now.QuadPart - start.QuadPart) / frequency.QuadPart;
  char ms[32];
  wsprintfA(ms, "%d.%01d", static_cast<int>(micro / 1000), static_cast<int>(micro % 1000 / 100));
  Print(std::string(ms) + " " + HexHandle(found));
  return kOk;
}
}  // namespace

const std::vector<CommandInfo>& ProcessCommands() {
  static const std::vector<CommandInfo> table{
      {L"processes", ProcessesCmd, ": lists running processes (pid exe)"},
      {L"count-processes", CountProcessesCmd, ": how many copies of the --exe program run"},
      {L"wait-exit", WaitExitCmd, "<timeout-ms>: waits until no copy of the --exe program runs"},
      {L"time-start", TimeStartCmd,
       "<windows-path> <class|-> <title|-> <timeout-ms>: starts the program, prints milliseconds to its window and "
       "the window"},
  };
  return table;
}

}  // namespace probe
