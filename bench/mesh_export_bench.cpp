// A whole scene export of many large meshes through the exporter's entry
// point: wall time of building the scene and of exporting it, output size and
// speed, and the peak resident memory (also measured from outside with
// /usr/bin/time -v).
//
//   mesh_export_bench [meshes=100] [side=245] [output folder] [scene file]
//
// Given a scene file name, it writes the scene there instead (large arrays in
// the binary side file) and exports nothing, so that loading and exporting
// the same scene can be timed with the kiln command:
//
//   mesh_export_bench 100 245 /tmp/grids /tmp/grids/grids.kscene.json
//   /usr/bin/time -v kiln info /tmp/grids/grids.kscene.json
//   /usr/bin/time -v kiln export /tmp/grids/grids.kscene.json /tmp/grids/out.zqs --quiet
//
// Each mesh is a smooth side x side grid (245 x 245 = 60,025 vertices) with
// texture coordinates and colours.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "GridMesh.h"
#include "platform/Dialogs.h"
#include "platform/Messages.h"
#include "plugin/KilnExporter.h"
#include "standalone/SceneBuilder.h"
#include "standalone/SceneFile.h"
#include "standalone/SceneInterface.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Resident memory now, from /proc/self/statm.
double ResidentMegabytes() {
  long pages = 0, resident = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  const int meshes = argc > 1 ? std::atoi(argv[1]) : 100;
  const int side = argc > 2 ? std::atoi(argv[2]) : 245;
  const std::filesystem::path folder =
      argc > 3 ? std::filesystem::path(argv[3])
               : std::filesystem::temp_directory_path() / "kiln-mesh-export-bench";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);

  auto start = std::chrono::steady_clock::now();
  kiln::standalone::SceneBuilder builder;
  const Mesh grid = MakeGridMesh(side);
  for (int i = 0; i < meshes; ++i) {
    Mesh mesh = grid;
    std::string name = "Grid";
    name += std::to_string(i);
    builder.Node(std::move(name)).Position({0, 0, static_cast<float>(i)}).Mesh(std::move(mesh));
  }
  auto scene = builder.Build();
  const double buildSeconds = Seconds(start);
  const double peakAfterBuild = PeakMegabytes();
  const double residentBeforeExport = ResidentMegabytes();

  if (argc > 4) {
    kiln::standalone::SceneWriteOptions options;
    options.sideFileThreshold = 1024;
    options.indent = -1;
    kiln::standalone::WriteSceneFile(*scene, argv[4], options);
    std::printf("scene of %d meshes written to %s\n", meshes, argv[4]);
    return 0;
  }

  kiln::platform::SetMessageHandler(
      [](const kiln::platform::MessageRequest&) { return kiln::platform::IDOK; });
  kiln::platform::SetDialogHandler(
      [](const kiln::platform::DialogTemplate&, kiln::platform::DialogState&) {
        return kiln::platform::IDOK;
      });
  scene->pluginConfigDir = folder;
  kiln::standalone::SceneInterface ip(*scene);
  const std::string output = (folder / "grids.zqs").string();
  start = std::chrono::steady_clock::now();
  kiln::KilnExporter exporter;
  const int result = exporter.DoExport(output.c_str(), nullptr, &ip, 1, 0);
  const double exportSeconds = Seconds(start);
  const double megabytes =
      static_cast<double>(std::filesystem::file_size(output)) / (1024.0 * 1024.0);

  std::printf("meshes: %d of %d vertices and %d triangles\n", meshes, side * side,
              2 * (side - 1) * (side - 1));
  std::printf("scene built in %.2f s (peak %.0f MB)\n", buildSeconds, peakAfterBuild);
  std::printf("resident %.0f MB before the export, %.0f MB after\n", residentBeforeExport,
              ResidentMegabytes());
  std::printf("export result %d in %.2f s: %.1f MB written, %.1f MB/s\n", result, exportSeconds,
              megabytes, megabytes / exportSeconds);
  std::printf("peak resident memory %.0f MB = %.2f x the output\n", PeakMegabytes(),
              PeakMegabytes() / megabytes);
  return result == 1 ? 0 : 1;
}
