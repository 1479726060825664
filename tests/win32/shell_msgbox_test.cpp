// The three message boxes: caption, flags, owner, the program's windows
// disabled while one is up, and the answers Confirm takes for Yes. Then the
// system's own box, answered with the keyboard.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/FN0010GF.h"
#include "common/seam.h"
#include "kit.h"
#include "ui/form.h"

namespace {

using kit::FakeSeam;

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(kit::MakeForm(form_));
    korvane::SetSeam(&seam_);
    korvane::SetMessageBoxOwner(kit::App().hwnd());
  }
  void TearDown() override {
    korvane::SetMessageBoxOwner(nullptr);
    korvane::SetSeam(nullptr);
    form_.Destroy();
    kit::Pump();
  }

  ui::Form form_;
  FakeSeam seam_;
};

TEST_F(MessageBoxTest, EachBoxHasTheCaptionFlagsAndOwnerOfTheProgram) {
  // The text as given: CR LF pairs and 0x5C trail bytes ("表") untouched.
  const std::string text = "C:\\ソフト表\\予定表.PTH\r\n\r\n100%s";
  korvane::ShowWarning(text);
  korvane::ShowInformation(text);
  EXPECT_FALSE(korvane::Confirm(text));
  ASSERT_EQ(seam_.boxes.size(), 3u);
  const UINT flags[] = {0x30, 0x40, 0x124};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(seam_.boxes[i].flags, flags[i]) << i;
    EXPECT_EQ(seam_.boxes[i].caption, "Korvane");
    EXPECT_EQ(seam_.boxes[i].text, text);
    EXPECT_EQ(seam_.boxes[i].owner, kit::App().hwnd()) << "owned by the application window";
  }
}

TEST_F(MessageBoxTest, ConfirmIsTrueOnlyForYes) {
  for (int answer : {IDYES, IDNO, IDCANCEL, IDOK, IDABORT, 0}) {
    seam_.answers = {answer};
    EXPECT_EQ(korvane::Confirm("?"), answer == IDYES) << answer;
  }
}

TEST_F(MessageBoxTest, TheProgramsWindowsAreDisabledWhileABoxIsUp) {
  ui::Form second;
  ASSERT_TRUE(kit::MakeForm(second));
  ASSERT_TRUE(kit::BringToFront(form_.hwnd()));
  int checked = 0;
  seam_.on_box = [&] {
    ++checked;
    EXPECT_FALSE(IsWindowEnabled(form_.hwnd()));
    EXPECT_FALSE(IsWindowEnabled(second.hwnd()));
  };
  korvane::ShowWarning("a");
  korvane::ShowInformation("b");
  seam_.answers = {IDYES};
  EXPECT_TRUE(korvane::Confirm("c"));
  EXPECT_EQ(checked, 3);
  EXPECT_TRUE(IsWindowEnabled(form_.hwnd()));
  EXPECT_TRUE(IsWindowEnabled(second.hwnd()));
  EXPECT_EQ(GetActiveWindow(), form_.hwnd()) << "the window active before gets the activation back";
  second.Destroy();
}

// The system's box: its Yes/No buttons, No the default; Enter answers No,
// and Escape (which Wine takes as Cancel) is no Yes either.
class RealBoxTest : public MessageBoxTest {
 protected:
  void SetUp() override {
    MessageBoxTest::SetUp();
    korvane::SetSeam(nullptr);
  }

  // Runs Confirm; once its box is up, records it and presses `key` in it.
  bool ConfirmPressing(UINT key) {
    key_ = key;
    box_ = nullptr;
    SetTimer(form_.hwnd(), 1, 50, &RealBoxTest::Tick);
    current_ = this;
    const bool answer = korvane::Confirm("終了してもよろしいですか？");
    KillTimer(form_.hwnd(), 1);
    current_ = nullptr;
    return answer;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    RealBoxTest* self = current_;
    if (!self || self->box_) return;
    HWND box = FindWindowA("#32770", "Korvane");
    if (!box || GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId()) return;
    self->box_ = box;
    self->owner_ = GetWindow(box, GW_OWNER);
    self->has_yes_ = GetDlgItem(box, IDYES) != nullptr;
    self->has_no_ = GetDlgItem(box, IDNO) != nullptr;
    self->has_cancel_ = GetDlgItem(box, IDCANCEL) != nullptr;
    // The default button is drawn as such (Wine's box answers DM_GETDEFID
    // with IDOK whatever its buttons).
    for (int id : {IDYES, IDNO}) {
      HWND button = GetDlgItem(box, id);
      if (button && (GetWindowLongA(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON) self->default_id_ = id;
    }
    self->form_enabled_ = IsWindowEnabled(self->form_.hwnd()) != FALSE;
    HWND focus = GetFocus();
    PostMessageA(focus ? focus : box, WM_KEYDOWN, self->key_, 1);
    PostMessageA(focus ? focus : box, WM_KEYUP, self->key_, 0xC0000001);
  }

  static RealBoxTest* current_;
  UINT key_ = 0;
  HWND box_ = nullptr;
  HWND owner_ = nullptr;
  bool has_yes_ = false, has_no_ = false, has_cancel_ = false, form_enabled_ = true;
  int default_id_ = 0;
};

RealBoxTest* RealBoxTest::current_ = nullptr;

TEST_F(RealBoxTest, EnterAndEscapeBothAnswerNo) {
  for (UINT key : {VK_RETURN, VK_ESCAPE}) {
    SCOPED_TRACE(key);
    EXPECT_FALSE(ConfirmPressing(key));
    ASSERT_NE(box_, nullptr) << "the box came up";
    EXPECT_EQ(owner_, kit::App().hwnd());
    EXPECT_TRUE(has_yes_);
    EXPECT_TRUE(has_no_);
    EXPECT_FALSE(has_cancel_);
    EXPECT_EQ(default_id_, IDNO);
    EXPECT_FALSE(form_enabled_);
    EXPECT_TRUE(IsWindowEnabled(form_.hwnd()));
    EXPECT_TRUE(kit::PumpUntil([&] { return GetActiveWindow() == form_.hwnd(); }, 3000))
        << "the window active before the box is active again";
  }
}

}  // namespace
