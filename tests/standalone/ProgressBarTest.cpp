#include <gtest/gtest.h>

#include "standalone/TerminalPrompts.h"

namespace kiln::standalone {
namespace {

// The bar fits the terminal, leaving its last column free; the title gives
// way before the bar's ten cells do.
TEST(ProgressBar, lineFitsTheTerminal) {
  const std::string title = "Pangolin Car Export Status --> ";
  struct Case {
    int width, percent;
    const char* line;
  } cases[] = {
      {60, 50, "Pangolin Car Export Status --> [##########...........]  50%"},
      {40, 100, "Pangolin Car Export St[##########] 100%"},
      {40, 0, "Pangolin Car Export St[..........]   0%"},
      {18, 70, "[#######...]  70%"},
      {8, 10, "[]  10%"},
      {1, 10, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProgressBar::Line(title, c.percent, c.width), c.line) << c.width;
  }
}

}  // namespace
}  // namespace kiln::standalone
