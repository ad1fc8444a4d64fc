#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "standalone/Scene.h"

// Import of 3D assets made by other tools (glTF, FBX, Collada, 3DS, OBJ and
// whatever else the assimp library reads) into the standalone host's scene,
// placed as a modelling host importing them would place them: z up,
// right-handed, in the asset's own units.
namespace kiln::standalone {

struct ImportOptions {
  // The animation clip to import: its name, or its index from 0; empty: the first.
  std::string clip;
  // Where images embedded in the asset will be written (the scene's textures
  // refer to them there), and the prefix of their file names.
  std::filesystem::path imageFolder;
  std::string imagePrefix;
};

// Something the import could not carry over as it stands, or worth knowing.
struct ImportNote {
  enum class Level { kWarning, kInfo };
  Level level = Level::kWarning;
  std::string text;
};

// An image embedded in the asset, to be written where the scene's texture
// expects it.
struct EmbeddedImage {
  std::filesystem::path file;
  std::vector<uint8_t> bytes;
};

// A clip the asset does not have was asked for (a usage error: the message
// lists the clips there are).
struct UnknownClip : std::invalid_argument {
  using std::invalid_argument::invalid_argument;
};

struct ImportedAsset {
  std::unique_ptr<Scene> scene;
  std::string format;              // the importer that read the asset
  std::vector<std::string> clips;  // every clip's name, in the asset's order
  int clip = -1;                   // the clip imported; -1 when there is none
  std::vector<ImportNote> notes;   // warnings and information, in the order found
  std::vector<EmbeddedImage> images;
};

// Reads an asset file. Throws SceneLoadError naming the file and what is
// wrong (missing, unknown format, damaged, or holding what no scene can);
// nothing is written then.
ImportedAsset ImportAsset(const std::filesystem::path& file, const ImportOptions& options);

// The same from bytes in memory; extension (the format's usual one) is a
// hint. Files the asset refers to cannot be found.
ImportedAsset ImportAssetFromMemory(std::string_view bytes, const std::string& extension,
                                    const ImportOptions& options);

// The formats the importer reads: one line per format, its name and extensions.
std::vector<std::string> ImportFormats();

// Writes the embedded images beside the scene. Throws std::runtime_error
// naming the file that cannot be written.
void WriteEmbeddedImages(const std::vector<EmbeddedImage>& images);

}  // namespace kiln::standalone
