#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "host/MathTestSupport.h"
#include "standalone/Primitives.h"
#include "standalone/SceneBuilder.h"

namespace kiln::standalone {
namespace {

using mathtest::MatricesNear;
using mathtest::PointsNear;

constexpr float kHalfTurn = std::numbers::pi_v<float> / 2.0f;

TEST(StandaloneScene, nodeTransformsComposeThroughTheHierarchy) {
  SceneBuilder b;
  auto& arm = b.Node("Arm").Position({1, 0, 0}).Rotation(kHalfTurn, {0, 0, 1});
  auto& hand = b.Node("Hand").Parent(arm).Position({1, 0, 0});
  auto& finger = b.Node("Finger").Parent(hand).Scale({2, 2, 2}).ObjectOffset({0, 0, 1});
  std::unique_ptr<Scene> scene = b.Build();

  // The hand sits one unit along the arm's x axis, which the arm turned to +y.
  EXPECT_TRUE(PointsNear(hand.node().GetNodeTM(0).GetTrans(), {1, 1, 0}, 1e-6f));
  EXPECT_TRUE(MatricesNear(hand.node().GetParentTM(0), arm.node().GetNodeTM(0), 0));
  EXPECT_TRUE(MatricesNear(arm.node().GetParentTM(0), Matrix3(), 0));
  // The object offset is applied in the node's own (scaled, turned) space.
  const Point3 objectOrigin = finger.node().GetObjectTM(0).GetTrans();
  EXPECT_TRUE(PointsNear(objectOrigin, {1, 1, 2}, 1e-6f));
  EXPECT_TRUE(MatricesNear(finger.node().GetObjTMAfterWSM(0), finger.node().GetObjectTM(0), 0));

  INode* root = scene->Root().GetParentNode() ? nullptr : &scene->Root();
  ASSERT_NE(root, nullptr);
  EXPECT_TRUE(root->IsRootNode());
  EXPECT_FALSE(arm.node().IsRootNode());
  EXPECT_EQ(root->GetHandle(), 0u);
  EXPECT_EQ(root->NumberOfChildren(), 1);
  EXPECT_EQ(root->GetChildNode(0), &arm.node());
  EXPECT_EQ(root->GetChildNode(1), nullptr);
  EXPECT_EQ(hand.node().GetParentNode(), &arm.node());
  EXPECT_EQ(arm.node().GetHandle(), 1u);
  EXPECT_EQ(finger.node().GetHandle(), 3u);
}

TEST(StandaloneScene, handlesAreUniqueAndTheTreeStaysATree) {
  SceneBuilder b;
  auto& a = b.Node("A", 10);
  auto& c = b.Node("C").Parent(a);
  EXPECT_EQ(c.node().Handle(), 11u);  // above every handle in use
  EXPECT_THROW(b.Node("Again", 10), std::invalid_argument);
  EXPECT_THROW(b.Node("Root's", 0), std::invalid_argument);
  EXPECT_THROW(a.Parent(c), std::invalid_argument);  // would make a cycle
  EXPECT_THROW(a.Parent(a), std::invalid_argument);
  EXPECT_THROW(b.scene().SetParent(b.Root(), a.node()), std::invalid_argument);

  // Moving a node keeps the order of the others and appends it.
  auto& d = b.Node("D");
  auto& e = b.Node("E");
  d.Parent(e);
  d.Parent(b.Root());
  std::vector<std::string> names;
  for (SceneNode* node : b.scene().NodesDepthFirst()) names.push_back(node->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"A", "C", "E", "D"}));
  EXPECT_EQ(b.scene().FindNode("E"), &e.node());
  EXPECT_EQ(b.scene().FindNode(11u), &c.node());
}

TEST(StandaloneScene, missingTransformPartsAreTheIdentity) {
  SceneBuilder b;
  auto& parent = b.Node("P").Position({0, 0, 5});
  auto& noRotation = b.Node("NoRot").Position({1, 2, 3}).Scale({2, 1, 1}).WithoutRotation();
  auto& bare = b.Node("Bare").Parent(parent).WithoutTransform();
  std::unique_ptr<Scene> scene = b.Build();

  Control* tm = noRotation.node().GetTMController();
  ASSERT_NE(tm, nullptr);
  EXPECT_EQ(tm->ClassID(), PRS_CONTROL_CLASS_ID);
  EXPECT_NE(tm->GetPositionController(), nullptr);
  EXPECT_EQ(tm->GetRotationController(), nullptr);
  EXPECT_NE(tm->GetScaleController(), nullptr);
  EXPECT_EQ(tm->GetPositionController()->ClassID(), Class_ID(0x2008, 0));
  EXPECT_EQ(tm->GetScaleController()->ClassID(), Class_ID(0x2010, 0));
  EXPECT_EQ(tm->GetScaleController()->SuperClassID(), CTRL_SCALE_CLASS_ID);
  const Matrix3 m = noRotation.node().GetNodeTM(0);
  EXPECT_TRUE(PointsNear(m.GetRow(0), {2, 0, 0}, 0));
  EXPECT_TRUE(PointsNear(m.GetTrans(), {1, 2, 3}, 0));

  // A node without transform controller sits on its parent.
  EXPECT_EQ(bare.node().GetTMController(), nullptr);
  EXPECT_TRUE(MatricesNear(bare.node().GetNodeTM(0), parent.node().GetNodeTM(0), 0));
}

