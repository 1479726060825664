#include "grid/background.h"

#include <algorithm>

#include "common/seam.h"
#include "common/text.h"
#include "data/entry_path.h"
#include "data/os.h"
#include "ui/application.h"

namespace korvane {

std::string PathRoot(std::string_view path) {
  const auto lower = [](std::string_view text) {
    std::string out(text);
    // ASCII letters only.
    for (std::size_t i = 0; i < out.size(); ++i) {
      if (ClassifyByte(text, i) == ByteClass::Single && out[i] >= 'A' && out[i] <= 'Z') out[i] += 'a' - 'A';
    }
    return out;
  };
  std::string_view rest = path;
  if (rest.starts_with("\\\\?\\")) {
    rest.remove_prefix(4);
    if (rest.size() >= 4 && lower(rest.substr(0, 4)) == "unc\\") {
      rest.remove_prefix(4);
    } else {
      return rest.size() >= 2 && rest[1] == ':' ? lower(rest.substr(0, 2)) : std::string();
    }
  } else if (rest.starts_with("\\\\")) {
    rest.remove_prefix(2);
  } else {
    return path.size() >= 2 && path[1] == ':' && ClassifyByte(path, 0) == ByteClass::Single ? lower(path.substr(0, 2))
                                                                                             : std::string();
  }
  // server\share: up to the second separator.
  int separators = 0;
  std::size_t i = 0;
  for (; i < rest.size(); ++i) {
    if (rest[i] == '\\' && ClassifyByte(rest, i) != ByteClass::Trail && ++separators == 2) break;
  }
  return "\\\\" + lower(rest.substr(0, i));
}

BackgroundWork::BackgroundWork(LauncherModel& model, IconCache& icons, ui::DrawGrid& grid)
    : model_(model), icons_(icons), grid_(grid) {}

BackgroundWork::~BackgroundWork() { Stop(); }

namespace {
// Lookups of one root running at once: a server that does not answer holds
// at most these threads of the pool.
constexpr int kPerRoot = 2;
// Threads of the pool: several lookups at once (a share that does not
// answer must not hold up a disk that does, nor the selected group), the
// reads of the start beside them, and a launch never waiting for either.
constexpr int kPoolThreads = 10;
// Each kind of lookup counts its own places on a root: tests on a share
// that does not answer leave room for its icons and launches, as each
// would on a root that does.
constexpr char kTestLookup = 't', kIconLookup = 'i', kLaunchLookup = 'l';
std::string LookupRoot(char kind, std::string_view path) {
  std::string root = PathRoot(path);
  if (!root.empty()) root.insert(root.begin(), kind);
  return root;
}
}  // namespace

std::unique_ptr<ui::WorkQueue> BackgroundWork::MakePool() {
  // Each lookup with a time limit; the other jobs (reads, a wait on a
  // folder) name none: a folder may rightly stay quiet for hours.
  return std::make_unique<ui::WorkQueue>(nullptr, 0, kPoolThreads, false, kLookupLimitMs, kPerRoot);
}

void BackgroundWork::Start(HWND window, UINT message) {
  if (shared_pool_) {
    pool_ = shared_pool_;
  } else {
    own_pool_ = MakePool();
    pool_ = own_pool_.get();
  }
  pool_->Attach(window, message);
}

void BackgroundWork::SetLookupLimit(unsigned limit_ms) {
  if (pool_) pool_->SetLimit(limit_ms);
}

void BackgroundWork::Stop() {
  // The watch's thread hands its answers to the pool.
  StopWatch();
  if (pool_) pool_->Stop();
  pool_ = nullptr;
  own_pool_.reset();
  shared_pool_ = nullptr;
  icons_.Clear();
  generations_.clear();
  tests_.clear();
  icon_jobs_.clear();
  // The launches' answers are gone with the pool's: so is their hourglass.
  if (ui::Application* app = ui::Application::Current()) {
    for (std::size_t i = 0; i < launching_.size(); ++i) app->EndBusy();
  }
  launching_.clear();
}

void BackgroundWork::Deliver() {
  // An answer may stop the work (the session's end, from a message box's
  // loop): the pool is looked up anew, and held by its Deliver meanwhile.
  if (pool_) pool_->Deliver();
}

bool BackgroundWork::Busy() const { return pool_ && pool_->Busy(); }

ui::WorkQueue::JobId BackgroundWork::Post(ui::WorkQueue::Job job, ui::WorkQueue::Options options) {
  if (!pool_) return 0;
  return pool_->Post(std::move(job), std::move(options));
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
  if (!pool_ || row >= model_.GroupCount()) return;
  const Group& group = model_.GroupAt(row);
  // Queued last first when urgent, so that they run in entry order.
  for (std::size_t k = group.entries.size(); k-- > 0;) {
    const std::size_t i = urgent ? k : group.entries.size() - 1 - k;
    const Entry& entry = group.entries[i];
    if (entry.marker != PathMarker::Untested || (only_n != 0 && i + 1 != only_n)) continue;
    const Target target{group.name, row, i + 1};
    const auto pending = tests_.find(entry.path);
    if (pending != tests_.end()) {
      // Asked already: this entry waits for the same answer.
      PathTest& test = pending->second;
      if (std::find(test.targets.begin(), test.targets.end(), target) == test.targets.end()) {
        test.targets.push_back(target);
      }
      if (urgent) pool_->Prioritize(entry.path);
      if (test.late) MarkTargets(entry.path, PathMarker::Missing, true);
      continue;
    }
    ui::WorkQueue::Options options;
    options.key = entry.path;
    options.root = LookupRoot(kTestLookup, Resolved(entry.path));
    options.urgent = urgent;
    options.priority = urgent ? kShown : kBehind;
    options.late = [this, path = entry.path] {
      // Not answered within the limit: missing until it answers.
      const auto it = tests_.find(path);
      if (it == tests_.end()) return;
      it->second.late = true;
      MarkTargets(path, PathMarker::Missing, true);
    };
    const auto id = pool_->Post(
        [this, path = entry.path, full = Resolved(entry.path)](const ui::WorkQueue::Context& context) {
          const bool exists = os::FileExists(full);
          context.Reply([this, path, exists] {
            MarkTargets(path, exists ? PathMarker::Found : PathMarker::Missing, false);
            tests_.erase(path);
          });
        },
        std::move(options));
    tests_[entry.path] = PathTest{id, {target}, false};
  }
}

void BackgroundWork::MarkTargets(const std::string& path, PathMarker marker, bool late) {
  const auto it = tests_.find(path);
  if (it == tests_.end()) return;
  for (const Target& target : it->second.targets) {
    // A group deleted or renamed meanwhile gets nothing; an entry whose
    // path changed meanwhile neither.
    const int now = GroupRowNamed(target.group, target.row);
    if (now < 0) continue;
    const Entry* entry = model_.GroupAt(static_cast<std::size_t>(now)).EntryAt(target.n);
    if (!entry || (late && entry->marker != PathMarker::Untested)) continue;
    if (!model_.SetMarkerOfPath(static_cast<std::size_t>(now), target.n, path, marker)) continue;
    if (now == model_.CurrentRow()) grid_.InvalidateCell(0, static_cast<int>(target.n));
  }
}

void BackgroundWork::GroupSelected(std::size_t row) {
  if (pool_ && row < model_.GroupCount()) {
    // Its paths before all others, in entry order.
    const Group& group = model_.GroupAt(row);
    for (std::size_t k = group.entries.size(); k-- > 0;) {
      if (tests_.count(group.entries[k].path)) pool_->Prioritize(group.entries[k].path);
    }
  }
  // The icons asked for the group shown before are not wanted any more.
  if (pool_) {
    for (const auto& [path, id] : icon_jobs_) pool_->Cancel(id);
  }
  icon_jobs_.clear();
  icons_.Clear();
}

void BackgroundWork::GroupRenamed(std::size_t row) {
  TestPaths(row, true);
  GroupsChanged();
}

void BackgroundWork::GroupsChanged() {
  // Icons only of the group shown (none when none is).
  const Group* shown = model_.Current();
  for (auto it = icon_jobs_.begin(); it != icon_jobs_.end();) {
    const bool wanted = shown && std::any_of(shown->entries.begin(), shown->entries.end(),
                                             [&](const Entry& e) { return e.path == it->first; });
    if (wanted) {
      ++it;
      continue;
    }
    if (pool_) pool_->Cancel(it->second);
    it = icon_jobs_.erase(it);
  }
  for (auto it = tests_.begin(); it != tests_.end();) {
    auto& targets = it->second.targets;
    std::erase_if(targets, [this](const Target& t) { return GroupRowNamed(t.group, t.row) < 0; });
    if (!targets.empty()) {
      ++it;
      continue;
    }
    // Nobody waits for it: never run, or its answer dropped.
    if (pool_) pool_->Cancel(it->second.id);
    it = tests_.erase(it);
  }
}

void BackgroundWork::FindFolders(std::vector<std::string> names,
                                 Callback<void(const std::vector<bool>& folders)> done) {
  if (!pool_ || names.empty()) return;
  // Answered once: by the test, or by the limit.
  auto answered = std::make_shared<bool>(false);
  const auto answer = [answered, done](const std::vector<bool>& folders) {
    if (*answered) return;
    *answered = true;
    done(folders);
  };
  ui::WorkQueue::Options options;
  options.key = names.front();
  options.root = LookupRoot(kTestLookup, names.front());
  options.urgent = true;
  options.priority = kShown;
  options.late = [answer, count = names.size()] { answer(std::vector<bool>(count, false)); };
  pool_->Post(
      [names, answer](const ui::WorkQueue::Context& context) {
        std::vector<bool> folders;
        for (const std::string& name : names) {
          if (context.Cancelled()) return;
          folders.push_back(os::PathExists(name) && !os::FileExists(name));
        }
        context.Reply([answer, folders] { answer(folders); });
      },
      std::move(options));
}

void BackgroundWork::WantIcon(const std::string& path) {
  if (!pool_ || icon_jobs_.count(path)) return;
  const std::uint32_t generation = icons_.Generation();
  ui::WorkQueue::Options options;
  options.key = path;
  const std::string full = Resolved(path);
  options.root = LookupRoot(kIconLookup, full);
  options.priority = kShown;
  ui::WorkQueue::JobId id = 0;
  id = pool_->Post(
      [this, path, full, generation](const ui::WorkQueue::Context& context) {
        // Shared, so that an answer never delivered still destroys its icon.
        auto icon = std::make_shared<ui::UniqueIcon>(ExtractEntryIcon(full));
        context.Reply([this, path, generation, icon] {
          icon_jobs_.erase(path);
          icons_.Store(generation, path, std::move(*icon));
          RepaintEntries(path, 1, 1);
        });
      },
      std::move(options));
  icon_jobs_[path] = id;
}

bool BackgroundWork::Launch(const Group& group, std::size_t row, std::size_t n, HWND owner,
                            Callback<void(const LaunchOutcome&)> done) {
  const Entry* entry = group.EntryAt(n);
  const auto key = std::make_pair(group.name, n);
  if (!entry || !pool_ || std::find(launching_.begin(), launching_.end(), key) != launching_.end()) return false;
  launching_.push_back(key);
  if (ui::Application* app = ui::Application::Current()) app->BeginBusy();
  LaunchOutcome start{group.name, row, n, entry->path, false, 0};
  // Who ends the launch: the job, once it claimed the shell call (or found
  // the file missing), or the limit (the test did not answer in time; the
  // file counts as missing and the shell is never called). The pool
  // decides which came first, and a stopped pool lets no shell call begin.
  ui::WorkQueue::Options options;
  options.key = start.path;
  const std::string full = Resolved(start.path);
  options.root = LookupRoot(kLaunchLookup, full);
  options.priority = kUserWaits;
  options.com = true;
  options.late = [this, start, done] {
    EndLaunch(start);
    if (done) done(start);
  };
  pool_->Post(
      [this, start, full, owner, done = std::move(done)](const ui::WorkQueue::Context& context) {
        LaunchOutcome outcome = start;
        bool claimed = false;
        try {
          outcome.exists = os::FileExists(full);
          // Given up on meanwhile, or the program is ending: nothing starts.
          claimed = context.Claim();
          if (!claimed) return;
          if (outcome.exists) {
            outcome.result =
                reinterpret_cast<UINT_PTR>(Seam().OpenWithShell(owner, "OPEN", full, "", "", SW_SHOW));
          }
        } catch (...) {
          // The error is reported; the entry's launch and its hourglass end
          // (unless the limit ended them already).
          if (claimed || context.Claim()) context.Reply([this, outcome] { EndLaunch(outcome); });
          throw;
        }
        context.Reply([this, outcome, done] {
          EndLaunch(outcome);
          if (done) done(outcome);
        });
      },
      std::move(options));
  return true;
}

void BackgroundWork::EndLaunch(const LaunchOutcome& outcome) {
  const auto it = std::find(launching_.begin(), launching_.end(), std::make_pair(outcome.group, outcome.n));
  if (it == launching_.end()) return;
  launching_.erase(it);
  if (ui::Application* app = ui::Application::Current()) app->EndBusy();
}

void BackgroundWork::Run(const std::string& key, Callback<Answer()> job) {
  if (!pool_) return;
  const unsigned generation = ++generations_[key];
  ui::WorkQueue::Options options;
  options.key = key;
  options.priority = kShown;
  options.limit_ms = 0;
  pool_->Post(
      [this, key, generation, job = std::move(job)](const ui::WorkQueue::Context& context) {
        if (void (*hold)(const std::string&) = before_run_for_tests.load()) hold(key);
        Answer answer = job();
        context.Reply([this, key, generation, answer = std::move(answer)] {
          const auto it = generations_.find(key);
          if (it != generations_.end() && it->second == generation && answer) answer();
        });
      },
      std::move(options));
}

void BackgroundWork::Forget(const std::string& key) { ++generations_[key]; }

void BackgroundWork::SetExeFolder(const std::string& folder) {
  exe_folder_ = folder;
  exe_on_removable_ = false;
  // The drive's kind is asked off the window's thread, like any lookup.
  Run("exe folder's drive", [this, folder]() -> Answer {
    const bool removable = os::IsRemovableDrive(folder);
    return [this, removable] { exe_on_removable_ = removable; };
  });
}

std::string BackgroundWork::StoredPath(const std::string& chosen) const {
  return StoredPathFor(chosen, exe_folder_, exe_on_removable_);
}

std::string BackgroundWork::Resolved(const std::string& stored) const {
  return ResolveEntryPath(stored, exe_folder_);
}

void BackgroundWork::Send(Answer answer) {
  if (pool_) pool_->Send(std::move(answer));
}

}  // namespace korvane
