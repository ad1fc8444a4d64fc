// Reader of the native scene file; the format is described in docs/kscene-format.md.
#include <charconv>
#include <fstream>
#include <unordered_map>

#include "standalone/ControllerJson.h"
#include "standalone/ControllerReader.h"
#include "standalone/JsonInput.h"
#include "standalone/JsonValues.h"
#include "standalone/Modifiers.h"
#include "standalone/ObjectParamsJson.h"
#include "standalone/SceneFile.h"
#include "standalone/SceneMaterialFields.h"
#include "standalone/SceneObjects.h"
#include "standalone/SideBuffers.h"

namespace kiln::standalone {
namespace {

constexpr int kFormatVersion = 1;
// Most nodes a scene file may list.
constexpr size_t kMaxNodes = size_t{1} << 20;

std::vector<Point3> ToPoints(const std::vector<float>& flat) {
  std::vector<Point3> points(flat.size() / 3);
  for (size_t i = 0; i < points.size(); ++i) {
    points[i] = {flat[3 * i], flat[3 * i + 1], flat[3 * i + 2]};
  }
  return points;
}

std::vector<TVFace> ToCornerFaces(const std::vector<uint32_t>& flat) {
  std::vector<TVFace> faces(flat.size() / 3);
  for (size_t i = 0; i < faces.size(); ++i) {
    faces[i].t[0] = flat[3 * i], faces[i].t[1] = flat[3 * i + 1], faces[i].t[2] = flat[3 * i + 2];
  }
  return faces;
}

class Reader {
 public:
  Reader(const nlohmann::json& doc, const std::filesystem::path& baseDir)
      : doc_(doc), baseDir_(baseDir) {}

  std::unique_ptr<Scene> Run() {
    JsonValue top(doc_, "");
    top.ExpectObject({"format", "version", "frameRate", "animRange", "time", "pluginConfigDir",
                      "buffers", "textures", "materials", "nodes"});
    ReadHeader(top);
    buffers_ = std::make_unique<SideBufferReader>(top.Find("buffers"), baseDir_);
    if (auto textures = top.Find("textures")) ReadTextures(*textures);
    if (auto materials = top.Find("materials")) ReadMaterials(*materials);
    if (auto nodes = top.Find("nodes")) {
      CreateNodes(*nodes);
      for (Entry& entry : entries_) Collect([&] { FillNode(entry); });
    }
    if (!problems_.empty()) return nullptr;
    controllerIds_.Resolve();
    scene_->SetDefaultBindPoses();
    return std::move(scene_);
  }

  // The problems of the textures, materials and nodes that could not be
  // read (Run then gives no scene): one for each, the first it has.
  const std::vector<SceneFileProblem>& Problems() const { return problems_; }

  // Where each node came from, to name it in validation problems.
  std::string PathOf(const SceneNode* node) const {
    auto it = nodeIndex_.find(node);
    return it == nodeIndex_.end() ? "" : "/nodes/" + std::to_string(it->second);
  }

 private:
  struct Entry {
    JsonValue json;
    uint32_t handle;
    SceneNode* node;
  };

  // Runs read; a problem it finds is kept and reading goes on with the next item.
  template <typename Read>
  void Collect(Read read) {
    try {
      read();
    } catch (const JsonInputError& e) {
      problems_.push_back({e.path, e.message});
    }
  }

  void ReadHeader(const JsonValue& top) {
    const JsonValue format = top.At("format");
    if (format.String() != "kscene") format.Fail("expected \"kscene\"");
    const JsonValue version = top.At("version");
    if (version.Uint() != kFormatVersion) {
      version.Fail("version " + version.Raw().dump() + " is not one this reader knows (" +
                   std::to_string(kFormatVersion) + ")");
    }
    if (auto fps = top.Find("frameRate"))
      scene_->frameRate = static_cast<int>(fps->Uint(INT32_MAX));
    if (auto range = top.Find("animRange")) {
      if (range->Size() != 2) range->Fail("expected [start, end] in ticks");
      scene_->animRange = Interval((*range)[0].Int(), (*range)[1].Int());
    }
    if (auto time = top.Find("time")) scene_->time = time->Int();
    if (auto dir = top.Find("pluginConfigDir")) {
      std::filesystem::path path = dir->String();
      scene_->pluginConfigDir = baseDir_.empty() ? path : (baseDir_ / path).lexically_normal();
    }
  }

