#pragma once
// Group files: one INI-form file "<group name>.PTH" per group in the data
// folder (the exe's folder), sections "01".."20" with keys TITLE and PATH.
#include <cstddef>
#include <optional>
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

// True when the file of a group named name in folder, and the temporary
// files a save writes beside it, lie within the system's path limit.
bool GroupFileFits(const std::string& folder, std::string_view name);

// The warning texts, the file's full name joined in front.
std::string CannotWriteMessage(std::string_view path);    // "… に書き込めません"
std::string CannotDeleteMessage(std::string_view path);   // "… を削除できません"
std::string CannotReadMessage(std::string_view path);     // "… を読み込めません"
// A file another program was still writing when the save ended: its group
// was not saved (nothing lost; the next save tries again).
std::string StillWrittenMessage(std::string_view path);   // "… はほかのプログラムが書き込み中のため、保存しませんでした"
// A file the program leaves alone: its full name is beyond the system's
// path limit, or its name cannot be spelled in UTF-8 (an unpaired
// surrogate).
std::string LeftAloneMessage(std::string_view path);      // "… は業務として扱えません"

enum class ReadOutcome {
  Read,         // the file's values are in the entries
  Missing,      // no such file: the entries stay empty
  Unreadable,   // the file exists but could not be read (locked, refused by
                // the reader): the entries stay empty
};

// Reads one group file (full name) into entries already sized to the entry
// count: titles cut to kTitleMaxBytes units, markers Untested (the paths are
// tested later, off the window's thread). stamp gets the file's stamp as
// it was read.
ReadOutcome ReadGroupFile(const std::string& file, std::vector<Entry>& entries, os::FileStamp* stamp = nullptr);
// The same into the values of count entries, as a group keeps them.
ReadOutcome ReadGroupFile(const std::string& file, std::size_t count, EntryValues& values,
                          os::FileStamp* stamp = nullptr);
// The titles and paths of count entries in a group file's bytes, titles
// cut to kTitleMaxBytes units; nullopt when the file is not readable.
std::optional<EntryValues> GroupFileValues(std::string bytes, std::size_t count);

struct FileReport {
  bool ok = true;
  std::vector<std::string> messages;   // for the warning box, one per problem
  // After a save: one line per clashing entry, group deleted elsewhere or
  // name taken elsewhere, and where the file as it was went; ClashText
  // makes the box.
  std::vector<std::string> clashes;
};

// The lines of the clash box.
std::string ClashEntryMessage(std::string_view group, std::size_t n, bool title, bool path);
std::string DeletedElsewhereMessage(std::string_view group);
std::string MadeElsewhereMessage(std::string_view group);
std::string RecycledMessage(std::string_view group);
std::string KeptAsMessage(std::string_view group, std::string_view kept_as);
// The information box after a save that met clashes: a lead line, then
// ReportText of the lines; empty when there were none (no box).
std::string ClashText(const std::vector<std::string>& clashes);

// Widest line of a report, in units (common/text.h): a long file name is
// broken into lines of this width so that the box stays narrower than the
// screen.
inline constexpr std::size_t kReportLineBytes = 80;

// The messages of a report for one warning box: the first ten, one a line,
// then "ほか N 件" for the rest. A line longer than kReportLineBytes is
// broken after the last folder separator in its second half, or else at
// that width, never inside a character.
std::string ReportText(const std::vector<std::string>& messages);

// The first step of a start: the model gets one group, not read yet, per
// group file in folder, in the order the folder lists them, after what an
// interrupted save left is put right. Messages for the files the program
// leaves alone; ok is false only when the folder cannot be listed. The
// files are then read with ReadGroupSnapshot (refresh.h) and ApplySnapshot
// (merge.h) for UnreadFiles(model), in any order. Files that exist but
// cannot be read load empty, are marked so that a save writes into them
// only what the user changed, and each gets a message. A file whose name
// the program cannot pass to the system (a full name beyond the path
// limit, or no UTF-8 spelling) is no group: it is never read, written,
// renamed or deleted, and gets a message. Any character Windows allows in
// a file name makes a group name. What an interrupted save left is cleaned
// up first: a whole temporary file whose file is missing is put back in its
// place, the others are removed.
FileReport LoadGroupNames(const std::string& folder, LauncherModel& model);

// Writes what this run changed, whole and atomically (each file ends wholly
// old or wholly new), then deletes the files of removed names that no group
// owns any more. Into a group's file, as it is at the moment of the save,
// go only the titles and paths this run changed; a group with no change is
// not written; a new group, or one whose file was deleted elsewhere, is
// written whole; a renamed group carries its file's bytes. A value changed
// here and elsewhere is a clash: the user's value is written, and the file
// as it was is kept (Recycle Bin, or a group file "<name>~N.PTH" beside it
// where the folder has none) and told in clashes; so is a file made
// elsewhere under a new or renamed group's name. Afterwards the values not
// changed here are the file's, every base is what was written and the
// stamps are those of the written files. A group not read yet is not
// written (a rename of it waits, the flag staying set). A group that cannot be written is
// reported and never stops the others; the file it came from is neither
// deleted nor overwritten (groups that trade names are first written to a
// file of a free name, "<name>~1.PTH", which goes once they are all saved:
// no moment leaves one's entries in no file). On full success the flag is cleared and the
// removed list emptied; otherwise the flag stays set and the messages say
// which files failed.
FileReport SaveGroups(const std::string& folder, LauncherModel& model);

}  // namespace korvane
