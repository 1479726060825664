#include "data/groupfiles.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "common/text.h"
#include "data/ini.h"
#include "data/os.h"
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

// Offset of the last '.' that is not a trail byte, or npos.
std::size_t LastDot(std::string_view name) {
  for (std::size_t i = name.size(); i-- > 0;) {
    if (name[i] == '.' && ClassifyByte(name, i) != ByteClass::Trail) return i;
  }
  return std::string_view::npos;
}

// The group's keys spliced into doc; for a group whose file could not be
// read at load only the values changed in this run.
void WriteEntries(IniDocument& doc, const Group& group) {
  const std::size_t count = group.entries.size();
  for (std::size_t j = 0; j < count; ++j) {
    const std::string section = EntrySection(j + 1, count);
    const auto edited = [j](const std::vector<bool>& flags) { return j < flags.size() && flags[j]; };
    if (!group.unread || edited(group.edited_titles)) doc.Set(section, kTitleKey, group.entries[j].title);
    if (!group.unread || edited(group.edited_paths)) doc.Set(section, kPathKey, group.entries[j].path);
  }
}

bool OwnedByAGroup(const LauncherModel& model, const std::string& file_name) {
  return std::any_of(model.Groups().begin(), model.Groups().end(),
                     [&](const Group& group) { return os::SameFileName(group.FileName(), file_name); });
}

enum class Step { Skip, Write, Unchanged, Failed };

// A group's file as the save will write it.
struct PlannedFile {
  std::size_t row = 0;
  std::string path;
  std::string bytes;
  Step step = Step::Skip;
  bool moved = false;     // written under another name than its source
  bool respell = false;   // replaces a file whose name was spelled otherwise
};

// The file's bytes, nullopt when there is none; false when it exists but
// cannot be read.
bool ReadIfThere(const std::string& path, std::optional<std::string>& bytes) {
  std::uint32_t error = 0;
  bytes = os::ReadFile(path, &error);
  return bytes || os::IsNotFound(error);
}

// What the group's file must hold: its source file's bytes with the
// group's keys spliced in. Unchanged when those are the bytes already there.
void Plan(const std::string& folder, const Group& group, const std::vector<RemovedGroup>& removed,
          PlannedFile& file) {
  const std::string file_name = group.FileName();
  file.path = os::JoinPath(folder, file_name);
  const bool own_file = !group.source.empty() && os::SameFileName(group.source, file_name);
  // Nothing of the user's to write into a file whose entries were never seen.
  if (group.unread && own_file && !group.Edited()) return;
  file.moved = !group.source.empty() && !own_file;
  file.respell = own_file && group.source != file_name;
  for (const RemovedGroup& r : removed) {
    if (os::SameFileName(r.FileName(), file_name) && r.FileName() != file_name) file.respell = true;
  }
  file.step = Step::Failed;
  std::optional<std::string> base;
  if (!group.source.empty() && !ReadIfThere(os::JoinPath(folder, group.source), base)) return;
  std::optional<std::string> current;
  if (own_file) current = base;
  else if (!ReadIfThere(file.path, current)) current.reset();   // replaced below or refused there
  IniDocument doc(base.value_or(std::string()));
  if (doc.Readable()) {
    WriteEntries(doc, group);
    file.bytes = doc.TakeBytes();
  } else if (group.unread && !group.Edited()) {
    file.bytes = std::move(*base);   // carried to the new name as it is
  } else {
    return;   // never replaced by what the reader could make of it
  }
  file.step = current && *current == file.bytes ? Step::Unchanged : Step::Write;
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
         EqualsNoCaseAscii(file_name.substr(n - kGroupExtension.size()), kGroupExtension) &&
         ClassifyByte(file_name, n - kGroupExtension.size()) != ByteClass::Trail;
}

std::string GroupNameOf(std::string_view file_name) {
  return std::string(file_name.substr(0, std::min(LastDot(file_name), file_name.size())));
}

