// Animation of one clip: each node channel becomes linear position, rotation
// (in the host's relative form: each key the turn from the one before) and
// scale keys on the node's transform controller; morph weight channels
// become linear keys on the morpher's channel weights. Cubic-spline curves,
// which the host's linear keys cannot follow, are sampled at every frame.
// The clip's first and last keys make the animation range.
#include <assimp/anim.h>
#include <assimp/scene.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "host/DecompAffine.h"
#include "standalone/Modifiers.h"
#include "standalone/SceneObjects.h"
#include "standalone/import/GltfExtras.h"
#include "standalone/import/ImportContext.h"

namespace kiln::standalone {
namespace {

using Path = GltfExtras::Path;

float Dot(const Quat& a, const Quat& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}

int Ort(aiAnimBehaviour behaviour) {
  switch (behaviour) {
    case aiAnimBehaviour_LINEAR:
      return ORT_LINEAR;
    case aiAnimBehaviour_REPEAT:
      return ORT_CYCLE;
    default:
      return ORT_CONSTANT;
  }
}

class ClipImport {
 public:
  ClipImport(ImportContext& context, const aiAnimation& clip, size_t index)
      : context_(context), clip_(clip), index_(index) {
    ticksPerSecond_ = clip.mTicksPerSecond > 0 ? clip.mTicksPerSecond : context.scene.frameRate;
    // The library reads the clips of a glTF file in the file's order; its
    // cubic curves are used only when the clips agree.
    const GltfExtras* gltf = context.gltf;
    if (gltf && index < gltf->ClipNames().size() &&
        gltf->ClipNames().size() == context.ai.mNumAnimations &&
        (gltf->ClipNames()[index] == clip.mName.C_Str() || gltf->ClipNames()[index].empty())) {
      gltf_ = gltf;
    }
  }

  void Run() {
    for (unsigned c = 0; c < clip_.mNumChannels; ++c) {
      if (clip_.mChannels && clip_.mChannels[c]) Channel(*clip_.mChannels[c]);
    }
    for (unsigned c = 0; c < clip_.mNumMorphMeshChannels; ++c) {
      if (clip_.mMorphMeshChannels && clip_.mMorphMeshChannels[c])
        MorphChannel(*clip_.mMorphMeshChannels[c]);
    }
    if (first_ <= last_) context_.scene.animRange = Interval(first_, last_);
  }

 private:
  std::string ClipName() const {
    return clip_.mName.length ? Quoted(clip_.mName) : "#" + std::to_string(index_);
  }

  // Library key time to ticks.
  TimeValue Ticks(double time, const std::string& where) {
    const double ticks = std::round(time / ticksPerSecond_ * TIME_TICKSPERSEC);
    if (!std::isfinite(ticks) || std::fabs(ticks) > INT_MAX / 2) {
      throw AssetProblem("clip " + ClipName() + ", " + where + ": a key time out of range");
    }
    return Seen(static_cast<TimeValue>(ticks));
  }
  TimeValue Seen(TimeValue t) {
    first_ = std::min(first_, t);
    last_ = std::max(last_, t);
    return t;
  }

  // Keys in time order, one per tick (the last of keys that round to one tick).
  template <typename V>
  std::vector<std::pair<TimeValue, V>> Ordered(std::vector<std::pair<TimeValue, V>> keys,
                                               const std::string& where) {
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::pair<TimeValue, V>> out;
    for (auto& key : keys) {
      if (!out.empty() && out.back().first == key.first) {
        context_.Warn("clip " + ClipName() + ", " + where +
                      ": keys less than a tick apart are merged");
        out.back() = std::move(key);
      } else {
        out.push_back(std::move(key));
      }
    }
    return out;
  }

  // Sample times of a cubic curve: its first and last keys and every frame between.
  std::vector<TimeValue> SampleTimes(const GltfExtras::Curve& curve) {
    const TimeValue start =
        Seen(static_cast<TimeValue>(std::lround(curve.times.front() * TIME_TICKSPERSEC)));
    const TimeValue end =
        Seen(static_cast<TimeValue>(std::lround(curve.times.back() * TIME_TICKSPERSEC)));
    const int step = context_.scene.TicksPerFrame();
    std::vector<TimeValue> times{start};
    for (TimeValue t = (start / step + 1) * step; t < end; t += step) {
      if (t > start) times.push_back(t);
    }
    if (end > start) times.push_back(end);
    return times;
  }

  template <typename V, typename Read>
  std::vector<std::pair<TimeValue, V>> LibraryKeys(const aiNodeAnim& channel, unsigned count,
                                                   const char* what, Read read) {
    const std::string where = std::string(what) + " of node " + Quoted(channel.mNodeName);
    std::vector<std::pair<TimeValue, V>> keys;
    for (unsigned k = 0; k < count; ++k) {
      auto [time, value] = read(k);
      keys.emplace_back(Ticks(time, where), value);
    }
    return Ordered(std::move(keys), where);
  }

