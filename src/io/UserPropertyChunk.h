#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "plugin/KilnExporter.h"

class INode;
class Interface;

namespace kiln {

class CZX9_DiskWriter;

// A key-value line "key=value": the key is the line's first word (leading
// spaces skipped; it ends at a space or at the first '='; a tab belongs to
// the key), the value everything after the first '=', unchanged. False for a line without '=', with
// nothing after it, or with an empty key.
bool ParseUserPropertyLine(std::string_view line, std::string* key, std::string* value);

// The user properties of every node from root, root included, depth first.
std::vector<UserPropertyRecord> CollectUserProperties(INode* root, Interface* ip);

// The user-property chunk (14, 0, 1).
void WriteUserProperties(CZX9_DiskWriter* writer, const std::vector<UserPropertyRecord>& records);

}  // namespace kiln
