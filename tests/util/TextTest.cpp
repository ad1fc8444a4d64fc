#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "util/TextFormat.h"
#include "util/Trim.h"

namespace kiln {
namespace {

TEST(Trim, dropsOnlyCharactersOfTheSetAtTheEnds) {
  EXPECT_EQ(TrimLeft(" \t\"a b\" \n", " \t\n\""), "a b\" \n");
  EXPECT_EQ(TrimRight(" \t\"a b\" \n", " \t\n\""), " \t\"a b");
  EXPECT_EQ(Trim(" \t\"a b\" \n", " \t\n\""), "a b");
  EXPECT_EQ(Trim("\"\" \t", " \t\n\""), "");
  EXPECT_EQ(Trim("", " "), "");
  EXPECT_EQ(Trim("xyx", ""), "xyx");
}

TEST(TextFormat, writesIniValueTexts) {
  EXPECT_EQ(IntText(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(FloatText(1.5f), "1.500000");
  EXPECT_EQ(FloatText(-0.0000004f), "-0.000000");
  EXPECT_EQ(FloatText(FLT_MAX), "340282346638528859811704183484516925440.000000");
  EXPECT_EQ(BoolText(0), "false");
  EXPECT_EQ(BoolText(1), "true");
  EXPECT_EQ(BoolText(-7), "true");
  EXPECT_EQ(BoolText(256), "true");
  // Two points in one expression stay apart.
  EXPECT_EQ(Point3Text(1, 2, 3) + "|" + Point3Text2(-1, 0.25f, 1e6f),
            "1.000000 2.000000 3.000000|-1.000000 0.250000 1000000.000000");
  EXPECT_EQ(Point3Text(-FLT_MAX, -FLT_MAX, -FLT_MAX).size(), 3 * 47u + 2);
}

}  // namespace
}  // namespace kiln
