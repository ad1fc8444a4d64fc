// Animation export speed.
//
// BM_SampledSkeleton: an animation export of a skeleton of 1,000 bones in
// chains ten levels deep, every bone under an IK controller whose forward
// motion has 100 keys on each of position (TCB), rotation (Bezier) and scale
// (linear), over a 6,000-frame range: every bone is sampled into the stream.
// "fast" is the export through the export entry with the host's transforms
// held still (whole-frame cache) and the change test stopping at the first
// frame where all three parts moved; "plain" samples the same bones with the
// change test over every frame and no transform cache.
//
// BM_KeyBlocks: 1,000 nodes with 1,000 position keys each (TCB, Bezier and
// linear in turn) written as key blocks; items are keys.
//
//   build/release/bin/animation_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "animation/KilnAnimationExporter.h"
#include "animation/TimeConversion.h"
#include "animation/TrackValues.h"
#include "geometry/AxisExchange.h"
#include "geometry/TransformWriter.h"
#include "io/CZX9_DiskWriter.h"
#include "platform/Dialogs.h"
#include "platform/Messages.h"
#include "plugin/KilnExporter.h"
#include "standalone/IKControllers.h"
#include "standalone/SceneBuilder.h"
#include "standalone/SceneInterface.h"

namespace {

namespace fs = std::filesystem;
using namespace kiln::standalone;

constexpr int kChains = 100, kDepth = 10, kFrames = 6000, kTicksPerFrame = 160;

fs::path Folder() {
  fs::path folder = fs::temp_directory_path() / "kiln-animation-bench";
  fs::create_directories(folder);
  return folder;
}

template <typename T>
std::vector<Keyframe<T>> Keys(int count, TimeValue span, auto value) {
  std::vector<Keyframe<T>> keys(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    keys[static_cast<size_t>(i)].time = span * i / (count - 1);
    keys[static_cast<size_t>(i)].value = value(i);
  }
  return keys;
}

std::unique_ptr<Scene> Skeleton() {
  SceneBuilder b;
  b.AnimRange(0, kFrames * kTicksPerFrame);
  const TimeValue span = kFrames * kTicksPerFrame;
  for (int c = 0; c < kChains; ++c) {
    SceneNode* parent = nullptr;
    for (int d = 0; d < kDepth; ++d) {
      auto& bone = b.Node("Bone" + std::to_string(c) + "_" + std::to_string(d)).Object("bone");
      if (parent) bone.Parent(*parent);
      auto ik = std::make_unique<IKController>();
      const float phase = static_cast<float>(c * kDepth + d);
      ik->position = PositionController::WithKeys(
          Interpolation::kTCB, Keys<Point3>(100, span, [&](int i) {
            return Point3(1 + 0.1f * std::sin(i + phase), 0.05f * i, 0);
          }));
      ik->rotation = RotationController::WithKeys(
          Interpolation::kBezier, Keys<Quat>(100, span, [&](int i) {
            return AngAxis(Point3(0.3f, 1, 0.2f), (i == 0 ? phase : 0.1f) * 0.05f + 0.02f);
          }));
      ik->scale = ScaleController::WithKeys(
          Interpolation::kLinear, Keys<ScaleWithAxis>(100, span, [&](int i) {
            return ScaleWithAxis{{1 + 0.01f * (i % 7), 1, 1 + 0.01f * (i % 3)}, Quat()};
          }));
      bone.node().SetTransform(std::move(ik));
      parent = &bone.node();
    }
  }
  return b.Build();
}

void AnswerEverything() {
  kiln::platform::SetMessageHandler(
      [](const kiln::platform::MessageRequest&) { return kiln::platform::IDOK; });
  kiln::platform::SetDialogHandler(
      [](const kiln::platform::DialogTemplate&, kiln::platform::DialogState&) {
        return kiln::platform::IDOK;
      });
}

// The plain method: the change test over every frame of the range, samples
// computed without the whole-frame cache, written in the same layout.
void PlainSampled(kiln::CZX9_DiskWriter& writer, kiln::CZX9_DiskWriter& stream, Interface* ip,
                  INode* node) {
  const Interval range = ip->GetAnimRange();
  const kiln::TrackParts first =
      kiln::DecomposeForTracks(kiln::SampledLocalTransform(node, range.Start()));
  bool moved = false;
  for (TimeValue t = range.Start(); t <= range.End(); t += kTicksPerFrame) {
    const kiln::TrackParts parts = kiln::DecomposeForTracks(kiln::SampledLocalTransform(node, t));
    moved = moved || !(Length(parts.t - first.t) <= 0.001f) || !(parts.q == first.q) ||
            !(Length(parts.k - first.k) <= 0.001f);
  }
  const int count = (range.End() - range.Start()) / (5 * kTicksPerFrame);
  writer.BeginChunk(6, 21, 1);
  writer.WriteString(node->GetName());
  writer.BeginChunk(7, 33, 1);
  writer.WriteInt(count);
  writer.WriteInt(static_cast<int32_t>(stream.Tell()));
  for (int k = 0; k < count; ++k)
    stream.WriteFloat(kiln::WholeFrameTime(range.Start() + 5 * k * kTicksPerFrame, ip));
  for (int k = 0; k < count; ++k) {
    const Matrix3 m = kiln::ExchangeMatrixAxes(
        kiln::SampledLocalTransform(node, range.Start() + 5 * k * kTicksPerFrame));
    if (k == 0) kiln::WriteTransformScaled(&writer, m, kiln::kExportScale);
    for (int r = 0; r < 4; ++r) kiln::WritePoint(&stream, m.GetRow(r));
  }
  writer.EndChunk();
  writer.EndChunk();
}

void BM_SampledSkeleton(benchmark::State& state) {
  const bool fast = state.range(0) == 1;
  auto scene = Skeleton();
  AnswerEverything();
  const fs::path folder = Folder();
  scene->pluginConfigDir = folder;
  const std::string output = (folder / "skeleton.zqa").string();
  const std::string streamName = (folder / "skeleton.str").string();
  for (auto _ : state) {
    SceneInterface ip(*scene);
    if (fast) {
      TransformsHeldStill held(*scene);
      kiln::KilnExporter exporter;
      if (exporter.DoExport(output.c_str(), nullptr, &ip, 1, 0) != 1)
        state.SkipWithError("export failed");
    } else {
      kiln::CZX9_DiskWriter writer, stream;
      writer.Open(output.c_str());
      stream.Open(streamName.c_str());
      for (SceneNode* node : scene->NodesDepthFirst()) PlainSampled(writer, stream, &ip, node);
      writer.Close();
      stream.Close();
    }
  }
  const auto streamBytes = static_cast<int64_t>(fs::file_size(streamName));
  state.SetBytesProcessed(state.iterations() * streamBytes);
  state.counters["str_MB"] = static_cast<double>(streamBytes) / (1 << 20);
  state.SetLabel(fast ? "fast: cached, early change test" : "plain: every frame, no cache");
}
BENCHMARK(BM_SampledSkeleton)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

void BM_KeyBlocks(benchmark::State& state) {
  SceneBuilder b;
  std::vector<SceneNode*> nodes;
  for (int n = 0; n < 1000; ++n) {
    auto& node = b.Node("Node" + std::to_string(n));
    const Interpolation interpolation = static_cast<Interpolation>(n % 3);
    node.PRS().position = PositionController::WithKeys(
        interpolation, Keys<Point3>(1000, 160 * 1000, [&](int i) { return Point3(i, n, 1); }));
    nodes.push_back(&node.node());
  }
  auto scene = b.Build();
  SceneInterface ip(*scene);
  // The host prepares its curves once; that is not the export's work.
  for (SceneNode* node : nodes) node->GetNodeTM(0);
  const std::string output = (Folder() / "keys.zqa").string();
  for (auto _ : state) {
    kiln::CZX9_DiskWriter writer;
    writer.Open(output.c_str());
    kiln::KilnAnimationExporter exporter(nullptr, &writer, &ip);
    for (SceneNode* node : nodes) exporter.ExportTrack(node, {2, 1});
    writer.Close();
  }
  state.SetItemsProcessed(state.iterations() * 1000 * 1000);
}
BENCHMARK(BM_KeyBlocks)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

}  // namespace

BENCHMARK_MAIN();
