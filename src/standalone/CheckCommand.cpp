#include "standalone/CheckCommand.h"

#include <cstdio>
#include <filesystem>

#include "standalone/ExitCodes.h"
#include "standalone/ExportCommand.h"
#include "standalone/SceneFile.h"

namespace kiln::standalone {
namespace fs = std::filesystem;

int RunCheckCommand(const std::vector<std::string>& scenes) {
  for (const std::string& scene : scenes) {
    std::error_code error;
    if (!fs::is_regular_file(scene, error)) {
      std::fprintf(stderr, "kiln: File does not exist: %s\n", scene.c_str());
      return kExitUsage;
    }
  }
  int code = kExitSuccess;
  for (const std::string& scene : scenes) {
    std::vector<SceneFileProblem> problems;
    try {
      std::unique_ptr<Scene> loaded = LoadSceneFile(scene);
      // The export needs the configuration folder a scene names.
      std::string problem =
          loaded->pluginConfigDir.empty() ? "" : FolderProblem(loaded->pluginConfigDir);
      if (!problem.empty())
        problems.push_back(
            {"/pluginConfigDir", "the folder " + loaded->pluginConfigDir.string() + " " + problem});
    } catch (const SceneLoadError& failure) {
      problems = failure.Problems();
    }
    for (const SceneFileProblem& problem : problems) {
      std::printf("%s: %s%s\n", scene.c_str(),
                  problem.path.empty() ? "" : (problem.path + ": ").c_str(),
                  problem.message.c_str());
    }
    std::fflush(stdout);
    if (problems.empty()) {
      std::fprintf(stderr, "kiln: %s: no problems\n", scene.c_str());
    } else {
      std::fprintf(stderr, "kiln: %s: %zu problem%s\n", scene.c_str(), problems.size(),
                   problems.size() == 1 ? "" : "s");
      code = kExitFailure;
    }
  }
  return code;
}

}  // namespace kiln::standalone
