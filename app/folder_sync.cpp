#include "app/folder_sync.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "data/os.h"
#include "ui/application.h"

namespace korvane {

namespace {

// Files per read job, and read jobs at once: one worker stays free for
// the file of a group selected before it was read.
constexpr std::size_t kFilesPerJob = 32;
constexpr int kJobsAtOnce = 3;

constexpr char kListKey[] = "folder sync: list";

std::string DroppedNotice(const std::string& name) {
  return "業務「" + name + "」は他の場所で削除されました";
}

}  // namespace

FolderSync::~FolderSync() { Stop(); }

FileReport FolderSync::Begin(const std::optional<FolderListing>& listing) {
  stopped_ = false;
  FileReport report = ApplyGroupNames(p_.data_folder, listing, p_.model);
  p_.list.SetCount(static_cast<int>(p_.model.GroupCount()));
  if (!report.ok) return report;
  // Told in the one box once every file is read.
  start_messages_ = report.messages;
  starting_ = true;
  pending_ = UnreadFiles(p_.model);
  std::reverse(pending_.begin(), pending_.end());   // the next to read last
  // The reads begin once the window is up and painted: under Wine every
  // file opened goes through the one server the window's own calls need,
  // so reads begun now would hold up its creation. With nothing to read,
  // the box (if any) still comes after the window is up.
  ++in_flight_;
  p_.run("folder sync: start", [this]() -> Answer {
    return [this] {
      if (HWND top = GetAncestor(p_.grid.hwnd(), GA_ROOT); top && IsWindowVisible(top))
        RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      OnSnapshots({});
    };
  });
  return report;
}

void FolderSync::Feed() {
  while (!stopped_ && in_flight_ < kJobsAtOnce && !pending_.empty()) {
    std::vector<std::string> files;
    while (files.size() < kFilesPerJob && !pending_.empty()) {
      files.push_back(std::move(pending_.back()));
      pending_.pop_back();
    }
    ++in_flight_;
    p_.run("folder sync: read " + std::to_string(next_key_++),
           [this, folder = p_.data_folder, files = std::move(files), count = p_.model.EntryCount(),
            epoch = p_.model.DiskEpoch()]() -> Answer {
             auto snapshots = std::make_shared<std::vector<GroupSnapshot>>();
             snapshots->reserve(files.size());
             // ReadGroupSnapshot never throws: every file gets its answer.
             for (const std::string& file : files) snapshots->push_back(ReadGroupSnapshot(folder, file, count, epoch));
             return [this, snapshots] { OnSnapshots(std::move(*snapshots)); };
           });
  }
}

void FolderSync::ReadNow(const std::string& file_name) {
  const auto it = std::find(pending_.begin(), pending_.end(), file_name);
  if (it != pending_.end()) pending_.erase(it);
  // Counted with the others: the start is over only once it is read too.
  ++in_flight_;
  p_.run("folder sync: read " + std::to_string(next_key_++),
         [this, folder = p_.data_folder, file_name, count = p_.model.EntryCount(),
          epoch = p_.model.DiskEpoch()]() -> Answer {
           auto snapshot = std::make_shared<GroupSnapshot>(ReadGroupSnapshot(folder, file_name, count, epoch));
           return [this, snapshot] {
             std::vector<GroupSnapshot> one;
             one.push_back(std::move(*snapshot));
             OnSnapshots(std::move(one));
           };
         });
}

void FolderSync::OnSnapshots(std::vector<GroupSnapshot> snapshots) {
  if (in_flight_ > 0) --in_flight_;
  if (stopped_) return;
  bool changed = false;
  // A job's files are read in list order: each is looked for first in the
  // row after the one before.
  std::size_t hint = kNoRow;
  for (GroupSnapshot& snapshot : snapshots) {
    const std::string file = snapshot.file_name;
    const SnapshotApplied applied = ApplySnapshot(p_.model, std::move(snapshot), hint);
    hint = applied.row >= 0 ? static_cast<std::size_t>(applied.row) + 1 : kNoRow;
    ++files_read_;
    if (applied.unreadable) {
      std::string message = CannotReadMessage(os::JoinPath(p_.data_folder, file));
      if (starting_) start_messages_.push_back(std::move(message));
      else Warn(std::move(message));
    }
    if (!awaited_.empty() && os::SameFileName(file, awaited_)) {
      EndAwaiting();
      if (applied.row < 0) p_.grid.Invalidate();
    }
    if (applied.row < 0) continue;
    const std::size_t row = static_cast<std::size_t>(applied.row);
    const bool shown = applied.row == p_.model.CurrentRow();
    if (applied.first_read || !applied.entries.empty()) changed = true;
    // Markers of changed paths are untested again; icons follow the paths.
    if (!applied.entries.empty()) p_.test_paths(row, shown);
    if (!shown) continue;
    if (applied.first_read) {
      p_.grid.Invalidate();
      continue;
    }
    for (const std::size_t n : applied.entries)
      for (int col = 0; col < 3; ++col) p_.grid.InvalidateCell(col, static_cast<int>(n));
  }
  Feed();
  if (changed && on_model_changed) on_model_changed();
  if (starting_ && pending_.empty() && in_flight_ == 0) EndStart();
}

void FolderSync::EndStart() {
  starting_ = false;
  std::vector<std::string> messages = std::move(start_messages_);
  start_messages_.clear();
  for (const std::string& m : messages) told_.insert(m);
  if (on_started) on_started();
  if (!messages.empty() && p_.warn) p_.warn(messages);
}

void FolderSync::Look() {
  if (stopped_) return;
  if (looking_) {
    look_again_ = true;
    return;
  }
  looking_ = true;
  p_.run(kListKey, [this, folder = p_.data_folder, epoch = p_.model.DiskEpoch()]() -> Answer {
    auto listing = std::make_shared<std::optional<FolderListing>>(ListGroupFiles(folder, epoch));
    return [this, listing] { OnListing(std::move(*listing)); };
  });
}

void FolderSync::Activated() {
  if (looks_) Look();
}

void FolderSync::OnListing(std::optional<FolderListing> listing) {
  looking_ = false;
  if (stopped_) return;
  if (saving && saving()) {
    after_save_ = true;
    look_again_ = false;
    return;
  }
  // A folder that cannot be listed (the share is away) changes nothing.
  if (listing) {
    const std::vector<std::string> names_before = p_.model.Names();
    const int current_before = p_.model.CurrentRow();
    FolderListing held;
    bool kept = false;
    const FolderListing& edited = HoldEdited(p_.model, editing && editing(), *listing, held, &kept);
    const std::uint64_t now = GetTickCount64();
    const ListingApplied applied = ApplyListing(p_.model, missing_.Hold(p_.model, edited, now, held));
    if (kept) look_after_edit_ = true;
    LookAfterGrace();
    if (applied.stale) {
      look_again_ = true;   // a save came between
    } else {
      for (const std::string& message : listing->left_alone) Warn(message);
      if (applied.appended > 0 || !applied.dropped.empty()) ListChanged(names_before, current_before, applied);
      for (std::string& file : FilesToRead(p_.model, *listing)) {
        // Read once: the start's files are queued already. A new one is
        // read after them (at the front: the next to read is last).
        if (std::find(pending_.begin(), pending_.end(), file) == pending_.end())
          pending_.insert(pending_.begin(), std::move(file));
      }
      Feed();
    }
  }
  if (look_again_) {
    look_again_ = false;
    Look();
  }
}

void FolderSync::SaveEnded() {
  if (std::exchange(after_save_, false)) Look();
}

// A file held for its grace is looked for again once the grace is over.
void FolderSync::LookAfterGrace() {
  const std::uint64_t in = missing_.NextLookIn(GetTickCount64());
  if (in == 0 || grace_timer_ || stopped_) return;
  // The timer's id is this object: the grid's own timers have small ids.
  if (SetTimer(p_.grid.hwnd(), reinterpret_cast<UINT_PTR>(this), static_cast<UINT>(in), &FolderSync::GraceTimer))
    grace_timer_ = true;
}

void CALLBACK FolderSync::GraceTimer(HWND hwnd, UINT, UINT_PTR id, DWORD) {
  try {
    KillTimer(hwnd, id);
    FolderSync* sync = reinterpret_cast<FolderSync*>(id);
    sync->grace_timer_ = false;
    sync->Look();
  } catch (...) {
    // A look that cannot be asked for now comes with the next change.
  }
}

void FolderSync::EditEnded() {
  if (editing && editing()) return;
  // A merge that passed over the edited value left its file to be read
  // again.
  const bool held_back = p_.model.TakeHeldBack();
  if (!look_after_edit_ && !held_back) return;
  look_after_edit_ = false;
  Look();
}

void FolderSync::ListChanged(const std::vector<std::string>& names_before, int current_before,
                             const ListingApplied& applied) {
  // The rows as they were: the dropped names come in list order.
  std::vector<std::size_t> rows;
  std::size_t from = 0;
  for (const std::string& name : applied.dropped) {
    const auto it = std::find(names_before.begin() + static_cast<std::ptrdiff_t>(from), names_before.end(), name);
    if (it == names_before.end()) continue;
    rows.push_back(static_cast<std::size_t>(it - names_before.begin()));
    from = rows.back() + 1;
  }
  p_.list.BeginUpdate();
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) p_.list.DeleteItem(static_cast<int>(*it));
  const std::size_t count = p_.model.GroupCount();
  bool back = false;
  for (std::size_t row = count - std::min(applied.appended, count); row < count; ++row) {
    p_.list.AddItem(p_.model.GroupAt(row).name);
    back = back || (!noticed_.empty() && p_.model.GroupAt(row).name == noticed_);
  }
  p_.list.SetItemIndex(p_.model.CurrentRow());
  p_.list.EndUpdate();
  // Before the notice: whoever keeps rows may show the unsaved state anew.
  if (!rows.empty() && on_groups_dropped) on_groups_dropped(rows);
  if (applied.current_dropped) {
    EndAwaiting();
    // No group is current: the grid shows none, as before the first click.
    p_.grid.SetEnabled(false);
    p_.grid.Invalidate();
    if (p_.notice && current_before >= 0 && static_cast<std::size_t>(current_before) < names_before.size()) {
      noticed_ = names_before[static_cast<std::size_t>(current_before)];
      p_.notice(DroppedNotice(noticed_));
    }
  } else if (back) {
    // The file is back: the notice no longer holds.
    noticed_.clear();
    if (on_notice_gone) on_notice_gone();
  }
}

