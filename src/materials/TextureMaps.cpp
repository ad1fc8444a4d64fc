#include "materials/TextureMaps.h"

#include "host/Files.h"
#include "host/Material.h"
#include "io/CZX9_DiskWriter.h"
#include "materials/ParamFinder.h"
#include "platform/ProfileFile.h"
#include "plugin/ExportLog.h"
#include "plugin/ExportPaths.h"
#include "plugin/ExportSettings.h"
#include "plugin/Globals.h"
#include "util/TextFormat.h"

namespace kiln {
namespace {

const char* const kFalloffTypes[] = {"Towards", "Perpendicular", "Fresnel", "Shadow",
                                     "DistanceBlend"};
const char* const kFalloffDirections[] = {"ViewingDirection", "CameraX", "CameraY", "Local",
                                          "ObjectX",          "ObjectY", "ObjectZ", "WorldX",
                                          "WorldY",           "WorldZ"};

std::string ColourText(Color c) {
  return Point3Text(c.r, c.g, c.b);
}

// Writes key with the colour parameter's value when the map has it.
void WriteColourKey(Texmap* map, const char* name, const std::string& section, const char* key) {
  ParamFinder finder;
  if (finder.FindParam(map, name)) WriteShaderIni(section, key, ColourText(finder.GetColor()));
}

}  // namespace

void WriteShaderIni(const std::string& section, const char* key, const std::string& value) {
  if (!WriteIniFiles) return;
  platform::WritePrivateProfileStringA(section.c_str(), key, value.c_str(),
                                       ShaderIniFileName.c_str());
}

int WrapMode(int tiling, int wrapFlag, int mirrorFlag) {
  if (tiling & mirrorFlag) return 2;
  if (tiling & wrapFlag) return 1;
  return 3;
}

bool TextureMapWriter::WriteBitmapMap(BitmapTex* map, float amount, const std::string& section) {
  if (!map) return false;
  const std::string source = map->GetMapName() ? map->GetMapName() : "";
  std::string folder, file;
  SplitPathFile(source, &folder, &file);
  StdUVGen* uv = map->GetUVGen();
  if (!uv) {
    LogError(CurrentLog, "Something's wrong with the material: %s", file.c_str());
    return false;
  }
  std::string fixed;
  if (FixFileName(file, &fixed)) {
    LogWarning(CurrentLog, "++ Invalid texture filename: %s converted to: %s", file.c_str(),
               fixed.c_str());
  }
  const std::string name = copies_.Place(source, fixed, Settings.copyTextures != 0);

  const int alphaAsMono = map->GetAlphaAsMono(1);
  const int alphaAsRGB = map->GetAlphaAsRGB(0);
  const float tileU = uv->GetUScl(0), tileV = uv->GetVScl(0);
  const float offsetU = uv->GetUOffs(0), offsetV = uv->GetVOffs(0);
  const int tiling = uv->GetTextureTiling();
  const int wrapU = WrapMode(tiling, U_WRAP, U_MIRROR);
  const int wrapV = WrapMode(tiling, V_WRAP, V_MIRROR);
  writer_->WriteString(name.c_str());
  writer_->WriteInt(alphaAsMono);
  writer_->WriteInt(alphaAsRGB);
  writer_->WriteFloat(tileU);
  writer_->WriteFloat(tileV);
  writer_->WriteFloat(offsetU);
  writer_->WriteFloat(offsetV);
  writer_->WriteInt(wrapU);
  writer_->WriteInt(wrapV);

  WriteShaderIni(section, "Filename", name);
  WriteShaderIni(section, "Amount", FloatText(amount));
  WriteShaderIni(section, "AlphaAsMono", BoolText(alphaAsMono));
  WriteShaderIni(section, "AlphaAsRGB", BoolText(alphaAsRGB));
  WriteShaderIni(section, "TileU", FloatText(tileU));
  WriteShaderIni(section, "TileV", FloatText(tileV));
  WriteShaderIni(section, "OffsetU", FloatText(offsetU));
  WriteShaderIni(section, "OffsetV", FloatText(offsetV));
  WriteShaderIni(section, "WrapU", IntText(wrapU));
  WriteShaderIni(section, "WrapV", IntText(wrapV));
  return true;
}

bool TextureMapWriter::WriteGradientMap(Texmap* map, float amount, const std::string& section) {
  WriteShaderIni(section, "Amount", FloatText(amount));
  WriteColourKey(map, "color1", section, "Color1");
  WriteColourKey(map, "color2", section, "Color2");
  WriteColourKey(map, "color3", section, "Color3");
  ParamFinder finder;
  if (finder.FindParam(map, "color2Pos"))
    WriteShaderIni(section, "Color2Pos", FloatText(finder.Float()));
  if (finder.FindParam(map, "gradientType")) {
    WriteShaderIni(section, "GradientType", finder.Int() == 0 ? "Linear" : "Radial");
  }
  return true;
}

bool TextureMapWriter::WriteFalloffMap(Texmap* map, float amount, const std::string& section) {
  WriteShaderIni(section, "Amount", FloatText(amount));
  WriteColourKey(map, "color1", section, "Color1");
  WriteColourKey(map, "color2", section, "Color2");
  ParamFinder finder;
  if (finder.FindParam(map, "type")) {
    const int type = finder.Int();
    if (type >= 0 && type <= 4) WriteShaderIni(section, "Type", kFalloffTypes[type]);
  }
  if (finder.FindParam(map, "direction")) {
    const int direction = finder.Int();
    if (direction >= 0 && direction <= 9) {
      WriteShaderIni(section, "Direction", kFalloffDirections[direction]);
    }
  }
  return true;
}

}  // namespace kiln
