#include <gtest/gtest.h>

#include <filesystem>

#include "io/FileBytes.h"
#include "platform/FileSystem.h"
#include "util/TempFolder.h"

namespace kiln::platform {
namespace {

using kiln::testing::ReadFileBytes;
using kiln::testing::TempFolder;
using kiln::testing::WriteFileBytes;

TEST(FileServices, createFolderAcceptsAnExistingFolderOnly) {
  TempFolder folder;
  std::string textures = folder.File("textures");
  EXPECT_TRUE(CreateFolder(textures));
  EXPECT_TRUE(std::filesystem::is_directory(textures));
  EXPECT_TRUE(CreateFolder(textures));
  WriteFileBytes(folder.File("file"), {1});
  EXPECT_FALSE(CreateFolder(folder.File("file")));
  EXPECT_FALSE(CreateFolder(folder.File("missing/textures")));
}

TEST(FileServices, copyFileReplacesUnlessAskedNotTo) {
  TempFolder folder;
  std::string from = folder.File("a.png"), to = folder.File("b.png");
  WriteFileBytes(from, {1, 2});
  EXPECT_TRUE(CopyFileA(from.c_str(), to.c_str(), true));
  EXPECT_EQ(ReadFileBytes(to), (std::vector<uint8_t>{1, 2}));
  WriteFileBytes(from, {3});
  EXPECT_FALSE(CopyFileA(from.c_str(), to.c_str(), true));
  EXPECT_EQ(ReadFileBytes(to), (std::vector<uint8_t>{1, 2}));
  EXPECT_TRUE(CopyFileA(from.c_str(), to.c_str(), false));
  EXPECT_EQ(ReadFileBytes(to), std::vector<uint8_t>{3});
  EXPECT_FALSE(CopyFileA(folder.File("missing.png").c_str(), to.c_str(), false));
  EXPECT_FALSE(CopyFileA(nullptr, to.c_str(), false));
}

}  // namespace
}  // namespace kiln::platform
