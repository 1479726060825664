#include "data/find.h"

#include <unordered_map>
#include <utility>

#include "common/text.h"

namespace korvane {

FoldedText FoldBytes(std::string_view utf8) {
  FoldedText out = Utf16FromUtf8(utf8);
  for (char16_t& u : out) {
    if (u >= 'A' && u <= 'Z') u = static_cast<char16_t>(u - 'A' + 'a');
  }
  return out;
}

namespace {

// Latin-1 and Latin Extended-A letters U+00C0..U+017F as their base
// letter in lower case ('.': kept as it is, as Æ, ß, Œ and the signs are).
constexpr char kBaseLetters[] =
    "aaaaaa.ceeeeiiii" ".nooooo.ouuuuy.."   // U+00C0
    "aaaaaa.ceeeeiiii" ".nooooo.ouuuuy.y"   // U+00E0
    "aaaaaaccccccccdd" "ddeeeeeeeeeegggg"   // U+0100
    "gggghhhhiiiiiiii" "ii..jjkk.lllllll"   // U+0120
    "lllnnnnnn...oooo" "oo..rrrrrrssssss"   // U+0140
    "ssttttttuuuuuuuu" "uuuuwwyyyzzzzzzs";  // U+0160
static_assert(sizeof kBaseLetters == 0xC0 + 1);

}  // namespace

void FoldLookAlikes(FoldedText& folded) {
  std::size_t out = 0;
  for (char16_t u : folded) {
    if (u >= 0x0300 && u <= 0x036F) continue;   // combining accents
    if (u >= 0xFF01 && u <= 0xFF5E) u = static_cast<char16_t>(u - 0xFF01 + 0x21);   // ～ as ~ too
    else if (u >= 0xC0 && u <= 0x17F) {
      if (const char base = kBaseLetters[u - 0xC0]; base != '.') u = static_cast<char16_t>(base);
    } else {
      switch (u) {
        case 0x301C: u = u'~'; break;    // 〜 WAVE DASH
        case 0x2212: u = u'-'; break;    // − MINUS SIGN
        case 0x2225: u = 0x2016; break;  // ∥ as ‖
        case 0xFFE0: u = 0xA2; break;    // ￠ as ¢
        case 0xFFE1: u = 0xA3; break;    // ￡ as £
        case 0xFFE2: u = 0xAC; break;    // ￢ as ¬
        default: break;
      }
    }
    if (u >= 'A' && u <= 'Z') u = static_cast<char16_t>(u - 'A' + 'a');
    folded[out++] = u;
  }
  folded.resize(out);
}

std::string_view PathFileName(std::string_view path) {
  const std::size_t sep = LastPathSeparator(path);
  return sep == std::string_view::npos ? path : path.substr(sep + 1);
}

FindIndex::FindIndex(FoldFunction fold) : fold_(std::move(fold)) {}

FoldedText FindIndex::Fold(std::string_view text) const {
  FoldedText folded = fold_(text);
  FoldLookAlikes(folded);
  return folded;
}

bool FindIndex::Unchanged(const IndexedGroup& indexed, const Group& group) {
  std::size_t o = 0;
  for (std::size_t i = 0; i < group.entries.size(); ++i) {
    const std::string_view title = group.entries.Title(i), path = group.entries.Path(i);
    if (title.empty() && path.empty()) continue;
    if (o == indexed.entries.size()) return false;
    const IndexedEntry& e = indexed.entries[o++];
    if (e.n != i + 1 || e.title != title || e.path != path) return false;
  }
  return o == indexed.entries.size();
}

void FindIndex::Sync(const LauncherModel& model) {
  std::unordered_map<std::string_view, std::size_t> old_rows;
  old_rows.reserve(groups_.size());
  for (std::size_t i = 0; i < groups_.size(); ++i) old_rows.emplace(groups_[i].name, i);

  std::vector<IndexedGroup> groups;
  groups.reserve(model.GroupCount());
  FindCounts counts;
  for (const Group& group : model.Groups()) {
    IndexedGroup* old = nullptr;
    if (const auto it = old_rows.find(group.name); it != old_rows.end()) {
      old = &groups_[it->second];
      old_rows.erase(it);   // its folded text moves: never taken twice
    }
    if (old && Unchanged(*old, group)) {
      counts.entries += old->entries.size();
      groups.push_back(std::move(*old));
      continue;
    }
    IndexedGroup indexed;
    indexed.name = group.name;
    if (old) {
      indexed.folded_name = std::move(old->folded_name);
    } else {
      indexed.folded_name = Fold(group.name);
      ++counts.folded;
    }
    // Old entries are in entry order: walk them beside the model's. The
    // values are read as they are: no entry of a group not shown is made.
    std::size_t o = 0;
    for (std::size_t i = 0; i < group.entries.size(); ++i) {
      const std::string_view title = group.entries.Title(i), path = group.entries.Path(i);
      if (title.empty() && path.empty()) continue;
      const auto n = static_cast<std::uint32_t>(i + 1);
      IndexedEntry* before = nullptr;
      if (old) {
        while (o < old->entries.size() && old->entries[o].n < n) ++o;
        if (o < old->entries.size() && old->entries[o].n == n) before = &old->entries[o];
      }
      IndexedEntry e;
      e.n = n;
      e.title = title;
      e.path = path;
      if (before && before->title == title) {
        e.folded_title = std::move(before->folded_title);
      } else {
        e.folded_title = Fold(title);
        ++counts.folded;
      }
      if (before && PathFileName(before->path) == PathFileName(path)) {
        e.folded_file = std::move(before->folded_file);
      } else {
        e.folded_file = Fold(PathFileName(path));
        ++counts.folded;
      }
      indexed.entries.push_back(std::move(e));
    }
    counts.entries += indexed.entries.size();
    groups.push_back(std::move(indexed));
  }
  counts.groups = groups.size();
  groups_ = std::move(groups);
  counts_ = counts;
}

std::vector<FindHit> FindIndex::Filter(std::string_view text) const {
  if (text.empty()) return {};
  return FilterFolded(Fold(text));
}

std::vector<FindHit> FindIndex::FilterFolded(std::u16string_view folded) const {
  std::vector<FindHit> first;
  std::vector<FindHit> others;
  if (folded.empty()) return first;
  for (std::size_t g = 0; g < groups_.size(); ++g) {
    const IndexedGroup& group = groups_[g];
    const bool group_matches = group.folded_name.find(folded) != FoldedText::npos;
    for (const IndexedEntry& e : group.entries) {
      const std::u16string_view title = e.folded_title;
      const FindHit hit{static_cast<std::uint32_t>(g), e.n};
      if (title.starts_with(folded)) {
        first.push_back(hit);
      } else if (group_matches || title.find(folded) != std::u16string_view::npos ||
                 e.folded_file.find(folded) != FoldedText::npos) {
        others.push_back(hit);
      }
    }
  }
  first.insert(first.end(), others.begin(), others.end());
  return first;
}

}  // namespace korvane
