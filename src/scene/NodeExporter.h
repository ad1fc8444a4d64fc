#pragma once
#include <vector>

#include "animation/TrackRequest.h"

class INode;
class Interface;
class Object;

namespace kiln {

class CZX9_DiskWriter;

// Writes the chunk or chunks of one node. Created for one node, asked to
// export once, and deleted.
class NodeExporter {
 public:
  NodeExporter(INode* node, Interface* ip) : node_(node), ip_(ip) {}
  virtual ~NodeExporter() = default;

  // Nonzero when the node's chunks were written.
  virtual int Export(CZX9_DiskWriter* writer, Object* evaluated) = 0;

  const std::vector<TrackRequest>& TrackRequests() const { return trackRequests_; }

 protected:
  void RequestTrack(int32_t kind, int32_t subKind) { trackRequests_.push_back({kind, subKind}); }

  std::vector<TrackRequest> trackRequests_;
  INode* node_;
  Interface* ip_;
};

}  // namespace kiln
