#include "grid/background.h"

#include <algorithm>

#include "common/seam.h"
#include "data/os.h"
#include "ui/application.h"

namespace korvane {

BackgroundWork::BackgroundWork(LauncherModel& model, IconCache& icons, ui::DrawGrid& grid)
    : model_(model), icons_(icons), grid_(grid) {}

BackgroundWork::~BackgroundWork() { Stop(); }

void BackgroundWork::Start(HWND window, UINT message) {
  markers_ = std::make_unique<ui::WorkQueue>(window, message, 1, false);
  icons_queue_ = std::make_unique<ui::WorkQueue>(window, message, 1, false);
  // Several at once: a launch from a share that does not answer must not
  // hold up one from a disk that does; a job waiting on a folder must not
  // hold up the others.
  launches_ = std::make_unique<ui::WorkQueue>(window, message, 4, true);
  jobs_ = std::make_unique<ui::WorkQueue>(window, message, 4, false);
}

void BackgroundWork::Stop() {
  markers_.reset();
  icons_queue_.reset();
  launches_.reset();
  jobs_.reset();
  icons_.Clear();
  generations_.clear();
  // The launches' answers are gone with their queue: so is their hourglass.
  if (ui::Application* app = ui::Application::Current()) {
    for (std::size_t i = 0; i < launching_.size(); ++i) app->EndBusy();
  }
  launching_.clear();
}

void BackgroundWork::Deliver() {
  for (ui::WorkQueue* queue : {markers_.get(), icons_queue_.get(), launches_.get(), jobs_.get()}) {
    if (queue) queue->Deliver();
  }
}

bool BackgroundWork::Busy() const {
  for (const ui::WorkQueue* queue : {markers_.get(), icons_queue_.get(), launches_.get(), jobs_.get()}) {
    if (queue && queue->Busy()) return true;
  }
  return false;
}

int BackgroundWork::GroupRowNamed(const std::string& name, std::size_t hint) const {
  const auto& groups = model_.Groups();
  if (hint < groups.size() && groups[hint].name == name) return static_cast<int>(hint);
  const int row = model_.FindGroup(name);
  // FindGroup ignores case; a group renamed to another spelling is another
  // group here.
  return row >= 0 && groups[static_cast<std::size_t>(row)].name == name ? row : -1;
}

void BackgroundWork::RepaintEntries(const std::string& path, int first_col, int last_col) {
  const Group* group = model_.Current();
  if (!group) return;
  for (std::size_t n = 1; n <= group->entries.size(); ++n) {
    if (group->entries[n - 1].path != path) continue;
    for (int col = first_col; col <= last_col; ++col) grid_.InvalidateCell(col, static_cast<int>(n));
  }
}

void BackgroundWork::TestPaths(std::size_t row, bool urgent, std::size_t only_n) {
  if (!markers_ || row >= model_.GroupCount()) return;
  const Group& group = model_.GroupAt(row);
  // Queued last first when urgent, so that they run in entry order.
  for (std::size_t k = group.entries.size(); k-- > 0;) {
    const std::size_t i = urgent ? k : group.entries.size() - 1 - k;
    const Entry& entry = group.entries[i];
    if (entry.marker != PathMarker::Untested || (only_n != 0 && i + 1 != only_n)) continue;
    markers_->Post(
        group.name,
        [this, name = group.name, row, n = i + 1, path = entry.path](const ui::WorkQueue::Context& context) {
          const bool exists = os::FileExists(path);
          context.Reply([this, name, row, n, path, exists] {
            // A group deleted or renamed meanwhile gets nothing; an entry
            // whose path changed meanwhile neither.
            const int now = GroupRowNamed(name, row);
            if (now < 0) return;
            const PathMarker marker = exists ? PathMarker::Found : PathMarker::Missing;
            if (!model_.SetMarkerOfPath(static_cast<std::size_t>(now), n, path, marker)) return;
            if (now == model_.CurrentRow()) grid_.InvalidateCell(0, static_cast<int>(n));
          });
        },
        urgent);
  }
}

void BackgroundWork::GroupSelected(std::size_t row) {
  if (markers_ && row < model_.GroupCount()) markers_->Prioritize(model_.GroupAt(row).name);
  icons_.Clear();
}

void BackgroundWork::WantIcon(const std::string& path) {
  if (!icons_queue_) return;
  const std::uint32_t generation = icons_.Generation();
  icons_queue_->Post(path, [this, path, generation](const ui::WorkQueue::Context& context) {
    // Shared, so that an answer never delivered still destroys its icon.
    auto icon = std::make_shared<ui::UniqueIcon>(ExtractEntryIcon(path));
    context.Reply([this, path, generation, icon] {
      icons_.Store(generation, path, std::move(*icon));
      RepaintEntries(path, 1, 1);
    });
  });
}

bool BackgroundWork::Launch(const Group& group, std::size_t row, std::size_t n, HWND owner,
                            std::function<void(const LaunchOutcome&)> done) {
  const Entry* entry = group.EntryAt(n);
  const auto key = std::make_pair(group.name, n);
  if (!entry || !launches_ || std::find(launching_.begin(), launching_.end(), key) != launching_.end()) return false;
  launching_.push_back(key);
  if (ui::Application* app = ui::Application::Current()) app->BeginBusy();
  LaunchOutcome start{group.name, row, n, entry->path, false, 0};
  launches_->Post(start.path, [this, start, owner, done = std::move(done)](const ui::WorkQueue::Context& context) {
    LaunchOutcome outcome = start;
    try {
      outcome.exists = os::FileExists(outcome.path);
      if (outcome.exists) {
        outcome.result =
            reinterpret_cast<UINT_PTR>(Seam().OpenWithShell(owner, "OPEN", outcome.path, "", "", SW_SHOW));
      }
    } catch (...) {
      // The error is reported; the entry's launch and its hourglass end.
      context.Reply([this, outcome] { EndLaunch(outcome); });
      throw;
    }
    context.Reply([this, outcome, done] {
      EndLaunch(outcome);
      if (done) done(outcome);
    });
  });
  return true;
}

void BackgroundWork::EndLaunch(const LaunchOutcome& outcome) {
  const auto it = std::find(launching_.begin(), launching_.end(), std::make_pair(outcome.group, outcome.n));
  if (it == launching_.end()) return;
  launching_.erase(it);
  if (ui::Application* app = ui::Application::Current()) app->EndBusy();
}

void BackgroundWork::Run(const std::string& key, std::function<Answer()> job) {
  if (!jobs_) return;
  const unsigned generation = ++generations_[key];
  jobs_->Post(key, [this, key, generation, job = std::move(job)](const ui::WorkQueue::Context& context) {
    Answer answer = job();
    context.Reply([this, key, generation, answer = std::move(answer)] {
      const auto it = generations_.find(key);
      if (it != generations_.end() && it->second == generation && answer) answer();
    });
  });
}

void BackgroundWork::Forget(const std::string& key) { ++generations_[key]; }

void BackgroundWork::Send(Answer answer) {
  if (jobs_) jobs_->Send(std::move(answer));
}

}  // namespace korvane
