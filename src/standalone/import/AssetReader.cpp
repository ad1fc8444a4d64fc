// Reads an asset with the assimp library and maps it onto a new scene.
#include <assimp/commonMetaData.h>
#include <assimp/importerdesc.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <assimp/DefaultLogger.hpp>
#include <assimp/Importer.hpp>
#include <assimp/LogStream.hpp>
#include <cctype>
#include <cmath>
#include <fstream>

#include "standalone/SceneFile.h"
#include "standalone/SceneLoadError.h"
#include "standalone/import/GltfExtras.h"
#include "standalone/import/ImportContext.h"
#include "standalone/import/VertexWeld.h"

namespace kiln::standalone {
namespace fs = std::filesystem;
namespace {

// Triangles, and the library's own check of indices and counts before
// anything reads them. Vertices are then welded where every attribute agrees
// (see Weld).
constexpr unsigned kSteps = aiProcess_Triangulate | aiProcess_ValidateDataStructure;
constexpr uintmax_t kMaxAssetBytes = uintmax_t{1} << 31;

// The library's warnings and errors while it reads, as import warnings.
// Messages that differ only in their numbers (one per vertex, say) are told
// once, with how many more there were.
class LibraryLog final : public Assimp::LogStream {
 public:
  void write(const char* message) override {
    std::string text = message ? message : "";
    // "Warn,  T0: text\n": the severity and thread go.
    if (size_t colon = text.find(": "); colon != std::string::npos && colon < 16)
      text.erase(0, colon + 2);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (text.empty()) return;
    std::string key;
    for (char c : text) {
      if (!std::isdigit(static_cast<unsigned char>(c)) || key.empty() || key.back() != '#')
        key += std::isdigit(static_cast<unsigned char>(c)) ? '#' : c;
    }
    for (Message& known : messages_) {
      if (known.key == key) {
        ++known.count;
        return;
      }
    }
    messages_.push_back({std::move(key), std::move(text), 1});
  }

  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const Message& m : messages_) {
      out.push_back(m.count == 1
                        ? m.text
                        : m.text + " (and " + std::to_string(m.count - 1) + " more like it)");
    }
    return out;
  }

 private:
  struct Message {
    std::string key, text;
    size_t count;
  };
  std::vector<Message> messages_;
};

class LogCapture {
 public:
  LogCapture() {
    Assimp::DefaultLogger::create(nullptr, Assimp::Logger::NORMAL, 0);
    Assimp::DefaultLogger::get()->attachStream(&log_, Assimp::Logger::Warn | Assimp::Logger::Err);
  }
  ~LogCapture() {
    Assimp::DefaultLogger::get()->detachStream(&log_, Assimp::Logger::Warn | Assimp::Logger::Err);
    Assimp::DefaultLogger::kill();
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;
  std::vector<std::string> Messages() const { return log_.Messages(); }

 private:
  LibraryLog log_;
};

// A file's bytes, mapped rather than read: of a large binary glTF file only
// the JSON part is ever looked at again.
class MappedFile {
 public:
  explicit MappedFile(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
      void* data =
          ::mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
      if (data != MAP_FAILED) {
        data_ = static_cast<const char*>(data);
        size_ = static_cast<size_t>(info.st_size);
      }
    }
    ::close(fd);
  }
  ~MappedFile() {
    if (data_) ::munmap(const_cast<char*>(data_), size_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  std::string_view Bytes() const { return {data_, size_}; }

 private:
  const char* data_ = nullptr;
  size_t size_ = 0;
};

void Configure(Assimp::Importer& importer) {
  // One transform per node, as the host has it, rather than helper nodes for
  // FBX pivots; Collada nodes by their names rather than their ids.
  importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
  importer.SetPropertyBool(AI_CONFIG_IMPORT_COLLADA_USE_COLLADA_NAMES, true);
}

// The library's error as one line. A file whose extension the library knows
// but that no importer takes is damaged (broken JSON in a .gltf file, say).
std::string LibraryError(const Assimp::Importer& importer, const std::string& extension) {
  std::string text = importer.GetErrorString();
  if (text.find("No suitable reader found") != std::string::npos) {
    if (!extension.empty() && importer.IsExtensionSupported(extension)) {
      return "damaged: not a readable ." + extension + " file";
    }
    return "unknown format: no importer reads it (kiln convert --list-formats lists the formats)";
  }
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '.')) text.pop_back();
  return text.empty() ? "the library cannot read it" : text;
}

