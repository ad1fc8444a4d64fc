#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "platform/Messages.h"
#include "plugin/SettingsDialog.h"

namespace kiln {
namespace {

using Checks = std::vector<std::pair<int, int>>;

TEST(SettingsDialog, templateHoldsTheElevenFlagBoxes) {
  const platform::DialogTemplate& dialog = SettingsDialogTemplate();
  EXPECT_EQ(std::tie(dialog.resourceId, dialog.title, dialog.fontName, dialog.fontSize,
                     dialog.width, dialog.height),
            std::make_tuple(2005, "Pangolin Exporter Settings", "MS Shell Dlg", 8, 315, 221));
  ASSERT_EQ(dialog.controls.size(), 13u);
  EXPECT_EQ(dialog.controls[0].kind, platform::ControlKind::DefaultPushButton);
  EXPECT_EQ(dialog.controls[0].id, platform::IDOK);
  EXPECT_EQ(dialog.controls[1].id, platform::IDCANCEL);

  std::set<int> boxIds;
  for (const platform::DialogControl& control : dialog.controls) {
    if (control.kind != platform::ControlKind::CheckBox) continue;
    boxIds.insert(control.id);
    EXPECT_EQ(control.disabled, control.id == 2000) << control.label;
  }
  EXPECT_EQ(boxIds,
            std::set<int>(std::begin(kExportFlagControlIds), std::end(kExportFlagControlIds)));
  const platform::DialogControl& sample = dialog.controls[11];
  EXPECT_EQ(sample.label, "Sample Animations");
  EXPECT_EQ(sample.id, 2011);
  EXPECT_EQ((std::vector<int>{sample.x, sample.y, sample.width, sample.height}),
            (std::vector<int>{93, 155, 75, 10}));
}

class SettingsDialogRun : public ::testing::Test {
 protected:
  void TearDown() override { platform::SetDialogHandler(nullptr); }
};

TEST_F(SettingsDialogRun, opensWithCurrentValuesAndCopiesBackOnOk) {
  ExportSettings settings;
  settings.meshes = 0;
  settings.copyTextures = 7;  // any nonzero value shows as checked
  Checks shown;
  platform::SetDialogHandler(
      [&shown](const platform::DialogTemplate&, platform::DialogState& state) {
        shown = state.checks;
        for (auto& check : state.checks)
          check.second = !check.second;  // the artist flips every box
        return platform::IDOK;
      });
  EXPECT_TRUE(RunSettingsDialog(settings));
  // Template order: Animations, Cameras, Helpers, Lights, Meshes, Shapes, Bones,
  // Warnings, Errors, Sample Animations, Copy Textures.
  EXPECT_EQ(shown, (Checks{{2000, 1},
                           {2001, 1},
                           {2002, 1},
                           {2003, 1},
                           {2004, 0},
                           {2006, 1},
                           {2007, 1},
                           {2008, 1},
                           {2009, 1},
                           {2011, 0},
                           {2010, 1}}));
  ExportSettings expected{1, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};  // Animations is disabled
  EXPECT_EQ(settings, expected);
}

TEST_F(SettingsDialogRun, cancelKeepsSettingsAndMissingAnswersKeepShownState) {
  ExportSettings settings{0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 5};
  const ExportSettings before = settings;
  platform::SetDialogHandler([](const platform::DialogTemplate&, platform::DialogState& state) {
    for (auto& check : state.checks) check.second = 1;
    return platform::IDCANCEL;
  });
  EXPECT_FALSE(RunSettingsDialog(settings));
  EXPECT_EQ(settings, before);

  // A handler that hands back only some boxes changes only those.
  platform::SetDialogHandler([](const platform::DialogTemplate&, platform::DialogState& state) {
    state.checks = {{2004, 1}, {2000, 1}, {9999, 1}};
    return platform::IDOK;
  });
  EXPECT_TRUE(RunSettingsDialog(settings));
  EXPECT_EQ(settings, (ExportSettings{1, 1, 0, 1, 0, 1, 0, 1, 0, 1, 1}));

  // Without a handler the dialog is confirmed unchanged.
  platform::SetDialogHandler(nullptr);
  EXPECT_TRUE(RunSettingsDialog(settings));
  EXPECT_EQ(settings, (ExportSettings{1, 1, 0, 1, 0, 1, 0, 1, 0, 1, 1}));
}

}  // namespace
}  // namespace kiln
