#pragma once
// The version dialog (FR0020AB): the program's icon, the product name and the maker's
// logo as pictures, and the maker's two-line notice, whose first line is a
// link to the maker's web site: it turns cyan while the pointer moves over
// it, blue again elsewhere in the dialog, and a click opens the address.
#include <windows.h>

#include "ui/button.h"
#include "ui/form.h"
#include "ui/image.h"
#include "ui/label.h"
#include "ui/panel.h"

namespace korvane {

// The maker's notice and web address (the link's hint, shown as its tooltip).
inline constexpr const char kMakerNotice[] = "(C) Korvane Works";
inline constexpr const char kMakerRights[] = "All rights reserved.";
inline constexpr const char kMakerAddress[] = "https://korvane.example/";

// Colours of the link (0x00BBGGRR).
inline constexpr COLORREF kLinkColor = 0xFF0000;     // blue
inline constexpr COLORREF kLinkHotColor = 0xFFFF00;  // cyan, under the pointer

class TAboutBox : public ui::Form {
 public:
  TAboutBox() = default;
  ~TAboutBox() override;

  // Creates the dialog (hidden), owned by `owner`, by default the main
  // form, and centres it over its owner. False when a window could not be
  // made.
  bool Create(HWND owner = nullptr);

  ui::Panel PnlDisp;
  ui::Image ProgramIcon;
  ui::Image ImgProductName;
  ui::Image ImgLogo;
  ui::Label LblCopyright;
  ui::Label LblRights;
  ui::Button OKButton;

 protected:
  void CreateControls() override;
  void OnCreate() override;
  void OnMouseMove(const ui::MouseEvent& e) override;

 private:
  void FormCreate();
  void FormMouseMove();
  void LblCopyrightMouseMove();
  void LblCopyrightClick();
};

// The Help menu's version item: creates the dialog owned by `owner` (by
// default the main form), shows it modally and destroys it. Any error is
// swallowed without a message; whatever was made is destroyed all the same.
void RunAboutBox(HWND owner = nullptr) noexcept;

}  // namespace korvane
