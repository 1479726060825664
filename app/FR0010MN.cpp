// The main window (FR0010MN): its creation, layout, settings, close query,
// Save and Help; app/handlers.cpp binds the rest of its handlers to the
// objects of grid/ and groups/.
#include "app/FR0010MN.h"

#include "common/FN0010GF.h"
#include "common/seam.h"
#include "data/groupfiles.h"
#include "data/os.h"
#include "data/settings.h"
#include "ui/application.h"
#include "ui/image.h"

namespace korvane {

namespace {

constexpr char kLaunchingQuestion[] = "起動中のファイルがあります。\r\n\r\n終了してもよろしいですか？";
constexpr char kCloseQuestion[] = "変更は保存されていません。\r\n\r\n終了してもよろしいですか？";
constexpr int kHelpContextGrid = 5;

BOOL CALLBACK MeetsWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM rect_ptr) {
  auto* rect = reinterpret_cast<RECT*>(rect_ptr);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  RECT common{};
  if (GetMonitorInfoW(monitor, &info) && IntersectRect(&common, &info.rcWork, rect)) {
    SetRectEmpty(rect);  // found: the search stops
    return FALSE;
  }
  return TRUE;
}

// True when some part of the window lies on some monitor's work area.
bool OnSomeWorkArea(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  if (IsRectEmpty(&r)) return false;
  EnumDisplayMonitors(nullptr, nullptr, &MeetsWorkArea, reinterpret_cast<LPARAM>(&r));
  return IsRectEmpty(&r) != FALSE;
}

void Step(const char* name) {
  if (TFrmFR0010MN::on_startup_step) TFrmFR0010MN::on_startup_step(name);
}

ui::FontSpec Gothic(int height) {
  ui::FontSpec f;
  f.face = ui::kFaceMsGothic;
  f.height = height;
  return f;
}

}  // namespace

TFrmFR0010MN::TFrmFR0010MN() : data_folder_(os::ExeFolder()) {}

TFrmFR0010MN::~TFrmFR0010MN() {
  // The window goes before the members it paints from.
  if (hwnd()) DestroyWindow(hwnd());
  ReleaseDropTarget();
  // The application object may outlive this window: its filter and
  // activation handler must not call into it any more.
  if (hooked_app_ && ui::Application::Current() == hooked_app_) {
    hooked_app_->on_message = nullptr;
    hooked_app_->on_activate = nullptr;
  }
}

bool TFrmFR0010MN::Create() {
  // An exception that escapes a handler is told in the program's warning box.
  ui::SetExceptionReporter([](const std::string& what) { ShowWarning(what); });
  ui::FormArgs args;
  args.class_name = kMainClass;
  args.caption = kMainTitle;
  args.kind = ui::FormKind::Sizeable;
  args.bounds = ui::Bounds{195, 108, 730, 479};
  // Without the start's reading of this folder, the window begins its own.
  if (!reading_ || reading_->folder() != data_folder_) {
    own_reading_ = std::make_unique<StartupReading>(data_folder_);
    reading_ = own_reading_.get();
  }
  // Made where the settings put it: its controls are laid out once.
  settings_ahead_ = reading_->TakeSettings();
  if (settings_ahead_ && settings_ahead_->placement_valid) {
    const WindowPlacement& p = settings_ahead_->placement;
    args.bounds = ui::Bounds{p.left, p.top, p.width, p.height};
  }
  args.font.face = ui::kFaceMsPGothic;
  args.font.height = 12;
  return Form::Create(args);
}

void TFrmFR0010MN::OnCreate() { FormCreate(); }
void TFrmFR0010MN::OnDestroy() { FormDestroy(); }
bool TFrmFR0010MN::OnCloseQuery() { return FormCloseQuery(); }
void TFrmFR0010MN::OnResize() { FormResize(); }
void TFrmFR0010MN::OnActivate() { FormActivate(); }
HPALETTE TFrmFR0010MN::Palette() { return painter_.palette(); }

void TFrmFR0010MN::OnEndSession(bool ending) {
  // Windows ends the session: the steps of the program's end run now, since
  // the process may be ended before the window is destroyed.
  if (ending) FormDestroy();
}

