#include "materials/MaterialNames.h"

#include <cctype>

namespace kiln {
namespace {

std::string Folded(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

}  // namespace

bool MaterialNames::Insert(Mtl* material, const std::string& name, std::string* taken) {
  if (index_.count(material)) return false;
  std::string unique = name;
  if (folded_.count(Folded(unique))) {
    // Numbers below the last one given for this name are all taken.
    int& n = nextNumber_.try_emplace(Folded(name), 2).first->second;
    for (;; ++n) {
      unique = name + "_" + std::to_string(n);
      if (!folded_.count(Folded(unique))) break;
    }
    if (taken) *taken = name;
  }
  folded_.insert(Folded(unique));
  index_.emplace(material, entries_.size());
  entries_.push_back({material, std::move(unique)});
  return true;
}

const std::string* MaterialNames::Find(Mtl* material) const {
  auto it = index_.find(material);
  return it == index_.end() ? nullptr : &entries_[it->second].name;
}

}  // namespace kiln
