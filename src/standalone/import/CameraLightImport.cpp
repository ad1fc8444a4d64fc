// Cameras and lights.
#include <assimp/scene.h>

#include "standalone/import/ImportContext.h"

namespace kiln::standalone {

void ImportCamerasAndLights(ImportContext& context) {
  if (context.ai.mNumCameras) context.Warn("cameras are not carried yet");
  if (context.ai.mNumLights) context.Warn("lights are not carried yet");
}

}  // namespace kiln::standalone
