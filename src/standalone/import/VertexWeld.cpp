// Welds a library mesh's vertices whose every attribute agrees and drops the
// vertices no face uses. glTF meshes come indexed already, with a vertex's
// position written once, so a weld that hashes exact positions and compares
// the other attributes within a tolerance among vertices at one place finds
// what the library's general join (a spatial sort over every vertex) finds,
// at a fraction of its cost.
#include "standalone/import/VertexWeld.h"

#include <assimp/mesh.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace kiln::standalone {
namespace {

static_assert(sizeof(aiVector3D) == 3 * sizeof(float) && sizeof(aiColor4D) == 4 * sizeof(float),
              "the weld reads attributes as floats");

constexpr uint32_t kUnused = ~uint32_t{0};
// Attributes closer than this are the same: exporters write one normal as
// floats that differ in their last bits where faces meet.
constexpr float kTolerance = 1e-5f;
constexpr float kSquareTolerance = kTolerance * kTolerance;

// One per-vertex attribute array as `width` floats a vertex.
struct Stream {
  float* data;
  unsigned width;
};

uint64_t Mix(uint64_t hash, uint64_t value) {
  hash ^= value + 0x9E3779B97F4A7C15ull + (hash << 6) + (hash >> 2);
  return hash * 0xFF51AFD7ED558CCDull;
}

uint32_t Bits(float value) {
  value += 0.0f;  // -0 and +0 compare equal, so they hash alike too
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

template <typename T>
void AddStream(std::vector<Stream>& streams, T* data) {
  if (data) streams.push_back({reinterpret_cast<float*>(data), sizeof(T) / sizeof(float)});
}

// Every attribute array of the mesh and of its morph targets.
std::vector<Stream> Streams(aiMesh& mesh) {
  std::vector<Stream> streams;
  auto addAll = [&](auto& m) {
    AddStream(streams, m.mNormals);
    AddStream(streams, m.mTangents);
    AddStream(streams, m.mBitangents);
    for (aiVector3D* set : m.mTextureCoords) AddStream(streams, set);
    for (aiColor4D* set : m.mColors) AddStream(streams, set);
  };
  addAll(mesh);
  for (unsigned i = 0; i < mesh.mNumAnimMeshes; ++i) {
    AddStream(streams, mesh.mAnimMeshes[i]->mVertices);
    addAll(*mesh.mAnimMeshes[i]);
  }
  return streams;
}

// Each vertex's bone weights, sorted, so two vertices compare as lists.
struct VertexWeights {
  std::vector<uint32_t> first;  // a vertex's weights are [first[v], first[v + 1])
  std::vector<std::pair<unsigned, float>> weights;  // bone, weight

  VertexWeights(const aiMesh& mesh, unsigned n) : first(n + 1, 0) {
    for (unsigned b = 0; b < mesh.mNumBones; ++b) {
      for (unsigned w = 0; w < mesh.mBones[b]->mNumWeights; ++w)
        ++first[mesh.mBones[b]->mWeights[w].mVertexId + 1];
    }
    for (unsigned v = 0; v < n; ++v) first[v + 1] += first[v];
    weights.resize(first[n]);
    std::vector<uint32_t> next(first.begin(), first.end() - 1);
    for (unsigned b = 0; b < mesh.mNumBones; ++b) {
      for (unsigned w = 0; w < mesh.mBones[b]->mNumWeights; ++w) {
        const aiVertexWeight& weight = mesh.mBones[b]->mWeights[w];
        weights[next[weight.mVertexId]++] = {b, weight.mWeight};
      }
    }
    for (unsigned v = 0; v < n; ++v)
      std::sort(weights.begin() + first[v], weights.begin() + first[v + 1]);
  }
};

class VertexKeys {
 public:
  VertexKeys(aiMesh& mesh, unsigned n) : mesh_(mesh), streams_(Streams(mesh)) {
    if (mesh.mNumBones) weights_.emplace(mesh, n);
  }

  // Only the position is hashed: the other attributes agree within a
  // tolerance, and are compared among the vertices at one place.
  uint64_t Hash(unsigned v) const {
    const aiVector3D& p = mesh_.mVertices[v];
    uint64_t hash = Mix(Mix(Mix(0, Bits(p.x)), Bits(p.y)), Bits(p.z));
    return hash ^ (hash >> 31);  // the table uses the low bits
  }

  bool Equal(unsigned a, unsigned b) const {
    if (!(mesh_.mVertices[a] == mesh_.mVertices[b])) return false;
    for (const Stream& s : streams_) {
      float distance = 0;
      for (unsigned c = 0; c < s.width; ++c) {
        const float d = s.data[a * s.width + c] - s.data[b * s.width + c];
        distance += d * d;
      }
      if (!(distance <= kSquareTolerance)) return false;
    }
    if (!weights_) return true;
    const auto& w = weights_->weights;
    const auto& first = weights_->first;
    return std::equal(w.begin() + first[a], w.begin() + first[a + 1], w.begin() + first[b],
                      w.begin() + first[b + 1], [](const auto& x, const auto& y) {
                        return x.first == y.first && std::abs(x.second - y.second) <= kTolerance;
                      });
  }

  // Keeps the vertices `kept` (ascending) in order at the front of every array.
  void Compact(const std::vector<unsigned>& kept) const {
    for (size_t i = 0; i < kept.size(); ++i) mesh_.mVertices[i] = mesh_.mVertices[kept[i]];
    for (const Stream& s : streams_) {
      for (size_t i = 0; i < kept.size(); ++i) {
        std::memmove(s.data + i * s.width, s.data + size_t{kept[i]} * s.width,
                     s.width * sizeof(float));
      }
    }
  }

 private:
  aiMesh& mesh_;
  std::vector<Stream> streams_;  // every attribute but the positions
  std::optional<VertexWeights> weights_;
};

// Whether every index, weight and morph target fits the mesh's vertices; a
// mesh that does not is left for the import to refuse with its own message.
bool Consistent(const aiMesh& mesh) {
  const unsigned n = mesh.mNumVertices;
  if (!mesh.mVertices || (mesh.mNumFaces && !mesh.mFaces)) return false;
  for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
    const aiFace& face = mesh.mFaces[f];
    if (face.mNumIndices && !face.mIndices) return false;
    for (unsigned c = 0; c < face.mNumIndices; ++c) {
      if (face.mIndices[c] >= n) return false;
    }
  }
  for (unsigned b = 0; b < mesh.mNumBones; ++b) {
    const aiBone* bone = mesh.mBones ? mesh.mBones[b] : nullptr;
    if (!bone || (bone->mNumWeights && !bone->mWeights)) return false;
    for (unsigned w = 0; w < bone->mNumWeights; ++w) {
      if (bone->mWeights[w].mVertexId >= n) return false;
    }
  }
  for (unsigned i = 0; i < mesh.mNumAnimMeshes; ++i) {
    const aiAnimMesh* target = mesh.mAnimMeshes ? mesh.mAnimMeshes[i] : nullptr;
    if (!target || target->mNumVertices != n) return false;
  }
  return true;
}

}  // namespace

