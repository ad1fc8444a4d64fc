// The standalone host evaluates controllers as a modelling host does; every
// expected value below is worked out by hand in the comment beside it.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "host/MathTestSupport.h"
#include "standalone/Constraints.h"
#include "standalone/IKControllers.h"
#include "standalone/SceneBuilder.h"
#include "standalone/XYZControllers.h"

namespace kiln::standalone {
namespace {

using mathtest::PointsNear;
constexpr float kPi = std::numbers::pi_v<float>;

float Degrees(float d) {
  return d * kPi / 180.0f;
}

// A rotation key turning by degrees about axis from the key before.
Keyframe<Quat> Turn(TimeValue t, float degrees = 0, Point3 axis = {0, 0, 1}) {
  Keyframe<Quat> key;
  key.time = t;
  key.value = AngAxis(axis, Degrees(degrees));
  return key;
}

// Where a rotation takes the x axis.
Point3 TurnedX(const Quat& q) {
  return Point3(1, 0, 0) * RotateMatrix(q);
}

TEST(ControllerEvaluation, tcbFloatFollowsKochanekBartelsWithTensionContinuityBiasAndEase) {
  // Key 1 (t 100, value 10, T 0.5, C 0.2, B -0.3) between 0 at t 0 and 4 at t 300:
  //   out = (0.21 * 10 + 0.26 * -6) * 2*200/300 = 0.72
  //   in  = (0.14 * 10 + 0.39 * -6) * 2*100/300 = -0.626667
  //   natural ends: first out = 1.5*10 - 0.5*in = 15.313333; last in = 1.5*-6 - 0.5*out = -9.36
  //   t 50 (u 0.5): 0.125*15.313333 + 0.5*10 + 0.125*0.626667 = 6.9925
  //   t 200: 0.5*10 + 0.125*0.72 + 0.5*4 + 0.125*9.36 = 8.26
  //   with ease out 0.5 at key 1, t 200 reads u = (2/3)(2*0.5 - 0.5) = 1/3:
  //   0.740741*10 + 0.148148*0.72 + 0.259259*4 + 0.074074*9.36 = 9.244444
  std::vector<Keyframe<float>> keys = {
      {.time = 0, .value = 0},
      {.time = 100, .value = 10, .tension = 0.5f, .continuity = 0.2f, .bias = -0.3f},
      {.time = 300, .value = 4}};
  auto tcb = FloatController::WithKeys(Interpolation::kTCB, keys);
  EXPECT_NEAR(tcb->ValueAt(50), 6.9925f, 1e-4f);
  EXPECT_NEAR(tcb->ValueAt(200), 8.26f, 1e-4f);
  EXPECT_NEAR(tcb->ValueAt(100), 10.0f, 1e-5f);
  keys[1].easeOut = 0.5f;
  EXPECT_NEAR(FloatController::WithKeys(Interpolation::kTCB, keys)->ValueAt(200), 9.244444f, 1e-4f);
}

TEST(ControllerEvaluation, bezierSegmentIsCubicInTimeAndValueWithUnequalLengths) {
  // Controls in (ticks, value): (0, 0), (800, 8) from out tangent 0.01 and
  // length 1/2, (1200, 10) from in tangent 0 and length 1/4, (1600, 10).
  // At s = 1/2: time (0 + 3*800 + 3*1200 + 1600) / 8 = 950, value (24 + 30 + 10) / 8 = 8.
  auto bezier = FloatController::WithKeys(
      Interpolation::kBezier, {{.time = 0, .value = 0, .outTangent = 0.01f, .outLength = 0.5f},
                               {.time = 1600, .value = 10, .inTangent = 0, .inLength = 0.25f}});
  EXPECT_NEAR(bezier->ValueAt(950), 8.0f, 1e-4f);
  // Lengths of -1 are a third: controls (0, 0), (533.3, 5.333), (1066.7, 10), (1600, 10)
  // give at s = 1/2 time 800 and value (16 + 30 + 10) / 8 = 7.
  auto thirds = FloatController::WithKeys(
      Interpolation::kBezier,
      {{.time = 0, .value = 0, .outTangent = 0.01f}, {.time = 1600, .value = 10}});
  EXPECT_NEAR(thirds->ValueAt(800), 7.0f, 1e-4f);
}

TEST(ControllerEvaluation, slerpPastHalfATurnTakesTheShortWay) {
  // A linear key turning 270 degrees about z reaches the orientation of -90:
  // slerp goes there the short way, so halfway is -45 degrees, not 135.
  auto linear = RotationController::WithKeys(Interpolation::kLinear, {Turn(0), Turn(100, 270)});
  EXPECT_TRUE(PointsNear(TurnedX(linear->ValueAt(50)),
                         {std::cos(Degrees(-45)), std::sin(Degrees(-45)), 0}, 1e-5f));
  // Smooth (Bezier) keys turning 200 degrees twice turn -160 each: through
  // 0, -160 and -320 degrees, Catmull-Rom tangents of -160 per segment make
  // the first half-segment -80 degrees (the long way would give +100).
  auto smooth = RotationController::WithKeys(Interpolation::kBezier,
                                             {Turn(0), Turn(100, 200), Turn(200, 200)});
  EXPECT_TRUE(PointsNear(TurnedX(smooth->ValueAt(50)),
                         {std::cos(Degrees(-80)), std::sin(Degrees(-80)), 0}, 1e-5f));
  // The key interface hands the turn out as the quaternion the host keeps.
  ILinRotKey key;
  ASSERT_TRUE(linear->GetKey(1, &key));
  EXPECT_NEAR(key.val.w, std::cos(Degrees(135)), 1e-6f);
}

TEST(ControllerEvaluation, relativeTcbRotationKeysAddUpToSeveralTurns) {
  // Turns 0, +400 and +100 degrees about z: orientations 0, 400 and 500 degrees.
  // Catmull-Rom in angle: middle tangent (500 - 0) / 2 = 250, first 1.5*400 - 0.5*250 = 475,
  // last 1.5*100 - 0.5*250 = 25. t 50: 0.125*475 + 0.5*400 - 0.125*250 = 228.125 degrees;
  // t 150: 0.5*400 + 0.125*250 + 0.5*500 - 0.125*25 = 478.125 degrees.
  auto tcb =
      RotationController::WithKeys(Interpolation::kTCB, {Turn(0), Turn(100, 400), Turn(200, 100)});
  for (auto [t, degrees] :
       {std::pair{50, 228.125f}, std::pair{150, 478.125f}, std::pair{200, 500.0f}}) {
    const Point3 expected(std::cos(Degrees(degrees)), std::sin(Degrees(degrees)), 0);
    EXPECT_TRUE(PointsNear(TurnedX(tcb->ValueAt(t)), expected, 1e-4f)) << "t " << t;
  }
}

TEST(ControllerEvaluation, everyOutOfRangeTypeOutsideTheKeys) {
  // Linear keys 0 at t 0, 10 at t 50, 4 at t 100, read at t 130 and t -30.
  struct Case {
    int ort;
    float after, before;
  };
  const Case cases[] = {
      {ORT_CONSTANT, 4, 0},
      {ORT_CYCLE, 6, 7.6f},  // t 30 -> 6; t 70 -> 10 - 6 * 20/50
      {ORT_LOOP, 6, 7.6f},
      {ORT_OSCILLATE, 7.6f, 6},         // 130 runs back to 70; -30 mirrors to 30
      {ORT_LINEAR, 0.4f, -6},           // 4 - 30 * 0.12; 0 - 30 * 0.2
      {ORT_RELATIVE_REPEAT, 10, 3.6f},  // 6 + (4 - 0); 7.6 - (4 - 0)
      {ORT_IDENTITY, 0, 0},
  };
  for (const Case& c : cases) {
    auto f = FloatController::WithKeys(
        Interpolation::kLinear,
        {{.time = 0, .value = 0}, {.time = 50, .value = 10}, {.time = 100, .value = 4}}, c.ort,
        c.ort);
    EXPECT_NEAR(f->ValueAt(130), c.after, 1e-3f) << "type " << c.ort;
    EXPECT_NEAR(f->ValueAt(-30), c.before, 1e-3f) << "type " << c.ort;
    EXPECT_EQ(f->GetORT(ORT_AFTER), c.ort);
  }
  // Rotations repeat relative to the turn of the range: 90 degrees per range,
  // so a quarter range past the end is 90 + 22.5 degrees.
  auto r = RotationController::WithKeys(Interpolation::kLinear, {Turn(0), Turn(100, 90)},
                                        ORT_CONSTANT, ORT_RELATIVE_REPEAT);
  EXPECT_TRUE(PointsNear(TurnedX(r->ValueAt(125)),
                         {std::cos(Degrees(112.5f)), std::sin(Degrees(112.5f)), 0}, 1e-4f));
}

TEST(ControllerEvaluation, xyzAndEulerControllersComposeTheirAxes) {
  PositionXYZController xyz;
  xyz.x = FloatController::WithKeys(Interpolation::kLinear,
                                    {{.time = 0, .value = 0}, {.time = 100, .value = 4}});
  xyz.z = std::make_unique<FloatController>(2.0f);
  EXPECT_EQ(xyz.ValueAt(25), Point3(1, 0, 2));
  EulerXYZController euler;
  euler.z = FloatController::WithKeys(Interpolation::kLinear,
                                      {{.time = 0, .value = 0}, {.time = 100, .value = kPi / 2}});
  EXPECT_TRUE(PointsNear(TurnedX(euler.ValueAt(50)), {std::sqrt(0.5f), std::sqrt(0.5f), 0}, 1e-6f));
}

TEST(ControllerEvaluation, constraintsFollowLinksAndLookAtWeightedTargets) {
  SceneBuilder b;
  auto& a = b.Node("A").Position({10, 0, 0});
  auto& c = b.Node("B").Position({0, 20, 0});
  auto& linked = b.Node("Linked").Parent(c);
  auto link = std::make_unique<LinkConstraint>();
  link->SetParts({Point3(1, 0, 0), {}, {}});
  link->links = {{&a.node(), 0}, {&c.node(), 100}, {nullptr, 200}};
  linked.node().SetTransform(std::move(link));
  auto& looker = b.Node("Looker").Position({0, 0, 5});
  auto lookAt = std::make_unique<LookAtConstraint>();
  lookAt->targets = {{&a.node(), 3.0f}, {&c.node(), 1.0f}, {nullptr, 9.0f}};
  lookAt->upnodeControl = 1;  // source z along the world's z
  looker.PRS().rotation = std::move(lookAt);
  auto scene = b.Build();

  // Before the first link and until the second, A carries the node; then B; then the world.
  for (auto [t, at] : {std::pair{-10, Point3(11, 0, 0)}, std::pair{50, Point3(11, 0, 0)},
                       std::pair{150, Point3(1, 20, 0)}, std::pair{250, Point3(1, 0, 0)}}) {
    EXPECT_TRUE(PointsNear(linked.node().GetNodeTM(t).GetTrans(), at, 1e-5f)) << "t " << t;
  }
  // Weighted target (3 * (10, 0, 0) + (0, 20, 0)) / 4 = (7.5, 5, 0), seen from (0, 0, 5).
  const Matrix3 tm = looker.node().GetNodeTM(0);
  EXPECT_TRUE(PointsNear(tm.GetRow(0), Normalize({7.5f, 5, -5}), 1e-5f));
  EXPECT_NEAR(DotProd(tm.GetRow(2), {0, 0, 1}), Length(CrossProd(tm.GetRow(0), {0, 0, 1})), 1e-5f);
}

TEST(ControllerEvaluation, ikChainBendsTheMiddleJointAndSwingsTheStartToTheGoal) {
  SceneBuilder b;
  auto& start = b.Node("Start");
  auto& middle = b.Node("Middle").Parent(start);
  auto& end = b.Node("End").Parent(middle).Position({0, 1, 0});
  for (NodeBuilder* joint : {&start, &middle}) {
    auto ik = std::make_unique<IKController>();
    ik->SetParts({joint == &middle ? Point3(1, 0, 0) : Point3(), {}, {}});
    joint->node().SetTransform(std::move(ik));
  }
  auto& goal = b.Node("Goal");
  auto chain = std::make_unique<IKChainController>();
  chain->startJoint = &start.node();
  chain->endJoint = &end.node();
  auto* chainPtr = chain.get();
  goal.node().SetTransform(std::move(chain));
  auto scene = b.Build();

  // Forward: start (0,0,0), middle (1,0,0), end (1,1,0), bones of length 1.
  struct Case {
    Point3 goal, middle, end;
  };
  const Case cases[] = {
      {{0, std::sqrt(2.0f), 0},
       {std::sqrt(0.5f), std::sqrt(0.5f), 0},
       {0, std::sqrt(2.0f), 0}},          // swing 45
      {{2, 0, 0}, {1, 0, 0}, {2, 0, 0}},  // bend straight
      {{5, 0, 0}, {1, 0, 0}, {2, 0, 0}},  // out of reach: straight toward it
  };
  for (const Case& c : cases) {
    chainPtr->SetParts({c.goal, {}, {}});
    EXPECT_TRUE(PointsNear(middle.node().GetNodeTM(0).GetTrans(), c.middle, 1e-5f));
    EXPECT_TRUE(PointsNear(end.node().GetNodeTM(0).GetTrans(), c.end, 1e-5f));
  }
  auto* ik = static_cast<IIKControl*>(start.node().GetTMController()->GetInterface(I_IKCONTROL));
  ASSERT_NE(ik, nullptr);
  EXPECT_EQ(ik->IKChains(IK_ROT_JOINT), std::vector<INode*>{&goal.node()});
  EXPECT_TRUE(static_cast<IIKControl*>(middle.node().GetTMController()->GetInterface(I_IKCONTROL))
                  ->IKChains(IK_POS_JOINT)
                  .empty());
}

TEST(ControllerEvaluation, wholeFrameCacheGivesTheSameTransformsWhileItEvicts) {
  SceneBuilder b;
  b.AnimRange(0, 160 * 20);
  NodeBuilder* parent = nullptr;
  for (int i = 0; i < 6; ++i) {
    auto& node = b.Node("N" + std::to_string(i));
    if (parent) node.Parent(*parent);
    node.PRS().rotation =
        RotationController::WithKeys(Interpolation::kTCB, {Turn(0), Turn(3200, 115, {0, 1, 1})});
    node.Position({1, 0, 0});
    parent = &node;
  }
  auto scene = b.Build();
  std::vector<Matrix3> plain;
  for (TimeValue t = 0; t <= 3200; t += 160) plain.push_back(parent->node().GetNodeTM(t));
  scene->frameCacheBudget = 4 * 21 * sizeof(Matrix3);  // room for a few nodes only
  TransformsHeldStill held(*scene);
  for (int pass = 0; pass < 2; ++pass) {
    for (SceneNode* node : scene->NodesDepthFirst()) {
      for (TimeValue t = 0; t <= 3200; t += 160) node->GetNodeTM(t);
    }
    for (size_t f = 0; f < plain.size(); ++f) {
      EXPECT_TRUE(parent->node().GetNodeTM(static_cast<TimeValue>(f) * 160) == plain[f]) << f;
    }
  }
}

}  // namespace
}  // namespace kiln::standalone
