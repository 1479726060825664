// Help: the Help menu opens the contents page beside the exe; F1 opens the
// page of the help context of the focused control (5 on the group list and
// the grid) and nothing where there is none.
#include <windows.h>

#include <gtest/gtest.h>

#include "kit.h"

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
}

}  // namespace
