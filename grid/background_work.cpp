// The main window's work off its thread: the existence tests behind the
// path markers, the entries' icons and launches (grid/launch.cpp) run on
// worker threads; their answers come back here, on the window's thread.
#include <memory>

#include "app/FR0010MN.h"
#include "data/os.h"

namespace korvane {

void TFrmFR0010MN::StartBackground() {
  marker_queue_ = std::make_unique<BackgroundQueue>(hwnd(), kBackgroundMessage, 1, false);
  icon_queue_ = std::make_unique<BackgroundQueue>(hwnd(), kBackgroundMessage, 1, false);
  // Several at once: a launch from a share that does not answer must not
  // hold up one from a disk that does.
  launch_queue_ = std::make_unique<BackgroundQueue>(hwnd(), kBackgroundMessage, 4, true);
  painter_.on_icon_wanted = [this](const std::string& path) { WantIcon(path); };
}

void TFrmFR0010MN::StopBackground() {
  painter_.on_icon_wanted = nullptr;
  marker_queue_.reset();
  icon_queue_.reset();
  launch_queue_.reset();
  painter_.Icons().Clear();
  launching_.clear();
}

void TFrmFR0010MN::BackgroundAnswers() {
  for (BackgroundQueue* queue : {marker_queue_.get(), icon_queue_.get(), launch_queue_.get()}) {
    if (queue) queue->Deliver();
  }
}

bool TFrmFR0010MN::BackgroundBusy() const {
  for (const BackgroundQueue* queue : {marker_queue_.get(), icon_queue_.get(), launch_queue_.get()}) {
    if (queue && queue->Busy()) return true;
  }
  return false;
}

int TFrmFR0010MN::GroupRowNamed(const std::string& name, std::size_t hint) const {
  const auto& groups = model_.Groups();
  if (hint < groups.size() && groups[hint].name == name) return static_cast<int>(hint);
  const int row = model_.FindGroup(name);
  // FindGroup ignores case; a group renamed to another spelling is another
  // group here.
  return row >= 0 && groups[static_cast<std::size_t>(row)].name == name ? row : -1;
}

void TFrmFR0010MN::RepaintEntries(const std::string& path, int first_col, int last_col) {
  const Group* group = model_.Current();
  if (!group) return;
  for (std::size_t n = 1; n <= group->entries.size(); ++n) {
    if (!path.empty() && group->entries[n - 1].path != path) continue;
    for (int col = first_col; col <= last_col; ++col) DGMain.InvalidateCell(col, static_cast<int>(n));
  }
}

void TFrmFR0010MN::QueueMarkerTests(std::size_t row, bool urgent, std::size_t only_n) {
  if (!marker_queue_ || row >= model_.GroupCount()) return;
  const Group& group = model_.GroupAt(row);
  // Queued last first when urgent, so that they run in entry order.
  for (std::size_t k = group.entries.size(); k-- > 0;) {
    const std::size_t i = urgent ? k : group.entries.size() - 1 - k;
    const Entry& entry = group.entries[i];
    if (entry.marker != PathMarker::Untested || (only_n != 0 && i + 1 != only_n)) continue;
    marker_queue_->Post(
        group.name,
        [this, name = group.name, row, n = i + 1, path = entry.path](const BackgroundQueue::Reply& reply) {
          const bool exists = os::FileExists(path);
          reply([this, name, row, n, path, exists] {
            // A group deleted or renamed meanwhile gets nothing; an entry
            // whose path changed meanwhile neither.
            const int now = GroupRowNamed(name, row);
            if (now < 0) return;
            const PathMarker marker = exists ? PathMarker::Found : PathMarker::Missing;
            if (!model_.SetMarkerOfPath(static_cast<std::size_t>(now), n, path, marker)) return;
            if (now == model_.CurrentRow()) DGMain.InvalidateCell(0, static_cast<int>(n));
          });
        },
        urgent);
  }
}

void TFrmFR0010MN::WantIcon(const std::string& path) {
  if (!icon_queue_) return;
  const std::uint32_t generation = painter_.Icons().Generation();
  icon_queue_->Post(path, [this, path, generation](const BackgroundQueue::Reply& reply) {
    // Shared, so that an answer never delivered still destroys its icon.
    auto icon = std::make_shared<ui::UniqueIcon>(ExtractEntryIcon(path));
    reply([this, path, generation, icon] {
      painter_.Icons().Store(generation, path, std::move(*icon));
      RepaintEntries(path, 1, 1);
    });
  });
}

}  // namespace korvane