LRESULT TFrmFR0010MN::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case kTrayMessage:
      tray_.Notify(lp);
      return 0;
    case kBackgroundMessage:
      work_.Deliver();
      find_.IconsMayHaveCome();
      grid_access_.Changed();  // markers that came
      return 0;
    case WM_HOTKEY:
      find_.HotKeyPressed(wp);
      return 0;
    case WM_INITMENUPOPUP:
      if (MnuMain && HIWORD(lp) == 0) MenusOpening();
      break;
    case WM_SYSCOMMAND:
      if (tray_.SysCommand(wp)) return 0;
      break;
    default:
      break;
  }
  return Form::HandleMessage(msg, wp, lp);
}

void TFrmFR0010MN::CreateControls() {
  Step("window");
  work_.Start(hwnd(), kBackgroundMessage);
  WatchFolder();
  Step("folder watch");
  // The menu bar first: setting it changes the window's frame, which is
  // cheaper before there are children to lay out again.
  CreateMenus();
  Step("menus");
  CreateToolbar();
  Step("toolbar");

  // The four big children get their places from the aligned layout below.
  StbInfo.Create(ui::StatusBarArgs{hwnd(), ui::Bounds{}, true});

  ui::ListBoxArgs lb;
  lb.parent = hwnd();
  lb.item_height = 15;
  lb.font = Gothic(21);
  lb.help_context = kHelpContextGrid;
  // Rows by number: the names are drawn from the model, so a thousand
  // groups fill the list in one step.
  lb.no_data = true;
  lb.name = "業務名";
  LBGroup.Create(lb);
  LBGroup.item_text = [this](int row) {
    return row >= 0 && static_cast<std::size_t>(row) < model_.GroupCount()
               ? model_.GroupAt(static_cast<std::size_t>(row)).name
               : std::string();
  };
  LBGroup.on_click = [this] { LBGroupClick(); };
  LBGroup.on_draw_item = [this](const ui::DrawItemEvent& e) { LBGroupDrawItem(e); };
  LBGroup.on_mouse_down = [this](const ui::MouseEvent& e) { LBGroupMouseDown(e); };
  Step("status bar, group list");

  ui::DrawGridArgs dg;
  dg.parent = hwnd();
  dg.col_count = 3;
  dg.row_count = 21;
  dg.fixed_cols = 1;
  dg.fixed_rows = 1;
  dg.default_col_width = 120;
  dg.default_row_height = 40;
  dg.line_width = 1;
  dg.enabled = false;
  DGMain.Create(dg);
  DGMain.SetMinColumnWidth(30);
  DGMain.SetColors(RGB(0, 0, 0), RGB(0, 0, 0), GetSysColor(COLOR_WINDOW));
  {
    ui::UniqueFont font = ui::MakeFont(Gothic(15));
    DGMain.SetFont(font.get());
  }
  ui::SetHelpContext(DGMain.hwnd(), kHelpContextGrid);
  DGMain.on_draw_cell = [this](HDC dc, int c, int r, const RECT& rect, ui::CellState s) {
    DGMainDrawCell(dc, c, r, rect, s);
  };
  DGMain.on_select_cell = [this](int c, int r) { return DGMainSelectCell(c, r); };
  DGMain.on_dbl_click = [this] { DGMainDblClick(); };
  DGMain.on_key_down = [this](WORD key, ui::ShiftState shift) { DGMainKeyDown(key, shift); };
  DGMain.on_mouse_down = [this](ui::MouseButton b, ui::ShiftState s, int x, int y) { DGMainMouseDown(b, s, x, y); };
  DGMain.on_mouse_up = [this](ui::MouseButton b, ui::ShiftState s, int x, int y) { DGMainMouseUp(b, s, x, y); };
  DGMain.on_capture_lost = [this] { DGMainCaptureLost(); };
  Step("grid");

  ui::EditArgs ed;
  ed.parent = hwnd();
  ed.bounds = ui::Bounds{8, 8, 121, 20};
  ed.font = Gothic(15);
  ed.border = false;
  ed.ime_hiragana = true;
  ed.visible = false;
  EdtTitle.Create(ed);
  EdtTitle.on_exit = [this] { EdtTitleExit(); };
  EdtTitle.on_key_press = [this](unsigned& key) { EdtTitleKeyPress(key); };

  OpdPath.filter = "すべてのファイル(*.*)|*.*";
  OpdPath.run = [](OPENFILENAMEW& ofn) { return Seam().RunOpenFileDialog(ofn); };
  OpdPath.options = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_SHAREAWARE | OFN_ENABLESIZING;

  SetAlignedLayout({{PnlTop.hwnd(), ui::Align::Top, 57},
                    {StbInfo.hwnd(), ui::Align::Bottom, 19},
                    {LBGroup.hwnd(), ui::Align::Left, 265},
                    {DGMain.hwnd(), ui::Align::Client, 0}});
  // Tab order: the group list, the title editor, the grid, then the rest.
  ui::SetTabOrder({LBGroup.hwnd(), EdtTitle.hwnd(), DGMain.hwnd(), StbInfo.hwnd(), PnlTop.hwnd()});
  Step("title editor, layout");
  painter_.LoadPictures();
  Step("pictures");
}

