#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "reader/ChunkFile.h"
#include "reader/PayloadCursor.h"

namespace kiln::reader {

// What follows the fields a decoder reads.
enum class Body {
  kNothing,  // the payload ends there (extra bytes are noted)
  kChunks,   // nested chunks fill the rest of the payload
};

// Decodes the head of one kind of chunk payload, leaving the cursor after it.
struct Decoder {
  Body body = Body::kNothing;
  std::shared_ptr<const Payload> (*decode)(PayloadCursor& cursor) = nullptr;
};

// Decoders keyed by chunk type and subtype. Families of chunks live in their
// own files, each with one function that adds its decoders; DecoderTable.cpp
// calls those functions to build the standard registry.
class DecoderRegistry {
 public:
  static constexpr uint32_t kAnySubtype = 0xFFFFFFFF;

  // Adding a second decoder for one key is a programming error (logic_error).
  void Add(uint32_t type, uint32_t subtype, Decoder decoder);
  // The decoder for (type, subtype), else the one for (type, kAnySubtype).
  const Decoder* Find(uint32_t type, uint32_t subtype) const;

 private:
  std::map<std::pair<uint32_t, uint32_t>, Decoder> decoders_;
};

// Every decoder of the format.
const DecoderRegistry& StandardDecoders();

// Parses bytes with the given decoders.
ChunkFile ParseChunkFile(std::vector<uint8_t> bytes, const DecoderRegistry& decoders);

}  // namespace kiln::reader
