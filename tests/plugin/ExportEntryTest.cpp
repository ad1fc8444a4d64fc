// The export entry: file names, the overwrite question, kinds, log files and
// the summary, disk errors.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Messages.h"
#include "plugin/Globals.h"
#include "standalone/SceneBuilder.h"
#include "support/ExportHarness.h"

namespace kiln {
namespace {

using standalone::SceneBuilder;
using testing::ExportHarness;
using testing::OneNodeScene;
namespace fs = std::filesystem;

std::vector<std::string> Files(const ExportHarness& harness) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(fs::path(harness.OutPath("")))) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ExportEntry, blanksInTheChosenNameNameEveryFileWithUnderscores) {
  auto scene = OneNodeScene();
  ExportHarness harness;
  EXPECT_EQ(harness.Export(*scene, "my scene.zqs", true), 1);
  EXPECT_EQ(Files(harness), (std::vector<std::string>{"my_scene.zqs", "my_scene_shaders.ini",
                                                      "my_scene_warnings.log"}));
  EXPECT_EQ(harness.ReadText("my_scene_warnings.log"),
            "*** Warnings exporting\n\n++ Invalid filename: my scene converted to: my_scene\n");
}

TEST(ExportEntry, anUpperCaseExtensionIsUnknownAndWritesOnlyTheErrorLog) {
  auto scene = OneNodeScene();
  ExportHarness harness;
  EXPECT_EQ(harness.Export(*scene, "SCENE.ZQS"), 1);
  EXPECT_EQ(Files(harness), (std::vector<std::string>{"SCENE_errors.log"}));
  ASSERT_EQ(harness.messages.size(), 1u);
  EXPECT_EQ(harness.messages[0].type, 0u);
  EXPECT_EQ(harness.messages[0].text,
            "The scene was exported with 1 errors and 0 warnings \n\n"
            "-- ERRORS: ---------------------------------------------- \n"
            "Unknown exporter type for extension: ZQS\n");
}

TEST(ExportEntry, theOverwriteQuestionIsAskedEvenWithPromptsSuppressed) {
  auto scene = OneNodeScene();
  ExportHarness harness;
  harness.WriteText("car.ini", "[Edited]\r\nkey=artist\r\n");
  harness.WriteText("car_shaders.ini", "[Shader]\r\n");

  // Cancel: nothing is written, not even a log.
  EXPECT_EQ(harness.Export(*scene, "car.zqs", true), 0);
  ASSERT_EQ(harness.messages.size(), 1u);
  EXPECT_EQ(harness.messages[0].caption, "question #17");
  EXPECT_EQ(harness.messages[0].text, "Overwrite existing .ini file");
  EXPECT_EQ(harness.messages[0].type, platform::MB_YESNOCANCEL);
  EXPECT_EQ(Files(harness), (std::vector<std::string>{"car.ini", "car_shaders.ini"}));

  // No: the export runs and both .ini files stay as they were.
  harness.answers = {platform::IDNO};
  EXPECT_EQ(harness.Export(*scene, "car.zqs", true), 1);
  EXPECT_EQ(WriteIniFiles, 0);
  EXPECT_TRUE(harness.Exists("car.zqs"));
  EXPECT_EQ(harness.ReadText("car.ini"), "[Edited]\r\nkey=artist\r\n");

  // Yes: both are emptied; the shader file then holds only this export's sections.
  harness.answers = {platform::IDYES};
  EXPECT_EQ(harness.Export(*scene, "car.zqs", true), 1);
  EXPECT_EQ(WriteIniFiles, 1);
  EXPECT_EQ(harness.ReadText("car.ini"), "");
  EXPECT_EQ(harness.ReadText("car_shaders.ini").rfind("[Default Material]\r\n", 0), 0u);

  // No .ini file, no question: a new export writes its .ini files whatever an
  // earlier answer was.
  harness.answers = {platform::IDNO};
  harness.Export(*scene, "car.zqs", true);
  ASSERT_EQ(WriteIniFiles, 0);
  harness.messages.clear();
  harness.Export(*scene, "new.zqs", true);
  EXPECT_TRUE(harness.messages.empty());
  EXPECT_EQ(WriteIniFiles, 1);
}

TEST(ExportEntry, summaryAndLogFilesListErrorsAndWarnings) {
  SceneBuilder b;
  b.Node("Box");
  b.Node("Box");
  b.Node("Box");
  b.Node("Hidden1").Hidden();
  b.Node("Hidden2").Hidden();
  b.Node("Hidden3").Hidden();
  auto scene = b.Build();
  ExportHarness harness;
  harness.Export(*scene, "s.zqs");
  // Two collisions and three hidden nodes, each warned by the hierarchy and the walk.
  ASSERT_EQ(harness.messages.size(), 1u);
  EXPECT_EQ(harness.messages[0].text,
            "The scene was exported with 2 errors and 6 warnings \n\n"
            "-- ERRORS: ---------------------------------------------- \n"
            "Change colliding name: Box to Box_2\n"
            "Change colliding name: Box to Box_3\n");
  EXPECT_TRUE(harness.Exists("s_errors.log"));
  EXPECT_TRUE(harness.Exists("s_warnings.log"));
  EXPECT_FALSE(harness.Exists("s_informations.log"));

  // With prompts suppressed nothing is shown, but the files are written.
  harness.messages.clear();
  fs::remove(harness.OutPath("s_errors.log"));
  harness.Export(*scene, "s.zqs", true);
  EXPECT_TRUE(harness.messages.empty());
  EXPECT_FALSE(harness.Exists("s_errors.log"));  // the names are unique now
}

TEST(ExportEntry, aDiskErrorIsShownLoggedAndLeavesTheEarlierFileInPlace) {
  auto scene = OneNodeScene();
  ExportHarness harness;
  ASSERT_EQ(harness.Export(*scene, "keep.zqs", true), 1);
  std::string earlier = harness.ReadText("keep.zqs");

  // The output name is taken by a folder now: the file cannot be created.
  fs::rename(harness.OutPath("keep.zqs"), harness.OutPath("keep.bak"));
  fs::create_directory(harness.OutPath("keep.zqs"));
  EXPECT_EQ(harness.Export(*scene, "keep.zqs"), 0);
  ASSERT_GE(harness.messages.size(), 1u);
  EXPECT_EQ(harness.messages[0].type, platform::MB_ICONSTOP);
  // The log keeps the message on one line, with the file and the system's reason.
  std::string errors = harness.ReadText("keep_errors.log");
  EXPECT_EQ(harness.messages[0].text,
            "Error creating file: " + harness.OutPath("keep.zqs") + "\nIs a directory");
  EXPECT_NE(
      errors.find("\nError creating file: " + harness.OutPath("keep.zqs") + ": Is a directory\n"),
      std::string::npos)
      << errors;
  for (const auto& name : Files(harness)) EXPECT_EQ(name.find("tmp"), std::string::npos) << name;
  EXPECT_EQ(harness.ReadText("keep.bak"), earlier);
}

TEST(ExportEntry, anOutputFolderThatDoesNotExistFailsWithTheCreateError) {
  auto scene = OneNodeScene();
  ExportHarness harness;
  EXPECT_EQ(harness.Export(*scene, "missing/x.zqs"), 0);
  ASSERT_GE(harness.messages.size(), 1u);
  EXPECT_EQ(harness.messages[0].type, platform::MB_ICONSTOP);
  EXPECT_EQ(harness.messages[0].text.rfind("Error creating file: ", 0), 0u)
      << harness.messages[0].text;
}

}  // namespace
}  // namespace kiln