  void ReadTextures(const JsonValue& list) {
    for (size_t i = 0; i < list.Size(); ++i) scene_->CreateTexture("");
    for (size_t i = 0; i < list.Size(); ++i) Collect([&] { ReadTexture(list[i], i); });
  }

  void ReadTexture(const JsonValue& v, size_t i) {
    v.ExpectObject({"name", "class", "classId", "uvAxis", "subTexmaps", "file", "alphaAsMono",
                    "alphaAsRGB", "uv", "paramBlocks", "customAttributes"});
    Texture& texture = *scene_->Textures()[i];
    if (auto name = v.Find("name")) texture.name = name->Name();
    ReadClass(v, "Bitmap", KnownTextureClasses(), "texture", &texture.classId, &texture.className);
    if (auto axis = v.Find("uvAxis")) {
      const std::string name = axis->String();
      const char* names[] = {"UV", "VW", "WU"};
      int found = -1;
      for (int a = 0; a < 3; ++a) found = name == names[a] ? a : found;
      if (found < 0) axis->Fail("expected \"UV\", \"VW\" or \"WU\"");
      texture.SetUVAxis(found);
    }
    if (auto subs = v.Find("subTexmaps")) {
      for (size_t s = 0; s < subs->Size(); ++s)
        texture.subTexmaps.push_back(TextureRef((*subs)[s]));
    }
    ReadTextureFields(v, texture, baseDir_);
  }

  void ReadMaterials(const JsonValue& list) {
    for (size_t i = 0; i < list.Size(); ++i) scene_->CreateMaterial("");
    for (size_t i = 0; i < list.Size(); ++i) Collect([&] { ReadMaterial(list[i], i); });
  }

  void ReadMaterial(const JsonValue& v, size_t i) {
    v.ExpectObject({"name", "class", "classId", "subMaterials", "maps", "slotNames", "ambient",
                    "diffuse", "specular", "shininess", "shineStrength", "opacity", "twoSided",
                    "requirements", "amounts", "mapEnables", "paramBlocks", "customAttributes"});
    Material& material = *scene_->Materials()[i];
    if (auto name = v.Find("name")) material.name = name->Name();
    ReadClass(v, "Standard", KnownMaterialClasses(), "material", &material.classId,
              &material.className);
    if (auto subs = v.Find("subMaterials")) {
      for (size_t s = 0; s < subs->Size(); ++s) {
        material.subMaterials.push_back(MaterialRef((*subs)[s]));
      }
    }
    if (auto maps = v.Find("maps")) {
      if (!maps->IsObject()) maps->FailType("an object of slot names");
      for (const auto& item : maps->Raw().items()) {
        const JsonValue map = maps->At(item.key());
        material.SetMap(MapSlot(map, item.key()), TextureRef(map));
      }
    }
    ReadMaterialFields(v, material);
  }

  static int MapSlot(const JsonValue& where, const std::string& name) {
    std::optional<int> slot = MapSlotByName(name);
    if (!slot) {
      where.Fail("unknown map slot \"" + name + "\" (diffuse, bump, ... or a number 0 to 255)");
    }
    return *slot;
  }

  static void ReadClass(const JsonValue& v, const char* defaultName,
                        const std::vector<NamedClass>& known, const char* what, Class_ID* id,
                        std::string* name) {
    *name = defaultName;
    if (auto cls = v.Find("class")) *name = cls->String();
    if (auto classId = v.Find("classId")) {
      *id = classId->ClassId();
      return;
    }
    const NamedClass* found = FindNamedClass(known, *name);
    if (!found) {
      v.At("class").Fail(std::string("unknown ") + what + " class \"" + *name +
                         "\": give its classId");
    }
    *id = found->classId;
  }

