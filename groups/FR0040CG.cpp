// The rename dialog (FR0040CG): its labels and its layout.
#include "groups/FR0040CG.h"

namespace korvane {

namespace {
const ui::FontSpec kLabelFont{.face = ui::kFaceMsUiGothic, .height = 15};

// Client area 312 x 173; the panel's controls in panel coordinates.
GroupNameDialog::Layout RenameLayout() {
  return {
      .class_name = "TFrmFR0040CG",
      .caption = "業務名の変更",
      .font = ui::FontSpec{.face = ui::kFaceMsPGothic, .height = 12},
      .help_context = kRenameGroupHelpContext,
      .caption_label = {8, 64, 83, 15},
      .caption_font = kLabelFont,
      .caption_text = "新しい業務名",
      .edit_top = 88,
      .buttons_top = 120,
  };
}
}  // namespace

TFrmFR0040CG::TFrmFR0040CG(const LauncherModel& model) : GroupNameDialog(model, RenameLayout()) {}

void TFrmFR0040CG::CreateOwnLabels() {
  ui::LabelArgs before;
  before.parent = PnlMain.hwnd();
  before.bounds = {8, 16, 87, 15};
  before.caption = "現在の業務名";
  before.font = kLabelFont;
  LblBefore.Create(before);

  // Its width follows the name the caller puts in.
  ui::LabelArgs name;
  name.parent = PnlMain.hwnd();
  name.bounds = {16, 40, 0, 15};
  name.font = ui::FontSpec{.face = ui::kFaceMsGothic, .height = 15};
  LblGroupName.Create(name);
}

}  // namespace korvane
