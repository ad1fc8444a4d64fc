// Materials: each library material a mesh uses becomes a standard material
// with its colours, glossiness, specular level, opacity and sidedness, and
// its diffuse, opacity, bump, specular, self-illumination and reflection maps
// as bitmap maps with their tiling, offset and wrap modes. Images inside the
// asset are written out beside the scene so that the exporter can copy them.
#include <assimp/material.h>
#include <assimp/scene.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "standalone/SceneMaterials.h"
#include "standalone/import/ImportContext.h"

namespace kiln::standalone {
namespace fs = std::filesystem;
namespace {

struct MapSlot {
  aiTextureType type;
  aiTextureType fallback;  // read when the asset has no map of `type`
  int slot;
  const char* name;
};
constexpr MapSlot kMapSlots[] = {
    {aiTextureType_DIFFUSE, aiTextureType_BASE_COLOR, ID_DI, "diffuse"},
    {aiTextureType_OPACITY, aiTextureType_NONE, ID_OP, "opacity"},
    {aiTextureType_NORMALS, aiTextureType_HEIGHT, ID_BU, "bump"},
    {aiTextureType_SPECULAR, aiTextureType_NONE, ID_SP, "specular"},
    {aiTextureType_EMISSIVE, aiTextureType_NONE, ID_SI, "self-illumination"},
    {aiTextureType_REFLECTION, aiTextureType_NONE, ID_RL, "reflection"},
};

float Clamped(ImportContext& context, const std::string& material, const char* what, float value) {
  if (!std::isfinite(value)) {
    context.Warn("material " + Quoted(material) + ": its " + what + " is not finite; 0 is taken");
    return 0.0f;
  }
  if (value < 0.0f || value > 1.0f) {
    context.Warn("material " + Quoted(material) + ": its " + what + " of " + std::to_string(value) +
                 " is clamped to 0 to 1");
  }
  return std::clamp(value, 0.0f, 1.0f);
}

bool ReadColor(ImportContext& context, const aiMaterial& in, const std::string& material,
               const char* key, unsigned type, unsigned index, const char* what, Color& out) {
  aiColor3D c;
  if (in.Get(key, type, index, c) != aiReturn_SUCCESS) return false;
  out = Color(Clamped(context, material, what, c.r), Clamped(context, material, what, c.g),
              Clamped(context, material, what, c.b));
  return true;
}

// Glossiness as the host's standard material keeps it (0 to 1). Formats give
// it either so (Collada files written by the modelling host) or as a specular
// exponent (OBJ, FBX, glTF through its roughness): an exponent of 2^(g/10)
// goes with a glossiness of g percent, as in the host's Blinn shading.
float Glossiness(float shininess) {
  if (!std::isfinite(shininess) || shininess <= 0.0f) return 0.0f;
  if (shininess <= 1.0f) return shininess;
  return std::clamp(10.0f * std::log2(shininess) / 100.0f, 0.0f, 1.0f);
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A map's file as the asset names it: separators may be '\', the path may
// start with "./", and the file may have moved beside the asset or differ in
// case (assets made on systems that ignore case).
fs::path ResolveMapFile(ImportContext& context, const std::string& material, const char* slot,
                        std::string raw) {
  std::replace(raw.begin(), raw.end(), '\\', '/');
  if (raw.rfind("file://", 0) == 0) raw.erase(0, 7);
  while (raw.rfind("./", 0) == 0) raw.erase(0, 2);
  const fs::path given(raw);
  if (context.assetFolder.empty()) return given;
  std::error_code error;
  std::vector<fs::path> candidates;
  if (given.is_absolute()) candidates.push_back(given);
  candidates.push_back((context.assetFolder / given).lexically_normal());
  candidates.push_back(context.assetFolder / given.filename());
  for (const fs::path& candidate : candidates) {
    if (fs::is_regular_file(candidate, error)) return candidate;
  }
  const std::string wanted = Lower(given.filename().string());
  for (const auto& entry : fs::directory_iterator(context.assetFolder, error)) {
    if (Lower(entry.path().filename().string()) == wanted && entry.is_regular_file(error)) {
      return entry.path();
    }
  }
  context.Warn("material " + Quoted(material) + ": its " + slot + " map " + Quoted(raw) +
               " is not found beside the asset; the path is kept");
  return given.is_absolute() ? given : (context.assetFolder / given).lexically_normal();
}

std::string SafeName(std::string name) {
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.') c = '_';
  }
  return name;
}

// An uncompressed embedded image as a 32-bit top-down TGA file.
std::vector<uint8_t> TgaBytes(const aiTexture& texture) {
  const unsigned w = texture.mWidth, h = texture.mHeight;
  std::vector<uint8_t> bytes(18, 0);
  bytes[2] = 2;  // true colour, uncompressed
  bytes[12] = w & 0xFF, bytes[13] = (w >> 8) & 0xFF;
  bytes[14] = h & 0xFF, bytes[15] = (h >> 8) & 0xFF;
  bytes[16] = 32;
  bytes[17] = 0x28;  // 8 alpha bits, top row first
  bytes.reserve(18 + size_t{w} * h * 4);
  for (size_t i = 0; i < size_t{w} * h; ++i) {
    const aiTexel& t = texture.pcData[i];
    bytes.insert(bytes.end(), {t.b, t.g, t.r, t.a});
  }
  return bytes;
}

// The file an embedded image is written to, made once per image.
fs::path EmbeddedFile(ImportContext& context, const aiTexture& texture, size_t index) {
  if (auto known = context.embeddedFiles.find(index); known != context.embeddedFiles.end())
    return known->second;
  std::string hint(texture.achFormatHint, strnlen(texture.achFormatHint, HINTMAXTEXTURELEN));
  std::string originalName = texture.mFilename.C_Str();
  std::replace(originalName.begin(), originalName.end(), '\\', '/');
  const fs::path original = originalName;
  std::string stem = SafeName(original.stem().string());
  if (stem.empty()) stem = "image" + std::to_string(index);
  std::string extension;
  std::vector<uint8_t> bytes;
  if (texture.mHeight == 0) {
    const auto* data = reinterpret_cast<const uint8_t*>(texture.pcData);
    if (!data && texture.mWidth)
      throw AssetProblem("embedded image " + std::to_string(index) + " has no data");
    bytes.assign(data, data + texture.mWidth);
    extension = SafeName(Lower(hint.empty() ? original.extension().string() : "." + hint));
    if (extension.empty() || extension == ".") extension = ".img";
    if (extension == ".jpeg") extension = ".jpg";
  } else {
    if (!texture.pcData)
      throw AssetProblem("embedded image " + std::to_string(index) + " has no data");
    if (texture.mWidth > 0xFFFF || texture.mHeight > 0xFFFF) {
      throw AssetProblem("embedded image " + std::to_string(index) +
                         " is larger than 65535 texels a side");
    }
    bytes = TgaBytes(texture);
    extension = ".tga";
  }
  if (extension[0] != '.') extension.insert(0, ".");
  fs::path file = context.options.imageFolder / (context.options.imagePrefix + stem + extension);
  for (int n = 2; std::any_of(context.images.begin(), context.images.end(),
                              [&](const EmbeddedImage& i) { return i.file == file; });
       ++n) {
    file = context.options.imageFolder /
           (context.options.imagePrefix + stem + "_" + std::to_string(n) + extension);
  }
  context.images.push_back({file, std::move(bytes)});
  context.embeddedFiles[index] = file;
  return file;
}

int WrapFlags(aiTextureMapMode u, aiTextureMapMode v) {
  int flags = 0;
  if (u == aiTextureMapMode_Wrap) flags |= U_WRAP;
  if (u == aiTextureMapMode_Mirror) flags |= U_MIRROR;
  if (v == aiTextureMapMode_Wrap) flags |= V_WRAP;
  if (v == aiTextureMapMode_Mirror) flags |= V_MIRROR;
  return flags;
}

Texture* MapTexture(ImportContext& context, const aiMaterial& in, aiTextureType type,
                    Material& material, const MapSlot& slot) {
  aiString path;
  aiTextureMapping mapping = aiTextureMapping_UV;
  unsigned uvSet = 0;
  ai_real blend = 1;
  aiTextureMapMode modes[2] = {aiTextureMapMode_Wrap, aiTextureMapMode_Wrap};
  if (in.GetTexture(type, 0, &path, &mapping, &uvSet, &blend, nullptr, modes) != aiReturn_SUCCESS)
    return nullptr;
  const std::string what = "material " + Quoted(material.name) + ": its " + slot.name + " map";
  if (in.GetTextureCount(type) > 1) {
    context.Warn(what + " has layers; only the first is carried");
  }
  if (mapping != aiTextureMapping_UV) {
    context.Warn(what +
                 " is projected by the asset, not mapped by coordinates; it reads the mesh's "
                 "texture coordinates");
  }
  if (uvSet != 0) {
    context.Warn(what + " reads texture coordinate set " + std::to_string(uvSet) +
                 ", which is not carried; it reads the first set");
  }

  fs::path file;
  const aiTexture* embedded = context.ai.GetEmbeddedTexture(path.C_Str());
  if (embedded) {
    const size_t index = static_cast<size_t>(
        std::find(context.ai.mTextures, context.ai.mTextures + context.ai.mNumTextures, embedded) -
        context.ai.mTextures);
    file = EmbeddedFile(context, *embedded, index);
  } else if (path.C_Str()[0] == '*') {
    context.Warn(what + " names embedded image " + Quoted(path) + ", which the asset lacks");
    return nullptr;
  } else {
    file = ResolveMapFile(context, material.name, slot.name, path.C_Str());
  }

  Texture& texture = context.scene.CreateTexture(file.filename().string());
  texture.fileName = file.string();
  texture.uvGen.tiling = WrapFlags(modes[0], modes[1]);
  aiUVTransform transform;
  if (in.Get(AI_MATKEY_UVTRANSFORM(type, 0), transform) == aiReturn_SUCCESS) {
    const float values[] = {transform.mScaling.x, transform.mScaling.y, transform.mTranslation.x,
                            transform.mTranslation.y, transform.mRotation};
    if (std::all_of(std::begin(values), std::end(values),
                    [](float f) { return std::isfinite(f); })) {
      texture.uvGen.uScale = transform.mScaling.x;
      texture.uvGen.vScale = transform.mScaling.y;
      texture.uvGen.uOffset = transform.mTranslation.x;
      texture.uvGen.vOffset = transform.mTranslation.y;
      if (transform.mRotation != 0.0f) context.Warn(what + ": its rotation is not carried");
    } else {
      context.Warn(what + ": its tiling is not finite and is left out");
    }
  }
  if (blend != 1)
    material.amounts[slot.slot] = Clamped(context, material.name, "map amount", blend);
  return &texture;
}

const char* TextureTypeName(aiTextureType type) {
  switch (type) {
    case aiTextureType_AMBIENT:
      return "ambient";
    case aiTextureType_SHININESS:
      return "glossiness";
    case aiTextureType_DISPLACEMENT:
      return "displacement";
    case aiTextureType_LIGHTMAP:
      return "light or occlusion";
    case aiTextureType_METALNESS:
      return "metalness";
    case aiTextureType_DIFFUSE_ROUGHNESS:
      return "roughness";
    case aiTextureType_AMBIENT_OCCLUSION:
      return "occlusion";
    case aiTextureType_EMISSION_COLOR:
      return "emission";
    case aiTextureType_NORMAL_CAMERA:
      return "camera normal";
    case aiTextureType_SHEEN:
      return "sheen";
    case aiTextureType_CLEARCOAT:
      return "clearcoat";
    case aiTextureType_TRANSMISSION:
      return "transmission";
    default:
      return "metal-roughness or other";
  }
}

}  // namespace

Mtl* HostMaterial(ImportContext& context, unsigned index) {
  if (Mtl* known = context.materials[index]) return known;
  const aiMaterial* in = context.ai.mMaterials ? context.ai.mMaterials[index] : nullptr;
  if (!in) throw AssetProblem("material " + std::to_string(index) + " is missing");
  aiString name;
  in->Get(AI_MATKEY_NAME, name);
  Material& m = context.scene.CreateMaterial(
      name.length ? name.C_Str() : "Material #" + std::to_string(index + 1));
  context.materials[index] = &m;

  ReadColor(context, *in, m.name, AI_MATKEY_COLOR_DIFFUSE, "diffuse colour", m.diffuse);
  // The host's standard material ties ambient to diffuse unless told otherwise.
  if (!ReadColor(context, *in, m.name, AI_MATKEY_COLOR_AMBIENT, "ambient colour", m.ambient))
    m.ambient = m.diffuse;
  ReadColor(context, *in, m.name, AI_MATKEY_COLOR_SPECULAR, "specular colour", m.specular);
  float value = 0;
  if (in->Get(AI_MATKEY_SHININESS, value) == aiReturn_SUCCESS) m.shininess = Glossiness(value);
  if (in->Get(AI_MATKEY_SHININESS_STRENGTH, value) == aiReturn_SUCCESS)
    m.shineStrength = Clamped(context, m.name, "specular level", value);
  if (in->Get(AI_MATKEY_OPACITY, value) == aiReturn_SUCCESS)
    m.opacity = Clamped(context, m.name, "opacity", value);
  else if (in->Get(AI_MATKEY_TRANSPARENCYFACTOR, value) == aiReturn_SUCCESS)
    m.opacity = 1.0f - Clamped(context, m.name, "transparency", value);
  int twoSided = 0;
  if (in->Get(AI_MATKEY_TWOSIDED, twoSided) == aiReturn_SUCCESS) m.twoSided = twoSided != 0;

  std::vector<bool> carried(AI_TEXTURE_TYPE_MAX + 1, false);
  for (const MapSlot& slot : kMapSlots) {
    aiTextureType type = slot.type;
    if (in->GetTextureCount(type) == 0 && slot.fallback != aiTextureType_NONE) type = slot.fallback;
    if (in->GetTextureCount(type) == 0) continue;
    carried[slot.type] = carried[type] = true;
    if (Texture* texture = MapTexture(context, *in, type, m, slot)) m.SetMap(slot.slot, texture);
  }
  // glTF gives its base colour map as both diffuse and base colour.
  carried[aiTextureType_BASE_COLOR] =
      carried[aiTextureType_BASE_COLOR] || carried[aiTextureType_DIFFUSE];
  for (int t = aiTextureType_DIFFUSE; t <= AI_TEXTURE_TYPE_MAX; ++t) {
    const auto type = static_cast<aiTextureType>(t);
    if (!carried[t] && in->GetTextureCount(type) > 0) {
      context.Warn("material " + Quoted(m.name) + ": its " + TextureTypeName(type) +
                   " map is not carried (a standard material has no slot for it)");
    }
  }
  return &m;
}

}  // namespace kiln::standalone
