#pragma once
#include <filesystem>
#include <nlohmann/json.hpp>

#include "standalone/JsonInput.h"
#include "standalone/SceneMaterials.h"

// The scene file's fields of materials and maps beyond their class, name and
// references: colours, scalars, slot names, map amounts and enables, bitmap
// files, coordinate generators, parameter blocks and custom attributes.
namespace kiln::standalone {

// Bitmap files relative to the scene file are found from baseDir.
void ReadTextureFields(const JsonValue& v, Texture& texture, const std::filesystem::path& baseDir);
void ReadMaterialFields(const JsonValue& v, Material& material);

// Adds the fields that differ from a new map's or material's.
void WriteTextureFields(nlohmann::ordered_json& out, Texture& texture,
                        const std::filesystem::path& baseDir);
void WriteMaterialFields(nlohmann::ordered_json& out, Material& material);

// A map slot by name ("diffuse") or number ("12", 0 to 255), and back.
std::optional<int> MapSlotByName(std::string_view name);
std::string MapSlotKey(int slot);

}  // namespace kiln::standalone
