#pragma once
#include <string>

#include "animation/TrackRequest.h"
#include "host/Quat.h"

class Control;
class INode;
class Interface;

namespace kiln {

class CZX9_DiskWriter;
class KeyBlockWriter;
struct TrackParts;

// Writes the animation tracks that node exporters request, one track chunk
// (6, 21, 1) per request: keyframe controllers key by key, other controllers
// as one key of their current value, whole transforms that cannot be read as
// keys as sampled matrices, IK chains and look-at constraints as
// descriptions. Created by a driver for one export.
class KilnAnimationExporter {
 public:
  // streamWriter is the animation kind's stream file, null for other kinds.
  KilnAnimationExporter(CZX9_DiskWriter* streamWriter, CZX9_DiskWriter* writer, Interface* ip);

  // The "Sample Animations" setting; it changes nothing in the output.
  void SetSampleAnimations(bool sample) { sampleAnimations_ = sample; }
  bool SampleAnimations() const { return sampleAnimations_; }

  // Writes the track chunk of one request. False when a keyed controller's
  // class has no key format or an IK chain track finds no chain; the chunk
  // is written all the same.
  bool ExportTrack(INode* node, TrackRequest request);

 private:
  bool WriteTrackBody(TrackRequest request, KeyBlockWriter& keys, const TrackParts& current);
  void WriteName(const char* suffix);
  bool WriteTransform(Control* transform, KeyBlockWriter& keys, const TrackParts& current);
  bool WritePosition(Control* c, KeyBlockWriter& keys, const Point3& current);
  bool WriteRotation(Control* c, KeyBlockWriter& keys, const Quat& current);
  bool WriteScale(Control* c, KeyBlockWriter& keys, const TrackParts& current);
  bool WriteFloat(Control* c, KeyBlockWriter& keys, float current);
  void WriteLinks(Control* transform);
  Control* FloatController(int subKind);

  CZX9_DiskWriter* streamWriter_;
  CZX9_DiskWriter* writer_;
  Interface* ip_;
  bool sampleAnimations_ = false;
  INode* node_ = nullptr;
  std::string nodeName_;
};

// The animation range chunk (20, 0, 1): start as an exact time, then the
// range's length in whole frames, both in seconds.
void WriteAnimationRange(CZX9_DiskWriter* writer, Interface* ip);

}  // namespace kiln
