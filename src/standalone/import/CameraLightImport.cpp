// Cameras and lights: the library attaches them to the node of their name.
// Perspective cameras become free cameras (target cameras when the library
// gives the camera a "NAME.Target" node to look at) with their horizontal
// field of view and clipping; point, directional and spot lights become
// omni, directional and spot lights with their colour and cones.
//
// Where the library's numbers mean something else than its documentation
// says, each format is read as its importer fills them in:
//  - the field of view: glTF gives the vertical field of view times the
//    aspect ratio (its horizontal one is worked out from both); 3DS gives the
//    file's lens in millimetres as if it were degrees (the file's lens is
//    2400 / the field of view in degrees); Collada and FBX give the full
//    horizontal angle;
//  - spot cones: glTF gives the half angles of its cones, the others the
//    full angles;
//  - the position of a camera or light, which the library says is relative to
//    its node, is the node's own position again (glTF, 3DS): it is left out.
// The camera's or light's own direction in its node (the library's look or
// direction and up vectors; FBX cameras look along +x) becomes the node's
// object offset, so the object looks down its -z axis as the host's do.
#include <assimp/camera.h>
#include <assimp/light.h>
#include <assimp/scene.h>

#include <cmath>
#include <numbers>

#include "standalone/CameraObject.h"
#include "standalone/LightObject.h"
#include "standalone/LookAtTransform.h"
#include "standalone/SceneObjects.h"
#include "standalone/import/ImportContext.h"

