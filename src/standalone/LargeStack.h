#pragma once
#include <cstddef>
#include <functional>

namespace kiln::standalone {

// Runs work to its end on a thread of its own with a stack of stackBytes,
// and returns when it is done. The exporter's walks recurse once per level
// of the node tree, as a host's user-interface thread would run them; deep
// (valid) trees then need more than a default stack.
void RunWithLargeStack(const std::function<void()>& work, size_t stackBytes = size_t{1} << 30);

}  // namespace kiln::standalone
