#include "standalone/SideBuffers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/FileSystem.h"

namespace kiln::standalone {

namespace {

size_t TypeSize(const std::string& type) {
  if (type == "f32" || type == "u32") return 4;
  if (type == "u16") return 2;
  if (type == "u8") return 1;
  return 0;
}

uint32_t LittleEndianWord(const uint8_t* p, size_t size) {
  uint32_t value = 0;
  for (size_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(p[i]) << (8 * i);
  return value;
}

}  // namespace

double ShortestDecimal(float f) {
  char text[32];
  auto result = std::to_chars(text, text + sizeof(text), f);
  double d = f;
  std::from_chars(text, result.ptr, d);
  return d;
}

SideBufferReader::SideBufferReader(std::optional<JsonValue> buffers, std::filesystem::path baseDir)
    : buffersJson_(std::move(buffers)), baseDir_(std::move(baseDir)) {
  if (!buffersJson_) return;
  for (size_t i = 0; i < buffersJson_->Size(); ++i) {
    JsonValue entry = (*buffersJson_)[i];
    entry.ExpectObject({"uri", "byteLength"});
    Buffer buffer;
    buffer.uri = entry.At("uri").String();
    if (auto length = entry.Find("byteLength")) buffer.byteLength = length->Uint();
    buffers_.push_back(std::move(buffer));
  }
}

SideBufferReader::~SideBufferReader() {
  for (Buffer& buffer : buffers_) {
    if (buffer.fd >= 0) ::close(buffer.fd);
  }
}

SideBufferReader::Buffer& SideBufferReader::Open(size_t index, const JsonValue& where) {
  if (index >= buffers_.size()) {
    where.Fail("no buffer " + std::to_string(index) + " (the file lists " +
               std::to_string(buffers_.size()) + ")");
  }
  Buffer& buffer = buffers_[index];
  if (buffer.fd >= 0) return buffer;
  const JsonValue entry = (*buffersJson_)[index];
  const std::filesystem::path file = baseDir_ / buffer.uri;
  // Opened without blocking, so that a pipe with no writer is refused below
  // instead of holding the load up; regular files read as usual.
  int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    entry.At("uri").Fail("side file " + file.string() +
                         " cannot be opened: " + platform::SystemErrorText(errno));
  }
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    entry.At("uri").Fail("side file " + file.string() + " is not a regular file");
  }
  buffer.fd = fd;
  buffer.size = static_cast<uint64_t>(info.st_size);
  if (buffer.byteLength && buffer.size < *buffer.byteLength) {
    entry.At("byteLength")
        .Fail("side file " + file.string() + " holds " + std::to_string(buffer.size) +
              " bytes, fewer than its byteLength " + std::to_string(*buffer.byteLength));
  }
  return buffer;
}

SideBufferReader::View SideBufferReader::ReadView(const JsonValue& view, size_t group) {
  view.ExpectObject({"buffer", "offset", "count", "type"});
  const size_t index = view.At("buffer").Uint();
  const uint64_t offset = view.Find("offset") ? view.At("offset").Uint() : 0;
  const uint64_t count = view.At("count").Uint();
  const std::string type = view.At("type").String();
  const size_t size = TypeSize(type);
  if (size == 0) view.At("type").Fail("unknown number type \"" + type + "\" (f32, u8, u16, u32)");
  if (count % group != 0) {
    view.At("count").Fail("count " + std::to_string(count) + " is not a multiple of " +
                          std::to_string(group));
  }
  if (count / group > kMaxArrayItems) {
    view.At("count").Fail("count " + std::to_string(count) + " is more than " +
                          std::to_string(kMaxArrayItems) + " items of " + std::to_string(group));
  }
  Buffer& buffer = Open(index, view.At("buffer"));
  // 64-bit arithmetic: offset and count are at most 2^32 - 1 each, so the
  // product and sum cannot overflow.
  if (offset + count * size > buffer.size) {
    view.Fail("view of " + std::to_string(count * size) + " bytes at offset " +
              std::to_string(offset) + " runs past the end of buffer " + std::to_string(index) +
              " (" + std::to_string(buffer.size) + " bytes)");
  }
  View result{std::vector<uint8_t>(static_cast<size_t>(count * size)), static_cast<size_t>(count),
              type};
  for (size_t done = 0; done < result.bytes.size();) {
    ssize_t got = ::pread(buffer.fd, result.bytes.data() + done, result.bytes.size() - done,
                          static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      view.Fail(
          "side file " + buffer.uri + " cannot be read at offset " + std::to_string(offset + done) +
          (got < 0 ? ": " + platform::SystemErrorText(errno) : ": it is shorter than it was"));
    }
    done += static_cast<size_t>(got);
  }
  return result;
}

