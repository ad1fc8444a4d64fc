#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <vector>

#include "standalone/JsonInput.h"

namespace kiln::standalone {

// Number arrays of a scene file. An array is written inline, grouped when its
// items have several numbers ([[x, y, z], ...]) or flat when they have one,
// or as a view into a binary side file listed under "buffers":
//   {"buffer": 0, "offset": 64, "count": 300, "type": "f32"}
// where count is the number of numbers (not of items) and type one of f32,
// u8, u16, u32, all little-endian. A side file is opened when first used and
// each view reads just its own bytes, checked against the file's size, so a
// large side file is never held in memory whole. Only regular files are
// read: a pipe or device named as a side file is refused without waiting on
// it. No array holds more than kMaxArrayItems items, checked before anything
// is allocated for it.
class SideBufferReader {
 public:
  static constexpr size_t kMaxArrayItems = size_t{1} << 26;

  // buffers: the document's "buffers" member, if any; uris are relative to baseDir.
  SideBufferReader(std::optional<JsonValue> buffers, std::filesystem::path baseDir);
  ~SideBufferReader();
  SideBufferReader(const SideBufferReader&) = delete;
  SideBufferReader& operator=(const SideBufferReader&) = delete;

  std::vector<float> Floats(const JsonValue& field, size_t group);
  std::vector<uint32_t> Unsigneds(const JsonValue& field, size_t group, uint32_t max = UINT32_MAX);

 private:
  struct Buffer {
    std::string uri;
    std::optional<uint64_t> byteLength;
    int fd = -1;  // open once used
    uint64_t size = 0;
  };
  struct View {
    std::vector<uint8_t> bytes;
    size_t count;
    std::string type;
  };
  View ReadView(const JsonValue& view, size_t group);
  // The number of items of an inline array, checked against the limit.
  static size_t InlineItems(const JsonValue& field);
  Buffer& Open(size_t index, const JsonValue& where);

  std::optional<JsonValue> buffersJson_;
  std::filesystem::path baseDir_;
  std::vector<Buffer> buffers_;
};

// Collects large arrays into one side file while a scene is written; smaller
// ones stay inline.
class SideBufferWriter {
 public:
  // Arrays of at least threshold numbers go to the side file.
  explicit SideBufferWriter(size_t threshold) : threshold_(threshold) {}

  nlohmann::ordered_json Floats(std::span<const float> flat, size_t group);
  nlohmann::ordered_json Unsigneds(std::span<const uint32_t> flat, size_t group);
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  nlohmann::ordered_json View(size_t count, const char* type);

  size_t threshold_;
  std::vector<uint8_t> bytes_;
};

// The decimal text of a float that reads back as the same float, as a JSON
// number (0.1f is written 0.1, not 0.10000000149011612).
double ShortestDecimal(float f);

}  // namespace kiln::standalone
