// Registration by dropping files on the grid: a file dropped on an entry's
// row sets that entry as the open-file dialog would; several fill that row
// and the rows without a path after it.
#include "app/FR0010MN.h"
#include "common/FN0010GF.h"
#include "data/ini.h"
#include "data/os.h"
#include "data/settings.h"

namespace korvane {

namespace {
constexpr char kDropNeedsRegistration[] = "ファイルの登録は登録モードで行ってください。";
constexpr char kDropNeedsGroup[] = "業務名を選択してから、ファイルをドロップしてください。";
constexpr char kDropOnARow[] = "ファイルは登録する行の上にドロップしてください。";
constexpr char kDropBadName[] = "ファイル名に使えない文字が含まれているため、登録できません。";
constexpr char kDropTooLong[] = "ファイル名が長すぎるため、登録できません。";
constexpr char kDropFolder[] = "フォルダーは登録できません。ファイルをドロップしてください。";
constexpr char kDropNoRoom[] = "空いている行がないため、次のファイルは登録されませんでした。\r\n\r\n";
constexpr std::size_t kNamesShown = 10;
}  // namespace

void TFrmFR0010MN::RegisterDropTarget() {
  drop_target_ = FileDropTarget::Make();
  drop_target_->accepts = [this](POINT screen) {
    return mode_ == kModeRegistration && model_.Current() && DropRow(screen) >= 1;
  };
  // Handled once the drag is over: a box shown inside Drop would hold the
  // program the files came from until it is closed.
  drop_target_->dropped = [this](const std::vector<std::optional<std::string>>& names, POINT screen) {
    pending_drop_ = names;
    pending_drop_at_ = screen;
    PostMessageA(hwnd(), kDropMessage, 0, 0);
  };
  SetMessageHandler(kDropMessage, [this](WPARAM, LPARAM, LRESULT& result) {
    std::vector<std::optional<std::string>> names;
    names.swap(pending_drop_);
    if (!names.empty()) DGMainDropFiles(names, pending_drop_at_);
    result = 0;
    return true;
  });
  drop_registration_.Register(DGMain.hwnd(), drop_target_);
}

void TFrmFR0010MN::ReleaseDropTarget() {
  drop_registration_.Revoke();
  if (!drop_target_) return;
  drop_target_->accepts = nullptr;
  drop_target_->dropped = nullptr;
  drop_target_->Release();
  drop_target_ = nullptr;
}

int TFrmFR0010MN::DropRow(POINT screen) {
  POINT pt = screen;
  ScreenToClient(DGMain.hwnd(), &pt);
  RECT client{};
  GetClientRect(DGMain.hwnd(), &client);
  if (!PtInRect(&client, pt)) return -1;
  // The row at the pointer's height, wherever across it (the launch button
  // too), found as a press on the button finds it.
  return DGMain.MouseToCell(DGMain.ColWidth(0) + 1, pt.y).row;
}

void TFrmFR0010MN::DGMainDropFiles(const std::vector<std::optional<std::string>>& names, POINT screen) {
  CommitTitleEdit();
  if (mode_ != kModeRegistration) return ShowInformation(kDropNeedsRegistration);
  if (!model_.Current()) return ShowInformation(kDropNeedsGroup);
  const int row = DropRow(screen);
  if (row < 1) return ShowInformation(kDropOnARow);
  for (const std::optional<std::string>& name : names) {
    if (!name) return ShowInformation(kDropBadName);
    if (name->size() > kIniValueLimit) return ShowInformation(kDropTooLong);
    if (os::PathExists(*name) && !os::FileExists(*name)) return ShowInformation(kDropFolder);
  }
  const std::size_t count = model_.EntryCount();
  std::size_t n = static_cast<std::size_t>(row);
  std::vector<std::string> left;
  for (std::size_t i = 0; i < names.size(); ++i) {
    // The first goes where it was dropped; the others only to rows
    // without a path.
    if (i > 0) {
      for (++n; n <= count && !model_.Current()->EntryAt(n)->path.empty();) ++n;
    }
    if (n > count) {
      left.push_back(*names[i]);
      continue;
    }
    model_.SetPath(n, *names[i]);
  }
  DGMain.Repaint();
  if (left.empty()) return;
  std::string text = kDropNoRoom;
  for (std::size_t i = 0; i < left.size() && i < kNamesShown; ++i) text += left[i] + "\r\n";
  if (left.size() > kNamesShown) text += "ほか " + std::to_string(left.size() - kNamesShown) + " 件\r\n";
  ShowInformation(text);
}

}  // namespace korvane
