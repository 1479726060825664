#include "data/groupfiles.h"

#include <algorithm>
#include <ctime>
#include <exception>
#include <memory>
#include <utility>

#include "common/text.h"
#include "data/ini.h"
#include "data/os.h"
#include "data/merge.h"
#include "data/refresh.h"
#include "data/settings.h"

namespace korvane {

namespace {

constexpr std::string_view kTitleKey = "TITLE";
constexpr std::string_view kPathKey = "PATH";

bool EqualsNoCaseAscii(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; };
    return lower(x) == lower(y);
  });
}

// Offset of the last '.', or npos ('.' never stands inside a longer UTF-8
// character).
std::size_t LastDot(std::string_view name) { return name.rfind('.'); }

// The section names of a group of count entries.
std::vector<std::string> EntrySections(std::size_t count) {
  std::vector<std::string> names(count);
  for (std::size_t n = 1; n <= count; ++n) names[n - 1] = EntrySection(n, count);
  return names;
}

constexpr std::string_view kEntryKeys[] = {kTitleKey, kPathKey};

}  // namespace

std::optional<EntryValues> GroupFileValues(std::string bytes, std::size_t count) {
  // The usual count's names are made once.
  static const std::vector<std::string> usual = EntrySections(kEntryCount);
  const std::vector<std::string> other = count == kEntryCount ? std::vector<std::string>() : EntrySections(count);
  IniValues read(std::move(bytes), count == kEntryCount ? usual : other, kEntryKeys, EntryValues::HeadBytes(count));
  if (!read.Readable()) return std::nullopt;
  EntryValues values;
  // Each title's length from the ends: the values lie title, path, title...
  const std::span<const std::size_t> ends = read.Ends();
  bool long_title = false;
  for (std::size_t v = 0; v < ends.size() && !long_title; v += 2)
    long_title = ends[v] - (v == 0 ? 0 : ends[v - 1]) > kTitleMaxBytes;
  if (!long_title) {
    // The values were converted where the set keeps them.
    values.Adopt(count, read.TakeBuffer(), ends);
    return values;
  }
  const auto title = [&read](std::size_t i) {
    const std::string_view text = read.Value(i, 0);
    return text.size() > kTitleMaxBytes ? text.substr(0, CutToUnits(text, kTitleMaxBytes).size()) : text;
  };
  values.Assign(count, [&](std::size_t i) { return std::pair(title(i), read.Value(i, 1)); });
  return values;
}

