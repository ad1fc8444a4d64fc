#pragma once
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Reads the exporter's chunked files: a banner string, then chunks of
//   dword id length (12), dword type, subtype, version, dword size, payload
// nested to any depth. Input is untrusted: every size and field is checked
// before use, and a malformed file gives a ReadError, never a crash.
namespace kiln::reader {

constexpr uint32_t kChunkIdLength = 12;
constexpr uint32_t kChunkHeaderSize = 20;
// The size field of a chunk that was begun and never ended.
constexpr uint32_t kUnfinishedChunkSize = 0xBABEFACE;

struct ChunkId {
  uint32_t type = 0;
  uint32_t subtype = 0;
  uint32_t version = 0;
  friend bool operator==(const ChunkId&, const ChunkId&) = default;
};

// "(18, 0, 1)"
std::string ToString(const ChunkId& id);

// A malformed file. Offset is the file offset where the problem was found.
class ReadError : public std::runtime_error {
 public:
  ReadError(uint64_t offset, const std::string& message);
  uint64_t Offset() const { return offset_; }

 private:
  uint64_t offset_;
};

struct Chunk;

// The decoded fields of a chunk payload. Each kind of chunk with a decoder
// has its own subclass with typed fields (see SceneChunks.h).
class Payload {
 public:
  virtual ~Payload() = default;
  // What the chunk is, for people: "hierarchy entry".
  virtual std::string_view Kind() const = 0;
  // The decoded fields in payload order, for the dumps.
  virtual nlohmann::ordered_json Fields() const = 0;
  // Compares the decoded head with the chunks nested after it (a count
  // against the number of entries, say) and adds a note for each mismatch.
  virtual void CheckChildren(const std::vector<Chunk>& children,
                             std::vector<std::string>& notes) const;
};

struct Chunk {
  uint64_t offset = 0;  // first byte of the header
  ChunkId id;
  uint32_t size = 0;  // bytes after the size field: payload and nested chunks
  // Null when no decoder knows the chunk (or its version is not 1).
  std::shared_ptr<const Payload> decoded;
  // First payload byte after the decoded fields: nested chunks, or bytes
  // nobody decoded, run from here to End().
  uint64_t bodyOffset = 0;
  std::vector<Chunk> children;
  // Things worth knowing that do not make the file unreadable.
  std::vector<std::string> notes;

  uint64_t PayloadOffset() const { return offset + kChunkHeaderSize; }
  uint64_t End() const { return PayloadOffset() + size; }
  // Bytes after the decoded fields that are neither decoded nor chunks.
  uint64_t UndecodedBytes() const { return children.empty() ? End() - bodyOffset : 0; }
  template <typename T>
  const T* As() const {
    return dynamic_cast<const T*>(decoded.get());
  }
};

struct ChunkFile {
  std::vector<uint8_t> bytes;
  std::string banner;
  std::vector<Chunk> chunks;
  // Bytes after the last complete top-level chunk, as an undone chunk at the
  // end of an export leaves them.
  uint64_t trailingOffset = 0;
  uint64_t trailingBytes = 0;
  std::vector<std::string> notes;

  std::span<const uint8_t> PayloadOf(const Chunk& chunk) const;
};

// Reads and parses a whole file; a file that cannot be read is a ReadError
// at offset 0.
ChunkFile ReadChunkFile(const std::string& path);
// Parses the bytes of a file with the standard decoders.
ChunkFile ParseChunkFile(std::vector<uint8_t> bytes);

// Every chunk of that type (and subtype), depth first, in file order.
std::vector<const Chunk*> FindChunks(const ChunkFile& file, uint32_t type);
std::vector<const Chunk*> FindChunks(const ChunkFile& file, uint32_t type, uint32_t subtype);

}  // namespace kiln::reader
