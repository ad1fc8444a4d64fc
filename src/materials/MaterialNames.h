#pragma once
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class Mtl;

namespace kiln {

// The unique names of the exported materials, in the order of registration
// (so that two exports of one scene write their materials in one order).
// A material keeps the first name it is given. Names are unique without
// regard to case: a later material whose name is taken gets "%s_%d" with the
// smallest free number from 2.
class MaterialNames {
 public:
  struct Entry {
    Mtl* material;  // null for the default material
    std::string name;
  };

  // Adds the material under name unless it is there already. When the name
  // was taken, the name given is returned in *taken and the entry holds the
  // new one. False when the material was there.
  bool Insert(Mtl* material, const std::string& name, std::string* taken = nullptr);
  // The material's name; null when it was never added.
  const std::string* Find(Mtl* material) const;
  bool Contains(Mtl* material) const { return index_.count(material) != 0; }
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
  std::unordered_map<Mtl*, size_t> index_;
  std::unordered_set<std::string> folded_;           // every name in lower case
  std::unordered_map<std::string, int> nextNumber_;  // by name in lower case
};

}  // namespace kiln
