#include <gtest/gtest.h>

#include "util/PathParts.h"

namespace kiln {
namespace {

TEST(PathParts, splitsAtEitherSeparatorAndLastDot) {
  PathParts parts;
  parts.Split("C:\\out\\walk.zqa");
  EXPECT_EQ(parts.path, "C:\\out\\walk.zqa");
  EXPECT_EQ(parts.folder, "C:\\out\\");
  EXPECT_EQ(parts.fileName, "walk.zqa");
  EXPECT_EQ(parts.baseName, "walk");
  EXPECT_EQ(parts.extension, "zqa");

  parts.Split("C:\\my.cars/red.car.v2.zqc");
  EXPECT_EQ(parts.folder, "C:\\my.cars/");
  EXPECT_EQ(parts.baseName, "red.car.v2");
  EXPECT_EQ(parts.extension, "zqc");

  // Earlier parts are replaced: no folder, no extension now.
  parts.Split("readme");
  EXPECT_EQ(parts.folder, std::nullopt);
  EXPECT_EQ(parts.fileName, "readme");
  EXPECT_EQ(parts.baseName, "readme");
  EXPECT_EQ(parts.extension, std::nullopt);
}

TEST(PathParts, keepsEmptyPartsApartFromAbsentOnes) {
  PathParts parts;
  parts.Split("out/");
  EXPECT_EQ(parts.folder, "out/");
  EXPECT_EQ(parts.fileName, "");
  EXPECT_EQ(parts.extension, std::nullopt);

  parts.Split("walk.");
  EXPECT_EQ(parts.baseName, "walk");
  EXPECT_EQ(parts.extension, "");

  parts.Split("/home/.profile");
  EXPECT_EQ(parts.baseName, "");
  EXPECT_EQ(parts.extension, "profile");

  parts.Split("");
  EXPECT_EQ(parts.path, "");
  EXPECT_EQ(parts.folder, std::nullopt);
  EXPECT_EQ(parts.fileName, "");

  // Long paths are split whole, never cut.
  std::string longFolder = "/" + std::string(400, 'f') + "/";
  parts.Split(longFolder + "scene.zqs");
  EXPECT_EQ(parts.folder, longFolder);
  EXPECT_EQ(parts.extension, "zqs");
}

}  // namespace
}  // namespace kiln
