#include <gtest/gtest.h>

#include "io/UserPropertyChunk.h"

namespace kiln {
namespace {

// The key is the first word (leading spaces skipped, a tab belongs to it);
// the value keeps everything after the first '='. Lines without a key or a
// value give no pair.
TEST(UserPropertyLine, keyIsFirstWordAndValueKeepsEverythingAfterTheEquals) {
  const struct {
    std::string_view line;
    bool ok;
    std::string key, value;
  } cases[] = {
      {"mass = 12", true, "mass", " 12"},
      {"name=Car 1\r", true, "name", "Car 1\r"},
      {"   \tspeed max=3=4", true, "\tspeed", "3=4"},
      {"no equals sign", false, "", ""},
      {"key=", false, "", ""},
      {"=value", false, "", ""},
      {"   =value", false, "", ""},
      {"", false, "", ""},
  };
  for (const auto& c : cases) {
    std::string key, value;
    EXPECT_EQ(ParseUserPropertyLine(c.line, &key, &value), c.ok) << c.line;
    if (!c.ok) continue;
    EXPECT_EQ(key, c.key) << c.line;
    EXPECT_EQ(value, c.value) << c.line;
  }
}

}  // namespace
}  // namespace kiln
