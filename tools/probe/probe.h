#pragma once
// korvane_probe: drives and inspects the windows of other programs on the
// same Wine desktop, for the end-to-end test scripts. Every command prints
// its result on stdout (UTF-8, one item a line) and answers 0 on success.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace probe {

// Owns a kernel handle (process, thread, snapshot); closes it once.
class UniqueHandle {
 public:
  explicit UniqueHandle(HANDLE h = nullptr) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() {
    if (h_) CloseHandle(h_);
  }
  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HANDLE h_;
};

// Exit codes of the commands.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;    // not found, timed out, refused
inline constexpr int kUsage = 2;     // bad arguments

// The arguments after the command name, already wide (Wine hands the Unix
// argv over as Unicode, so Japanese arguments arrive intact).
using Args = std::vector<std::wstring>;

// Options given before the command.
struct Options {
  std::wstring exe = L"Korvane.exe";  // process whose dialogs are meant
};
const Options& Opts();

// Text: UTF-8 for the shell, UTF-16 for Windows.
std::string Utf8(const std::wstring& w);
std::wstring Wide(const std::string& utf8);
void Print(const std::string& line);       // line + "\n" on stdout
void PrintError(const std::string& line);  // line + "\n" on stderr
void PrintBytes(const std::string& bytes);  // as they are, on stdout
// While out and err are set, Print and PrintError append to them instead
// (a served command's answer is framed when it ends); null: stdout, stderr.
void KeepOutput(std::string* out, std::string* err);
void WriteAll(HANDLE to, const std::string& bytes);

// Argument parsing; both throw UsageError on malformed input.
struct UsageError {
  std::string message;
};
void Need(const Args& args, std::size_t min, std::size_t max);
long long Number(const std::wstring& s);  // decimal, or hex with 0x
// "-" stands for any class or title: nullptr for FindWindowW.
const wchar_t* ClassOrAny(const std::wstring& s);
HWND Handle(const std::wstring& s);
std::string HexHandle(HWND h);

// Window queries across processes; text reads use a timeout so a hung
// program cannot hang the probe.
std::wstring ClassOf(HWND h);
std::wstring TextOf(HWND h);
// The text the system keeps for a window (a caption): read without sending
// a message, so it is cheap and safe to poll.
std::wstring CaptionOf(HWND h);
DWORD ProcessOf(HWND h);
std::wstring ExePathOf(DWORD pid);  // full Windows path of the image
std::wstring ExeNameOf(DWORD pid);  // file name only, e.g. L"Korvane.exe"
bool BelongsToExe(HWND h, const std::wstring& exe);
// Top-level windows (hidden ones included) for which keep() answers true.
std::vector<HWND> TopLevelWindows(const std::function<bool(HWND)>& keep);
// Every child, grandchild... of parent, in Z order.
std::vector<HWND> Descendants(HWND parent);
// Polls every few milliseconds until found() answers true or timeout_ms
// passes; answers whether it was found.
bool WaitFor(long long timeout_ms, const std::function<bool()>& found);

// Message boxes and common dialogs of the process named in Options.
HWND FindMessageBox();
HWND FindOpenFileDialog();

// The commands. Each takes its arguments and answers an exit code.
using Command = int (*)(const Args&);
struct CommandInfo {
  const wchar_t* name;
  Command run;
  const char* usage;
};
const std::vector<CommandInfo>& WindowCommands();
const std::vector<CommandInfo>& MessageCommands();
const std::vector<CommandInfo>& KeyCommands();
const std::vector<CommandInfo>& DialogCommands();
const std::vector<CommandInfo>& ScreenCommands();
const std::vector<CommandInfo>& TrayCommands();
const std::vector<CommandInfo>& ProcessCommands();
const std::vector<CommandInfo>& ResourceCommands();
const std::vector<CommandInfo>& AccessibleCommands();  // tools/probe/accessible.cpp

}  // namespace probe
