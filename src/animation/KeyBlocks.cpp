#include "animation/KeyBlocks.h"

#include <vector>

#include "geometry/AxisExchange.h"
#include "host/Control.h"
#include "host/Interface.h"
#include "io/CZX9_DiskWriter.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {
namespace {

enum Interpolation { kBezier = 0, kTCB = 1, kLinear = 2 };

// Key block subtypes: Bezier 35 to 38, TCB 39 to 42, linear 43 to 46, in the
// order position, rotation, scale, float.
uint32_t BlockType(Interpolation interpolation, TrackValue type) {
  return 35 + 4 * static_cast<uint32_t>(interpolation) + static_cast<uint32_t>(type);
}

// Keyframe controller classes (second word 0) per interpolation and value type.
constexpr uint32_t kKeyClasses[3][4] = {
    {0x2008, 0x2009, 0x2010, 0x2007},          // Bezier
    {0x442312, 0x442313, 0x442315, 0x442311},  // TCB
    {0x2002, 0x2003, 0x2004, 0x2001},          // linear
};

bool FindInterpolation(Control* controller, TrackValue type, Interpolation* found) {
  const Class_ID id = controller->ClassID();
  if (id.PartB() != 0) return false;
  for (int i = 0; i < 3; ++i) {
    if (kKeyClasses[i][static_cast<int>(type)] == id.PartA()) {
      *found = static_cast<Interpolation>(i);
      return true;
    }
  }
  return false;
}

// An unset Bezier length is a third of the segment.
float Length(float length) {
  return length == BEZ_DEFAULT_LENGTH ? 1.0f / 3.0f : length;
}

}  // namespace

// One key record, gathered before it is written in one go.
struct KeyBlockWriter::Record {
  float values[40];
  int count = 0;
  void Add(float v) { values[count++] = v; }
  void Add(const Point3& host) {
    const Point3 p = ExchangePointAxes(host);
    Add(p.x), Add(p.y), Add(p.z);
  }
  void AddRotation(const Quat& q) {
    for (float v : LayOutRotation(q)) Add(v);
  }
  void AddScale(const ScaleValue& s) {
    Add(s.s);
    AddRotation(s.q);
  }
  void AddTcb(const ITCBKey& k) {
    Add(k.tens), Add(k.cont), Add(k.bias), Add(k.easeIn), Add(k.easeOut);
  }
};

KeyBlockWriter::KeyBlockWriter(CZX9_DiskWriter* writer, Interface* ip, const char* nodeName)
    : writer_(writer),
      nodeName_(nodeName),
      ticksPerFrame_(ip->GetTicksPerFrame()),
      frameRate_(static_cast<float>(ip->GetFrameRate())) {}

float KeyBlockWriter::WholeFrame(TimeValue t) const {
  return static_cast<float>(t / ticksPerFrame_) / frameRate_;
}

float KeyBlockWriter::Exact(TimeValue t) const {
  return static_cast<float>(t) / static_cast<float>(ticksPerFrame_) / frameRate_;
}

void KeyBlockWriter::Put(const Record& record) {
  writer_->WriteBytes(record.values, static_cast<size_t>(record.count) * sizeof(float));
}

void KeyBlockWriter::WriteOutOfRange(Control* controller) {
  for (int which : {ORT_BEFORE, ORT_AFTER}) {
    int32_t code = 0;
    const char* unsupported = nullptr;
    switch (controller ? controller->GetORT(which) : ORT_CONSTANT) {
      case ORT_CYCLE:
        code = 1;
        break;
      case ORT_LOOP:
        code = 2;
        break;
      case ORT_OSCILLATE:
        code = 3;
        break;
      case ORT_LINEAR:
        unsupported = "linear";
        break;
      case ORT_IDENTITY:
        unsupported = "identity";
        break;
      case ORT_RELATIVE_REPEAT:
        unsupported = "relative repeat";
        break;
      default:  // constant, and anything the host may add later
        break;
    }
    if (unsupported) {
      LogWarning(CurrentLog, "animation track behavior (%s) not supported. Used by node: %s",
                 unsupported, nodeName_);
    }
    writer_->WriteInt(code);
  }
}

void KeyBlockWriter::WriteOneKey(Control* controller, TrackValue type,
                                 const CurrentValue& current) {
  writer_->BeginChunk(13, BlockType(kLinear, type), 1);
  WriteOutOfRange(controller);
  writer_->WriteInt(1);
  Record r;
  r.Add(0.0f);
  switch (type) {
    case TrackValue::kPosition:
      r.Add(current.position * kExportScale);
      break;
    case TrackValue::kRotation:
      r.AddRotation(current.rotation);
      break;
    case TrackValue::kScale:
      r.AddScale(current.scale);
      break;
    case TrackValue::kFloat:
      r.Add(current.number);
      break;
  }
  Put(r);
  writer_->EndChunk();
}

