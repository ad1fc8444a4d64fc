// How the drivers use the settings file and the settings dialog.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/Messages.h"
#include "plugin/ExportSettings.h"
#include "standalone/SceneBuilder.h"
#include "support/ExportHarness.h"

namespace kiln {
namespace {

using standalone::SceneBuilder;
using testing::ExportHarness;
using testing::OneNodeScene;
namespace fs = std::filesystem;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(DriverSettings, firstExportCreatesDefaultsAndTheDialogShowsThem) {
  Settings = ExportSettings{};
  auto scene = OneNodeScene();
  ExportHarness harness;
  harness.Export(*scene, "s.zqs");
  ASSERT_EQ(harness.dialogsShown.size(), 1u);
  int checked = 0;
  for (auto [id, state] : harness.dialogsShown[0].checks) checked += state;
  EXPECT_EQ(checked, 10);  // every flag but Sample Animations
  EXPECT_EQ(fs::file_size(harness.ConfigPath("kilnmaxexporter.cfg")), 48u);
  EXPECT_TRUE(fs::is_directory(harness.OutPath("textures")));  // Copy Textures is on
}

TEST(DriverSettings, cancelInTheDialogWritesNothing) {
  Settings = ExportSettings{};
  auto scene = OneNodeScene();
  ExportHarness harness;
  harness.dialogAnswer = platform::IDCANCEL;
  EXPECT_EQ(harness.Export(*scene, "s.zqs"), 0);
  EXPECT_FALSE(harness.Exists("s.zqs"));
  EXPECT_FALSE(harness.Exists("textures"));
}

// The .ini files are emptied on Yes only by an export that puts its file in
// place; then they hold that export's own entries.
TEST(DriverSettings, aWrongVersionFailsEveryKindAndKeepsTheIniFiles) {
  SceneBuilder b;
  b.Node("Point_gearbox").Object("point").Position({1, 2, 3});
  auto scene = b.Build();
  ExportHarness harness;
  std::string cfg(48, '\0');
  cfg[0] = 40;
  std::ofstream(harness.ConfigPath("kilnmaxexporter.cfg"), std::ios::binary) << cfg;
  const std::string ini = "[Edited]\r\nkey=artist\r\n";
  for (const char* name : {"s.zqs", "c.zqc", "h.zqh", "a.zqa"}) {
    const std::string base = std::string(name).substr(0, 1);
    harness.WriteText(base + ".ini", ini);
    harness.WriteText(base + "_shaders.ini", ini);
    harness.messages.clear();
    harness.answers = {platform::IDYES};
    EXPECT_EQ(harness.Export(*scene, name), 0) << name;
    EXPECT_FALSE(harness.Exists(name)) << name;
    ASSERT_GE(harness.messages.size(), 2u);
    EXPECT_EQ(harness.messages[1].text, "Wrong version of config file");
    EXPECT_EQ(harness.messages[1].type, platform::MB_ICONSTOP);
    EXPECT_EQ(harness.ReadText(base + ".ini"), ini) << name;
    EXPECT_EQ(harness.ReadText(base + "_shaders.ini"), ini) << name;
  }
  EXPECT_FALSE(harness.Exists("a.str"));

  fs::remove(harness.ConfigPath("kilnmaxexporter.cfg"));
  harness.answers = {platform::IDYES};
  EXPECT_EQ(harness.Export(*scene, "c.zqc", true), 1);
  EXPECT_EQ(harness.ReadText("c.ini"),
            "[Point_gearbox]\r\nPos=1.000000 3.000000 2.000000\r\n"
            "Normal=0.000000 0.000000 1.000000\r\n");
  EXPECT_EQ(harness.ReadText("c_shaders.ini").rfind("[Default Material]\r\n", 0), 0u);
}

TEST(DriverSettings, suppressedPromptsUseTheFileAndRewriteItUnchanged) {
  Settings = ExportSettings{};
  auto scene = OneNodeScene();
  ExportHarness harness;
  ExportSettings stored;
  stored.copyTextures = 1;
  stored.sampleAnimations = 1;
  stored.meshes = 0;
  ASSERT_EQ(SaveConfig(harness.ConfigFolder().string(), stored), 1);
  std::string before = ReadBytes(harness.ConfigPath("kilnmaxexporter.cfg"));
  harness.Export(*scene, "s.zqs", true);
  EXPECT_TRUE(harness.dialogsShown.empty());
  EXPECT_FALSE(harness.Exists("textures"));
  EXPECT_EQ(ReadBytes(harness.ConfigPath("kilnmaxexporter.cfg")), before);
  EXPECT_EQ(Settings, stored);
}

}  // namespace
}  // namespace kiln
