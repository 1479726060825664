#include "grid/icon_cache.h"

#include <shellapi.h>

#include <atomic>
#include <cstring>

#include "ui/wide.h"

namespace korvane {

namespace {
constexpr std::size_t kIconPathBuffer = 513;  // the shell may write back into it
}  // namespace

namespace {
std::atomic<bool (*)(const std::string&, ui::UniqueIcon&)> g_extraction{nullptr};
}  // namespace

void SetIconExtraction(bool (*extract)(const std::string& path, ui::UniqueIcon& icon)) { g_extraction = extract; }

ui::UniqueIcon ExtractEntryIcon(const std::string& path) {
  if (const auto extract = g_extraction.load()) {
    ui::UniqueIcon icon;
    if (extract(path, icon)) return icon;
  }
  // The shell call takes a 513-unit buffer it may write back into: a longer
  // path gets no icon rather than an overrun.
  const std::wstring wide = ui::Wide(path);
  if (wide.size() >= kIconPathBuffer) return ui::UniqueIcon();
  wchar_t buffer[kIconPathBuffer] = {};
  std::memcpy(buffer, wide.data(), wide.size() * sizeof(wchar_t));
  WORD index = 0;
  return ui::UniqueIcon(ExtractAssociatedIconW(GetModuleHandleW(nullptr), buffer, &index));
}

HICON IconCache::Find(const std::string& path, bool* known) {
  const auto it = index_.find(path);
  *known = it != index_.end();
  if (!*known) return nullptr;
  entries_.splice(entries_.begin(), entries_, it->second);
  return it->second->icon.get();
}

bool IconCache::Request(const std::string& path) {
  if (index_.count(path)) return false;
  return requested_.insert(path).second;
}

void IconCache::Store(std::uint32_t generation, const std::string& path, ui::UniqueIcon icon) {
  if (generation != generation_ || index_.count(path)) return;
  requested_.erase(path);
  entries_.push_front(Item{path, std::move(icon)});
  index_[path] = entries_.begin();
  while (entries_.size() > capacity_) {
    index_.erase(entries_.back().path);
    entries_.pop_back();
  }
}

void IconCache::Clear() {
  index_.clear();
  entries_.clear();
  requested_.clear();
  ++generation_;
}

}  // namespace korvane
