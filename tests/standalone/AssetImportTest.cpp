// Assets made by other tools, imported, exported through the export entry
// and read back; bad assets refused with a clear error.
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <assimp/Importer.hpp>
#include <cmath>
#include <map>
#include <set>

#include "nodes/NodeExportSupport.h"
#include "reader/AnimationChunks.h"
#include "reader/CameraLightChunks.h"
#include "reader/MaterialChunks.h"
#include "reader/MeshChunks.h"
#include "standalone/SceneCompare.h"
#include "standalone/SceneFile.h"
#include "standalone/SceneLoadError.h"
#include "standalone/SceneNode.h"
#include "standalone/import/AssetImport.h"
#include "standalone/import/ConvertCommand.h"
#include "standalone/import/VertexWeld.h"
#include "util/TempFolder.h"

namespace kiln::testing {
namespace {
namespace fs = std::filesystem;
using standalone::ImportedAsset;

const fs::path kReal = fs::path(KILN_TESTDATA_DIR) / "real";

#define SKIP_WITHOUT_REAL_FILES() \
  if (!fs::is_directory(kReal)) GTEST_SKIP() << "no real test files at " << kReal

// Imports an asset with its embedded images written into images.
ImportedAsset Import(const fs::path& file, const TempFolder& images, const std::string& clip = "") {
  standalone::ImportOptions options;
  options.clip = clip;
  options.imageFolder = images.Path();
  options.imagePrefix = "asset_";
  ImportedAsset asset = standalone::ImportAsset(file, options);
  standalone::WriteEmbeddedImages(asset.images);
  return asset;
}

template <typename T>
const T* Payload(const reader::ChunkFile& file, const std::string& name) {
  const reader::Chunk* chunk = NodeChunk(file, name);
  return chunk ? chunk->As<T>() : nullptr;
}

TEST(RealAssets, everyModelImportsAndExportsInEachKindThatFitsIt) {
  SKIP_WITHOUT_REAL_FILES();
  int models = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kReal)) {
    std::string ext = entry.path().extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext != ".glb" && ext != ".gltf" && ext != ".fbx" && ext != ".dae" && ext != ".3ds" &&
        ext != ".obj")
      continue;
    ++models;
    SCOPED_TRACE(entry.path().string());
    TempFolder images;
    ImportedAsset asset = Import(entry.path(), images);
    std::vector<std::string> kinds{"zqs"};
    if (asset.clip >= 0) kinds.push_back("zqa");
    if (entry.path().stem() == "CesiumMilkTruck") kinds.push_back("zqc");
    for (const std::string& kind : kinds) {
      ExportHarness harness;
      EXPECT_NE(harness.Export(*asset.scene, "asset." + kind, true), 0) << kind;
      const reader::ChunkFile file = harness.Read("asset." + kind);
      EXPECT_FALSE(file.chunks.empty()) << kind;
      EXPECT_EQ(file.trailingBytes, 0u) << kind;
    }
  }
  EXPECT_EQ(models, 33);
}

