// The version dialog (FR0020AB).
#include "about/FR0020AB.h"

#include "common/dialog_place.h"
#include "common/seam.h"
#include "ui/application.h"
#include "ui/hint.h"
#include "ui/wide.h"

namespace korvane {

namespace {
const ui::FontSpec kNoticeFont{.face = ui::kFaceMsPGothic, .height = 13};
}  // namespace

TAboutBox::~TAboutBox() { Destroy(); }

bool TAboutBox::Create(HWND owner) {
  ui::FormArgs args;
  args.class_name = "TAboutBox";
  args.caption = "Version Information";
  args.kind = ui::FormKind::Dialog;
  args.close_box = true;
  args.bounds = {0, 0, 298, 213};
  args.client_size = true;
  args.font = ui::FontSpec{.face = ui::kFaceMsUiGothic, .height = 16};
  args.owner = owner;
  return ui::Form::Create(args) && OKButton.hwnd();
}

void TAboutBox::CreateControls() {
  const auto move = [this](const ui::MouseEvent&) { FormMouseMove(); };
  HINSTANCE inst = GetModuleHandleW(nullptr);

  ui::PanelArgs panel;
  panel.parent = hwnd();
  panel.bounds = {8, 8, 281, 169};
  panel.outer = ui::BevelCut::Lowered;
  panel.inner = ui::BevelCut::Raised;
  if (!PnlDisp.Create(panel)) return;
  PnlDisp.on_mouse_move = move;

  ui::ImageArgs icon;
  icon.parent = PnlDisp.hwnd();
  icon.bounds = {56, 24, 32, 32};
  icon.stretch = true;
  if (ProgramIcon.Create(icon)) {
    // A copy of our own (not a shared one), so the image may destroy it.
    ProgramIcon.SetIcon(
        ui::UniqueIcon(static_cast<HICON>(LoadImageW(inst, L"MAINICON", IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR))));
    ProgramIcon.on_mouse_move = move;
  }

  ui::ImageArgs product;
  product.parent = PnlDisp.hwnd();
  product.bounds = {88, 24, 160, 32};
  if (ImgProductName.Create(product)) {
    ImgProductName.SetBitmap(ui::LoadPicture(L"PRODUCTNAME"));
    ImgProductName.on_mouse_move = move;
  }

  ui::ImageArgs logo;
  logo.parent = PnlDisp.hwnd();
  logo.bounds = {8, 80, 120, 72};
  if (ImgLogo.Create(logo)) {
    ImgLogo.SetBitmap(ui::LoadPicture(L"LOGO"));
    ImgLogo.on_mouse_move = move;
  }

  ui::LabelArgs link;
  link.parent = PnlDisp.hwnd();
  link.bounds = {136, 104, 135, 13};
  link.caption = kMakerNotice;
  link.font = kNoticeFont;
  link.font->underline = true;
  link.color = kLinkColor;
  link.transparent = true;
  link.cursor = ui::SystemCursor(IDC_HAND);
  link.hint = kMakerAddress;
  if (LblCopyright.Create(link)) {
    LblCopyright.on_mouse_move = [this](const ui::MouseEvent&) { LblCopyrightMouseMove(); };
    LblCopyright.on_click = [this] { LblCopyrightClick(); };
  }

  ui::LabelArgs rights;
  rights.parent = PnlDisp.hwnd();
  rights.bounds = {136, 120, 106, 13};
  rights.caption = kMakerRights;
  rights.font = kNoticeFont;
  rights.color = RGB(0, 0, 0);
  rights.transparent = true;
  if (LblRights.Create(rights)) LblRights.on_mouse_move = move;

  ui::ButtonArgs ok;
  ok.parent = hwnd();
  ok.bounds = {215, 184, 75, 25};
  ok.caption = "OK";
  ok.is_default = true;
  ok.modal_result = ui::kModalOk;
  if (OKButton.Create(ok)) OKButton.on_mouse_move = move;
}

void TAboutBox::OnCreate() { FormCreate(); }
void TAboutBox::OnMouseMove(const ui::MouseEvent&) { FormMouseMove(); }

void TAboutBox::FormCreate() { CentreOverOwner(hwnd(), GetWindow(hwnd(), GW_OWNER)); }

// No handling of the pointer leaving the dialog: the link keeps the colour
// of the last movement seen inside it.
void TAboutBox::FormMouseMove() { LblCopyright.SetFontColor(kLinkColor); }

void TAboutBox::LblCopyrightMouseMove() { LblCopyright.SetFontColor(kLinkHotColor); }

void TAboutBox::LblCopyrightClick() {
  LblCopyright.SetFontColor(kLinkColor);
  UpdateWindow(LblCopyright.hwnd());  // blue while the browser starts
  // The hourglass for as long as the system takes to start a program.
  const ui::WaitCursor wait;
  // The system opens the address with the program registered for it; a
  // failure goes unnoticed.
  Seam().OpenWithShell(nullptr, "OPEN", ui::HintOf(LblCopyright.hwnd()), "", "", SW_SHOW);
}

void RunAboutBox(HWND owner) noexcept {
  try {
    TAboutBox box;
    if (box.Create(owner)) box.ShowModal();
  } catch (...) {
    // Nothing is reported; the box is gone with its scope.
  }
}

}  // namespace korvane
