#pragma once
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "reader/ChunkFile.h"

namespace kiln::reader {

// Text from the file as valid UTF-8: valid UTF-8 stays, other bytes are read as Latin-1.
std::string DisplayText(const std::string& text);
// The decoded fields of a payload with their texts made displayable.
nlohmann::ordered_json DisplayFields(const Payload& payload);

// The chunk tree for people: one line per chunk with its offset, id, kind and
// size, its decoded fields indented below it, notes marked with "!".
// WriteDumpText writes it as it goes, never holding the whole text.
void WriteDumpText(const ChunkFile& file, std::ostream& out);
std::string DumpText(const ChunkFile& file);

// The chunk tree for programs: {size, banner, chunks: [{offset, id, size,
// kind, fields, children, undecoded, notes}], trailing, notes}. Texts from
// the file are turned into valid UTF-8 (bytes that are not are read as
// Latin-1). WriteDumpJson writes it as it goes, indented by two.
void WriteDumpJson(const ChunkFile& file, std::ostream& out);
nlohmann::json DumpJson(const ChunkFile& file);

}  // namespace kiln::reader