void TFrmFR0010MN::CreateToolbar() {
  ui::PanelArgs pa;
  pa.parent = hwnd();
  pa.outer = ui::BevelCut::Lowered;
  pa.inner = ui::BevelCut::Raised;
  PnlTop.Create(pa);
  const HWND top = PnlTop.hwnd();

  struct ButtonRow {
    ui::SpeedButton* button;
    const char* name;  // the menu's word for it
    int left;
    const wchar_t* glyph;
    int pictures;
    int group;
    Callback<void()> click;
  };
  const ButtonRow rows[] = {
      {&SpbSave, "保存", 8, L"SPBSAVE", 2, 0, [this] { MnuSaveClick(); }},
      {&SpbExit, "終了", 72, L"SPBEXIT", 2, 0, [this] { MnuExitClick(); }},
      {&SpbInput, "登録モード", 136, L"SPBINPUT", 1, 1, [this] { SpbInputClick(true); }},
      {&SpbRun, "ランチャーモード", 176, L"SPBRUN", 1, 1, [this] { SpbInputClick(false); }},
      {&SpbFind, "検索", 240, L"SPBFIND", 2, 0, [this] { find_.Open(); }},
  };
  for (const ButtonRow& row : rows) {
    ui::SpeedButtonArgs sa;
    sa.parent = top;
    sa.bounds = ui::Bounds{row.left, 8, 41, 41};
    sa.group_index = row.group;
    sa.down = row.button == &SpbInput;
    sa.name = row.name;
    row.button->Create(sa);
    row.button->SetGlyph(ui::LoadPicture(row.glyph), row.pictures);
    row.button->on_click = row.click;
  }
  BvlA.Create(ui::BevelArgs{top, ui::Bounds{59, 8, 3, 42}, ui::BevelCut::Lowered, true});
  BvlB.Create(ui::BevelArgs{top, ui::Bounds{123, 7, 3, 42}, ui::BevelCut::Lowered, true});
  BvlC.Create(ui::BevelArgs{top, ui::Bounds{227, 7, 3, 42}, ui::BevelCut::Lowered, true});
}

// The toolbar's hidden label, whose font the painting uses: it is never
// seen, so it is made once the window shows.
void TFrmFR0010MN::CreateHiddenLabel() {
  ui::LabelArgs la;
  la.parent = PnlTop.hwnd();
  la.bounds = ui::Bounds{224, 8, 0, 0};
  la.caption = "LblDummy";
  la.font = Gothic(15);
  la.visible = false;
  LblDummy.Create(la);
}

