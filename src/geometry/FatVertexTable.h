#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/FatVertex.h"

namespace kiln {

// The fat vertices of one mesh, in order of creation, with a hash index over
// their exact attribute values.
//
// FindOrCreate gives the same numbering as scanning the array from index 0 for
// the first equal vertex: two corners match when every present attribute is
// equal as floats (0.0 equals -0.0, a NaN equals nothing). Since such equality
// is transitive for NaN-free vertices, at most one stored vertex equals a
// corner, so the first match and the hashed match are the same vertex. A
// corner holding a NaN matches nothing: it always gets a new vertex, which is
// never indexed. The has-uv and has-colour flags are the same for every corner
// of a mesh; vertices with different flags never match.
class FatVertexTable {
 public:
  // Prepares room for about expectedVertices distinct vertices.
  void Reserve(size_t expectedVertices);
  // Index of the stored vertex equal to corner, appending corner when none is.
  int32_t FindOrCreate(const FatVertex& corner);

  const std::vector<FatVertex>& Vertices() const { return vertices_; }
  size_t Size() const { return vertices_.size(); }
  const FatVertex& operator[](size_t index) const { return vertices_[index]; }

 private:
  struct Slot {
    uint32_t hash = 0;
    uint32_t indexPlusOne = 0;  // 0: empty
  };
  void Rehash(size_t slotCount);

  std::vector<FatVertex> vertices_;
  std::vector<Slot> slots_;
  size_t indexed_ = 0;
};

}  // namespace kiln
