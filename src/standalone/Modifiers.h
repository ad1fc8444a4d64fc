#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "host/INode.h"
#include "host/Morpher.h"
#include "host/Object.h"
#include "host/Skin.h"
#include "standalone/Controllers.h"

namespace kiln::standalone {

// A modifier on a standalone modifier stack. Apply changes the mesh flowing up
// the stack; the stack calls it bottom-up and skips disabled modifiers.
class StackModifier : public Modifier {
 public:
  virtual void Apply(TimeValue t, INode& node, Mesh& mesh) { (void)t, (void)node, (void)mesh; }
  void SetEnabled(bool enabled) {
    if (enabled)
      ClearAFlag(A_MOD_DISABLED);
    else
      SetAFlag(A_MOD_DISABLED);
  }
  // Nodes evaluate their stack afresh on every EvalWorldState, so a change
  // needs no invalidation here.
  void NotifyDependents(Interval, PartID, RefMessage) override {}
};

// A modifier that the standalone host knows only by its class: it changes
// nothing, but the exporter sees its class and enable flag.
class GenericModifier final : public StackModifier {
 public:
  GenericModifier(Class_ID classId, std::string className)
      : classId_(classId), className_(std::move(className)) {}
  Class_ID ClassID() override { return classId_; }
  std::string GetClassName() override { return className_; }

 private:
  Class_ID classId_;
  std::string className_;
};

struct BoneWeight {
  int bone = 0;  // index into the skin's bone list
  float weight = 0.0f;
  friend bool operator==(const BoneWeight&, const BoneWeight&) = default;
};

// A skin bound to one node (the node arguments of ISkin are not checked).
// Bind transforms are node transforms. One left unset is taken from the pose
// at the reference frame when the scene is built or loaded
// (Scene::SetDefaultBindPoses), so a skeleton posed there is its bind pose.
class SkinModifier final : public StackModifier, public ISkin, public ISkinContextData {
 public:
  struct Bone {
    INode* node = nullptr;
    std::optional<Matrix3> bindTM;
  };

  Class_ID ClassID() override { return SKIN_CLASS_ID; }
  std::string GetClassName() override { return "Skin"; }
  void* GetInterface(uint32_t id) override {
    return id == I_SKIN ? static_cast<ISkin*>(this) : nullptr;
  }

  // Linear blend skinning from the bind pose to the bones' pose at t.
  void Apply(TimeValue t, INode& node, Mesh& mesh) override;

  // ISkin
  int GetSkinInitTM(INode* node, Matrix3& tm, bool objOffset = false) override;
  int GetNumBones() override { return static_cast<int>(bones.size()); }
  INode* GetBone(int idx) override;
  int GetBoneInitTM(INode* bone, Matrix3& tm, bool objOffset = false) override;
  ISkinContextData* GetContextInterface(INode* node) override {
    (void)node;
    return this;
  }
  TimeValue GetRefFrame() override { return refFrame; }

  // ISkinContextData; points and slots out of range answer nothing.
  int GetNumPoints() override { return NumPoints(); }
  int GetNumAssignedBones(int pointIdx) override;
  int GetAssignedBone(int pointIdx, int boneIdx) override;
  float GetBoneWeight(int pointIdx, int boneIdx) override;

  // Appends a bone; returns its index.
  int AddBone(INode* node, std::optional<Matrix3> bindTM = std::nullopt) {
    bones.push_back({node, bindTM});
    return static_cast<int>(bones.size()) - 1;
  }
  // Appends the next point's weights.
  void AddPoint(std::span<const BoneWeight> weights);
  void AddPoint(std::initializer_list<BoneWeight> weights) {
    AddPoint(std::span<const BoneWeight>(weights.begin(), weights.size()));
  }
  int NumPoints() const { return static_cast<int>(pointStart_.size()) - 1; }
  std::span<const BoneWeight> PointWeights(int point) const;

  // The bind transform of bone i (node transform); unset, the bone's pose now.
  Matrix3 BoneBindTM(int i) const;
  Matrix3 SkinBindTM(INode& node) const;
  // Sets every unset bind transform to the pose at the reference frame.
  void SetDefaultBindPose(INode& node);

  std::vector<Bone> bones;
  std::optional<Matrix3> skinBindTM;  // node transform of the skinned node at bind
  TimeValue refFrame = 0;

 private:
  // Weights of all points, point after point; point p owns
  // [pointStart_[p], pointStart_[p + 1]).
  std::vector<uint32_t> pointStart_{0};
  std::vector<BoneWeight> weights_;
};

// The morpher: 100 channel slots of per-vertex deltas.
class MorpherModifier final : public StackModifier, public IMorpher {
 public:
  Class_ID ClassID() override { return MORPHER_CLASS_ID; }
  std::string GetClassName() override { return "Morpher"; }
  void* GetInterface(uint32_t id) override {
    return id == I_MORPHER ? static_cast<IMorpher*>(this) : nullptr;
  }

  // Adds weight / 100 * delta of every present, active and valid channel.
  void Apply(TimeValue t, INode& node, Mesh& mesh) override;

  int NumSlots() override { return MORPHER_SLOT_COUNT; }
  MorphChannelSlot* GetSlot(int index) override;

  // The slot, marked present. Throws std::out_of_range outside 0..99.
  MorphChannelSlot& Channel(int slot);
  // A present, active channel with these deltas, a per-point weight of 1 each
  // and the given weight in percent.
  MorphChannelSlot& AddChannel(int slot, std::vector<Point3> deltas, float weight);
  const MorphChannelSlot& SlotAt(int slot) const { return slots_.at(slot); }
  // Animates (or, with null, stops animating) a channel's weight; the
  // channel's current weight becomes the controller's.
  void SetWeightController(int slot, std::unique_ptr<FloatController> controller);
  FloatController* WeightController(int slot) const { return controllers_.at(slot).get(); }
  // The channel's weight in percent at t.
  float WeightAt(int slot, TimeValue t) const;

 private:
  std::array<MorphChannelSlot, MORPHER_SLOT_COUNT> slots_;
  std::array<std::unique_ptr<FloatController>, MORPHER_SLOT_COUNT> controllers_;
};

// The object offset of a node as a matrix.
Matrix3 ObjectOffsetTM(INode& node);

}  // namespace kiln::standalone