bool KeyBlockWriter::Write(Control* controller, TrackValue type, const CurrentValue& current) {
  auto* keys =
      controller ? static_cast<IKeyControl*>(controller->GetInterface(I_KEYCONTROL)) : nullptr;
  const int count = keys ? keys->GetNumKeys() : 0;
  if (count <= 0) {
    WriteOneKey(controller, type, current);
    return true;
  }
  Interpolation interpolation;
  if (!FindInterpolation(controller, type, &interpolation)) return false;
  writer_->BeginChunk(13, BlockType(interpolation, type), 1);
  WriteOutOfRange(controller);
  writer_->WriteInt(count);
  switch (type) {
    case TrackValue::kFloat:
      if (interpolation == kTCB) WriteKeys<ITCBFloatKey>(keys, count, type);
      if (interpolation == kBezier) WriteKeys<IBezFloatKey>(keys, count, type);
      if (interpolation == kLinear) WriteKeys<ILinFloatKey>(keys, count, type);
      break;
    case TrackValue::kPosition:
      if (interpolation == kTCB) WriteKeys<ITCBPoint3Key>(keys, count, type);
      if (interpolation == kBezier) WriteKeys<IBezPoint3Key>(keys, count, type);
      if (interpolation == kLinear) WriteKeys<ILinPoint3Key>(keys, count, type);
      break;
    case TrackValue::kRotation:
      if (interpolation == kTCB) WriteKeys<ITCBRotKey>(keys, count, type);
      if (interpolation == kBezier) WriteKeys<IBezQuatKey>(keys, count, type);
      if (interpolation == kLinear) WriteKeys<ILinRotKey>(keys, count, type);
      break;
    case TrackValue::kScale:
      if (interpolation == kTCB) WriteKeys<ITCBScaleKey>(keys, count, type);
      if (interpolation == kBezier) WriteKeys<IBezScaleKey>(keys, count, type);
      if (interpolation == kLinear) WriteKeys<ILinScaleKey>(keys, count, type);
      break;
  }
  writer_->EndChunk();
  return true;
}

template <typename Key>
void KeyBlockWriter::WriteKeys(IKeyControl* keys, int count, TrackValue) {
  // Bezier handles need the neighbours' times, so the keys are read first.
  std::vector<Key> all(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) keys->GetKey(i, &all[static_cast<size_t>(i)]);
  for (size_t i = 0; i < all.size(); ++i) {
    const Key& k = all[i];
    Record r;
    if constexpr (std::is_same_v<Key, IBezFloatKey> || std::is_same_v<Key, IBezPoint3Key>) {
      r.Add(Exact(k.time));
      const bool hasPrevious = i > 0, hasNext = i + 1 < all.size();
      const float before = hasPrevious ? static_cast<float>(k.time - all[i - 1].time) : 0.0f;
      const float after = hasNext ? static_cast<float>(all[i + 1].time - k.time) : 0.0f;
      // Handles per axis: (-length, span * tangent * length) into the key,
      // (length, span * tangent * length) out of it; none at the ends.
      auto handles = [&](float inTan, float inLen, float outTan, float outLen, float* in,
                         float* out) {
        inLen = Length(inLen), outLen = Length(outLen);
        in[0] = hasPrevious ? -inLen : 0.0f;
        in[1] = hasPrevious ? before * inTan * inLen : 0.0f;
        out[0] = hasNext ? outLen : 0.0f;
        out[1] = hasNext ? after * outTan * outLen : 0.0f;
      };
      if constexpr (std::is_same_v<Key, IBezFloatKey>) {
        r.Add(k.val * 1.0f);
        float in[2], out[2];
        handles(k.intan, k.inLength, k.outtan, k.outLength, in, out);
        r.Add(in[0]), r.Add(in[1]), r.Add(out[0]), r.Add(out[1]);
      } else {
        r.Add(k.val * kExportScale);
        float in[3][2], out[3][2];
        const int axes[3] = {0, 2, 1};  // x, z, y
        for (int a = 0; a < 3; ++a) {
          const int c = axes[a];
          handles(k.intan[c], k.inLength[c], k.outtan[c], k.outLength[c], in[a], out[a]);
        }
        for (auto& h : in) r.Add(h[0]), r.Add(h[1]);
        for (auto& h : out) r.Add(h[0]), r.Add(h[1]);
      }
    } else {
      r.Add(WholeFrame(k.time));
      if constexpr (std::is_same_v<Key, ITCBFloatKey> || std::is_same_v<Key, ILinFloatKey>) {
        r.Add(k.val * 1.0f);
      } else if constexpr (std::is_same_v<Key, ITCBPoint3Key> ||
                           std::is_same_v<Key, ILinPoint3Key>) {
        r.Add(k.val * kExportScale);
      } else if constexpr (std::is_same_v<Key, ITCBRotKey>) {
        // The key's own angle-axis, as many turns as it holds.
        r.Add(k.val.angle);
        r.Add(k.val.axis);
      } else if constexpr (std::is_same_v<Key, IBezQuatKey> || std::is_same_v<Key, ILinRotKey>) {
        r.AddRotation(k.val);
      } else if constexpr (std::is_same_v<Key, IBezScaleKey>) {
        r.AddScale(k.val);
        r.Add(k.inLength), r.Add(k.intan), r.Add(k.outLength), r.Add(k.outtan);
      } else {
        r.AddScale(k.val);
      }
      if constexpr (std::is_base_of_v<ITCBKey, Key>) r.AddTcb(k);
    }
    Put(r);
  }
}

}  // namespace kiln
