#pragma once

class INode;
class Interface;

namespace kiln {

constexpr const char* kCarCentreName = "p_CenterOfCar";

// One of the twelve car attachment points ("Point_engine", ...), compared
// without regard to case.
bool IsCarAttachmentPoint(const char* name);

// The node's "Pos" entry (and its "Normal" entry) in the .ini file, in the
// section named after the node: its local transform at the start of the
// animation range, in output axes.
void WriteCarPointEntries(INode* node, Interface* ip, bool withNormal);

}  // namespace kiln
