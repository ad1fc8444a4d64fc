// A whole car export through the exporter's entry point: a body of 108
// meshes (104,544 vertices, each mesh a pair of opposite patches of the car's
// surface) mapped against a 20,172-triangle collision shell, and the same
// export with the mapping off (no lookup entries). The difference is the
// mapping's share of the export's wall time.
//
//   car_collision_bench [output folder]
//
// The scene can also be exported by the kiln command: the bench leaves it in
// the folder as car.kscene.json with its config folder.
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "CarShell.h"
#include "platform/Dialogs.h"
#include "platform/Messages.h"
#include "plugin/KilnExporter.h"
#include "standalone/SceneBuilder.h"
#include "standalone/SceneFile.h"
#include "standalone/SceneInterface.h"

namespace {

namespace fs = std::filesystem;
constexpr int kTiles = 6;       // per side of each face of the body
constexpr int kTileSide = 21;   // quads per side of a patch
constexpr int kShellSide = 41;  // 20,172 triangles

struct Times {
  double wall = 0.0, cpu = 0.0;  // seconds
};

// The best of three exports: wall time suffers from other work on the machine.
Times Export(kiln::standalone::Scene& scene, const fs::path& folder, const std::string& lookup) {
  std::ofstream(folder / "config" / "CarExporterSettings.ini") << "[CollisionNodeLookup]\n"
                                                               << lookup;
  kiln::standalone::SceneInterface ip(scene);
  const std::string output = (folder / "car.zqc").string();
  Times best{1e9, 1e9};
  for (int run = 0; run < 3; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpu = std::clock();
    kiln::KilnExporter exporter;
    if (exporter.DoExport(output.c_str(), nullptr, &ip, 1, 0) != 1) std::printf("export failed\n");
    best.cpu = std::min(best.cpu, double(std::clock() - cpu) / CLOCKS_PER_SEC);
    best.wall = std::min(
        best.wall, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path folder =
      argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "kiln-car-collision-bench";
  fs::remove_all(folder);
  fs::create_directories(folder / "config");

  // The zone map: 16 x 16 texels, texel k in zone k.
  std::vector<uint8_t> zones(256), colours(3 * 256);
  for (int k = 0; k < 256; ++k) {
    zones[k] = uint8_t(k);
    colours[3 * k] = uint8_t(k), colours[3 * k + 1] = uint8_t(255 - k);
    colours[3 * k + 2] = uint8_t(k * 7);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = image.height = 16;
  image.format = PNG_FORMAT_RGB_COLORMAP;
  image.colormap_entries = 256;
  png_image_write_to_file(&image, (folder / "zones.png").c_str(), 0, zones.data(), 0,
                          colours.data());

  kiln::standalone::SceneBuilder b;
  auto& map = b.Texture("Zones");
  map.fileName = (folder / "zones.png").string();
  auto& base = b.Material("Zones");
  base.SetMap(ID_DI, &map);
  auto& shell = b.Material("Shell", "Composite");
  shell.subMaterials = {&base};
  b.Node("x_shell").Mesh(carshell::MakeShell(kShellSide)).Material(&shell);
  std::string lookup;
  size_t vertices = 0, meshes = 0;
  for (int axis = 0; axis < 3; ++axis) {
    for (int ti = 0; ti < kTiles; ++ti) {
      for (int tj = 0; tj < kTiles; ++tj) {
        Mesh mesh;
        const int total = kTiles * kTileSide;
        carshell::AddPatch(mesh, axis, -1.0f, total, ti * kTileSide, tj * kTileSide, kTileSide,
                           0.92f);
        carshell::AddPatch(mesh, axis, 1.0f, total, (kTiles - 1 - ti) * kTileSide, tj * kTileSide,
                           kTileSide, 0.92f);
        vertices += mesh.verts.size();
        const std::string name = "Body" + std::to_string(meshes++);
        lookup += name + "=x_shell\n";
        b.Node(name).Mesh(std::move(mesh));
      }
    }
  }
  auto scene = b.Build();
  scene->pluginConfigDir = folder / "config";
  kiln::standalone::SceneWriteOptions options;
  options.sideFileThreshold = 1024;
  kiln::standalone::WriteSceneFile(*scene, folder / "car.kscene.json", options);

  kiln::platform::SetMessageHandler(
      [](const kiln::platform::MessageRequest&) { return kiln::platform::IDOK; });
  kiln::platform::SetDialogHandler(
      [](const kiln::platform::DialogTemplate&, kiln::platform::DialogState&) {
        return kiln::platform::IDOK;
      });
  const Times without = Export(*scene, folder, "");
  const Times with = Export(*scene, folder, lookup);
  std::printf("car of %zu meshes, %zu vertices; shell of %d triangles (best of 3)\n", meshes,
              vertices, 12 * kShellSide * kShellSide);
  std::printf("export without the collision mapping: %.3f s wall, %.3f s CPU\n", without.wall,
              without.cpu);
  std::printf("export with the collision mapping:    %.3f s wall, %.3f s CPU\n", with.wall,
              with.cpu);
  std::printf("the mapping's share of the export:    %.0f %% wall, %.0f %% CPU\n",
              100.0 * (with.wall - without.wall) / with.wall,
              100.0 * (with.cpu - without.cpu) / with.cpu);
  return 0;
}
