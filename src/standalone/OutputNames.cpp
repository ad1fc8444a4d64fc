#include "standalone/OutputNames.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace kiln::standalone {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The problem with an extension (without its dot) that is not empty.
std::string ExtensionTextProblem(const std::string& extension, const std::string& shown,
                                 const std::vector<std::string>& extensions) {
  if (std::find(extensions.begin(), extensions.end(), extension) != extensions.end()) return {};
  for (const std::string& known : extensions) {
    if (Lower(known) == Lower(extension)) {
      return shown + ": extensions are case-sensitive: use '." + known + "', not '." + extension +
             "'";
    }
  }
  return "no exporter writes '." + extension +
         "' files; known extensions: " + JoinExtensions(extensions) + " (" +
         DescribeExtensions(extensions) + ")";
}

}  // namespace

std::string DescribeExtensions(const std::vector<std::string>& extensions) {
  static const std::map<std::string, const char*> kinds = {
      {"zqs", "scene"}, {"zqh", "human character"}, {"zqc", "car"}, {"zqa", "animation"}};
  std::string text;
  for (const std::string& ext : extensions) {
    auto kind = kinds.find(ext);
    text += (text.empty() ? "." : ", .") + ext;
    if (kind != kinds.end()) text += std::string(" ") + kind->second;
  }
  return text;
}

std::string JoinExtensions(const std::vector<std::string>& extensions) {
  std::string text;
  for (const std::string& ext : extensions) text += (text.empty() ? "" : ", ") + ext;
  return text;
}

std::string ExtensionProblem(const std::filesystem::path& output,
                             const std::vector<std::string>& extensions) {
  std::string extension = output.extension().string();
  if (extension.size() <= 1) {
    return output.string() + " has no extension, and the extension picks the kind of file: " +
           DescribeExtensions(extensions);
  }
  return ExtensionTextProblem(extension.substr(1), output.string(), extensions);
}

std::string KindProblem(const std::string& kind, const std::vector<std::string>& extensions) {
  std::string extension = !kind.empty() && kind[0] == '.' ? kind.substr(1) : kind;
  if (extension.empty()) return "is empty: give one of " + DescribeExtensions(extensions);
  return ExtensionTextProblem(extension, kind, extensions);
}

std::string SceneStem(const std::filesystem::path& scene) {
  std::string name = scene.filename().string();
  constexpr std::string_view kSceneExtension = ".kscene.json";
  if (name.size() > kSceneExtension.size() &&
      name.compare(name.size() - kSceneExtension.size(), kSceneExtension.size(), kSceneExtension) ==
          0) {
    return name.substr(0, name.size() - kSceneExtension.size());
  }
  return scene.stem().string();
}

}  // namespace kiln::standalone
