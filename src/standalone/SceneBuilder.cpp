#include "standalone/SceneBuilder.h"

#include <stdexcept>

namespace kiln::standalone {
namespace {

// Sets a part's static value, keeping its keyframe controller's class; a part
// of another kind becomes a keyframe controller of the default class.
template <typename T>
void SetValue(std::unique_ptr<ValueControl<T>>& part, const T& value) {
  if (auto* keyed = dynamic_cast<ValueController<T>*>(part.get())) {
    keyed->value = value;
  } else {
    part = std::make_unique<ValueController<T>>(value);
  }
}

}  // namespace

NodeBuilder& NodeBuilder::Parent(SceneNode& parent) {
  builder_.scene().SetParent(node_, parent);
  return *this;
}

PRSController& NodeBuilder::PRS() {
  if (PRSController* prs = node_.PRS()) return *prs;
  node_.SetTransform(std::make_unique<PRSController>());
  return *node_.PRS();
}

NodeBuilder& NodeBuilder::Position(const Point3& p) {
  SetValue(PRS().position, p);
  return *this;
}

NodeBuilder& NodeBuilder::Rotation(const Quat& q) {
  SetValue(PRS().rotation, q);
  return *this;
}

NodeBuilder& NodeBuilder::Rotation(float angle, const Point3& axis) {
  return Rotation(QFromAngAxis(angle, axis));
}

NodeBuilder& NodeBuilder::Scale(const Point3& s, const Quat& axis) {
  SetValue(PRS().scale, ScaleWithAxis{s, axis});
  return *this;
}

NodeBuilder& NodeBuilder::Roll(float radians) {
  SetValue(PRS().roll, radians);
  return *this;
}

NodeBuilder& NodeBuilder::WithoutPosition() {
  PRS().position.reset();
  return *this;
}

NodeBuilder& NodeBuilder::WithoutRotation() {
  PRS().rotation.reset();
  return *this;
}

NodeBuilder& NodeBuilder::WithoutScale() {
  PRS().scale.reset();
  return *this;
}

NodeBuilder& NodeBuilder::WithoutTransform() {
  node_.SetTransform(nullptr);
  return *this;
}

NodeBuilder& NodeBuilder::Visibility(float value) {
  node_.SetVisibility(std::make_unique<FloatController>(value));
  return *this;
}

NodeBuilder& NodeBuilder::ObjectOffset(const Point3& position, const Quat& rotation,
                                       const ScaleWithAxis& scale) {
  node_.objectOffset = {position, rotation, scale};
  return *this;
}

NodeBuilder& NodeBuilder::Mesh(::Mesh mesh) {
  node_.SetObject(std::make_unique<MeshObject>(std::move(mesh)));
  return *this;
}

NodeBuilder& NodeBuilder::Object(std::string_view type) {
  node_.SetObject(MakeObject(type));
  return *this;
}

NodeBuilder& NodeBuilder::Object(std::unique_ptr<::Object> object) {
  node_.SetObject(std::move(object));
  return *this;
}

NodeBuilder& NodeBuilder::ConvertsTo(::Mesh mesh) {
  ::Object* object = node_.ObjectRef();
  if (DerivedObject* stack = node_.StackIfAny()) object = stack->GetObjRef();
  auto* sceneObject = dynamic_cast<SceneObject*>(object);
  if (!sceneObject) {
    throw std::logic_error("node " + node_.Name() + " has no helper-like object to give a mesh");
  }
  sceneObject->mesh = std::move(mesh);
  return *this;
}

SkinModifier& NodeBuilder::Skin() {
  return static_cast<SkinModifier&>(node_.Stack().AddOnTop(std::make_unique<SkinModifier>()));
}

MorpherModifier& NodeBuilder::Morpher() {
  return static_cast<MorpherModifier&>(node_.Stack().AddOnTop(std::make_unique<MorpherModifier>()));
}

NodeBuilder& NodeBuilder::Modifier(Class_ID classId, std::string className, bool enabled) {
  node_.Stack()
      .AddOnTop(std::make_unique<GenericModifier>(classId, std::move(className)))
      .SetEnabled(enabled);
  return *this;
}

NodeBuilder& NodeBuilder::UserProps(std::string text) {
  node_.userProps = std::move(text);
  return *this;
}

NodeBuilder& NodeBuilder::Hidden(bool hidden) {
  node_.hidden = hidden;
  return *this;
}

NodeBuilder& NodeBuilder::Selected(bool selected) {
  node_.selected = selected;
  return *this;
}

NodeBuilder& NodeBuilder::Material(Mtl* material) {
  node_.material = material;
  return *this;
}

NodeBuilder& NodeBuilder::Target(NodeBuilder& target) {
  node_.target = &target.node();
  return *this;
}

SceneBuilder::SceneBuilder() : scene_(std::make_unique<Scene>()) {}
SceneBuilder::~SceneBuilder() = default;

NodeBuilder& SceneBuilder::Node(std::string name, std::optional<uint32_t> handle) {
  SceneNode& node = scene_->CreateNode(std::move(name), nullptr, handle);
  node.SetTransform(PRSController::WithParts({}));
  return nodes_.emplace_back(*this, node);
}

SceneBuilder& SceneBuilder::FrameRate(int fps) {
  scene_->frameRate = fps;
  return *this;
}

SceneBuilder& SceneBuilder::AnimRange(TimeValue start, TimeValue end) {
  scene_->animRange = Interval(start, end);
  return *this;
}

SceneBuilder& SceneBuilder::Time(TimeValue t) {
  scene_->time = t;
  return *this;
}

SceneBuilder& SceneBuilder::PluginConfigDir(std::filesystem::path dir) {
  scene_->pluginConfigDir = std::move(dir);
  return *this;
}

standalone::Material& SceneBuilder::Material(std::string name, std::string_view className) {
  standalone::Material& material = scene_->CreateMaterial(std::move(name));
  material.className = className;
  const NamedClass* known = FindNamedClass(KnownMaterialClasses(), className);
  material.classId = known ? known->classId : Class_ID();
  return material;
}

standalone::Texture& SceneBuilder::Texture(std::string name, std::string_view className) {
  standalone::Texture& texture = scene_->CreateTexture(std::move(name));
  texture.className = className;
  const NamedClass* known = FindNamedClass(KnownTextureClasses(), className);
  texture.classId = known ? known->classId : Class_ID();
  return texture;
}

std::unique_ptr<Scene> SceneBuilder::Build() {
  scene_->SetDefaultBindPoses();
  std::vector<SceneProblem> problems = scene_->Validate();
  if (!problems.empty()) {
    std::string text = "the built scene is not valid:";
    for (const SceneProblem& problem : problems) text += "\n  " + Describe(problem);
    throw std::invalid_argument(text);
  }
  return BuildUnchecked();
}

std::unique_ptr<Scene> SceneBuilder::BuildUnchecked() {
  scene_->SetDefaultBindPoses();
  nodes_.clear();
  auto built = std::move(scene_);
  scene_ = std::make_unique<Scene>();
  return built;
}

}  // namespace kiln::standalone
