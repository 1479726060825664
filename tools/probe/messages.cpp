// Sending and posting window messages, closing and waiting for a window to go.
#include "tools/probe/probe.h"

namespace probe {

namespace {
HWND Target(const std::wstring& s) {
  const HWND h = Handle(s);
  if (!IsWindow(h)) throw UsageError{"no such window: " + Utf8(s)};
  return h;
}

// SendMessageTimeout with the arguments of send; false (reported) on no answer.
bool SendFromArgs(const Args& a, DWORD_PTR& result) {
  Need(a, 4, 5);
  const long long timeout = a.size() == 5 ? Number(a[4]) : 5000;
  if (!SendMessageTimeoutW(Target(a[0]), static_cast<UINT>(Number(a[1])), static_cast<WPARAM>(Number(a[2])),
                           static_cast<LPARAM>(Number(a[3])), SMTO_NORMAL, static_cast<UINT>(timeout), &result)) {
    PrintError("no answer within " + std::to_string(timeout) + " ms");
    return false;
  }
  return true;
}

int SendCmd(const Args& a) {
  DWORD_PTR result = 0;
  if (!SendFromArgs(a, result)) return kFailed;
  Print(std::to_string(static_cast<long long>(static_cast<LONG_PTR>(result))));
  return kOk;
}

int TimeSendCmd(const Args& a) {
  LARGE_INTEGER frequency, begin, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&begin);
  DWORD_PTR result = 0;
  if (!SendFromArgs(a, result)) return kFailed;
  QueryPerformanceCounter(&end);
  Print(std::to_string((end.QuadPart - begin.QuadPart) * 1000 / frequency.QuadPart));
  return kOk;
}

int PostCmd(const Args& a) {
  Need(a, 4, 4);
  return PostMessageW(Target(a[0]), static_cast<UINT>(Number(a[1])), static_cast<WPARAM>(Number(a[2])),
                      static_cast<LPARAM>(Number(a[3])))
             ? kOk
             : kFailed;
}

int CloseCmd(const Args& a) {
  Need(a, 1, 1);
  return PostMessageW(Target(a[0]), WM_CLOSE, 0, 0) ? kOk : kFailed;
}

int WaitGoneCmd(const Args& a) {
  Need(a, 2, 2);
  const HWND h = Handle(a[0]);
  return WaitFor(Number(a[1]), [&] { return !IsWindow(h); }) ? kOk : kFailed;
}

int WaitHiddenCmd(const Args& a) {
  Need(a, 2, 2);
  const HWND h = Handle(a[0]);
  return WaitFor(Number(a[1]), [&] { return !IsWindow(h) || !IsWindowVisible(h); }) ? kOk : kFailed;
}

int WaitVisibleCmd(const Args& a) {
  Need(a, 2, 2);
  const HWND h = Target(a[0]);
  return WaitFor(Number(a[1]), [&] { return IsWindowVisible(h) != FALSE; }) ? kOk : kFailed;
}

int WaitForegroundCmd(const Args& a) {
  Need(a, 2, 2);
  const HWND h = Target(a[0]);
  return WaitFor(Number(a[1]), [&] { return GetForegroundWindow() == h; }) ? kOk : kFailed;
}
}  // namespace

const std::vector<CommandInfo>& MessageCommands() {
  static const std::vector<CommandInfo> table{
      {L"send", SendCmd, "<hwnd> <msg> <wparam> <lparam> [timeout-ms]: SendMessageTimeout, prints the result"},
      {L"time-send", TimeSendCmd, "<hwnd> <msg> <wparam> <lparam> [timeout-ms]: like send, prints the milliseconds the answer took"},
      {L"post", PostCmd, "<hwnd> <msg> <wparam> <lparam>: PostMessage"},
      {L"close", CloseCmd, "<hwnd>: posts WM_CLOSE"},
      {L"wait-gone", WaitGoneCmd, "<hwnd> <timeout-ms>: waits until the window is destroyed"},
      {L"wait-hidden", WaitHiddenCmd, "<hwnd> <timeout-ms>: waits until the window is hidden or gone"},
      {L"wait-visible", WaitVisibleCmd, "<hwnd> <timeout-ms>: waits until the window is visible"},
      {L"wait-foreground", WaitForegroundCmd, "<hwnd> <timeout-ms>: waits until the window is the foreground window"},
  };
  return table;
}

}  // namespace probe
