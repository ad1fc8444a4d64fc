#pragma once
#include "platform/Dialogs.h"
#include "plugin/ExportSettings.h"

namespace kiln {

// The settings dialog (resource 2005): OK, Cancel and one automatic check box
// per flag; the Animations box is shown but disabled.
const platform::DialogTemplate& SettingsDialogTemplate();

// The control id of the check box of each flag, in file order.
extern const int kExportFlagControlIds[kExportFlagCount];

// Shows the dialog modally with the check boxes set from settings. On OK the
// eleven boxes are copied back (as 0 or 1) and true is returned; on Cancel the
// settings are left as they were. A disabled box keeps the state it was shown
// with, whatever the dialog hands back.
bool RunSettingsDialog(ExportSettings& settings);

}  // namespace kiln
