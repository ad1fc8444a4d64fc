#pragma once
#include <cstdint>

namespace kiln {

class CZX9_DiskWriter;

// A count written before the items it counts: a placeholder dword now,
// filled in through the position stack once the items are written, leaving
// the write position at the end.
class CountPlaceholder {
 public:
  explicit CountPlaceholder(CZX9_DiskWriter* writer);
  void Fill(uint32_t count);

 private:
  CZX9_DiskWriter* writer_;
  uint32_t position_;
};

}  // namespace kiln