void TFrmFR0010MN::CreateMenus() {
  // The keys of the edit and group items are the grid's and the group
  // list's own (shown after a tab, not accelerators): in the title editor
  // Ctrl+X, C, V and Delete stay the edit box's.
  const auto keyed = [](const char* caption, const char* key) { return std::string(caption) + "\t" + key; };
  MnuMain = std::make_unique<ui::MenuBar>(std::vector<ui::MenuItem>{
      {0, "ﾌｧｲﾙ(&F)", {}, nullptr,
       {{kIdFind, "検索(&F)", ui::Ctrl('F'), [this] { find_.Open(); }, {}},
        {kIdSave, "保存(&V)", ui::Ctrl('S'), [this] { MnuSaveClick(); }, {}},
        {0, ui::kSeparator, {}, nullptr, {}},
        {kIdExit, "終了(&X)", {}, [this] { MnuExitClick(); }, {}}}},
      {0, "編集(&E)", {}, nullptr,
       {{kIdUndo, keyed(kUndoCaption, "Ctrl+Z"), {}, [this] { MnuUndoClick(); }, {}},
        {kIdRedo, keyed(kRedoCaption, "Ctrl+Y"), {}, [this] { MnuRedoClick(); }, {}},
        {0, ui::kSeparator, {}, nullptr, {}},
        {kIdCut, keyed("切り取り(&T)", "Ctrl+X"), {}, [this] { arranger_.Cut(); }, {}},
        {kIdCopy, keyed("コピー(&C)", "Ctrl+C"), {}, [this] { arranger_.Copy(); }, {}},
        {kIdPaste, keyed("貼り付け(&P)", "Ctrl+V"), {}, [this] { arranger_.Paste(); }, {}},
        {0, ui::kSeparator, {}, nullptr, {}},
        {kIdDeleteWhole, keyed("エントリの削除(&D)", "Ctrl+Del"), {}, [this] { arranger_.DeleteEntry(); }, {}}}},
      {0, "業務(&G)", {}, nullptr,
       {{kIdNewGroup, keyed("新規業務名作成(&N)", "Ins"), {}, [this] { MnuNewGroupClick(); }, {}},
        {kIdChangeName, keyed("業務名称変更(&R)", "F2"), {}, [this] { MnuChangeNameClick(); }, {}},
        {kIdDeleteGroup, keyed("業務名削除(&D)", "Del"), {}, [this] { MnuDeleteGroupClick(); }, {}}}},
      {0, "ﾓｰﾄﾞ(&M)", {}, nullptr,
       {{kIdRegistrationMode, "登録モード(&I)", ui::Ctrl('1'), [this] { SpbInputClick(true); }, {}},
        {kIdLauncherMode, "ランチャーモード(&L)", ui::Ctrl('2'), [this] { SpbInputClick(false); }, {}}}},
      {0, "ﾍﾙﾌﾟ(&H)", {}, nullptr,
       {{kIdShowHelp, "ﾍﾙﾌﾟ(&H)", {}, [this] { MnuShowHelpClick(); }, {}},
        {0, ui::kSeparator, {}, nullptr, {}},
        {kIdAbout, "ﾊﾞｰｼﾞｮﾝ情報(&A)", {}, [this] { MnuAboutClick(); }, {}}}},
  });
  SetMainMenu(MnuMain.get());
  PpmGroup = std::make_unique<ui::PopupMenu>(std::vector<ui::MenuItem>{
      {kIdNewGroup, "新規業務名作成(&N)", ui::Shortcut{0, VK_INSERT}, [this] { MnuNewGroupClick(); }, {}},
      {kIdChangeName, "業務名称変更(&R)", ui::Shortcut{0, VK_F2}, [this] { MnuChangeNameClick(); }, {}},
      {kIdDeleteGroup, "業務名削除(&D)", ui::Shortcut{0, VK_DELETE}, [this] { MnuDeleteGroupClick(); }, {}},
  });
}

void TFrmFR0010MN::MenusOpening() {
  // The edit and group items as the current row and group allow.
  arranger_.EnableItems(*MnuMain);
  const bool selected = LBGroup.ItemIndex() >= 0;
  MnuMain->SetEnabled(kIdChangeName, selected);
  MnuMain->SetEnabled(kIdDeleteGroup, selected);
  CheckMenuRadioItem(MnuMain->handle(), kIdRegistrationMode, kIdLauncherMode,
                     mode_ == kModeRegistration ? kIdRegistrationMode : kIdLauncherMode, MF_BYCOMMAND);
}

void TFrmFR0010MN::FormCreate() {
  marks_ = GridMarks{};
  model_.ClearModified();
  painter_.FreeCanvas();
  SendMessageW(LBGroup.hwnd(), LB_SETITEMHEIGHT, 0, DGMain.DefaultRowHeight() + DGMain.GridLineWidth());
  SetCaption(kMainTitle);
  // Before the settings: a notice they give (a hot key held elsewhere)
  // stays until the first change.
  SetUpArranging();
  ApplySettings();
  Step("settings");
  ui::Application* app = ui::Application::Current();
  if (app) {
    app->on_message = [this](MSG& msg) { return tray_.AppMessageFilter(msg); };
    app->on_activate = [this] { AppActivate(); };
    hooked_app_ = app;
  }
  DGMain.SetColWidth(0, 40);
  ResizeColumns();
  EdtTitle.SetFont(Gothic(15));
  EdtTitle.SetMaxUnits(kTitleMaxBytes);
  BuildPalette();
  Step("columns, palette");
  work_.SetExeFolder(data_folder_);
  painter_.on_icon_wanted = [this](const std::string& path) { work_.WantIcon(path); };
  // The names now, the files off the window's thread once it shows.
  const FileReport load = StartFolderSync();
  Step("group files");
  Step("group list");
  if (!load.ok) {
    ShowWarnings(load.messages);
    if (app) app->RequestEnd();
    return;
  }
  if (!PrepareCanvas()) {
    if (app) app->RequestEnd();
    return;
  }
  Step("off-screen bitmap");
  // Once the messages waiting now are handled: the first paint.
  work_.Send([this] { FormShown(); });
}

