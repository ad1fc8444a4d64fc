#include "scene/NodeHeader.h"

#include "host/INode.h"
#include "io/CZX9_DiskWriter.h"

namespace kiln {

int ParentHandle(INode* node) {
  INode* parent = node->GetParentNode();
  if (!parent || parent->IsRootNode()) return -1;
  return static_cast<int>(parent->GetHandle());
}

void WriteNodeHeader(CZX9_DiskWriter* writer, INode* node) {
  writer->WriteString(node->GetName());
  writer->WriteInt(static_cast<int>(node->GetHandle()));
  writer->WriteInt(ParentHandle(node));
}

}  // namespace kiln