// Two bones along x; the box's vertices at x < 0 follow bone A, the others B.
struct SkinnedBox {
  SceneBuilder b;
  NodeBuilder& boneA = b.Node("BoneA").Object("bone").Position({-1, 0, 0});
  NodeBuilder& boneB = b.Node("BoneB").Object("bone").Position({1, 0, 0});
  NodeBuilder& body = b.Node("Body").Mesh(MakeBox(2, 2, 2)).Position({0, 0, 1});
  SkinModifier& skin = body.Skin();
  std::unique_ptr<Scene> scene;

  SkinnedBox() {
    skin.AddBone(&boneA.node());
    skin.AddBone(&boneB.node());
    const Mesh& mesh = static_cast<MeshObject*>(body.node().StackIfAny()->GetObjRef())->mesh;
    for (const Point3& v : mesh.verts) {
      if (v.x < 0)
        skin.AddPoint({{0, 1.0f}});
      else
        skin.AddPoint({{1, 0.5f}, {0, 0.0f}});  // unnormalised: 0.5 alone counts fully
    }
    scene = b.Build();
  }
  Mesh Evaluate(TimeValue t = 0) {
    ObjectState os = body.node().EvalWorldState(t);
    return os.obj->ConvertToType(t, TRIOBJ_CLASS_ID)->mesh;
  }
};

TEST(StandaloneScene, skinDeformsWhenEnabledAndNotWhenDisabled) {
  SkinnedBox box;
  const Mesh base = MakeBox(2, 2, 2);
  Mesh bound = box.Evaluate();
  for (int i = 0; i < base.getNumVerts(); ++i) {
    EXPECT_TRUE(PointsNear(bound.verts[i], base.verts[i], 1e-5f)) << "bind pose moves vertex " << i;
  }

  // Bone B moves up by 3 and turns a quarter about z around its own pivot.
  box.boneB.Position({1, 0, 3}).Rotation(kHalfTurn, {0, 0, 1});
  Mesh posed = box.Evaluate();
  const Matrix3 boneMove = Inverse(Matrix3(TransMatrix({1, 0, 0}))) *
                           RotateMatrix(QFromAngAxis(kHalfTurn, {0, 0, 1})) *
                           TransMatrix({1, 0, 3});
  for (int i = 0; i < base.getNumVerts(); ++i) {
    const Point3 world = base.verts[i] + Point3(0, 0, 1);
    const Point3 expected =
        base.verts[i].x < 0 ? base.verts[i] : boneMove.PointTransform(world) - Point3(0, 0, 1);
    EXPECT_TRUE(PointsNear(posed.verts[i], expected, 1e-5f)) << "vertex " << i;
  }

  // Moving the skinned node alone leaves the skin where the bones hold it.
  box.boneB.Position({1, 0, 0}).Rotation(Quat());
  box.body.Position({0, 0, 11});
  Mesh moved = box.Evaluate();
  EXPECT_TRUE(PointsNear(moved.verts[0], base.verts[0] - Point3(0, 0, 10), 1e-5f));

  box.body.Position({0, 0, 1});
  box.boneB.Position({1, 0, 3});
  box.skin.SetEnabled(false);
  Mesh disabled = box.Evaluate();
  for (int i = 0; i < base.getNumVerts(); ++i) {
    EXPECT_TRUE(PointsNear(disabled.verts[i], base.verts[i], 0)) << "disabled skin moved " << i;
  }
}

TEST(StandaloneScene, skinAnswersThroughItsHostInterfaces) {
  SkinnedBox box;
  auto* derived = static_cast<IDerivedObject*>(box.body.node().GetObjectRef());
  ASSERT_EQ(derived->SuperClassID(), GEN_DERIVOB_CLASS_ID);
  ASSERT_EQ(derived->NumModifiers(), 1);
  Modifier* modifier = derived->GetModifier(0);
  EXPECT_EQ(modifier->ClassID(), SKIN_CLASS_ID);
  EXPECT_EQ(derived->GetModifier(1), nullptr);
  auto* skin = static_cast<ISkin*>(modifier->GetInterface(I_SKIN));
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(modifier->GetInterface(I_MORPHER), nullptr);
  EXPECT_EQ(skin->GetNumBones(), 2);
  EXPECT_EQ(skin->GetBone(1), &box.boneB.node());
  EXPECT_EQ(skin->GetBone(2), nullptr);
  Matrix3 tm;
  ASSERT_EQ(skin->GetBoneInitTM(&box.boneB.node(), tm), SKIN_OK);
  EXPECT_TRUE(PointsNear(tm.GetTrans(), {1, 0, 0}, 0));
  EXPECT_EQ(skin->GetBoneInitTM(&box.body.node(), tm), 0);
  ASSERT_EQ(skin->GetSkinInitTM(&box.body.node(), tm), SKIN_OK);
  EXPECT_TRUE(PointsNear(tm.GetTrans(), {0, 0, 1}, 0));

  ISkinContextData* data = skin->GetContextInterface(&box.body.node());
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->GetNumPoints(), 8);
  EXPECT_EQ(data->GetNumAssignedBones(1), 2);  // vertex 1 has x > 0
  EXPECT_EQ(data->GetAssignedBone(1, 0), 1);
  EXPECT_FLOAT_EQ(data->GetBoneWeight(1, 0), 0.5f);
  EXPECT_EQ(data->GetNumAssignedBones(8), 0);
  EXPECT_EQ(data->GetAssignedBone(1, 5), -1);
  EXPECT_EQ(data->GetBoneWeight(-1, 0), 0.0f);
}