// The toolbar buttons' hints, set once the window shows.
constexpr std::pair<ui::SpeedButton TFrmFR0010MN::*, const char*> kButtonHints[] = {
    {&TFrmFR0010MN::SpbSave, "保存"},          {&TFrmFR0010MN::SpbExit, "終了"},
    {&TFrmFR0010MN::SpbInput, "登録モード"},   {&TFrmFR0010MN::SpbRun, "ランチャーモード"},
    {&TFrmFR0010MN::SpbFind, "検索"},
};

void TFrmFR0010MN::FormShown() {
  if (destroyed_) return;
  // The user sees the window painted first.
  if (IsWindowVisible(hwnd())) RedrawWindow(hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  Step("first paint");
  // The buttons' hints: their tooltip is a window of its own.
  for (const auto& [button, hint] : kButtonHints) (this->*button).SetHint(hint);
  if (!LblDummy.hwnd()) CreateHiddenLabel();
  path_tip_.Attach();
  Step("hints");
  tray_.Add();
  Step("tray icon");
  RegisterDropTarget();
  Step("drop target");
}

void TFrmFR0010MN::ApplySettings() {
  const LoadedSettings s = settings_ahead_ ? *settings_ahead_ : LoadSettings(data_folder_);
  settings_ahead_.reset();
  mode_ = s.mode;
  find_.Start(s);
  if (mode_ == kModeRegistration) SpbInput.SetDown(true);
  else SpbRun.SetDown(true);
  if (!s.placement_valid) {
    FitToWorkArea();
    return;
  }
  // Applied as stored, partly off the screen too, in one move so the
  // controls are laid out once; a window the system's clamps still leave
  // outside every monitor's work area (a settings file from a PC with
  // another monitor) would never be seen, so it goes where a first start
  // puts it.
  SetBounds(ui::Bounds{s.placement.left, s.placement.top, s.placement.width, s.placement.height});
  if (!OnSomeWorkArea(hwnd())) FitToWorkArea();
}

void TFrmFR0010MN::FitToWorkArea() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  SetBounds(ui::Bounds{work.left, work.top, work.right - work.left, work.bottom - work.top});
}

// The painting font: "ＭＳ ゴシック", 15 px, as the hidden label's.
bool TFrmFR0010MN::PrepareCanvas() { return painter_.PrepareCanvas(Gothic(15)); }

void TFrmFR0010MN::ShowWarnings(const std::vector<std::string>& messages) {
  if (!messages.empty()) ShowWarning(ReportText(messages));
}

void TFrmFR0010MN::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  painter_.on_icon_wanted = nullptr;
  find_.Stop();
  path_tip_.Detach();
  StopFolderSync();
  saver_.Stop();
  SaveSettingsAtEnd();
  work_.Stop();
  painter_.FreeCanvas();
  LBGroup.Clear();
  model_.FreeGroups();
  painter_.DeletePalette();
  tray_.Remove();
  // While the grid still exists: a target revoked after its window is gone
  // stays registered with OLE.
  drop_registration_.Revoke();
}

