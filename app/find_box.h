#pragma once
// The find box: a text box over a list of every entry, of every group, whose
// title, file name or group name holds the typed text (folded by the
// system's mapping: case, width and kana kind ignored), with the count of
// matches. Up and Down (Page Up, Page Down) move in the list, Enter launches
// the chosen entry (or shows it, when asked to), Ctrl+Enter launches it
// always, Shift+Enter shows it and closes the box, Escape closes it; Tab
// and Shift+Tab go between the text and the list, which takes the same
// keys; F1 opens the find help page. The box can be sized; its size is
// kept for the next run (Size, SetSize).
//
// Use: construct with the model (read only, never kept past its changes
// unseen) and the callbacks; Open() over the main window, as often as
// wanted (the window is made the first time and only hidden after); call
// ModelChanged() after the model changes while it is open and
// IconsChanged() when icons asked for earlier have come.
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "common/callback.h"
#include "data/find.h"
#include "data/model.h"
#include "data/settings.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/label.h"
#include "ui/list_box.h"

namespace korvane {

struct FindBoxCallbacks {
  // Entry n (1-based) of the group at row `group` of the model.
  Callback<void(std::size_t group, std::size_t n)> launch;
  // The box has closed already when this runs.
  Callback<void(std::size_t group, std::size_t n)> show;
  // The small icon of a path, borrowed (null: none yet, or none at all).
  Callback<HICON(const std::string& path)> icon;
};

inline constexpr const char kFindBoxCaption[] = "検索";
// The help context of the box: F1 opens the find page.
inline constexpr DWORD kFindHelpContext = 30;

class FindBox : public ui::Form {
 public:
  // The fold defaults to the system's (ui::FoldForComparison).
  FindBox(const LauncherModel& model, FindBoxCallbacks callbacks, FoldFunction fold = nullptr);
  ~FindBox() override;

  // Brings the index up to the model, shows the box centred over owner (made
  // the first time), active with the text box focused and its text
  // selected. enter_shows: Enter shows the entry as Shift+Enter does.
  bool Open(HWND owner, bool enter_shows = false);
  void CloseBox();
  bool IsOpen() const { return hwnd() && Visible(); }
  void ModelChanged();
  void IconsChanged();

  // What the list holds and which row is chosen (-1: none).
  const std::vector<FindHit>& hits() const { return hits_; }
  int chosen() const;
  const FindIndex& index() const { return index_; }
  // The client size the box is made with (before the first Open), and
  // the size it last had (none while it was never made).
  void SetSize(const FindBoxSize& size) { size_ = size; }
  std::optional<FindBoxSize> Size() const { return shown_size_; }
  // The count as the box shows it.
  std::string CountText() const;

  ui::Edit EdtFind;
  ui::Label LblCount;
  ui::ListBox LstFound;

  // Painting of one row, also for tests.
  void PaintRow(HDC dc, const RECT& rect, int row, bool selected) const;

 protected:
  void CreateControls() override;
  bool OnCloseQuery() override;
  void OnActivate() override;
  void OnResize() override;

 private:
  void Refilter();
  void Choose(int row);
  bool KeyDown(UINT key);
  bool ListKeyDown(WORD key);
  void Act(bool show);

  const LauncherModel& model_;
  FindBoxCallbacks callbacks_;
  FindIndex index_;
  std::vector<FindHit> hits_;
  bool enter_shows_ = false;
  FindBoxSize size_;
  std::optional<FindBoxSize> shown_size_;
};

}  // namespace korvane
