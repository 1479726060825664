#pragma once
// Seeing what other places did to the group folder while the program runs,
// in steps the window spreads over its threads:
//
//   worker:  ListGroupFiles (names and stamps, no file read)
//   window:  ApplyListing (data/merge.h) (new files become groups not read yet, files
//            deleted elsewhere take their unchanged groups with them), then
//            FilesToRead (only files whose stamp differs from the one the
//            group remembers, and groups not read yet)
//   worker:  ReadGroupSnapshot for each (no model access)
//   window:  ApplySnapshot for each (the merge)
//
// The program's own saves record the stamps of what they wrote, so the
// notification that follows a save finds nothing to read. Each listing and
// snapshot carries the model's disk epoch from when it was asked for; one
// from before a save that touched its files is dropped.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/groupfiles.h"
#include "data/merge.h"
#include "data/model.h"
#include "data/os.h"

namespace korvane {

// The group files of folder, without reading any. nullopt when the folder
// cannot be listed (a share that is away): such a refresh changes nothing.
// stamps false skips the stamps where they cost a call per file (POSIX).
// Any thread; never throws.
std::optional<FolderListing> ListGroupFiles(const std::string& folder, std::uint64_t epoch, bool stamps = true);
// The same from a listing of folder already made.
std::optional<FolderListing> GroupFilesOf(const std::string& folder, std::vector<os::DirEntry> entries,
                                          std::uint64_t epoch);

// The listing a start begins with (LoadGroupNames' first half): folder
// listed after what an interrupted save left is put right. nullopt when
// the folder cannot be listed. Any thread; never throws.
std::optional<FolderListing> ListGroupNames(const std::string& folder, std::uint64_t epoch);
// Its second half, on the window's thread: the model gets one group, not
// read yet, per listed file. ok is false (and the model empty) when there
// is no listing.
FileReport ApplyGroupNames(const std::string& folder, const std::optional<FolderListing>& listing,
                           LauncherModel& model);

// Reads one group file of folder. Any thread; touches no model; never
// throws (a failure is an Unreadable outcome).
GroupSnapshot ReadGroupSnapshot(const std::string& folder, const std::string& file_name, std::size_t entry_count,
                                std::uint64_t epoch);

}  // namespace korvane
