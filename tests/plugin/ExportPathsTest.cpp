#include <gtest/gtest.h>

#include "plugin/ExportLog.h"
#include "plugin/ExportPaths.h"
#include "plugin/Globals.h"

namespace kiln {
namespace {

TEST(ExportPaths, sideFilesShareTheBaseWithBlanksReplacedOnceWithAWarning) {
  ExportLog log;
  CurrentLog = &log;
  const ExportPaths paths = MakeExportPaths("/tmp/out/my scene.zqs");
  const ExportPaths plain = MakeExportPaths("/data/walk.zqa");
  CurrentLog = nullptr;
  EXPECT_EQ((std::vector<std::string>{paths.output, paths.ini, paths.shaderIni, paths.cfg,
                                      paths.textureFolder, paths.errorsLog, paths.warningsLog,
                                      paths.informationsLog}),
            (std::vector<std::string>{
                "/tmp/out/my_scene.zqs", "/tmp/out/my_scene.ini", "/tmp/out/my_scene_shaders.ini",
                "/tmp/out/my_scene.cfg", "/tmp/out/textures", "/tmp/out/my_scene_errors.log",
                "/tmp/out/my_scene_warnings.log", "/tmp/out/my_scene_informations.log"}));
  EXPECT_EQ(plain.output, "/data/walk.zqa");
  EXPECT_EQ(log.Warnings(),
            std::vector<std::string>{"++ Invalid filename: my scene converted to: my_scene"});
}

}  // namespace
}  // namespace kiln