void WeldIdenticalVertices(aiMesh& mesh) {
  if (!Consistent(mesh)) return;
  const unsigned n = mesh.mNumVertices;
  std::vector<uint32_t> remap(n, kUnused);
  for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
    for (unsigned c = 0; c < mesh.mFaces[f].mNumIndices; ++c) remap[mesh.mFaces[f].mIndices[c]] = 0;
  }

  // Open addressing on the kept vertices; a slot holds a kept index plus one.
  const VertexKeys keys(mesh, n);
  size_t size = 16;
  while (size < size_t{n} * 2) size *= 2;
  std::vector<uint32_t> slots(size, 0);
  std::vector<unsigned> kept;
  kept.reserve(n);
  for (unsigned v = 0; v < n; ++v) {
    if (remap[v] == kUnused) continue;
    size_t slot = keys.Hash(v) & (size - 1);
    while (slots[slot] && !keys.Equal(kept[slots[slot] - 1], v)) slot = (slot + 1) & (size - 1);
    if (!slots[slot]) {
      kept.push_back(v);
      slots[slot] = static_cast<uint32_t>(kept.size());
    }
    remap[v] = slots[slot] - 1;
  }
  if (kept.size() == n) return;

  keys.Compact(kept);
  for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
    for (unsigned c = 0; c < mesh.mFaces[f].mNumIndices; ++c)
      mesh.mFaces[f].mIndices[c] = remap[mesh.mFaces[f].mIndices[c]];
  }
  // Welded vertices carry the same weights: the kept one's stand for all.
  for (unsigned b = 0; b < mesh.mNumBones; ++b) {
    aiBone& bone = *mesh.mBones[b];
    unsigned count = 0;
    for (unsigned w = 0; w < bone.mNumWeights; ++w) {
      const unsigned vertex = bone.mWeights[w].mVertexId;
      if (remap[vertex] == kUnused || kept[remap[vertex]] != vertex) continue;
      bone.mWeights[count] = {remap[vertex], bone.mWeights[w].mWeight};
      ++count;
    }
    bone.mNumWeights = count;
  }
  mesh.mNumVertices = static_cast<unsigned>(kept.size());
  for (unsigned i = 0; i < mesh.mNumAnimMeshes; ++i)
    mesh.mAnimMeshes[i]->mNumVertices = mesh.mNumVertices;
}

}  // namespace kiln::standalone
