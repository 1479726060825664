// Group-file load over arbitrary bytes, and a save round trip: whatever a
// file holds, the load keeps the model's shape, a save of a changed group
// reads back as the model held it, and saving again changes no byte.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/text.h"
#include "data/groupfiles.h"
#include "data/os.h"
#include "tests/core/load_groups.h"

namespace {

std::string g_folder;

void RemoveFolder() {
  for (const auto& entry : korvane::os::ListFolder(g_folder).value_or(std::vector<korvane::os::DirEntry>{}))
    std::remove((g_folder + entry.name).c_str());
  ::rmdir(g_folder.c_str());
}

const std::string& Folder() {
  if (g_folder.empty()) {
    char pattern[] = "/tmp/korvane-fuzz-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    g_folder = std::string(pattern) + "/";
    std::atexit(RemoveFolder);
  }
  return g_folder;
}

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const std::string folder = Folder();
  const std::string file = folder + "G.PTH";
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::FILE* out = std::fopen(file.c_str(), "wb");
  Require(out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && std::fclose(out) == 0,
          "write the input");

  LauncherModel model;
  const FileReport loaded = LoadGroups(folder, model);
  Require(loaded.ok && model.GroupCount() == 1, "one group loads");
  const Group& group = model.GroupAt(0);
  Require(group.name == "G", "group name");
  Require(group.entries.size() == kEntryCount, "twenty entries");
  for (std::size_t i = 0; i < kEntryCount; ++i) {
    Require(TextUnits(group.entries[i].title) <= kTitleMaxBytes, "title within 40 units");
    Require(TextUnits(group.entries[i].path) <= 2047, "value within 2047 units");
    Require(ValidUtf8(group.entries[i].title) == group.entries[i].title, "titles are UTF-8");
    Require(ValidUtf8(group.entries[i].path) == group.entries[i].path, "paths are UTF-8");
    Require((group.entries[i].marker == PathMarker::NoPath) == group.entries[i].path.empty(), "marker 0 exactly for no path");
  }

  // ReadGroupFile alone gives the same entries.
  std::vector<Entry> entries(kEntryCount);
  const ReadOutcome outcome = ReadGroupFile(file, entries);
  Require((outcome == ReadOutcome::Unreadable) == group.Unread(), "unreadable at load means protected");
  Require(entries == group.entries, "ReadGroupFile agrees with LoadGroups");

  model.SelectGroup(0);
  model.SetTitle(1, "fuzz");
  const std::vector<Entry> saved_entries = model.GroupAt(0).entries;
  const FileReport saved = SaveGroups(folder, model);
  if (outcome == ReadOutcome::Unreadable) {
    // Not a form the reader takes: never replaced, the save fails.
    Require(!saved.ok && model.Modified(), "an unreadable file fails the save");
    Require(os::ReadFile(file).value_or("") == bytes, "an unreadable file is left as it was");
    return 0;
  }
  Require(saved.ok && !model.Modified(), "save succeeds");
  const std::string first = os::ReadFile(file).value_or("<missing>");

  LauncherModel again;
  Require(LoadGroups(folder, again).ok && again.GroupCount() == 1, "reload");
  Require(again.GroupAt(0).entries == saved_entries, "entries read back as saved");

  Require(SaveGroups(folder, again).ok, "second save");
  Require(os::ReadFile(file).value_or("<missing>") == first, "saving again changes no byte");
  return 0;
}
