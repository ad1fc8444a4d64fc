#include <memory>

#include "animation/KilnAnimationExporter.h"
#include "host/Files.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "host/Plugin.h"
#include "io/CZX9_DiskWriter.h"
#include "io/DriverSteps.h"
#include "io/Drivers.h"
#include "io/ProgressWindow.h"
#include "platform/FileSystem.h"
#include "plugin/ExportSettings.h"
#include "plugin/KilnExporter.h"
#include "scene/RootChildren.h"

namespace kiln {

// The animation file holds the banner, the animation range and the tracks of
// the walk; samples of sampled transforms go to the stream file beside it.
int RunAnimationDriver(KilnExporter& exporter, const std::string& outputName, ExpInterface*,
                       Interface* ip, int suppressPrompts, uint32_t options) {
  if (!ConfirmSettings(ip, suppressPrompts)) return 0;
  exporter.exportSelectedOnly = (options & SCENE_EXPORT_SELECTED) ? 1 : 0;

  std::string folder, baseName;
  SplitFilename(outputName, &folder, &baseName, nullptr);
  std::string streamName =
      (folder.empty() ? baseName : platform::JoinPath(folder, baseName)) + ".str";

  exporter.writer = OpenOutputFile(outputName);
  auto streamWriter = std::make_unique<CZX9_DiskWriter>();
  streamWriter->Open(streamName.c_str());

  ProgressWindow progress(ip, "Kiln Animation Export status --> ");
  WriteAnimationRange(exporter.writer.get(), ip);
  exporter.animationExporter =
      std::make_unique<KilnAnimationExporter>(streamWriter.get(), exporter.writer.get(), ip);
  exporter.animationExporter->SetSampleAnimations(Settings.sampleAnimations != 0);

  ForEachRootChild(ip, ip->GetRootNode(),
                   [&](INode* child) { return exporter.ExportAnimationNode(child); });

  progress.End();
  // Both files are complete before either replaces an earlier one, so a
  // failure keeps the earlier animation file and stream together.
  exporter.writer->Finish();
  streamWriter->Finish();
  streamWriter->Close();
  exporter.writer->Close();
  exporter.animationExporter.reset();
  exporter.writer.reset();
  return 1;
}

}  // namespace kiln
