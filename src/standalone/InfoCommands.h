#pragma once
#include <string>

namespace kiln::standalone {

// `kiln dump FILE`: the chunk tree of an exported file, for people or as JSON.
int RunDumpCommand(const std::string& file, bool json);
// `kiln info SCENE`: what a scene file or an asset holds (for an asset, with
// its clips and what the import could not carry).
int RunInfoCommand(const std::string& scene, const std::string& clip = {});
// `kiln plugin-info`: what the exporter module registers.
int RunPluginInfoCommand(const std::string& plugin);

}  // namespace kiln::standalone
