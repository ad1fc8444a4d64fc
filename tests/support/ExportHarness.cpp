#include "support/ExportHarness.h"

#include <fstream>
#include <iterator>

#include "host/Plugin.h"
#include "platform/DebugOutput.h"
#include "plugin/KilnExporter.h"
#include "standalone/SceneBuilder.h"
#include "standalone/SceneInterface.h"

namespace kiln::testing {

ExportHarness::ExportHarness() : out_(folder_.Path() / "out"), config_(folder_.Path() / "config") {
  std::filesystem::create_directories(out_);
  std::filesystem::create_directories(config_);
  platform::SetMessageHandler([this](const platform::MessageRequest& request) {
    messages.push_back(request);
    if ((request.type & 0xF) == platform::MB_OK) return platform::IDOK;
    if (answers.empty()) return platform::IDCANCEL;
    int answer = answers.front();
    answers.pop_front();
    return answer;
  });
  platform::SetDialogHandler([this](const platform::DialogTemplate&, platform::DialogState& state) {
    dialogsShown.push_back(state);
    if (dialogAnswer != platform::IDOK) return dialogAnswer;
    for (auto [id, value] : dialogEdits) {
      for (auto& check : state.checks) {
        if (check.first == id) check.second = value;
      }
    }
    return platform::IDOK;
  });
  platform::SetDebugOutputSink([this](const char* text) { debugLines.emplace_back(text); });
}

ExportHarness::~ExportHarness() {
  platform::SetMessageHandler({});
  platform::SetDialogHandler({});
  platform::SetDebugOutputSink({});
}

int ExportHarness::Export(standalone::Scene& scene, const std::string& fileName,
                          bool suppressPrompts, uint32_t options) {
  scene.pluginConfigDir = config_;
  standalone::SceneInterface ip(scene);
  int updates = 0;
  ip.SetProgressObserver([&](const standalone::ProgressEvent& event) {
    if (event.kind == standalone::ProgressEvent::Kind::kStart)
      progressTitles.push_back(event.title);
    if (event.kind != standalone::ProgressEvent::Kind::kUpdate) return;
    progressPercents.push_back(event.percent);
    if (++updates == cancelAfterUpdates) ip.RequestCancel();
  });
  KilnExporter exporter;
  standalone::TransformsHeldStill held(scene);
  std::string name = (out_ / fileName).string();
  return exporter.DoExport(name.c_str(), nullptr, &ip, suppressPrompts ? 1 : 0, options);
}

std::string ExportHarness::ReadText(const std::string& name) const {
  std::ifstream in(out_ / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void ExportHarness::WriteText(const std::string& name, const std::string& text) const {
  std::filesystem::create_directories((out_ / name).parent_path());
  std::ofstream(out_ / name, std::ios::binary) << text;
}

reader::ChunkFile ExportHarness::Read(const std::string& name) const {
  return reader::ReadChunkFile(OutPath(name));
}

std::unique_ptr<standalone::Scene> OneNodeScene() {
  standalone::SceneBuilder b;
  b.Node("Node");
  return b.Build();
}

std::vector<std::pair<uint32_t, uint32_t>> TopLevelIds(const reader::ChunkFile& file) {
  std::vector<std::pair<uint32_t, uint32_t>> ids;
  for (const reader::Chunk& chunk : file.chunks) ids.emplace_back(chunk.id.type, chunk.id.subtype);
  return ids;
}

}  // namespace kiln::testing
