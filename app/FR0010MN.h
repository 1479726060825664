#pragma once
// The main window.
#include "ui/window.h"

namespace korvane {

inline constexpr const char* kMainClass = "TFrmFR0010MN";
inline constexpr const char* kMainTitle = "Korvane";

class TFrmFR0010MN : public ui::Window {
 public:
  bool Create();

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace korvane
