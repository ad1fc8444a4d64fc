#pragma once
#include <assimp/scene.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/Matrix3.h"
#include "standalone/Scene.h"
#include "standalone/import/AssetImport.h"

namespace kiln::standalone {

class GltfExtras;

// What makes an asset unimportable, said the way the user should read it
// ("mesh 'Body' face 12: vertex index 40 past the 36 vertices"). The reader
// turns it into a SceneLoadError naming the file.
struct AssetProblem : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The state shared by the steps that map a library scene onto the host's.
//
// Spaces: the library's scene is y-up (it turns Collada and 3DS files up
// itself) except for FBX, whose axes the file names; `toHost` takes a point
// of that space into the host's z-up right-handed one. A node's local
// transform goes over unchanged, except for the nodes at the top: there the
// library root's transform and the axis change are composed onto the node
// (as a modelling host turns the top nodes of a y-up file on import), and
// `after` holds what was composed so that animation keys get the same.
struct ImportContext {
  ImportContext(const aiScene& ai_, Scene& scene_, const ImportOptions& options_,
                std::vector<ImportNote>& notes_)
      : ai(ai_), scene(scene_), options(options_), notes(notes_) {}

  const aiScene& ai;
  Scene& scene;
  const ImportOptions& options;
  std::vector<ImportNote>& notes;
  std::filesystem::path assetFolder;  // empty when read from memory
  std::string format;                 // the library's importer that read the asset
  const GltfExtras* gltf = nullptr;   // what the library drops from glTF files

  Matrix3 toHost;
  const aiNode* foldedRoot = nullptr;  // the library's root, when it has no node of its own
  std::unordered_map<const aiNode*, SceneNode*> nodes;
  std::unordered_map<SceneNode*, Matrix3> after;          // composed after the local transform
  std::unordered_map<std::string, SceneNode*> byName;     // the first node of each name
  std::vector<const aiNode*> order;                       // mapped nodes, parents first
  std::unordered_map<const aiNode*, Matrix3> world;       // library-space world transforms
  std::map<unsigned, Mtl*> materials;                     // by library material index
  std::vector<EmbeddedImage> images;                      // to be written beside the scene
  std::map<size_t, std::filesystem::path> embeddedFiles;  // by library texture index

  SceneNode* Node(const aiNode* node) const {
    auto it = nodes.find(node);
    return it == nodes.end() ? nullptr : it->second;
  }
  SceneNode* NodeNamed(const std::string& name) const {
    auto it = byName.find(name);
    return it == byName.end() ? nullptr : it->second;
  }
  Matrix3 After(SceneNode* node) const {
    auto it = after.find(node);
    return it == after.end() ? Matrix3() : it->second;
  }

  // A warning is printed once however often it comes up.
  void Warn(std::string text);
  void Info(std::string text);
};

// Library values in the host's terms. Library matrices act on column
// vectors; the host's on row vectors.
Matrix3 HostMatrix(const aiMatrix4x4& m);
inline Point3 HostPoint(const aiVector3D& v) {
  return {v.x, v.y, v.z};
}
Quat HostRotation(const aiQuaternion& q);
bool Finite(const aiVector3D& v);
bool Finite(const aiMatrix4x4& m);

// "name" in quotes for messages.
std::string Quoted(const aiString& name);
std::string Quoted(const std::string& name);

// The library meshes one host mesh is made of, and where each one's vertices
// start among the host mesh's.
struct MeshParts {
  std::vector<const aiMesh*> meshes;
  std::vector<uint32_t> firstVertex;
};
void ImportSkin(ImportContext& context, SceneNode& node, const aiNode& libraryNode,
                const MeshParts& parts, uint32_t vertexCount);
void ImportMorphs(ImportContext& context, SceneNode& node, const aiNode& libraryNode,
                  const MeshParts& parts, uint32_t vertexCount);

// The host material of a library material, made on first use.
Mtl* HostMaterial(ImportContext& context, unsigned index);
// The axes of the library's scene as a transform into the host's.
Matrix3 LibraryAxes(ImportContext& context);

// The steps, in the order the import runs them.
void ImportNodes(ImportContext& context);
void ImportMeshes(ImportContext& context);
void ImportCamerasAndLights(ImportContext& context);
void ImportAnimation(ImportContext& context, int clip);
void GiveEmptyNodesObjects(ImportContext& context);

}  // namespace kiln::standalone
