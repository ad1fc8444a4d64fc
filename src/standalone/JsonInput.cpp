#include "standalone/JsonInput.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <set>
#include <vector>

namespace kiln::standalone {

using nlohmann::json;

std::string PointerToken(std::string_view key) {
  std::string token;
  for (char c : key) {
    if (c == '~')
      token += "~0";
    else if (c == '/')
      token += "~1";
    else
      token += c;
  }
  return token;
}

std::string PlainLibraryMessage(const std::exception& e) {
  // Drop the library's "[json.exception.parse_error.101] " prefix.
  std::string text = e.what();
  size_t end = text.find("] ");
  if (text.rfind("[json.exception", 0) == 0 && end != std::string::npos) text.erase(0, end + 2);
  return text;
}

namespace {

// Builds the document from the parser's events, knowing at every moment the
// JSON pointer of the value being read: a key given twice, a number that
// cannot be read or malformed text fail with that pointer. (The library's
// callback parser would do the same work in time quadratic in the length of
// an array of objects.)
class DocumentBuilder {
 public:
  using Json = nlohmann::json;

  Json Take() { return std::move(root_); }

  bool null() { return Add(Json()); }
  bool boolean(bool value) { return Add(Json(value)); }
  bool number_integer(Json::number_integer_t value) { return Add(Json(value)); }
  bool number_unsigned(Json::number_unsigned_t value) { return Add(Json(value)); }
  bool number_float(Json::number_float_t value, const std::string&) { return Add(Json(value)); }
  bool string(std::string& value) { return Add(Json(std::move(value))); }
  bool binary(Json::binary_t&) { return Add(Json()); }  // not produced by JSON text

  bool start_object(size_t) { return Open(Json::object()); }
  bool start_array(size_t) { return Open(Json::array()); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }

  bool key(std::string& key) {
    Frame& frame = open_.back();
    if (frame.value->contains(key)) {
      frame.key = std::move(key);
      frame.hasKey = true;
      throw JsonInputError{PendingPath(), "key \"" + frame.key + "\" given twice"};
    }
    frame.key = std::move(key);
    frame.hasKey = true;
    return true;
  }

  bool parse_error(size_t, const std::string&, const nlohmann::detail::exception& e) {
    std::string text = PlainLibraryMessage(e);
    if (dynamic_cast<const Json::out_of_range*>(&e)) {
      // "number overflow parsing '1e400'": say it in the reader's words, where it is.
      size_t quote = text.find('\'');
      std::string number = quote == std::string::npos ? text : text.substr(quote);
      throw JsonInputError{PendingPath(), "cannot read the number " + number +
                                              ": it is outside the range of a 64-bit float"};
    }
    throw JsonInputError{"", "malformed JSON: " + text};
  }

 private:
  struct Frame {
    Json* value;
    std::string key;  // of the member being read, in an object
    bool hasKey = false;
  };

  // Adds a finished value where the open container expects it.
  Json* Place(Json&& value) {
    if (open_.empty()) {
      root_ = std::move(value);
      return &root_;
    }
    Frame& frame = open_.back();
    if (frame.value->is_array()) {
      frame.value->push_back(std::move(value));
      return &frame.value->back();
    }
    frame.hasKey = false;
    return &(*frame.value->emplace(frame.key, std::move(value)).first);
  }

  bool Add(Json&& value) {
    Place(std::move(value));
    return true;
  }

  bool Open(Json&& container) {
    open_.push_back({Place(std::move(container)), {}, false});
    return true;
  }

  bool Close() {
    open_.pop_back();
    return true;
  }

  // The pointer of the value being read: the open containers' members, then
  // the next element of an array or the member whose key came last.
  std::string PendingPath() const {
    std::string path;
    for (size_t i = 0; i < open_.size(); ++i) {
      const Frame& frame = open_[i];
      const bool innermost = i + 1 == open_.size();
      if (frame.value->is_array()) {
        size_t index = frame.value->size();
        if (!innermost) --index;  // the element holding the next container
        path.append(1, '/').append(std::to_string(index));
      } else if (frame.hasKey || !innermost) {
        path.append(1, '/').append(PointerToken(frame.key));
      }
    }
    return path;
  }

