// The system's message boxes and the open-file dialog of the program under
// test: read them, answer them.
#include "tools/probe/probe.h"

namespace probe {

namespace {
// Control ids of the system dialogs.
constexpr int kMessageBoxText = 0xFFFF;  // the static holding the text
constexpr int kFileNameCombo = 0x47C;    // cmb13: name box of the Explorer-style dialog
constexpr int kFileNameEdit = 0x480;     // edt1: name box of the old-style dialog

// The first descendant with that id, of that class when one is given.
HWND ChildById(HWND parent, int id, const wchar_t* cls = nullptr) {
  for (HWND h : Descendants(parent)) {
    if (static_cast<unsigned short>(GetDlgCtrlID(h)) != static_cast<unsigned short>(id)) continue;
    if (!cls || lstrcmpiW(ClassOf(h).c_str(), cls) == 0) return h;
  }
  return nullptr;
}

// The name box: Wine nests an Edit in a ComboBox in a ComboBoxEx32, all
// three with the id cmb13; the text belongs in the edit.
HWND FileNameEdit(HWND dialog) {
  for (int id : {kFileNameCombo, kFileNameEdit}) {
    if (HWND edit = ChildById(dialog, id, L"Edit")) return edit;
    if (HWND combo = ChildById(dialog, id, L"ComboBox")) return combo;
  }
  return nullptr;
}

bool IsDialogOfExe(HWND h) {
  return IsWindowVisible(h) && ClassOf(h) == L"#32770" && BelongsToExe(h, Opts().exe);
}

bool IsButton(HWND h) { return lstrcmpiW(ClassOf(h).c_str(), L"Button") == 0; }

bool IsDefaultButton(HWND h) {
  return (GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// The box's text, one printed line per line of text (CR LF or LF).
void PrintTextLines(const std::wstring& text) {
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find(L'\n', start);
    std::wstring line = text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    Print("text " + Utf8(line));
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
}

int MsgBoxCmd(const Args& a) {
  Need(a, 1, 1);
  HWND box = nullptr;
  if (!WaitFor(Number(a[0]), [&] { return (box = FindMessageBox()) != nullptr; })) {
    PrintError("no message box of " + Utf8(Opts().exe));
    return kFailed;
  }
  Print("hwnd " + HexHandle(box));
  Print("caption " + Utf8(CaptionOf(box)));
  const HWND text = ChildById(box, kMessageBoxText, L"Static");
  PrintTextLines(text ? TextOf(text) : std::wstring());
  // The default button is the one drawn as default (BS_DEFPUSHBUTTON):
  // Wine's message box moves that style and the focus to the button that
  // MB_DEFBUTTONn names but leaves DM_GETDEFID at IDOK.
  std::string buttons = "buttons";
  std::string default_button;
  for (HWND h : Descendants(box)) {
    if (!IsButton(h) || !IsWindowVisible(h)) continue;
    const std::string id = std::to_string(GetDlgCtrlID(h));
    buttons += " " + id;
    if (IsDefaultButton(h)) default_button = id;
  }
  Print(buttons);
  DWORD_PTR def = 0;
  if (default_button.empty() && SendMessageTimeoutW(box, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 2000, &def) &&
      HIWORD(def) == DC_HASDEFID) {
    default_button = std::to_string(LOWORD(def));
  }
  Print("default " + default_button);
  return kOk;
}

// Posted, not sent: the click may open another modal window inside its
// handler, and a sent message would wait for that one to close.
bool Click(HWND button) { return PostMessageW(button, BM_CLICK, 0, 0) != FALSE; }

int PressCmd(const Args& a) {
  Need(a, 1, 2);
  const int id = static_cast<int>(Number(a[0]));
  const long long timeout = a.size() == 2 ? Number(a[1]) : 5000;
  HWND box = nullptr;
  if (!WaitFor(timeout, [&] { return (box = FindMessageBox()) != nullptr; })) {
    PrintError("no message box of " + Utf8(Opts().exe));
    return kFailed;
  }
  const HWND button = ChildById(box, id, L"Button");
  if (!button) {
    PrintError("the message box has no button " + std::to_string(id));
    return kFailed;
  }
  if (!Click(button)) return kFailed;
  if (!WaitFor(timeout, [&] { return !IsWindow(box); })) {
    PrintError("the message box stayed open");
    return kFailed;
  }
  return kOk;
}

int ClickCmd(const Args& a) {
  Need(a, 1, 1);
  const HWND h = Handle(a[0]);
  if (!IsWindow(h)) throw UsageError{"no such window: " + Utf8(a[0])};
  return Click(h) ? kOk : kFailed;
}

HWND WaitOpenFileDialog(long long timeout) {
  HWND dialog = nullptr;
  if (!WaitFor(timeout, [&] { return (dialog = FindOpenFileDialog()) != nullptr; })) {
    PrintError("no open-file dialog of " + Utf8(Opts().exe));
  }
  return dialog;
}

int OpenFileCmd(const Args& a) {
  Need(a, 2, 2);
  const long long timeout = Number(a[1]);
  const HWND dialog = WaitOpenFileDialog(timeout);
  if (!dialog) return kFailed;
  const HWND name = FileNameEdit(dialog);
  DWORD_PTR result = 0;
  if (!name || !SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a[0].c_str()), SMTO_ABORTIFHUNG,
                                    5000, &result)) {
    PrintError("cannot fill the name box");
    return kFailed;
  }
  const HWND ok = ChildById(dialog, IDOK, L"Button");
  if (!ok || !Click(ok)) return kFailed;
  if (!WaitFor(timeout, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); })) {
    const HWND box = FindMessageBox();
    PrintError("the open-file dialog stayed open" +
               (box ? ": it shows \"" + Utf8(TextOf(ChildById(box, kMessageBoxText, L"Static"))) + "\"" : std::string()));
    return kFailed;
  }
  return kOk;
}

