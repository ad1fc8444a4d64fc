#include "reader/Dump.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <sstream>

namespace kiln::reader {

// Names and values in the file are single-byte text of the artist's code
// page; JSON wants UTF-8. Valid UTF-8 stays, anything else is read as Latin-1.
std::string DisplayText(const std::string& text) {
  try {
    (void)nlohmann::json(text).dump();
    return text;
  } catch (const nlohmann::json::type_error&) {
    std::string utf8;
    for (unsigned char c : text) {
      if (c < 0x80) {
        utf8 += static_cast<char>(c);
      } else {
        utf8 += static_cast<char>(0xC0 | (c >> 6));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return utf8;
  }
}

static void MakeTextsDisplayable(nlohmann::ordered_json& value) {
  if (value.is_string()) {
    value = DisplayText(value.get<std::string>());
  } else if (value.is_structured()) {
    for (nlohmann::ordered_json& element : value) MakeTextsDisplayable(element);
  }
}

nlohmann::ordered_json DisplayFields(const Payload& payload) {
  nlohmann::ordered_json fields = payload.Fields();
  MakeTextsDisplayable(fields);
  return fields;
}

namespace {

using Ordered = nlohmann::ordered_json;

constexpr size_t kHexPreviewBytes = 32;

std::string HexPreview(std::span<const uint8_t> bytes) {
  std::string hex;
  size_t shown = std::min(bytes.size(), kHexPreviewBytes);
  for (size_t i = 0; i < shown; ++i) {
    char digits[4];
    std::snprintf(digits, sizeof digits, i == 0 ? "%02x" : " %02x", bytes[i]);
    hex += digits;
  }
  if (shown < bytes.size()) hex += " ...";
  return hex;
}

std::span<const uint8_t> UndecodedOf(const ChunkFile& file, const Chunk& chunk) {
  if (chunk.End() > file.bytes.size()) return {};
  return std::span<const uint8_t>(file.bytes).subspan(chunk.bodyOffset, chunk.UndecodedBytes());
}

// ---- text ----

// Floats were written as floats: print the shortest text that reads back the same float.
std::string FormatNumber(double value) {
  char text[64];
  float single = static_cast<float>(value);
  auto result = (static_cast<double>(single) == value || std::isnan(value))
                    ? std::to_chars(text, text + sizeof text, single)
                    : std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string Scalar(const Ordered& value) {
  if (value.is_number_float()) return FormatNumber(value.get<double>());
  if (value.is_array()) {
    std::string list = "[";
    for (size_t i = 0; i < value.size(); ++i) list += (i ? ", " : "") + Scalar(value[i]);
    return list + "]";
  }
  return value.dump();  // quotes and escapes strings, prints integers as they are
}

// JSON as nlohmann's dump(2) writes it, indented from indent, but with
// floats as FormatNumber writes them: 0.1 rather than 0.10000000149011612.
void WriteJson(const Ordered& value, int indent, std::ostream& out) {
  const std::string inner(static_cast<size_t>(indent + 2), ' ');
  if (value.is_number_float()) {
    double number = value.get<double>();
    out << (std::isfinite(number) ? FormatNumber(number) : "null");
  } else if (value.is_structured() && !value.empty()) {
    const bool object = value.is_object();
    out << (object ? '{' : '[');
    bool first = true;
    for (auto item = value.begin(); item != value.end(); ++item) {
      out << (first ? "\n" : ",\n") << inner;
      first = false;
      if (object) out << Ordered(item.key()).dump() << ": ";
      WriteJson(*item, indent + 2, out);
    }
    out << '\n' << std::string(static_cast<size_t>(indent), ' ') << (object ? '}' : ']');
  } else {
    out << value.dump(-1, ' ', false, Ordered::error_handler_t::replace);
  }
}

bool IsScalarList(const Ordered& value) {
  if (!value.is_array()) return false;
  for (const Ordered& element : value)
    if (element.is_structured()) return false;
  return true;
}

// Writes chunk by chunk: the dump of a large file is never held whole.
class TextDump {
 public:
  TextDump(const ChunkFile& file, std::ostream& out) : file_(file), stream_(out) {}

  void Run() {
    Line(0, "file: " + std::to_string(file_.bytes.size()) + " bytes");
    Line(0, "banner: " + nlohmann::json(DisplayText(file_.banner)).dump());
    for (const std::string& note : file_.notes) Line(0, "! " + DisplayText(note));
    for (const Chunk& chunk : file_.chunks) DumpChunk(chunk, 0);
    if (file_.trailingBytes > 0) {
      Line(0, "trailing bytes: " + std::to_string(file_.trailingBytes) + " at offset " +
                  std::to_string(file_.trailingOffset));
    }
    Flush();
  }

 private:
  void Line(int indent, const std::string& text) {
    out_.append(static_cast<size_t>(indent), ' ');
    out_ += text;
    out_ += '\n';
  }

  void DumpChunk(const Chunk& chunk, int indent) {
    std::string head = "@" + std::to_string(chunk.offset) + " " + ToString(chunk.id);
    if (chunk.decoded) head += " " + std::string(chunk.decoded->Kind());
    Line(indent, head + ", size " + std::to_string(chunk.size));
    int inner = indent + 2;
    for (const std::string& note : chunk.notes) Line(inner, "! " + DisplayText(note));
    if (chunk.decoded) Fields(DisplayFields(*chunk.decoded), inner);
    if (chunk.UndecodedBytes() > 0) {
      Line(inner, "undecoded: " + std::to_string(chunk.UndecodedBytes()) + " bytes at offset " +
                      std::to_string(chunk.bodyOffset) + ": " +
                      HexPreview(UndecodedOf(file_, chunk)));
    }
    Flush();
    for (const Chunk& child : chunk.children) DumpChunk(child, inner);
  }

  void Flush() {
    stream_ << out_;
    out_.clear();
  }

  void Fields(const Ordered& fields, int indent) {
    for (const auto& [key, value] : fields.items()) {
      if (!value.is_structured() || IsScalarList(value)) {
        Line(indent, key + ": " + Scalar(value));
      } else if (value.is_object()) {
        Line(indent, key + ":");
        Fields(value, indent + 2);
      } else {
        Line(indent, key + ":");
        for (const Ordered& element : value) ListItem(element, indent + 2);
      }
    }
  }

  // "- " takes the place of the item's indentation on its first line.
  void ListItem(const Ordered& item, int indent) {
    size_t start = out_.size();
    if (item.is_object()) {
      Fields(item, indent + 2);
    } else {
      Line(indent + 2, Scalar(item));
    }
    if (out_.size() == start)
      Line(indent, "- {}");
    else
      out_.replace(start + static_cast<size_t>(indent), 2, "- ");
  }

  const ChunkFile& file_;
  std::ostream& stream_;
  std::string out_;  // the lines of one chunk: a list item's first line is mended in place
};

// ---- JSON ----

// Writes the JSON of the dump piece by piece, indented by two, so that the
// dump of a large file is never held whole.
class JsonDump {
 public:
  JsonDump(const ChunkFile& file, std::ostream& out) : file_(file), out_(out) {}

  void Run() {
    Open('{');
    Member("size", file_.bytes.size());
    Member("banner", DisplayText(file_.banner));
    Key("chunks");
    Open('[');
    for (const Chunk& chunk : file_.chunks) WriteChunk(chunk);
    Close(']');
    if (file_.trailingBytes > 0) {
      Member("trailing", {{"offset", file_.trailingOffset}, {"size", file_.trailingBytes}});
    }
    Member("notes", Notes(file_.notes));
    Close('}');
    out_ << '\n';
  }

 private:
  void WriteChunk(const Chunk& chunk) {
    Open('{');
    Member("offset", chunk.offset);
    Member("id", {chunk.id.type, chunk.id.subtype, chunk.id.version});
    Member("size", chunk.size);
    if (chunk.decoded) {
      Member("kind", std::string(chunk.decoded->Kind()));
      Member("fields", DisplayFields(*chunk.decoded));
    }
    if (chunk.UndecodedBytes() > 0) {
      Member("undecoded", {{"offset", chunk.bodyOffset},
                           {"size", chunk.UndecodedBytes()},
                           {"head", HexPreview(UndecodedOf(file_, chunk))}});
    }
    if (!chunk.notes.empty()) Member("notes", Notes(chunk.notes));
    if (!chunk.children.empty()) {
      Key("children");
      Open('[');
      for (const Chunk& child : chunk.children) WriteChunk(child);
      Close(']');
    }
    Close('}');
  }

  static Ordered Notes(const std::vector<std::string>& notes) {
    Ordered list = Ordered::array();
    for (const std::string& note : notes) list.push_back(DisplayText(note));
    return list;
  }

  // Starts a value in the open container: a comma after the one before, a
  // new line and the container's indentation. A member's value follows its key.
  void Next() {
    if (afterKey_) {
      afterKey_ = false;
      return;
    }
    if (!firstInContainer_) out_ << ',';
    firstInContainer_ = false;
    out_ << '\n' << std::string(2 * depth_, ' ');
  }

  void Key(const char* key) {
    Next();
    out_ << '"' << key << "\": ";
    afterKey_ = true;
  }

  void Value(const Ordered& value) {
    Next();
    // Lines after the first take the indentation of where the value stands.
    WriteJson(value, 2 * depth_, out_);
  }

  void Member(const char* key, const Ordered& value) {
    Key(key);
    Value(value);
  }

  void Open(char bracket) {
    if (depth_ > 0 || afterKey_) Next();
    out_ << bracket;
    ++depth_;
    firstInContainer_ = true;
  }

  void Close(char bracket) {
    --depth_;
    if (!firstInContainer_) out_ << '\n' << std::string(2 * depth_, ' ');
    out_ << bracket;
    firstInContainer_ = false;
  }

  const ChunkFile& file_;
  std::ostream& out_;
  int depth_ = 0;
  bool firstInContainer_ = true;
  bool afterKey_ = false;
};

}  // namespace

void WriteDumpText(const ChunkFile& file, std::ostream& out) {
  TextDump(file, out).Run();
}

std::string DumpText(const ChunkFile& file) {
  std::ostringstream out;
  WriteDumpText(file, out);
  return out.str();
}

void WriteDumpJson(const ChunkFile& file, std::ostream& out) {
  JsonDump(file, out).Run();
}

nlohmann::json DumpJson(const ChunkFile& file) {
  std::ostringstream out;
  WriteDumpJson(file, out);
  return nlohmann::json::parse(out.str());
}

}  // namespace kiln::reader
