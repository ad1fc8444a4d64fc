#pragma once
#include "host/Quat.h"

class Control;
class IIKControl;
class ILookAtConstRotation;
class INode;
class Interface;

namespace kiln {

class CZX9_DiskWriter;
class KeyBlockWriter;

enum class IKChainTrack {
  kWritten,     // the (12, 20, 1) chunk
  kNoChain,     // the node's transform controller gives no IK chain interface
  kNotWritten,  // an unsupported solver or an incomplete chain, logged as an error
};

// The IK chain (12, 20, 1) of an IK chain object's node: the chain's node,
// start, middle and end joints (names and handles) and the distances between
// the joints' world positions at the start of the animation range. Nothing
// is written unless the result is kWritten.
IKChainTrack WriteIKChain(CZX9_DiskWriter* writer, Interface* ip, INode* node);

// The IK-controlled transform (7, 34, 1): the name of the last IK chain that
// turns the node, or "no chain found".
void WriteIKController(CZX9_DiskWriter* writer, IIKControl* ik);

// The look-at body (9, 30, 1) with the constraint's targets, weights and
// settings (axes in output order); a constraint without any target node
// gives a one-key rotation track (9, 27, 1) of current instead, with a warning.
void WriteLookAt(CZX9_DiskWriter* writer, KeyBlockWriter& keys, Control* constraint,
                 ILookAtConstRotation* lookAt, const char* nodeName, const Quat& current);

}  // namespace kiln
