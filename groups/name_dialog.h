#pragma once
// What the new-group dialog and the rename dialog share: a panel with the
// name box and the two buttons, the filter that keeps the characters a file
// name cannot hold out of the box while it is typed in, the checks of OK and
// the two results. The two dialogs differ only in their layout.
//
// Use: construct with the model whose names a new name must not repeat,
// Create (runs FormCreate: results cleared, dialog centred over its owner),
// for the rename dialog set LblGroupName's caption and then EdtNewGroup's
// text, ShowModal, read Accepted and ResultName, let the object go.
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "data/model.h"
#include "ui/button.h"
#include "ui/edit.h"
#include "ui/font.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/panel.h"

namespace korvane {

// A group name becomes the base name of its file: these eleven single-byte
// characters never get into the name box. Their full-width look-alikes
// (full-width colon and the like) are ordinary characters.
inline constexpr std::string_view kForbiddenNameChars = "\\/:;,*?\"<>|";
// Longest group name, in units (common/text.h).
inline constexpr std::size_t kGroupNameMaxBytes = 30;

// Help topics of the two dialogs (F1).
inline constexpr DWORD kNewGroupHelpContext = 12;
inline constexpr DWORD kRenameGroupHelpContext = 13;

// Refusals of OK, in the order they are checked.
inline constexpr const char kMsgNoName[] = "入力が行われていません。";
inline constexpr const char kMsgNameExists[] = "指定された業務名はすでに存在しています。";
inline constexpr const char kMsgReservedName[] =
    "指定された業務名は Windows が装置名として予約しているため、ファイル名に使用できません。\r\n"
    "別の業務名を入力してください。";
inline constexpr const char kMsgPathTooLong[] =
    "指定された業務名ではファイルのパスが長すぎるため、ファイル名に使用できません。\r\n"
    "短い業務名を入力してください。";
inline constexpr const char kMsgControlByte[] =
    "指定された業務名には制御文字が含まれているため、ファイル名に使用できません。\r\n"
    "別の業務名を入力してください。";

class GroupNameDialog : public ui::Form {
 public:
  // Where the two layouts differ.
  struct Layout {
    const char* class_name;
    const char* caption;
    ui::FontSpec font;
    DWORD help_context;
    ui::Bounds caption_label;                    // LblCaption, in the panel
    std::optional<ui::FontSpec> caption_font;    // default: the form's
    const char* caption_text;
    int edit_top;
    int buttons_top;
  };

  ~GroupNameDialog() override;

  // Creates the dialog (hidden), owned by `owner`, by default the main
  // form. False when a window could not be made.
  bool Create(HWND owner = nullptr);

  // Results, read by the caller after the modal run: Accepted only when OK
  // closed the dialog with a valid name, ResultName that name exactly as
  // typed (not trimmed), empty otherwise.
  bool Accepted = false;
  std::string ResultName;

  // The folder the group's file goes to (by default the exe's): a name
  // whose file would lie beyond the path limit there is refused.
  void SetDataFolder(std::string folder) { data_folder_ = std::move(folder); }

  ui::Panel PnlMain;
  ui::Label LblCaption;
  ui::Edit EdtNewGroup;
  ui::Button BtnOK;
  ui::Button BtnCancel;

 protected:
  GroupNameDialog(const LauncherModel& model, const Layout& layout);

  void CreateControls() override;
  void OnCreate() override { FormCreate(); }
  // Labels of one dialog only, made in the panel before the name box.
  virtual void CreateOwnLabels() {}

 private:
  void FormCreate();
  void EdtNewGroupEnter();
  void EdtNewGroupChange();
  void BtnOKClick();
  void BtnCancelClick();
  // An information box, then the focus back in the name box; the dialog
  // stays open and its text stays as it is.
  void Refuse(const char* message);

  const LauncherModel& model_;
  Layout layout_;
  std::string data_folder_;
};

}  // namespace korvane
