#include "data/model_change.h"

namespace korvane {

void ModelEvents::Announce(const ModelChange& change) const {
  // Those subscribed when the change came: one subscribed meanwhile hears
  // the next.
  const std::size_t count = subscribers_.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (subscribers_[i]) subscribers_[i](change);
  }
}

}  // namespace korvane
