// Writer of the native scene file; the format is described in docs/kscene-format.md.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <unordered_map>

#include "standalone/ControllerJson.h"
#include "standalone/ControllerWriter.h"
#include "standalone/Modifiers.h"
#include "standalone/ObjectParamsJson.h"
#include "standalone/SceneFile.h"
#include "standalone/SceneMaterialFields.h"
#include "standalone/SceneObjects.h"
#include "standalone/SideBuffers.h"
#include "standalone/WireController.h"

namespace kiln::standalone {
namespace {

using ojson = nlohmann::ordered_json;

std::string Hex(uint32_t word) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%X", word);
  return text;
}

ojson ClassIdJson(Class_ID id) {
  return ojson::array({Hex(id.PartA()), Hex(id.PartB())});
}

ojson Number(float f) {
  return ShortestDecimal(f);
}
ojson PointJson(const Point3& p) {
  return ojson::array({Number(p.x), Number(p.y), Number(p.z)});
}
ojson QuatJson(const Quat& q) {
  return ojson::array({Number(q.x), Number(q.y), Number(q.z), Number(q.w)});
}
ojson ScaleJson(const ScaleWithAxis& s) {
  if (s.axis == Quat()) return PointJson(s.scale);
  return ojson{{"scale", PointJson(s.scale)}, {"axis", QuatJson(s.axis)}};
}
ojson MatrixJson(const Matrix3& m) {
  return ojson::array({PointJson(m.GetRow(0)), PointJson(m.GetRow(1)), PointJson(m.GetRow(2)),
                       PointJson(m.GetRow(3))});
}

class Writer {
 public:
  Writer(const Scene& scene, const std::filesystem::path& baseDir, size_t threshold)
      : scene_(scene), baseDir_(baseDir), buffers_(threshold), threshold_(threshold) {
    for (size_t i = 0; i < scene.Materials().size(); ++i)
      materials_[scene.Materials()[i].get()] = i;
    for (size_t i = 0; i < scene.Textures().size(); ++i) textures_[scene.Textures()[i].get()] = i;
  }

  // The document; sideFile names the side file when arrays went there.
  ojson Run(const std::string& sideFile) {
    NameWireSources(scene_);
    ojson textures = ojson::array(), materials = ojson::array(), nodes = ojson::array();
    for (const auto& texture : scene_.Textures()) textures.push_back(TextureJson(*texture));
    for (const auto& material : scene_.Materials()) materials.push_back(MaterialJson(*material));
    for (SceneNode* node : scene_.NodesDepthFirst()) nodes.push_back(NodeJson(*node));

    ojson doc;
    doc["format"] = "kscene";
    doc["version"] = 1;
    doc["frameRate"] = scene_.frameRate;
    doc["animRange"] = ojson::array({scene_.animRange.start, scene_.animRange.end});
    doc["time"] = scene_.time;
    if (!scene_.pluginConfigDir.empty()) {
      std::filesystem::path dir = scene_.pluginConfigDir;
      if (!baseDir_.empty()) dir = dir.lexically_proximate(baseDir_);
      doc["pluginConfigDir"] = dir.generic_string();
    }
    if (!buffers_.Bytes().empty()) {
      doc["buffers"] = ojson::array({{{"uri", sideFile}, {"byteLength", buffers_.Bytes().size()}}});
    }
    if (!textures.empty()) doc["textures"] = std::move(textures);
    if (!materials.empty()) doc["materials"] = std::move(materials);
    doc["nodes"] = std::move(nodes);
    return doc;
  }

  const std::vector<uint8_t>& SideBytes() const { return buffers_.Bytes(); }

 private:
  ojson MaterialRef(Mtl* m) const {
    if (!m) return nullptr;
    auto it = materials_.find(m);
    if (it == materials_.end())
      throw std::logic_error("material " + m->GetName() + " is not in the scene");
    return it->second;
  }

  ojson TextureRef(Texmap* t) const {
    if (!t) return nullptr;
    auto it = textures_.find(t);
    if (it == textures_.end())
      throw std::logic_error("map " + t->GetName() + " is not in the scene");
    return it->second;
  }

  static void WriteClass(ojson& out, const std::string& name, Class_ID id,
                         const std::vector<NamedClass>& known) {
    out["class"] = name;
    const NamedClass* found = FindNamedClass(known, name);
    if (!found || !(found->classId == id)) out["classId"] = ClassIdJson(id);
  }