namespace kiln::standalone {
namespace {

constexpr float kDegrees = 180.0f / std::numbers::pi_v<float>;

bool IsFormat(const ImportContext& context, const char* name) {
  return context.format.find(name) != std::string::npos;
}

// The node a camera or light goes on: the node of its name, or a new child of
// it when that node already holds an object.
SceneNode* HolderNode(ImportContext& context, const aiString& name, const char* kind) {
  SceneNode* node = context.NodeNamed(name.C_Str());
  if (!node) {
    context.Warn(std::string(kind) + " " + Quoted(name) +
                 " has no node of its name and is left out");
    return nullptr;
  }
  if (!node->ObjectRef()) return node;
  SceneNode& child = context.scene.CreateNode(node->Name() + " " + kind, node);
  child.SetTransform(PRSController::WithParts({}));
  return &child;
}

// The object offset that turns an object looking down -z with +y up to look
// along `look` with `up`.
void AimObject(SceneNode& node, aiVector3D look, aiVector3D up) {
  if (!Finite(look) || !Finite(up) || look.Length() == 0) return;
  look.Normalize();
  const Point3 z = -HostPoint(look);
  Point3 y =
      HostPoint(up) - z * (HostPoint(up).x * z.x + HostPoint(up).y * z.y + HostPoint(up).z * z.z);
  if (Length(y) < 1e-6f) y = std::fabs(z.y) < 0.9f ? Point3(0, 1, 0) : Point3(1, 0, 0);
  y = y * (1.0f / Length(y));
  const Point3 x(y.y * z.z - y.z * z.y, y.z * z.x - y.x * z.z, y.x * z.y - y.y * z.x);
  node.objectOffset.rotation = Quat(Matrix3(x, y, z, {}));
}

// Makes a node that the library gave a "NAME.Target" node look at it.
bool AimAtTarget(ImportContext& context, SceneNode& node, const aiString& name) {
  SceneNode* target = context.NodeNamed(std::string(name.C_Str()) + ".Target");
  if (!target || target == &node) return false;
  for (SceneNode* n = target; n; n = n->Parent()) {
    if (n == &node) return false;  // a target below the node would move with it
  }
  auto lookAt = std::make_unique<LookAtTransform>();
  if (PRSController* prs = node.PRS()) {
    lookAt->position = std::move(prs->position);
    lookAt->scale = std::move(prs->scale);
  }
  node.target = target;
  node.SetTransform(std::move(lookAt));
  node.objectOffset = {};
  return true;
}

float HorizontalFov(ImportContext& context, const aiCamera& camera) {
  const float given = camera.mHorizontalFOV;
  if (IsFormat(context, "glTF")) {
    if (camera.mAspect > 0) {
      const float vertical = given / camera.mAspect;
      return 2.0f * std::atan(std::tan(vertical / 2.0f) * camera.mAspect);
    }
    return given;
  }
  if (IsFormat(context, "3DS") && given > 0) return 2400.0f / (given * kDegrees) / kDegrees;
  return given;
}

void ImportCamera(ImportContext& context, const aiCamera& camera) {
  SceneNode* node = HolderNode(context, camera.mName, "camera");
  if (!node) return;
  const std::string name = Quoted(node->Name());
  const bool orthographic = camera.mOrthographicWidth > 0 || camera.mHorizontalFOV == 0;
  const bool targeted = AimAtTarget(context, *node, camera.mName);
  auto object = MakeObject(targeted ? "targetCamera" : "freeCamera");
  auto* cameraObject = static_cast<CameraObject*>(object.get());
  float fov = HorizontalFov(context, camera);
  if (orthographic) {
    context.Warn("camera " + name +
                 " is orthographic; the host has no orthographic camera, "
                 "so it becomes a perspective camera of 45 degrees");
    fov = CameraObject::kDefaultFov;
  } else if (!std::isfinite(fov) || fov <= 0 || fov >= std::numbers::pi_v<float>) {
    context.Warn("camera " + name + ": its field of view is out of range; 45 degrees are taken");
    fov = CameraObject::kDefaultFov;
  }
  float nearClip = camera.mClipPlaneNear, farClip = camera.mClipPlaneFar;
  if (!std::isfinite(nearClip) || nearClip < 0) nearClip = 0;
  if (!std::isfinite(farClip) || farClip < nearClip) {
    context.Warn("camera " + name + ": its far clipping distance is out of range; 1000 is taken");
    farClip = std::max(nearClip, CameraObject::kDefaultFar);
  }
  cameraObject->Param(CameraObject::kFov).values[0].number = fov;
  cameraObject->Param(CameraObject::kNearClip).values[0].number = nearClip;
  cameraObject->Param(CameraObject::kFarClip).values[0].number = farClip;
  if (!targeted) AimObject(*node, camera.mLookAt, camera.mUp);
  node->SetObject(std::move(object));
}

void ImportLight(ImportContext& context, const aiLight& light) {
  const std::string name = Quoted(light.mName);
  const char* type = nullptr;
  switch (light.mType) {
    case aiLightSource_POINT:
      type = "omniLight";
      break;
    case aiLightSource_DIRECTIONAL:
      type = "directionalLight";
      break;
    case aiLightSource_SPOT:
      type = "freeSpot";
      break;
    default:
      context.Warn("light " + name +
                   " is of a kind the host has not (ambient or area); it is left out");
      return;
  }
  SceneNode* node = HolderNode(context, light.mName, "light");
  if (!node) return;
  const std::string nodeName = Quoted(node->Name());
  const bool targeted =
      light.mType != aiLightSource_POINT && AimAtTarget(context, *node, light.mName);
  if (targeted) type = light.mType == aiLightSource_SPOT ? "targetSpot" : "targetDirectional";
  auto object = MakeObject(type);
  auto* lightObject = static_cast<LightObject*>(object.get());

  // The library gives the colour times the intensity; the host keeps them apart.
  const aiColor3D& c = light.mColorDiffuse;
  float multiplier = std::max({c.r, c.g, c.b, 1.0f});
  if (!std::isfinite(multiplier)) {
    context.Warn("light " + nodeName + ": its colour is not finite; white is taken");
    multiplier = 1;
  }
  const Color color = std::isfinite(c.r + c.g + c.b) ? Color(std::max(c.r, 0.0f) / multiplier,
                                                             std::max(c.g, 0.0f) / multiplier,
                                                             std::max(c.b, 0.0f) / multiplier)
                                                     : Color(1, 1, 1);
  lightObject->Param(LightObject::kColor).values[0].colour = color;
  lightObject->Param(LightObject::kMultiplier).values[0].number = multiplier;
  if (light.mType == aiLightSource_SPOT) {
    const float scale = IsFormat(context, "glTF") ? 2.0f * kDegrees : kDegrees;
    float hotspot = light.mAngleInnerCone * scale, falloff = light.mAngleOuterCone * scale;
    if (!std::isfinite(hotspot) || !std::isfinite(falloff) || falloff <= 0 || falloff > 180) {
      context.Warn("light " + nodeName + ": its cone is out of range; 43 and 45 degrees are taken");
      hotspot = 43, falloff = 45;
    }
    lightObject->Param(LightObject::kHotspot).values[0].number = std::clamp(hotspot, 0.0f, falloff);
    lightObject->Param(LightObject::kFalloff).values[0].number = falloff;
  }
  if (!targeted && light.mType != aiLightSource_POINT) {
    AimObject(*node, light.mDirection, light.mUp);
  } else if (!targeted) {
    AimObject(*node, aiVector3D(0, 0, -1), aiVector3D(0, 1, 0));
  }
  node->SetObject(std::move(object));
}

}  // namespace

void ImportCamerasAndLights(ImportContext& context) {
  for (unsigned i = 0; i < context.ai.mNumCameras && context.ai.mCameras; ++i) {
    if (context.ai.mCameras[i]) ImportCamera(context, *context.ai.mCameras[i]);
  }
  for (unsigned i = 0; i < context.ai.mNumLights && context.ai.mLights; ++i) {
    if (context.ai.mLights[i]) ImportLight(context, *context.ai.mLights[i]);
  }
}

}  // namespace kiln::standalone
