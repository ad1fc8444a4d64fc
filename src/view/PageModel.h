#pragma once
#include <array>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "reader/ChunkFile.h"
#include "reader/CollisionChunks.h"
#include "view/BinaryBlob.h"

// What an inspector page shows of one exported file: a JSON description
// (chunk tree, nodes, drawable objects, tracks, side files, warnings) whose
// numeric arrays live in one binary blob.
namespace kiln::view {

// A text file written beside the export (.ini, _shaders.ini, .cfg, logs).
struct SideFile {
  std::string role;  // "ini", "shaders", "cfg", "errors", "warnings", "informations"
  std::string name;  // file name, for people
  std::string text;
};

struct PageInput {
  std::string fileName;
  uint64_t fileSize = 0;
  // The decoded file, or nothing when the reader rejected it (error says why).
  const reader::ChunkFile* file = nullptr;
  std::string error;
  std::vector<SideFile> sideFiles;
};

struct PageModel {
  nlohmann::json data;
  BinaryBlob blob;
};

PageModel BuildPageModel(const PageInput& input);

// 256 distinct, saturated colours (0xRRGGBB) for the damage zones; none is grey.
const std::array<uint32_t, 256>& ZoneColours();

// Per output vertex, the zone whose list names it (the heaviest when several
// do), or -1.
std::vector<int16_t> VertexZones(const reader::CollisionZones& zones, size_t vertexCount);

}  // namespace kiln::view