  ojson TextureJson(Texture& t) const {
    ojson out{{"name", t.name}};
    WriteClass(out, t.className, t.classId, KnownTextureClasses());
    const char* axes[] = {"UV", "VW", "WU"};
    if (t.UVAxis() != AXIS_UV) out["uvAxis"] = axes[t.UVAxis() % 3];
    if (!t.subTexmaps.empty()) {
      ojson subs = ojson::array();
      for (Texmap* sub : t.subTexmaps) subs.push_back(TextureRef(sub));
      out["subTexmaps"] = std::move(subs);
    }
    WriteTextureFields(out, t, baseDir_);
    return out;
  }

  ojson MaterialJson(Material& m) const {
    ojson out{{"name", m.name}};
    WriteClass(out, m.className, m.classId, KnownMaterialClasses());
    if (!m.subMaterials.empty()) {
      ojson subs = ojson::array();
      for (Mtl* sub : m.subMaterials) subs.push_back(MaterialRef(sub));
      out["subMaterials"] = std::move(subs);
    }
    ojson maps = ojson::object();
    for (size_t slot = 0; slot < m.maps.size(); ++slot) {
      if (!m.maps[slot]) continue;
      maps[MapSlotKey(static_cast<int>(slot))] = TextureRef(m.maps[slot]);
    }
    if (!maps.empty()) out["maps"] = std::move(maps);
    WriteMaterialFields(out, m);
    return out;
  }

  ojson NodeJson(SceneNode& node) {
    ojson out;
    out["name"] = node.Name();
    out["handle"] = node.Handle();
    if (node.Parent() && !node.Parent()->IsRoot()) out["parent"] = node.Parent()->Handle();
    if (node.hidden) out["hidden"] = true;
    if (node.selected) out["selected"] = true;
    if (!node.Transform()) {
      out["transform"] = nullptr;
    } else {
      ojson transform = TransformJson(*node.Transform());
      if (!transform.empty()) out["transform"] = std::move(transform);
    }
    const TransformParts& offset = node.objectOffset;
    if (!(offset == TransformParts())) {
      ojson o = ojson::object();
      if (!(offset.position == Point3())) o["position"] = PointJson(offset.position);
      if (!(offset.rotation == Quat())) o["rotation"] = QuatJson(offset.rotation);
      if (!(offset.scale == ScaleWithAxis())) o["scale"] = ScaleJson(offset.scale);
      out["objectOffset"] = std::move(o);
    }
    if (node.Visibility()) out["visibility"] = ValueJson(*node.Visibility());
    if (node.target) out["target"] = node.target->Handle();
    if (!node.userProps.empty()) out["userProps"] = node.userProps;
    if (node.material) out["material"] = MaterialRef(node.material);
    WriteObject(node, out);
    return out;
  }

  void WriteObject(SceneNode& node, ojson& out) {
    Object* object = node.ObjectRef();
    if (!object) return;
    DerivedObject* stack = node.StackIfAny();
    Object* base = stack ? stack->GetObjRef() : object;
    if (auto* tri = dynamic_cast<TriObject*>(base)) {
      out["object"] = "mesh";
      out["mesh"] = MeshJson(tri->mesh);
    } else if (auto* other = dynamic_cast<SceneObject*>(base)) {
      const ObjectType* type =
          FindObjectType(other->ClassID(), other->SuperClassID(), other->GetClassName());
      if (type) {
        out["object"] = ojson{{"type", type->name}};
      } else {
        out["object"] = ojson{{"type", "custom"},
                              {"classId", ClassIdJson(other->ClassID())},
                              {"superClass", other->SuperClassID()},
                              {"className", other->GetClassName()}};
      }
      WriteObjectParams(*other, out["object"]);
      if (out["object"].size() == 1) out["object"] = type->name;
      if (other->mesh) out["mesh"] = MeshJson(*other->mesh);
    } else {
      throw std::logic_error("node " + node.Name() + " has an object (" +
                             (base ? base->GetClassName() : std::string("none")) +
                             ") the scene file cannot say");
    }
    if (!stack) return;
    ojson modifiers = ojson::array();
    for (int i = 0; i < stack->NumModifiers(); ++i) {
      modifiers.push_back(ModifierJson(node, stack->ModifierAt(i)));
    }
    out["modifiers"] = std::move(modifiers);
  }

