// Help: the Help menu opens the contents page beside the exe; F1 opens the
// page of the help context of the focused control (5 on the group list and
// the grid) and nothing where there is none.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
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
  for (std::filesystem::path dir = std::filesystem::path(exe).parent_path(); dir.has_relative_path();
       dir = dir.parent_path()) {
    std::ifstream in(dir / "dist" / name, std::ios::binary);
    if (in) return std::string(std::istreambuf_iterator<char>(in), {});
  }
  return {};
}

// The keys of the key table ("Ctrl+X"): a run of <kbd> joined by '+'; "／"
// goes on with the same modifiers, anything else ends it.
std::vector<std::string> TableKeys(const std::string& page) {
  std::vector<std::string> keys;
  const std::size_t from = page.find("<h2 id=\"keys\">");
  if (from == std::string::npos) return keys;
  const std::string table = page.substr(from, page.find("</table>", from) - from);
  for (std::size_t row = table.find("<tr><td>"); row != std::string::npos; row = table.find("<tr><td>", row)) {
    row += 8;
    const std::string cell = table.substr(row, table.find("</td>", row) - row);
    std::string key, modifiers;
    const auto end = [&] {
      if (key.size() > modifiers.size()) keys.push_back(key);
      key.clear();
      modifiers.clear();
    };
    for (std::size_t i = 0; i < cell.size();) {
      if (cell.compare(i, 5, "<kbd>") == 0) {
        const std::size_t close = cell.find("</kbd>", i);
        key += cell.substr(i + 5, close - i - 5);
        i = close + 6;
      } else if (cell[i] == '+') {
        key += cell[i++];
      } else if (cell.compare(i, 3, "／") == 0) {
        keys.push_back(key);
        modifiers = key.substr(0, key.rfind('+') + 1);
        key = modifiers;
        i += 3;
      } else {
        end();
        ++i;
      }
    }
    end();
  }
  return keys;
}

// The keys shown after a tab in a menu's items, submenus too, named as the
// help names them.
void MenuKeys(HMENU menu, std::set<std::string>& keys) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      MenuKeys(sub, keys);
      continue;
    }
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    const std::string caption = ui::Narrow(text);
    const std::size_t tab = caption.find('\t');
    if (tab == std::string::npos) continue;
    std::string key = caption.substr(tab + 1);
    for (const auto& [short_name, name] : std::map<std::string, std::string>{
             {"Del", "Delete"}, {"Ins", "Insert"}, {"Up", "↑"}, {"Down", "↓"}}) {
      if (key.ends_with(short_name)) key.replace(key.size() - short_name.size(), short_name.size(), name);
    }
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
  // Shown in the menus (the menu bar and both right-button menus), or the
  // hot key the window holds.
  std::set<std::string> answered;
  MenuKeys(form().MainMenu().handle(), answered);
  MenuKeys(form().GroupMenu().handle(), answered);
  MenuKeys(form().Arranger().Menu().handle(), answered);
  if (form().FindHotKey().state() == ui::HotKeyState::Registered)
    answered.insert(korvane::FormatHotKey(korvane::kDefaultHotKey));
  // The others, each tried where the table says it works.
  form().LBGroup.SetItemIndex(0);
  form().LBGroupClick();
  const auto opens_title_editor = [&](UINT vk) {
    form().DGMain.SetCol(1);
    SetFocus(grid());
    kit::PostKey(grid(), vk);
    kit::Pump();
    const bool open = IsWindowVisible(editor()) != FALSE;
    form().CommitTitleEdit();
    SetFocus(grid());
    return open;
  };
  const std::map<std::string, std::function<bool()>> tried = {
      {"Enter", [&] { return opens_title_editor(VK_RETURN); }},
      {"F2", [&] { return opens_title_editor(VK_F2); }},
      {"F1", [&] { return F1In(grid()) == folder_.path() + "Korvane_5.html"; }},
      {"Tab",
       [&] {
         SetFocus(list());
         kit::PostKey(list(), VK_TAB);
         kit::Pump();
         return GetFocus() == grid();
       }},
      {"Shift+F10",
       [&] {
         // The menu it opens is closed as soon as it shows.
         SetTimer(nullptr, 0, 100, &EndMenuSoon);
         return form().LBGroupKeyDown(VK_F10, ui::kShift);
       }},
  };
  for (const std::string& key : named) {
    const auto t = tried.find(key);
    EXPECT_TRUE(answered.count(key) || (t != tried.end() && t->second())) << key << " is named in the help";
  }
}

}  // namespace
