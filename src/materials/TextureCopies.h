#pragma once
#include <string>
#include <unordered_map>

namespace kiln {

// The texture files of one export and the names they have in the texture
// folder. Two different files with one name are told apart: with copying on
// the later one is copied as "name_2.ext" (the smallest free number), with
// copying off it keeps its name and a warning says which files clash. A file
// used again keeps the name it was given first and is copied once.
class TextureCopies {
 public:
  // The name under which the bitmap at source (whose fixed file part is
  // fixedName) is recorded; copies it into TextureFolder when copy is set.
  std::string Place(const std::string& source, const std::string& fixedName, bool copy);

 private:
  void Copy(const std::string& source, const std::string& name);

  std::unordered_map<std::string, std::string> nameBySource_;
  std::unordered_map<std::string, std::string> sourceByName_;  // by name in lower case
  bool folderMade_ = false;
};

}  // namespace kiln