  ojson MeshJson(const Mesh& mesh) {
    ojson out;
    out["verts"] = buffers_.Floats(Flat(mesh.verts), 3);
    out["faces"] = FacesJson(mesh.faces);
    if (!mesh.tVerts.empty()) out["tverts"] = buffers_.Floats(Flat(mesh.tVerts), 3);
    if (!mesh.tvFace.empty()) out["tvfaces"] = buffers_.Unsigneds(Flat(mesh.tvFace), 3);
    if (!mesh.vertCol.empty()) out["colors"] = buffers_.Floats(Flat(mesh.vertCol), 3);
    if (!mesh.vcFace.empty()) out["vcfaces"] = buffers_.Unsigneds(Flat(mesh.vcFace), 3);
    if (!mesh.specifiedNormals.empty()) {
      out["normals"] = buffers_.Floats(Flat(mesh.specifiedNormals), 3);
    }
    const bool allSet = std::all_of(mesh.specifiedNormalSet.begin(), mesh.specifiedNormalSet.end(),
                                    [](uint8_t set) { return set == 1; });
    if (!allSet || mesh.specifiedNormalSet.size() != mesh.specifiedNormals.size()) {
      std::vector<uint32_t> set(mesh.specifiedNormalSet.begin(), mesh.specifiedNormalSet.end());
      out["normalSet"] = buffers_.Unsigneds(set, 1);
    }
    if (mesh.dataChannelCount) out["dataChannels"] = mesh.dataChannelCount;
    return out;
  }

  ojson FacesJson(const std::vector<Face>& faces) {
    std::vector<uint32_t> corners, sm, ids, flags;
    for (const Face& f : faces) {
      corners.insert(corners.end(), {f.v[0], f.v[1], f.v[2]});
      sm.push_back(f.smGroup);
      ids.push_back(f.getMatID());
      flags.push_back(f.flags & 0xFFFF);
    }
    auto anyNonZero = [](const std::vector<uint32_t>& v) {
      return std::any_of(v.begin(), v.end(), [](uint32_t x) { return x != 0; });
    };
    if (corners.size() < threshold()) {
      ojson out = ojson::array();
      for (size_t f = 0; f < faces.size(); ++f) {
        ojson face{{"v", ojson::array({corners[3 * f], corners[3 * f + 1], corners[3 * f + 2]})}};
        if (sm[f]) face["smGroup"] = sm[f];
        if (ids[f]) face["matId"] = ids[f];
        if (flags[f]) face["flags"] = flags[f];
        out.push_back(std::move(face));
      }
      return out;
    }
    ojson out{{"v", buffers_.Unsigneds(corners, 3)}};
    if (anyNonZero(sm)) out["smGroup"] = buffers_.Unsigneds(sm, 1);
    if (anyNonZero(ids)) out["matId"] = buffers_.Unsigneds(ids, 1);
    if (anyNonZero(flags)) out["flags"] = buffers_.Unsigneds(flags, 1);
    return out;
  }

  ojson ModifierJson(SceneNode& node, StackModifier& modifier) {
    ojson out;
    if (auto* skin = dynamic_cast<SkinModifier*>(&modifier)) {
      out = SkinJson(*skin);
    } else if (auto* morpher = dynamic_cast<MorpherModifier*>(&modifier)) {
      out = MorpherJson(*morpher);
    } else if (dynamic_cast<GenericModifier*>(&modifier)) {
      out["type"] = "custom";
      out["classId"] = ClassIdJson(modifier.ClassID());
      out["className"] = modifier.GetClassName();
    } else {
      throw std::logic_error("node " + node.Name() + " has a modifier (" + modifier.GetClassName() +
                             ") the scene file cannot say");
    }
    if (!modifier.IsEnabled()) out["enabled"] = false;
    return out;
  }

  ojson SkinJson(SkinModifier& skin) {
    ojson out{{"type", "skin"}};
    if (skin.refFrame != 0) out["refFrame"] = skin.refFrame;
    if (skin.skinBindTM) out["bindTM"] = MatrixJson(*skin.skinBindTM);
    ojson bones = ojson::array();
    for (const SkinModifier::Bone& bone : skin.bones) {
      ojson b{{"node", bone.node ? bone.node->GetHandle() : 0}};
      if (bone.bindTM) b["bindTM"] = MatrixJson(*bone.bindTM);
      bones.push_back(std::move(b));
    }
    out["bones"] = std::move(bones);
    std::vector<uint32_t> counts, boneIndex;
    std::vector<float> weights;
    for (int p = 0; p < skin.NumPoints(); ++p) {
      counts.push_back(static_cast<uint32_t>(skin.PointWeights(p).size()));
      for (const BoneWeight& w : skin.PointWeights(p)) {
        boneIndex.push_back(static_cast<uint32_t>(w.bone));
        weights.push_back(w.weight);
      }
    }
    if (weights.size() < threshold()) {
      ojson points = ojson::array();
      for (int p = 0; p < skin.NumPoints(); ++p) {
        ojson pairs = ojson::array();
        for (const BoneWeight& w : skin.PointWeights(p)) {
          pairs.push_back(ojson::array({w.bone, Number(w.weight)}));
        }
        points.push_back(std::move(pairs));
      }
      out["weights"] = std::move(points);
    } else {
      out["weights"] = ojson{{"counts", buffers_.Unsigneds(counts, 1)},
                             {"bones", buffers_.Unsigneds(boneIndex, 1)},
                             {"weights", buffers_.Floats(weights, 1)}};
    }
    return out;
  }