TEST(StandaloneScene, morpherAddsWeightedDeltasOfActiveValidChannels) {
  SceneBuilder b;
  auto& face = b.Node("Face").Mesh(MakeBox());
  MorpherModifier& morpher = face.Morpher();
  const std::vector<Point3> up(8, Point3(0, 0, 2));
  morpher.AddChannel(0, up, 50.0f);
  morpher.AddChannel(3, std::vector<Point3>(2, Point3(1, 0, 0)), 0.0f);  // two vertices only
  morpher.SetWeightController(3, std::make_unique<FloatController>(100.0f));
  morpher.AddChannel(5, up, 100.0f).active = false;
  morpher.AddChannel(6, up, 100.0f).invalid = true;
  std::unique_ptr<Scene> scene = b.Build();

  const Mesh base = MakeBox();
  Mesh morphed = face.node().EvalWorldState(0).obj->ConvertToType(0, TRIOBJ_CLASS_ID)->mesh;
  EXPECT_TRUE(PointsNear(morphed.verts[0], base.verts[0] + Point3(1, 0, 1), 1e-6f));
  EXPECT_TRUE(PointsNear(morphed.verts[7], base.verts[7] + Point3(0, 0, 1), 1e-6f));

  auto* table = static_cast<IMorpher*>(morpher.GetInterface(I_MORPHER));
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->NumSlots(), 100);
  EXPECT_TRUE(table->GetSlot(3)->present);
  EXPECT_NE(table->GetSlot(3)->weightController, nullptr);
  EXPECT_FALSE(table->GetSlot(4)->present);
  EXPECT_EQ(table->GetSlot(100), nullptr);
  EXPECT_THROW(morpher.Channel(100), std::out_of_range);

  morpher.SetEnabled(false);
  Mesh plain = face.node().EvalWorldState(0).obj->ConvertToType(0, TRIOBJ_CLASS_ID)->mesh;
  EXPECT_TRUE(PointsNear(plain.verts[0], base.verts[0], 0));
}

TEST(StandaloneScene, evaluationKeepsOneResultObjectPerNode) {
  SceneBuilder b;
  auto& plain = b.Node("Plain").Mesh(MakeBox());
  auto& stacked = b.Node("Stacked").Mesh(MakeBox()).Modifier(Class_ID(0x1234, 0), "Edit Mesh");
  auto& helper = b.Node("Dummy").Object("dummy");
  auto& boxHelper = b.Node("bb_box").Object("point").ConvertsTo(MakeBox(4, 4, 4));
  auto& empty = b.Node("Empty");
  std::unique_ptr<Scene> scene = b.Build();

  EXPECT_EQ(plain.node().EvalWorldState(0).obj, plain.node().GetObjectRef());
  Object* first = stacked.node().EvalWorldState(0).obj;
  ASSERT_NE(first, stacked.node().GetObjectRef());
  EXPECT_EQ(stacked.node().EvalWorldState(10).obj, first);
  EXPECT_EQ(first->ClassID(), TRIOBJ_CLASS_ID);

  Object* dummy = helper.node().EvalWorldState(0).obj;
  EXPECT_EQ(dummy->ClassID(), DUMMY_CLASS_ID);
  EXPECT_EQ(dummy->SuperClassID(), HELPER_CLASS_ID);
  EXPECT_FALSE(dummy->CanConvertToType(TRIOBJ_CLASS_ID));
  EXPECT_EQ(dummy->ConvertToType(0, TRIOBJ_CLASS_ID), nullptr);

  Object* point = boxHelper.node().EvalWorldState(0).obj;
  EXPECT_EQ(point->ClassID(), POINTHELP_CLASS_ID);
  ASSERT_TRUE(point->CanConvertToType(TRIOBJ_CLASS_ID));
  EXPECT_EQ(point->ConvertToType(0, TRIOBJ_CLASS_ID)->mesh.getNumVerts(), 8);

  EXPECT_EQ(empty.node().EvalWorldState(0).obj, nullptr);
  EXPECT_THROW(b.Node("Nothing").Skin(), std::logic_error);
  EXPECT_THROW(b.Node("Nothing2").ConvertsTo(MakeBox()), std::logic_error);
}

}  // namespace
}  // namespace kiln::standalone
