// The new-group dialog (FR0030NG): its labels and its layout.
#include "groups/FR0030NG.h"

namespace korvane {

namespace {
// Client area 312 x 173; the panel's controls in panel coordinates.
GroupNameDialog::Layout NewGroupLayout() {
  return {
      .class_name = "TFrmFR0030NG",
      .caption = "業務名の新規追加",
      .font = ui::FontSpec{.face = ui::kFaceMsUiGothic, .height = 15},
      .help_context = kNewGroupHelpContext,
      .caption_label = {8, 40, 129, 15},
      .caption_font = std::nullopt,
      .caption_text = "新規追加する業務名",
      .edit_top = 64,
      .buttons_top = 112,
  };
}
}  // namespace

TFrmFR0030NG::TFrmFR0030NG(const LauncherModel& model) : GroupNameDialog(model, NewGroupLayout()) {}

}  // namespace korvane
