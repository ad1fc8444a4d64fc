#pragma once
#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "host/ClassId.h"

namespace kiln::standalone {

// A value refused while reading a JSON document, with its JSON pointer.
struct JsonInputError {
  std::string path;
  std::string message;
};

// Parses JSON text. Malformed text fails with the line and column; an object
// that names a key twice, or a number too large to read, fails with its
// pointer. Parsing takes time linear in the text.
nlohmann::json ParseJson(std::string_view text);

// The text of one of the JSON library's exceptions without its
// "[json.exception...]" prefix.
std::string PlainLibraryMessage(const std::exception& e);

// Longest name a scene may give (of a node, material or texture).
constexpr size_t kMaxNameLength = 64 * 1024;

// A value of a parsed document together with its JSON pointer, so that every
// complaint names where it applies. Every accessor throws JsonInputError.
class JsonValue {
 public:
  JsonValue(const nlohmann::json& value, std::string path)
      : value_(&value), path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  const nlohmann::json& Raw() const { return *value_; }
  bool IsNull() const { return value_->is_null(); }
  bool IsObject() const { return value_->is_object(); }
  bool IsArray() const { return value_->is_array(); }
  bool IsString() const { return value_->is_string(); }
  bool IsNumber() const { return value_->is_number(); }
  bool Has(std::string_view key) const { return IsObject() && value_->contains(key); }

  // An object whose keys are all among the allowed ones: a misspelt key is
  // an error rather than a silent default.
  void ExpectObject(std::initializer_list<std::string_view> allowed) const;
  // A member that must be there.
  JsonValue At(std::string_view key) const;
  // A member that may be missing (a null member is present).
  std::optional<JsonValue> Find(std::string_view key) const;
  // Array access.
  size_t Size() const;
  JsonValue operator[](size_t i) const;

  bool Bool() const;
  // Text without NUL characters: the exporter hands texts on as C strings,
  // which would end at the first one.
  std::string String() const;
  // A String of at most kMaxNameLength bytes.
  std::string Name() const;
  float Float() const;  // finite and within float range
  uint32_t Uint(uint32_t max = UINT32_MAX) const;
  int32_t Int() const;
  // Two words, each a number or a hexadecimal string ("0x876234").
  Class_ID ClassId() const;
  uint32_t Word() const;

  [[noreturn]] void Fail(const std::string& message) const;
  [[noreturn]] void FailType(const char* expected) const;

 private:
  const nlohmann::json* value_;
  std::string path_;
};

// JSON pointer escaping of one key ("/" and "~").
std::string PointerToken(std::string_view key);

}  // namespace kiln::standalone
