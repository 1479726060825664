// The model-change event: each change told once to every subscriber, in
// the order they subscribed, with what changed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/model_change.h"

using korvane::ModelChange;
using korvane::ModelEvents;

TEST(ModelEvents, EachChangeReachesEverySubscriberOnceInOrder) {
  ModelEvents events;
  std::vector<std::string> heard;
  events.Subscribe([&](const ModelChange& c) {
    heard.push_back("find " + std::to_string(static_cast<int>(c.kind)) + " " + std::to_string(c.groups.size()));
  });
  events.Subscribe(nullptr);  // an empty subscriber is skipped
  events.Subscribe([&](const ModelChange& c) {
    if (!c.Is(ModelChange::Kind::GroupsLeft)) return;
    heard.push_back("rows " + std::to_string(c.groups.at(0)) + "," + std::to_string(c.groups.at(1)));
    // One that subscribes while it is told hears the next change.
    events.Subscribe([&](const ModelChange& later) { heard.push_back("late " + std::to_string(later.entries.at(0))); });
  });

  events.Announce({ModelChange::Kind::GroupsLeft, {2, 5}, {}});
  events.Announce({ModelChange::Kind::Step, {1}, {7}});
  const std::vector<std::string> expected{"find 2 2", "rows 2,5", "find 0 1", "late 7"};
  EXPECT_EQ(heard, expected);

  events.Clear();
  events.Announce({});
  EXPECT_EQ(heard.size(), expected.size());
}