  Json root_;
  std::vector<Frame> open_;
};

const char* TypeName(const json& value) {
  if (value.is_number_integer()) return "an integer";
  if (value.is_number()) return "a number";
  if (value.is_string()) return "a string";
  if (value.is_boolean()) return "true or false";
  if (value.is_array()) return "an array";
  if (value.is_object()) return "an object";
  return "null";
}

}  // namespace

json ParseJson(std::string_view text) {
  DocumentBuilder builder;
  json::sax_parse(text.begin(), text.end(), &builder);
  return builder.Take();
}

void JsonValue::Fail(const std::string& message) const {
  throw JsonInputError{path_, message};
}

void JsonValue::FailType(const char* expected) const {
  Fail(std::string("expected ") + expected + ", found " + TypeName(*value_));
}

void JsonValue::ExpectObject(std::initializer_list<std::string_view> allowed) const {
  if (!IsObject()) FailType("an object");
  for (const auto& item : value_->items()) {
    bool known = false;
    for (std::string_view key : allowed) known = known || key == item.key();
    if (!known) {
      std::string list;
      for (std::string_view key : allowed) list += (list.empty() ? "" : ", ") + std::string(key);
      throw JsonInputError{path_ + "/" + PointerToken(item.key()),
                           "unknown field \"" + item.key() + "\" (expected one of: " + list + ")"};
    }
  }
}

JsonValue JsonValue::At(std::string_view key) const {
  std::optional<JsonValue> member = Find(key);
  if (!member) Fail("missing field \"" + std::string(key) + "\"");
  return *member;
}

std::optional<JsonValue> JsonValue::Find(std::string_view key) const {
  if (!IsObject()) FailType("an object");
  auto it = value_->find(key);
  if (it == value_->end()) return std::nullopt;
  return JsonValue(*it, path_ + "/" + PointerToken(key));
}

size_t JsonValue::Size() const {
  if (!IsArray()) FailType("an array");
  return value_->size();
}

JsonValue JsonValue::operator[](size_t i) const {
  if (!IsArray()) FailType("an array");
  return JsonValue((*value_)[i], path_ + "/" + std::to_string(i));
}

bool JsonValue::Bool() const {
  if (!value_->is_boolean()) FailType("true or false");
  return value_->get<bool>();
}

std::string JsonValue::String() const {
  if (!IsString()) FailType("a string");
  const std::string& text = value_->get_ref<const std::string&>();
  if (text.find('\0') != std::string::npos) {
    Fail("text holds a NUL character (\\u0000) at byte " + std::to_string(text.find('\0')));
  }
  return text;
}

std::string JsonValue::Name() const {
  if (IsString() && value_->get_ref<const std::string&>().size() > kMaxNameLength) {
    Fail("name of " + std::to_string(value_->get_ref<const std::string&>().size()) +
         " bytes, longer than " + std::to_string(kMaxNameLength));
  }
  return String();
}

float JsonValue::Float() const {
  if (!IsNumber()) FailType("a number");
  double d = value_->get<double>();
  if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) {
    Fail("number outside the range of a 32-bit float");
  }
  return static_cast<float>(d);
}

uint32_t JsonValue::Uint(uint32_t max) const {
  if (value_->is_number_unsigned()) {
    uint64_t u = value_->get<uint64_t>();
    if (u <= max) return static_cast<uint32_t>(u);
  } else if (!value_->is_number_integer()) {
    FailType("a non-negative integer");
  }
  Fail("expected an integer from 0 to " + std::to_string(max) + ", found " + value_->dump());
}

int32_t JsonValue::Int() const {
  if (!value_->is_number_integer()) FailType("an integer");
  if (value_->is_number_unsigned()) {
    uint64_t u = value_->get<uint64_t>();
    if (u <= static_cast<uint64_t>(INT32_MAX)) return static_cast<int32_t>(u);
  } else {
    int64_t i = value_->get<int64_t>();
    if (i >= INT32_MIN && i <= INT32_MAX) return static_cast<int32_t>(i);
  }
  Fail("integer outside the 32-bit range: " + value_->dump());
}

uint32_t JsonValue::Word() const {
  if (IsString()) {
    std::string text = String();
    const char* begin = text.data();
    const char* end = begin + text.size();
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
      begin += 2;
      base = 16;
    }
    uint32_t word = 0;
    auto [ptr, ec] = std::from_chars(begin, end, word, base);
    if (ec != std::errc() || ptr != end || begin == end) {
      Fail("expected a 32-bit word such as \"0x876234\", found \"" + text + "\"");
    }
    return word;
  }
  return Uint();
}

Class_ID JsonValue::ClassId() const {
  if (!IsArray() || Size() != 2)
    Fail("expected a class id of two words, such as [\"0x876234\", \"0x0\"]");
  return Class_ID((*this)[0].Word(), (*this)[1].Word());
}

}  // namespace kiln::standalone
