#pragma once
#include <stdexcept>
#include <string>
#include <vector>

namespace kiln::standalone {

// One reason a scene file was refused: where (a JSON pointer such as
// "/nodes/3/mesh/faces/7/v/2", empty for the file as a whole) and what was
// expected.
struct SceneFileProblem {
  std::string path;
  std::string message;
};

// A scene file that could not be loaded. Loading is all or nothing: when this
// is thrown no scene exists. what() reads "FILE: PATH: MESSAGE", one line per
// problem.
class SceneLoadError : public std::runtime_error {
 public:
  SceneLoadError(std::string file, std::vector<SceneFileProblem> problems);
  const std::string& File() const { return file_; }
  const std::vector<SceneFileProblem>& Problems() const { return problems_; }

 private:
  std::string file_;
  std::vector<SceneFileProblem> problems_;
};

}  // namespace kiln::standalone
