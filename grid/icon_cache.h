#pragma once
// The entries' icons by path, so that painting never asks the shell (which
// may take seconds on a network share). Bounded: the least recently drawn
// icon leaves first. Emptied when a group is selected, so a changed file
// shows its new icon. Every icon is destroyed when it leaves the cache.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "ui/gdi.h"

namespace korvane {

// The icon the shell gives for a file (its associated program's), or none;
// paths of 513 bytes or more get none. Takes as long as the file system
// takes: call it off the window's thread.
ui::UniqueIcon ExtractEntryIcon(const std::string& path);
// Tests only: ExtractEntryIcon asks `extract` first (a share that does not
// answer), which answers true when it set the icon, false to leave the path
// to the shell; nullptr puts the shell back. Any thread may extract
// meanwhile.
void SetIconExtraction(bool (*extract)(const std::string& path, ui::UniqueIcon& icon));

class IconCache {
 public:
  static constexpr std::size_t kDefaultCapacity = 64;
  explicit IconCache(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}
  IconCache(const IconCache&) = delete;
  IconCache& operator=(const IconCache&) = delete;

  // The icon of path: *known is false when no extraction has answered yet;
  // a known path may have no icon (nullptr).
  HICON Find(const std::string& path, bool* known);
  // True when path needs an extraction: not known and not asked for since
  // the cache was last emptied. Notes it as asked for.
  bool Request(const std::string& path);
  // An extraction's answer for a request made in `generation`: dropped (the
  // icon destroyed) when the cache has been emptied since.
  void Store(std::uint32_t generation, const std::string& path, ui::UniqueIcon icon);
  std::uint32_t Generation() const { return generation_; }
  // Destroys every icon and forgets every request.
  void Clear();
  std::size_t Size() const { return entries_.size(); }

 private:
  struct Item {
    std::string path;
    ui::UniqueIcon icon;
  };
  std::size_t capacity_;
  std::uint32_t generation_ = 0;
  std::list<Item> entries_;   // most recently drawn first
  std::unordered_map<std::string, std::list<Item>::iterator> index_;
  std::unordered_set<std::string> requested_;
};

}  // namespace korvane
