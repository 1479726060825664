#pragma once
// The rename dialog (FR0040CG): shows a group's current name and asks for a new one.
// The caller sets LblGroupName's caption and then EdtNewGroup's text to the
// current name; the name box's filter holds back a name with a forbidden
// character (the label still shows it).
#include "data/model.h"
#include "groups/name_dialog.h"
#include "ui/label.h"

namespace korvane {

class TFrmFR0040CG : public GroupNameDialog {
 public:
  // `model`: the groups whose names the new one must not repeat, the group
  // being renamed included.
  explicit TFrmFR0040CG(const LauncherModel& model);

  ui::Label LblBefore;
  ui::Label LblGroupName;

 protected:
  void CreateOwnLabels() override;
};

}  // namespace korvane
