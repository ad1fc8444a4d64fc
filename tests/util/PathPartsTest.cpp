#include <gtest/gtest.h>

#include "util/PathParts.h"

namespace kiln {
namespace {

// Splits at either separator and the last dot; empty parts are kept apart
// from absent ones, each split replaces the earlier parts, and long paths are
// split whole.
TEST(PathParts, splitsIntoFolderBaseNameAndExtension) {
  using Part = std::optional<std::string>;
  const std::string longFolder = "/" + std::string(400, 'f') + "/";
  const struct {
    std::string path;
    Part folder;
    std::string fileName, baseName;
    Part extension;
  } cases[] = {
      {"C:\\out\\walk.zqa", "C:\\out\\", "walk.zqa", "walk", "zqa"},
      {"C:\\my.cars/red.car.v2.zqc", "C:\\my.cars/", "red.car.v2.zqc", "red.car.v2", "zqc"},
      {"readme", std::nullopt, "readme", "readme", std::nullopt},
      {"out/", "out/", "", "", std::nullopt},
      {"walk.", std::nullopt, "walk.", "walk", ""},
      {"/home/.profile", "/home/", ".profile", "", "profile"},
      {"", std::nullopt, "", "", std::nullopt},
      {longFolder + "scene.zqs", longFolder, "scene.zqs", "scene", "zqs"},
  };
  PathParts parts;
  for (const auto& c : cases) {
    parts.Split(c.path);
    EXPECT_EQ(parts.path, c.path);
    EXPECT_EQ(parts.folder, c.folder) << c.path;
    EXPECT_EQ(parts.fileName, c.fileName) << c.path;
    EXPECT_EQ(parts.baseName, c.baseName) << c.path;
    EXPECT_EQ(parts.extension, c.extension) << c.path;
  }
}

}  // namespace
}  // namespace kiln
