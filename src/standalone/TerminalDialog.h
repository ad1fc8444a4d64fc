#pragma once
#include <cstdio>

#include "platform/Dialogs.h"

namespace kiln {

// Shows a dialog's check boxes as a numbered list on out and edits them with
// commands read from in: a number toggles that box (disabled boxes are marked
// and refuse), an empty line or "ok" confirms, "cancel", "c" or the end of the
// input cancels. Returns IDOK with the edited states in state, or IDCANCEL with
// state untouched.
int RunDialogOnTerminal(const platform::DialogTemplate& dialog, platform::DialogState& state,
                        std::FILE* in, std::FILE* out);

}  // namespace kiln
