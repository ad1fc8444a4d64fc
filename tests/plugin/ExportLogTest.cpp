#include <gtest/gtest.h>

#include <string>

#include "plugin/ExportLog.h"

namespace kiln {
namespace {

TEST(ExportLog, cutsLongMessagesTo1023Characters) {
  ExportLog log;
  std::string longText(1500, 'x');
  LogError(&log, "%s", longText.c_str());
  LogWarning(&log, "w %d", 3);
  LogInfo(&log, "i");
  ASSERT_EQ(log.Errors().size(), 1u);
  EXPECT_EQ(log.Errors()[0].size(), 1023u);
  EXPECT_EQ(log.Warnings()[0], "w 3");
  EXPECT_EQ(log.Informations()[0], "i");
  log.Clear();
  EXPECT_TRUE(log.Errors().empty());
  LogError(nullptr, "dropped");
}

}  // namespace
}  // namespace kiln
