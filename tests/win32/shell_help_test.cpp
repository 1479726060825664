// Help: the Help menu opens the contents page beside the exe; F1 opens the
// page of the help context of the focused control (5 on the group list and
// the grid) and nothing where there is none.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "data/settings.h"
#include "kit.h"
#include "ui/wide.h"

namespace {

class HelpTest : public kit::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    folder_.Write("業務A.PTH", kit::GroupFileBytes({{"見積書", ""}}));
    OpenAsProgram();
    // As the program's start wires it.
    kit::App().on_help = [this](DWORD context) { form().ShowContextHelp(context); };
  }
  void TearDown() override {
    kit::App().on_help = nullptr;
    MainWindowTest::TearDown();
  }

  // F1 in the control with the focus; answers the file opened, if any.
  std::string F1In(HWND control) {
    SetFocus(control);
    const std::size_t before = seam_.shell_calls.size();
    kit::PostKey(control, VK_F1);
    kit::Pump();
    return seam_.shell_calls.size() > before ? seam_.shell_calls.back().file : std::string("<nothing>");
  }
};

TEST_F(HelpTest, TheHelpMenuOpensTheContentsPage) {
  PostMessageA(main(), WM_COMMAND, korvane::kIdShowHelp, 0);
  kit::Pump();
  ASSERT_EQ(seam_.shell_calls.size(), 1u);
  EXPECT_EQ(seam_.shell_calls[0].file, folder_.path() + "Korvane.html");
  EXPECT_EQ(seam_.shell_calls[0].verb, "OPEN");
  EXPECT_EQ(seam_.shell_calls[0].owner, app()) << "the application window owns the help";
}

TEST_F(HelpTest, F1OpensThePageOfTheFocusedControlsContext) {
  EXPECT_EQ(F1In(form().LBGroup.hwnd()), folder_.path() + "Korvane_5.html");
  form().LBGroup.SetItemIndex(0);
  form().LBGroupClick();
  EXPECT_EQ(F1In(form().DGMain.hwnd()), folder_.path() + "Korvane_5.html");
  EXPECT_EQ(seam_.shell_calls.back().owner, main());
  // The window itself has no context: F1 there shows nothing.
  EXPECT_EQ(F1In(main()), "<nothing>");
  // The find box's page.
  form().OpenFind();
  EXPECT_EQ(F1In(form().Finder().EdtFind.hwnd()), folder_.path() + "Korvane_find.html");
  form().Finder().CloseBox();
}

// A page as the build puts it beside the program, looked for from the test
// program's folder upwards.
std::string BuiltPage(const char* name) {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  for (auto dir = std::filesystem::path(exe).parent_path(); dir.has_relative_path(); dir = dir.parent_path()) {
    if (std::ifstream in(dir / "dist" / name, std::ios::binary); in) return {std::istreambuf_iterator<char>(in), {}};
  }
  return {};
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  for (std::size_t at = 0;;) {
    const std::size_t next = text.find(separator, at);
    parts.push_back(text.substr(at, next - at));
    if (next == std::string::npos) return parts;
    at = next + separator.size();
  }
}

// The keys of the key table's first column: "、" between them, and after
// "／" a key that takes the modifiers before it (Ctrl+X／C is Ctrl+C too).
std::vector<std::string> TableKeys(const std::string& page) {
  std::vector<std::string> keys;
  const std::size_t from = page.find("<h2 id=\"keys\">");
  const std::string table = page.substr(from, page.find("</table>", from) - from);
  const std::regex cell("<tr><td>(<kbd>.*?)</td>"), tag("</?kbd>");
  for (std::sregex_iterator it(table.begin(), table.end(), cell), end; it != end; ++it) {
    for (const std::string& combo : Split(std::regex_replace((*it)[1].str(), tag, ""), "、")) {
      const std::vector<std::string> alike = Split(combo, "／");
      const std::string modifiers = alike[0].substr(0, alike[0].rfind('+') + 1);
      for (std::size_t i = 0; i < alike.size(); ++i) keys.push_back(i ? modifiers + alike[i] : alike[i]);
    }
  }
  return keys;
}

// The keys shown after a tab in a menu's items, submenus too, as the help
// names them.
void MenuKeys(HMENU menu, std::set<std::string>& keys) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) MenuKeys(sub, keys);
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    std::string key = std::regex_replace(ui::Narrow(text), std::regex("^[^\\t]*\\t?"), "");
    for (const auto& [shown, named] : {std::pair{"Del", "Delete"}, {"Ins", "Insert"}, {"Up", "↑"}, {"Down", "↓"}})
      if (key.ends_with(shown)) key.replace(key.size() - std::strlen(shown), std::string::npos, named);
    keys.insert(key);
  }
}

void CALLBACK EndMenuSoon(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

TEST_F(HelpTest, EveryKeyTheHelpsKeyTableNamesIsOneTheProgramAnswersTo) {
  const std::vector<std::string> named = TableKeys(BuiltPage("Korvane.html"));
  ASSERT_GE(named.size(), 15u) << "the key table is read";
  // Shown in the menu bar or a right-button menu, or the hot key held.
  std::set<std::string> answered;
  for (HMENU menu : {form().MainMenu().handle(), form().GroupMenu().handle(), form().Arranger().Menu().handle()})
    MenuKeys(menu, answered);
  if (form().FindHotKey().state() == ui::HotKeyState::Registered)
    answered.insert(korvane::FormatHotKey(korvane::kDefaultHotKey));
  // The others, each tried where the table says it works.
  form().LBGroup.SetItemIndex(0);
  form().LBGroupClick();
  const auto key_in = [&](HWND control, UINT vk) {
    SetFocus(control);
    kit::PostKey(control, vk);
    kit::Pump();
    const bool editing = IsWindowVisible(editor()) != FALSE;
    form().CommitTitleEdit();
    return editing || GetFocus() != control;
  };
  const std::map<std::string, std::function<bool()>> tried = {
      {"Enter", [&] { return key_in(grid(), VK_RETURN); }},
      {"F2", [&] { return key_in(grid(), VK_F2); }},
      {"Tab", [&] { return key_in(list(), VK_TAB); }},
      {"F1", [&] { return F1In(grid()) == folder_.path() + "Korvane_5.html"; }},
      {"Shift+F10", [&] { return SetTimer(nullptr, 0, 100, &EndMenuSoon), form().LBGroupKeyDown(VK_F10, ui::kShift); }},
  };
  for (const std::string& key : named) {
    const auto t = tried.find(key);
    EXPECT_TRUE(answered.count(key) || (t != tried.end() && t->second())) << key << " is named in the help";
  }
}

}  // namespace