std::string SourceFormat(const aiScene& ai) {
  aiString format;
  if (ai.mMetaData && ai.mMetaData->Get(AI_METADATA_SOURCE_FORMAT, format)) return format.C_Str();
  return "unknown";
}

// Welds vertices whose every attribute agrees and drops unused ones. glTF
// meshes come indexed, with attributes written once per vertex, so an exact
// weld finds what the library's (tolerant, much slower) one would; other
// formats give a vertex per face corner and keep the library's.
const aiScene* Weld(Assimp::Importer& importer, const aiScene* ai) {
  if (!ai) return nullptr;
  if (SourceFormat(*ai).find("glTF") == std::string::npos)
    return importer.ApplyPostProcessing(aiProcess_JoinIdenticalVertices);
  // The importer owns the scene and hands it out read-only; it was made
  // writable and is changed here before anything else reads it.
  for (unsigned i = 0; i < ai->mNumMeshes; ++i) {
    if (ai->mMeshes[i]) WeldIdenticalVertices(*const_cast<aiMesh*>(ai->mMeshes[i]));
  }
  return ai;
}

// FBX files name their frame rate (the modelling hosts' time modes); others
// take the host's 30 frames a second. Rates that do not divide the host's
// ticks are left at 30.
int FrameRate(const aiScene& ai) {
  int32_t mode = 0;
  if (!ai.mMetaData || !ai.mMetaData->Get("FrameRate", mode)) return 30;
  static const int kRates[] = {0, 120, 100, 60, 50, 48, 30, 30, 30, 30, 25, 24, 0, 0, 0, 96};
  int rate = mode >= 0 && mode < 16 ? kRates[mode] : 0;
  if (mode == 14) {
    double custom = 0;
    if (ai.mMetaData->Get("CustomFrameRate", custom) && custom >= 1 && custom <= 4800 &&
        custom == std::floor(custom)) {
      rate = static_cast<int>(custom);
    }
  }
  return rate > 0 && TIME_TICKSPERSEC % rate == 0 ? rate : 30;
}

int ChooseClip(const aiScene& ai, const std::string& wanted) {
  if (wanted.empty()) return ai.mNumAnimations ? 0 : -1;
  for (unsigned i = 0; i < ai.mNumAnimations; ++i) {
    if (ai.mAnimations[i] && wanted == ai.mAnimations[i]->mName.C_Str()) return static_cast<int>(i);
  }
  if (!wanted.empty() && std::all_of(wanted.begin(), wanted.end(), ::isdigit) &&
      wanted.size() < 9) {
    const int index = std::stoi(wanted);
    if (index < static_cast<int>(ai.mNumAnimations)) return index;
  }
  std::string names;
  for (unsigned i = 0; i < ai.mNumAnimations; ++i) {
    names += (i ? ", " : "") + std::to_string(i) + " " +
             (ai.mAnimations[i] ? Quoted(ai.mAnimations[i]->mName) : "''");
  }
  throw UnknownClip("no clip " + Quoted(wanted) +
                    (names.empty() ? " (the asset has no clips)" : " (clips: " + names + ")"));
}

