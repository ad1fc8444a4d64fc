#pragma once
#include "animation/TrackRequest.h"

class INode;
class Interface;

namespace kiln {

class CZX9_DiskWriter;

// Writes the animation tracks that node exporters request, one track chunk
// per request. Created by a driver for one export.
class KilnAnimationExporter {
 public:
  // streamWriter is the animation kind's stream file, null for other kinds.
  KilnAnimationExporter(CZX9_DiskWriter* streamWriter, CZX9_DiskWriter* writer, Interface* ip);

  void SetSampleAnimations(bool sample) { sampleAnimations_ = sample; }
  bool SampleAnimations() const { return sampleAnimations_; }

  // Writes the track of one request; false when it could not be written.
  // Track chunks are not written yet: every request is accepted and writes
  // nothing, so exports carry no track chunks until keys and samples are read.
  bool ExportTrack(INode* node, TrackRequest request);

 private:
  CZX9_DiskWriter* streamWriter_;
  CZX9_DiskWriter* writer_;
  Interface* ip_;
  bool sampleAnimations_ = false;
};

// The animation range chunk (20, 0, 1): start as an exact time, then the
// range's length in whole frames, both in seconds.
void WriteAnimationRange(CZX9_DiskWriter* writer, Interface* ip);

}  // namespace kiln
