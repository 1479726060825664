// Finding windows and reading their place, state and text.
#include "tools/probe/probe.h"

namespace probe {

namespace {
bool Matches(HWND h, const wchar_t* cls, const wchar_t* title) {
  if (cls && lstrcmpiW(ClassOf(h).c_str(), cls) != 0) return false;
  if (title && CaptionOf(h) != title) return false;
  return true;
}

std::string Rect(int x, int y, int w, int h) {
  return std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(w) + " " + std::to_string(h);
}

HWND Existing(const std::wstring& s) {
  const HWND h = Handle(s);
  if (!IsWindow(h)) throw UsageError{"no such window: " + Utf8(s)};
  return h;
}

int FindWindowCmd(const Args& a) {
  Need(a, 2, 2);
  const HWND h = FindWindowW(ClassOrAny(a[0]), ClassOrAny(a[1]));
  if (!h) return kFailed;
  Print(HexHandle(h));
  return kOk;
}

int WaitWindowCmd(const Args& a) {
  Need(a, 3, 3);
  const wchar_t* cls = ClassOrAny(a[0]);
  const wchar_t* title = ClassOrAny(a[1]);
  HWND found = nullptr;
  const bool ok = WaitFor(Number(a[2]), [&] {
    const auto list = TopLevelWindows([&](HWND h) { return IsWindowVisible(h) && Matches(h, cls, title); });
    found = list.empty() ? nullptr : list.front();
    return found != nullptr;
  });
  if (!ok) {
    PrintError("no visible window of class " + Utf8(a[0]) + " titled " + Utf8(a[1]));
    return kFailed;
  }
  Print(HexHandle(found));
  return kOk;
}

int CountWindowsCmd(const Args& a) {
  Need(a, 2, 2);
  const wchar_t* cls = ClassOrAny(a[0]);
  const wchar_t* title = ClassOrAny(a[1]);
  Print(std::to_string(TopLevelWindows([&](HWND h) { return Matches(h, cls, title); }).size()));
  return kOk;
}

int WindowsCmd(const Args& a) {
  Need(a, 0, 1);
  const std::wstring exe = a.empty() ? L"*" : a[0];
  for (HWND h : TopLevelWindows([&](HWND h) { return exe == L"*" || BelongsToExe(h, exe); })) {
    RECT r{};
    GetWindowRect(h, &r);
    Print(HexHandle(h) + " " + (IsWindowVisible(h) ? "visible" : "hidden") + " " +
          Rect(r.left, r.top, r.right - r.left, r.bottom - r.top) + " " + Utf8(ExeNameOf(ProcessOf(h))) + " " +
          Utf8(ClassOf(h)) + " \"" + Utf8(CaptionOf(h)) + "\"");
  }
  return kOk;
}

int InfoCmd(const Args& a) {
  Need(a, 1, 1);
  const HWND h = Existing(a[0]);
  RECT r{};
  GetWindowRect(h, &r);
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  RECT c{};
  GetClientRect(h, &c);
  Print("class " + Utf8(ClassOf(h)));
  Print("text " + Utf8(TextOf(h)));
  Print("exe " + Utf8(ExeNameOf(ProcessOf(h))));
  Print("path " + Utf8(ExePathOf(ProcessOf(h))));
  Print("pid " + std::to_string(ProcessOf(h)));
  Print("id " + std::to_string(GetDlgCtrlID(h)));
  char style[32];
  wsprintfA(style, "0x%08lX 0x%08lX", static_cast<unsigned long>(GetWindowLongW(h, GWL_STYLE)),
            static_cast<unsigned long>(GetWindowLongW(h, GWL_EXSTYLE)));
  Print(std::string("style ") + style);
  Print(std::string("visible ") + (IsWindowVisible(h) ? "1" : "0"));
  Print(std::string("enabled ") + (IsWindowEnabled(h) ? "1" : "0"));
  Print(std::string("iconic ") + (IsIconic(h) ? "1" : "0"));
  Print(std::string("zoomed ") + (IsZoomed(h) ? "1" : "0"));
  Print("owner " + HexHandle(GetWindow(h, GW_OWNER)));
  Print("parent " + HexHandle(GetAncestor(h, GA_PARENT)));
  Print("rect " + Rect(r.left, r.top, r.right - r.left, r.bottom - r.top));
  Print("client " + Rect(origin.x, origin.y, c.right, c.bottom));
  return kOk;
}

int RectCmd(const Args& a) {
  Need(a, 1, 1);
  RECT r{};
  GetWindowRect(Existing(a[0]), &r);
  Print(Rect(r.left, r.top, r.right - r.left, r.bottom - r.top));
  return kOk;
}

int ClientOriginCmd(const Args& a) {
  Need(a, 1, 1);
  POINT p{0, 0};
  ClientToScreen(Existing(a[0]), &p);
  Print(std::to_string(p.x) + " " + std::to_string(p.y));
  return kOk;
}

int ClientRectCmd(const Args& a) {
  Need(a, 1, 1);
  const HWND h = Existing(a[0]);
  POINT p{0, 0};
  ClientToScreen(h, &p);
  RECT c{};
  GetClientRect(h, &c);
  Print(Rect(p.x, p.y, c.right, c.bottom));
  return kOk;
}

int VisibleCmd(const Args& a) {
  Need(a, 1, 1);
  Print(IsWindowVisible(Existing(a[0])) ? "1" : "0");
  return kOk;
}

int ForegroundCmd(const Args& a) {
  Need(a, 0, 0);
  Print(HexHandle(GetForegroundWindow()));
  return kOk;
}

int FocusCmd(const Args& a) {
  Need(a, 0, 0);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const HWND fg = GetForegroundWindow();
  if (!fg || !GetGUIThreadInfo(GetWindowThreadProcessId(fg, nullptr), &info)) {
    Print(HexHandle(nullptr));
    return kOk;
  }
  Print(HexHandle(info.hwndFocus));
  return kOk;
}

int TextCmd(const Args& a) {
  Need(a, 1, 1);
  Print(Utf8(TextOf(Existing(a[0]))));
  return kOk;
}

int ClassCmd(const Args& a) {
  Need(a, 1, 1);
  Print(Utf8(ClassOf(Existing(a[0]))));
  return kOk;
}

int ChildCmd(const Args& a) {
  Need(a, 2, 2);
  const HWND parent = Existing(a[0]);
  const long long id = Number(a[1]);
  for (HWND h : Descendants(parent)) {
    if (static_cast<long long>(static_cast<unsigned short>(GetDlgCtrlID(h))) == (id & 0xFFFF)) {
      Print(HexHandle(h));
      return kOk;
    }
  }
  return kFailed;
}

int ChildrenCmd(const Args& a) {
  Need(a, 1, 1);
  for (HWND h : Descendants(Existing(a[0]))) {
    RECT r{};
    GetWindowRect(h, &r);
    char id[16];
    wsprintfA(id, "0x%04X", static_cast<unsigned>(static_cast<unsigned short>(GetDlgCtrlID(h))));
    Print(HexHandle(h) + " " + id + " " + (IsWindowVisible(h) ? "visible" : "hidden") + " " +
          Rect(r.left, r.top, r.right - r.left, r.bottom - r.top) + " " + Utf8(ClassOf(h)) + " \"" +
          Utf8(TextOf(h)) + "\"");
  }
  return kOk;
}

// Wine keeps the X window of a top-level window in this property; xdotool
// takes X window ids.
int XidCmd(const Args& a) {
  Need(a, 1, 1);
  const HANDLE xid = GetPropW(Existing(a[0]), L"__wine_x11_whole_window");
  if (!xid) return kFailed;
  Print(std::to_string(reinterpret_cast<ULONG_PTR>(xid)));
  return kOk;
}

int SetTextCmd(const Args& a) {
  Need(a, 2, 2);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(Existing(a[0]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[1].c_str()),
                           SMTO_ABORTIFHUNG, 5000, &result))
    return kFailed;
  return kOk;
}
}  // namespace

