#include <bit>
#include <cmath>
#include <numbers>

#include "animation/SampledTransform.h"
#include "animation/TrackExportFixture.h"
#include "standalone/CameraObject.h"
#include "standalone/Constraints.h"
#include "standalone/IKControllers.h"
#include "standalone/Primitives.h"
#include "standalone/SceneObjects.h"
#include "standalone/XYZControllers.h"

namespace kiln::testing {
namespace {

using namespace standalone;
constexpr float kPi = std::numbers::pi_v<float>;

Keyframe<Quat> Turn(TimeValue t, float angle, Point3 axis = {0, 0, 1}) {
  Keyframe<Quat> key;
  key.time = t;
  key.value = AngAxis(axis, angle);
  return key;
}

TEST_F(TrackExportTest, everyRequestKindWritesItsNamedTrack) {
  SceneBuilder b;
  auto& n = b.Node("N").Mesh(MakeBox()).Roll(0.5f).Visibility(1.0f);
  MorpherModifier& morpher = n.Morpher();
  morpher.AddChannel(0, {}, 30.0f);
  morpher.SetWeightController(0, std::make_unique<FloatController>(30.0f));
  auto& cam = b.Node("Cam").Object("freeCamera");
  static_cast<CameraObject*>(cam.node().ObjectRef())->Param(CameraObject::kFov).values[0].keyed =
      std::make_unique<FloatController>(0.8f);
  auto scene = b.Build();

  struct Case {
    INode* node;
    TrackRequest request;
    std::optional<std::string> name;
    Ids body;
    bool result = true;
    std::optional<float> value = std::nullopt;  // the one key of a float track
  };
  const std::optional<std::string> none;
  const Case cases[] = {
      {&n.node(), {0, 0}, "N::PRS", {{7, 28}}},
      {&n.node(), {1, 5}, none, {}},
      {&n.node(), {2, 1}, "N::Position", {{8, 26}}},
      {&n.node(), {2, 0}, none, {}},
      {&n.node(), {3, 2}, "N::Rotation", {{9, 27}}},
      {&n.node(), {4, 4}, "N::Roll", {{11, 24}}, true, 0.5f},
      {&n.node(), {4, 5}, "N::FOV", {}},  // not a camera: the name alone
      {&cam.node(), {4, 5}, "Cam::FOV", {{11, 24}}, true, 0.8f},
      {&n.node(), {4, 6}, "N::Visibility", {{11, 24}}, true, 1.0f},
      {&n.node(), {4, 7}, "N::MorphChannel_0", {{11, 24}}, true, 30.0f},
      {&n.node(), {4, 8}, "N::MorphChannel_1", {}},
      {&n.node(), {4, 3}, none, {}},
      {&n.node(), {4, 17}, none, {}},
      {&n.node(), {5, 3}, "N::Scale", {{10, 0}}},
      {&n.node(), {6, 1}, none, {}},
      {&n.node(), {7, 17}, "N::IK_CHAIN", {{22, 0}}, false},
      {&n.node(), {8, 0}, "N::PRS", {{7, 33}}},
      {&n.node(), {42, 0}, none, {}},
  };
  std::vector<std::pair<INode*, TrackRequest>> requests;
  for (const Case& c : cases) requests.emplace_back(c.node, c.request);
  const reader::ChunkFile file = Run(*scene, requests);
  ASSERT_EQ(file.chunks.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    const reader::Chunk& track = file.chunks[i];
    SCOPED_TRACE("request (" + std::to_string(c.request.kind) + ", " +
                 std::to_string(c.request.subKind) + ")");
    EXPECT_EQ(track.id, (reader::ChunkId{6, 21, 1}));
    EXPECT_EQ(NameOf(track), c.name);
    EXPECT_EQ(IdsOf(track.children), c.body);
    EXPECT_EQ(results_[i], c.result);
    if (c.value) {
      const auto keys = KeysIn(track);
      ASSERT_EQ(keys.size(), 1u);
      EXPECT_EQ(keys[0]->blockType, 46u);
      EXPECT_EQ(Floats(keys[0]->Get(0, "value")), std::vector<float>{*c.value});
    }
  }
}

TEST_F(TrackExportTest, keyBlocksCarryEveryInterpolationAndValueType) {
  // Keys at ticks 0 and 2000 (frame 12.5 at 30 frames a second).
  SceneBuilder b;
  auto& n = b.Node("N");
  auto scene = b.Build();
  PRSController& prs = *n.node().PRS();
  struct Case {
    std::function<void()> set;
    TrackRequest request;
    uint32_t block;
    std::vector<float> secondKey;
  };
  const float whole = 12.0f / 30, exact = 12.5f / 30;
  Keyframe<Point3> p0, p1;
  p1.time = 2000, p1.value = {1, 2, 3};
  p1.tension = 0.25f, p1.continuity = -0.5f, p1.bias = 0.75f, p1.easeIn = 0.1f, p1.easeOut = 0.2f;
  Keyframe<ScaleWithAxis> s0, s1;
  s1.time = 2000, s1.value = {{2, 3, 4}, Quat()};
  s1.inTangent = {1, 2, 3}, s1.inLength = {0.5f, -1, 0.25f};
  Keyframe<float> f0, f1;
  f1.time = 2000, f1.value = 7;
  const Case cases[] = {
      {[&] {
         prs.position = PositionController::WithKeys(Interpolation::kLinear, {p0, p1});
       },
       {2, 1},
       43,
       {whole, 1, 3, 2}},
      {[&] {
         prs.position = PositionController::WithKeys(Interpolation::kTCB, {p0, p1});
       },
       {2, 1},
       39,
       {whole, 1, 3, 2, 0.25f, -0.5f, 0.75f, 0.1f, 0.2f}},
      // The TCB rotation key keeps its own angle-axis: 400 degrees, axis as given.
      {[&] {
         prs.rotation = RotationController::WithKeys(
             Interpolation::kTCB, {Turn(0, 0), Turn(2000, kPi * 20 / 9, {0, 0, 2})});
       },
       {3, 2},
       40,
       {whole, kPi * 20 / 9, 0, 2, 0, 0, 0, 0, 0, 0}},
      {[&] {
         prs.rotation = RotationController::WithKeys(Interpolation::kLinear,
                                                     {Turn(0, 0), Turn(2000, kPi / 2, {0, 1, 0})});
       },
       {3, 2},
       44,
       {whole, kPi / 2, 0, 0, 1}},
      {[&] {
         prs.rotation = RotationController::WithKeys(Interpolation::kBezier,
                                                     {Turn(0, 0), Turn(2000, kPi / 2, {0, 1, 0})});
       },
       {3, 2},
       36,
       {whole, kPi / 2, 0, 0, 1}},
      {[&] {
         prs.scale = ScaleController::WithKeys(Interpolation::kLinear, {s0, s1});
       },
       {5, 3},
       45,
       {whole, 2, 4, 3, 0, 0, 1, 0}},
      {[&] {
         prs.scale = ScaleController::WithKeys(Interpolation::kTCB, {s0, s1});
       },
       {5, 3},
       41,
       {whole, 2, 4, 3, 0, 0, 1, 0, 0, 0, 0, 0, 0}},
      // Bezier scale keys are written raw: lengths of -1 stay.
      {[&] {
         prs.scale = ScaleController::WithKeys(Interpolation::kBezier, {s0, s1});
       },
       {5, 3},
       37,
       {whole, 2, 4, 3, 0, 0, 1, 0, 0.5f, 0.25f, -1, 1, 3, 2, -1, -1, -1, 0, 0, 0}},
      {[&] {
         prs.roll = FloatController::WithKeys(Interpolation::kLinear, {f0, f1});
       },
       {4, 4},
       46,
       {whole, 7}},
      {[&] {
         prs.roll = FloatController::WithKeys(Interpolation::kTCB, {f0, f1});
       },
       {4, 4},
       42,
       {whole, 7, 0, 0, 0, 0, 0}},
      {[&] {
         prs.roll = FloatController::WithKeys(Interpolation::kBezier, {f0, f1});
       },
       {4, 4},
       38,
       {exact, 7, -1.0f / 3, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    c.set();
    const reader::ChunkFile file = Run(*scene, {{&n.node(), c.request}});
    const auto keys = KeysIn(file.chunks.at(0));
    ASSERT_EQ(keys.size(), 1u) << c.block;
    EXPECT_EQ(keys[0]->blockType, c.block);
    ASSERT_EQ(keys[0]->keys.size(), 2u) << c.block;
    EXPECT_EQ(keys[0]->keys[1], c.secondKey) << "block " << c.block;
  }
}

TEST_F(TrackExportTest, bezierHandlesConvertTangentsWithTheirLengths) {
  // Keys at 0, 1600 and 4800 ticks. Middle key: in tangent 0.01 with length
  // -1 (a third), out tangent 0.02 with length 0.5; on x only the in length
  // is unset: per axis, only that axis takes the third.
  SceneBuilder b;
  auto& n = b.Node("N");
  auto scene = b.Build();
  Keyframe<Point3> k0, k1, k2;
  k1.time = 1600, k2.time = 4800;
  k1.inTangent = {0.01f, 0.03f, 0}, k1.outTangent = {0.02f, 0, 0};
  k1.inLength = {-1, 0.5f, 0.5f}, k1.outLength = {0.5f, 0.5f, 0.5f};
  n.node().PRS()->position = PositionController::WithKeys(Interpolation::kBezier, {k0, k1, k2});
  const reader::ChunkFile file = Run(*scene, {{&n.node(), {2, 1}}});
  const reader::KeyBlock& keys = *KeysIn(file.chunks.at(0)).at(0);
  EXPECT_EQ(keys.blockType, 35u);
  const float third = std::bit_cast<float>(0x3EAAAAABu);
  EXPECT_EQ(Floats(keys.Get(1, "inHandleX")), (std::vector<float>{-third, 1600 * 0.01f * third}));
  EXPECT_EQ(Floats(keys.Get(1, "inHandleY")), (std::vector<float>{-0.5f, 1600 * 0.03f * 0.5f}));
  EXPECT_EQ(Floats(keys.Get(1, "outHandleX")), (std::vector<float>{0.5f, 3200 * 0.02f * 0.5f}));
  EXPECT_EQ(Floats(keys.Get(0, "inHandleX")), (std::vector<float>{0, 0}));   // no key before
  EXPECT_EQ(Floats(keys.Get(2, "outHandleZ")), (std::vector<float>{0, 0}));  // no key after
  EXPECT_EQ(Floats(keys.Get(1, "time")), std::vector<float>{10.0f / 30});
}

TEST_F(TrackExportTest, outOfRangeCodesAndTheirWarnings) {
  SceneBuilder b;
  auto& n = b.Node("N");
  auto scene = b.Build();
  struct Case {
    int before, after;
    int32_t codeBefore, codeAfter;
    std::vector<std::string> warnings;
  };
  const std::string tail = " not supported. Used by node: N";
  const Case cases[] = {
      {ORT_LOOP, ORT_LINEAR, 2, 0, {"animation track behavior (linear)" + tail}},
      {ORT_CONSTANT, ORT_CYCLE, 0, 1, {}},
      {ORT_OSCILLATE, ORT_IDENTITY, 3, 0, {"animation track behavior (identity)" + tail}},
      {ORT_RELATIVE_REPEAT, ORT_LOOP, 0, 2, {"animation track behavior (relative repeat)" + tail}},
  };
  Keyframe<float> f0, f1;
  f1.time = 160;
  for (const Case& c : cases) {
    log_.Clear();
    n.node().PRS()->roll =
        FloatController::WithKeys(Interpolation::kLinear, {f0, f1}, c.before, c.after);
    const reader::ChunkFile file = Run(*scene, {{&n.node(), {4, 4}}});
    const reader::KeyBlock& keys = *KeysIn(file.chunks.at(0)).at(0);
    EXPECT_EQ(std::pair(keys.before, keys.after), std::pair(c.codeBefore, c.codeAfter));
    EXPECT_EQ(log_.Warnings(), c.warnings);
  }
}

TEST_F(TrackExportTest, partsWithoutKeysOrWithoutControllersWriteOneKeyOfTheirValue) {
  SceneBuilder b;
  auto& still = b.Node("Still").Position({1, 2, 3}).Scale({2, 2, 2});
  auto& partial = b.Node("Partial").Position({1, 0, 0}).WithoutRotation().WithoutScale();
  auto& bare = b.Node("Bare").WithoutTransform().Parent(still);
  auto scene = b.Build();
  const reader::ChunkFile file =
      Run(*scene, {{&still.node(), {0, 0}}, {&partial.node(), {0, 0}}, {&bare.node(), {0, 0}}});
  struct Expected {
    std::vector<float> position, rotation, scale;
  };
  const Expected expected[] = {
      {{0, 1, 3, 2}, {0, 0, 0, 1, 0}, {0, 2, 2, 2, 0, 0, 1, 0}},
      {{0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 1, 1, 1, 0, 0, 1, 0}},
      {{0, 0, 0, 0}, {0, 0, 0, 1, 0}, {0, 1, 1, 1, 0, 0, 1, 0}},  // sits on its parent
  };
  for (size_t i = 0; i < std::size(expected); ++i) {
    const auto keys = KeysIn(file.chunks.at(i));
    ASSERT_EQ(keys.size(), 3u) << i;
    for (auto* block : keys) {
      EXPECT_EQ(std::pair(block->before, block->after), std::pair(0, 0));
      EXPECT_EQ(block->keys.size(), 1u);
    }
    EXPECT_EQ(keys[0]->blockType, 43u);
    EXPECT_EQ(keys[0]->keys[0], expected[i].position) << i;
    EXPECT_EQ(keys[1]->blockType, 44u);
    EXPECT_EQ(keys[1]->keys[0], expected[i].rotation) << i;
    EXPECT_EQ(keys[2]->blockType, 45u);
    EXPECT_EQ(keys[2]->keys[0], expected[i].scale) << i;
  }
  EXPECT_TRUE(results_[1] && results_[2]);
}

TEST_F(TrackExportTest, xyzAndEulerControllersWriteThreeFloatTracksXZY) {
  SceneBuilder b;
  auto& n = b.Node("N");
  auto scene = b.Build();
  auto xyz = std::make_unique<PositionXYZController>();
  xyz->x = std::make_unique<FloatController>(1.0f);
  xyz->y = std::make_unique<FloatController>(2.0f);
  xyz->z = std::make_unique<FloatController>(3.0f);
  n.node().PRS()->position = std::move(xyz);
  auto euler = std::make_unique<EulerXYZController>();
  euler->x = std::make_unique<FloatController>(0.1f);
  euler->y = std::make_unique<FloatController>(0.2f);
  euler->z = std::make_unique<FloatController>(0.3f);
  n.node().PRS()->rotation = std::move(euler);
  const reader::ChunkFile file = Run(*scene, {{&n.node(), {0, 0}}});
  const reader::Chunk& transform = file.chunks.at(0).children.at(0);
  EXPECT_EQ(IdsOf(transform.children), (Ids{{8, 31}, {9, 32}, {10, 0}}));
  std::vector<float> values;
  for (auto* keys : KeysIn(transform)) values.push_back(keys->keys[0].back());
  ASSERT_EQ(values.size(), 7u);  // six float tracks and the scale's axis angle-axis
  EXPECT_EQ(std::vector<float>(values.begin(), values.begin() + 3), (std::vector<float>{1, 3, 2}));
  EXPECT_NEAR(values[3], 0.1f, 1e-6f);  // x, z, y of the Euler angles
  EXPECT_NEAR(values[4], 0.3f, 1e-6f);
  EXPECT_NEAR(values[5], 0.2f, 1e-6f);
}

TEST_F(TrackExportTest, sampledTransformsInlineAndStreamed) {
  // 30 frames at 30 fps: samples every fifth frame, 6 of them.
  SceneBuilder b;
  b.AnimRange(0, 30 * 160);
  auto& spin = b.Node("Spin").Position({1, 2, 3});
  auto& still = b.Node("Still").Position({4, 5, 6});
  auto& slide = b.Node("Slide");
  auto scene = b.Build();
  spin.node().PRS()->rotation = RotationController::WithKeys(
      Interpolation::kLinear, {Turn(0, 0), Turn(4800, kPi * 2 / 3, {0, 0, 1})});
  Keyframe<Point3> a, z;
  z.time = 4800, z.value = {30, 0, 0};
  slide.node().PRS()->position = PositionController::WithKeys(Interpolation::kLinear, {a, z});
  const std::vector<std::pair<INode*, TrackRequest>> requests = {
      {&spin.node(), {8, 0}}, {&still.node(), {8, 0}}, {&slide.node(), {8, 0}}};

  for (bool streamed : {false, true}) {
    SCOPED_TRACE(streamed ? "streamed" : "inline");
    const reader::ChunkFile file = Run(*scene, requests, streamed);
    auto sampled = [&](size_t i) {
      return file.chunks.at(i).children.at(0).As<reader::SampledTransform>();
    };
    const auto* s = sampled(0);
    ASSERT_EQ(s->count, 6u);
    EXPECT_EQ(s->streamed, streamed);
    EXPECT_EQ(s->times,
              (std::vector<float>{0, 5.0f / 30, 10.0f / 30, 15.0f / 30, 20.0f / 30, 25.0f / 30}));
    // Sample 3 (frame 15) has turned half way to 120 degrees about z: the x
    // axis points to (cos 60, sin 60, 0), host y being output z; the
    // translation stays (1, 3, 2).
    const reader::Matrix3x4& m = s->matrices.at(3);
    EXPECT_NEAR(m[0], 0.5f, 1e-6f);
    EXPECT_NEAR(m[8], std::sqrt(0.75f), 1e-6f);
    EXPECT_EQ((std::vector<float>{m[3], m[7], m[11]}), (std::vector<float>{1, 3, 2}));
    // Nothing moves: one sample at time 0, in the main file either way.
    EXPECT_EQ(sampled(1)->count, 1u);
    EXPECT_FALSE(sampled(1)->streamed);
    EXPECT_EQ(sampled(1)->times, std::vector<float>{0});
    EXPECT_EQ(sampled(1)->matrices.at(0)[7], 6.0f);
    // The second streamed track follows the first in the stream.
    EXPECT_EQ(sampled(2)->streamOffset, streamed ? 6u * 52 : 0u);
    EXPECT_NEAR(sampled(2)->matrices.at(5)[3], 25, 1e-4f);
    EXPECT_TRUE(file.notes.empty() || !streamed) << file.notes.front();
  }
  // A range shorter than five frames still gives one sample: its start.
  scene->animRange = {160, 160 * 4};
  const reader::ChunkFile shortRange = Run(*scene, {{&slide.node(), {8, 0}}});
  const auto* one = shortRange.chunks.at(0).children.at(0).As<reader::SampledTransform>();
  EXPECT_EQ(one->count, 1u);
  EXPECT_EQ(one->times, std::vector<float>{1.0f / 30});
  EXPECT_NEAR(one->matrices.at(0)[3], 1, 1e-5f);
  EXPECT_THROW(StreamOffset(0x80000000u), CLB_DiskIOException);
  EXPECT_EQ(StreamOffset(0x7FFFFFFFu), INT32_MAX);
}

TEST_F(TrackExportTest, linkListsIKChainsAndLookAtConstraints) {
  SceneBuilder b;
  auto& hand = b.Node("Hand").Position({0, 0, 1});
  auto& prop = b.Node("Prop");
  auto link = std::make_unique<LinkConstraint>();
  link->SetParts({});
  link->links = {{nullptr, 0}, {&hand.node(), 480}};
  prop.node().SetTransform(std::move(link));
  auto& start = b.Node("Start");
  b.Node("Other").Parent(start);
  auto& middle = b.Node("Middle").Parent(start).Position({0, 0, -3});
  auto& end = b.Node("End").Parent(middle).Position({0, 4, 0});
  auto& goal = b.Node("Goal");
  auto chain = std::make_unique<IKChainController>();
  chain->SetParts({Point3(0, 4, -3), {}, {}});
  chain->startJoint = &start.node();
  chain->endJoint = &end.node();
  auto* chainPtr = chain.get();
  goal.node().SetTransform(std::move(chain));
  auto ik = std::make_unique<IKController>();
  ik->SetParts({});
  start.node().SetTransform(std::move(ik));
  auto& loose = b.Node("Loose");
  auto looseIk = std::make_unique<IKController>();
  looseIk->SetParts({});
  loose.node().SetTransform(std::move(looseIk));
  auto& head = b.Node("Head");
  auto lookAt = std::make_unique<LookAtConstraint>();
  lookAt->targets = {{&hand.node(), 25}, {nullptr, 50}, {&prop.node(), 75}};
  lookAt->targetAxis = 2, lookAt->upnodeAxis = 1, lookAt->sourceAxis = 0;
  lookAt->upnodeAxisFlip = true, lookAt->upnodeControl = 1;
  auto* lookAtPtr = lookAt.get();
  head.node().PRS()->rotation = std::move(lookAt);
  auto scene = b.Build();

  reader::ChunkFile file = Run(*scene, {{&prop.node(), {0, 0}},
                                        {&start.node(), {0, 0}},
                                        {&loose.node(), {0, 0}},
                                        {&goal.node(), {7, 17}},
                                        {&head.node(), {3, 2}}});
  const reader::Chunk& linked = file.chunks.at(0).children.at(0);
  ASSERT_EQ(linked.id, (reader::ChunkId{7, 29, 1}));
  const auto& links = linked.As<reader::TrackContainer>()->links;
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0].parent, "__world_root__");
  EXPECT_EQ(std::pair(links[1].parent, links[1].time), std::pair(std::string("Hand"), 0.1f));
  EXPECT_EQ(IdsOf(linked.children), (Ids{{8, 26}, {9, 27}, {10, 0}}));
  EXPECT_EQ(file.chunks.at(1).children.at(0).As<reader::IKControlled>()->chain, "Goal");
  EXPECT_EQ(file.chunks.at(2).children.at(0).As<reader::IKControlled>()->chain, "no chain found");
  const auto* chainBody = file.chunks.at(3).children.at(0).As<reader::IKChain>();
  ASSERT_NE(chainBody, nullptr);
  EXPECT_EQ(chainBody->middle.name, "Middle");  // not child 0 when End lies below another
  EXPECT_EQ(chainBody->end.handle, static_cast<int32_t>(end.node().GetHandle()));
  EXPECT_EQ(std::pair(chainBody->upperLength, chainBody->lowerLength), std::pair(3.0f, 4.0f));
  const auto* look = file.chunks.at(4).children.at(0).As<reader::LookAt>();
  ASSERT_NE(look, nullptr);
  ASSERT_EQ(look->targets.size(), 2u);
  EXPECT_EQ(look->targets[1].name, "Prop");
  EXPECT_EQ(look->targets[1].weight, 75.0f);
  EXPECT_EQ((std::vector<int32_t>{look->upnodeAxisFlip, look->upnodeWorld, look->targetAxis,
                                  look->upnodeAxis, look->sourceAxis, look->upnodeControl}),
            (std::vector<int32_t>{1, 1, 1, 2, 0, 1}));
  EXPECT_TRUE(log_.Errors().empty());

  // Another solver, a chain with no end, a look-at without targets.
  chainPtr->solver = std::make_unique<IKSolverObject>(Class_ID(0x5A4A2F35, 0x2B6C1E14), "IKLimb");
  lookAtPtr->targets = {{nullptr, 50}};
  file = Run(*scene, {{&goal.node(), {7, 17}}, {&head.node(), {3, 2}}});
  chainPtr->solver = std::make_unique<IKSolverObject>();
  chainPtr->endJoint = nullptr;
  file.chunks.push_back(Run(*scene, {{&goal.node(), {7, 17}}}).chunks.at(0));
  EXPECT_EQ(IdsOf(file.chunks.at(0).children), (Ids{{22, 0}}));
  EXPECT_EQ(IdsOf(file.chunks.at(2).children), (Ids{{22, 0}}));
  EXPECT_EQ(log_.Errors(), (std::vector<std::string>{"node Goal uses an unsupported ik solver",
                                                     "node Goal has an incomplete ik chain"}));
  EXPECT_EQ(IdsOf(file.chunks.at(1).children), (Ids{{9, 27}}));
  EXPECT_EQ(KeysIn(file.chunks.at(1)).at(0)->blockType, 44u);
  EXPECT_EQ(
      log_.Warnings(),
      std::vector<std::string>{
          "Look at Constraint Controller used without any valid targets. Used by node: Head"});
}

TEST_F(TrackExportTest, collapsedTransformsWriteOnlyFiniteNumbers) {
  SceneBuilder b;
  auto& flat = b.Node("Flat");
  auto& child = b.Node("Child").Parent(flat).Position({1, 1, 1});
  auto scene = b.Build();
  Keyframe<ScaleWithAxis> s0, s1;
  s1.time = 1600, s1.value = {{0, 0, 0}, Quat()};
  flat.node().PRS()->scale = ScaleController::WithKeys(Interpolation::kLinear, {s0, s1});
  scene->animRange = {1600, 3200};
  const reader::ChunkFile file =
      Run(*scene, {{&flat.node(), {0, 0}}, {&flat.node(), {8, 0}}, {&child.node(), {8, 0}}});
  size_t checked = 0;
  for (const reader::Chunk& track : file.chunks) {
    for (auto* keys : KeysIn(track)) {
      for (float f : keys->keys.at(0)) {
        EXPECT_TRUE(std::isfinite(f));
        ++checked;
      }
    }
    for (const reader::Chunk& body : track.children) {
      if (auto* sampled = body.As<reader::SampledTransform>()) {
        for (const auto& m : sampled->matrices) {
          for (float f : m) {
            EXPECT_TRUE(std::isfinite(f));
            ++checked;
          }
        }
      }
    }
  }
  EXPECT_GT(checked, 40u);
}

}  // namespace
}  // namespace kiln::testing
