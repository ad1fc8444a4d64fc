#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/Messages.h"
#include "standalone/TerminalDialog.h"

namespace kiln {
namespace {

using Checks = std::vector<std::pair<int, int>>;

const platform::DialogTemplate kDialog{
    7,
    "Settings",
    "MS Shell Dlg",
    8,
    100,
    100,
    {{platform::ControlKind::DefaultPushButton, 1, "OK", 0, 0, 10, 10},
     {platform::ControlKind::CheckBox, 20, "Fixed", 0, 0, 10, 10, true},
     {platform::ControlKind::CheckBox, 21, "Meshes", 0, 0, 10, 10},
     {platform::ControlKind::CheckBox, 22, "Lights", 0, 0, 10, 10}}};

struct Session {
  int result;
  Checks checks;
  std::string screen;
};

// Runs the dialog with input typed at it.
Session Type(const std::string& input) {
  platform::DialogState state{{{20, 1}, {21, 0}, {22, 1}}};
  std::FILE* in = std::tmpfile();
  std::fputs(input.c_str(), in);
  std::rewind(in);
  char* text = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  int result = RunDialogOnTerminal(kDialog, state, in, out);
  std::fclose(in);
  std::fclose(out);
  Session session{result, state.checks, std::string(text, size)};
  std::free(text);
  return session;
}

TEST(TerminalDialog, togglesNumberedBoxesAndConfirms) {
  Session session = Type("2\n 3 \n1\n\n");
  EXPECT_EQ(session.result, platform::IDOK);
  EXPECT_EQ(session.checks, (Checks{{20, 1}, {21, 1}, {22, 0}}));
  EXPECT_NE(session.screen.find("Settings\n 1 [x] Fixed (fixed)\n 2 [ ] Meshes\n 3 [x] Lights\n"),
            std::string::npos);
  EXPECT_NE(session.screen.find("Fixed cannot be changed"), std::string::npos);
  EXPECT_NE(session.screen.find(" 2 [x] Meshes\n 3 [ ] Lights\n"), std::string::npos);

  EXPECT_EQ(Type("2\nOK\n").checks, (Checks{{20, 1}, {21, 1}, {22, 1}}));
}

TEST(TerminalDialog, cancelAndEndOfInputLeaveStatesAlone) {
  for (const char* input : {"2\n3\nc\n", "2\ncancel\n", "2\n3", ""}) {
    Session session = Type(input);
    EXPECT_EQ(session.result, platform::IDCANCEL) << input;
    EXPECT_EQ(session.checks, (Checks{{20, 1}, {21, 0}, {22, 1}})) << input;
  }
  Session junk = Type("0\n4\n-1\n2x\n99999999999999999999\nyes\n\n");
  EXPECT_EQ(junk.result, platform::IDOK);
  EXPECT_EQ(junk.checks, (Checks{{20, 1}, {21, 0}, {22, 1}}));
  EXPECT_NE(junk.screen.find("Unknown command: 2x"), std::string::npos);
}

}  // namespace
}  // namespace kiln
