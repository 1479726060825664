// What the window takes in of a save that ran on a copy of its model while
// the user went on (LauncherModel::TakeInSave).
#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "data/model.h"

namespace korvane {

namespace {

bool SameValues(const EntryValues& a, const EntryValues& b) {
  if (a.Shares(b)) return true;
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a.Title(i) != b.Title(i) || a.Path(i) != b.Path(i)) return false;
  }
  return true;
}

bool SameEntries(const EntryList& a, const EntryList& b) {
  if (a.Unmade() && b.Unmade() && a.Unmade()->Shares(*b.Unmade())) return true;
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a.Title(i) != b.Title(i) || a.Path(i) != b.Path(i)) return false;
  }
  return true;
}

// The same group as far as a save is concerned (markers aside).
bool SameGroup(const Group& a, const Group& b) {
  return a.name == b.name && a.extension == b.extension && a.source == b.source && a.state == b.state &&
         a.stamp == b.stamp && a.written_epoch == b.written_epoch && SameValues(a.base, b.base) &&
         SameEntries(a.entries, b.entries);
}

bool SameRemoved(const std::vector<RemovedGroup>& a, const std::vector<RemovedGroup>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].extension != b[i].extension) return false;
  }
  return true;
}

// The markers of `from`'s entries go to `to`'s where the paths are the
// same (a group whose entries were never made has none to give).
void KeepMarkers(const Group& from, Group& to) {
  if (from.entries.Unmade()) return;
  for (std::size_t i = 0; i < from.entries.size() && i < to.entries.size(); ++i) {
    if (to.entries.Path(i) == from.entries.Path(i)) to.entries[i].marker = from.entries[i].marker;
  }
}

}  // namespace

void LauncherModel::TakeInSave(const LauncherModel& before, LauncherModel saved) {
  if (saved.disk_epoch_ > disk_epoch_) disk_epoch_ = saved.disk_epoch_;
  bool same = groups_.size() == before.groups_.size() && modified_ == before.modified_ &&
              SameRemoved(removed_, before.removed_);
  for (std::size_t row = 0; same && row < groups_.size(); ++row) same = SameGroup(groups_[row], before.groups_[row]);
  if (same && saved.groups_.size() == groups_.size()) {
    for (std::size_t row = 0; row < groups_.size(); ++row) KeepMarkers(groups_[row], saved.groups_[row]);
    groups_ = std::move(saved.groups_);
    removed_ = std::move(saved.removed_);
    modified_ = saved.modified_;
    return;
  }

  // Changed meanwhile: group by group, value by value.
  bool after = false;
  std::unordered_map<std::string_view, std::size_t> rows;
  for (std::size_t row = 0; row < before.groups_.size() && row < saved.groups_.size(); ++row) {
    rows.emplace(before.groups_[row].name, row);
  }
  for (Group& live : groups_) {
    const auto found = rows.find(live.name);
    if (found == rows.end()) {
      // Made or renamed since: still to be saved. One a refresh listed
      // meanwhile (the save's own copy of a clashing file, say) is not.
      after = after || live.ChangedHere();
      continue;
    }
    const Group& was = before.groups_[found->second];
    Group& done = saved.groups_[found->second];
    if (live.extension != was.extension) after = true;
    const std::size_t count = live.entries.size();
    if (SameEntries(live.entries, was.entries)) {
      KeepMarkers(live, done);
      live.entries = std::move(done.entries);
    } else {
      std::vector<Entry> merged(count);
      for (std::size_t i = 0; i < count; ++i) {
        const bool known = i < was.entries.size() && i < done.entries.size();
        const bool title_kept = !known || live.entries.Title(i) != was.entries.Title(i);
        const bool path_kept = !known || live.entries.Path(i) != was.entries.Path(i);
        merged[i].title = std::string(title_kept ? live.entries.Title(i) : done.entries.Title(i));
        merged[i].path = std::string(path_kept ? live.entries.Path(i) : done.entries.Path(i));
        merged[i].marker = merged[i].path == live.entries.Path(i) && !live.entries.Unmade()
                               ? live.entries[i].marker
                               : UntestedMarker(merged[i].path);
        after = after || title_kept || path_kept;
      }
      live.entries = EntryList(std::move(merged));
    }
    live.source = std::move(done.source);
    live.state = done.state;
    live.base = std::move(done.base);
    live.stamp = done.stamp;
    live.written_epoch = done.written_epoch;
    if (live.extension == was.extension) live.extension = std::move(done.extension);
  }
  // Names the save deleted are gone; those removed since stay.
  std::vector<RemovedGroup> removed;
  for (RemovedGroup& r : removed_) {
    const auto is = [&r](const RemovedGroup& o) { return o.name == r.name && o.extension == r.extension; };
    const bool listed_before = std::any_of(before.removed_.begin(), before.removed_.end(), is);
    const bool still = std::any_of(saved.removed_.begin(), saved.removed_.end(), is);
    if (listed_before && !still) continue;
    if (!listed_before) after = true;
    removed.push_back(std::move(r));
  }
  removed_ = std::move(removed);
  modified_ = saved.modified_ || after;
}

}  // namespace korvane