void TFrmFR0010MN::SaveSettingsAtEnd() {
  const ui::Bounds b = bounds();
  // Asked of the window itself: it is no longer visible while it is being
  // destroyed, but it is still maximised.
  const bool maximized = IsZoomed(hwnd()) != FALSE || Maximized();
  const auto write = [folder = data_folder_, placement = WindowPlacement{b.x, b.y, b.width, b.height}, maximized,
                      mode = mode_, find = find_.Box().Size()] { SaveSettings(folder, placement, maximized, mode, find); };
  // In the pool, waited for within a save's limit: a folder that does not
  // answer does not hold up the end for good.
  ui::WorkQueue::JobId id = 0;
  try {
    ui::WorkQueue::Options options;
    options.key = "settings";
    options.priority = BackgroundWork::kUserWaits;
    options.limit_ms = 0;
    id = work_.Post([write](const ui::WorkQueue::Context&) { write(); }, std::move(options));
  } catch (...) {
    id = 0;  // no thread: written here
  }
  if (!id) {
    write();
    return;
  }
  // Messages other threads send this one (the shell's notice of a file
  // written goes to every window) are answered meanwhile.
  const std::uint64_t end = ui::Condition::NowMs() + GroupSaver::kSaveLimitMs;
  while (!work_.Wait(id, 10) && ui::Condition::NowMs() < end) {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

bool TFrmFR0010MN::FormCloseQuery() {
  // A second close while the first waits or asks does nothing.
  if (closing_) return false;
  closing_ = true;
  struct Closing {
    bool& flag;
    ~Closing() { flag = false; }
  } closing{closing_};
  CommitTitleEdit();
  if (!saver_.Saving() && !saver_.Late() && !FolderReadyForSave()) return false;
  // A save under way ends first, or passes its limit (its changes then
  // count as unsaved).
  saver_.WaitForEnd();
  if (destroyed_) return false;
  if (!ConfirmCloseWhileLaunching()) return false;
  if (!model_.Modified()) return true;
  return Confirm(kCloseQuestion);
}

void TFrmFR0010MN::FormResize() { ResizeColumns(); }

void TFrmFR0010MN::FormActivate() {
  ui::RepaintNow(LBGroup.hwnd());
  DGMain.Invalidate();
  DGMain.Repaint();
}

void TFrmFR0010MN::AppActivate() {
  // The window's own surface only; its child controls are clipped out.
  InvalidateRect(hwnd(), nullptr, FALSE);
  UpdateWindow(hwnd());
  sync_.Activated();
}

void TFrmFR0010MN::MnuSaveClick() {
  CommitTitleEdit();
  // One asked for while a save runs follows it; else the folder is made
  // ready first (the start's reads, a look where notifications are
  // missing).
  if (!saver_.Saving() && !saver_.Late() && !FolderReadyForSave()) return;
  saver_.Save();
}

void TFrmFR0010MN::MnuExitClick() { Close(); }

void TFrmFR0010MN::MnuShowHelpClick() {
  ui::Application* app = ui::Application::Current();
  Seam().OpenWithShell(app ? app->hwnd() : hwnd(), "OPEN", data_folder_ + "Korvane.html", "", "", SW_SHOW);
}

void TFrmFR0010MN::ShowContextHelp(DWORD context) {
  const std::string page = context == kFindHelpContext ? "find" : std::to_string(context);
  Seam().OpenWithShell(hwnd(), "OPEN", data_folder_ + "Korvane_" + page + ".html", "", "", SW_SHOW);
}

bool TFrmFR0010MN::ConfirmCloseWhileLaunching() {
  // A launch still under way is never started after the window is gone:
  // the user is told and decides.
  return !work_.Launching() || Confirm(kLaunchingQuestion);
}

// Keeping the group folder in step: the watch on the folder, the start's
// reads and what a save tells. The work itself is the folder sync's
// (app/folder_sync.h).
void TFrmFR0010MN::WatchFolder() {
  // The watch the reading opened before it listed the folder: a change
  // made since is not missed.
  const bool watched = work_.Watch(reading_->TakeWatch(), [this] { sync_.Look(); });
  // A share may send no notification at all: it gets a look when the
  // window is activated and before each save; a local disk none at idle.
  // Whether the folder is on a share is asked off the window's thread.
  sync_.SetLooks(!watched);
  if (watched) {
    work_.Run("data folder's drive", [this, folder = data_folder_]() -> BackgroundWork::Answer {
      const bool remote = os::IsRemoteFolder(folder);
      return [this, remote] { sync_.SetLooks(remote); };
    });
  }
  // A group whose entry is being edited is not dropped under the editor.
  sync_.editing = [this] { return marks_.edit_row >= 0; };
}

FileReport TFrmFR0010MN::StartFolderSync() {
  // Listed for a model never saved (disk epoch 0), as this one is.
  const std::optional<FolderListing> listing = reading_->TakeGroupNames();
  reading_ = nullptr;
  own_reading_.reset();
  return sync_.Begin(listing);
}

void TFrmFR0010MN::StopFolderSync() {
  work_.StopWatch();
  sync_.Stop();
}

void TFrmFR0010MN::ReportSave(const FileReport& saved) {
  std::vector<std::string> messages = saved.messages;
  for (std::string& m : sync_.TakeWarnings()) messages.push_back(std::move(m));
  ShowWarnings(messages);
  // What another place saved meanwhile was kept (Recycle Bin or a copy
  // beside the group): the user is told which groups and entries.
  if (!saved.clashes.empty()) ShowInformation(ClashText(saved.clashes));
  // The save took the file's values of the entries this run left alone.
  DGMain.Invalidate();
}

}  // namespace korvane
