#pragma once
#include <cstdint>
#include <map>
#include <string>

class INode;

namespace kiln {

// Shader names by face material id, from the "ShaderID" section of the
// shader map file (lines id=shader name). Keys are read like atoi (leading
// blanks and a sign, digits up to the first other character, none giving
// 0), saturating at the integer range; an id listed twice keeps its first
// name. A missing file or section gives an empty table.
std::map<int32_t, std::string> ReadShaderMap(const std::string& path);
// The C library's decimal conversion, saturating instead of overflowing.
int32_t SaturatingAtoi(const std::string& text);

// The shader named after a material's channel mask: none gives "Diffuse";
// diffuse with reflection "Reflection"; else diffuse with bump "Bump"; else
// diffuse "Texture"; anything else the empty name.
std::string ShaderNameForMapChannels(uint32_t mask);

// Writes the "Switch", "SwitchBox" and "Predicate" entries of a car mesh
// node into the .ini file, from the car settings file's section named after
// the node (defaults "false", "light", "NotUsed"), while .ini files are written.
void WriteCarMeshSwitches(INode* node);

}  // namespace kiln
