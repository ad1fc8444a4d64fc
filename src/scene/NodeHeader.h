#pragma once

class INode;

namespace kiln {

class CZX9_DiskWriter;

// Handle of the node's parent, -1 under the scene root.
int ParentHandle(INode* node);
// Name, handle and parent handle: the start of every node chunk.
void WriteNodeHeader(CZX9_DiskWriter* writer, INode* node);

}  // namespace kiln
