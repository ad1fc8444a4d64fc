#pragma once
#include <string>

namespace kiln {

// Every file name of one export, derived from the name the artist chose.
struct ExportPaths {
  std::string folder;         // folder of the chosen name
  std::string fixedName;      // file name without extension, blanks and '/' replaced
  std::string base;           // folder + fixed name
  std::string output;         // base + extension
  std::string ini;            // base + ".ini"
  std::string shaderIni;      // base + "_shaders.ini"
  std::string cfg;            // base + ".cfg"
  std::string textureFolder;  // folder + "textures"
  std::string errorsLog;
  std::string warningsLog;
  std::string informationsLog;
};

// Replaces every blank with '_' and every '/' with '\'; true when it changed anything.
bool FixFileName(const std::string& name, std::string* fixed);

// Splits the chosen name, fixes its file part (logging the warning
// "++ Invalid filename: %s converted to: %s" when it changes) and builds the names.
ExportPaths MakeExportPaths(const std::string& chosenName);

}  // namespace kiln
