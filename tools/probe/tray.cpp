// The notification-area icons Wine shows. Wine draws them in explorer.exe:
// on a plain X display each icon is a child window of the "Wine System Tray"
// window; in a virtual desktop they sit in the taskbar. Either way every
// icon has a tool in one of explorer's tooltip controls, which knows the
// icon's rectangle and tip. Tooltip messages are not marshalled between
// processes, so the tool record and its text buffer are placed in
// explorer's memory and read back from there.
#include "tools/probe/probe.h"

#include <commctrl.h>

namespace probe {

namespace {
struct Icon {
  RECT rect;  // on the screen
  std::wstring tip;
};

bool IsIconWindow(HWND h) {
  const std::wstring cls = ClassOf(h);
  return cls == L"__winex11_tray_icon" || cls == L"__wine_tray_icon";
}

// A tool record followed by a text buffer, in another process's memory.
class RemoteBlock {
 public:
  static constexpr std::size_t kTipChars = 1024;
  explicit RemoteBlock(HANDLE process)
      : process_(process),
        base_(VirtualAllocEx(process, nullptr, sizeof(TTTOOLINFOW) + kTipChars * sizeof(wchar_t), MEM_COMMIT,
                             PAGE_READWRITE)) {}
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;
  ~RemoteBlock() {
    if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
  }
  char* get() const { return static_cast<char*>(base_); }

 private:
  HANDLE process_;
  void* base_;
};

// Reads tool i of the tooltip through the block in its process; false when
// the tool cannot be read.
bool ReadTool(HWND tooltip, HANDLE process, const RemoteBlock& block, std::size_t i, TTTOOLINFOW& ti,
              std::wstring& tip) {
  constexpr std::size_t kTipChars = RemoteBlock::kTipChars;
  wchar_t* remote_text = reinterpret_cast<wchar_t*>(block.get() + sizeof(TTTOOLINFOW));
  ti = TTTOOLINFOW{};
  ti.cbSize = sizeof ti;
  ti.lpszText = remote_text;
  const wchar_t empty = L'\0';
  DWORD_PTR ok = 0;
  if (!WriteProcessMemory(process, block.get(), &ti, sizeof ti, nullptr) ||
      !WriteProcessMemory(process, remote_text, &empty, sizeof empty, nullptr) ||
      !SendMessageTimeoutW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(block.get()), SMTO_ABORTIFHUNG,
                           2000, &ok) ||
      !ok)
    return false;
  wchar_t text[kTipChars] = {};
  if (!ReadProcessMemory(process, block.get(), &ti, sizeof ti, nullptr) ||
      !ReadProcessMemory(process, remote_text, text, sizeof text - sizeof(wchar_t), nullptr))
    return false;
  tip = ti.lpszText == remote_text ? text : L"";
  return true;
}

void ToolsOf(HWND tooltip, std::vector<Icon>& icons) {
  const UniqueHandle process(
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ProcessOf(tooltip)));
  if (!process) return;
  const RemoteBlock block(process.get());
  DWORD_PTR count = 0;
  if (!block.get() || !SendMessageTimeoutW(tooltip, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count)) return;
  for (std::size_t i = 0; i < count; ++i) {
    TTTOOLINFOW ti{};
    Icon icon{};
    if (!ReadTool(tooltip, process.get(), block, i, ti, icon.tip)) continue;
    if (IsIconWindow(ti.hwnd)) {
      GetWindowRect(ti.hwnd, &icon.rect);
    } else if (ClassOf(ti.hwnd) == L"Shell_TrayWnd" && !IsRectEmpty(&ti.rect)) {
      // (A deleted icon leaves its tool behind with an empty rectangle.)
      icon.rect = ti.rect;
      MapWindowPoints(ti.hwnd, nullptr, reinterpret_cast<POINT*>(&icon.rect), 2);
    } else {
      continue;  // a tooltip of something else
    }
    icons.push_back(icon);
  }
}

int TrayIconsCmd(const Args& a) {
  Need(a, 0, 0);
  std::vector<Icon> icons;
  for (HWND tooltip : TopLevelWindows([](HWND h) { return ClassOf(h) == L"tooltips_class32"; })) {
    ToolsOf(tooltip, icons);
  }
  for (const Icon& icon : icons) {
    Print(std::to_string(icon.rect.left) + " " + std::to_string(icon.rect.top) + " " +
          std::to_string(icon.rect.right - icon.rect.left) + " " + std::to_string(icon.rect.bottom - icon.rect.top) +
          " " + Utf8(icon.tip));
  }
  return kOk;
}
}  // namespace

const std::vector<CommandInfo>& TrayCommands() {
  static const std::vector<CommandInfo> table{
      {L"tray-icons", TrayIconsCmd, ": one line per tray icon: x y width height tip (screen coordinates)"},
  };
  return table;
}

}  // namespace probe
