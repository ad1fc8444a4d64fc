#include "util/Trim.h"

namespace kiln {

std::string TrimLeft(std::string_view text, std::string_view set) {
  size_t first = text.find_first_not_of(set);
  return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string TrimRight(std::string_view text, std::string_view set) {
  size_t last = text.find_last_not_of(set);
  return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string Trim(std::string_view text, std::string_view set) {
  return TrimLeft(TrimRight(text, set), set);
}

}  // namespace kiln
