#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace kiln::standalone {

// The kinds of file, by extension, in words: ".zqs scene, .zqh human
// character, ..." for the extensions the module knows.
std::string DescribeExtensions(const std::vector<std::string>& extensions);
// "zqs, zqh, zqc, zqa".
std::string JoinExtensions(const std::vector<std::string>& extensions);

// What is wrong with an output name's extension, empty when a known one:
// a missing extension, one in the wrong case (extensions are case-sensitive),
// or an unknown one.
std::string ExtensionProblem(const std::filesystem::path& output,
                             const std::vector<std::string>& extensions);
// The same for a kind given as an extension ("zqc").
std::string KindProblem(const std::string& kind, const std::vector<std::string>& extensions);

// A scene's name without its extension: "car" for "cars/car.kscene.json"
// and for "car.glb".
std::string SceneStem(const std::filesystem::path& scene);

}  // namespace kiln::standalone