size_t SideBufferReader::InlineItems(const JsonValue& field) {
  const size_t items = field.Size();
  if (items > kMaxArrayItems) {
    field.Fail(std::to_string(items) + " items, more than " + std::to_string(kMaxArrayItems));
  }
  return items;
}

std::vector<float> SideBufferReader::Floats(const JsonValue& field, size_t group) {
  std::vector<float> out;
  if (field.IsObject()) {
    View view = ReadView(field, group);
    if (view.type != "f32") field.At("type").Fail("expected type f32 for these numbers");
    out.resize(view.count);
    for (size_t i = 0; i < view.count; ++i) {
      float f = std::bit_cast<float>(LittleEndianWord(view.bytes.data() + 4 * i, 4));
      if (!std::isfinite(f)) {
        field.Fail("number " + std::to_string(i) + " of the view is not finite");
      }
      out[i] = f;
    }
    return out;
  }
  const size_t items = InlineItems(field);
  out.reserve(items * group);
  for (size_t i = 0; i < items; ++i) {
    JsonValue item = field[i];
    if (group == 1) {
      out.push_back(item.Float());
      continue;
    }
    if (!item.IsArray() || item.Size() != group) {
      item.Fail("expected an array of " + std::to_string(group) + " numbers");
    }
    for (size_t k = 0; k < group; ++k) out.push_back(item[k].Float());
  }
  return out;
}

std::vector<uint32_t> SideBufferReader::Unsigneds(const JsonValue& field, size_t group,
                                                  uint32_t max) {
  std::vector<uint32_t> out;
  if (field.IsObject()) {
    View view = ReadView(field, group);
    if (view.type == "f32") field.At("type").Fail("expected an integer type (u8, u16, u32)");
    const size_t size = TypeSize(view.type);
    out.resize(view.count);
    for (size_t i = 0; i < view.count; ++i) {
      out[i] = LittleEndianWord(view.bytes.data() + size * i, size);
      if (out[i] > max) {
        field.Fail("number " + std::to_string(i) + " of the view is " + std::to_string(out[i]) +
                   ", above " + std::to_string(max));
      }
    }
    return out;
  }
  const size_t items = InlineItems(field);
  out.reserve(items * group);
  for (size_t i = 0; i < items; ++i) {
    JsonValue item = field[i];
    if (group == 1) {
      out.push_back(item.Uint(max));
      continue;
    }
    if (!item.IsArray() || item.Size() != group) {
      item.Fail("expected an array of " + std::to_string(group) + " integers");
    }
    for (size_t k = 0; k < group; ++k) out.push_back(item[k].Uint(max));
  }
  return out;
}

nlohmann::ordered_json SideBufferWriter::View(size_t count, const char* type) {
  nlohmann::ordered_json view;
  view["buffer"] = 0;
  view["offset"] = bytes_.size();
  view["count"] = count;
  view["type"] = type;
  return view;
}

nlohmann::ordered_json SideBufferWriter::Floats(std::span<const float> flat, size_t group) {
  if (flat.size() >= threshold_) {
    nlohmann::ordered_json view = View(flat.size(), "f32");
    for (float f : flat) {
      uint32_t word = std::bit_cast<uint32_t>(f);
      for (int b = 0; b < 4; ++b) bytes_.push_back(static_cast<uint8_t>(word >> (8 * b)));
    }
    return view;
  }
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (size_t i = 0; i < flat.size(); i += group) {
    if (group == 1) {
      out.push_back(ShortestDecimal(flat[i]));
      continue;
    }
    nlohmann::ordered_json item = nlohmann::ordered_json::array();
    for (size_t k = 0; k < group; ++k) item.push_back(ShortestDecimal(flat[i + k]));
    out.push_back(std::move(item));
  }
  return out;
}

nlohmann::ordered_json SideBufferWriter::Unsigneds(std::span<const uint32_t> flat, size_t group) {
  if (flat.size() >= threshold_) {
    nlohmann::ordered_json view = View(flat.size(), "u32");
    for (uint32_t word : flat) {
      for (int b = 0; b < 4; ++b) bytes_.push_back(static_cast<uint8_t>(word >> (8 * b)));
    }
    return view;
  }
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (size_t i = 0; i < flat.size(); i += group) {
    if (group == 1) {
      out.push_back(flat[i]);
      continue;
    }
    nlohmann::ordered_json item = nlohmann::ordered_json::array();
    for (size_t k = 0; k < group; ++k) item.push_back(flat[i + k]);
    out.push_back(std::move(item));
  }
  return out;
}

}  // namespace kiln::standalone