void FolderSync::Selected(std::size_t row) {
  if (stopped_ || row >= p_.model.GroupCount()) return;
  const Group& group = p_.model.GroupAt(row);
  if (group.state != ReadState::NotRead) {
    EndAwaiting();
    return;
  }
  awaited_ = group.source;
  if (!awaiting_busy_) {
    if (ui::Application* app = ui::Application::Current()) app->BeginBusy();
    awaiting_busy_ = true;
  }
  ReadNow(group.source);
}

void FolderSync::EndAwaiting() {
  awaited_.clear();
  if (!awaiting_busy_) return;
  awaiting_busy_ = false;
  if (ui::Application* app = ui::Application::Current()) app->EndBusy();
}

bool FolderSync::WaitBeforeSave() {
  if (waiting_ || stopped_) return false;
  if (looks_) Look();
  const auto ready = [this] { return stopped_ || (!starting_ && !(looks_ && looking_)); };
  if (!ready()) WaitUntil(ready);
  return !stopped_;
}

void FolderSync::WaitUntil(const Callback<bool()>& done) {
  struct Flag {
    bool& flag;
    explicit Flag(bool& f) : flag(f) { flag = true; }
    ~Flag() { flag = false; }
  } waiting(waiting_);
  const ui::WaitCursor wait;
  ui::Application::RunUntil(done, wait_limit_ms);
}

std::vector<std::string> FolderSync::TakeWarnings() { return std::exchange(warnings_, {}); }

void FolderSync::Warn(std::string message) {
  if (told_.insert(message).second) warnings_.push_back(std::move(message));
}

void FolderSync::Stop() {
  stopped_ = true;
  pending_.clear();
  in_flight_ = 0;
  looking_ = false;
  look_again_ = false;
  after_save_ = false;
  look_after_edit_ = false;
  starting_ = false;
  if (grace_timer_) KillTimer(p_.grid.hwnd(), reinterpret_cast<UINT_PTR>(this));
  grace_timer_ = false;
  EndAwaiting();
}

}  // namespace korvane
