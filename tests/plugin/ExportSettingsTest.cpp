#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/Messages.h"
#include "plugin/ExportSettings.h"
#include "util/TempFolder.h"

namespace kiln {
namespace {

std::string Dwords(std::initializer_list<int32_t> values) {
  std::string bytes;
  for (int32_t value : values) {
    for (int i = 0; i < 4; ++i)
      bytes.push_back(static_cast<char>(static_cast<uint32_t>(value) >> (8 * i)));
  }
  return bytes;
}

// Records every message box shown while the test runs.
class ConfigFile : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetMessageHandler([this](const platform::MessageRequest& request) {
      messages_.push_back(request);
      return platform::IDOK;
    });
  }
  void TearDown() override { platform::SetMessageHandler(nullptr); }

  kiln::testing::TempFolder folder_;
  std::vector<platform::MessageRequest> messages_;
};

TEST_F(ConfigFile, firstRunCreatesTheFileFromTheSettingsInMemory) {
  ExportSettings settings;
  EXPECT_EQ(LoadConfig(folder_.Path().string(), settings), 1);
  EXPECT_EQ(settings, ExportSettings());
  EXPECT_EQ(folder_.Read("kilnmaxexporter.cfg"), Dwords({44, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1}));

  // Without a file, what is in memory (not the defaults) is what gets saved.
  testing::TempFolder other;
  settings.sampleAnimations = 1;
  settings.meshes = 0;
  EXPECT_EQ(LoadConfig(other.Path().string(), settings), 1);
  EXPECT_EQ(other.Read("kilnmaxexporter.cfg"), Dwords({44, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
  EXPECT_TRUE(messages_.empty());
}

TEST_F(ConfigFile, roundTripKeepsEveryFlagInFileOrder) {
  ExportSettings saved{0, 1, 2, -1, 0, 5, 0, 1, 0, 1, 0};
  ASSERT_EQ(SaveConfig(folder_.Path().string(), saved), 1);
  EXPECT_EQ(folder_.Read("kilnmaxexporter.cfg"), Dwords({44, 0, 1, 2, -1, 0, 5, 0, 1, 0, 1, 0}));
  ExportSettings loaded;
  EXPECT_EQ(LoadConfig(folder_.Path().string(), loaded), 1);
  EXPECT_EQ(loaded, saved);

  // Bytes past the record are ignored.
  folder_.Write("kilnmaxexporter.cfg", Dwords({44, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 99}));
  EXPECT_EQ(LoadConfig(folder_.Path().string(), loaded), 1);
  EXPECT_EQ(loaded.sampleAnimations, 1);
}

TEST_F(ConfigFile, wrongVersionOrCutOffFileLeavesSettingsAlone) {
  const std::string fileName = "kilnmaxexporter.cfg";
  const std::string badFiles[] = {
      Dwords({40, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),  // 48 bytes of another version
      Dwords({44, 0, 0, 0, 0, 0}),                    // cut off inside the record
      Dwords({44}),                                   // the size alone
      std::string("\x2c\x00", 2),                     // not even the size
      std::string(),
  };
  for (const std::string& bytes : badFiles) {
    messages_.clear();
    folder_.Write(fileName, bytes);
    ExportSettings settings;
    EXPECT_EQ(LoadConfig(folder_.Path().string(), settings), 0) << bytes.size();
    EXPECT_EQ(settings, ExportSettings()) << bytes.size();
    ASSERT_EQ(messages_.size(), 1u) << bytes.size();
    EXPECT_EQ(messages_[0].text, "Wrong version of config file");
    EXPECT_EQ(messages_[0].type, 16u);
    EXPECT_EQ(folder_.Read(fileName), bytes);  // a bad file is not replaced
  }
}

TEST_F(ConfigFile, unusableFolderFailsSilently) {
  ExportSettings settings;
  std::string missing = folder_.File("no/such/folder");
  EXPECT_EQ(SaveConfig(missing, settings), 0);
  EXPECT_EQ(LoadConfig(missing, settings), 0);
  // A folder where the file should be cannot be read.
  std::filesystem::create_directory(folder_.File("kilnmaxexporter.cfg"));
  EXPECT_EQ(LoadConfig(folder_.Path().string(), settings), 0);
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(settings, ExportSettings());
}

}  // namespace
}  // namespace kiln
