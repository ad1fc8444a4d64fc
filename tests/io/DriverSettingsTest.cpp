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
  EXPECT_EQ(harness.Export(*scene, "s.zqs"), 1);
  EXPECT_FALSE(harness.Exists("s.zqs"));
  EXPECT_FALSE(harness.Exists("textures"));
}

TEST(DriverSettings, aWrongVersionStopsEveryKindBeforeTheFileIsCreated) {
  auto scene = OneNodeScene();
  ExportHarness harness;
  std::string cfg(48, '\0');
  cfg[0] = 40;
  std::ofstream(harness.ConfigPath("kilnmaxexporter.cfg"), std::ios::binary) << cfg;
  for (const char* name : {"s.zqs", "c.zqc", "h.zqh", "a.zqa"}) {
    harness.messages.clear();
    harness.Export(*scene, name);
    EXPECT_FALSE(harness.Exists(name)) << name;
    ASSERT_FALSE(harness.messages.empty());
    EXPECT_EQ(harness.messages[0].text, "Wrong version of config file");
    EXPECT_EQ(harness.messages[0].type, platform::MB_ICONSTOP);
  }
  EXPECT_FALSE(harness.Exists("a.str"));
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
