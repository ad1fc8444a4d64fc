#include "standalone/SceneLoadError.h"

namespace kiln::standalone {
namespace {

std::string Text(const std::string& file, const std::vector<SceneFileProblem>& problems) {
  std::string text;
  for (const SceneFileProblem& problem : problems) {
    if (!text.empty()) text += '\n';
    text += file + ": ";
    if (!problem.path.empty()) text += problem.path + ": ";
    text += problem.message;
  }
  return text.empty() ? file + ": cannot be loaded" : text;
}

}  // namespace

SceneLoadError::SceneLoadError(std::string file, std::vector<SceneFileProblem> problems)
    : std::runtime_error(Text(file, problems)),
      file_(std::move(file)),
      problems_(std::move(problems)) {}

}  // namespace kiln::standalone
