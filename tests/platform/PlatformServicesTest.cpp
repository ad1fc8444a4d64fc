#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/DebugOutput.h"
#include "platform/Dialogs.h"
#include "platform/Messages.h"

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

TEST(Dialogs, withoutHandlerConfirmsUnchangedOtherwiseAsksIt) {
  DialogTemplate dialog{1, "Title", "MS Shell Dlg", 8, 100, 50, {}};
  DialogState state{{{10, 1}, {11, 0}}};
  EXPECT_EQ(DoModal(dialog, state), IDOK);
  EXPECT_EQ(state.checks, (std::vector<std::pair<int, int>>{{10, 1}, {11, 0}}));

  SetDialogHandler([](const DialogTemplate& shown, DialogState& edited) {
    EXPECT_EQ(shown.title, "Title");
    edited.checks[1].second = 1;
    return IDCANCEL;
  });
  EXPECT_EQ(DoModal(dialog, state), IDCANCEL);
  EXPECT_EQ(state.checks[1].second, 1);
  SetDialogHandler(nullptr);
}

}  // namespace
}  // namespace kiln::platform
