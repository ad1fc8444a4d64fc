#pragma once

class INode;

namespace kiln {

// Gives every node whose name was met before in a depth-first walk from root
// the name "%s_%d" (its name and the number of nodes met before it), logging
// "Change colliding name: %s to %s_%d". A new name that another node already
// carries takes the next free number, so names are unique afterwards.
void ResolveNameCollisions(INode* root);

}  // namespace kiln
