#include "materials/TextureCopies.h"

#include <cctype>
#include <cerrno>
#include <filesystem>

#include "platform/FileSystem.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {
namespace {

std::string Folded(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

// A name that cannot be a file in the texture folder.
bool IsCopyableName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find(':') == std::string::npos;
}

// "wood.png" numbered n: "wood_n.png".
std::string Numbered(const std::string& name, int n) {
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) dot = name.size();
  std::string numbered = name.substr(0, dot);
  numbered += '_';
  numbered += std::to_string(n);
  numbered += name.substr(dot);
  return numbered;
}

}  // namespace

std::string TextureCopies::Place(const std::string& source, const std::string& fixedName,
                                 bool copy) {
  const std::string key = std::filesystem::path(source).lexically_normal().string();
  if (auto known = nameBySource_.find(key); known != nameBySource_.end()) return known->second;

  std::string name = fixedName;
  if (!IsCopyableName(name)) {
    if (copy) {
      const std::string target = platform::JoinPath(TextureFolder, name);
      LogWarning(CurrentLog, "error copying texture: %s to %s\n%s", source.c_str(), target.c_str(),
                 platform::SystemErrorText(EINVAL).c_str());
    }
    nameBySource_.emplace(key, name);
    return name;
  }
  if (auto other = sourceByName_.find(Folded(name)); other != sourceByName_.end()) {
    if (copy) {
      int n = 2;
      while (sourceByName_.count(Folded(Numbered(fixedName, n)))) ++n;
      name = Numbered(fixedName, n);
      LogWarning(CurrentLog, "++ Texture name clash: %s copied as: %s", source.c_str(),
                 name.c_str());
    } else {
      LogWarning(CurrentLog, "++ Texture name clash: %s and %s are both named %s",
                 other->second.c_str(), source.c_str(), name.c_str());
    }
  }
  sourceByName_.emplace(Folded(name), source);
  nameBySource_.emplace(key, name);
  if (copy) Copy(source, name);
  return name;
}

void TextureCopies::Copy(const std::string& source, const std::string& name) {
  const std::string target = platform::JoinPath(TextureFolder, name);
  std::error_code error;
  if (std::filesystem::equivalent(source, target, error)) return;  // already in place
  if (!folderMade_) folderMade_ = platform::CreateFolder(TextureFolder);
  if (!platform::CopyFileA(source.c_str(), target.c_str(), false)) {
    LogWarning(CurrentLog, "error copying texture: %s to %s\n%s", source.c_str(), target.c_str(),
               platform::SystemErrorText(platform::GetLastError()).c_str());
  }
}

}  // namespace kiln
