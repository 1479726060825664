// Typing into another program by window messages, many keys in one run:
// each key goes where the keyboard would send it (the window holding the
// focus in the target's thread, read anew before every key) and is handled
// before the next one goes, so a script can drive hundreds of groups in a
// few seconds without waiting on the screen.
#include <cwctype>
#include <map>

#include "tools/probe/probe.h"

namespace probe {

namespace {

struct Key {
  UINT vk = 0;
  wchar_t ch = 0;          // the WM_CHAR the keyboard layout makes, or 0
  std::wstring text;       // text:...: WM_CHAR for each character instead
};

Key ParseKey(const std::wstring& name) {
  static const std::map<std::wstring, Key> named{
      {L"Return", {VK_RETURN, L'\r', {}}}, {L"Tab", {VK_TAB, L'\t', {}}},
      {L"Escape", {VK_ESCAPE, 0x1B, {}}},  {L"Back", {VK_BACK, 0x08, {}}},
      {L"space", {VK_SPACE, L' ', {}}},    {L"Delete", {VK_DELETE, 0, {}}},
      {L"Insert", {VK_INSERT, 0, {}}},     {L"Up", {VK_UP, 0, {}}},
      {L"Down", {VK_DOWN, 0, {}}},         {L"Left", {VK_LEFT, 0, {}}},
      {L"Right", {VK_RIGHT, 0, {}}},       {L"Home", {VK_HOME, 0, {}}},
      {L"End", {VK_END, 0, {}}},           {L"Prior", {VK_PRIOR, 0, {}}},
      {L"Next", {VK_NEXT, 0, {}}},
  };
  if (name.rfind(L"text:", 0) == 0) return Key{0, 0, name.substr(5)};
  if (const auto it = named.find(name); it != named.end()) return it->second;
  if (name.size() >= 2 && name.size() <= 3 && name[0] == L'F' && std::iswdigit(name[1])) {
    const long long n = Number(name.substr(1));
    if (n >= 1 && n <= 12) return Key{static_cast<UINT>(VK_F1 + n - 1), 0, {}};
  }
  throw UsageError{"unknown key " + Utf8(name)};
}

// The window the keyboard would type into: the focus of the target's
// thread, else the target itself.
HWND KeyboardTarget(HWND target) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(target, nullptr);
  if (thread && GetGUIThreadInfo(thread, &info) && info.hwndFocus) return info.hwndFocus;
  return target;
}

bool Deliver(HWND to, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(to, msg, wp, lp, SMTO_NORMAL, 30000, &result) != 0;
}

bool Press(HWND target, const Key& key) {
  const HWND to = KeyboardTarget(target);
  if (!key.text.empty()) {
    for (const wchar_t c : key.text)
      if (!Deliver(KeyboardTarget(target), WM_CHAR, c, 1)) return false;
    return true;
  }
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key.vk, MAPVK_VK_TO_VSC)) << 16;
  if (!Deliver(to, WM_KEYDOWN, key.vk, scan | 1)) return false;
  // The character goes where the key went down, as TranslateMessage posts it.
  if (key.ch && IsWindow(to) && !Deliver(to, WM_CHAR, key.ch, scan | 1)) return false;
  // The key comes up wherever the focus is now.
  return Deliver(KeyboardTarget(target), WM_KEYUP, key.vk, scan | 1 | static_cast<LPARAM>(0xC0000000));
}

int KeysCmd(const Args& a) {
  Need(a, 3, 10000);
  const HWND target = Handle(a[0]);
  if (!IsWindow(target)) throw UsageError{"no such window: " + Utf8(a[0])};
  const long long times = Number(a[1]);
  std::vector<Key> keys;
  for (std::size_t i = 2; i < a.size(); ++i) keys.push_back(ParseKey(a[i]));
  for (long long n = 0; n < times; ++n) {
    for (const Key& key : keys) {
      if (!IsWindow(target) || !Press(target, key)) {
        PrintError("key " + std::to_string(&key - keys.data() + 1) + " of round " + std::to_string(n + 1) +
                   " was not handled");
        return kFailed;
      }
    }
  }
  return kOk;
}

}  // namespace

const std::vector<CommandInfo>& KeyCommands() {
  static const std::vector<CommandInfo> table{
      {L"keys", KeysCmd,
       "<hwnd> <times> <key>...: the keys, <times> over, each sent to the window holding the keyboard focus in "
       "<hwnd>'s thread and handled before the next (WM_KEYDOWN, WM_CHAR, WM_KEYUP; no accelerators); keys: Return "
       "Tab Escape Back space Delete Insert Up Down Left Right Home End Prior Next F1..F12, text:ASCII"},
  };
  return table;
}

}  // namespace probe
