#pragma once
#include <cstdint>

class INode;
class Interface;

namespace kiln {

class CZX9_DiskWriter;

// The sampled transform (7, 33, 1) of a node: its transform relative to its
// parent every fifth frame of the animation range, once any part of it has
// moved by more than 0.001 (else one sample at the start). Without a stream
// writer the times and matrices follow the count in the main file; with one,
// the main file holds the count, the stream offset and the first matrix, and
// the stream the times and then the matrices (four rows of three floats).
void WriteSampledTransform(CZX9_DiskWriter* writer, CZX9_DiskWriter* stream, Interface* ip,
                           INode* node);

// The stream position as the main file's signed 32-bit offset; a position
// past 2 GiB raises CLB_DiskIOException.
int32_t StreamOffset(uint32_t position);

}  // namespace kiln
