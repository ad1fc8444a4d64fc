#pragma once
#include <string>
#include <string_view>

namespace kiln {

// The text without the leading, trailing, or leading and trailing characters
// that belong to set.
std::string TrimLeft(std::string_view text, std::string_view set);
std::string TrimRight(std::string_view text, std::string_view set);
std::string Trim(std::string_view text, std::string_view set);

}  // namespace kiln
