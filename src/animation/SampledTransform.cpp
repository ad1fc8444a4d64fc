#include "animation/SampledTransform.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "animation/TimeConversion.h"
#include "animation/TrackValues.h"
#include "geometry/AxisExchange.h"
#include "geometry/TransformWriter.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "io/CZX9_DiskWriter.h"

namespace kiln {
namespace {

constexpr float kChangeTolerance = 0.001f;
constexpr int kFramesPerSample = 5;

// NaN differs from everything.
bool Differs(float a, float b) {
  return !(std::fabs(a - b) <= kChangeTolerance);
}
bool Differs(const Point3& a, const Point3& b) {
  return Differs(a.x, b.x) || Differs(a.y, b.y) || Differs(a.z, b.z);
}

struct Pose {
  Point3 translation;
  AngAxis rotation;
  Point3 scale;
  explicit Pose(const Matrix3& local) {
    const TrackParts parts = DecomposeForTracks(local);
    translation = parts.t;
    rotation = AngAxis(parts.q);
    scale = parts.k;
  }
};

// Whether the node's transform moves over the range: scans frame by frame
// until translation, rotation and scale have each changed once.
bool Moves(INode* node, TimeValue start, TimeValue end, int ticksPerFrame) {
  const Pose first(SampledLocalTransform(node, start));
  bool moved = false, turned = false, scaled = false;
  for (TimeValue t = start; t <= end; t += ticksPerFrame) {
    const Pose pose(SampledLocalTransform(node, t));
    moved = moved || Differs(pose.translation, first.translation);
    turned = turned || Differs(pose.rotation.angle, first.rotation.angle) ||
             Differs(pose.rotation.axis, first.rotation.axis);
    scaled = scaled || Differs(pose.scale, first.scale);
    if (moved && turned && scaled) break;
    if (end - t < ticksPerFrame) break;  // the next frame would pass the end (or overflow)
  }
  return moved || turned || scaled;
}

}  // namespace

int32_t StreamOffset(uint32_t position) {
  if (position > static_cast<uint32_t>(INT32_MAX)) {
    throw CLB_DiskIOException(
        "error writing the animation stream\nthe stream file would grow past 2 GiB, beyond the "
        "reach of the signed 32-bit offsets in the animation file");
  }
  return static_cast<int32_t>(position);
}

void WriteSampledTransform(CZX9_DiskWriter* writer, CZX9_DiskWriter* stream, Interface* ip,
                           INode* node) {
  const Interval range = ip->GetAnimRange();
  const int ticksPerFrame = ip->GetTicksPerFrame();
  writer->BeginChunk(7, 33, 1);
  if (!Moves(node, range.Start(), range.End(), ticksPerFrame)) {
    writer->WriteInt(1);
    writer->WriteFloat(0.0f);
    WriteTransformScaled(writer, ExchangeMatrixAxes(SampledLocalTransform(node, range.Start())),
                         kExportScale);
    writer->EndChunk();
    return;
  }
  // A range shorter than one step still gets its start as the one sample.
  const int64_t step = int64_t{kFramesPerSample} * ticksPerFrame;
  const int64_t count = std::max<int64_t>(1, (int64_t{range.End()} - range.Start()) / step);
  std::vector<float> times(static_cast<size_t>(count));
  std::vector<Matrix3> matrices(static_cast<size_t>(count));
  for (int64_t k = 0; k < count; ++k) {
    const auto t = static_cast<TimeValue>(range.Start() + k * step);
    times[static_cast<size_t>(k)] = WholeFrameTime(t, ip);
    matrices[static_cast<size_t>(k)] = ExchangeMatrixAxes(SampledLocalTransform(node, t));
  }
  writer->WriteInt(static_cast<int32_t>(count));
  if (!stream) {
    for (float t : times) writer->WriteFloat(t);
    for (const Matrix3& m : matrices) WriteTransformScaled(writer, m, kExportScale);
    writer->EndChunk();
    return;
  }
  writer->WriteInt(StreamOffset(stream->Tell()));
  WriteTransformScaled(writer, matrices.front(), kExportScale);
  writer->EndChunk();
  stream->WriteBytes(times.data(), times.size() * sizeof(float));
  for (const Matrix3& m : matrices) {
    float rows[12];
    for (int r = 0; r < 4; ++r) {
      const Point3& row = m.GetRow(r);
      rows[3 * r] = row.x, rows[3 * r + 1] = row.y, rows[3 * r + 2] = row.z;
    }
    for (int c = 0; c < 3; ++c) rows[9 + c] *= kExportScale;
    stream->WriteBytes(rows, sizeof rows);
  }
}

}  // namespace kiln
