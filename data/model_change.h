#pragma once
// One event for every change of the data model: whoever follows the model
// (the find index, the status bar, the markers and icons asked for, the
// grid's and the list's repaint, the accessible grid) subscribes once and
// hears each change once, with what changed.
#include <cstddef>
#include <deque>
#include <vector>

#include "common/callback.h"

namespace korvane {

struct ModelChange {
  enum class Kind {
    Step,         // a history step done, undone, redone or dropped; the history cleared (a save)
    Read,         // a refresh took what the files hold
    GroupsLeft,   // groups whose files went elsewhere left the list
    Selected,     // a group became the current one
  };
  Kind kind = Kind::Step;
  // The rows of the groups concerned, as they were before the change for
  // groups that left (empty: not known, any group may have changed).
  std::vector<std::size_t> groups;
  // The entries (1-based) of the one group in groups that changed (empty:
  // not known).
  std::vector<std::size_t> entries;

  bool Is(Kind k) const { return kind == k; }
};

class ModelEvents {
 public:
  using Subscriber = Callback<void(const ModelChange&)>;

  // Subscribers hear each change in the order they subscribed.
  void Subscribe(Subscriber subscriber) { subscribers_.push_back(std::move(subscriber)); }
  void Announce(const ModelChange& change) const;
  void Clear() { subscribers_.clear(); }

 private:
  // A deque: one subscribed while the others are told leaves them in place.
  std::deque<Subscriber> subscribers_;
};

}  // namespace korvane