bool GroupFileFits(const std::string& folder, std::string_view name) {
  // The longest temporary name: process id and serial at their widest.
  constexpr unsigned long kWidest = 0xFFFFFFFFul;
  const std::string file_name = std::string(name) + std::string(kGroupExtension);
  return os::PathFits(os::JoinPath(folder, os::TemporaryNameFor(file_name, true, kWidest, kWidest)));
}

std::string CannotWriteMessage(std::string_view path) { return std::string(path) + " に書き込めません"; }
std::string CannotDeleteMessage(std::string_view path) { return std::string(path) + " を削除できません"; }
std::string CannotReadMessage(std::string_view path) { return std::string(path) + " を読み込めません"; }
std::string LeftAloneMessage(std::string_view path) { return std::string(path) + " は業務として扱えません"; }

ReadOutcome ReadGroupFile(const std::string& file, std::vector<Entry>& entries) {
  std::uint32_t error = 0;
  std::optional<std::string> bytes = os::ReadFile(file, &error);
  if (!bytes) return os::IsNotFound(error) ? ReadOutcome::Missing : ReadOutcome::Unreadable;
  const IniDocument doc(std::move(*bytes));
  if (!doc.Readable()) return ReadOutcome::Unreadable;
  const std::size_t count = entries.size();
  for (std::size_t i = 0; i < count; ++i) {
    const IniDocument::SectionReader section = doc.ReadSection(EntrySection(i + 1, count));
    Entry& entry = entries[i];
    entry.title = section.Get(kTitleKey, "");
    if (entry.title.size() > kTitleMaxBytes) entry.title = TruncateBytes(entry.title, kTitleMaxBytes);
    entry.path = section.Get(kPathKey, "");
    entry.marker = UntestedMarker(entry.path);
  }
  return ReadOutcome::Read;
}

