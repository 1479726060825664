#pragma once
// The main window (FR0010MN): the group list, the entry grid, the toolbar and menus,
// the tray icon. It owns every piece of the program's state for the run and
// the objects that do the work of its handlers: the painter, the entry
// editor, the launcher, the group commander and the work off its thread.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/messages.h"
#include "app/tray.h"
#include "data/history.h"
#include "data/model.h"
#include "data/model_change.h"
#include "data/settings.h"
#include "grid/background.h"
#include "grid/drop.h"
#include "grid/entry_arranger.h"
#include "grid/entry_editor.h"
#include "grid/grid_accessible.h"
#include "grid/launcher.h"
#include "grid/painter.h"
#include "app/folder_sync.h"
#include "app/find.h"
#include "groups/group_commands.h"
#include "groups/group_saver.h"
#include "grid/path_tip.h"
#include "ui/hot_key.h"
#include "ui/com_ref.h"
#include "ui/application.h"
#include "ui/bevel.h"
#include "ui/drawgrid.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/list_box.h"
#include "ui/menu.h"
#include "ui/open_dialog.h"
#include "ui/panel.h"
#include "ui/speed_button.h"
#include "ui/status_bar.h"

namespace korvane {

inline constexpr const char* kMainClass = "TFrmFR0010MN";
inline constexpr const char* kMainTitle = "Korvane";

// Menu item identifiers (the group menu's are the group commander's).
enum MenuId : UINT { kIdSave = 101, kIdExit, kIdShowHelp, kIdAbout, kIdRegistrationMode, kIdLauncherMode };

class TFrmFR0010MN : public ui::Form {
 public:
  TFrmFR0010MN();
  ~TFrmFR0010MN() override;

  // Creates the window; FormCreate runs inside.
  bool Create();
  // When set, called after each step of the window's creation with the
  // step's name: the start-up benchmark times the steps with it.
  static inline void (*on_startup_step)(const char* step) = nullptr;
  // The data folder: the exe's folder (tests may point it elsewhere before
  // Create).
  void SetDataFolder(std::string folder) { data_folder_ = std::move(folder); }
  const std::string& DataFolder() const { return data_folder_; }
  // What the start read of the data folder before the window (the watch,
  // the listing, the settings), taken as the window is made; without it,
  // or for another folder, Create begins that reading itself.
  void SetStartupReading(StartupReading* reading) { reading_ = reading; }
  // The pool the start made (BackgroundWork::MakePool), which outlives the
  // window; without it the window makes its own.
  void SetPool(ui::WorkQueue* pool) { work_.UsePool(pool); }

  // Handlers, named after their component and event.
  void FormCreate();
  // Once the window is up and painted: the toolbar's hints, the tray icon
  // and the drop target (the last two need the shell and OLE, which are
  // loaded after the window shows).
  void FormShown();
  void FormDestroy();
  bool FormCloseQuery();
  void FormResize();
  void FormActivate();
  void AppActivate();
  void MnuSaveClick();
  void MnuExitClick();
  void MnuShowHelpClick();
  void MnuAboutClick();
  void ShowContextHelp(DWORD context);
  // A one-line notice in the status bar (never a box): what a refresh did,
  // a hot key another program holds. It stays until the next change, undo,
  // redo or save, which shows the unsaved state again (ShowUnsavedState).
  void Notice(std::string_view text) { StbInfo.SetText(text); }

  // Grid and group list painting.
  void BuildPalette() { painter_.BuildPalette(); }
  bool PrepareCanvas();
  void ResizeColumns() { editor_.FitColumns(); }
  void DGMainDrawCell(HDC dc, int col, int row, const RECT& rect, ui::CellState state);
  void LBGroupDrawItem(const ui::DrawItemEvent& e);

  // Group selection and menu.
  void LBGroupClick();
  void LBGroupMouseDown(const ui::MouseEvent& e);
  void MnuNewGroupClick();
  void MnuChangeNameClick();
  void MnuDeleteGroupClick();
  // Appends a group to the model and the list; errors go to the warning box.
  void AddGroup(const std::string& name) { groups_.AddGroup(name); }

