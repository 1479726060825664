#pragma once
// The program's start in one call, for the tests and the benchmarks: the
// names first (LoadGroupNames), then every file read in turn and merged as
// the window merges what its workers read (ReadGroupSnapshot,
// ApplySnapshot). ok is false only when the folder cannot be listed; each
// file that cannot be read gets CannotReadMessage.
#include <exception>
#include <string>
#include <utility>

#include "data/groupfiles.h"
#include "data/merge.h"
#include "data/refresh.h"

namespace korvane {

inline FileReport LoadGroups(const std::string& folder, LauncherModel& model) {
  FileReport report = LoadGroupNames(folder, model);
  if (!report.ok) return report;
  try {
    // Row by row: each file is applied to the group it was read for.
    for (std::size_t row = 0; row < model.GroupCount(); ++row) {
      if (model.GroupAt(row).state != ReadState::NotRead) continue;
      GroupSnapshot snapshot =
          ReadGroupSnapshot(folder, model.GroupAt(row).source, model.EntryCount(), model.DiskEpoch());
      const std::string file_name = snapshot.file_name;
      if (ApplySnapshot(model, std::move(snapshot), row).unreadable)
        report.messages.push_back(CannotReadMessage(os::JoinPath(folder, file_name)));
    }
  } catch (const std::exception&) {
    report.ok = false;
    report.messages.push_back(CannotReadMessage(folder));
  }
  return report;
}

}  // namespace korvane
