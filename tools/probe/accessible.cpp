// acc-tree: what a screen reader gets of a window and its child windows
// (MSAA through AccessibleObjectFromWindow), one element a line:
//   ROLE "NAME" [value "VALUE"] [STATES]
// indented by depth; each child window's client object under a line
// "window CLASS".
#include <oleacc.h>

#include "tools/probe/probe.h"

namespace probe {

namespace {

VARIANT Child(long id) {
  VARIANT v{};
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::string RoleName(long role) {
  switch (role) {
    case ROLE_SYSTEM_TABLE: return "table";
    case ROLE_SYSTEM_ROW: return "row";
    case ROLE_SYSTEM_CELL: return "cell";
    case ROLE_SYSTEM_PUSHBUTTON: return "button";
    case ROLE_SYSTEM_LIST: return "list";
    case ROLE_SYSTEM_LISTITEM: return "item";
    case ROLE_SYSTEM_STATUSBAR: return "statusbar";
    case ROLE_SYSTEM_CLIENT: return "client";
    case ROLE_SYSTEM_WINDOW: return "window";
    case ROLE_SYSTEM_TEXT: return "text";
    case ROLE_SYSTEM_STATICTEXT: return "static";
    default: return "role" + std::to_string(role);
  }
}

std::string StateNames(long state) {
  static const std::pair<long, const char*> kNames[] = {
      {STATE_SYSTEM_FOCUSED, "focused"},   {STATE_SYSTEM_SELECTED, "selected"},
      {STATE_SYSTEM_PRESSED, "pressed"},   {STATE_SYSTEM_UNAVAILABLE, "unavailable"},
      {STATE_SYSTEM_INVISIBLE, "invisible"}, {STATE_SYSTEM_READONLY, "readonly"},
  };
  std::string out;
  for (const auto& [bit, name] : kNames) {
    if (state & bit) out += std::string(out.empty() ? "" : ",") + name;
  }
  return out;
}

// The text, or the failure's code where the call failed.
std::string Text(IAccessible* a, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long id) {
  BSTR b = nullptr;
  const HRESULT hr = (a->*get)(Child(id), &b);
  char code[16];
  wsprintfA(code, "!%08lx", static_cast<unsigned long>(hr));
  std::string s = FAILED(hr) ? code : b ? Utf8(b) : "";
  SysFreeString(b);
  return s;
}

void PrintElement(IAccessible* a, long id, int depth) {
  const std::string name = Text(a, &IAccessible::get_accName, id);
  const std::string value = Text(a, &IAccessible::get_accValue, id);
  VARIANT role{}, state{};
  a->get_accRole(Child(id), &role);
  a->get_accState(Child(id), &state);
  std::string line(static_cast<std::size_t>(2 * depth), ' ');
  line += RoleName(role.vt == VT_I4 ? role.lVal : 0) + " \"" + name + "\"";
  if (!value.empty()) line += " value \"" + value + "\"";
  const std::string states = StateNames(state.vt == VT_I4 ? state.lVal : 0);
  if (!states.empty()) line += " " + states;
  Print(line);
}

// The object and its children, to max_depth levels below it.
void PrintTree(IAccessible* a, int depth, int max_depth) {
  PrintElement(a, CHILDID_SELF, depth);
  long count = 0;
  if (depth >= max_depth || FAILED(a->get_accChildCount(&count))) return;
  for (long i = 1; i <= count; ++i) {
    IDispatch* d = nullptr;
    IAccessible* child = nullptr;
    if (a->get_accChild(Child(i), &d) == S_OK && d) {
      d->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&child));
      d->Release();
    }
    if (child) {
      PrintTree(child, depth + 1, max_depth);
      child->Release();
    } else {
      PrintElement(a, i, depth + 1);
    }
  }
}

bool PrintWindow(HWND h, int max_depth) {
  IAccessible* a = nullptr;
  if (FAILED(AccessibleObjectFromWindow(h, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&a))) ||
      !a)
    return false;
  PrintTree(a, 1, max_depth);
  a->Release();
  return true;
}

int AccTreeCmd(const Args& args) {
  Need(args, 1, 2);
  const HWND top = Handle(args[0]);
  if (!IsWindow(top)) throw UsageError{"no such window: " + Utf8(args[0])};
  const int depth = args.size() > 1 ? static_cast<int>(Number(args[1])) : 3;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return kFailed;
  bool any = false;
  std::vector<HWND> windows{top};
  for (HWND h : Descendants(top)) windows.push_back(h);
  for (HWND h : windows) {
    if (!IsWindowVisible(h)) continue;
    Print("window " + Utf8(ClassOf(h)));
    any = PrintWindow(h, depth) || any;
  }
  CoUninitialize();
  return any ? kOk : kFailed;
}

}  // namespace

const std::vector<CommandInfo>& AccessibleCommands() {
  static const std::vector<CommandInfo> commands = {
      {L"acc-tree", &AccTreeCmd,
       "HWND [DEPTH]  the accessible objects of the window's client and each visible child window's, DEPTH "
       "levels deep (3)"},
  };
  return commands;
}

}  // namespace probe
