#include <gtest/gtest.h>

#include "plugin/ExportLog.h"
#include "plugin/ExportPaths.h"
#include "plugin/Globals.h"

namespace kiln {
namespace {

TEST(ExportPaths, blanksInTheFileNameAreReplacedOnceWithAWarning) {
  ExportLog log;
  CurrentLog = &log;
  ExportPaths paths = MakeExportPaths("/tmp/out/my scene.zqs");
  CurrentLog = nullptr;
  EXPECT_EQ(paths.output, "/tmp/out/my_scene.zqs");
  EXPECT_EQ(paths.ini, "/tmp/out/my_scene.ini");
  EXPECT_EQ(paths.shaderIni, "/tmp/out/my_scene_shaders.ini");
  EXPECT_EQ(paths.cfg, "/tmp/out/my_scene.cfg");
  EXPECT_EQ(paths.textureFolder, "/tmp/out/textures");
  EXPECT_EQ(paths.errorsLog, "/tmp/out/my_scene_errors.log");
  EXPECT_EQ(paths.warningsLog, "/tmp/out/my_scene_warnings.log");
  EXPECT_EQ(paths.informationsLog, "/tmp/out/my_scene_informations.log");
  ASSERT_EQ(log.Warnings().size(), 1u);
  EXPECT_EQ(log.Warnings()[0], "++ Invalid filename: my scene converted to: my_scene");
}

TEST(ExportPaths, aPlainNameIsUsedAsIs) {
  ExportLog log;
  CurrentLog = &log;
  ExportPaths paths = MakeExportPaths("/data/walk.zqa");
  CurrentLog = nullptr;
  EXPECT_EQ(paths.output, "/data/walk.zqa");
  EXPECT_EQ(paths.base, "/data/walk");
  EXPECT_TRUE(log.Warnings().empty());
}

}  // namespace
}  // namespace kiln