// What matters in each real file, read back from the exported file.
TEST(RealAssets, exportedFilesCarryWhatEachAssetHolds) {
  SKIP_WITHOUT_REAL_FILES();
  TempFolder images;
  ExportHarness harness;
  auto exported = [&](const std::string& file, const std::string& out) {
    ImportedAsset asset = Import(kReal / file, images);
    EXPECT_NE(harness.Export(*asset.scene, out, true), 0) << file;
    return harness.Read(out);
  };

  // The skinned character: 19 bones; a vertex keeps the file's four weights.
  {
    const reader::ChunkFile file = exported("gltf/CesiumMan/CesiumMan.glb", "man.zqs");
    const auto meshes = reader::FindChunks(file, 0, 2);
    ASSERT_EQ(meshes.size(), 1u);
    const auto* mesh = meshes[0]->As<reader::MeshChunk>();
    ASSERT_TRUE(mesh->skin);
    EXPECT_EQ(mesh->skin->bones.size(), 19u);
    const std::map<std::string, float> expected{{"Node_2", 0.11762190f},
                                                {"Node_11", 0.44219789f},
                                                {"Node_12", 0.09064573f},
                                                {"Node_19", 0.03494107f}};
    bool found = false;
    for (size_t v = 0; v < mesh->positions.size(); ++v) {
      const auto& p = mesh->positions[v];
      if (std::fabs(p[0] - 0.0934292f) > 1e-6f || std::fabs(p[1] - 0.973575f) > 1e-6f ||
          std::fabs(p[2] - 0.0487146f) > 1e-6f)
        continue;
      found = true;
      std::map<std::string, float> weights;
      const auto& influence = mesh->skin->influences[v];
      for (int i = 0; i < 4; ++i) {
        if (influence.bones[i] >= 0)
          weights[mesh->skin->bones.at(influence.bones[i] / 64).name] = influence.weights[i];
      }
      ASSERT_EQ(weights.size(), 4u);
      for (const auto& [bone, weight] : expected) EXPECT_NEAR(weights[bone], weight, 1e-6f) << bone;
    }
    EXPECT_TRUE(found);
  }
  // The morph cube: two channels, animated.
  {
    TempFolder morphImages;
    ImportedAsset asset =
        Import(kReal / "gltf/AnimatedMorphCube/AnimatedMorphCube.gltf", morphImages);
    const auto* morpher = dynamic_cast<standalone::MorpherModifier*>(
        &asset.scene->Nodes().at(1)->Stack().ModifierAt(0));
    ASSERT_NE(morpher, nullptr);
    EXPECT_EQ(morpher->SlotAt(0).name, "thin");
    EXPECT_EQ(morpher->SlotAt(1).name, "angle");
    ASSERT_NE(harness.Export(*asset.scene, "morph.zqs", true), 0);
    const reader::ChunkFile file = harness.Read("morph.zqs");
    const auto meshes = reader::FindChunks(file, 0, 3);
    ASSERT_EQ(meshes.size(), 1u);
    const auto& morph = meshes[0]->As<reader::MeshChunk>()->morph;
    ASSERT_TRUE(morph);
    ASSERT_EQ(morph->channels.size(), 2u);
    EXPECT_TRUE(morph->channels[0].animated && morph->channels[1].animated);
  }
  // Cameras: the horizontal field of view from glTF's vertical one and its
  // aspect ratio, 2 atan(tan(0.50338 / 2) 1.77778) = 0.857556.
  {
    const reader::ChunkFile file = exported("gltf/MultiUVTest/MultiUVTest.glb", "uv.zqs");
    const auto cameras = reader::FindChunks(file, 2, 12);
    ASSERT_EQ(cameras.size(), 1u);
    EXPECT_NEAR(cameras[0]->As<reader::CameraNode>()->fov, 0.857556f, 1e-5f);
    // The first texture coordinate set, not the second (whose values are 0
    // and 0.25 only); the vertical flip on import and on export cancel.
    const auto meshes = reader::FindChunks(file, 0, 1);
    ASSERT_EQ(meshes.size(), 1u);
    bool firstSet = false;
    for (const auto& uv : meshes[0]->As<reader::MeshChunk>()->uvs)
      firstSet = firstSet ||
                 (std::fabs(uv[0] - 0.7499566f) < 1e-6f && std::fabs(uv[1] - 0.7499568f) < 1e-6f);
    EXPECT_TRUE(firstSet);
  }
  // The spot light: the file's half angles 0.145268 and 0.199840 as full
  // cones in degrees.
  {
    const reader::ChunkFile file = exported("gltf/gdx-gltf/spotLightTest.gltf", "spot.zqs");
    const auto lights = reader::FindChunks(file, 1);
    ASSERT_EQ(lights.size(), 1u);
    const auto& cone = lights[0]->As<reader::LightNode>()->cone;
    ASSERT_TRUE(cone);
    EXPECT_NEAR((*cone)[0], 16.6465f, 1e-3f);
    EXPECT_NEAR((*cone)[1], 22.9001f, 1e-3f);
  }
  // The truck: its four materials, and its embedded image copied.
  {
    const reader::ChunkFile file =
        exported("gltf/CesiumMilkTruck/CesiumMilkTruck.glb", "truck.zqs");
    std::set<std::string> names;
    std::string bitmap;
    for (const reader::Chunk* chunk : reader::FindChunks(file, 5, 18)) {
      const auto* material = chunk->As<reader::StandardMaterial>();
      names.insert(material->name);
      if (!material->bitmaps.empty()) bitmap = material->bitmaps[0].file;
    }
    // The truck's three primitives make one mesh with a multi/sub-object
    // material named after its (unnamed) node.
    EXPECT_EQ(names, (std::set<std::string>{"Default Material", "Node_0::glass", "Node_0::truck",
                                            "Node_0::window_trim", "wheels"}));
    EXPECT_EQ(bitmap, "asset_image0.png");
    EXPECT_TRUE(harness.Exists("textures/asset_image0.png"));
  }
  // OBJ maps named ".\wal67ar_small.jpg" in the MTL file resolve and are copied.
  {
    const reader::ChunkFile file = exported("obj/spider.obj", "spider.zqs");
    std::set<std::string> bitmaps;
    for (const reader::Chunk* chunk : reader::FindChunks(file, 5, 18)) {
      for (const auto& bitmap : chunk->As<reader::StandardMaterial>()->bitmaps)
        bitmaps.insert(bitmap.file);
    }
    EXPECT_TRUE(bitmaps.count("wal67ar_small.jpg"));
    EXPECT_TRUE(harness.Exists("textures/wal67ar_small.jpg"));
  }
}