namespace {

bool OwnedByAGroup(const LauncherModel& model, const std::string& file_name) {
  return std::any_of(model.Groups().begin(), model.Groups().end(),
                     [&](const Group& group) { return os::SameFileName(group.FileName(), file_name); });
}

bool SourceOfAGroup(const LauncherModel& model, const std::string& file_name) {
  return std::any_of(model.Groups().begin(), model.Groups().end(), [&](const Group& group) {
    return !group.source.empty() && os::SameFileName(group.source, file_name);
  });
}

bool OnRemovedList(const LauncherModel& model, const std::string& file_name) {
  return std::any_of(model.Removed().begin(), model.Removed().end(),
                     [&](const RemovedGroup& r) { return os::SameFileName(r.FileName(), file_name); });
}

// Skip: nothing to write. Deferred: not read yet, so not written now.
enum class Step { Skip, Deferred, Write, Unchanged, Failed };

// A group's file as the save will write it.
struct PlannedFile {
  std::size_t row = 0;
  std::string path;
  std::string bytes;
  Step step = Step::Skip;
  bool moved = false;     // written under another name than its source
  bool respell = false;   // replaces a file whose name was spelled otherwise
  std::optional<EntryValues> written;    // the values the file holds once written
  std::vector<std::string> clashes;      // lines of the clash box
  std::vector<Displaced> displaced;
  // The file at path as it was read (nullopt: there was none), which it
  // must still be when it is replaced; unguarded when it could not be read.
  bool guarded = false;
  std::optional<os::FileStamp> as_read;
  std::string failure;   // the message of a failed step, when not CannotWriteMessage
};

// A file another program is still writing is waited for, looking every
// kStillWrittenPollMs, at most until kStillWrittenLimitMs after the save
// began; then its group is left unsaved for now.
constexpr unsigned kStillWrittenPollMs = 50;
constexpr std::uint64_t kStillWrittenLimitMs = 3000;

// The file's bytes, nullopt when there is none; false when it exists but
// cannot be read.
bool ReadIfThere(const std::string& path, std::optional<std::string>& bytes, std::optional<os::FileStamp>* stamp = nullptr) {
  std::uint32_t error = 0;
  os::FileStamp read;
  bytes = os::ReadFile(path, &error, &read);
  if (stamp) *stamp = bytes ? std::optional(read) : std::nullopt;
  return bytes || os::IsNotFound(error);
}

// Reads the file as ReadIfThere does, whole: a file another program still
// writes (changed since the group last saw it, and held open for writing)
// is read again once it is written, until deadline. still_written is set
// when it was still being written then.
bool ReadWhole(const std::string& path, const std::optional<os::FileStamp>& known, std::uint64_t deadline,
               std::optional<std::string>& bytes, std::optional<os::FileStamp>& stamp, bool& still_written) {
  for (;;) {
    if (!ReadIfThere(path, bytes, &stamp)) return false;
    if (!bytes || stamp == known || !os::BeingWritten(path)) return true;
    if (os::TickMs() >= deadline) {
      still_written = true;
      return false;
    }
    os::Pause(kStillWrittenPollMs);
  }
}

// What the group's file must hold: the file's bytes as they are now with
// this run's changes spliced in (MergeForSave). Unchanged when those are
// the bytes already there.
void Plan(const std::string& folder, const LauncherModel& model, const Group& group, PlannedFile& file,
          std::uint64_t deadline) {
  const std::size_t row = file.row;
  file = PlannedFile();
  file.row = row;
  const std::string file_name = group.FileName();
  file.path = os::JoinPath(folder, file_name);
  const bool own_file = !group.source.empty() && os::SameFileName(group.source, file_name);
  switch (SaveNeedOf(model, group)) {
    case SaveNeed::Nothing: return;
    case SaveNeed::Deferred: file.step = Step::Deferred; return;
    case SaveNeed::Merge: break;
  }
  file.moved = !group.source.empty() && !own_file;
  file.respell = own_file && group.source != file_name;
  for (const RemovedGroup& r : model.Removed()) {
    if (os::SameFileName(r.FileName(), file_name) && r.FileName() != file_name) file.respell = true;
  }
  file.step = Step::Failed;
  SaveInputs inputs;
  bool still_written = false;
  const auto written_elsewhere = [&] {
    if (still_written) file.failure = StillWrittenMessage(file.path);
  };
  std::optional<os::FileStamp> base_stamp, current_stamp;
  if (!group.source.empty() &&
      !ReadWhole(os::JoinPath(folder, group.source), group.stamp, deadline, inputs.base, base_stamp, still_written))
    return written_elsewhere();
  inputs.carried = SourceOfAGroup(model, file_name);
  if (own_file) {
    file.guarded = true;
    file.as_read = base_stamp;
  } else if (ReadWhole(file.path, std::nullopt, deadline, inputs.current, current_stamp, still_written)) {
    file.guarded = true;
    file.as_read = current_stamp;
  } else {
    // Held by another group of this run, which carries it; else it could
    // not be kept, so it is not overwritten.
    if (!inputs.carried || still_written) return written_elsewhere();
    inputs.current.reset();
  }
  inputs.removed_here = OnRemovedList(model, file_name);
  SaveMerge merge = MergeForSave(model, group, std::move(inputs));
  if (merge.outcome == SaveMerge::Outcome::Refused) return;
  file.bytes = std::move(merge.bytes);
  file.written = std::move(merge.written);
  file.clashes = std::move(merge.clashes);
  file.displaced = std::move(merge.displaced);
  file.step = merge.outcome == SaveMerge::Outcome::Unchanged ? Step::Unchanged : Step::Write;
}

// A free name "<name>~N" for a group file beside the group's: no group
// has it and no file is there.
std::optional<std::string> FreeSideName(const std::string& folder, const LauncherModel& model,
                                        const std::string& name) {
  for (int n = 1; n < 100; ++n) {
    const std::string side = name + "~" + std::to_string(n);
    if (model.FindGroup(side) >= 0 || os::PathExists(os::JoinPath(folder, side + std::string(kGroupExtension))))
      continue;
    if (!GroupFileFits(folder, side)) return std::nullopt;
    return side;
  }
  return std::nullopt;
}

// Keeps bytes the save is about to overwrite: a copy goes to the Recycle
// Bin, or stays in the folder as a group file where there is none (only
// for a clash: a file this run deleted is let go). False when they could
// not be kept.
bool KeepDisplaced(const std::string& folder, const LauncherModel& model, const std::string& name,
                   const Displaced& displaced, std::vector<std::string>& told) {
  const std::optional<std::string> side = FreeSideName(folder, model, name);
  if (!side) return false;
  const std::string path = os::JoinPath(folder, *side + std::string(kGroupExtension));
  if (!os::ReplaceFile(path, displaced.bytes)) return false;
  if (os::MoveToRecycleBin(path)) {
    if (displaced.told) told.push_back(RecycledMessage(name));
  } else if (displaced.told) {
    // Written again where the shell deleted it for good.
    if (!os::PathExists(path) && !os::ReplaceFile(path, displaced.bytes)) return false;
    told.push_back(KeptAsMessage(name, *side));
  } else {
    os::DeleteFile(path);
  }
  return true;
}

// Writes a moved group's new bytes to a file of a free name, which becomes
// its source, so that its old file may be overwritten first: a ring of
// renames then loses nothing when a later write fails or the program is
// killed midway. False when no such file could be written.
bool HoldAside(const std::string& folder, LauncherModel& model, std::size_t row, const std::string& bytes) {
  const Group& group = model.GroupAt(row);
  for (int n = 1; n < 100; ++n) {
    const std::string name = group.name + "~" + std::to_string(n);
    const std::string path = os::JoinPath(folder, name + std::string(kGroupExtension));
    if (model.FindGroup(name) >= 0 || os::PathExists(path)) continue;
    if (!GroupFileFits(folder, name) || !os::ReplaceFile(path, bytes)) return false;
    model.HoldIn(row, name, std::string(kGroupExtension));
    return true;
  }
  return false;
}

}  // namespace

