#pragma once
#include <functional>
#include <string>
#include <vector>

// Modal dialogs described by data, shown by a handler the host installs.
namespace kiln::platform {

enum class ControlKind { DefaultPushButton, PushButton, CheckBox };

struct DialogControl {
  ControlKind kind;
  int id;
  std::string label;
  int x, y, width, height;
  bool disabled = false;
};

struct DialogTemplate {
  int resourceId;
  std::string title;
  std::string fontName;
  int fontSize;
  int width, height;
  std::vector<DialogControl> controls;
};

// The dialog is shown with the given check-box states (by control id, in the
// template's control order, one per check box). The handler returns IDOK or
// IDCANCEL and, on IDOK, the edited states.
struct DialogState {
  std::vector<std::pair<int, int>> checks;  // (control id, 0 or 1)
};
using DialogHandler = std::function<int(const DialogTemplate&, DialogState&)>;

// Without a handler a dialog is confirmed unchanged.
void SetDialogHandler(DialogHandler handler);
int DoModal(const DialogTemplate& dialog, DialogState& state);

}  // namespace kiln::platform
