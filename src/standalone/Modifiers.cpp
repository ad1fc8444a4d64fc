#include "standalone/Modifiers.h"

#include <algorithm>
#include <stdexcept>

namespace kiln::standalone {

Matrix3 ObjectOffsetTM(INode& node) {
  return ComposeTransform({node.GetObjOffsetPos(), node.GetObjOffsetRot(),
                           ScaleWithAxis{node.GetObjOffsetScale(), node.GetObjOffsetScaleAxis()}});
}

// ---- skin

Matrix3 SkinModifier::BoneBindTM(int i) const {
  const Bone& bone = bones[i];
  if (bone.bindTM) return *bone.bindTM;
  return bone.node ? bone.node->GetNodeTM(refFrame) : Matrix3();
}

Matrix3 SkinModifier::SkinBindTM(INode& node) const {
  return skinBindTM ? *skinBindTM : node.GetNodeTM(refFrame);
}

void SkinModifier::SetDefaultBindPose(INode& node) {
  for (Bone& bone : bones) {
    if (!bone.bindTM && bone.node) bone.bindTM = bone.node->GetNodeTM(refFrame);
  }
  if (!skinBindTM) skinBindTM = node.GetNodeTM(refFrame);
}

void SkinModifier::Apply(TimeValue t, INode& node, Mesh& mesh) {
  // A vertex goes from object space to the world at bind time, follows each
  // bone from its bind pose to its pose at t, and comes back into object
  // space at t. The product is one matrix per bone.
  const Matrix3 toBindWorld = ObjectOffsetTM(node) * SkinBindTM(node);
  const Matrix3 toObjectNow = Inverse(node.GetObjectTM(t));
  std::vector<Matrix3> deform(bones.size());
  for (size_t i = 0; i < bones.size(); ++i) {
    if (!bones[i].node) continue;  // identity: a missing bone holds its vertices
    deform[i] = toBindWorld * Inverse(BoneBindTM(static_cast<int>(i))) *
                bones[i].node->GetNodeTM(t) * toObjectNow;
  }
  const int count = std::min(NumPoints(), mesh.getNumVerts());
  for (int p = 0; p < count; ++p) {
    Point3 blended;
    float total = 0.0f;
    for (const BoneWeight& w : PointWeights(p)) {
      if (w.bone < 0 || w.bone >= static_cast<int>(deform.size()) || !(w.weight > 0.0f)) continue;
      blended += deform[w.bone].PointTransform(mesh.verts[p]) * w.weight;
      total += w.weight;
    }
    // Weights are normalised, as the host's skin does; a point without
    // weights stays where it is.
    if (total > 0.0f) mesh.verts[p] = blended * (1.0f / total);
  }
}

int SkinModifier::GetSkinInitTM(INode* node, Matrix3& tm, bool objOffset) {
  if (!node) return 0;
  tm = SkinBindTM(*node);
  if (objOffset) tm = ObjectOffsetTM(*node) * tm;
  return SKIN_OK;
}

INode* SkinModifier::GetBone(int idx) {
  if (idx < 0 || idx >= GetNumBones()) return nullptr;
  return bones[idx].node;
}

int SkinModifier::GetBoneInitTM(INode* bone, Matrix3& tm, bool objOffset) {
  if (!bone) return 0;
  for (size_t i = 0; i < bones.size(); ++i) {
    if (bones[i].node != bone) continue;
    tm = BoneBindTM(static_cast<int>(i));
    if (objOffset) tm = ObjectOffsetTM(*bone) * tm;
    return SKIN_OK;
  }
  return 0;
}

void SkinModifier::AddPoint(std::span<const BoneWeight> weights) {
  weights_.insert(weights_.end(), weights.begin(), weights.end());
  pointStart_.push_back(static_cast<uint32_t>(weights_.size()));
}

std::span<const BoneWeight> SkinModifier::PointWeights(int point) const {
  if (point < 0 || point >= NumPoints()) return {};
  return std::span<const BoneWeight>(weights_.data() + pointStart_[point],
                                     pointStart_[point + 1] - pointStart_[point]);
}

int SkinModifier::GetNumAssignedBones(int pointIdx) {
  return static_cast<int>(PointWeights(pointIdx).size());
}

int SkinModifier::GetAssignedBone(int pointIdx, int boneIdx) {
  std::span<const BoneWeight> w = PointWeights(pointIdx);
  if (boneIdx < 0 || boneIdx >= static_cast<int>(w.size())) return -1;
  return w[boneIdx].bone;
}

float SkinModifier::GetBoneWeight(int pointIdx, int boneIdx) {
  std::span<const BoneWeight> w = PointWeights(pointIdx);
  if (boneIdx < 0 || boneIdx >= static_cast<int>(w.size())) return 0.0f;
  return w[boneIdx].weight;
}

// ---- morpher

void MorpherModifier::Apply(TimeValue t, INode& node, Mesh& mesh) {
  (void)node;
  for (int s = 0; s < MORPHER_SLOT_COUNT; ++s) {
    const MorphChannelSlot& slot = slots_[s];
    if (!slot.present || !slot.active || slot.invalid) continue;
    const float factor = WeightAt(s, t) / 100.0f;
    const size_t count = std::min(slot.deltas.size(), mesh.verts.size());
    for (size_t i = 0; i < count; ++i) mesh.verts[i] += slot.deltas[i] * factor;
  }
}

MorphChannelSlot* MorpherModifier::GetSlot(int index) {
  if (index < 0 || index >= MORPHER_SLOT_COUNT) return nullptr;
  return &slots_[index];
}

MorphChannelSlot& MorpherModifier::Channel(int slot) {
  if (slot < 0 || slot >= MORPHER_SLOT_COUNT) {
    throw std::out_of_range("morph channel slot " + std::to_string(slot) + " outside 0..99");
  }
  slots_[slot].present = true;
  return slots_[slot];
}

MorphChannelSlot& MorpherModifier::AddChannel(int slot, std::vector<Point3> deltas, float weight) {
  MorphChannelSlot& channel = Channel(slot);
  channel.active = true;
  channel.weights.assign(deltas.size(), 1.0);
  channel.deltas = std::move(deltas);
  channel.weight = weight;
  return channel;
}

void MorpherModifier::SetWeightController(int slot, std::unique_ptr<FloatController> controller) {
  MorphChannelSlot& channel = Channel(slot);
  channel.weightController = controller.get();
  if (controller) channel.weight = controller->value;
  controllers_[slot] = std::move(controller);
}

float MorpherModifier::WeightAt(int slot, TimeValue t) const {
  const FloatController* controller = controllers_.at(slot).get();
  return controller ? controller->ValueAt(t) : slots_.at(slot).weight;
}

}  // namespace kiln::standalone
