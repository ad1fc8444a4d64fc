#pragma once
#include <cstdint>
#include <string>

class ExpInterface;
class Interface;

namespace kiln {

class KilnExporter;

// One driver per export kind: settings, the output file's fixed head, the
// walk under a progress window, and closing. Each returns 1 when it put its
// complete file in place (a cancelled walk included), 0 when it stopped
// without one (settings refused, a failed human check).
int RunSceneDriver(KilnExporter& exporter, const std::string& outputName, ExpInterface* ei,
                   Interface* ip, int suppressPrompts, uint32_t options);
int RunCarDriver(KilnExporter& exporter, const std::string& outputName, ExpInterface* ei,
                 Interface* ip, int suppressPrompts, uint32_t options);
int RunHumanDriver(KilnExporter& exporter, const std::string& outputName, ExpInterface* ei,
                   Interface* ip, int suppressPrompts, uint32_t options);
int RunAnimationDriver(KilnExporter& exporter, const std::string& outputName, ExpInterface* ei,
                       Interface* ip, int suppressPrompts, uint32_t options);

// The string every output file starts with.
constexpr const char* kBanner = "Pangolin scene marker!";

}  // namespace kiln
