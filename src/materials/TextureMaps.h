#pragma once
#include <string>

#include "materials/TextureCopies.h"

class BitmapTex;
class Texmap;

namespace kiln {

class CZX9_DiskWriter;

// Wrap mode of one texture axis from the tiling flags: 2 mirror (whatever
// the wrap flag), 1 wrap, 3 neither.
int WrapMode(int tiling, int wrapFlag, int mirrorFlag);

// Writes what a standard material's texture channels carry: the bitmap
// record in the material chunk, the channel's section of the shader .ini
// file, and the bitmap's copy in the texture folder.
class TextureMapWriter {
 public:
  explicit TextureMapWriter(CZX9_DiskWriter* writer) : writer_(writer) {}

  // The bitmap record, copy and section; false (nothing written) for a null
  // map or one without a coordinate generator.
  bool WriteBitmapMap(BitmapTex* map, float amount, const std::string& section);
  // Only the section; a parameter that the map lacks leaves its key out.
  bool WriteGradientMap(Texmap* map, float amount, const std::string& section);
  bool WriteFalloffMap(Texmap* map, float amount, const std::string& section);

 private:
  CZX9_DiskWriter* writer_;
  TextureCopies copies_;
};

// Sets key = value in a section of the shader .ini file, while .ini files
// are written.
void WriteShaderIni(const std::string& section, const char* key, const std::string& value);

}  // namespace kiln
