// Typing into another program, two ways.
//
// keys: by window messages, many keys in one run: each key goes where the
// keyboard would send it (the window holding the focus in the target's
// thread, read anew before every key) and is handled before the next one
// goes, so a script can drive hundreds of groups in a few seconds without
// waiting on the screen. They pass by the program's message loop: no
// accelerators, no dialog keys.
//
// input: as the keyboard types, inside Wine: the target's window is made
// the foreground window and the keys go into the system's input queue, so
// the program's loop sees them as it sees real keys (accelerators, hot
// keys, dialog keys, the key state of Ctrl and Alt). Nothing passes by the
// X server, whose key maps and focus changes lose the odd key under load.
// The keys are queued when the command answers: a message sent or posted
// to the program afterwards may be handled before them.
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

// A key with its modifiers, as "ctrl+alt+space", "shift+Tab", "F2" or "a".
struct Chord {
  std::vector<WORD> modifiers;
  WORD vk = 0;
};

Chord ParseChord(const std::wstring& name) {
  Chord chord;
  std::size_t start = 0;
  for (;;) {
    const std::size_t plus = name.find(L'+', start);
    if (plus == std::wstring::npos || plus + 1 == name.size()) break;   // "ctrl++" is Ctrl and '+'
    const std::wstring modifier = name.substr(start, plus - start);
    if (modifier == L"ctrl" || modifier == L"control") {
      chord.modifiers.push_back(VK_CONTROL);
    } else if (modifier == L"alt") {
      chord.modifiers.push_back(VK_MENU);
    } else if (modifier == L"shift") {
      chord.modifiers.push_back(VK_SHIFT);
    } else {
      throw UsageError{"unknown modifier " + Utf8(modifier)};
    }
    start = plus + 1;
  }
  const std::wstring key = name.substr(start);
  if (key.size() == 1) {
    const SHORT scan = VkKeyScanW(key[0]);
    if (scan == -1) throw UsageError{"no key types " + Utf8(key)};
    if (scan & 0x100) chord.modifiers.push_back(VK_SHIFT);
    chord.vk = static_cast<WORD>(scan & 0xFF);
    return chord;
  }
  chord.vk = static_cast<WORD>(ParseKey(key).vk);
  if (!chord.vk) throw UsageError{"unknown key " + Utf8(key)};
  return chord;
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk == VK_UP || vk == VK_DOWN || vk == VK_LEFT || vk == VK_RIGHT || vk == VK_HOME || vk == VK_END ||
      vk == VK_PRIOR || vk == VK_NEXT || vk == VK_INSERT || vk == VK_DELETE)
    in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  return in;
}

void AddChord(std::vector<INPUT>& inputs, const Chord& chord) {
  for (WORD m : chord.modifiers) inputs.push_back(KeyInput(m, false));
  inputs.push_back(KeyInput(chord.vk, false));
  inputs.push_back(KeyInput(chord.vk, true));
  for (auto m = chord.modifiers.rbegin(); m != chord.modifiers.rend(); ++m) inputs.push_back(KeyInput(*m, true));
}

void AddText(std::vector<INPUT>& inputs, const std::wstring& text) {
  for (const wchar_t c : text) {
    const SHORT scan = c < 0x80 ? VkKeyScanW(c) : -1;
    if (scan != -1 && !(scan & 0x600)) {
      Chord chord;
      if (scan & 0x100) chord.modifiers.push_back(VK_SHIFT);
      chord.vk = static_cast<WORD>(scan & 0xFF);
      AddChord(inputs, chord);
      continue;
    }
    // A character no key types: as an input method hands it over.
    for (const DWORD flag : {0UL, static_cast<unsigned long>(KEYEVENTF_KEYUP)}) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wScan = c;
      in.ki.dwFlags = KEYEVENTF_UNICODE | flag;
      inputs.push_back(in);
    }
  }
}

int InputCmd(const Args& a) {
  Need(a, 1, 10000);
  const HWND target = Handle(a[0]);
  if (!IsWindow(target)) throw UsageError{"no such window: " + Utf8(a[0])};
  std::vector<INPUT> inputs;
  for (std::size_t i = 1; i < a.size(); ++i) {
    if (a[i].rfind(L"text:", 0) == 0) {
      AddText(inputs, a[i].substr(5));
    } else {
      AddChord(inputs, ParseChord(a[i]));
    }
  }
  const HWND root = GetAncestor(target, GA_ROOT);
  if (GetForegroundWindow() != root) {
    SetForegroundWindow(root);
    if (!WaitFor(5000, [root] { return GetForegroundWindow() == root; })) {
      PrintError("the window does not become the foreground window");
      return kFailed;
    }
  }
  if (inputs.empty()) return kOk;
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) {
    PrintError("the system took " + std::to_string(sent) + " of " + std::to_string(inputs.size()) + " key events");
    return kFailed;
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
      {L"input", InputCmd,
       "<hwnd> [<key>...]: makes <hwnd>'s window the foreground window and types the keys into the system's input "
       "queue, as the keyboard does (accelerators, hot keys and dialog keys work); keys as for keys, with "
       "modifiers (ctrl+s, alt+F4, shift+Tab, ctrl+alt+space) and single characters; text:TEXT types the text; "
       "answers when they are queued: the program takes them in turn after its sent and posted messages"},
  };
  return table;
}

}  // namespace probe
