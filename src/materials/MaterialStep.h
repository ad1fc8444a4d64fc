#pragma once
#include <memory>

class Interface;

namespace kiln {

class CZX9_DiskWriter;
class MaterialExporter;

// The material step of the scene, car and human drivers: reads the shader
// map from the plug-in configuration folder, collects the scene's
// materials, and writes the custom attribute chunks and then the material
// chunks. The exporter stays for the mesh exporters of the walk.
std::unique_ptr<MaterialExporter> RunMaterialStep(CZX9_DiskWriter* writer, Interface* ip);

}  // namespace kiln