// The animated box: the moving parent's four position keys and the turning
// child's two rotation keys at the file's times.
TEST(RealAssets, animatedBoxKeepsItsKeyCountsAndTimes) {
  SKIP_WITHOUT_REAL_FILES();
  TempFolder images;
  ImportedAsset asset = Import(kReal / "gltf/BoxAnimated/BoxAnimated.glb", images);
  EXPECT_EQ(asset.scene->animRange.Start(), 0);
  EXPECT_EQ(asset.scene->animRange.End(), 17800);  // 3.708333 s
  ExportHarness harness;
  ASSERT_NE(harness.Export(*asset.scene, "box.zqa", true), 0);
  const reader::ChunkFile file = harness.Read("box.zqa");
  std::map<std::string, std::vector<float>> times;
  for (const reader::Chunk* chunk : reader::FindChunks(file, 13)) {
    const auto* keys = chunk->As<reader::KeyBlock>();
    if (keys->keys.size() < 2) continue;
    for (size_t k = 0; k < keys->keys.size(); ++k)
      times[std::to_string(keys->blockType)].push_back(keys->Get(k, "time")[0]);
  }
  // Whole-frame times at 30 frames a second: 1.25 s is frame 37.5.
  EXPECT_EQ(times["43"], (std::vector<float>{0, 37 / 30.0f, 2.5f, 111 / 30.0f}));
  EXPECT_EQ(times["44"], (std::vector<float>{37 / 30.0f, 2.5f}));

  // A cubic-spline rotation over 2 s is sampled at every frame.
  asset = Import(kReal / "gltf/blender-io/01_cs_rotate/01_cs_rotate.gltf", images);
  ASSERT_NE(harness.Export(*asset.scene, "spline.zqa", true), 0);
  const reader::ChunkFile spline = harness.Read("spline.zqa");
  size_t sampled = 0;
  for (const reader::Chunk* chunk : reader::FindChunks(spline, 13, 44)) {
    const auto* keys = chunk->As<reader::KeyBlock>();
    if (keys->keys.size() < 2) continue;
    sampled = keys->keys.size();
    EXPECT_FLOAT_EQ(keys->Get(1, "time")[0], 1 / 30.0f);
  }
  EXPECT_EQ(sampled, 61u);
}

// A y-up triangle lying flat (its normal +y) faces +z in the host, and keeps
// its size.
const std::string kFlatTriangle =
    R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],"nodes":[{"name":"Tri","mesh":0}],)"
    R"("meshes":[{"primitives":[{"attributes":{"POSITION":0,"NORMAL":2},"indices":1}]}],)"
    R"("accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3"},)"
    R"({"bufferView":1,"componentType":5123,"count":3,"type":"SCALAR"},)"
    R"({"bufferView":2,"componentType":5126,"count":3,"type":"VEC3"}],)"
    R"("bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":36},{"buffer":0,"byteOffset":72,"byteLength":6},)"
    R"({"buffer":0,"byteOffset":36,"byteLength":36}],"buffers":[{"byteLength":80,"uri":"data:application/)"
    R"(octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAAAAAAIC/AAAAAAAAgD8AAAAAAAAAAAAAgD8AAAAA)"
    R"(AAAAAAAAgD8AAAAAAAABAAIAAAA="}]})";

// glTF meshes are welded by the import rather than by the library's join: on
// every real glTF asset both keep as many vertices, at the same places.
TEST(RealAssets, gltfWeldKeepsWhatTheLibrarysJoinKeeps) {
  SKIP_WITHOUT_REAL_FILES();
  constexpr unsigned kSteps = aiProcess_Triangulate | aiProcess_ValidateDataStructure;
  size_t welded = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kReal / "gltf")) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".gltf" && ext != ".glb") continue;
    SCOPED_TRACE(entry.path().string());
    Assimp::Importer joined, ours;
    const aiScene* a =
        joined.ReadFile(entry.path().string(), kSteps | aiProcess_JoinIdenticalVertices);
    const aiScene* b = ours.ReadFile(entry.path().string(), kSteps);
    if (!a || !b) continue;
    ASSERT_EQ(a->mNumMeshes, b->mNumMeshes);
    for (unsigned m = 0; m < a->mNumMeshes; ++m) {
      aiMesh& mesh = *b->mMeshes[m];
      const unsigned before = mesh.mNumVertices;
      standalone::WeldIdenticalVertices(mesh);
      welded += before - mesh.mNumVertices;
      ASSERT_EQ(a->mMeshes[m]->mNumVertices, mesh.mNumVertices) << "mesh " << m;
      // Where normals differ by about the tolerance, which vertex a corner
      // is welded to may differ; its place and normal may not.
      const aiMesh& join = *a->mMeshes[m];
      for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        ASSERT_EQ(join.mFaces[f].mNumIndices, mesh.mFaces[f].mNumIndices);
        for (unsigned c = 0; c < mesh.mFaces[f].mNumIndices; ++c) {
          const unsigned x = join.mFaces[f].mIndices[c], y = mesh.mFaces[f].mIndices[c];
          ASSERT_EQ(join.mVertices[x], mesh.mVertices[y]) << "mesh " << m << " face " << f;
          if (mesh.mNormals) {
            ASSERT_LT((join.mNormals[x] - mesh.mNormals[y]).Length(), 3e-5f);
          }
        }
      }
      for (unsigned i = 0; i < mesh.mNumBones; ++i)
        EXPECT_EQ(a->mMeshes[m]->mBones[i]->mNumWeights, mesh.mBones[i]->mNumWeights);
    }
  }
  EXPECT_GT(welded, 0u);  // some real assets do repeat vertices
}

