#pragma once
#include <cstdint>

namespace kiln {

// A request for one animation track of a node: (kind, sub-kind).
struct TrackRequest {
  int32_t kind = 0;
  int32_t subKind = 0;
  friend bool operator==(const TrackRequest&, const TrackRequest&) = default;
};

}  // namespace kiln
