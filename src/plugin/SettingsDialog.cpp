#include "plugin/SettingsDialog.h"

#include <algorithm>

#include "platform/Messages.h"

namespace kiln {

const int kExportFlagControlIds[kExportFlagCount] = {2004, 2006, 2001, 2003, 2000, 2002,
                                                     2007, 2008, 2009, 2011, 2010};

namespace {

constexpr int kSettingsDialogId = 2005;

using platform::ControlKind;

int FlagIndexOfControl(int controlId) {
  const int* end = std::end(kExportFlagControlIds);
  const int* found = std::find(std::begin(kExportFlagControlIds), end, controlId);
  return found == end ? -1 : static_cast<int>(found - std::begin(kExportFlagControlIds));
}

}  // namespace

const platform::DialogTemplate& SettingsDialogTemplate() {
  static const platform::DialogTemplate dialog{
      kSettingsDialogId,
      "Pangolin Exporter Settings",
      "MS Shell Dlg",
      8,
      315,
      221,
      {
          {ControlKind::DefaultPushButton, platform::IDOK, "OK", 258, 7, 50, 14},
          {ControlKind::PushButton, platform::IDCANCEL, "Cancel", 258, 24, 50, 14},
          {ControlKind::CheckBox, 2000, "Animations", 29, 35, 51, 10, true},
          {ControlKind::CheckBox, 2001, "Cameras", 21, 56, 44, 10},
          {ControlKind::CheckBox, 2002, "Helpers", 25, 77, 40, 10},
          {ControlKind::CheckBox, 2003, "Lights", 29, 103, 35, 10},
          {ControlKind::CheckBox, 2004, "Meshes", 32, 126, 40, 10},
          {ControlKind::CheckBox, 2006, "Shapes", 32, 143, 39, 10},
          {ControlKind::CheckBox, 2007, "Bones", 94, 46, 35, 10},
          {ControlKind::CheckBox, 2008, "Warnings", 111, 80, 46, 10},
          {ControlKind::CheckBox, 2009, "Errors", 99, 104, 35, 10},
          {ControlKind::CheckBox, 2011, "Sample Animations", 93, 155, 75, 10},
          {ControlKind::CheckBox, 2010, "Copy Textures", 211, 114, 63, 10},
      }};
  return dialog;
}

bool RunSettingsDialog(ExportSettings& settings) {
  const platform::DialogTemplate& dialog = SettingsDialogTemplate();
  platform::DialogState shown;
  for (const platform::DialogControl& control : dialog.controls) {
    int flag = FlagIndexOfControl(control.id);
    if (control.kind != ControlKind::CheckBox || flag < 0) continue;
    shown.checks.emplace_back(control.id, settings.*kExportFlags[flag] != 0 ? 1 : 0);
  }

  platform::DialogState edited = shown;
  if (platform::DoModal(dialog, edited) != platform::IDOK) return false;

  ExportSettings confirmed = settings;
  for (const platform::DialogControl& control : dialog.controls) {
    int flag = FlagIndexOfControl(control.id);
    if (control.kind != ControlKind::CheckBox || flag < 0) continue;
    auto byId = [&control](const std::pair<int, int>& check) { return check.first == control.id; };
    // A box the handler did not hand back, or could not change, keeps its shown state.
    auto state = std::find_if(edited.checks.begin(), edited.checks.end(), byId);
    if (control.disabled || state == edited.checks.end()) {
      state = std::find_if(shown.checks.begin(), shown.checks.end(), byId);
    }
    confirmed.*kExportFlags[flag] = state->second != 0 ? 1 : 0;
  }
  settings = confirmed;
  return true;
}

}  // namespace kiln