  Texmap* TextureRef(const JsonValue& v) {
    if (v.IsNull()) return nullptr;
    const uint32_t index = v.Uint();
    if (index >= scene_->Textures().size()) {
      v.Fail("no texture " + std::to_string(index) + " (the file has " +
             std::to_string(scene_->Textures().size()) + ")");
    }
    return scene_->Textures()[index].get();
  }

  Mtl* MaterialRef(const JsonValue& v) {
    if (v.IsNull()) return nullptr;
    const uint32_t index = v.Uint();
    if (index >= scene_->Materials().size()) {
      v.Fail("no material " + std::to_string(index) + " (the file has " +
             std::to_string(scene_->Materials().size()) + ")");
    }
    return scene_->Materials()[index].get();
  }

  SceneNode* NodeRef(const JsonValue& v) {
    const uint32_t handle = v.Uint();
    auto it = byHandle_.find(handle);
    if (it == byHandle_.end()) v.Fail("no node has handle " + std::to_string(handle));
    return entries_[it->second].node;
  }

  // Creates every node under the root, then links parents in file order, so
  // that children keep the order in which the file lists them.
  void CreateNodes(const JsonValue& list) {
    if (list.Size() > kMaxNodes) {
      list.Fail(std::to_string(list.Size()) + " nodes, more than the " + std::to_string(kMaxNodes) +
                " a scene may hold");
    }
    // The tree is built only when every node's handle and parent are sound;
    // until then each node's problem is collected, so all of them are told.
    const size_t problemsBefore = problems_.size();
    std::vector<std::optional<uint32_t>> parents;
    for (size_t i = 0; i < list.Size(); ++i) {
      const JsonValue v = list[i];
      entries_.push_back({v, 0, nullptr});
      parents.emplace_back();
      Collect([&] {
        const JsonValue handle = v.At("handle");
        const uint32_t h = handle.Uint();
        if (h == Scene::kRootHandle) handle.Fail("handle 0 is the scene root's");
        auto [it, inserted] = byHandle_.emplace(h, i);
        if (!inserted) {
          handle.Fail("handle " + std::to_string(h) + " is already used by /nodes/" +
                      std::to_string(it->second));
        }
        entries_[i].handle = h;
        auto parent = v.Find("parent");
        if (parent && !parent->IsNull()) parents[i] = parent->Uint();
      });
      Collect([&] {
        v.ExpectObject({"name", "handle", "parent", "hidden", "selected", "transform",
                        "objectOffset", "visibility", "target", "userProps", "material", "object",
                        "mesh", "modifiers"});
      });
    }
    std::vector<int> parentIndex(entries_.size(), -1);
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (!parents[i]) continue;
      auto it = byHandle_.find(*parents[i]);
      if (it == byHandle_.end()) {
        Collect([&] {
          entries_[i].json.At("parent").Fail("no node has handle " + std::to_string(*parents[i]));
        });
      } else {
        parentIndex[i] = static_cast<int>(it->second);
      }
    }
    if (problems_.size() == problemsBefore) Collect([&] { CheckParentLoops(parentIndex); });
    if (problems_.size() != problemsBefore) {
      entries_.clear();
      return;
    }
    for (Entry& entry : entries_) {
      entry.node = &scene_->CreateNode(entry.json.At("name").Name(), nullptr, entry.handle);
      nodeIndex_[entry.node] = &entry - entries_.data();
    }
    std::vector<std::pair<SceneNode*, SceneNode*>> links;
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (parentIndex[i] >= 0) links.emplace_back(entries_[i].node, entries_[parentIndex[i]].node);
    }
    scene_->SetParents(links);
  }

