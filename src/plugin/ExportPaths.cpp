#include "plugin/ExportPaths.h"

#include "host/Files.h"
#include "platform/FileSystem.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {

bool FixFileName(const std::string& name, std::string* fixed) {
  *fixed = name;
  if (name.find_first_of(" /") == std::string::npos) return false;
  for (char& c : *fixed) {
    if (c == ' ')
      c = '_';
    else if (c == '/')
      c = '\\';
  }
  return true;
}

ExportPaths MakeExportPaths(const std::string& chosenName) {
  ExportPaths paths;
  std::string file, extension;
  SplitFilename(chosenName, &paths.folder, &file, &extension);
  if (FixFileName(file, &paths.fixedName)) {
    LogWarning(CurrentLog, "++ Invalid filename: %s converted to: %s", file.c_str(),
               paths.fixedName.c_str());
  }
  auto inFolder = [&](const std::string& name) {
    return paths.folder.empty() ? name : platform::JoinPath(paths.folder, name);
  };
  paths.base = inFolder(paths.fixedName);
  paths.output = paths.base + extension;
  paths.ini = paths.base + ".ini";
  paths.shaderIni = paths.base + "_shaders.ini";
  paths.cfg = paths.base + ".cfg";
  paths.textureFolder = inFolder("textures");
  paths.errorsLog = paths.base + "_errors.log";
  paths.warningsLog = paths.base + "_warnings.log";
  paths.informationsLog = paths.base + "_informations.log";
  return paths;
}

}  // namespace kiln
