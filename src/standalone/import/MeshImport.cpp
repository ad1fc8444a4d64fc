// Meshes: the library's meshes of one node become one host mesh, with a
// material id per library mesh and a multi/sub-object material when they use
// several materials. Vertices stay as the reader leaves them: it has welded
// exactly those whose every attribute agrees, so each vertex carries one
// normal (a specified normal), one texture coordinate and one colour.
#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "standalone/SceneMaterials.h"
#include "standalone/SceneObjects.h"
#include "standalone/import/ImportContext.h"

namespace kiln::standalone {
namespace {

constexpr uint32_t kSmoothingGroup = 1;  // faces without normals are smoothed together

const aiMesh* LibraryMesh(const ImportContext& context, const aiNode& node, unsigned i) {
  const unsigned index = node.mMeshes[i];
  if (index >= context.ai.mNumMeshes || !context.ai.mMeshes[index]) {
    throw AssetProblem("node " + Quoted(node.mName) + " names mesh " + std::to_string(index) +
                       ", past the " + std::to_string(context.ai.mNumMeshes) + " meshes");
  }
  return context.ai.mMeshes[index];
}

// The material of a node whose meshes use the library materials `used`, in
// the order of their material ids.
Mtl* NodeMaterial(ImportContext& context, const std::string& nodeName,
                  const std::vector<unsigned>& used,
                  std::map<std::vector<unsigned>, Mtl*>& multis) {
  if (used.size() == 1) return HostMaterial(context, used[0]);
  Mtl*& multi = multis[used];
  if (multi) return multi;
  Material& material = context.scene.CreateMaterial(nodeName);
  material.className = "Multi/Sub-Object";
  material.classId = MULTI_CLASS_ID;
  for (unsigned index : used) {
    Mtl* sub = HostMaterial(context, index);
    material.subMaterials.push_back(sub);
    material.slotNames.push_back(sub->GetName());
  }
  multi = &material;
  return multi;
}

class MeshBuilder {
 public:
  MeshBuilder(ImportContext& context, const aiNode& node) : context_(context), node_(node) {}

  // Room for the vertices and faces of all the node's library meshes, so the
  // arrays grow once (a large asset's meshes hold millions of vertices).
  void Reserve(size_t vertices, size_t faces) {
    reserved_ = std::min<size_t>(vertices, kMaxVertices);
    out_.verts.reserve(reserved_);
    out_.faces.reserve(std::min<size_t>(faces, size_t{kMaxVertices} * 4));
  }

  void Add(const aiMesh& mesh, MtlID materialId) {
    const std::string name = Quoted(mesh.mName);
    const uint32_t first = static_cast<uint32_t>(out_.verts.size());
    if (mesh.mNumVertices > kMaxVertices - first) {
      throw AssetProblem("node " + Quoted(node_.mName) + ": more than " +
                         std::to_string(kMaxVertices) + " vertices in one mesh");
    }
    if (mesh.mNumVertices && !mesh.mVertices) {
      throw AssetProblem("mesh " + name + " has vertices without positions");
    }
    parts_.meshes.push_back(&mesh);
    parts_.firstVertex.push_back(first);
    for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
      if (!Finite(mesh.mVertices[v])) {
        throw AssetProblem("mesh " + name + " vertex " + std::to_string(v) +
                           ": its position is not a finite number");
      }
      out_.verts.push_back(HostPoint(mesh.mVertices[v]));
    }
    AddNormals(mesh, first);
    AddTextureVertices(mesh, first);
    AddColors(mesh, first);
    AddFaces(mesh, first, materialId);
  }

