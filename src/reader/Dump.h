#pragma once
#include <nlohmann/json.hpp>
#include <string>

#include "reader/ChunkFile.h"

namespace kiln::reader {

// The chunk tree for people: one line per chunk with its offset, id, kind and
// size, its decoded fields indented below it, notes marked with "!".
std::string DumpText(const ChunkFile& file);

// The chunk tree for programs: {size, banner, chunks: [{offset, id, size,
// kind, fields, children, undecoded, notes}], trailing, notes}. Texts from
// the file are turned into valid UTF-8 (bytes that are not are read as
// Latin-1).
nlohmann::json DumpJson(const ChunkFile& file);

}  // namespace kiln::reader
