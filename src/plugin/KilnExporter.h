#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/Plugin.h"
#include "plugin/ExportKind.h"

class INode;

namespace kiln {

class CZX9_DiskWriter;
class KilnAnimationExporter;
class MaterialExporter;

// The user properties of one node.
struct UserPropertyRecord {
  int32_t handle = 0;
  std::vector<std::pair<std::string, std::string>> pairs;
};

// The scene exporter the host creates through the class descriptor.
class KilnExporter : public SceneExport {
 public:
  KilnExporter();
  ~KilnExporter() override;

  int ExtCount() override;
  const char* Ext(int n) override;
  const char* LongDesc() override;
  const char* ShortDesc() override;
  const char* AuthorName() override;
  const char* CopyrightMessage() override;
  const char* OtherMessage1() override;
  const char* OtherMessage2() override;
  unsigned int Version() override;
  void ShowAbout(void* hWnd) override;
  int DoExport(const char* name, ExpInterface* ei, Interface* ip, int suppressPrompts,
               uint32_t options) override;
  bool SupportsOptions(int ext, uint32_t options) override;

  // The export walks: 0 to go on, 2 when cancelled.
  int ExportSceneNode(INode* node);
  int ExportCarNode(INode* node);
  int ExportAnimationNode(INode* node);

  // Fields of the current export, in the order the drivers fill them.
  std::vector<UserPropertyRecord> userProperties;
  std::unique_ptr<CZX9_DiskWriter> writer;
  std::unique_ptr<KilnAnimationExporter> animationExporter;
  int exportSelectedOnly = 0;
  Interface* ip = nullptr;
  ExportKind exportKind = kExportScene;
  std::unique_ptr<MaterialExporter> materialExporter;
};

}  // namespace kiln
