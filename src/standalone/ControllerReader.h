#pragma once
#include <functional>
#include <memory>
#include <optional>

#include "standalone/ControllerIds.h"
#include "standalone/Controllers.h"
#include "standalone/JsonInput.h"

namespace kiln::standalone {

// Reads the controllers of the scene file (docs/kscene-format.md,
// "Controllers"): transform controllers, value controllers with their keys
// and out-of-range types, XYZ and Euler controllers, link, look-at and IK,
// float wires and the look-at transform of target cameras and lights.
// Node references are handles, turned into nodes by the lookup (which fails
// with the JSON path when no node has the handle). Every malformed value
// fails with its path (JsonInputError).
class ControllerReader {
 public:
  using NodeLookup = std::function<SceneNode*(const JsonValue&)>;
  // Float controllers' ids and wires' sources go to ids when given.
  explicit ControllerReader(NodeLookup lookup, ControllerIds* ids = nullptr)
      : lookup_(std::move(lookup)), ids_(ids) {}

  std::unique_ptr<TransformController> Transform(const JsonValue& v) const;
  // A keyframe float controller: visibility, morph weights, field of view.
  std::unique_ptr<FloatController> Keyframes(const JsonValue& v) const;
  template <typename T>
  std::unique_ptr<ValueControl<T>> Value(const JsonValue& v) const;

 private:
  template <typename T>
  void ReadPart(const std::optional<JsonValue>& v, std::unique_ptr<ValueControl<T>>& part) const;

  NodeLookup lookup_;
  ControllerIds* ids_;
};

}  // namespace kiln::standalone