std::string EntrySection(std::size_t n, std::size_t count) {
  // n's last digits, as many as count has, zero-padded.
  std::size_t width = 1;
  for (std::size_t c = count; c >= 10; c /= 10) ++width;
  std::string name(width, '0');
  for (std::size_t k = width; k-- > 0 && n > 0; n /= 10) name[k] = static_cast<char>('0' + n % 10);
  return name;
}

bool IsGroupFileName(std::string_view file_name) {
  const std::size_t n = file_name.size();
  return n >= kGroupExtension.size() &&
         EqualsNoCaseAscii(file_name.substr(n - kGroupExtension.size()), kGroupExtension);
}

std::string GroupNameOf(std::string_view file_name) {
  return std::string(file_name.substr(0, std::min(LastDot(file_name), file_name.size())));
}

bool GroupFileFits(const std::string& folder, std::string_view name) {
  // The longest temporary name: every field at its widest.
  os::TemporaryFile widest;
  widest.file_name = std::string(name) + std::string(kGroupExtension);
  widest.machine = widest.check = 0xFFFFFFFFu;
  widest.process = widest.serial = 0xFFFFFFFFul;
  widest.time = 0xFFFFFFFFFFull;
  return os::PathFits(os::JoinPath(folder, os::TemporaryNameFor(widest)));
}

std::string CannotWriteMessage(std::string_view path) { return std::string(path) + " に書き込めません"; }
std::string CannotDeleteMessage(std::string_view path) { return std::string(path) + " を削除できません"; }
std::string CannotReadMessage(std::string_view path) { return std::string(path) + " を読み込めません"; }
std::string StillWrittenMessage(std::string_view path) {
  return std::string(path) + " はほかのプログラムが書き込み中のため、保存しませんでした";
}
std::string LeftAloneMessage(std::string_view path) { return std::string(path) + " は業務として扱えません"; }

