#include "standalone/import/GltfExtras.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>

namespace kiln::standalone {
namespace fs = std::filesystem;
namespace {

using json = nlohmann::json;

// Accessors beyond this many elements are not read (no real curve comes near).
constexpr uint64_t kMaxElements = uint64_t{1} << 26;
constexpr uint64_t kMaxBufferBytes = uint64_t{1} << 31;

uint32_t Le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

const json* Member(const json& object, const char* key) {
  if (!object.is_object()) return nullptr;
  auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

std::optional<uint64_t> Count(const json& object, const char* key) {
  const json* value = Member(object, key);
  if (!value || !value->is_number_unsigned()) return std::nullopt;
  return value->get<uint64_t>();
}

const json* Item(const json& doc, const char* list, std::optional<uint64_t> index) {
  const json* items = Member(doc, list);
  if (!index || !items || !items->is_array() || *index >= items->size()) return nullptr;
  return &(*items)[*index];
}

std::string Text(const json& object, const char* key) {
  const json* value = Member(object, key);
  return value && value->is_string() ? value->get<std::string>() : std::string();
}

std::optional<std::vector<uint8_t>> Base64(std::string_view text) {
  std::vector<uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  uint32_t bits = 0;
  int count = 0;
  for (char c : text) {
    int value;
    if (c >= 'A' && c <= 'Z')
      value = c - 'A';
    else if (c >= 'a' && c <= 'z')
      value = c - 'a' + 26;
    else if (c >= '0' && c <= '9')
      value = c - '0' + 52;
    else if (c == '+' || c == '-')
      value = 62;
    else if (c == '/' || c == '_')
      value = 63;
    else if (c == '=')
      break;
    else
      return std::nullopt;
    bits = (bits << 6) | static_cast<uint32_t>(value);
    if (++count == 4) {
      out.insert(out.end(), {uint8_t(bits >> 16), uint8_t(bits >> 8), uint8_t(bits)});
      bits = 0, count = 0;
    }
  }
  if (count == 1) return std::nullopt;
  if (count == 2) out.push_back(uint8_t(bits >> 4));
  if (count == 3) out.insert(out.end(), {uint8_t(bits >> 10), uint8_t(bits >> 2)});
  return out;
}

std::string PercentDecoded(const std::string& uri) {
  std::string out;
  for (size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() &&
        std::isxdigit(static_cast<unsigned char>(uri[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(uri[i + 2]))) {
      out += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += uri[i];
    }
  }
  return out;
}

class Reader {
 public:
  Reader(const json& doc, std::string_view binChunk, fs::path folder)
      : doc_(doc), bin_(binChunk), folder_(std::move(folder)) {}

  // An accessor's elements of `components` numbers as floats (normalised
  // integers scaled to their range); an empty optional with `error` set when
  // it cannot be read.
  std::optional<std::vector<float>> Floats(std::optional<uint64_t> index, size_t components,
                                           std::string& error) {
    const json* accessor = Item(doc_, "accessors", index);
    if (!accessor) return Fail(error, "an accessor the file lacks");
    if (Member(*accessor, "sparse")) return Fail(error, "a sparse accessor");
    static const std::map<std::string, size_t> kTypes = {
        {"SCALAR", 1}, {"VEC2", 2}, {"VEC3", 3}, {"VEC4", 4}};
    auto type = kTypes.find(Text(*accessor, "type"));
    if (type == kTypes.end() || (components && type->second != components))
      return Fail(error, "an accessor of another type");
    const size_t width = type->second;
    const uint64_t count = Count(*accessor, "count").value_or(0);
    const uint64_t componentType = Count(*accessor, "componentType").value_or(0);
    size_t size = componentType == 5126                            ? 4
                  : componentType == 5122 || componentType == 5123 ? 2
                  : componentType == 5120 || componentType == 5121 ? 1
                                                                   : 0;
    if (!size) return Fail(error, "an accessor of an unknown component type");
    if (count > kMaxElements) return Fail(error, "an accessor too large to read");
    const json* view = Item(doc_, "bufferViews", Count(*accessor, "bufferView"));
    if (!view) return Fail(error, "an accessor without a buffer view");
    const std::optional<std::string_view> buffer = Buffer(Count(*view, "buffer"), error);
    if (!buffer) return std::nullopt;
    const uint64_t viewOffset = Count(*view, "byteOffset").value_or(0);
    const uint64_t viewLength = Count(*view, "byteLength").value_or(0);
    const uint64_t offset = Count(*accessor, "byteOffset").value_or(0);
    const uint64_t element = size * width;
    const uint64_t stride = Count(*view, "byteStride").value_or(element);
    if (stride < element || viewOffset > buffer->size() ||
        viewLength > buffer->size() - viewOffset ||
        (count && (offset > viewLength || stride > kMaxBufferBytes ||
                   (count - 1) * stride + element > viewLength - offset))) {
      return Fail(error, "an accessor past the end of its buffer");
    }
    std::vector<float> out(count * width);
    const auto* base = reinterpret_cast<const uint8_t*>(buffer->data()) + viewOffset + offset;
    for (uint64_t e = 0; e < count; ++e) {
      for (size_t c = 0; c < width; ++c) {
        const uint8_t* p = base + e * stride + c * size;
        float value;
        switch (componentType) {
          case 5126: {
            uint32_t bits = Le32(p);
            std::memcpy(&value, &bits, 4);
            break;
          }
          case 5120:
            value = std::max(static_cast<int8_t>(p[0]) / 127.0f, -1.0f);
            break;
          case 5121:
            value = p[0] / 255.0f;
            break;
          case 5122:
            value = std::max(static_cast<int16_t>(p[0] | (p[1] << 8)) / 32767.0f, -1.0f);
            break;
          default:
            value = static_cast<uint16_t>(p[0] | (p[1] << 8)) / 65535.0f;
            break;
        }
        if (!std::isfinite(value)) return Fail(error, "numbers that are not finite");
        out[e * width + c] = value;
      }
    }
    return out;
  }

 private:
  static std::nullopt_t Fail(std::string& error, const char* what) {
    error = what;
    return std::nullopt;
  }

  std::optional<std::string_view> Buffer(std::optional<uint64_t> index, std::string& error) {
    const json* buffer = Item(doc_, "buffers", index);
    if (!buffer) {
      error = "a buffer the file lacks";
      return std::nullopt;
    }
    const std::string uri = Text(*buffer, "uri");
    if (uri.empty()) return bin_;
    auto known = owned_.find(*index);
    if (known != owned_.end()) return View(known->second);
    std::optional<std::vector<uint8_t>> bytes;
    if (uri.rfind("data:", 0) == 0) {
      const size_t comma = uri.find(',');
      if (comma != std::string::npos && uri.rfind(";base64", comma) != std::string::npos)
        bytes = Base64(std::string_view(uri).substr(comma + 1));
    } else if (!folder_.empty()) {
      const fs::path file = folder_ / PercentDecoded(uri);
      std::error_code code;
      const uintmax_t size = fs::is_regular_file(file, code) ? fs::file_size(file, code) : 0;
      if (!code && size <= kMaxBufferBytes) {
        std::ifstream in(file, std::ios::binary);
        bytes.emplace(size);
        if (!in.read(reinterpret_cast<char*>(bytes->data()), static_cast<std::streamsize>(size)))
          bytes.reset();
      }
    }
    if (!bytes) {
      error = "a buffer that cannot be read";
      return std::nullopt;
    }
    return View(owned_[*index] = std::move(*bytes));
  }

  static std::string_view View(const std::vector<uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
  }

  const json& doc_;
  std::string_view bin_;
  fs::path folder_;
  std::map<uint64_t, std::vector<uint8_t>> owned_;
};

// The names of a mesh's morph targets: the common "targetNames" of its
// extras, else the names of the first primitive's target position accessors
// (some exporters name them there).
std::vector<std::string> MeshTargetNames(const json& doc, const json& mesh) {
  std::vector<std::string> names;
  const json* extras = Member(mesh, "extras");
  if (const json* listed = extras ? Member(*extras, "targetNames") : nullptr;
      listed && listed->is_array()) {
    for (const json& name : *listed)
      names.push_back(name.is_string() ? name.get<std::string>() : "");
    return names;
  }
  const json* primitives = Member(mesh, "primitives");
  const json* targets = primitives && primitives->is_array() && !primitives->empty()
                            ? Member((*primitives)[0], "targets")
                            : nullptr;
  if (!targets || !targets->is_array()) return names;
  for (const json& target : *targets) {
    const json* accessor = Item(doc, "accessors", Count(target, "POSITION"));
    names.push_back(accessor ? Text(*accessor, "name") : "");
  }
  if (std::all_of(names.begin(), names.end(), [](const std::string& n) { return n.empty(); }))
    names.clear();
  return names;
}

}  // namespace

void GltfExtras::Curve::Evaluate(double t, float* out) const {
  const size_t keys = times.size();
  auto value = [&](size_t key, size_t part, size_t c) {
    return values[(3 * key + part) * width + c];
  };
  if (keys == 0) return;
  if (t <= times.front() || keys == 1) {
    for (size_t c = 0; c < width; ++c) out[c] = value(0, 1, c);
    return;
  }
  if (t >= times.back()) {
    for (size_t c = 0; c < width; ++c) out[c] = value(keys - 1, 1, c);
    return;
  }
  const size_t k =
      static_cast<size_t>(std::upper_bound(times.begin(), times.end(), t) - times.begin()) - 1;
  const double dt = times[k + 1] - times[k];
  const double s = (t - times[k]) / dt, s2 = s * s, s3 = s2 * s;
  for (size_t c = 0; c < width; ++c) {
    out[c] = static_cast<float>(
        (2 * s3 - 3 * s2 + 1) * value(k, 1, c) + (s3 - 2 * s2 + s) * dt * value(k, 2, c) +
        (-2 * s3 + 3 * s2) * value(k + 1, 1, c) + (s3 - s2) * dt * value(k + 1, 0, c));
  }
}

GltfExtras::GltfExtras(std::string_view bytes, const fs::path& folder,
                       const std::function<void(std::string)>& warn) {
  std::string_view text = bytes, bin;
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  if (bytes.size() >= 12 && bytes.substr(0, 4) == "glTF") {
    const uint64_t length = std::min<uint64_t>(Le32(data + 8), bytes.size());
    text = {};
    for (uint64_t at = 12; at + 8 <= length;) {
      const uint64_t chunk = Le32(data + at), type = Le32(data + at + 4);
      if (chunk > length - at - 8) break;
      if (type == 0x4E4F534A && text.empty()) text = bytes.substr(at + 8, chunk);
      if (type == 0x004E4942 && bin.empty()) bin = bytes.substr(at + 8, chunk);
      at += 8 + chunk;
    }
  }
  const json doc = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!doc.is_object()) return;

  // The names the library gives the nodes; a name two nodes share is left out.
  std::vector<std::string> nodeNames;
  std::set<std::string> shared;
  if (const json* nodes = Member(doc, "nodes"); nodes && nodes->is_array()) {
    std::set<std::string> seen;
    for (size_t i = 0; i < nodes->size(); ++i) {
      std::string name = Text((*nodes)[i], "name");
      if (name.empty()) name = "nodes[" + std::to_string(i) + "]";
      if (!seen.insert(name).second) shared.insert(name);
      nodeNames.push_back(std::move(name));
    }
    for (size_t i = 0; i < nodes->size(); ++i) {
      const json* mesh = Item(doc, "meshes", Count((*nodes)[i], "mesh"));
      if (!mesh || shared.count(nodeNames[i])) continue;
      std::vector<std::string> names = MeshTargetNames(doc, *mesh);
      if (!names.empty()) targetNames_[nodeNames[i]] = std::move(names);
    }
  }

  const json* animations = Member(doc, "animations");
  if (!animations || !animations->is_array()) return;
  Reader reader(doc, bin, folder);
  static const std::map<std::string, std::pair<Path, size_t>> kPaths = {
      {"translation", {Path::kTranslation, 3}},
      {"rotation", {Path::kRotation, 4}},
      {"scale", {Path::kScale, 3}},
      {"weights", {Path::kWeights, 1}}};
  for (size_t a = 0; a < animations->size(); ++a) {
    const json& animation = (*animations)[a];
    clipNames_.push_back(Text(animation, "name"));
    const json* channels = Member(animation, "channels");
    if (!channels || !channels->is_array()) continue;
    for (const json& channel : *channels) {
      const json* sampler = Item(animation, "samplers", Count(channel, "sampler"));
      const json* target = Member(channel, "target");
      if (!sampler || !target || Text(*sampler, "interpolation") != "CUBICSPLINE") continue;
      const std::optional<uint64_t> node = Count(*target, "node");
      auto path = kPaths.find(Text(*target, "path"));
      if (!node || *node >= nodeNames.size() || path == kPaths.end()) continue;
      const std::string& name = nodeNames[*node];
      auto fail = [&](const std::string& why) {
        warn("the cubic-spline " + Text(*target, "path") + " curve of node '" + name +
             "' cannot be read (" + why + "); its keys are joined by straight lines");
      };
      if (shared.count(name)) {
        fail("several nodes have its name");
        continue;
      }
      std::string error;
      auto times = reader.Floats(Count(*sampler, "input"), 1, error);
      auto values = times ? reader.Floats(Count(*sampler, "output"), path->second.second, error)
                          : std::nullopt;
      if (!times || !values) {
        fail(error);
        continue;
      }
      Curve curve;
      curve.times = std::move(*times);
      const size_t keys = curve.times.size();
      curve.width = path->second.second;
      if (path->second.first == Path::kWeights && keys) curve.width = values->size() / (3 * keys);
      if (keys == 0 || curve.width == 0 || values->size() != 3 * keys * curve.width) {
        fail("its outputs do not hold three values a key");
        continue;
      }
      if (std::adjacent_find(curve.times.begin(), curve.times.end(),
                             [](float a, float b) { return !(b > a); }) != curve.times.end()) {
        fail("its times do not increase");
        continue;
      }
      curve.values = std::move(*values);
      curves_[{a, name, path->second.first}] = std::move(curve);
    }
  }
}

const std::vector<std::string>* GltfExtras::TargetNames(const std::string& node) const {
  auto it = targetNames_.find(node);
  return it == targetNames_.end() ? nullptr : &it->second;
}

const GltfExtras::Curve* GltfExtras::CubicCurve(size_t clip, const std::string& node,
                                                Path path) const {
  auto it = curves_.find({clip, node, path});
  return it == curves_.end() ? nullptr : &it->second;
}

}  // namespace kiln::standalone
