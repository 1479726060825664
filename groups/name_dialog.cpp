#include "groups/name_dialog.h"

#include "common/FN0010GF.h"
#include "common/dialog_place.h"
#include "common/name_rules.h"
#include "data/groupfiles.h"
#include "data/os.h"

namespace korvane {

GroupNameDialog::GroupNameDialog(const LauncherModel& model, const Layout& layout)
    : model_(model), layout_(layout), data_folder_(os::ExeFolder()) {}

// The window goes while the whole object still stands, so no message of its
// end reaches a member that is already gone.
GroupNameDialog::~GroupNameDialog() { Destroy(); }

bool GroupNameDialog::Create(HWND owner) {
  ui::FormArgs args;
  args.class_name = layout_.class_name;
  args.caption = layout_.caption;
  args.kind = ui::FormKind::Dialog;
  args.close_box = false;
  args.bounds = {0, 0, 312, 173};
  args.client_size = true;
  args.font = layout_.font;
  args.help_context = layout_.help_context;
  args.owner = owner;
  return ui::Form::Create(args) && EdtNewGroup.hwnd() && BtnOK.hwnd() && BtnCancel.hwnd();
}

void GroupNameDialog::CreateControls() {
  ui::PanelArgs panel;
  panel.parent = hwnd();
  panel.bounds = {8, 8, 297, 153};
  panel.outer = ui::BevelCut::Lowered;
  panel.inner = ui::BevelCut::Raised;
  if (!PnlMain.Create(panel)) return;

  CreateOwnLabels();
  ui::LabelArgs caption;
  caption.parent = PnlMain.hwnd();
  caption.bounds = layout_.caption_label;
  caption.caption = layout_.caption_text;
  caption.font = layout_.caption_font;
  LblCaption.Create(caption);

  ui::EditArgs edit;
  edit.parent = PnlMain.hwnd();
  edit.bounds = {8, layout_.edit_top, 281, 23};
  edit.font = ui::FontSpec{.face = ui::kFaceMsGothic, .height = 15};
  edit.max_units = kGroupNameMaxBytes;
  edit.ime_hiragana = true;
  edit.auto_select = true;
  if (!EdtNewGroup.Create(edit)) return;
  EdtNewGroup.on_enter = [this] { EdtNewGroupEnter(); };
  EdtNewGroup.on_change = [this] { EdtNewGroupChange(); };

  const ui::FontSpec button_font{.face = ui::kFaceMsPGothic, .height = 12};
  ui::ButtonArgs ok;
  ok.parent = PnlMain.hwnd();
  ok.bounds = {128, layout_.buttons_top, 75, 25};
  ok.caption = "OK";
  ok.font = button_font;
  ok.is_default = true;
  if (!BtnOK.Create(ok)) return;
  BtnOK.on_click = [this] { BtnOKClick(); };

  // Not the cancel button of the form: Escape does nothing here.
  ui::ButtonArgs cancel;
  cancel.parent = PnlMain.hwnd();
  cancel.bounds = {214, layout_.buttons_top, 75, 25};
  cancel.caption = "ｷｬﾝｾﾙ";
  cancel.font = button_font;
  if (!BtnCancel.Create(cancel)) return;
  BtnCancel.on_click = [this] { BtnCancelClick(); };

  ui::SetTabOrder({EdtNewGroup.hwnd(), BtnOK.hwnd(), BtnCancel.hwnd()});
}

void GroupNameDialog::FormCreate() {
  ResultName.clear();
  Accepted = false;
  CentreOverOwner(hwnd(), GetWindow(hwnd(), GW_OWNER));
}

// The first refused change falls back to the text the box held on entry.
void GroupNameDialog::EdtNewGroupEnter() { RememberText(EdtNewGroup.hwnd()); }

// Runs on every change, also the caller's filling in of the current name and
// the filter's own putting back of the last good text (which passes).
void GroupNameDialog::EdtNewGroupChange() { FilterInput(EdtNewGroup.hwnd(), kForbiddenNameChars, false); }

void GroupNameDialog::BtnOKClick() {
  const std::string name = EdtNewGroup.Text();
  // Trimming only decides emptiness: the name is compared and kept with its
  // blanks.
  if (IsBlankName(name)) return Refuse(kMsgNoName);
  if (model_.FindGroup(name) >= 0) return Refuse(kMsgNameExists);
  // Names whose files Windows could not write would stop every later save
  // at this group.
  if (IsReservedDeviceName(name)) return Refuse(kMsgReservedName);
  if (HasControlByte(name)) return Refuse(kMsgControlByte);
  if (!GroupFileFits(data_folder_, name)) return Refuse(kMsgPathTooLong);
  ResultName = name;
  Accepted = true;
  EndModal(ui::kModalOk);
}

void GroupNameDialog::BtnCancelClick() {
  ResultName.clear();
  Accepted = false;
  EndModal(ui::kModalCancel);
}

void GroupNameDialog::Refuse(const char* message) {
  ShowInformation(message);
  FocusControl(EdtNewGroup.hwnd());
}

}  // namespace korvane