  void CheckParentLoops(const std::vector<int>& parentIndex) {
    enum State { kNew, kOnPath, kDone };
    std::vector<State> state(parentIndex.size(), kNew);
    for (size_t start = 0; start < parentIndex.size(); ++start) {
      std::vector<int> path;
      int i = static_cast<int>(start);
      while (i >= 0 && state[i] == kNew) {
        state[i] = kOnPath;
        path.push_back(i);
        i = parentIndex[i];
      }
      if (i >= 0 && state[i] == kOnPath) {
        std::string loop;
        int k = i;
        do {
          loop += "/nodes/" + std::to_string(k) + " -> ";
          k = parentIndex[k];
        } while (k != i);
        entries_[i].json.At("parent").Fail("parent loop: " + loop + "/nodes/" + std::to_string(i));
      }
      for (int p : path) state[p] = kDone;
    }
  }

  void FillNode(Entry& entry) {
    const JsonValue& v = entry.json;
    SceneNode& node = *entry.node;
    if (auto hidden = v.Find("hidden")) node.hidden = hidden->Bool();
    if (auto selected = v.Find("selected")) node.selected = selected->Bool();
    if (auto transform = v.Find("transform")) {
      if (!transform->IsNull()) node.SetTransform(Controllers().Transform(*transform));
    } else {
      node.SetTransform(PRSController::WithParts({}));
    }
    if (auto offset = v.Find("objectOffset")) {
      offset->ExpectObject({"position", "rotation", "scale"});
      if (auto p = offset->Find("position")) node.objectOffset.position = ReadPoint(*p);
      if (auto r = offset->Find("rotation")) node.objectOffset.rotation = ReadQuat(*r);
      if (auto s = offset->Find("scale")) node.objectOffset.scale = ReadScale(*s);
    }
    if (auto visibility = v.Find("visibility")) {
      node.SetVisibility(Controllers().Keyframes(*visibility));
    }
    if (auto target = v.Find("target")) node.target = NodeRef(*target);
    if (auto props = v.Find("userProps")) node.userProps = props->String();
    if (auto material = v.Find("material")) node.material = MaterialRef(*material);
    ReadObject(v, node);
  }

  ControllerReader Controllers() {
    return ControllerReader([this](const JsonValue& v) { return NodeRef(v); }, &controllerIds_);
  }

  void ReadObject(const JsonValue& v, SceneNode& node) {
    auto objectJson = v.Find("object");
    auto meshJson = v.Find("mesh");
    auto modifiers = v.Find("modifiers");
    std::string type;
    if (objectJson && objectJson->IsObject()) {
      type = objectJson->At("type").String();
    } else if (objectJson) {
      type = objectJson->String();
    } else if (meshJson) {
      type = "mesh";
    } else {
      if (modifiers) modifiers->Fail("modifiers need an object to modify");
      return;
    }
    const JsonValue where = objectJson ? *objectJson : *meshJson;
    if (type == "mesh") {
      if (!meshJson) where.Fail("an object of type mesh needs the node's \"mesh\"");
      if (objectJson && objectJson->IsObject()) objectJson->ExpectObject({"type"});
      node.SetObject(std::make_unique<MeshObject>(ReadMesh(*meshJson)));
    } else {
      std::unique_ptr<SceneObject> object;
      if (type == "custom") {
        object =
            MakeObject(objectJson->At("classId").ClassId(), objectJson->At("superClass").Word(),
                       objectJson->At("className").String());
      } else if (const ObjectType* known = FindObjectType(type)) {
        object = MakeObject(*known);
      } else {
        std::string list = "mesh, custom";
        for (const ObjectType& t : KnownObjectTypes()) list += ", " + std::string(t.name);
        (objectJson->IsObject() ? objectJson->At("type") : *objectJson)
            .Fail("unknown object type \"" + type + "\" (expected one of: " + list + ")");
      }
      if (meshJson) object->mesh = ReadMesh(*meshJson);
      if (objectJson && objectJson->IsObject())
        ReadObjectParams(*objectJson, *object, Controllers(), type == "custom");
      node.SetObject(std::move(object));
    }
    if (modifiers) {
      DerivedObject& stack = node.Stack();
      for (size_t i = 0; i < modifiers->Size(); ++i)
        stack.AddAtBottom(ReadModifier((*modifiers)[i]));
    }
  }

