#include "geometry/MeshExporter.h"

#include <cmath>
#include <initializer_list>

#include "collision/CollisionMapping.h"
#include "geometry/AxisExchange.h"
#include "geometry/FaceBlocks.h"
#include "geometry/LocalTransform.h"
#include "geometry/ModifierSwitch.h"
#include "geometry/MorphWeights.h"
#include "geometry/NodeLookup.h"
#include "geometry/TransformWriter.h"
#include "host/INode.h"
#include "host/Object.h"
#include "host/Skin.h"
#include "io/CZX9_DiskWriter.h"
#include "plugin/ExportLog.h"
#include "plugin/Globals.h"
#include "scene/NodeHeader.h"

namespace kiln {
namespace {

bool Finite(const Point3& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

bool AllFinite(std::initializer_list<Point3> points) {
  for (const Point3& p : points) {
    if (!Finite(p)) return false;
  }
  return true;
}

bool AllFinite(const std::vector<FatVertex>& vertices) {
  for (const FatVertex& v : vertices) {
    if (!Finite(v.position) || !Finite(v.normal) || !std::isfinite(v.uv.x) ||
        !std::isfinite(v.uv.y))
      return false;
  }
  return true;
}

}  // namespace

MeshKind MeshKindOf(bool skinEnabled, bool morpherEnabled) {
  if (skinEnabled) return morpherEnabled ? MeshKind::kSkinnedAndMorphed : MeshKind::kSkinned;
  return morpherEnabled ? MeshKind::kMorphed : MeshKind::kPlain;
}

MeshExporter::MeshExporter(INode* node, Interface* ip, const MaterialExporter* materials)
    : NodeExporter(node, ip), materials_(materials), builder_(std::make_unique<MeshBuilder>()) {
  RequestTrack(0, 0);
  if (node_->GetVisController() != nullptr) RequestTrack(4, 6);
  // Made here rather than while the mesh is written, so that animation
  // exports, which write no mesh, get the weight tracks too.
  for (int channel : AnimatedMorphChannels(node_)) {
    RequestTrack(kMorphTrackKind, kFirstMorphTrackSubKind + channel);
  }
}

int MeshExporter::Export(CZX9_DiskWriter* writer, Object* evaluated) {
  (void)evaluated;  // the node is evaluated here, at the skin's reference frame
  Modifier* skin = FindModifier(node_, SKIN_CLASS_ID);
  Modifier* morpher = FindModifier(node_, MORPHER_CLASS_ID);
  const MeshKind kind =
      MeshKindOf(skin != nullptr && skin->IsEnabled(), morpher != nullptr && morpher->IsEnabled());

  // The mesh is read undeformed: in its bind pose, and without the morph
  // channels, whose full deltas are written beside it.
  ModifierSwitch skinOff(skin, false);
  ModifierSwitch morpherOff(morpher, false);
  TimeValue time = 0;
  if (skin != nullptr) {
    if (auto* iskin = static_cast<ISkin*>(skin->GetInterface(I_SKIN))) time = iskin->GetRefFrame();
  }
  const ObjectState state = node_->EvalWorldState(time, true);

  writer->BeginChunk(kMeshChunkType, static_cast<uint32_t>(kind), 1);
  if (!WriteMeshChunk(*writer, state.obj, kind, morpher)) {
    writer->UndoChunk();
    return 0;
  }
  writer->EndChunk();
  // Only a complete mesh chunk has face blocks for its .ini entries to describe.
  WriteFaceBlockEntries(node_, faceBlockEntries_);
  morpherOff.Restore();
  skinOff.Restore();
  LogInfo(CurrentLog, "Mesh exported!");
  return 1;
}

bool MeshExporter::WriteMeshChunk(CZX9_DiskWriter& writer, Object* object, MeshKind kind,
                                  Modifier* morpher) {
  const char* name = node_->GetName();
  const CornerOrder& order =
      node_->GetObjTMAfterWSM(0).Parity() ? kOddParityCorners : kEvenParityCorners;

  WriteNodeHeader(&writer, node_);
  LogInfo(CurrentLog, "Exporting object: %s", name);
  LogInfo(CurrentLog, "Handle: %d", static_cast<int>(node_->GetHandle()));
  WriteObjectOffset(&writer, node_);

  TriObject* tri = object != nullptr ? object->ConvertToType(0, TRIOBJ_CLASS_ID) : nullptr;
  if (tri == nullptr) {
    LogError(CurrentLog, "Error getting tri object for node: %s", name);
    return false;
  }
  Mesh& mesh = tri->GetMesh();
  if (mesh.verts.empty() || mesh.faces.empty()) {
    LogError(CurrentLog, "Mesh of node %s has no vertices or no faces", name);
    return false;
  }
  const ScopedNormals normals(mesh);
  if (!MeshIndicesAreValid(mesh)) {
    LogError(CurrentLog, "Mesh of node %s has faces that name missing vertices", name);
    return false;
  }

  WriteTransformScaled(&writer, ExchangeMatrixAxes(LocalTransform(node_, 0)), kExportScale);

  mesh.buildBoundingBox();
  const Box3 box = mesh.getBoundingBox();
  const Point3 centre = (box.pmin + box.pmax) * 0.5f;
  WritePoint(&writer, ExchangePointAxes(centre) * kExportScale);
  WritePoint(&writer, ExchangePointAxes(box.pmin - centre) * kExportScale);

  if (mesh.dataChannelCount != 0)
    LogInfo(CurrentLog, "object %s uses multiple data channels..", name);

  builder_->GatherFaces(mesh, order, UvAxisOf(node_->GetMtl()));
  // Coordinates near the float limit overflow in the box or the normals:
  // such a mesh is not written at all rather than written with infinities.
  if (!AllFinite({centre, box.pmin - centre}) || !AllFinite(builder_->FatVertices().Vertices())) {
    LogError(CurrentLog,
             "Mesh of node %s has vertices, normals or a bounding box that are not finite", name);
    return false;
  }
  const bool morphed = kind == MeshKind::kMorphed || kind == MeshKind::kSkinnedAndMorphed;
  const bool skinned = kind == MeshKind::kSkinned || kind == MeshKind::kSkinnedAndMorphed;
  if (morphed) morphChannels_ = CollectMorphChannels(node_, morpher);
  if (skinned && !CollectSkin(node_, skin_)) return false;

  builder_->GroupFacesByMaterial();
  builder_->NumberOutputVertices();
  builder_->WriteVertexBlock(writer);
  if (!builder_->WriteIndexBlock(writer, name)) return false;
  if (!WriteFaceBlocks(writer, *builder_, node_, materials_, faceBlockEntries_)) return false;
  LogInfo(CurrentLog, "Fat verts: %d, invmapsize: %d, seqmapsize: %d",
          static_cast<int>(builder_->FatVertices().Size()),
          static_cast<int>(builder_->InverseMap().size()),
          static_cast<int>(builder_->SequenceMap().size()));

  if (morphed) WriteMorphDeltas(writer, morphChannels_, *builder_, name);
  if (skinned) WriteSkin(writer, skin_, *builder_, name);
  if (CarExportMode && !CreateAndExportCollisionMapping(writer, node_, ip_, mesh, *builder_))
    return false;
  return true;
}

}  // namespace kiln
