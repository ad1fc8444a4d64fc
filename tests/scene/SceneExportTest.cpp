// Whole scene exports through the export entry, read back with the reader.
#include <gtest/gtest.h>

#include "host/Plugin.h"
#include "plugin/Globals.h"
#include "reader/SceneChunks.h"
#include "standalone/Primitives.h"
#include "standalone/SceneBuilder.h"
#include "support/ExportHarness.h"

namespace kiln {
namespace {

using standalone::MakeBox;
using standalone::SceneBuilder;
using testing::ExportHarness;
using testing::TopLevelIds;

const reader::PlainNode* Plain(const reader::Chunk& chunk) {
  return chunk.As<reader::PlainNode>();
}

TEST(SceneExport, writesBannerHeadChunksAndOneChunkPerNode) {
  SceneBuilder b;
  auto& box = b.Node("Box")
                  .Position({10, 20, 30})
                  .Mesh(MakeBox())
                  .UserProps("mass = 12\nname=Car 1\n\ttab=1\n my\tkey=2");
  b.Node("Helper").Parent(box).Object("dummy").Position({1, 2, 3});
  b.Node("NoScale").WithoutScale();
  b.Node("NoRotation").WithoutRotation();
  auto scene = b.Build();

  ExportHarness harness;
  ASSERT_EQ(harness.Export(*scene, "scene.zqs", true), 1);
  reader::ChunkFile file = harness.Read("scene.zqs");

  EXPECT_EQ(file.banner, "Pangolin scene marker!");
  ASSERT_FALSE(file.chunks.empty());
  EXPECT_EQ(file.chunks[0].offset, 23u);
  using Ids = std::vector<std::pair<uint32_t, uint32_t>>;
  EXPECT_EQ(TopLevelIds(file),
            (Ids{{5, 18}, {14, 0}, {18, 0}, {20, 0}, {0, 1}, {3, 13}, {22, 0}, {22, 0}}));

  const auto* props = file.chunks[1].As<reader::UserProperties>();
  ASSERT_NE(props, nullptr);
  ASSERT_EQ(props->records.size(), 1u);
  EXPECT_EQ(props->records[0].handle, static_cast<int32_t>(scene->FindNode("Box")->GetHandle()));
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  // A tab belongs to the key; only spaces are blanks.
  EXPECT_EQ(props->records[0].pairs,
            (Pairs{{"mass", " 12"}, {"name", "Car 1"}, {"\ttab", "1"}, {"my\tkey", "2"}}));

  const reader::Chunk& hierarchy = file.chunks[2];
  ASSERT_EQ(hierarchy.As<reader::Hierarchy>()->count, 4u);
  ASSERT_EQ(hierarchy.children.size(), 4u);
  std::vector<uint32_t> subtypes;
  for (const auto& entry : hierarchy.children) subtypes.push_back(entry.id.subtype);
  EXPECT_EQ(subtypes, (std::vector<uint32_t>{47, 47, 49, 48}));
  const auto* boxEntry = hierarchy.children[0].As<reader::HierarchyEntry>();
  EXPECT_EQ(boxEntry->node.name, "Box");
  EXPECT_EQ(boxEntry->node.parent, -1);
  EXPECT_EQ(boxEntry->nodeType, 0);
  // Translation (10, 20, 30) goes out as the last entries of the rows: 10, 30, 20.
  EXPECT_EQ(boxEntry->transform[3], 10.0f);
  EXPECT_EQ(boxEntry->transform[7], 30.0f);
  EXPECT_EQ(boxEntry->transform[11], 20.0f);
  const auto* helperEntry = hierarchy.children[1].As<reader::HierarchyEntry>();
  EXPECT_EQ(helperEntry->node.parent, boxEntry->node.handle);
  EXPECT_EQ(helperEntry->nodeType, 3);

  // The dummy under the box carries its transform relative to the box.
  const auto* dummy = Plain(file.chunks[5]);
  ASSERT_NE(dummy, nullptr);
  EXPECT_EQ(dummy->node.name, "Helper");
  EXPECT_EQ(dummy->transform[3], 1.0f);
  EXPECT_EQ(dummy->transform[7], 3.0f);
  EXPECT_EQ(dummy->transform[11], 2.0f);
  EXPECT_EQ(file.trailingBytes, 0u);
  EXPECT_FALSE(harness.Exists("scene_errors.log"));
}

TEST(SceneExport, animationRangeIsStartAsExactTimeAndLengthInWholeFrames) {
  SceneBuilder b;
  b.FrameRate(30).AnimRange(80, 80 + 10 * 160 + 100);  // start half a frame in
  b.Node("A");
  auto scene = b.Build();
  ExportHarness harness;
  harness.Export(*scene, "range.zqs", true);
  reader::ChunkFile file = harness.Read("range.zqs");
  auto ranges = reader::FindChunks(file, 20);
  ASSERT_EQ(ranges.size(), 1u);
  const auto* range = ranges[0]->As<reader::AnimationRange>();
  EXPECT_FLOAT_EQ(range->start, 0.5f / 30.0f);
  EXPECT_FLOAT_EQ(range->length, 10.0f / 30.0f);
}

TEST(SceneExport, hiddenSubtreesAndUnselectedParentsAreLeftOut) {
  SceneBuilder b;
  auto& group = b.Node("Group").Hidden();
  b.Node("InGroup").Parent(group).Selected();
  auto& parent = b.Node("Parent");
  b.Node("SelectedChild").Parent(parent).Selected();
  b.Node("Chosen").Selected();
  auto scene = b.Build();

  ExportHarness harness;
  harness.Export(*scene, "sel.zqs", true, SCENE_EXPORT_SELECTED);
  reader::ChunkFile file = harness.Read("sel.zqs");
  std::vector<std::string> written;
  for (const reader::Chunk* chunk : reader::FindChunks(file, 22))
    written.push_back(Plain(*chunk)->node.name);
  EXPECT_EQ(written, (std::vector<std::string>{"Chosen"}));
  // The hierarchy ignores the selection but not hidden nodes.
  EXPECT_EQ(reader::FindChunks(file, 19).size(), 3u);
  std::string warnings = harness.ReadText("sel_warnings.log");
  EXPECT_EQ(warnings,
            "*** Warnings exporting\n\n"
            "Hidden node (and children) not exported: Group\n"
            "Hidden node (and children) not exported: Group\n");
}

TEST(SceneExport, collidingNamesAreRenamedInTheSceneAndLogged) {
  SceneBuilder b;
  b.Node("Box");
  b.Node("Box");
  b.Node("A");
  b.Node("A");
  b.Node("A_4");  // the number the second A would get belongs to this node
  // A name at the 255-character limit gives up its end; the line names the
  // name it is given.
  const std::string longName(255, 'L'), given = longName.substr(0, 253) + "_7";
  b.Node(longName);
  b.Node(longName);
  auto scene = b.Build();
  ExportHarness harness;
  harness.Export(*scene, "names.zqs", true);

  std::vector<std::string> names;
  for (auto* node : scene->NodesDepthFirst()) names.push_back(node->GetName());
  EXPECT_EQ(names, (std::vector<std::string>{"Box", "Box_2", "A", "A_5", "A_4", longName, given}));
  EXPECT_EQ(harness.ReadText("names_errors.log"),
            "*** Errors exporting\n\n"
            "Change colliding name: Box to Box_2\n"
            "Change colliding name: A to A_5\n"
            "Change colliding name: " +
                longName + " to " + given + "\n");
}

}  // namespace
}  // namespace kiln

namespace kiln {
namespace {

TEST(SceneExport, aNodeMovedBetweenExportsIsWrittenWhereItIsNow) {
  standalone::SceneBuilder b;
  auto& parent = b.Node("Parent").Position({1, 0, 0});
  b.Node("Child").Parent(parent).Object("dummy").Position({0, 2, 0});
  auto scene = b.Build();
  testing::ExportHarness harness;
  harness.Export(*scene, "first.zqs", true);
  parent.Position({5, 0, 0});
  harness.Export(*scene, "second.zqs", true);

  // The hierarchy holds the parent's local transform; translation x is entry 3.
  for (auto [file, x] : {std::pair{"first.zqs", 1.0f}, std::pair{"second.zqs", 5.0f}}) {
    reader::ChunkFile chunks = harness.Read(file);
    auto entries = reader::FindChunks(chunks, 19);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0]->As<reader::HierarchyEntry>()->transform[3], x) << file;
  }
}

}  // namespace
}  // namespace kiln
