#pragma once
// Group files: one INI-form file "<group name>.PTH" per group in the data
// folder (the exe's folder), sections "01".."20" with keys TITLE and PATH.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "data/model.h"

namespace korvane {

// Section of entry number n (1-based) for a group of count entries: the
// number padded with '0' to as many digits as count has ("01".."20").
std::string EntrySection(std::size_t n, std::size_t count);

// True when a folder entry's name really ends in ".PTH", in any case.
bool IsGroupFileName(std::string_view file_name);
// The group a file holds: its name without the last extension.
std::string GroupNameOf(std::string_view file_name);

// The warning texts, the file's full name joined in front.
std::string CannotWriteMessage(std::string_view path);    // "… に書き込めません"
std::string CannotDeleteMessage(std::string_view path);   // "… を削除できません"
std::string CannotReadMessage(std::string_view path);     // "… を読み込めません"

enum class ReadOutcome {
  Read,         // the file's values are in the entries
  Missing,      // no such file: the entries stay empty
  Unreadable,   // the file exists but could not be read (locked, refused by
                // the reader): the entries stay empty
};

// Reads one group file (full name) into entries already sized to the entry
// count: titles cut to kTitleMaxBytes, markers Untested (the paths are
// tested later, off the window's thread).
ReadOutcome ReadGroupFile(const std::string& file, std::vector<Entry>& entries);

struct FileReport {
  bool ok = true;
  std::vector<std::string> messages;   // for the warning box, one per problem
};

// Builds the model from the group files in folder, in the order the folder
// lists them. Files that exist but cannot be read load empty, are marked so
// that no save overwrites them unchanged, and each gets a message. ok is
// false only when the folder itself cannot be listed. Leftover temporary
// files of an interrupted save are removed.
FileReport LoadGroups(const std::string& folder, LauncherModel& model);

// Writes every group's file whole and atomically (each file ends wholly old
// or wholly new), then deletes the files of removed names that no group
// owns any more. On full success the flag is cleared and the removed list
// emptied; on any failure the flag stays set and the messages say which
// file failed. A failed write stops the save before any file is deleted.
FileReport SaveGroups(const std::string& folder, LauncherModel& model);

}  // namespace korvane
