#include "animation/IKTracks.h"

#include "animation/KeyBlocks.h"
#include "host/Constraints.h"
#include "host/Control.h"
#include "host/IKControl.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "io/CZX9_DiskWriter.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"

namespace kiln {
namespace {

// The start joint's child on the way to the end joint; child 0 when the end
// joint is not below it.
INode* MiddleJoint(INode* start, INode* end) {
  for (INode* n = end; n; n = n->GetParentNode()) {
    if (n->GetParentNode() == start) return n;
  }
  return start->GetChildNode(0);
}

void WriteJoint(CZX9_DiskWriter* writer, INode* joint) {
  writer->WriteString(joint->GetName());
  writer->WriteInt(static_cast<int32_t>(joint->GetHandle()));
}

// Host axes x, y, z are the output's x, z, y.
int32_t OutputAxis(int axis) {
  return axis == 1 ? 2 : axis == 2 ? 1 : axis;
}

}  // namespace

IKChainTrack WriteIKChain(CZX9_DiskWriter* writer, Interface* ip, INode* node) {
  Control* transform = node->GetTMController();
  auto* chain = transform ? static_cast<IIKChainControl*>(transform->GetInterface(I_IKCHAINCONTROL))
                          : nullptr;
  if (!chain) return IKChainTrack::kNoChain;
  IKSolver* solver = chain->GetSolver();
  if (!solver || !(solver->ClassID() == IKHISOLVER_CLASS_ID)) {
    LogError(CurrentLog, "node %s uses an unsupported ik solver", node->GetName());
    return IKChainTrack::kNotWritten;
  }
  INode* start = chain->StartJoint();
  INode* end = chain->EndJoint();
  INode* middle = start && end ? MiddleJoint(start, end) : nullptr;
  if (!middle) {
    LogError(CurrentLog, "node %s has an incomplete ik chain", node->GetName());
    return IKChainTrack::kNotWritten;
  }
  const TimeValue t = ip->GetAnimRange().Start();
  const Point3 s = start->GetNodeTM(t).GetTrans();
  const Point3 m = middle->GetNodeTM(t).GetTrans();
  const Point3 e = end->GetNodeTM(t).GetTrans();
  writer->BeginChunk(12, 20, 1);
  WriteJoint(writer, node);
  WriteJoint(writer, start);
  WriteJoint(writer, middle);
  WriteJoint(writer, end);
  writer->WriteFloat(Length(s - m));
  writer->WriteFloat(Length(m - e));
  writer->EndChunk();
  return IKChainTrack::kWritten;
}

void WriteIKController(CZX9_DiskWriter* writer, IIKControl* ik) {
  writer->BeginChunk(7, 34, 1);
  std::vector<INode*> chains;
  if (ik) chains = ik->IKChains(IK_ROT_JOINT);
  writer->WriteString(!chains.empty() && chains.back() ? chains.back()->GetName()
                                                       : "no chain found");
  writer->EndChunk();
}

void WriteLookAt(CZX9_DiskWriter* writer, KeyBlockWriter& keys, Control* constraint,
                 ILookAtConstRotation* lookAt, const char* nodeName, const Quat& current) {
  std::vector<int> targets;
  for (int i = 0; i < lookAt->GetNumTargets(); ++i) {
    if (lookAt->GetNode(i)) targets.push_back(i);
  }
  if (targets.empty()) {
    LogWarning(CurrentLog,
               "Look at Constraint Controller used without any valid targets. Used by node: %s",
               nodeName);
    writer->BeginChunk(9, 27, 1);
    CurrentValue value;
    value.rotation = current;
    keys.WriteOneKey(constraint, TrackValue::kRotation, value);
    writer->EndChunk();
    return;
  }
  writer->BeginChunk(9, 30, 1);
  writer->WriteInt(static_cast<int32_t>(targets.size()));
  for (int i : targets) {
    writer->WriteString(lookAt->GetNode(i)->GetName());
    writer->WriteFloat(lookAt->GetTargetWeight(i));
  }
  writer->WriteInt(lookAt->GetRelative() ? 1 : 0);
  writer->WriteInt(lookAt->GetTargetAxisFlip() ? 1 : 0);
  writer->WriteInt(lookAt->GetStoUPAxisFlip() ? 1 : 0);
  writer->WriteInt(lookAt->GetUpnodeWorld() ? 1 : 0);
  writer->WriteInt(lookAt->GetVLisAbs() ? 1 : 0);
  writer->WriteInt(OutputAxis(lookAt->GetTargetAxis()));
  writer->WriteInt(OutputAxis(lookAt->GetUpNodeAxis()));
  writer->WriteInt(OutputAxis(lookAt->GetStoUPAxis()));
  writer->WriteInt(lookAt->GetUpnodeControl());
  writer->EndChunk();
}

}  // namespace kiln
