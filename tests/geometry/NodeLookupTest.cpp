#include <gtest/gtest.h>

#include "geometry/FakeNode.h"
#include "geometry/LocalTransform.h"
#include "geometry/NodeLookup.h"
#include "host/MathTestSupport.h"

namespace kiln {
namespace {

TEST(NodeLookup, findModifierWalksEveryStackInIndexOrder) {
  fake::FakeModifier morpher(MORPHER_CLASS_ID, "Morpher");
  fake::FakeModifier skin(SKIN_CLASS_ID, "Skin");
  fake::FakeModifier otherSkin(SKIN_CLASS_ID, "Skin");
  fake::FakeModifier bend({0xB3, 0}, "Bend");
  TriObject mesh;
  fake::Stack lower({nullptr, &skin, &otherSkin}, &mesh);
  fake::Stack upper({&morpher, &bend}, &lower);
  fake::Node node;
  node.objectRef = &upper;

  // The skin sits below the morpher, on the stack under the first one.
  EXPECT_EQ(FindModifier(&node, SKIN_CLASS_ID), &skin);
  EXPECT_EQ(FindModifier(&node, MORPHER_CLASS_ID), &morpher);
  EXPECT_EQ(FindModifier(&node, EDITTRIOBJ_CLASS_ID), nullptr);
  // Disabled modifiers count.
  skin.SetAFlag(A_MOD_DISABLED);
  EXPECT_TRUE(HasSkin(&node));

  fake::Node plain;
  EXPECT_FALSE(HasSkin(&plain));  // no object at all
  plain.objectRef = &mesh;
  EXPECT_FALSE(HasSkin(&plain));
  EXPECT_FALSE(HasSkin(nullptr));
}

TEST(NodeLookup, findNodeByNameIsDepthFirstWithTheNodeItselfFirst) {
  fake::Node root("root");
  fake::Node* a = root.AddChild("a");
  fake::Node* deepB = a->AddChild("a1")->AddChild("b");
  root.AddChild("b");
  EXPECT_EQ(FindNodeByName(&root, "root"), &root);
  EXPECT_EQ(FindNodeByName(&root, "b"), deepB);
  EXPECT_EQ(FindNodeByName(a, "a"), a);
  EXPECT_EQ(FindNodeByName(&root, "B"), nullptr);  // exact match only
  EXPECT_EQ(FindNodeByName(&root, "missing"), nullptr);
  EXPECT_EQ(FindNodeByName(nullptr, "a"), nullptr);
  EXPECT_EQ(FindNodeByName(&root, nullptr), nullptr);

  // A chain far deeper than any call stack would allow for recursion.
  fake::Node chain("chain");
  fake::Node* last = &chain;
  for (int i = 0; i < 100000; ++i) last = last->AddChild("link");
  last->name_ = "tip";
  EXPECT_EQ(FindNodeByName(&chain, "tip"), last);
  // Unlink iteratively so the destructors do not recurse 100000 deep.
  while (!chain.children_.empty()) {
    std::unique_ptr<fake::Node> next = std::move(chain.children_.front());
    chain.children_ = std::move(next->children_);
  }
}

TEST(LocalTransform, isRelativeToTheParentAndWorldUnderTheRoot) {
  mathtest::RandomValues random(50);
  fake::Node root("root");
  fake::Node* parent = root.AddChild("parent");
  fake::Node* child = parent->AddChild("child");
  const Matrix3 local =
      ScaleMatrix({1, -2, 1}) * RotateMatrix(random.Rotation()) * TransMatrix({1, 2, 3});
  parent->nodeTM =
      ScaleMatrix({2, 2, 2}) * RotateMatrix(random.Rotation()) * TransMatrix({10, 20, 30});
  child->nodeTM = local * parent->nodeTM;
  parent->objectTM = TransMatrix({0, 0, 5}) * parent->nodeTM;
  child->objectTM = TransMatrix({0, 1, 0}) * child->nodeTM;

  EXPECT_TRUE(mathtest::MatricesNear(LocalTransform(child, 0), local, 1e-4f));
  EXPECT_TRUE(mathtest::MatricesNear(LocalTransform(parent, 0), parent->nodeTM, 0.0f));
  EXPECT_TRUE(mathtest::MatricesNear(LocalObjectTransform(child, 0),
                                     child->objectTM * Inverse(parent->objectTM), 1e-5f));
  EXPECT_EQ(LocalTransform(&root, 0), root.nodeTM);
}

}  // namespace
}  // namespace kiln