  ojson MorpherJson(MorpherModifier& morpher) {
    ojson channels = ojson::array();
    for (int s = 0; s < MORPHER_SLOT_COUNT; ++s) {
      const MorphChannelSlot& slot = morpher.SlotAt(s);
      if (!slot.present) continue;
      ojson c{{"slot", s}};
      if (!slot.name.empty()) c["name"] = slot.name;
      if (!slot.active) c["active"] = false;
      if (slot.invalid) c["invalid"] = true;
      if (FloatController* weight = morpher.WeightController(s)) {
        // A bare number would read back as a plain weight.
        c["weight"] = ValueJson(*weight, /*asObject=*/true);
      } else {
        c["weight"] = Number(slot.weight);
      }
      c["deltas"] = buffers_.Floats(Flat(slot.deltas), 3);
      std::vector<float> pointWeights(slot.weights.begin(), slot.weights.end());
      if (!std::all_of(pointWeights.begin(), pointWeights.end(),
                       [](float w) { return w == 1.0f; }) ||
          pointWeights.size() != slot.deltas.size()) {
        c["pointWeights"] = buffers_.Floats(pointWeights, 1);
      }
      if (!slot.points.empty()) c["points"] = buffers_.Floats(Flat(slot.points), 3);
      channels.push_back(std::move(c));
    }
    return ojson{{"type", "morpher"}, {"channels", std::move(channels)}};
  }

  static std::vector<float> Flat(const std::vector<Point3>& points) {
    std::vector<float> flat;
    flat.reserve(points.size() * 3);
    for (const Point3& p : points) flat.insert(flat.end(), {p.x, p.y, p.z});
    return flat;
  }

  static std::vector<uint32_t> Flat(const std::vector<TVFace>& faces) {
    std::vector<uint32_t> flat;
    flat.reserve(faces.size() * 3);
    for (const TVFace& f : faces) flat.insert(flat.end(), {f.t[0], f.t[1], f.t[2]});
    return flat;
  }

  size_t threshold() const { return threshold_; }

  const Scene& scene_;
  std::filesystem::path baseDir_;
  SideBufferWriter buffers_;
  size_t threshold_;
  std::unordered_map<const Mtl*, size_t> materials_;
  std::unordered_map<const Texmap*, size_t> textures_;
};

}  // namespace

// Writes through a temporary name so a failed write keeps the old file.
void WriteFileAtomically(const std::filesystem::path& file, const char* data, size_t size) {
  std::filesystem::path temporary = file;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + temporary.string());
    out.write(data, static_cast<std::streamsize>(size));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + temporary.string());
  }
  std::error_code error;
  std::filesystem::rename(temporary, file, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    throw std::runtime_error("cannot write " + file.string());
  }
}

std::filesystem::path SideFileName(const std::filesystem::path& sceneFile) {
  std::string name = sceneFile.filename().string();
  const std::string suffix = ".kscene.json";
  if (name.size() > suffix.size() && name.ends_with(suffix)) {
    name.resize(name.size() - suffix.size());
  } else {
    name = sceneFile.stem().string();
  }
  return sceneFile.parent_path() / (name + ".bin");
}

void WriteSceneFile(const Scene& scene, const std::filesystem::path& file,
                    const SceneWriteOptions& options) {
  const std::filesystem::path sideFile = SideFileName(file);
  Writer writer(scene, file.parent_path(), options.sideFileThreshold);
  const std::string text = writer.Run(sideFile.filename().string()).dump(options.indent) + "\n";
  const std::vector<uint8_t>& bytes = writer.SideBytes();
  if (!bytes.empty()) {
    WriteFileAtomically(sideFile, reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  WriteFileAtomically(file, text.data(), text.size());
}

std::string WriteSceneText(const Scene& scene, const std::filesystem::path& baseDir) {
  Writer writer(scene, baseDir, SIZE_MAX);
  return writer.Run("").dump(2) + "\n";
}

}  // namespace kiln::standalone
