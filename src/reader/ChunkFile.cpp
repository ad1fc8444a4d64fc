#include "reader/ChunkFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "reader/AnimationChunks.h"
#include "reader/Decoders.h"

namespace kiln::reader {

namespace {

// Real files nest a few levels (track, transform, position, key block);
// the limit keeps hostile input from exhausting the stack.
constexpr int kMaxDepth = 64;

// Chunks nested past the limit make the whole file unreadable, even inside
// a payload that is only tried as chunks.
class NestingError : public ReadError {
 public:
  using ReadError::ReadError;
};

uint32_t DWordAt(const std::vector<uint8_t>& bytes, uint64_t offset) {
  uint32_t value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

class Parser {
 public:
  Parser(const std::vector<uint8_t>& bytes, const DecoderRegistry& decoders)
      : bytes_(bytes), decoders_(decoders) {}

  // The chunk at offset, which must end by end (its parent's or the file's).
  Chunk ParseChunk(uint64_t offset, uint64_t end, int depth) const {
    const char* container = depth == 0 ? "the file" : "its parent";
    if (depth > kMaxDepth) {
      throw NestingError(offset,
                         "chunks nested deeper than " + std::to_string(kMaxDepth) + " levels");
    }
    uint64_t left = end - offset;
    if (left >= 4 && DWordAt(bytes_, offset) != kChunkIdLength) {
      throw ReadError(offset, "wrong chunk id length " + std::to_string(DWordAt(bytes_, offset)) +
                                  " (chunk ids are 12 bytes)");
    }
    if (left < kChunkHeaderSize) {
      throw ReadError(offset, "truncated chunk header: " + std::to_string(left) +
                                  " bytes left before the end of " + container +
                                  ", a header needs 20");
    }
    Chunk chunk;
    chunk.offset = offset;
    chunk.id = {DWordAt(bytes_, offset + 4), DWordAt(bytes_, offset + 8),
                DWordAt(bytes_, offset + 12)};
    chunk.size = DWordAt(bytes_, offset + 16);
    chunk.bodyOffset = chunk.PayloadOffset();
    if (chunk.size > left - kChunkHeaderSize) {
      std::string problem = chunk.size == kUnfinishedChunkSize
                                ? " was never ended (its size is still the placeholder)"
                                : " has size " + std::to_string(chunk.size) + ", past the end of " +
                                      container + " (" + std::to_string(left - kChunkHeaderSize) +
                                      " bytes left)";
      throw ReadError(offset, "chunk " + ToString(chunk.id) + problem);
    }
    const Decoder* decoder = decoders_.Find(chunk.id.type, chunk.id.subtype);
    if (chunk.id.version != 1) {
      // Another version may lay its payload out differently: leave it undecoded.
      chunk.notes.push_back("version " + std::to_string(chunk.id.version) + ", expected 1" +
                            (decoder ? ": payload not decoded" : ""));
      decoder = nullptr;
    }
    if (decoder) {
      Decode(chunk, *decoder, depth);
    } else {
      chunk.children = TryChildren(chunk.PayloadOffset(), chunk.End(), depth + 1);
    }
    return chunk;
  }

  // Chunks that exactly fill [begin, end).
  std::vector<Chunk> ParseChildren(uint64_t begin, uint64_t end, int depth) const {
    std::vector<Chunk> children;
    for (uint64_t offset = begin; offset < end;) {
      children.push_back(ParseChunk(offset, end, depth));
      offset = children.back().End();
    }
    return children;
  }

 private:
  void Decode(Chunk& chunk, const Decoder& decoder, int depth) const {
    std::span<const uint8_t> payload(bytes_.data() + chunk.PayloadOffset(), chunk.size);
    PayloadCursor cursor(payload, chunk.PayloadOffset(), chunk);
    chunk.decoded = decoder.decode(cursor);
    chunk.bodyOffset = cursor.Offset();
    if (decoder.body == Body::kChunks) {
      chunk.children = ParseChildren(chunk.bodyOffset, chunk.End(), depth + 1);
      chunk.decoded->CheckChildren(chunk.children, chunk.notes);
    } else if (!cursor.AtEnd()) {
      chunk.notes.push_back(std::to_string(cursor.Remaining()) + " bytes after the decoded fields");
    }
  }

  // An unknown payload shows as chunks when it parses cleanly as chunks;
  // otherwise it stays raw bytes.
  std::vector<Chunk> TryChildren(uint64_t begin, uint64_t end, int depth) const {
    try {
      return ParseChildren(begin, end, depth);
    } catch (const NestingError&) {
      throw;
    } catch (const ReadError&) {
      return {};
    }
  }

  const std::vector<uint8_t>& bytes_;
  const DecoderRegistry& decoders_;
};

void CollectChunks(const std::vector<Chunk>& chunks, uint32_t type, const uint32_t* subtype,
                   std::vector<const Chunk*>& found) {
  for (const Chunk& chunk : chunks) {
    if (chunk.id.type == type && (!subtype || chunk.id.subtype == *subtype))
      found.push_back(&chunk);
    CollectChunks(chunk.children, type, subtype, found);
  }
}

}  // namespace

std::string ToString(const ChunkId& id) {
  std::string text = "(";
  text += std::to_string(id.type);
  text += ", ";
  text += std::to_string(id.subtype);
  text += ", ";
  text += std::to_string(id.version);
  text += ')';
  return text;
}

ReadError::ReadError(uint64_t offset, const std::string& message)
    : std::runtime_error("offset " + std::to_string(offset) + ": " + message), offset_(offset) {}

void Payload::CheckChildren(const std::vector<Chunk>&, std::vector<std::string>&) const {}

void DecoderRegistry::Add(uint32_t type, uint32_t subtype, Decoder decoder) {
  if (!decoder.decode) throw std::logic_error("chunk decoder without a decode function");
  if (!decoders_.emplace(std::make_pair(type, subtype), decoder).second) {
    throw std::logic_error("two decoders for chunk type " + std::to_string(type) + " subtype " +
                           std::to_string(subtype));
  }
}

const Decoder* DecoderRegistry::Find(uint32_t type, uint32_t subtype) const {
  auto found = decoders_.find({type, subtype});
  if (found == decoders_.end()) found = decoders_.find({type, kAnySubtype});
  return found == decoders_.end() ? nullptr : &found->second;
}

std::span<const uint8_t> ChunkFile::PayloadOf(const Chunk& chunk) const {
  if (chunk.End() > bytes.size()) return {};
  return std::span<const uint8_t>(bytes).subspan(chunk.PayloadOffset(), chunk.size);
}

ChunkFile ParseChunkFile(std::vector<uint8_t> bytes, const DecoderRegistry& decoders) {
  ChunkFile file;
  file.bytes = std::move(bytes);
  const std::vector<uint8_t>& data = file.bytes;
  if (data.empty()) throw ReadError(0, "file too short: it is empty, expected the banner string");
  auto zero = std::find(data.begin(), data.end(), uint8_t{0});
  if (zero == data.end()) {
    throw ReadError(0, "missing banner: the file does not start with a zero-terminated string");
  }
  file.banner.assign(data.begin(), zero);
  if (file.banner != "Pangolin scene marker!")
    file.notes.push_back("unexpected banner \"" + file.banner + "\"");

  // Top-level chunks run to the end of the file. An export whose last chunk
  // was undone leaves that chunk's bytes behind the last complete one: they
  // start with an unfinished header, or (after a shorter chunk overwrote the
  // undone one's start) with bytes that are no chunk header at all.
  Parser parser(data, decoders);
  uint64_t offset = static_cast<uint64_t>(zero - data.begin()) + 1;
  while (offset < data.size()) {
    uint64_t left = data.size() - offset;
    bool header = left >= 4 && DWordAt(data, offset) == kChunkIdLength;
    bool unfinished =
        header && left >= kChunkHeaderSize && DWordAt(data, offset + 16) == kUnfinishedChunkSize;
    bool leftOver = unfinished || (!header && !file.chunks.empty());
    if (leftOver) {
      file.trailingOffset = offset;
      file.trailingBytes = left;
      file.notes.push_back(std::to_string(left) + " trailing bytes at offset " +
                           std::to_string(offset) + " after the last chunk" +
                           (unfinished ? " (an unfinished chunk)" : ""));
      break;
    }
    file.chunks.push_back(parser.ParseChunk(offset, data.size(), 0));
    offset = file.chunks.back().End();
  }
  if (file.chunks.empty()) file.notes.push_back("no chunks after the banner");
  return file;
}

ChunkFile ParseChunkFile(std::vector<uint8_t> bytes) {
  return ParseChunkFile(std::move(bytes), StandardDecoders());
}

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    throw ReadError(0, "cannot read " + path + ": " + std::generic_category().message(EISDIR));
  }
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) {
    throw ReadError(0, "cannot open " + path + ": " + std::generic_category().message(errno));
  }
  std::streamoff size = in.tellg();
  std::vector<uint8_t> bytes(size > 0 ? static_cast<size_t>(size) : 0);
  in.seekg(0);
  if (size < 0 || !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
    throw ReadError(0, "cannot read " + path);
  }
  return bytes;
}

}  // namespace

ChunkFile ReadChunkFile(const std::string& path) {
  ChunkFile file = ParseChunkFile(ReadBytes(path));
  // An animation file keeps its samples in the stream file beside it.
  std::filesystem::path stream(path);
  if (stream.extension() == ".zqa") {
    stream.replace_extension(".str");
    std::error_code error;
    if (std::filesystem::is_regular_file(stream, error)) {
      AttachStream(file, ReadBytes(stream.string()));
    } else {
      file.notes.push_back("no stream file " + stream.filename().string() + " beside the file");
    }
  }
  return file;
}

std::vector<const Chunk*> FindChunks(const ChunkFile& file, uint32_t type) {
  std::vector<const Chunk*> found;
  CollectChunks(file.chunks, type, nullptr, found);
  return found;
}

std::vector<const Chunk*> FindChunks(const ChunkFile& file, uint32_t type, uint32_t subtype) {
  std::vector<const Chunk*> found;
  CollectChunks(file.chunks, type, &subtype, found);
  return found;
}

}  // namespace kiln::reader