TEST(AssetImport, yUpAssetStandsUpInTheHostsZUpSpace) {
  ImportedAsset asset = standalone::ImportAssetFromMemory(kFlatTriangle, "gltf", {});
  standalone::SceneNode& node = *asset.scene->Nodes().at(1);
  const Matrix3 tm = node.GetNodeTM(0);
  const Point3 up = Normalize(tm.VectorTransform({0, 1, 0}));
  EXPECT_NEAR(up.z, 1.0f, 1e-6f);
  EXPECT_NEAR(Length(tm.VectorTransform({0, 0, -1})), 1.0f, 1e-6f);
  EXPECT_NEAR(tm.VectorTransform({0, 0, -1}).y, 1.0f, 1e-6f);  // -z (into the screen) is +y
}

TEST(AssetImport, convertedSceneLoadsBackAsTheSameScene) {
  SKIP_WITHOUT_REAL_FILES();
  for (const char* file :
       {"gltf/CesiumMan/CesiumMan.glb", "gltf/AnimatedMorphCube/AnimatedMorphCube.gltf",
        "gltf/CesiumMilkTruck/CesiumMilkTruck.glb", "gltf/gdx-gltf/lightCameraAnimations.gltf",
        "3ds/TargetCameraAnim.3ds", "collada/kwxport_test_vcolors.dae"}) {
    SCOPED_TRACE(file);
    TempFolder folder;
    standalone::ConvertOptions options;
    options.asset = (kReal / file).string();
    options.scene = folder.File("asset.kscene.json");
    ASSERT_EQ(standalone::RunConvertCommand(options), 0);
    ImportedAsset asset = Import(kReal / file, folder);
    auto loaded = standalone::LoadSceneFile(options.scene);
    standalone::testing::ExpectSameScene(*asset.scene, *loaded);
  }
}

// Bad assets: one clear error naming the file and what is wrong.
TEST(AssetImport, badAssetsAreRefusedWithAClearError) {
  std::string json = kFlatTriangle;
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = json;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  std::string glb = "glTF";
  auto u32 = [](std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  u32(glb, 2), u32(glb, 20 + static_cast<uint32_t>(json.size())), u32(glb, json.size()),
      u32(glb, 0x4E4F534A);
  glb += json;
  struct Case {
    const char* name;
    std::string bytes;
    const char* error;
  } cases[] = {
      {"unknown.xyz", "hello", "unknown format"},
      {"cut.glb", glb.substr(0, 60), "damaged"},
      {"broken.gltf", json.substr(0, json.size() - 30), "damaged: not a readable .gltf file"},
      {"short.gltf", replaced(R"("byteLength":80)", R"("byteLength":90)"), "expected 90 bytes"},
      {"past.gltf", replaced(R"(AAABAAIAAAA=)", R"(AAABAAcAAAA=)"), "no faces"},
      {"nan.gltf", replaced("AACAPwAAAAAAAAAA", "AADAfwAAAAAAAAAA"), "position is not a finite"},
      {"skin.gltf", replaced(R"("mesh":0})", R"("mesh":0,"skin":0}],"skins":[{"joints":[4]})"),
       "out of bounds"},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    const std::string file = folder.Write(c.name, c.bytes);
    try {
      TempFolder images;
      Import(file, images);
      ADD_FAILURE() << c.name << " was imported";
    } catch (const standalone::SceneLoadError& error) {
      EXPECT_NE(std::string(error.what()).find(c.name), std::string::npos) << error.what();
      EXPECT_NE(std::string(error.what()).find(c.error), std::string::npos) << error.what();
      EXPECT_EQ(std::string(error.what()).find('\n'), std::string::npos) << error.what();
    }
  }
  EXPECT_THROW(Import(folder.File("missing.glb"), folder), standalone::SceneLoadError);
}

}  // namespace
}  // namespace kiln::testing