  // Entry editing and launching.
  void SpbInputClick(bool input_button);
  bool DGMainSelectCell(int col, int row);
  void DGMainDblClick();
  void DGMainKeyDown(WORD key, ui::ShiftState shift);
  void DGMainMouseDown(ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void DGMainMouseUp(ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void DGMainCaptureLost();
  void EdtTitleKeyPress(unsigned& key);
  void EdtTitleExit();
  // An open title edit is committed before save, close and group commands.
  void CommitTitleEdit() {
    editor_.CommitTitleEdit();
    sync_.EditEnded();
  }

  // Files dropped on the grid at a screen point: registered from that row
  // on, or refused with a message.
  void DGMainDropFiles(const std::vector<std::optional<std::string>>& names, POINT screen);
  // The grid's drop target, for the tests.
  IDropTarget* GridDropTarget() const { return drop_target_.get(); }
  // Work off the window's thread: path tests, icons, launches, dropped
  // files.
  void BackgroundAnswers() { work_.Deliver(); }
  // Queues the tests of every untested path of the group at row (of entry
  // only_n alone when not 0); urgent ones go before all others.
  void QueueMarkerTests(std::size_t row, bool urgent, std::size_t only_n = 0) {
    work_.TestPaths(row, urgent, only_n);
  }
  // True while a launch is under way (its test or its shell call runs).
  bool Launching() const { return work_.Launching(); }
  // True while any work off the window's thread is queued or running, or
  // its answers wait.
  bool BackgroundBusy() const { return work_.Busy(); }
  BackgroundWork& Work() { return work_; }

  // State, for the tests and the handlers of other folders.
  LauncherModel& Model() { return model_; }
  int Mode() const { return mode_; }
  bool HiddenInTray() const { return tray_.Hidden(); }
  // The notify-icon record as registered with the shell.
  const NOTIFYICONDATAW& TrayRecord() const { return tray_.Record(); }
  const GridMarks& Marks() const { return marks_; }
  int TargetRow() const { return editor_.TargetRow(); }
  GridPainter& Painter() { return painter_; }

  // Arranging entries, undo and redo, the unsaved state (app/arrange.cpp).
  enum : UINT { kIdUndo = 111, kIdRedo = 112 };
  void MnuUndoClick();
  void MnuRedoClick();
  bool LBGroupKeyDown(WORD key, unsigned shift);
  // Ctrl+Z and Ctrl+Y on the grid and the group list: true when used.
  bool UndoKey(WORD key, unsigned shift);
  // The status bar tells whether changes are unsaved (or were just saved);
  // the edit menu's items name what they would undo and redo.
  void ShowUnsavedState();
  // A save ran: the history ends here.
  void Saved();
  History& Undoer() { return history_; }
  EntryArranger& Arranger() { return arranger_; }
  ui::MenuBar& MainMenu() { return *MnuMain; }
  ui::PopupMenu& GroupMenu() { return *PpmGroup; }
  // Refresh (app/refresh.cpp): the group folder kept in step while the
  // program runs; the start reads the files after the window shows.
  // The folder's watch and its listing come from the start's reading: the
  // watch is taken as the window is made, and the list filled from the
  // listing at its creation's end.
  void WatchFolder();
  FileReport StartFolderSync();
  void StopFolderSync();
  // Before a save or a close: false when it must not go on.
  bool FolderReadyForSave() { return sync_.WaitBeforeSave(); }
  // After a save: the save's problems and the refresh's in one box, the
  // clashes in another.
  void ReportSave(const FileReport& saved);
  FolderSync& Sync() { return sync_; }
  GroupSaver& Saver() { return saver_; }
  // Find: the find box over every group's entries, the system-wide hot key
  // that brings the window forward with it (app/find.h), the full path as a
  // tooltip over the grid.
  static constexpr UINT kIdFind = 121;
  // Opens the find box (again) over the window, its text box focused.
  void OpenFind() { find_.Open(); }
  FindBox& Finder() { return find_.Box(); }
  const ui::SystemHotKey& FindHotKey() const { return find_.HotKey(); }
  const PathTip& PathTips() const { return path_tip_; }
  GridAccessible& GridAccess() { return grid_access_; }
  ui::SpeedButton SpbFind;
  ui::Bevel BvlC;
  // Dead share: closing while a launch is under way asks first.
  bool ConfirmCloseWhileLaunching();

  ui::Panel PnlTop;
  ui::SpeedButton SpbSave, SpbExit, SpbInput, SpbRun;
  ui::Bevel BvlA, BvlB;
  ui::Label LblDummy;
  ui::StatusBar StbInfo;
  ui::ListBox LBGroup;
  ui::DrawGrid DGMain;
  ui::Edit EdtTitle;
  ui::OpenFileDialog OpdPath;

 protected:
  void CreateControls() override;
  void OnCreate() override;
  void OnDestroy() override;
  bool OnCloseQuery() override;
  void OnResize() override;
  void OnActivate() override;
  HPALETTE Palette() override;
  void OnEndSession(bool ending) override;
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void CreateMenus();
  // A menu of the menu bar opens: its items enabled and checked as things stand.
  void MenusOpening();
  void CreateToolbar();
  void CreateHiddenLabel();
  void FitToWorkArea();
  void ApplySettings();
  // Every problem in one warning box (the first ten, then how many more).
  void ShowWarnings(const std::vector<std::string>& messages);
  void RegisterDropTarget();
  void ReleaseDropTarget();
  // The settings, written at the end (in the pool, within a save's limit).
  void SaveSettingsAtEnd();

  std::string data_folder_;
  StartupReading* reading_ = nullptr;   // until the window is made
  std::unique_ptr<StartupReading> own_reading_;
  // The settings read before the window was made: its bounds come from
  // them, and ApplySettings takes them.
  std::optional<LoadedSettings> settings_ahead_;
  LauncherModel model_;
  // Every change of the model, announced once (SetUpArranging subscribes
  // what follows it).
  ModelEvents changes_;
  GridPainter painter_;
  GridMarks marks_;  // PressedRow, EditRow, TitleEditing
  int mode_ = 0;
  bool destroyed_ = false;
  ui::ComRef<FileDropTarget> drop_target_;
  DropRegistration drop_registration_;
  ui::Application* hooked_app_ = nullptr;  // holds our filter and activation handler
  TrayIcon tray_{*this};
  std::unique_ptr<ui::MenuBar> MnuMain;
  std::unique_ptr<ui::PopupMenu> PpmGroup;
  // The objects its handlers call; they hold references to the members
  // above, which outlive them.
  BackgroundWork work_{model_, painter_.Icons(), DGMain};
  EntryEditor editor_{{*this, model_, history_, DGMain, EdtTitle, OpdPath, marks_, work_, mode_,
                       [this](std::string_view text) { Notice(text); }}};
  Launcher launcher_{*this, model_, DGMain, marks_, work_};
  GroupCommander groups_{{*this, model_, history_, LBGroup, DGMain, data_folder_, [this] { CommitTitleEdit(); },
                           [this](std::size_t row) { changes_.Announce({ModelChange::Kind::Selected, {row}, {}}); },
                           [this](std::size_t row) { work_.GroupRenamed(row); },
                           [this](std::string_view text) { Notice(text); }}};
  // Arranging entries, undo and redo (app/arrange.cpp). The editor and the
  // group commander above hold the history by reference.
  void SetUpArranging();
  History history_{model_};
  bool saved_ = false;  // a save left nothing unsaved in this run
  EntryArranger arranger_{{*this, model_, history_, DGMain, LBGroup, mode_, [this] { CommitTitleEdit(); },
                           [this] { editor_.ClearCurrentCell(); },
                           [this](std::size_t row) { work_.TestPaths(row, true); },
                           [this](const std::vector<std::optional<std::string>>& names, int row, bool typed) {
                             editor_.PasteFiles(names, row, typed);
                           },
                           [this](std::string_view text) { Notice(text); }}};
  // Saving, off the window's thread.
  GroupSaver saver_{{model_, data_folder_,
                     [this](ui::WorkQueue::Job job, ui::WorkQueue::Options options) {
                       options.priority = BackgroundWork::kUserWaits;
                       return work_.Post(std::move(job), std::move(options));
                     },
                     [this](std::string_view text) { Notice(text); }, [this] { ShowUnsavedState(); },
                     [this](const std::vector<std::string>& messages) { ShowWarnings(messages); },
                     [this](const FileReport& report) {
                       ReportSave(report);
                       Saved();
                       sync_.SaveEnded();
                     }}};
  bool closing_ = false;  // the close query runs
  // Refresh: the start's reads and the refreshes after changes elsewhere.
  FolderSync sync_{{model_, LBGroup, DGMain, data_folder_,
                     [this](const std::string& key, Callback<FolderSync::Answer()> job) {
                       work_.Run(key, std::move(job));
                     },
                     [this](std::size_t row, bool urgent) { work_.TestPaths(row, urgent); },
                     [this](std::string_view text) { Notice(text); },
                     [this](const std::vector<std::string>& messages) { ShowWarnings(messages); }}};
  // Find: a found entry shown in the grid, as a click on its group.
  void FindShow(std::size_t group, std::size_t n);
  WindowFind find_{{*this, model_, painter_.Icons(), work_, tray_, mode_,
                    [this](std::size_t group, std::size_t n) { launcher_.LaunchEntry(group, n); },
                    [this](std::size_t group, std::size_t n) { FindShow(group, n); }, [this] { CommitTitleEdit(); },
                    [this](std::string_view text) { Notice(text); }}};
  PathTip path_tip_{model_, DGMain, painter_, mode_};
  // What a screen reader reads of the grid; Changed() after whatever may
  // change what the grid shows.
  GridAccessible grid_access_{{model_, DGMain, mode_, data_folder_, [this](int row) {
                                 work_.Send([this, row] { launcher_.LaunchRow(row); });
                               }}};
};

}  // namespace korvane