  Mesh ReadMesh(const JsonValue& v) {
    v.ExpectObject({"verts", "faces", "tverts", "tvfaces", "colors", "vcfaces", "normals",
                    "normalSet", "dataChannels"});
    Mesh mesh;
    mesh.verts = ToPoints(buffers_->Floats(v.At("verts"), 3));
    ReadFaces(v.At("faces"), &mesh);
    if (auto tverts = v.Find("tverts")) mesh.tVerts = ToPoints(buffers_->Floats(*tverts, 3));
    if (auto tvfaces = v.Find("tvfaces"))
      mesh.tvFace = ToCornerFaces(buffers_->Unsigneds(*tvfaces, 3));
    if (auto colors = v.Find("colors")) mesh.vertCol = ToPoints(buffers_->Floats(*colors, 3));
    if (auto vcfaces = v.Find("vcfaces"))
      mesh.vcFace = ToCornerFaces(buffers_->Unsigneds(*vcfaces, 3));
    if (auto normals = v.Find("normals")) {
      mesh.specifiedNormals = ToPoints(buffers_->Floats(*normals, 3));
      mesh.specifiedNormalSet.assign(mesh.specifiedNormals.size(), 1);
    }
    if (auto set = v.Find("normalSet")) {
      std::vector<uint32_t> flags = buffers_->Unsigneds(*set, 1, 1);
      mesh.specifiedNormalSet.assign(flags.begin(), flags.end());
    }
    if (auto channels = v.Find("dataChannels")) mesh.dataChannelCount = channels->Uint();
    return mesh;
  }

  void ReadFaces(const JsonValue& v, Mesh* mesh) {
    if (v.IsArray()) {
      if (v.Size() > SideBufferReader::kMaxArrayItems) {
        v.Fail(std::to_string(v.Size()) + " faces, more than " +
               std::to_string(SideBufferReader::kMaxArrayItems));
      }
      mesh->faces.resize(v.Size());
      for (size_t f = 0; f < v.Size(); ++f) {
        const JsonValue face = v[f];
        face.ExpectObject({"v", "smGroup", "matId", "flags"});
        const JsonValue corners = face.At("v");
        if (corners.Size() != 3) corners.Fail("expected three vertex indices");
        Face& out = mesh->faces[f];
        for (size_t c = 0; c < 3; ++c) out.v[c] = corners[c].Uint();
        if (auto sm = face.Find("smGroup")) out.smGroup = sm->Uint();
        if (auto flags = face.Find("flags")) out.flags = flags->Uint(0xFFFF);
        if (auto id = face.Find("matId")) out.setMatID(static_cast<MtlID>(id->Uint(0xFFFF)));
      }
      return;
    }
    // Parallel arrays: {"v": [...], "smGroup": [...], "matId": [...], "flags": [...]}.
    v.ExpectObject({"v", "smGroup", "matId", "flags"});
    const std::vector<uint32_t> corners = buffers_->Unsigneds(v.At("v"), 3);
    const size_t count = corners.size() / 3;
    auto column = [&](const char* key, uint32_t max) {
      std::vector<uint32_t> values(count, 0);
      if (auto member = v.Find(key)) {
        values = buffers_->Unsigneds(*member, 1, max);
        if (values.size() != count) {
          member->Fail(std::to_string(values.size()) + " values for " + std::to_string(count) +
                       " faces");
        }
      }
      return values;
    };
    const std::vector<uint32_t> sm = column("smGroup", UINT32_MAX);
    const std::vector<uint32_t> ids = column("matId", 0xFFFF);
    const std::vector<uint32_t> flags = column("flags", 0xFFFF);
    mesh->faces.resize(count);
    for (size_t f = 0; f < count; ++f) {
      Face& out = mesh->faces[f];
      for (size_t c = 0; c < 3; ++c) out.v[c] = corners[3 * f + c];
      out.smGroup = sm[f];
      out.flags = flags[f];
      out.setMatID(static_cast<MtlID>(ids[f]));
    }
  }

