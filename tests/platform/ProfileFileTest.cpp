#include <gtest/gtest.h>

#include <filesystem>

#include "platform/ProfileFile.h"
#include "util/TempFolder.h"

namespace kiln::platform {
namespace {

// Every test starts and ends with no documents in memory.
class ProfileFile : public ::testing::Test {
 protected:
  void SetUp() override { DiscardProfileFiles(); }
  void TearDown() override { DiscardProfileFiles(); }

  bool Write(const char* section, const char* key, const char* value, const std::string& file) {
    return WritePrivateProfileStringA(section, key, value, file.c_str());
  }

  kiln::testing::TempFolder folder_;
};

TEST_F(ProfileFile, editsExistingFileKeepingForeignLines) {
  std::string ini = folder_.Write("scene.ini",
                                  "; written by hand\n"
                                  "stray line\n"
                                  "[Mesh]\n"
                                  "  FaceBlock0_Shader = old\n"
                                  "; note inside the section\n"
                                  "Other=1\n"
                                  "\n"
                                  "[ mesh ]\n"
                                  "FaceBlock0_Shader=second place\n"
                                  "[Last]");
  EXPECT_TRUE(Write("MESH", "faceblock0_shader", "Glass", ini));  // replaced in place
  EXPECT_TRUE(Write("mesh", "NewKey", "7", ini));                 // after the last key
  EXPECT_TRUE(Write("last", "k", "v", ini));
  EXPECT_TRUE(Write("Fresh", "k", "v", ini));
  EXPECT_TRUE(FlushProfileFiles());
  EXPECT_EQ(folder_.Read("scene.ini"),
            "; written by hand\r\n"
            "stray line\r\n"
            "[Mesh]\r\n"
            "FaceBlock0_Shader=Glass\r\n"
            "; note inside the section\r\n"
            "Other=1\r\n"
            "NewKey=7\r\n"
            "\r\n"
            "[ mesh ]\r\n"
            "FaceBlock0_Shader=second place\r\n"
            "[Last]\r\n"
            "k=v\r\n"
            "\r\n"
            "[Fresh]\r\n"
            "k=v\r\n");
}

TEST_F(ProfileFile, batchedWritesGiveTheSameFileAsOneWritePerCall) {
  struct Entry {
    const char *section, *key, *value;
  };
  const Entry entries[] = {{"A", "x", "1"},  {"b", "y", "2"},   {"a", "X", "3"}, {"B", "z", "4"},
                           {"C", "y", "5"},  {"a", "w", " 6 "}, {"c", "Y", "7"}, {"b", "y", "2"},
                           {"A]", "q", "8"}, {"a", "[k", "9"}};
  std::string single = folder_.File("single.ini");
  for (const Entry& e : entries) {
    EXPECT_TRUE(Write(e.section, e.key, e.value, single));
    EXPECT_TRUE(FlushProfileFiles());  // read and written back on every call
  }
  std::string expected = folder_.Read("single.ini");
  std::string batched = folder_.File("batched.ini");
  for (const Entry& e : entries) EXPECT_TRUE(Write(e.section, e.key, e.value, batched));
  EXPECT_FALSE(std::filesystem::exists(batched));  // nothing written before the flush
  EXPECT_TRUE(FlushProfileFiles());
  EXPECT_EQ(folder_.Read("batched.ini"), expected);
  EXPECT_EQ(
      expected,
      "[A]\r\nx=3\r\nw= 6 \r\n[k=9\r\n\r\n[b]\r\ny=2\r\nz=4\r\n\r\n[C]\r\ny=7\r\n\r\n[A]]\r\nq="
      "8\r\n");
}

TEST_F(ProfileFile, unchangedDocumentsAreNotRewritten) {
  // LF line ends survive when no value changes, since nothing is written.
  std::string ini = folder_.Write("same.ini", "[S]\nk=v\n");
  EXPECT_TRUE(Write("s", "K", "v", ini));
  EXPECT_TRUE(FlushProfileFiles());
  EXPECT_EQ(folder_.Read("same.ini"), "[S]\nk=v\n");
}

TEST_F(ProfileFile, emptyKeepsOnlyTheEntriesSetSinceTheLastFlush) {
  std::string ini = folder_.Write("old.ini", "[Old]\r\nkey=1\r\n");
  EXPECT_TRUE(Write("Old", "key", "2", ini));
  EXPECT_TRUE(Write("New", "key", "3", ini));
  EmptyProfileFile(ini.c_str());
  std::string emptied = folder_.Write("emptied.ini", "[X]\r\ny=1\r\n");
  EmptyProfileFile(emptied.c_str());
  EXPECT_TRUE(FlushProfileFiles());
  EXPECT_EQ(folder_.Read("old.ini"), "[Old]\r\nkey=2\r\n\r\n[New]\r\nkey=3\r\n");
  EXPECT_TRUE(std::filesystem::exists(emptied));
  EXPECT_EQ(folder_.Read("emptied.ini"), "");

  EXPECT_TRUE(Write("New", "key", "4", ini));
  DiscardProfileFiles();
  EXPECT_TRUE(FlushProfileFiles());
  EXPECT_EQ(folder_.Read("old.ini"), "[Old]\r\nkey=2\r\n\r\n[New]\r\nkey=3\r\n");
}

TEST_F(ProfileFile, refusesEntriesThatWouldNotReadBack) {
  std::string ini = folder_.File("refused.ini");
  EXPECT_FALSE(Write("", "k", "v", ini));
  EXPECT_FALSE(Write("  ", "k", "v", ini));
  EXPECT_FALSE(Write("S", " ", "v", ini));
  EXPECT_FALSE(Write("S", "a=b", "v", ini));
  EXPECT_FALSE(Write("S", ";k", "v", ini));
  EXPECT_FALSE(Write("S", "[k", "v]", ini));
  EXPECT_FALSE(Write("S", "k", "two\r\nlines", ini));
  EXPECT_FALSE(Write("S\n", "k", "v", ini));
  EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "k", "v", ini.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("S", nullptr, "v", ini.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", nullptr, ini.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", nullptr));
  EXPECT_TRUE(FlushProfileFiles());
  EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST_F(ProfileFile, reportsFilesThatCannotBeReadOrWritten) {
  // A folder in place of the file cannot be read.
  std::filesystem::create_directory(folder_.File("folder.ini"));
  EXPECT_FALSE(Write("S", "k", "v", folder_.File("folder.ini")));
  // A missing folder shows when the file is written; other files still are.
  EXPECT_TRUE(Write("S", "k", "v", folder_.File("missing/x.ini")));
  EXPECT_TRUE(Write("S", "k", "v", folder_.File("good.ini")));
  EXPECT_FALSE(FlushProfileFiles());
  EXPECT_EQ(folder_.Read("good.ini"), "[S]\r\nk=v\r\n");
  EXPECT_TRUE(FlushProfileFiles());  // the failed document was forgotten
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()), {}), 2);
}

}  // namespace
}  // namespace kiln::platform