std::string ClashEntryMessage(std::string_view group, std::size_t n, bool title, bool path) {
  const char* what = title && path ? "タイトルとパス" : title ? "タイトル" : "パス";
  return "業務「" + std::string(group) + "」の " + std::to_string(n) + " 行目の" + what;
}
std::string DeletedElsewhereMessage(std::string_view group) {
  return "業務「" + std::string(group) + "」はほかの場所で削除されていたため、新しく作りました";
}
std::string MadeElsewhereMessage(std::string_view group) {
  return "業務「" + std::string(group) + "」と同じ名前のファイルがほかの場所で作られていました";
}
std::string RecycledMessage(std::string_view group) {
  return "業務「" + std::string(group) + "」の保存前のファイルはごみ箱に移しました";
}
std::string KeptAsMessage(std::string_view group, std::string_view kept_as) {
  return "業務「" + std::string(group) + "」の保存前の内容は業務「" + std::string(kept_as) + "」に残しました";
}

std::string ClashText(const std::vector<std::string>& clashes) {
  if (clashes.empty()) return std::string();
  return "次の項目はほかの場所でも変更されていました。この画面の内容で保存しました。\r\n\r\n" + ReportText(clashes);
}

ReadOutcome ReadGroupFile(const std::string& file, std::size_t count, EntryValues& values, os::FileStamp* stamp) {
  std::uint32_t error = 0;
  std::optional<std::string> bytes = os::ReadFile(file, &error, stamp);
  if (!bytes) return os::IsNotFound(error) ? ReadOutcome::Missing : ReadOutcome::Unreadable;
  std::optional<EntryValues> read = GroupFileValues(std::move(*bytes), count);
  if (!read) return ReadOutcome::Unreadable;
  values = std::move(*read);
  return ReadOutcome::Read;
}

ReadOutcome ReadGroupFile(const std::string& file, std::vector<Entry>& entries, os::FileStamp* stamp) {
  EntryValues values;
  const ReadOutcome outcome = ReadGroupFile(file, entries.size(), values, stamp);
  if (outcome == ReadOutcome::Read) {
    const EntryList read(std::move(values));
    entries.assign(read.begin(), read.end());
  }
  return outcome;
}

std::string ReportText(const std::vector<std::string>& messages) {
  constexpr std::size_t kShown = 10;
  std::string text;
  for (std::size_t i = 0; i < messages.size() && i < kShown; ++i) {
    if (i > 0) text += "\r\n";
    std::string_view rest = messages[i];
    while (rest.size() > kReportLineBytes && TextUnits(rest) > kReportLineBytes) {
      std::string_view line = rest.substr(0, CutToUnits(rest, kReportLineBytes).size());
      const std::size_t sep = LastPathSeparator(line);
      if (sep != std::string_view::npos && sep >= kReportLineBytes / 2) line = line.substr(0, sep + 1);
      text += line;
      text += "\r\n";
      rest.remove_prefix(line.size());
    }
    text += rest;
  }
  if (messages.size() > kShown) text += "\r\nほか " + std::to_string(messages.size() - kShown) + " 件";
  return text;
}

