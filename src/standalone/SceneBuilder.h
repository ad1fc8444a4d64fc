#pragma once
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "standalone/Modifiers.h"
#include "standalone/Scene.h"
#include "standalone/SceneObjects.h"

namespace kiln::standalone {

class SceneBuilder;

// Fluent setters for one node of a scene being built. A new node sits under
// the root with a position/rotation/scale controller at the identity and no
// object.
class NodeBuilder {
 public:
  NodeBuilder(SceneBuilder& builder, SceneNode& node) : builder_(builder), node_(node) {}

  NodeBuilder& Parent(NodeBuilder& parent) { return Parent(parent.node()); }
  NodeBuilder& Parent(SceneNode& parent);

  // Transform parts; each sets (or creates) that part's controller.
  NodeBuilder& Position(const Point3& p);
  NodeBuilder& Rotation(const Quat& q);
  NodeBuilder& Rotation(float angle, const Point3& axis);
  NodeBuilder& Scale(const Point3& s, const Quat& axis = {});
  NodeBuilder& Roll(float radians);
  NodeBuilder& WithoutPosition();
  NodeBuilder& WithoutRotation();
  NodeBuilder& WithoutScale();
  NodeBuilder& WithoutTransform();
  // The transform controller for finer changes (controller classes).
  PRSController& PRS();
  NodeBuilder& Visibility(float value);

  NodeBuilder& ObjectOffset(const Point3& position, const Quat& rotation = {},
                            const ScaleWithAxis& scale = {});

  // Objects: an editable mesh, a known type by its scene-file name ("dummy",
  // "bone", "targetCamera", ...), or any object.
  NodeBuilder& Mesh(::Mesh mesh);
  NodeBuilder& Object(std::string_view type);
  NodeBuilder& Object(std::unique_ptr<::Object> object);
  // Gives the node's (non-mesh) object a mesh it converts to.
  NodeBuilder& ConvertsTo(::Mesh mesh);

  // Modifiers go on top of the stack in the order they are added.
  SkinModifier& Skin();
  MorpherModifier& Morpher();
  NodeBuilder& Modifier(Class_ID classId, std::string className, bool enabled = true);

  NodeBuilder& UserProps(std::string text);
  NodeBuilder& Hidden(bool hidden = true);
  NodeBuilder& Selected(bool selected = true);
  NodeBuilder& Material(Mtl* material);
  NodeBuilder& Target(NodeBuilder& target);

  SceneNode& node() { return node_; }
  operator SceneNode&() { return node_; }

 private:
  SceneBuilder& builder_;
  SceneNode& node_;
};

// Builds a scene for tests:
//   SceneBuilder b;
//   auto& box = b.Node("Box").Position({1, 2, 3}).Mesh(MakeBox()).Hidden();
//   b.Node("Lid").Parent(box).Object("dummy");
//   std::unique_ptr<Scene> scene = b.Build();
// Node builders and the nodes they return live in the scene: they stay usable
// (to pose bones, say) for as long as the built scene lives.
class SceneBuilder {
 public:
  SceneBuilder();
  ~SceneBuilder();

  // A new node under the root; the handle is the next free one unless given.
  NodeBuilder& Node(std::string name, std::optional<uint32_t> handle = std::nullopt);
  SceneNode& Root() { return scene_->Root(); }

  SceneBuilder& FrameRate(int fps);
  SceneBuilder& AnimRange(TimeValue start, TimeValue end);
  SceneBuilder& Time(TimeValue t);
  SceneBuilder& PluginConfigDir(std::filesystem::path dir);

  standalone::Material& Material(std::string name, std::string_view className = "Standard");
  standalone::Texture& Texture(std::string name, std::string_view className = "Bitmap");

  // The scene under construction.
  Scene& scene() { return *scene_; }

  // The scene after Validate; throws std::invalid_argument naming every
  // problem when it fails.
  std::unique_ptr<Scene> Build();
  // The scene as built, unchecked (for tests of Validate itself).
  std::unique_ptr<Scene> BuildUnchecked();

 private:
  std::unique_ptr<Scene> scene_;
  std::deque<NodeBuilder> nodes_;  // stable addresses
};

}  // namespace kiln::standalone
