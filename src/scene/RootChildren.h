#pragma once
#include <functional>

class INode;
class Interface;

namespace kiln {

// Runs walk on every child of root in index order under the progress bar:
// child i shows i * 100 / (n - 1) percent (0 for a single child). Stops when
// the artist cancels or when walk returns 2.
void ForEachRootChild(Interface* ip, INode* root, const std::function<int(INode*)>& walk);

}  // namespace kiln
