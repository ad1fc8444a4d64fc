#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/DebugOutput.h"

namespace kiln::platform {
namespace {

TEST(DebugOutput, reachesTheInstalledSinkOnly) {
  OutputDebugStringA("dropped without a sink");
  std::vector<std::string> lines;
  SetDebugOutputSink([&lines](const char* text) { lines.push_back(text); });
  OutputDebugStringA("mesh Box01: 12 faces\n");
  OutputDebugStringA(nullptr);
  SetDebugOutputSink(nullptr);
  OutputDebugStringA("dropped again");
  EXPECT_EQ(lines, std::vector<std::string>{"mesh Box01: 12 faces\n"});
}

}  // namespace
}  // namespace kiln::platform