  // The mesh, or nothing when no library mesh had a triangle.
  std::optional<Mesh> Finish() {
    if (dropped_) {
      context_.Warn("node " + Quoted(node_.mName) + ": " + std::to_string(dropped_) +
                    " points and lines are not carried (a host mesh holds triangles)");
    }
    if (out_.faces.empty()) return std::nullopt;
    // Attributes some library meshes lack are filled in for their vertices;
    // texture and colour faces name the face's own vertices.
    const size_t n = out_.verts.size();
    std::vector<TVFace> corners(out_.faces.size());
    for (size_t f = 0; f < corners.size(); ++f) {
      for (int c = 0; c < 3; ++c) corners[f].t[c] = out_.faces[f].v[c];
    }
    if (!out_.tVerts.empty()) {
      out_.tVerts.resize(n);
      out_.tvFace = corners;
    }
    if (!out_.vertCol.empty()) {
      out_.vertCol.resize(n, Point3(1, 1, 1));
      out_.vcFace = std::move(corners);
    }
    if (!out_.specifiedNormals.empty()) {
      out_.specifiedNormals.resize(n);
      out_.specifiedNormalSet.resize(n, 0);
    }
    return std::move(out_);
  }

  const MeshParts& Parts() const { return parts_; }
  uint32_t VertexCount() const { return static_cast<uint32_t>(out_.verts.size()); }

 private:
  static constexpr uint32_t kMaxVertices = 1u << 26;

  void AddNormals(const aiMesh& mesh, uint32_t first) {
    if (!mesh.mNormals) return;
    out_.specifiedNormals.reserve(reserved_);
    out_.specifiedNormalSet.reserve(reserved_);
    out_.specifiedNormals.resize(first);
    out_.specifiedNormalSet.resize(first, 0);
    size_t unusable = 0;
    for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
      const aiVector3D& n = mesh.mNormals[v];
      const bool usable = Finite(n) && (n.x != 0 || n.y != 0 || n.z != 0);
      out_.specifiedNormals.push_back(usable ? HostPoint(n) : Point3());
      out_.specifiedNormalSet.push_back(usable ? 1 : 0);
      unusable += usable ? 0 : 1;
    }
    if (unusable) {
      context_.Warn("mesh " + Quoted(mesh.mName) + ": " + std::to_string(unusable) +
                    " normals of zero length or not finite are built from the faces instead");
    }
  }

  void AddTextureVertices(const aiMesh& mesh, uint32_t first) {
    unsigned more = 0;
    for (unsigned set = 1; set < AI_MAX_NUMBER_OF_TEXTURECOORDS; ++set)
      more += mesh.mTextureCoords[set] ? 1 : 0;
    if (more) {
      context_.Warn("mesh " + Quoted(mesh.mName) + ": " + std::to_string(more) +
                    " texture coordinate sets after the first are not carried");
    }
    const aiVector3D* uv = mesh.mTextureCoords[0];
    if (!uv) return;
    out_.tVerts.reserve(reserved_);
    out_.tVerts.resize(first);
    const bool uvw = mesh.mNumUVComponents[0] >= 3;
    size_t bad = 0;
    for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
      if (!Finite(uv[v])) {
        ++bad;
        out_.tVerts.push_back({});
        continue;
      }
      out_.tVerts.push_back({uv[v].x, uv[v].y, uvw ? uv[v].z : 0.0f});
    }
    if (bad) {
      context_.Warn("mesh " + Quoted(mesh.mName) + ": " + std::to_string(bad) +
                    " texture coordinates that are not finite are set to 0");
    }
  }

  void AddColors(const aiMesh& mesh, uint32_t first) {
    const aiColor4D* colors = mesh.mColors[0];
    if (mesh.mColors[1]) {
      context_.Warn("mesh " + Quoted(mesh.mName) +
                    ": vertex colour sets after the first are not carried");
    }
    if (!colors) return;
    out_.vertCol.reserve(reserved_);
    out_.vertCol.resize(first, Point3(1, 1, 1));
    bool alpha = false, bad = false;
    for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
      const aiColor4D& c = colors[v];
      const bool finite =
          std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b) && std::isfinite(c.a);
      bad = bad || !finite;
      alpha = alpha || (finite && c.a != 1.0f);
      out_.vertCol.push_back(finite ? Point3(c.r, c.g, c.b) : Point3(1, 1, 1));
    }
    if (alpha) {
      context_.Warn("mesh " + Quoted(mesh.mName) +
                    ": the alpha of vertex colours is not carried (host vertex colours have none)");
    }
    if (bad) {
      context_.Warn("mesh " + Quoted(mesh.mName) +
                    ": vertex colours that are not finite are set to white");
    }
  }

  void AddFaces(const aiMesh& mesh, uint32_t first, MtlID materialId) {
    if (mesh.mNumFaces && !mesh.mFaces)
      throw AssetProblem("mesh " + Quoted(mesh.mName) + " has no faces");
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
      const aiFace& face = mesh.mFaces[f];
      if (face.mNumIndices != 3 || !face.mIndices) {
        ++dropped_;
        continue;
      }
      Face out;
      for (int c = 0; c < 3; ++c) {
        if (face.mIndices[c] >= mesh.mNumVertices) {
          throw AssetProblem("mesh " + Quoted(mesh.mName) + " face " + std::to_string(f) +
                             ": vertex index " + std::to_string(face.mIndices[c]) + " past the " +
                             std::to_string(mesh.mNumVertices) + " vertices");
        }
        out.v[c] = first + face.mIndices[c];
      }
      out.smGroup = kSmoothingGroup;
      out.setMatID(materialId);
      out_.faces.push_back(out);
    }
  }

  ImportContext& context_;
  const aiNode& node_;
  Mesh out_;
  MeshParts parts_;
  size_t dropped_ = 0;
  size_t reserved_ = 0;
};

}  // namespace