ImportedAsset MapScene(const aiScene& ai, const std::string& file, const fs::path& folder,
                       std::string_view bytes, const ImportOptions& options,
                       std::vector<std::string> libraryMessages) {
  ImportedAsset out;
  out.format = SourceFormat(ai);
  for (unsigned i = 0; i < ai.mNumAnimations; ++i)
    out.clips.push_back(ai.mAnimations[i] ? ai.mAnimations[i]->mName.C_Str() : "");
  out.clip = ChooseClip(ai, options.clip);
  out.scene = std::make_unique<Scene>();
  out.scene->frameRate = FrameRate(ai);

  ImportContext context{ai, *out.scene, options, out.notes};
  for (std::string& message : libraryMessages) context.Warn("the library says: " + message);
  context.assetFolder = folder;
  context.format = out.format;
  std::unique_ptr<GltfExtras> gltf;
  if (out.format.find("glTF2") != std::string::npos) {
    gltf = std::make_unique<GltfExtras>(bytes, folder,
                                        [&](std::string text) { context.Warn(std::move(text)); });
    context.gltf = gltf.get();
  }
  try {
    ImportNodes(context);
    ImportMeshes(context);
    ImportCamerasAndLights(context);
    ImportAnimation(context, out.clip);
    GiveEmptyNodesObjects(context);
  } catch (const AssetProblem& problem) {
    throw SceneLoadError(file, {{"", problem.what()}});
  } catch (const std::invalid_argument& problem) {
    throw SceneLoadError(file, {{"", problem.what()}});
  }
  for (size_t i = 0; i < out.clips.size(); ++i) {
    if (static_cast<int>(i) == out.clip) continue;
    context.Info("clip " + std::to_string(i) + " " + Quoted(out.clips[i]) +
                 " is not imported (choose it with --clip)");
  }
  out.scene->SetDefaultBindPoses();
  std::vector<SceneProblem> problems = out.scene->Validate();
  if (!problems.empty()) {
    std::vector<SceneFileProblem> reported;
    for (const SceneProblem& problem : problems) reported.push_back({"", Describe(problem)});
    throw SceneLoadError(file, std::move(reported));
  }
  out.images = std::move(context.images);
  return out;
}

}  // namespace

ImportedAsset ImportAsset(const fs::path& file, const ImportOptions& options) {
  const std::string name = file.string();
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (!fs::exists(status)) throw SceneLoadError(name, {{"", "no such file"}});
  if (!fs::is_regular_file(status)) throw SceneLoadError(name, {{"", "not a regular file"}});
  if (fs::file_size(file, error) > kMaxAssetBytes)
    throw SceneLoadError(name, {{"", "larger than 2 GiB"}});

  Assimp::Importer importer;
  Configure(importer);
  LogCapture log;
  const aiScene* ai = Weld(importer, importer.ReadFile(name, kSteps));
  if (!ai) {
    std::string extension = file.extension().string();
    if (!extension.empty()) extension.erase(0, 1);
    throw SceneLoadError(name, {{"", LibraryError(importer, extension)}});
  }
  MappedFile bytes(file);
  return MapScene(*ai, name, fs::absolute(file).parent_path(), bytes.Bytes(), options,
                  log.Messages());
}

ImportedAsset ImportAssetFromMemory(std::string_view bytes, const std::string& extension,
                                    const ImportOptions& options) {
  const std::string name = "asset." + extension;
  Assimp::Importer importer;
  Configure(importer);
  LogCapture log;
  const aiScene* ai = Weld(
      importer, importer.ReadFileFromMemory(bytes.data(), bytes.size(), kSteps, extension.c_str()));
  if (!ai) throw SceneLoadError(name, {{"", LibraryError(importer, extension)}});
  return MapScene(*ai, name, {}, bytes, options, log.Messages());
}

std::vector<std::string> ImportFormats() {
  std::vector<std::string> lines;
  Assimp::Importer importer;
  for (size_t i = 0; i < importer.GetImporterCount(); ++i) {
    const aiImporterDesc* info = importer.GetImporterInfo(i);
    if (!info) continue;
    std::string extensions = info->mFileExtensions ? info->mFileExtensions : "";
    lines.push_back(std::string(info->mName ? info->mName : "?") + ": " + extensions);
  }
  return lines;
}

void WriteEmbeddedImages(const std::vector<EmbeddedImage>& images) {
  for (const EmbeddedImage& image : images) {
    WriteFileAtomically(image.file, reinterpret_cast<const char*>(image.bytes.data()),
                        image.bytes.size());
  }
}

}  // namespace kiln::standalone
