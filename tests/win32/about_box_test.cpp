// The version dialog: its layout and pictures, the link's colour following
// the pointer, the click handing the address to the shell, the keys, the
// placement, and the Help menu's way of running it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "about/FR0020AB.h"
#include "kit.h"
#include "ui/hint.h"
#include "ui/wide.h"

namespace {

using kit::FakeSeam;
using kit::RunModal;
using korvane::kLinkColor;
using korvane::kLinkHotColor;
using korvane::TAboutBox;

class AboutBoxTest : public ::testing::Test {
 protected:
  AboutBoxTest() {
    kit::App();
    kit::ParkPointer();
  }

  FakeSeam seam;
};

void ExpectBounds(HWND h, int x, int y, int w, int hgt, const char* what) {
  const ui::Bounds b = ui::BoundsOf(h);
  EXPECT_EQ(b.x, x) << what;
  EXPECT_EQ(b.y, y) << what;
  EXPECT_EQ(b.width, w) << what;
  EXPECT_EQ(b.height, hgt) << what;
}

// Pixels of `colour` in what the label paints.
int PaintedPixelsOf(const ui::Label& label, COLORREF colour) {
  RECT r{};
  GetClientRect(label.hwnd(), &r);
  ui::MemorySurface surface;
  if (!surface.Create(r.right, r.bottom)) return -1;
  label.Paint(surface.dc(), r);
  int n = 0;
  for (int y = 0; y < r.bottom; ++y) {
    for (int x = 0; x < r.right; ++x) n += GetPixel(surface.dc(), x, y) == colour ? 1 : 0;
  }
  return n;
}

void PostMove(HWND h) { PostMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2)); }

TEST_F(AboutBoxTest, LayoutPicturesAndTheLink) {
  TAboutBox box;
  ASSERT_TRUE(box.Create());
  RECT client{};
  GetClientRect(box.hwnd(), &client);
  EXPECT_EQ(client.right, 298);
  EXPECT_EQ(client.bottom, 213);
  EXPECT_EQ(box.Caption(), "Version Information");
  const LONG style = GetWindowLongA(box.hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);  // the close box
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  LOGFONTW lf{};
  GetObjectW(box.font(), sizeof lf, &lf);
  EXPECT_EQ(ui::Narrow(lf.lfFaceName), "MS UI Gothic");
  EXPECT_EQ(lf.lfHeight, -16);

  ExpectBounds(box.PnlDisp.hwnd(), 8, 8, 281, 169, "PnlDisp");
  // Each picture came from the resources, at its size.
  ExpectBounds(box.ProgramIcon.hwnd(), 56, 24, 32, 32, "ProgramIcon");
  EXPECT_EQ(box.ProgramIcon.PictureSize().cx, 32);
  ExpectBounds(box.ImgProductName.hwnd(), 88, 24, 160, 32, "ImgProductName");
  ExpectBounds(box.ImgLogo.hwnd(), 8, 80, 120, 72, "ImgLogo");
  ExpectBounds(box.OKButton.hwnd(), 215, 184, 75, 25, "OKButton");
  EXPECT_EQ(GetWindowLongA(box.OKButton.hwnd(), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);

  const ui::Bounds link = ui::BoundsOf(box.LblCopyright.hwnd());
  EXPECT_EQ(link.x, 136);
  EXPECT_EQ(link.y, 104);
  const ui::Bounds rights = ui::BoundsOf(box.LblRights.hwnd());
  EXPECT_EQ(rights.x, 136);
  EXPECT_EQ(rights.y, 120);
  // Both lines inside the panel's bevels.
  EXPECT_LE(link.x + link.width, 281 - 2);
  EXPECT_LE(rights.x + rights.width, 281 - 2);
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(box.LblCopyright.hwnd(), WM_GETFONT, 0, 0)), sizeof lf, &lf);
  EXPECT_EQ(ui::Narrow(lf.lfFaceName), "ＭＳ Ｐゴシック");
  EXPECT_EQ(lf.lfHeight, -13);
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_EQ(box.LblCopyright.font_color(), kLinkColor);
  EXPECT_EQ(box.LblRights.font_color(), RGB(0, 0, 0));

  // The address is the link's tooltip, under the reserved example domain.
  const std::string address = ui::HintOf(box.LblCopyright.hwnd());
  EXPECT_EQ(address, korvane::kMakerAddress);
  EXPECT_TRUE(address.starts_with("https://") && address.ends_with(".example/")) << address;
  EXPECT_EQ(ui::HintOf(box.LblRights.hwnd()), "");
  // The hand over the link.
  SendMessageA(box.LblCopyright.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(box.LblCopyright.hwnd()),
               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
}

