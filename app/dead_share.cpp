// The main window's side of lookups on shares that answer slowly or never:
// closing while a launch is still under way.
#include "app/FR0010MN.h"
#include "common/FN0010GF.h"

namespace korvane {

namespace {
constexpr char kLaunchingQuestion[] = "起動中のファイルがあります。\r\n\r\n終了してもよろしいですか？";
}  // namespace

bool TFrmFR0010MN::ConfirmCloseWhileLaunching() {
  // A launch still under way is never started after the window is gone:
  // the user is told and decides.
  return !work_.Launching() || Confirm(kLaunchingQuestion);
}

}  // namespace korvane
