// Texture copies and indexed textures.
#include <gtest/gtest.h>

#include <filesystem>

#include "io/CZX9_DiskWriter.h"
#include "materials/IndexedTexture.h"
#include "materials/MaterialTestSupport.h"
#include "plugin/ExportLog.h"
#include "plugin/ExportSettings.h"
#include "plugin/Globals.h"
#include "reader/Decoders.h"
#include "standalone/Bitmaps.h"
#include "support/ExportHarness.h"

namespace kiln {
namespace {

using namespace standalone;
using testing::ExportHarness;
using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

// One material per bitmap path, each on its own node.
std::unique_ptr<Scene> BitmapScene(const Strings& paths) {
  SceneBuilder b;
  for (size_t i = 0; i < paths.size(); ++i) {
    auto& map = b.Texture("Map" + std::to_string(i));
    map.fileName = paths[i];
    auto& m = b.Material("M" + std::to_string(i));
    m.SetMap(ID_DI, &map);
    b.Node("N" + std::to_string(i)).Mesh(testing::Triangles({0})).Material(&m);
  }
  return b.Build();
}

Strings RecordFiles(const reader::ChunkFile& file) {
  Strings names;
  for (const reader::Chunk& chunk : file.chunks) {
    if (auto* m = chunk.As<reader::StandardMaterial>()) {
      for (const auto& record : m->bitmaps) names.push_back(record.file);
    }
  }
  return names;
}

TEST(TextureFiles, clashesCopiesAndCopyWarnings) {
  testing::TempFolder src;
  const std::string a = src.Write("a/wood.png", "A"), b = src.Write("b/wood.png", "B");
  const std::string spaced = src.Write("my tex.tga", "T");
  const std::string missing = src.File("missing.png");
  ExportHarness h;
  h.WriteText("textures/ready.png", "R");  // already in the texture folder
  const std::string ready = h.OutPath("textures/ready.png");
  Settings = ExportSettings{};
  auto scene = BitmapScene({a, b, a, spaced, ready, missing, src.File("")});
  ASSERT_EQ(h.Export(*scene, "c.zqs", true), 1);  // quiet: the copy step makes the folder
  EXPECT_EQ(RecordFiles(h.Read("c.zqs")), (Strings{"wood.png", "wood_2.png", "wood.png",
                                                   "my_tex.tga", "ready.png", "missing.png", ""}));
  EXPECT_EQ(h.ReadText("textures/wood.png"), "A");
  EXPECT_EQ(h.ReadText("textures/wood_2.png"), "B");
  EXPECT_EQ(h.ReadText("textures/my_tex.tga"), "T");  // copied from the unfixed path
  EXPECT_EQ(h.ReadText("textures/ready.png"), "R");
  const std::string textures = h.OutPath("textures");
  EXPECT_EQ(h.ReadText("c_warnings.log"),
            "*** Warnings exporting\n\n"
            "++ Texture name clash: " +
                b +
                " copied as: wood_2.png\n"
                "++ Invalid texture filename: my tex.tga converted to: my_tex.tga\n"
                "error copying texture: " +
                missing + " to " + textures +
                "/missing.png\n"
                "No such file or directory\n"
                "error copying texture: " +
                src.File("") + " to " + textures +
                "/\n"
                "Invalid argument\n");
  EXPECT_NE(h.ReadText("c_shaders.ini").find("[M1_diffuse_bitmap]\r\nFilename=wood_2.png\r\n"),
            std::string::npos);

  // Copy Textures off: nothing is copied, the records keep their names, and
  // the clash is still told.
  ExportHarness off;
  Settings.copyTextures = 0;
  ASSERT_EQ(off.Export(*scene, "c.zqs", true), 1);
  Settings = ExportSettings{};
  EXPECT_EQ(RecordFiles(off.Read("c.zqs"))[1], "wood.png");
  EXPECT_FALSE(off.Exists("textures"));
  EXPECT_EQ(off.ReadText("c_warnings.log"),
            "*** Warnings exporting\n\n"
            "++ Texture name clash: " +
                a + " and " + b +
                " are both named wood.png\n"
                "++ Invalid texture filename: my tex.tga converted to: my_tex.tga\n");

  // A quiet export without bitmaps makes no folder.
  ExportHarness none;
  ASSERT_EQ(none.Export(*BitmapScene({}), "n.zqs", true), 1);
  EXPECT_FALSE(none.Exists("textures"));
}

const fs::path kImages = fs::path(KILN_TESTDATA_DIR) / "real/images";

// Writes the indexed record of path into a chunk and reads it back.
struct IndexedResult {
  bool written;
  reader::IndexedTexture texture;
  std::string errors, warnings;
};
IndexedResult WriteAndRead(const std::string& path) {
  testing::TempFolder folder;
  const std::string file = folder.File("t.bin");
  ExportLog log;
  CurrentLog = &log;
  InstallBitmapManager();
  IndexedResult result{};
  {
    CZX9_DiskWriter writer;
    writer.Open(file.c_str());
    writer.WriteString("banner");
    // A chunk type no decoder knows, so the reader leaves the record to this test.
    writer.BeginChunk(99, 0, 1);
    result.written = WriteIndexedTexture(writer, path);
    writer.EndChunk();
    writer.Close();
  }
  const reader::ChunkFile read = reader::ReadChunkFile(file);
  reader::PayloadCursor cursor(read.PayloadOf(read.chunks[0]), read.chunks[0].PayloadOffset(),
                               read.chunks[0]);
  if (result.written)
    result.texture = reader::ReadIndexedTexture(cursor);
  else if (!cursor.AtEnd())
    result.texture.file = cursor.String("name");
  for (const auto& line : log.Errors()) result.errors += line + "\n";
  for (const auto& line : log.Warnings()) result.warnings += line + "\n";
  CurrentLog = nullptr;
  return result;
}

TEST(IndexedTextures, everyTexelFindsItsStoredIndex) {
  if (!fs::exists(kImages)) GTEST_SKIP() << "no real images at " << kImages;
  // Square paletted images: each written index is the index stored in the
  // file, unless an earlier palette entry has the same colour.
  for (const char* name :
       {"png/basn3p08.png", "png/ibasn3p08.png", "png/basn3p01.png", "png/basn3p02.png",
        "png/basn3p04.png", "png/ftp1n3p08.png", "tga/ucm8.tga", "tga/ccm8.tga"}) {
    const std::string path = (kImages / name).string();
    const Image image = LoadImageFile(path);
    const IndexedResult r = WriteAndRead(path);
    ASSERT_TRUE(r.written) << name << r.errors;
    EXPECT_EQ(r.texture.width, image.width) << name;
    ASSERT_TRUE(r.texture.paletted) << name;
    for (size_t i = 0; i < image.indices.size(); ++i) {
      const uint8_t stored = image.indices[i], written = r.texture.indices[i];
      if (stored != written) {
        ASSERT_LT(written, stored) << name << " texel " << i;
        ASSERT_EQ(image.palette[written], image.palette[stored]) << name << " texel " << i;
        EXPECT_NE(r.warnings.find("repeats entry"), std::string::npos) << name;
      }
    }
  }
  const std::string oblong = (kImages / "bmp/pal8rle.bmp").string();
  IndexedResult r = WriteAndRead(oblong);
  EXPECT_FALSE(r.written);
  EXPECT_EQ(r.texture.file, "pal8rle.bmp");
  EXPECT_EQ(r.errors, "Texture " + oblong + " isn't square (127x64)\n");
}

TEST(IndexedTextures, missingAndUnpalettedBitmaps) {
  testing::TempFolder folder;
  // A 2 x 2 true-colour TGA: the name, the width and the flag 0.
  std::string tga(18, '\0');
  tga[2] = 2, tga[12] = 2, tga[14] = 2, tga[16] = 24;
  const std::string plain = folder.Write("plain.tga", tga + std::string(12, '\x7f'));
  IndexedResult r = WriteAndRead(plain);
  EXPECT_TRUE(r.written);
  EXPECT_EQ(std::make_tuple(r.texture.file, r.texture.width, r.texture.paletted),
            std::make_tuple(std::string("plain.tga"), 2, false));
  EXPECT_EQ(r.warnings, "Texture " + plain + " has no palette\n");
  for (const std::string& bad : {folder.File("none.png"), folder.Write("bad.png", "\x89PNG")}) {
    r = WriteAndRead(bad);
    EXPECT_FALSE(r.written);
    EXPECT_EQ(r.errors, "Error loading texture: " + bad + "\n");
  }
}

}  // namespace
}  // namespace kiln