const std::vector<CommandInfo>& WindowCommands() {
  static const std::vector<CommandInfo> table{
      {L"find-window", FindWindowCmd, "<class|-> <title|->: a top-level window, hidden ones too"},
      {L"wait-window", WaitWindowCmd, "<class|-> <title|-> <timeout-ms>: waits for a visible top-level window"},
      {L"count-windows", CountWindowsCmd, "<class|-> <title|->: how many top-level windows match, hidden ones too"},
      {L"windows", WindowsCmd, "[exe|*]: lists top-level windows (hwnd, state, rect, exe, class, title)"},
      {L"info", InfoCmd, "<hwnd>: class, text, process, state, owner, rect, client area"},
      {L"rect", RectCmd, "<hwnd>: window rectangle on the screen: x y width height"},
      {L"client-origin", ClientOriginCmd, "<hwnd>: screen position of the client area's top left: x y"},
      {L"client-rect", ClientRectCmd, "<hwnd>: client area on the screen: x y width height"},
      {L"visible", VisibleCmd, "<hwnd>: 1 or 0"},
      {L"foreground", ForegroundCmd, ": the foreground window (0x00000000 for none)"},
      {L"focus", FocusCmd, ": the window with the keyboard focus in the foreground thread"},
      {L"text", TextCmd, "<hwnd>: the window's text"},
      {L"class", ClassCmd, "<hwnd>: the window's class name"},
      {L"child", ChildCmd, "<hwnd> <control-id>: the first descendant with that id"},
      {L"children", ChildrenCmd, "<hwnd>: lists descendants (hwnd, id, state, rect, class, text)"},
      {L"xid", XidCmd, "<hwnd>: the X window id of a top-level window (decimal, for xdotool)"},
      {L"settext", SetTextCmd, "<hwnd> <text>: WM_SETTEXT"},
  };
  return table;
}

}  // namespace probe
