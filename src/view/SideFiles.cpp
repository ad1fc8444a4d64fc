#include "view/SideFiles.h"

#include <filesystem>
#include <fstream>

namespace kiln::view {

std::vector<SideFile> ReadSideFiles(const std::string& exportedFile, size_t maxBytes) {
  static const std::pair<const char*, const char*> kSuffixes[] = {
      {"ini", ".ini"},
      {"shaders", "_shaders.ini"},
      {"cfg", ".cfg"},
      {"errors", "_errors.log"},
      {"warnings", "_warnings.log"},
      {"informations", "_informations.log"}};
  const std::filesystem::path path(exportedFile);
  std::vector<SideFile> files;
  for (const auto& [role, suffix] : kSuffixes) {
    const std::filesystem::path side = path.parent_path() / (path.stem().string() + suffix);
    std::error_code error;
    if (!std::filesystem::is_regular_file(side, error)) continue;
    std::ifstream in(side, std::ios::binary);
    if (!in) continue;
    SideFile file{role, side.filename().string(), std::string(maxBytes, '\0')};
    in.read(file.text.data(), static_cast<std::streamsize>(maxBytes));
    file.text.resize(static_cast<size_t>(in.gcount()));
    if (in.gcount() == static_cast<std::streamsize>(maxBytes) && in.peek() != EOF) {
      file.text += "\n[... cut: the file is longer than " + std::to_string(maxBytes) + " bytes]";
    }
    files.push_back(std::move(file));
  }
  return files;
}

}  // namespace kiln::view
