#include "platform/Dialogs.h"

#include "platform/Messages.h"

namespace kiln::platform {
namespace {

DialogHandler& Handler() {
  static DialogHandler handler;
  return handler;
}

}  // namespace

void SetDialogHandler(DialogHandler handler) {
  Handler() = std::move(handler);
}

int DoModal(const DialogTemplate& dialog, DialogState& state) {
  const DialogHandler& handler = Handler();
  return handler ? handler(dialog, state) : IDOK;
}

}  // namespace kiln::platform