int OpenFileCancelCmd(const Args& a) {
  Need(a, 1, 1);
  const long long timeout = Number(a[0]);
  const HWND dialog = WaitOpenFileDialog(timeout);
  if (!dialog) return kFailed;
  const HWND cancel = ChildById(dialog, IDCANCEL, L"Button");
  if (!cancel || !Click(cancel)) return kFailed;
  return WaitFor(timeout, [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }) ? kOk : kFailed;
}
}  // namespace

HWND FindMessageBox() {
  const auto boxes = TopLevelWindows([](HWND h) {
    return IsDialogOfExe(h) && ChildById(h, kMessageBoxText, L"Static") && !ChildById(h, kFileNameCombo) &&
           !ChildById(h, kFileNameEdit);
  });
  return boxes.empty() ? nullptr : boxes.front();  // the topmost
}

HWND FindOpenFileDialog() {
  const auto dialogs = TopLevelWindows(
      [](HWND h) { return IsDialogOfExe(h) && (ChildById(h, kFileNameCombo) || ChildById(h, kFileNameEdit)); });
  return dialogs.empty() ? nullptr : dialogs.front();
}

const std::vector<CommandInfo>& DialogCommands() {
  static const std::vector<CommandInfo> table{
      {L"msgbox", MsgBoxCmd,
       "<timeout-ms>: waits for a message box; prints hwnd, caption, text (one line each), buttons, default"},
      {L"press", PressCmd, "<button-id> [timeout-ms]: clicks IDOK 1, IDCANCEL 2, IDYES 6, IDNO 7... of the message box"},
      {L"click", ClickCmd, "<hwnd>: posts BM_CLICK to a button"},
      {L"openfile", OpenFileCmd, "<windows-path> <timeout-ms>: fills the open-file dialog's name box, presses OK"},
      {L"openfile-cancel", OpenFileCancelCmd, "<timeout-ms>: presses Cancel in the open-file dialog"},
  };
  return table;
}

}  // namespace probe
