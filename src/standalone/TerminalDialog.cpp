#include "standalone/TerminalDialog.h"

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Messages.h"

namespace kiln {
namespace {

struct Box {
  const platform::DialogControl* control;
  int* state;
};

// A line of input without its line end and surrounding blanks, in lower case;
// false at the end of the input.
bool ReadCommand(std::FILE* in, std::string& command) {
  command.clear();
  int c;
  while ((c = std::fgetc(in)) != EOF && c != '\n') command.push_back(static_cast<char>(c));
  if (c == EOF && command.empty()) return false;
  size_t first = command.find_first_not_of(" \t\r");
  size_t last = command.find_last_not_of(" \t\r");
  command = first == std::string::npos ? std::string() : command.substr(first, last - first + 1);
  for (char& ch : command) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return true;
}

void Show(const platform::DialogTemplate& dialog, const std::vector<Box>& boxes, std::FILE* out) {
  std::fprintf(out, "%s\n", dialog.title.c_str());
  for (size_t i = 0; i < boxes.size(); ++i) {
    std::fprintf(out, "%2zu [%c] %s%s\n", i + 1, *boxes[i].state ? 'x' : ' ',
                 boxes[i].control->label.c_str(), boxes[i].control->disabled ? " (fixed)" : "");
  }
  std::fprintf(out, "Number to toggle, Enter or ok to confirm, c to cancel: ");
  std::fflush(out);
}

}  // namespace

int RunDialogOnTerminal(const platform::DialogTemplate& dialog, platform::DialogState& state,
                        std::FILE* in, std::FILE* out) {
  platform::DialogState edited = state;
  std::vector<Box> boxes;
  for (const platform::DialogControl& control : dialog.controls) {
    if (control.kind != platform::ControlKind::CheckBox) continue;
    for (auto& [id, checked] : edited.checks) {
      if (id == control.id) boxes.push_back({&control, &checked});
    }
  }

  Show(dialog, boxes, out);
  std::string command;
  while (ReadCommand(in, command)) {
    if (command.empty() || command == "ok") {
      state = std::move(edited);
      return platform::IDOK;
    }
    if (command == "c" || command == "cancel") break;
    char* end = nullptr;
    long number = std::strtol(command.c_str(), &end, 10);
    if (*end != '\0' || number < 1 || number > static_cast<long>(boxes.size())) {
      std::fprintf(out, "Unknown command: %s\n", command.c_str());
    } else if (boxes[number - 1].control->disabled) {
      std::fprintf(out, "%s cannot be changed\n", boxes[number - 1].control->label.c_str());
    } else {
      *boxes[number - 1].state = !*boxes[number - 1].state;
    }
    Show(dialog, boxes, out);
  }
  std::fprintf(out, "\n");
  return platform::IDCANCEL;
}

}  // namespace kiln
