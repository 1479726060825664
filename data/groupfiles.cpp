#include "data/groupfiles.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "common/text.h"
#include "data/ini.h"
#include "data/os.h"

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

void WriteEntries(IniDocument& doc, const Group& group) {
  const std::size_t count = group.entries.size();
  for (std::size_t j = 0; j < count; ++j) {
    const std::string section = EntrySection(j + 1, count);
    doc.Set(section, kTitleKey, group.entries[j].title);
    doc.Set(section, kPathKey, group.entries[j].path);
  }
}

bool OwnedByAGroup(const LauncherModel& model, const std::string& file_name) {
  return std::any_of(model.Groups().begin(), model.Groups().end(),
                     [&](const Group& group) { return os::SameFileName(group.FileName(), file_name); });
}

// A group file as the save will write it.
struct PlannedFile {
  std::string file_name;
  std::string path;
  std::string bytes;
  bool respell = false;   // replaces a removed file whose name was spelled otherwise
};

}  // namespace

std::string EntrySection(std::size_t n, std::size_t count) {
  const std::size_t width = std::to_string(count).size();
  const std::string padded = std::string(width, '0') + std::to_string(n);
  return padded.substr(padded.size() - width);
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

std::string CannotWriteMessage(std::string_view path) { return std::string(path) + " に書き込めません"; }
std::string CannotDeleteMessage(std::string_view path) { return std::string(path) + " を削除できません"; }
std::string CannotReadMessage(std::string_view path) { return std::string(path) + " を読み込めません"; }

ReadOutcome ReadGroupFile(const std::string& file, std::vector<Entry>& entries) {
  std::uint32_t error = 0;
  std::optional<std::string> bytes = os::ReadFile(file, &error);
  if (!bytes) return os::IsNotFound(error) ? ReadOutcome::Missing : ReadOutcome::Unreadable;
  const IniDocument doc(std::move(*bytes));
  if (!doc.Readable()) return ReadOutcome::Unreadable;
  const std::size_t count = entries.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string section = EntrySection(i + 1, count);
    Entry& entry = entries[i];
    entry.title = TruncateBytes(doc.Get(section, kTitleKey, ""), kTitleMaxBytes);
    entry.path = doc.Get(section, kPathKey, "");
    entry.marker = UntestedMarker(entry.path);
  }
  return ReadOutcome::Read;
}

FileReport LoadGroups(const std::string& folder, LauncherModel& model) {
  FileReport report;
  model.Reset();
  try {
    std::optional<std::vector<os::DirEntry>> entries = os::ListFolder(folder);
    if (!entries) {
      report.ok = false;
      report.messages.push_back(CannotReadMessage(folder));
      return report;
    }
    for (const os::DirEntry& entry : *entries) {
      if (entry.is_folder) continue;
      if (os::IsTemporaryName(entry.name)) {
        // Left by a save that was cut short; the original beside it is whole.
        os::DeleteFile(os::JoinPath(folder, entry.name));
        continue;
      }
      if (!IsGroupFileName(entry.name)) continue;
      Group group = model.NewGroup(GroupNameOf(entry.name));
      group.extension = entry.name.substr(group.name.size());
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
  std::string failing;
  const auto fail = [&report](std::string message) {
    report.ok = false;
    report.messages.push_back(std::move(message));
    return report;
  };
  try {
    // Every new file content is made before anything is written, so an
    // existing file that cannot be read stops the save with nothing changed.
    std::vector<PlannedFile> plan;
    plan.reserve(model.GroupCount());
    for (const Group& group : model.Groups()) {
      if (group.unread) continue;
      PlannedFile file;
      file.file_name = group.FileName();
      file.path = os::JoinPath(folder, file.file_name);
      failing = file.path;
      // A group made again under a removed name gets a fresh file, not the
      // leftovers of the group that had the name before.
      bool fresh = false;
      for (const RemovedGroup& removed : model.Removed()) {
        if (!os::SameFileName(removed.FileName(), file.file_name)) continue;
        fresh = true;
        if (removed.FileName() != file.file_name) file.respell = true;
      }
      IniDocument doc;
      if (!fresh) {
        std::uint32_t error = 0;
        std::optional<std::string> bytes = os::ReadFile(file.path, &error);
        if (bytes) {
          doc = IniDocument(std::move(*bytes));
          if (!doc.Readable()) return fail(CannotWriteMessage(file.path));
        } else if (!os::IsNotFound(error)) {
          return fail(CannotWriteMessage(file.path));
        }
      }
      WriteEntries(doc, group);
      file.bytes = doc.TakeBytes();
      plan.push_back(std::move(file));
    }

    for (const PlannedFile& file : plan) {
      failing = file.path;
      if (!os::ReplaceFile(file.path, file.bytes)) return fail(CannotWriteMessage(file.path));
      if (file.respell) os::MatchNameSpelling(folder, file.file_name);   // cosmetic: outcome ignored
    }

    // Deleted only once every group is safely written.
    std::vector<RemovedGroup> still_removed;
    for (const RemovedGroup& removed : model.Removed()) {
      const std::string file_name = removed.FileName();
      if (OwnedByAGroup(model, file_name)) continue;
      const std::string path = os::JoinPath(folder, file_name);
      failing = path;
      if (!os::DeleteFile(path)) {
        still_removed.push_back(removed);
        report.ok = false;
        report.messages.push_back(CannotDeleteMessage(path));
      }
    }
    model.SetRemoved(std::move(still_removed));
    if (report.ok) model.ClearModified();
    return report;
  } catch (const std::exception&) {
    return fail(CannotWriteMessage(failing.empty() ? folder : failing));
  }
}

}  // namespace korvane
