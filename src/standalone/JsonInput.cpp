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

namespace {

// Follows the parser's events to know the path of the value being read and
// the keys already met in each open object.
class DuplicateKeyCheck {
 public:
  bool operator()(int depth, json::parse_event_t event, json& parsed) {
    (void)depth;
    switch (event) {
      case json::parse_event_t::object_start:
        ElementBegins();
        frames_.push_back({false, {}, {}, 0});
        break;
      case json::parse_event_t::array_start:
        ElementBegins();
        frames_.push_back({true, {}, {}, 0});
        break;
      case json::parse_event_t::key: {
        Frame& frame = frames_.back();
        frame.key = parsed.get<std::string>();
        if (!frame.keys.insert(frame.key).second) {
          throw JsonInputError{CurrentPath(), "key \"" + frame.key + "\" given twice"};
        }
        break;
      }
      case json::parse_event_t::value:
        ElementBegins();
        break;
      case json::parse_event_t::object_end:
      case json::parse_event_t::array_end:
        frames_.pop_back();
        break;
    }
    return true;
  }

 private:
  struct Frame {
    bool array;
    std::set<std::string> keys;
    std::string key;
    size_t next;  // index of the next array element
  };

  void ElementBegins() {
    if (!frames_.empty() && frames_.back().array) {
      frames_.back().key = std::to_string(frames_.back().next++);
    }
  }

  std::string CurrentPath() const {
    std::string path;
    for (const Frame& frame : frames_) path += "/" + PointerToken(frame.key);
    return path;
  }

  std::vector<Frame> frames_;
};

std::string PlainParseMessage(const json::parse_error& e) {
  // Drop the library's "[json.exception.parse_error.101] " prefix.
  std::string text = e.what();
  size_t end = text.find("] ");
  if (text.rfind("[json.exception", 0) == 0 && end != std::string::npos) text.erase(0, end + 2);
  return "malformed JSON: " + text;
}

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
  DuplicateKeyCheck check;
  try {
    return json::parse(text.begin(), text.end(),
                       [&check](int depth, json::parse_event_t event, json& parsed) {
                         return check(depth, event, parsed);
                       });
  } catch (const json::parse_error& e) {
    throw JsonInputError{"", PlainParseMessage(e)};
  }
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
  return value_->get<std::string>();
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
