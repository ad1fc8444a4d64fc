#include "materials/ShaderMap.h"

#include <cctype>
#include <climits>
#include <vector>

#include "host/INode.h"
#include "materials/MaterialChannels.h"
#include "platform/ProfileFile.h"
#include "plugin/Globals.h"
#include "util/SettingsFile.h"

namespace kiln {

int32_t SaturatingAtoi(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT32_MAX} + 1) break;  // saturated either way
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

std::map<int32_t, std::string> ReadShaderMap(const std::string& path) {
  std::map<int32_t, std::string> table;
  SettingsFile file(path, true);
  std::vector<SettingsFile::KeyValue> pairs;
  if (!file.GetSection("ShaderID", pairs)) return table;
  for (const auto& [key, name] : pairs) table.try_emplace(SaturatingAtoi(key), name);
  return table;
}

std::string ShaderNameForMapChannels(uint32_t mask) {
  const bool diffuse = (mask & kMapChannelDiffuse) != 0;
  if (mask == 0) return "Diffuse";
  if (diffuse && (mask & kMapChannelReflection) != 0) return "Reflection";
  if (diffuse && (mask & kMapChannelBump) != 0) return "Bump";
  if (diffuse) return "Texture";
  return "";
}

void WriteCarMeshSwitches(INode* node) {
  if (!WriteIniFiles) return;
  // The whole name, however long.
  const std::string section = node->GetName();
  const std::pair<const char*, const char*> entries[] = {
      {"Switch", "false"}, {"SwitchBox", "light"}, {"Predicate", "NotUsed"}};
  for (auto [key, fallback] : entries) {
    const std::string value =
        CarSettings ? CarSettings->GetValue(section, key, fallback) : fallback;
    platform::WritePrivateProfileStringA(section.c_str(), key, value.c_str(), IniFileName.c_str());
  }
}

}  // namespace kiln