  void Channel(const aiNodeAnim& channel) {
    SceneNode* node = context_.NodeNamed(channel.mNodeName.C_Str());
    if (!node) {
      context_.Warn("clip " + ClipName() + " animates node " + Quoted(channel.mNodeName) +
                    ", which the asset lacks");
      return;
    }
    const std::string name = channel.mNodeName.C_Str();
    const std::string where = "node " + Quoted(name);
    // What the import composed after this node's local transform applies to
    // every key: the translation moves with it, rotations turn on by its
    // rotation, scales grow by its (uniform) scale.
    const Matrix3 after = context_.After(node);
    AffineParts afterParts;
    decomp_affine(after, &afterParts);
    const Quat afterRotation = afterParts.q;
    const float afterScale = afterParts.k.x;

    PRSController* old = node->PRS();
    auto prs = std::make_unique<PRSController>();
    const int before = Ort(channel.mPreState), past = Ort(channel.mPostState);

    std::vector<std::pair<TimeValue, Point3>> positions;
    if (const auto* curve = Curve(name, Path::kTranslation)) {
      for (TimeValue t : SampleTimes(*curve)) {
        float v[3];
        curve->Evaluate(t / double(TIME_TICKSPERSEC), v);
        positions.emplace_back(t, Point3(v[0], v[1], v[2]));
      }
    } else if (channel.mNumPositionKeys && channel.mPositionKeys) {
      positions =
          LibraryKeys<Point3>(channel, channel.mNumPositionKeys, "positions", [&](unsigned k) {
            const aiVectorKey& key = channel.mPositionKeys[k];
            if (!Finite(key.mValue))
              throw AssetProblem("clip " + ClipName() + ", " + where +
                                 ": a position key that is not finite");
            return std::pair(key.mTime, HostPoint(key.mValue));
          });
    }
    if (!positions.empty()) {
      std::vector<Keyframe<Point3>> keys;
      for (const auto& [t, p] : positions)
        keys.push_back({.time = t, .value = after.PointTransform(p)});
      prs->position =
          PositionController::WithKeys(Interpolation::kLinear, std::move(keys), before, past);
    } else if (old) {
      prs->position = std::move(old->position);
    }

    std::vector<std::pair<TimeValue, Quat>> rotations;
    if (const auto* curve = Curve(name, Path::kRotation)) {
      for (TimeValue t : SampleTimes(*curve)) {
        float v[4];
        curve->Evaluate(t / double(TIME_TICKSPERSEC), v);
        rotations.emplace_back(t, HostRotation(aiQuaternion(v[3], v[0], v[1], v[2])));
      }
    } else if (channel.mNumRotationKeys && channel.mRotationKeys) {
      rotations =
          LibraryKeys<Quat>(channel, channel.mNumRotationKeys, "rotations", [&](unsigned k) {
            const aiQuatKey& key = channel.mRotationKeys[k];
            const aiQuaternion& q = key.mValue;
            if (!std::isfinite(q.w) || !std::isfinite(q.x) || !std::isfinite(q.y) ||
                !std::isfinite(q.z) || (q.w == 0 && q.x == 0 && q.y == 0 && q.z == 0)) {
              throw AssetProblem("clip " + ClipName() + ", " + where +
                                 ": a rotation key that is not a rotation");
            }
            return std::pair(key.mTime, HostRotation(q));
          });
    }
    if (!rotations.empty()) {
      // Each key holds the turn from the key before, about that key's own axes.
      // Between keys the asset turns the short way (a turn of at most half a
      // circle, its quaternions on the same side); the signs of its
      // quaternions decide the way when the turn is exactly half a circle.
      std::vector<Keyframe<Quat>> keys;
      Quat previous;
      for (size_t k = 0; k < rotations.size(); ++k) {
        Quat orientation = Normalize(rotations[k].second * afterRotation);
        if (k > 0 && Dot(orientation, previous) < 0) {
          orientation = {-orientation.x, -orientation.y, -orientation.z, -orientation.w};
        }
        keys.push_back({.time = rotations[k].first,
                        .value = k == 0 ? AngAxis(orientation)
                                        : AngAxis(orientation * Inverse(previous))});
        previous = orientation;
      }
      prs->rotation =
          RotationController::WithKeys(Interpolation::kLinear, std::move(keys), before, past);
    } else if (old) {
      prs->rotation = std::move(old->rotation);
    }

    std::vector<std::pair<TimeValue, Point3>> scales;
    if (const auto* curve = Curve(name, Path::kScale)) {
      for (TimeValue t : SampleTimes(*curve)) {
        float v[3];
        curve->Evaluate(t / double(TIME_TICKSPERSEC), v);
        scales.emplace_back(t, Point3(v[0], v[1], v[2]));
      }
    } else if (channel.mNumScalingKeys && channel.mScalingKeys) {
      scales = LibraryKeys<Point3>(channel, channel.mNumScalingKeys, "scales", [&](unsigned k) {
        const aiVectorKey& key = channel.mScalingKeys[k];
        if (!Finite(key.mValue))
          throw AssetProblem("clip " + ClipName() + ", " + where +
                             ": a scale key that is not finite");
        return std::pair(key.mTime, HostPoint(key.mValue));
      });
    }
    if (!scales.empty()) {
      std::vector<Keyframe<ScaleWithAxis>> keys;
      for (const auto& [t, s] : scales)
        keys.push_back({.time = t, .value = {s * afterScale, Quat()}});
      prs->scale = ScaleController::WithKeys(Interpolation::kLinear, std::move(keys), before, past);
    } else if (old) {
      prs->scale = std::move(old->scale);
    }
    node->SetTransform(std::move(prs));
  }

