#pragma once
// The new-group dialog (FR0030NG): asks for the name of a group to add.
#include "data/model.h"
#include "groups/name_dialog.h"

namespace korvane {

class TFrmFR0030NG : public GroupNameDialog {
 public:
  // `model`: the groups whose names the new one must not repeat.
  explicit TFrmFR0030NG(const LauncherModel& model);
};

}  // namespace korvane
