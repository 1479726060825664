#pragma once
// Finding entries across every group: an index of each entry's title, its
// path's file name and its group's name, folded once when the index is
// built, and a filter that only compares folded text per keystroke.
//
// The fold is passed in: the program folds with the system's own mapping
// (case, full and half width, hiragana and katakana); FoldBytes is a plain
// one for places without it. The index then folds what neither does
// (FoldLookAlikes): the look-alike pairs of code page 932 and accents.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/callback.h"
#include "data/model.h"

namespace korvane {

// Folded text: UTF-16 units, so a match can never start inside a
// character of the BMP.
using FoldedText = std::u16string;
using FoldFunction = Callback<FoldedText(std::string_view utf8)>;

// UTF-8 text in UTF-16 with ASCII letters in lower case.
FoldedText FoldBytes(std::string_view utf8);

// Folded text with the characters code page 932 keeps twice for one look
// (～ and 〜, － and −, ‖ and ∥, ￠ and ¢, ￡ and £, ￢ and ¬) made one, and
// Latin letters without their accents (é as e, combining marks dropped).
// Full-width ASCII becomes ASCII, so it agrees with a fold that widens
// letters as with one that leaves them.
void FoldLookAlikes(FoldedText& folded);

// The part of a path after its last '\' or ':'.
std::string_view PathFileName(std::string_view path);

// One entry found: the group's row in the model and the entry number n
// (1-based, its grid row).
struct FindHit {
  std::uint32_t group = 0;
  std::uint32_t entry = 0;
  bool operator==(const FindHit&) const = default;
};

struct FindCounts {
  std::size_t groups = 0;
  std::size_t entries = 0;   // entries indexed: those with a title or a path
  std::size_t folded = 0;    // texts folded by the last Sync
};

class FindIndex {
 public:
  explicit FindIndex(FoldFunction fold);

  // Brings the index up to the model: groups and entries whose text did not
  // change keep their folded text (found by group name, so groups added,
  // deleted or renamed elsewhere cost only their own folds).
  void Sync(const LauncherModel& model);
  const FindCounts& counts() const { return counts_; }
  // The name of the group at row as of the last Sync, or null.
  const std::string* GroupNameAt(std::size_t row) const {
    return row < groups_.size() ? &groups_[row].name : nullptr;
  }

  // The entries whose title, file name or group name holds text after
  // folding: those whose title begins with it first, then the others, each
  // in group order and entry order. Empty text finds nothing.
  std::vector<FindHit> Filter(std::string_view text) const;
  // Text folded as the index folds it: the fold given, then FoldLookAlikes.
  FoldedText Fold(std::string_view text) const;
  // The same with text already folded by Fold.
  std::vector<FindHit> FilterFolded(std::u16string_view folded) const;

 private:
  struct IndexedEntry {
    std::uint32_t n = 0;
    std::string title;   // as in the model, to see changes
    std::string path;
    FoldedText folded_title;
    FoldedText folded_file;
  };
  struct IndexedGroup {
    std::string name;
    FoldedText folded_name;
    std::vector<IndexedEntry> entries;
  };

  // Same entries with the same text as the group has now.
  static bool Unchanged(const IndexedGroup& indexed, const Group& group);

  FoldFunction fold_;
  std::vector<IndexedGroup> groups_;
  FindCounts counts_;
};

}  // namespace korvane