  std::unique_ptr<StackModifier> ReadModifier(const JsonValue& v) {
    if (!v.IsObject()) v.FailType("an object");
    const JsonValue typeJson = v.At("type");
    const std::string type = typeJson.String();
    std::unique_ptr<StackModifier> modifier;
    if (type == "skin") {
      modifier = ReadSkin(v);
    } else if (type == "morpher") {
      modifier = ReadMorpher(v);
    } else if (type == "custom") {
      v.ExpectObject({"type", "enabled", "classId", "className"});
      modifier =
          std::make_unique<GenericModifier>(v.At("classId").ClassId(), v.At("className").String());
    } else {
      typeJson.Fail("unknown modifier type \"" + type + "\" (expected skin, morpher or custom)");
    }
    if (auto enabled = v.Find("enabled")) modifier->SetEnabled(enabled->Bool());
    return modifier;
  }

  std::unique_ptr<SkinModifier> ReadSkin(const JsonValue& v) {
    v.ExpectObject({"type", "enabled", "refFrame", "bindTM", "bones", "weights"});
    auto skin = std::make_unique<SkinModifier>();
    if (auto ref = v.Find("refFrame")) skin->refFrame = ref->Int();
    if (auto bind = v.Find("bindTM")) skin->skinBindTM = ReadMatrix(*bind);
    if (auto bones = v.Find("bones")) {
      for (size_t b = 0; b < bones->Size(); ++b) {
        const JsonValue bone = (*bones)[b];
        bone.ExpectObject({"node", "bindTM"});
        std::optional<Matrix3> bind;
        if (auto tm = bone.Find("bindTM")) bind = ReadMatrix(*tm);
        skin->AddBone(NodeRef(bone.At("node")), bind);
      }
    }
    if (auto weights = v.Find("weights")) ReadSkinWeights(*weights, skin.get());
    return skin;
  }

  void ReadSkinWeights(const JsonValue& v, SkinModifier* skin) {
    std::vector<BoneWeight> point;
    if (v.IsArray()) {
      // One array per point of [bone index, weight] pairs.
      for (size_t p = 0; p < v.Size(); ++p) {
        const JsonValue pairs = v[p];
        point.clear();
        for (size_t k = 0; k < pairs.Size(); ++k) {
          const JsonValue pair = pairs[k];
          if (!pair.IsArray() || pair.Size() != 2) pair.Fail("expected [bone index, weight]");
          point.push_back({static_cast<int>(pair[0].Uint(INT32_MAX)), pair[1].Float()});
        }
        skin->AddPoint(point);
      }
      return;
    }
    // Packed: bone count per point, then every point's bones and weights.
    v.ExpectObject({"counts", "bones", "weights"});
    const std::vector<uint32_t> counts = buffers_->Unsigneds(v.At("counts"), 1);
    const std::vector<uint32_t> bones = buffers_->Unsigneds(v.At("bones"), 1, INT32_MAX);
    const std::vector<float> weights = buffers_->Floats(v.At("weights"), 1);
    uint64_t total = 0;
    for (uint32_t c : counts) total += c;
    if (bones.size() != total) {
      v.At("bones").Fail(std::to_string(bones.size()) +
                         " bone indices where the counts add up to " + std::to_string(total));
    }
    if (weights.size() != total) {
      v.At("weights").Fail(std::to_string(weights.size()) + " weights where the counts add up to " +
                           std::to_string(total));
    }
    size_t next = 0;
    for (uint32_t c : counts) {
      point.clear();
      for (uint32_t k = 0; k < c; ++k, ++next) {
        point.push_back({static_cast<int>(bones[next]), weights[next]});
      }
      skin->AddPoint(point);
    }
  }

