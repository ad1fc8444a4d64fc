#include <gtest/gtest.h>

#include "io/UserPropertyChunk.h"

namespace kiln {
namespace {

struct Pair {
  bool ok;
  std::string key, value;
};

Pair Parse(std::string_view line) {
  Pair pair{};
  pair.ok = ParseUserPropertyLine(line, &pair.key, &pair.value);
  return pair;
}

TEST(UserPropertyLine, keyIsFirstWordAndValueKeepsEverythingAfterTheEquals) {
  Pair mass = Parse("mass = 12");
  EXPECT_TRUE(mass.ok);
  EXPECT_EQ(mass.key, "mass");
  EXPECT_EQ(mass.value, " 12");

  Pair name = Parse("name=Car 1\r");
  EXPECT_EQ(name.key, "name");
  EXPECT_EQ(name.value, "Car 1\r");

  Pair leading = Parse("   \tspeed max=3=4");
  EXPECT_EQ(leading.key, "\tspeed");
  EXPECT_EQ(leading.value, "3=4");
}

TEST(UserPropertyLine, linesWithoutKeyOrValueGiveNoPair) {
  EXPECT_FALSE(Parse("no equals sign").ok);
  EXPECT_FALSE(Parse("key=").ok);
  EXPECT_FALSE(Parse("=value").ok);
  EXPECT_FALSE(Parse("   =value").ok);
  EXPECT_FALSE(Parse("").ok);
}

}  // namespace
}  // namespace kiln