std::string ReportText(const std::vector<std::string>& messages) {
  constexpr std::size_t kShown = 10;
  std::string text;
  for (std::size_t i = 0; i < messages.size() && i < kShown; ++i) {
    if (i > 0) text += "\r\n";
    std::string_view rest = messages[i];
    while (rest.size() > kReportLineBytes) {
      std::string_view line = rest.substr(0, TruncateBytes(rest, kReportLineBytes).size());
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
// What an interrupted save left: a temporary file is put back in place of
// the file it was written for when that file is missing and the temporary
// file is whole, and removed otherwise. True when one was put back.
bool RecoverTemporaryFiles(const std::string& folder, const std::vector<os::DirEntry>& entries) {
  bool put_back = false;
  for (const os::DirEntry& entry : entries) {
    if (entry.is_folder || !entry.exact) continue;   // never one of the program's
    const std::optional<os::TemporaryFile> temp = os::ParseTemporaryName(entry.name);
    // Only the program's own files, made for a group file or the settings.
    if (!temp || !(IsGroupFileName(temp->file_name) || os::SameFileName(temp->file_name, kSettingsFileName)))
      continue;
    const std::string path = os::JoinPath(folder, entry.name);
    const std::string target = os::JoinPath(folder, temp->file_name);
    if (temp->replaces && !os::PathExists(target) && os::RenameFile(path, target)) put_back = true;
    else if (os::PathExists(target)) os::DeleteFile(path);
    else if (!temp->replaces) os::DeleteFile(path);   // may have been cut short
  }
  return put_back;
}
}  // namespace

FileReport LoadGroups(const std::string& folder, LauncherModel& model) {
  FileReport report;
  model.Reset();
  try {
    std::optional<std::vector<os::DirEntry>> entries = os::ListFolder(folder);
    if (entries && RecoverTemporaryFiles(folder, *entries)) entries = os::ListFolder(folder);
    if (!entries) {
      report.ok = false;
      report.messages.push_back(CannotReadMessage(folder));
      return report;
    }
    for (const os::DirEntry& entry : *entries) {
      if (entry.is_folder || !IsGroupFileName(entry.name)) continue;
      if (!entry.exact || !os::PathFits(os::JoinPath(folder, entry.name))) {
        report.messages.push_back(LeftAloneMessage(os::JoinPath(folder, entry.name)));
        continue;
      }
      Group group = model.NewGroup(GroupNameOf(entry.name));
      group.extension = entry.name.substr(group.name.size());
      group.source = entry.name;
      const std::string path = os::JoinPath(folder, entry.name);
      ReadOutcome outcome = ReadOutcome::Unreadable;
      try {
        outcome = ReadGroupFile(path, group.entries);
      } catch (const std::exception&) {
        outcome = ReadOutcome::Unreadable;   // keeps what was read so far
      }
      if (outcome == ReadOutcome::Unreadable) {
        group.unread = true;
        report.messages.push_back(CannotReadMessage(path));
      }
      model.AppendLoaded(std::move(group));
    }
  } catch (const std::exception&) {
    report.ok = false;
    report.messages.push_back(CannotReadMessage(folder));
  }
  return report;
}

FileReport SaveGroups(const std::string& folder, LauncherModel& model) {
  FileReport report;
  const auto fail = [&report](std::string message) {
    report.ok = false;
    report.messages.push_back(std::move(message));
  };
  try {
    // Every file's new content is made before anything is written: a
    // renamed group starts from its old file even when another group takes
    // that name.
    std::vector<PlannedFile> plan(model.GroupCount());
    std::vector<std::size_t> moved;
    for (std::size_t row = 0; row < plan.size(); ++row) {
      plan[row].row = row;
      Plan(folder, model.GroupAt(row), model.Removed(), plan[row]);
      if (plan[row].moved) moved.push_back(row);
    }

    // A file that is the source of a group moved elsewhere is replaced only
    // after that group's new file is written, and not at all when it failed.
    const auto blocker = [&](std::size_t row) -> const PlannedFile* {
      const std::string name = model.GroupAt(row).FileName();
      for (const std::size_t m : moved) {
        if (m != row && (plan[m].step == Step::Write || plan[m].step == Step::Failed) &&
            os::SameFileName(model.GroupAt(m).source, name))
          return &plan[m];
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
            if (first->step == Step::Failed) {
              file.step = Step::Failed;
            } else if (waiting.size() + 1 < pending.size()) {
              waiting.push_back(row);
              continue;
            } else if (!HoldAside(folder, model, first->row, first->bytes)) {
              file.step = Step::Failed;   // a ring of renames that cannot be broken
            }
          }
        }
        if (file.step == Step::Write && !os::ReplaceFile(file.path, file.bytes)) file.step = Step::Failed;
        if (file.step == Step::Failed) {
          fail(CannotWriteMessage(file.path));
          continue;
        }
        if (file.step == Step::Skip) continue;
        if (file.respell) os::MatchNameSpelling(folder, model.GroupAt(row).FileName());   // cosmetic
        model.MarkSaved(row);
        file.step = Step::Unchanged;
      }
      pending = std::move(waiting);
    }

    // Then the files of removed names no group owns go to the Recycle Bin,
    // except one whose entries a failed group still needs.
    std::vector<RemovedGroup> still_removed;
    for (const RemovedGroup& removed : model.Removed()) {
      const std::string file_name = removed.FileName();
      if (OwnedByAGroup(model, file_name)) continue;
      const bool needed = std::any_of(moved.begin(), moved.end(), [&](std::size_t m) {
        return plan[m].step == Step::Failed && os::SameFileName(model.GroupAt(m).source, file_name);
      });
      const std::string path = os::JoinPath(folder, file_name);
      if (needed) {
        still_removed.push_back(removed);
      } else if (!os::RecycleFile(path)) {
        still_removed.push_back(removed);
        fail(CannotDeleteMessage(path));
      }
    }
    model.SetRemoved(std::move(still_removed));
    if (report.ok) model.ClearModified();
    return report;
  } catch (const std::exception&) {
    fail(CannotWriteMessage(folder));
    return report;
  }
}

}  // namespace korvane