TEST_F(AboutBoxTest, LinkColourFollowsThePointerAndEnterCloses) {
  TAboutBox box;
  ASSERT_TRUE(box.Create());
  const HWND elsewhere[] = {box.PnlDisp.hwnd(),   box.ProgramIcon.hwnd(), box.ImgProductName.hwnd(),
                            box.ImgLogo.hwnd(),   box.LblRights.hwnd(),   box.OKButton.hwnd(),
                            box.hwnd()};
  std::vector<kit::Step> steps;
  steps.push_back([&] {
    EXPECT_EQ(box.LblCopyright.font_color(), kLinkColor);
    EXPECT_EQ(PaintedPixelsOf(box.LblCopyright, kLinkHotColor), 0);
    PostMove(box.LblCopyright.hwnd());
  });
  for (HWND other : elsewhere) {
    steps.push_back([&, other] {
      EXPECT_EQ(box.LblCopyright.font_color(), kLinkHotColor);
      PostMove(other);
    });
    steps.push_back([&, other] {
      EXPECT_EQ(box.LblCopyright.font_color(), kLinkColor) << "after a move over window " << other;
      PostMove(box.LblCopyright.hwnd());
    });
  }
  steps.push_back([&] {
    // What the link paints is cyan now (its underline at least).
    EXPECT_EQ(box.LblCopyright.font_color(), kLinkHotColor);
    EXPECT_GT(PaintedPixelsOf(box.LblCopyright, kLinkHotColor), 20);
    EXPECT_EQ(PaintedPixelsOf(box.LblCopyright, kLinkColor), 0);
    EXPECT_EQ(GetFocus(), box.OKButton.hwnd());
    kit::PostKey(box.OKButton.hwnd(), VK_RETURN);
  });
  EXPECT_EQ(RunModal(box, std::move(steps)), ui::kModalOk);
  EXPECT_FALSE(IsWindowVisible(box.hwnd()));
  EXPECT_TRUE(seam.shell_calls.empty());
}

TEST_F(AboutBoxTest, ClickOnTheLinkOpensTheAddressUnderTheWaitCursorAndTheDialogStays) {
  TAboutBox box;
  ASSERT_TRUE(box.Create());
  const int result = RunModal(box, {
      [&] { PostMove(box.LblCopyright.hwnd()); },
      [&] {
        EXPECT_EQ(box.LblCopyright.font_color(), kLinkHotColor);
        kit::PostButton(box.LblCopyright.hwnd(), WM_LBUTTONDOWN, 3, 3);
      },
      [&] {
        ASSERT_EQ(seam.shell_calls.size(), 1u);
        const FakeSeam::ShellCall& call = seam.shell_calls[0];
        EXPECT_EQ(call.owner, nullptr);
        EXPECT_EQ(call.verb, "OPEN");
        EXPECT_EQ(call.file, korvane::kMakerAddress);
        EXPECT_EQ(call.params, "");
        EXPECT_EQ(call.dir, "");
        EXPECT_EQ(call.show, SW_SHOW);
        EXPECT_EQ(call.cursor, ui::ScreenCursor::HourGlass);
        EXPECT_EQ(kit::App().screen_cursor(), ui::ScreenCursor::Default);
        // Blue, although the pointer's last move was over the link.
        EXPECT_EQ(box.LblCopyright.font_color(), kLinkColor);
        EXPECT_TRUE(box.InModal());
        PostMessageA(box.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
      },
  });
  EXPECT_EQ(result, ui::kModalCancel);
  EXPECT_EQ(seam.shell_calls.size(), 1u);
}

TEST_F(AboutBoxTest, CentredOverAnOwnerPartlyOffTheScreen) {
  ui::Form owner;
  ui::FormArgs args;
  args.caption = "owner";
  args.bounds = {-201, 800, 640, 480};  // off the left and the bottom edge
  ASSERT_TRUE(owner.Create(args));
  owner.Show();
  TAboutBox box;
  ASSERT_TRUE(box.Create(owner.hwnd()));
  EXPECT_EQ(GetWindow(box.hwnd(), GW_OWNER), owner.hwnd());
  const ui::Bounds o = owner.bounds();
  const ui::Bounds d = box.bounds();
  EXPECT_EQ(d.x, -201 + (o.width - d.width) / 2);
  EXPECT_EQ(d.y, 800 + (o.height - d.height) / 2);
  EXPECT_GT(d.y + d.height, GetSystemMetrics(SM_CYSCREEN));  // not pulled onto the screen
}

TEST_F(AboutBoxTest, HelpMenuRunsItModallyOverTheOwnerAndDestroysIt) {
  ui::Form owner;
  ASSERT_TRUE(kit::MakeForm(owner));
  HWND seen = nullptr;
  bool owner_disabled = false;
  kit::Script script(
      {[&] {
        seen = FindWindowA("TAboutBox", "Version Information");
        if (!seen || !IsWindowVisible(seen)) return kit::RunAgain();
        EXPECT_EQ(GetWindow(seen, GW_OWNER), owner.hwnd());
        owner_disabled = !IsWindowEnabled(owner.hwnd());
        kit::PostKey(GetFocus(), VK_RETURN);
      }},
      [&] {
        if (HWND h = FindWindowA("TAboutBox", nullptr)) PostMessageA(h, WM_CLOSE, 0, 0);
      });
  korvane::RunAboutBox(owner.hwnd());
  EXPECT_TRUE(script.finished());
  ASSERT_NE(seen, nullptr);
  EXPECT_TRUE(owner_disabled);
  EXPECT_FALSE(IsWindow(seen));
  EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

}  // namespace
