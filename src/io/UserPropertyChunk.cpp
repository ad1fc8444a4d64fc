#include "io/UserPropertyChunk.h"

#include "host/INode.h"
#include "host/Interface.h"
#include "io/CZX9_DiskWriter.h"

namespace kiln {
namespace {

constexpr size_t kMaxLineLength = 255;

// Only the space: a tab before or inside a key belongs to the key.
bool IsBlank(char c) {
  return c == ' ';
}

void Collect(INode* node, TimeValue start, std::vector<UserPropertyRecord>& records) {
  node->EvalWorldState(start);
  std::string buffer = node->GetUserPropBuffer();
  UserPropertyRecord record;
  record.handle = static_cast<int32_t>(node->GetHandle());
  std::string_view rest = buffer;
  while (true) {
    size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    std::string key, value;
    if (ParseUserPropertyLine(line.substr(0, kMaxLineLength), &key, &value)) {
      record.pairs.emplace_back(std::move(key), std::move(value));
    }
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  if (!record.pairs.empty()) records.push_back(std::move(record));
  for (int i = 0; i < node->NumberOfChildren(); ++i) Collect(node->GetChildNode(i), start, records);
}

}  // namespace

bool ParseUserPropertyLine(std::string_view line, std::string* key, std::string* value) {
  size_t equals = line.find('=');
  if (equals == std::string_view::npos || equals + 1 >= line.size()) return false;
  size_t begin = 0;
  while (begin < equals && IsBlank(line[begin])) ++begin;
  size_t end = begin;
  while (end < equals && !IsBlank(line[end])) ++end;
  if (end == begin) return false;
  *key = std::string(line.substr(begin, end - begin));
  *value = std::string(line.substr(equals + 1));
  return true;
}

std::vector<UserPropertyRecord> CollectUserProperties(INode* root, Interface* ip) {
  std::vector<UserPropertyRecord> records;
  Collect(root, ip->GetAnimRange().Start(), records);
  return records;
}

void WriteUserProperties(CZX9_DiskWriter* writer, const std::vector<UserPropertyRecord>& records) {
  writer->BeginChunk(14, 0, 1);
  writer->WriteInt(static_cast<int32_t>(records.size()));
  for (const UserPropertyRecord& record : records) {
    writer->WriteInt(record.handle);
    writer->WriteInt(static_cast<int32_t>(record.pairs.size()));
    for (const auto& [key, value] : record.pairs) {
      writer->WriteString(key.c_str());
      writer->WriteString(value.c_str());
    }
  }
  writer->EndChunk();
}

}  // namespace kiln
