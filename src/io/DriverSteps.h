#pragma once
#include <cstdint>
#include <memory>
#include <string>

class Interface;

namespace kiln {

class CZX9_DiskWriter;

// Loads the settings, shows the settings dialog unless prompts are
// suppressed, creates the texture folder when textures are copied, and saves
// the settings. False when the driver must end without writing anything.
bool ConfirmSettings(Interface* ip, int suppressPrompts);

// A writer with fileName open and the banner written.
std::unique_ptr<CZX9_DiskWriter> OpenOutputFile(const std::string& fileName);

}  // namespace kiln