namespace {
// A temporary file of this computer younger than this may belong to a
// save still under way (a process of that id runs); an older one is taken
// for left behind whatever runs now (the id may have been reused).
constexpr std::uint64_t kYoungSeconds = 5 * 60;
// The folder changed after the temporary file was last written (by more
// than the clocks' play): its file may have been deleted elsewhere since.
constexpr std::uint64_t kFolderPlaySeconds = 2;

// What an interrupted save left. A temporary file of another computer is
// left alone: its save may still be under way there. One of this computer
// whose process still runs and which is younger than kYoungSeconds is left
// alone too. Any other of this computer's is put back in place of the file
// it was written for when that file is missing, the temporary file is
// whole (its bytes' CRC-32 is the one its name tells) and the folder has
// not changed since it was written (else the file may have been deleted
// elsewhere meanwhile, and must not come back); otherwise it is removed.
// A name of the earlier form, which tells none of that, is removed beside
// its file and left alone without one, unless it may be cut short (".new").
// True when one was put back.
bool RecoverTemporaryFiles(const std::string& folder, const std::vector<os::DirEntry>& entries) {
  struct Found {
    std::string path, target;
    os::TemporaryFile temp;
  };
  std::vector<Found> found;
  for (const os::DirEntry& entry : entries) {
    if (entry.is_folder || !entry.exact) continue;   // never one of the program's
    std::optional<os::TemporaryFile> temp = os::ParseTemporaryName(entry.name);
    // Only the program's own files, made for a group file or the settings.
    if (!temp || !(IsGroupFileName(temp->file_name) || os::SameFileName(temp->file_name, kSettingsFileName)))
      continue;
    found.push_back({os::JoinPath(folder, entry.name), os::JoinPath(folder, temp->file_name), std::move(*temp)});
  }
  if (found.empty()) return false;
  // Judged before anything is changed here, which changes the folder too.
  const std::optional<os::FileStamp> folder_stamp = os::StampOf(folder);
  const std::uint32_t machine = os::MachineTag();
  const std::uint64_t now = static_cast<std::uint64_t>(std::time(nullptr));
  std::vector<std::pair<const Found*, bool>> acts;   // put back, or removed
  for (const Found& f : found) {
    const bool there = os::PathExists(f.target);
    if (!f.temp.tagged) {
      if (there || !f.temp.replaces) acts.emplace_back(&f, false);
      continue;
    }
    if (f.temp.machine != machine) continue;
    const bool young = now < f.temp.time + kYoungSeconds;
    if (young && f.temp.process != os::ProcessId() && os::ProcessRuns(f.temp.process, f.temp.time)) continue;
    bool put_back = false;
    if (!there) {
      const std::optional<os::FileStamp> stamp = os::StampOf(f.path);
      const bool quiet = stamp && folder_stamp &&
                         folder_stamp->write_time <= stamp->write_time + kFolderPlaySeconds * os::kStampUnitsPerSecond;
      if (quiet) {
        const std::optional<std::string> bytes = os::ReadFile(f.path);
        put_back = bytes && os::Crc32(*bytes) == f.temp.check;
      }
    }
    acts.emplace_back(&f, put_back);
  }
  bool put_back = false;
  for (const auto& [f, back] : acts) {
    if (back && os::RenameFile(f->path, f->target)) put_back = true;
    else os::DeleteFile(f->path);
  }
  return put_back;
}
}  // namespace

