#pragma once
#include <string_view>

namespace kiln {

// True when name starts with prefix, compared without regard to (ASCII) case.
bool HasPrefix(std::string_view name, std::string_view prefix);
// Equality without regard to (ASCII) case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace kiln
