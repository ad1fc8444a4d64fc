#include "animation/TimeConversion.h"

#include "host/Interface.h"

namespace kiln {

float WholeFrameTime(TimeValue ticks, Interface* ip) {
  int frames = ticks / ip->GetTicksPerFrame();
  return static_cast<float>(frames) / static_cast<float>(ip->GetFrameRate());
}

float ExactTime(TimeValue ticks, Interface* ip) {
  float frames = static_cast<float>(ticks) / static_cast<float>(ip->GetTicksPerFrame());
  return frames / static_cast<float>(ip->GetFrameRate());
}

}  // namespace kiln