std::optional<FolderListing> ListGroupNames(const std::string& folder, std::uint64_t epoch) {
  try {
    std::optional<std::vector<os::DirEntry>> entries = os::ListFolder(folder);
    if (entries && RecoverTemporaryFiles(folder, *entries)) entries = os::ListFolder(folder);
    if (!entries) return std::nullopt;
    return GroupFilesOf(folder, std::move(*entries), epoch);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

FileReport ApplyGroupNames(const std::string& folder, const std::optional<FolderListing>& listing,
                           LauncherModel& model) {
  FileReport report;
  model.Reset();
  try {
    if (!listing) {
      report.ok = false;
      report.messages.push_back(CannotReadMessage(folder));
      return report;
    }
    report.messages = listing->left_alone;
    ApplyListing(model, *listing);
  } catch (const std::exception&) {
    model.Reset();
    report.ok = false;
    report.messages.assign(1, CannotReadMessage(folder));
  }
  return report;
}

FileReport LoadGroupNames(const std::string& folder, LauncherModel& model) {
  model.Reset();
  return ApplyGroupNames(folder, ListGroupNames(folder, model.DiskEpoch()), model);
}

FileReport SaveGroups(const std::string& folder, LauncherModel& model) {
  FileReport report;
  const auto fail = [&report](std::string message) {
    report.ok = false;
    report.messages.push_back(std::move(message));
  };
  bool deferred = false;
  bool touched = false;
  const std::uint64_t deadline = os::TickMs() + kStillWrittenLimitMs;
  // From the first change of the folder on, reads and listings begun
  // before are stale.
  const auto touch = [&] {
    if (!touched) model.NextDiskEpoch();
    touched = true;
  };
  try {
    // Every file's new content is made before anything is written: a
    // renamed group starts from its old file even when another group takes
    // that name.
    std::vector<PlannedFile> plan(model.GroupCount());
    std::vector<std::size_t> moved;
    for (std::size_t row = 0; row < plan.size(); ++row) {
      plan[row].row = row;
      Plan(folder, model, model.GroupAt(row), plan[row], deadline);
      if (plan[row].moved) moved.push_back(row);
      if (plan[row].step == Step::Deferred) deferred = true;
    }

    // A file that is the source of a group moved elsewhere is replaced only
    // after that group's new file is written, and not at all when it failed
    // or waits for its read.
    const auto blocking = [](Step step) { return step == Step::Write || step == Step::Failed || step == Step::Deferred; };
    const auto blocker = [&](std::size_t row) -> const PlannedFile* {
      const std::string name = model.GroupAt(row).FileName();
      for (const std::size_t m : moved) {
        if (m != row && blocking(plan[m].step) && os::SameFileName(model.GroupAt(m).source, name)) return &plan[m];
      }
      return nullptr;
    };
    std::vector<std::size_t> pending(plan.size());
    for (std::size_t row = 0; row < plan.size(); ++row) pending[row] = row;
    while (!pending.empty()) {
      std::vector<std::size_t> waiting;
      for (const std::size_t row : pending) {
        PlannedFile& file = plan[row];
        if (file.step == Step::Write) {
          if (const PlannedFile* first = moved.empty() ? nullptr : blocker(row)) {
            if (first->step == Step::Failed || first->step == Step::Deferred) {
              file.step = Step::Failed;
            } else if (waiting.size() + 1 < pending.size()) {
              waiting.push_back(row);
              continue;
            } else if (touch(); !HoldAside(folder, model, first->row, first->bytes)) {
              file.step = Step::Failed;   // a ring of renames that cannot be broken
            }
          }
        }
        const std::string name = model.GroupAt(row).name;
        if (file.step == Step::Write) touch();
        while (file.step == Step::Write) {
          for (const Displaced& displaced : file.displaced) {
            if (!KeepDisplaced(folder, model, name, displaced, file.clashes)) file.step = Step::Failed;
          }
          if (file.step != Step::Write) break;
          const os::Status status = file.guarded ? os::ReplaceFileAsRead(file.path, file.bytes, file.as_read)
                                                 : os::ReplaceFile(file.path, file.bytes);
          if (status) break;
          if (status.error != os::kChangedMeanwhile) {
            file.step = Step::Failed;
          } else if (os::TickMs() >= deadline) {
            file.step = Step::Failed;
            file.failure = StillWrittenMessage(file.path);
          } else {
            // Changed since it was read: read again, merged again.
            os::Pause(kStillWrittenPollMs);
            Plan(folder, model, model.GroupAt(row), file, deadline);
          }
        }
        if (file.step == Step::Failed) {
          fail(file.failure.empty() ? CannotWriteMessage(file.path) : file.failure);
          continue;
        }
        if (file.step == Step::Skip || file.step == Step::Deferred) continue;
        report.clashes.insert(report.clashes.end(), file.clashes.begin(), file.clashes.end());
        if (file.respell) os::MatchNameSpelling(folder, model.GroupAt(row).FileName());   // cosmetic
        model.MarkSaved(row);
        model.MarkWritten(row);
        const std::optional<os::FileStamp> stamp = os::StampOf(file.path);
        if (!file.written) model.SetStamp(row, stamp);   // carried as it is: its values were never seen
        else model.MergeFileValues(row, *file.written, stamp, true);
        file.step = Step::Unchanged;
      }
      pending = std::move(waiting);
    }

    // Then the files of removed names no group owns go to the Recycle Bin,
    // except one whose entries a failed or waiting group still needs.
    std::vector<RemovedGroup> still_removed;
    for (const RemovedGroup& removed : model.Removed()) {
      const std::string file_name = removed.FileName();
      // Taken over by a group: known to this run until that group is in it.
      if (OwnedByAGroup(model, file_name)) {
        const bool pending = std::any_of(plan.begin(), plan.end(), [&](const PlannedFile& file) {
          return (file.step == Step::Failed || file.step == Step::Deferred) &&
                 os::SameFileName(model.GroupAt(file.row).FileName(), file_name);
        });
        if (pending) still_removed.push_back(removed);
        continue;
      }
      const bool needed = std::any_of(moved.begin(), moved.end(), [&](std::size_t m) {
        return (plan[m].step == Step::Failed || plan[m].step == Step::Deferred) &&
               os::SameFileName(model.GroupAt(m).source, file_name);
      });
      const std::string path = os::JoinPath(folder, file_name);
      if (needed) {
        still_removed.push_back(removed);
      } else if (touch(); !os::RecycleFile(path)) {
        still_removed.push_back(removed);
        fail(CannotDeleteMessage(path));
      }
    }
    model.SetRemoved(std::move(still_removed));
    if (report.ok && !deferred) model.ClearModified();
    return report;
  } catch (const std::exception&) {
    fail(CannotWriteMessage(folder));
    return report;
  }
}

}  // namespace korvane
