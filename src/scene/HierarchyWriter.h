#pragma once

class INode;
class Interface;

namespace kiln {

class CZX9_DiskWriter;

// The node hierarchy chunk (18, 0, 1): the number of entries, then one entry
// (19, 47|48|49, 1) per exported node (name, handle, parent handle, local
// transform at time 0, node type). Hidden subtrees are left out.
void WriteHierarchy(CZX9_DiskWriter* writer, Interface* ip, INode* root);

}  // namespace kiln
