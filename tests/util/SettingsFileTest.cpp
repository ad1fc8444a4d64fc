#include <gtest/gtest.h>

#include <random>

#include "util/SettingsFile.h"
#include "util/TempFolder.h"

namespace kiln {
namespace {

using namespace std::string_literals;

using Pairs = std::vector<SettingsFile::KeyValue>;

TEST(SettingsFile, readsSectionsKeysAndQuotedTexts) {
  testing::TempFolder folder;
  std::string path = folder.Write("car.ini",
                                  "; comment before any section\n"
                                  "ignored = before section\n"
                                  "[Car]\n"
                                  "mass = 1200\n"
                                  "\t\"Body Colour\" = \"red metal\"  \n"
                                  "key=\n"
                                  "=value\n"
                                  "no equals sign\n"
                                  "[Car] trailing text\n"
                                  "wheels=4\n"
                                  "mass=1300\n");
  SettingsFile file(path, true);
  EXPECT_EQ(file.GetValue("Car", "mass", "none"), "1300");  // the later line replaces
  EXPECT_EQ(file.GetValue("Car", "Body Colour", "none"), "red metal");
  EXPECT_EQ(file.GetValue("Car", "key", "none"), "none");
  EXPECT_EQ(file.GetValue("Car", "", "none"), "none");
  EXPECT_EQ(file.GetValue("Car", "ignored", "none"), "none");
  EXPECT_EQ(file.GetValue("car", "mass", "none"), "none");  // case-sensitive

  Pairs pairs{{"stale", "entry"}};
  ASSERT_TRUE(file.GetSection("Car", pairs));
  EXPECT_EQ(pairs, (Pairs{{"Body Colour", "red metal"}, {"mass", "1300"}, {"wheels", "4"}}));
  EXPECT_FALSE(file.GetSection("Missing", pairs));
  EXPECT_EQ(pairs.size(), 3u);  // untouched on a miss
}

TEST(SettingsFile, ordersKeysByUnsignedBytesAndSplitsLongLinesIntoPiecesOf255) {
  testing::TempFolder folder;
  // The key line is 300 characters: its first 255 make one line, the rest
  // ("tail=end") another.
  const std::string longKey(251, 'k');
  SettingsFile file(folder.Write("order.ini", "[S]\nab=3\na=2\nB=1\n\xC3\xA9t\xC3\xA9=4\n~=5\n" +
                                                  longKey + "=abctail=end\n"),
                    true);
  Pairs pairs;
  ASSERT_TRUE(file.GetSection("S", pairs));
  std::vector<std::string> keys;
  for (const auto& pair : pairs) keys.push_back(pair.first);
  // Bytes from 0x80 sort after ASCII.
  EXPECT_EQ(keys,
            (std::vector<std::string>{"B", "a", "ab", longKey, "tail", "~", "\xC3\xA9t\xC3\xA9"}));
  EXPECT_EQ(file.GetValue("S", longKey, ""), "abc");
  EXPECT_EQ(file.GetValue("S", "tail", ""), "end");
}

TEST(SettingsFile, sectionRulesAndCrLfLineEnds) {
  testing::TempFolder folder;
  std::string path = folder.Write("rules.ini",
                                  "[]\r\n"
                                  "orphan=1\r\n"
                                  "[A]]\r\n"
                                  "x=1\r\n"
                                  "[B\r\n"
                                  "y=2\r\n"
                                  "[Shader]\r\n"
                                  "Glass=12\r\n"
                                  "[A]\r\n"
                                  "z=3\r\n"
                                  "lone=cr\rinside\r\n");
  SettingsFile file(path, true);
  // "[]" is no section header, so "orphan" has no section.
  Pairs pairs;
  EXPECT_FALSE(file.GetSection("", pairs));
  // "[B" is no header either: its keys go to the section before it.
  ASSERT_TRUE(file.GetSection("A", pairs));
  EXPECT_EQ(pairs, (Pairs{{"lone", "cr\rinside"}, {"x", "1"}, {"y", "2"}, {"z", "3"}}));
  EXPECT_EQ(file.GetValue("Shader", "Glass", ""), "12");  // no CR left on the value
}

TEST(SettingsFile, loadReplacesTableAndHonoursReadNow) {
  testing::TempFolder folder;
  std::string first = folder.Write("a.ini", "[S]\nk=a\n");
  std::string second = folder.Write("b.ini", "[T]\nk=b\n");
  SettingsFile file(first, true);
  file.Load(second, false);
  EXPECT_EQ(file.FileName(), second);
  EXPECT_FALSE(file.ReadNow());
  EXPECT_EQ(file.GetValue("S", "k", "-"), "-");
  EXPECT_EQ(file.GetValue("T", "k", "-"), "-");
  file.Load(second, true);
  EXPECT_EQ(file.GetValue("T", "k", "-"), "b");
  file.Load(folder.File("missing.ini"), true);
  EXPECT_EQ(file.GetValue("T", "k", "-"), "-");
}

TEST(SettingsFile, survivesBadInput) {
  testing::TempFolder folder;
  std::mt19937 random(7);
  std::string junk;
  for (int i = 0; i < 20000; ++i) junk.push_back(static_cast<char>(random() & 0xFF));
  SettingsFile file(folder.Write("junk.ini", junk), true);
  Pairs pairs;
  file.GetSection("S", pairs);

  // A NUL byte ends the line's text.
  file.Load(folder.Write("nul.ini", "[S]\nk=v\0hidden\nm=n\n"s), true);
  EXPECT_EQ(file.GetValue("S", "k", ""), "v");
  EXPECT_EQ(file.GetValue("S", "m", ""), "n");

  file.Load(folder.Write("huge.ini", "[S]\n" + std::string(100000, 'x') + "\n"), true);
  EXPECT_FALSE(file.GetSection("S", pairs));

  file.Load(folder.Write("nosection.ini", "a=1\nb=2\n"), true);
  EXPECT_FALSE(file.GetSection("", pairs));

  file.Load(folder.Write("empty.ini", ""), true);
  EXPECT_FALSE(file.GetSection("S", pairs));

  file.Load(folder.Path().string(), true);  // a folder, not a file
  EXPECT_FALSE(file.GetSection("S", pairs));
}

}  // namespace
}  // namespace kiln