  std::unique_ptr<MorpherModifier> ReadMorpher(const JsonValue& v) {
    v.ExpectObject({"type", "enabled", "channels"});
    auto morpher = std::make_unique<MorpherModifier>();
    auto channels = v.Find("channels");
    if (!channels) return morpher;
    int previous = -1;
    for (size_t c = 0; c < channels->Size(); ++c) {
      const JsonValue channel = (*channels)[c];
      channel.ExpectObject(
          {"slot", "name", "active", "invalid", "weight", "deltas", "pointWeights", "points"});
      const JsonValue slotJson = channel.At("slot");
      const int s = static_cast<int>(slotJson.Uint(MORPHER_SLOT_COUNT - 1));
      if (s <= previous) slotJson.Fail("channels must be listed by increasing slot");
      previous = s;
      MorphChannelSlot& slot = morpher->Channel(s);
      slot.active = true;
      if (auto name = channel.Find("name")) slot.name = name->String();
      if (auto active = channel.Find("active")) slot.active = active->Bool();
      if (auto invalid = channel.Find("invalid")) slot.invalid = invalid->Bool();
      if (auto weight = channel.Find("weight")) {
        if (weight->IsNumber()) {
          slot.weight = weight->Float();
        } else {
          auto controller = Controllers().Keyframes(*weight);
          slot.weight = controller->value;
          morpher->SetWeightController(s, std::move(controller));
        }
      }
      slot.deltas = ToPoints(buffers_->Floats(channel.At("deltas"), 3));
      slot.weights.assign(slot.deltas.size(), 1.0);
      if (auto weights = channel.Find("pointWeights")) {
        std::vector<float> w = buffers_->Floats(*weights, 1);
        slot.weights.assign(w.begin(), w.end());
      }
      if (auto points = channel.Find("points"))
        slot.points = ToPoints(buffers_->Floats(*points, 3));
    }
    return morpher;
  }

  const nlohmann::json& doc_;
  std::filesystem::path baseDir_;
  std::unique_ptr<Scene> scene_ = std::make_unique<Scene>();
  std::unique_ptr<SideBufferReader> buffers_;
  std::vector<Entry> entries_;
  std::unordered_map<uint32_t, size_t> byHandle_;
  std::unordered_map<const SceneNode*, size_t> nodeIndex_;
  ControllerIds controllerIds_;
  std::vector<SceneFileProblem> problems_;
};

}  // namespace

std::unique_ptr<Scene> ReadSceneText(std::string_view text, const std::string& fileName,
                                     const std::filesystem::path& baseDir) {
  std::unique_ptr<Scene> scene;
  std::vector<SceneFileProblem> problems;
  try {
    const nlohmann::json doc = ParseJson(text);
    Reader reader(doc, baseDir);
    scene = reader.Run();
    if (!scene) throw SceneLoadError(fileName, reader.Problems());
    for (const SceneProblem& problem : scene->Validate()) {
      std::string path = problem.node ? reader.PathOf(problem.node) : std::string();
      if (!problem.path.empty()) path += "/" + problem.path;
      problems.push_back({path, problem.message});
    }
  } catch (const JsonInputError& e) {
    throw SceneLoadError(fileName, {{e.path, e.message}});
  } catch (const nlohmann::json::exception& e) {
    // Every reading of the document goes through JsonValue, which says
    // where; this is a last guard, so the library's own failure still
    // names the file rather than ending the program.
    throw SceneLoadError(fileName, {{"", PlainLibraryMessage(e)}});
  } catch (const std::bad_alloc&) {
    throw SceneLoadError(fileName, {{"", "not enough memory to load the scene (" +
                                             std::to_string(text.size()) + " bytes of text)"}});
  }
  if (!problems.empty()) throw SceneLoadError(fileName, std::move(problems));
  return scene;
}

std::unique_ptr<Scene> LoadSceneFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw SceneLoadError(file.string(), {{"", "cannot open the scene file"}});
  std::string text;
  try {
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) text.append(buffer, in.gcount());
  } catch (const std::bad_alloc&) {
    throw SceneLoadError(file.string(), {{"", "not enough memory to read the scene file"}});
  }
  if (in.bad()) throw SceneLoadError(file.string(), {{"", "cannot read the scene file"}});
  return ReadSceneText(text, file.string(), file.parent_path());
}

}  // namespace kiln::standalone
