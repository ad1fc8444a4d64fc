#include "animation/KilnAnimationExporter.h"

#include "animation/IKTracks.h"
#include "animation/KeyBlocks.h"
#include "animation/SampledTransform.h"
#include "animation/TimeConversion.h"
#include "animation/TrackValues.h"
#include "geometry/LocalTransform.h"
#include "geometry/MorphWeights.h"
#include "host/Constraints.h"
#include "host/Control.h"
#include "host/GenCamera.h"
#include "host/IKControl.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Object.h"
#include "io/CZX9_DiskWriter.h"

namespace kiln {
namespace {

// Request kinds and the sub-kinds of float tracks.
constexpr int32_t kTransformTrack = 0;
constexpr int32_t kPositionTrack = 2;
constexpr int32_t kRotationTrack = 3;
constexpr int32_t kFloatTrack = 4;
constexpr int32_t kScaleTrack = 5;
constexpr int32_t kIKChainTrack = 7;
constexpr int32_t kSampledTrack = 8;
constexpr int32_t kRoll = 4, kFieldOfView = 5, kVisibility = 6, kFirstMorphChannel = 7,
                  kLastMorphChannel = 16;

bool HasXYZ(Control* c) {
  return c->GetXController() && c->GetYController() && c->GetZController();
}

}  // namespace

KilnAnimationExporter::KilnAnimationExporter(CZX9_DiskWriter* streamWriter, CZX9_DiskWriter* writer,
                                             Interface* ip)
    : streamWriter_(streamWriter), writer_(writer), ip_(ip) {}

bool KilnAnimationExporter::ExportTrack(INode* node, TrackRequest request) {
  node_ = node;
  nodeName_ = node->GetName();
  writer_->BeginChunk(6, 21, 1);
  const TrackParts current = DecomposeForTracks(LocalTransform(node, ip_->GetAnimRange().Start()));
  KeyBlockWriter keys(writer_, ip_, nodeName_.c_str());
  const bool written = WriteTrackBody(request, keys, current);
  writer_->EndChunk();
  return written;
}

void KilnAnimationExporter::WriteName(const char* suffix) {
  writer_->WriteString((nodeName_ + suffix).c_str());
}

bool KilnAnimationExporter::WriteTrackBody(TrackRequest request, KeyBlockWriter& keys,
                                           const TrackParts& current) {
  Control* transform = node_->GetTMController();
  switch (request.kind) {
    case kTransformTrack:
      WriteName("::PRS");
      return WriteTransform(transform, keys, current);
    case kPositionTrack:
      if (request.subKind != 1) return true;
      WriteName("::Position");
      if (Control* c = transform ? transform->GetPositionController() : nullptr) {
        return WritePosition(c, keys, current.t);
      }
      return true;
    case kRotationTrack:
      WriteName("::Rotation");
      return WriteRotation(transform ? transform->GetRotationController() : nullptr, keys,
                           current.q);
    case kScaleTrack:
      WriteName("::Scale");
      return WriteScale(transform ? transform->GetScaleController() : nullptr, keys, current);
    case kFloatTrack: {
      if (request.subKind < kRoll || request.subKind > kLastMorphChannel) return true;
      static const char* const kSuffixes[] = {"::Roll", "::FOV", "::Visibility"};
      if (request.subKind < kFirstMorphChannel) {
        WriteName(kSuffixes[request.subKind - kRoll]);
      } else {
        WriteName(
            ("::MorphChannel_" + std::to_string(request.subKind - kFirstMorphChannel)).c_str());
      }
      Control* c = FloatController(request.subKind);
      if (!c) return true;
      // Unkeyed tracks hold the controller's value at the start of the range.
      float value = 0.0f;
      c->GetFloatValue(ip_->GetAnimRange().Start(), value);
      return WriteFloat(c, keys, value);
    }
    case kIKChainTrack:
      WriteName("::IK_CHAIN");
      switch (WriteIKChain(writer_, ip_, node_)) {
        case IKChainTrack::kWritten:
          return true;
        case IKChainTrack::kNotWritten:
          writer_->BeginChunk(22, 0, 1);
          writer_->EndChunk();
          return true;
        case IKChainTrack::kNoChain:
          writer_->BeginChunk(22, 0, 1);
          writer_->EndChunk();
          return false;
      }
      return true;
    case kSampledTrack:
      WriteName("::PRS");
      WriteSampledTransform(writer_, streamWriter_, ip_, node_);
      return true;
    default:  // 1, 6 and unknown kinds: an empty track
      return true;
  }
}

Control* KilnAnimationExporter::FloatController(int subKind) {
  if (subKind == kRoll) {
    Control* transform = node_->GetTMController();
    return transform ? transform->GetRollController() : nullptr;
  }
  if (subKind == kFieldOfView) {
    Object* object = node_->EvalWorldState(ip_->GetAnimRange().Start()).obj;
    auto* camera = object ? static_cast<GenCamera*>(object->GetInterface(I_GENCAMERA)) : nullptr;
    return camera ? camera->GetFOVControl() : nullptr;
  }
  if (subKind == kVisibility) return node_->GetVisController();
  return MorphWeightController(node_, subKind - kFirstMorphChannel);
}

bool KilnAnimationExporter::WriteTransform(Control* transform, KeyBlockWriter& keys,
                                           const TrackParts& current) {
  if (transform && transform->ClassID() == IKCONTROL_CLASS_ID) {
    WriteIKController(writer_, static_cast<IIKControl*>(transform->GetInterface(I_IKCONTROL)));
    return true;
  }
  const bool linked = transform && transform->ClassID() == LINK_CONSTRAINT_CLASS_ID;
  writer_->BeginChunk(7, linked ? 29 : 28, 1);
  if (linked) WriteLinks(transform);
  // A part without a controller (or a node without a transform controller)
  // is written as one key of its current value.
  bool written =
      WritePosition(transform ? transform->GetPositionController() : nullptr, keys, current.t);
  written =
      WriteRotation(transform ? transform->GetRotationController() : nullptr, keys, current.q) &&
      written;
  written =
      WriteScale(transform ? transform->GetScaleController() : nullptr, keys, current) && written;
  writer_->EndChunk();
  return written;
}

void KilnAnimationExporter::WriteLinks(Control* transform) {
  auto* link = static_cast<ILinkCtrl*>(transform->GetInterfaceByID(LINK_CONSTRAINT_INTERFACE));
  const int count = link ? link->GetNumTargets() : 0;
  writer_->WriteInt(count);
  for (int i = 0; i < count; ++i) {
    INode* parent = link->GetNode(i);
    writer_->WriteString(parent ? parent->GetName() : "__world_root__");
    writer_->WriteFloat(ExactTime(link->GetLinkTime(i), ip_));
  }
}

bool KilnAnimationExporter::WritePosition(Control* c, KeyBlockWriter& keys, const Point3& current) {
  if (c && HasXYZ(c)) {
    writer_->BeginChunk(8, 31, 1);
    bool written = WriteFloat(c->GetXController(), keys, current.x);
    written = WriteFloat(c->GetZController(), keys, current.z) && written;
    written = WriteFloat(c->GetYController(), keys, current.y) && written;
    writer_->EndChunk();
    return written;
  }
  writer_->BeginChunk(8, 26, 1);
  CurrentValue value;
  value.position = current;
  const bool written = keys.Write(c, TrackValue::kPosition, value);
  writer_->EndChunk();
  return written;
}

bool KilnAnimationExporter::WriteRotation(Control* c, KeyBlockWriter& keys, const Quat& current) {
  if (auto* lookAt =
          c ? static_cast<ILookAtConstRotation*>(c->GetInterfaceByID(LOOKAT_CONSTRAINT_INTERFACE))
            : nullptr) {
    WriteLookAt(writer_, keys, c, lookAt, nodeName_.c_str(), current);
    return true;
  }
  if (c && HasXYZ(c)) {
    float angles[3];
    QuatToEuler(current, angles);
    writer_->BeginChunk(9, 32, 1);
    bool written = WriteFloat(c->GetXController(), keys, angles[0]);
    written = WriteFloat(c->GetZController(), keys, angles[2]) && written;
    written = WriteFloat(c->GetYController(), keys, angles[1]) && written;
    writer_->EndChunk();
    return written;
  }
  writer_->BeginChunk(9, 27, 1);
  CurrentValue value;
  value.rotation = current;
  const bool written = keys.Write(c, TrackValue::kRotation, value);
  writer_->EndChunk();
  return written;
}

bool KilnAnimationExporter::WriteScale(Control* c, KeyBlockWriter& keys,
                                       const TrackParts& current) {
  writer_->BeginChunk(10, 0, 1);
  CurrentValue value;
  value.scale = ScaleValue(current.k, current.u);
  const bool written = keys.Write(c, TrackValue::kScale, value);
  writer_->EndChunk();
  return written;
}

bool KilnAnimationExporter::WriteFloat(Control* c, KeyBlockWriter& keys, float current) {
  writer_->BeginChunk(11, 24, 1);
  CurrentValue value;
  value.number = current;
  const bool written = keys.Write(c, TrackValue::kFloat, value);
  writer_->EndChunk();
  return written;
}

void WriteAnimationRange(CZX9_DiskWriter* writer, Interface* ip) {
  Interval range = ip->GetAnimRange();
  writer->BeginChunk(20, 0, 1);
  writer->WriteFloat(ExactTime(range.Start(), ip));
  int frames = (range.End() - range.Start()) / ip->GetTicksPerFrame();
  writer->WriteFloat(static_cast<float>(frames) / static_cast<float>(ip->GetFrameRate()));
  writer->EndChunk();
}

}  // namespace kiln