void ImportMeshes(ImportContext& context) {
  std::map<std::vector<unsigned>, Mtl*> multis;
  for (const aiNode* n : context.order) {
    if (n->mNumMeshes == 0) continue;
    if (!n->mMeshes) throw AssetProblem("node " + Quoted(n->mName) + " has no mesh list");
    SceneNode& node = *context.Node(n);
    MeshBuilder builder(context, *n);
    std::vector<unsigned> used;  // library material indices by material id
    size_t vertices = 0, faces = 0;
    for (unsigned i = 0; i < n->mNumMeshes; ++i) {
      vertices += LibraryMesh(context, *n, i)->mNumVertices;
      faces += LibraryMesh(context, *n, i)->mNumFaces;
    }
    builder.Reserve(vertices, faces);
    for (unsigned i = 0; i < n->mNumMeshes; ++i) {
      const aiMesh* mesh = LibraryMesh(context, *n, i);
      if (mesh->mMaterialIndex >= context.ai.mNumMaterials) {
        throw AssetProblem("mesh " + Quoted(mesh->mName) + " names material " +
                           std::to_string(mesh->mMaterialIndex) + ", past the " +
                           std::to_string(context.ai.mNumMaterials) + " materials");
      }
      size_t id = 0;
      while (id < used.size() && used[id] != mesh->mMaterialIndex) ++id;
      if (id == used.size()) {
        if (id > 0xFFFF)
          throw AssetProblem("node " + Quoted(n->mName) + " uses more than 65536 materials");
        used.push_back(mesh->mMaterialIndex);
      }
      builder.Add(*mesh, static_cast<MtlID>(id));
    }
    const uint32_t vertexCount = builder.VertexCount();
    std::optional<Mesh> mesh = builder.Finish();
    if (!mesh) continue;
    node.SetObject(std::make_unique<MeshObject>(std::move(*mesh)));
    node.material = NodeMaterial(context, node.Name(), used, multis);
    ImportMorphs(context, node, *n, builder.Parts(), vertexCount);
    ImportSkin(context, node, *n, builder.Parts(), vertexCount);
  }
}

}  // namespace kiln::standalone