  const GltfExtras::Curve* Curve(const std::string& node, Path path) const {
    return gltf_ ? gltf_->CubicCurve(index_, node, path) : nullptr;
  }

  void MorphChannel(const aiMeshMorphAnim& channel) {
    const std::string name = channel.mName.C_Str();
    SceneNode* node = context_.NodeNamed(name);
    DerivedObject* stack = node ? node->StackIfAny() : nullptr;
    MorpherModifier* morpher = nullptr;
    for (int m = 0; stack && m < stack->NumModifiers(); ++m) {
      if (!morpher) morpher = dynamic_cast<MorpherModifier*>(&stack->ModifierAt(m));
    }
    if (!morpher) {
      context_.Warn("clip " + ClipName() + " animates the morph targets of " + Quoted(name) +
                    ", which has none");
      return;
    }
    const std::string where = "morph weights of node " + Quoted(name);
    std::vector<std::vector<std::pair<TimeValue, float>>> perSlot(MORPHER_SLOT_COUNT);
    if (const auto* curve = Curve(name, Path::kWeights)) {
      std::vector<float> values(curve->width);
      for (TimeValue t : SampleTimes(*curve)) {
        curve->Evaluate(t / double(TIME_TICKSPERSEC), values.data());
        for (size_t s = 0; s < std::min<size_t>(curve->width, MORPHER_SLOT_COUNT); ++s)
          perSlot[s].emplace_back(t, values[s]);
      }
    } else {
      for (unsigned k = 0; k < channel.mNumKeys && channel.mKeys; ++k) {
        const aiMeshMorphKey& key = channel.mKeys[k];
        const TimeValue t = Ticks(key.mTime, where);
        for (unsigned i = 0; i < key.mNumValuesAndWeights && key.mValues && key.mWeights; ++i) {
          if (!std::isfinite(key.mWeights[i])) {
            throw AssetProblem("clip " + ClipName() + ", " + where +
                               ": a weight that is not finite");
          }
          if (key.mValues[i] < MORPHER_SLOT_COUNT)
            perSlot[key.mValues[i]].emplace_back(t, key.mWeights[i]);
        }
      }
    }
    for (int s = 0; s < MORPHER_SLOT_COUNT; ++s) {
      if (perSlot[s].empty()) continue;
      if (!morpher->SlotAt(s).present) {
        context_.Warn("clip " + ClipName() + ", " + where +
                      ": weights of a morph target the mesh lacks");
        continue;
      }
      std::vector<Keyframe<float>> keys;
      for (const auto& [t, w] : Ordered(std::move(perSlot[s]), where))
        keys.push_back({.time = t, .value = w * 100.0f});
      morpher->SetWeightController(
          s, FloatController::WithKeys(Interpolation::kLinear, std::move(keys)));
    }
  }

  ImportContext& context_;
  const aiAnimation& clip_;
  size_t index_;
  double ticksPerSecond_;
  const GltfExtras* gltf_ = nullptr;
  TimeValue first_ = INT_MAX, last_ = INT_MIN;
};

}  // namespace

void ImportAnimation(ImportContext& context, int clip) {
  if (clip < 0 || static_cast<unsigned>(clip) >= context.ai.mNumAnimations) return;
  const aiAnimation* animation = context.ai.mAnimations[clip];
  if (!animation) return;
  ClipImport(context, *animation, static_cast<size_t>(clip)).Run();
}

}  // namespace kiln::standalone
