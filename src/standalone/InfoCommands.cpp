#include "standalone/InfoCommands.h"

#include <cstdio>
#include <iostream>

#include "host/Object.h"
#include "reader/ChunkFile.h"
#include "reader/Dump.h"
#include "standalone/ExitCodes.h"
#include "standalone/ModuleLoader.h"
#include "standalone/SceneFile.h"
#include "standalone/SceneNode.h"
#include "standalone/import/SceneSource.h"

namespace kiln::standalone {
namespace {

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "kiln: %s\n", message.c_str());
  return code;
}

std::string ClassIdText(Class_ID id) {
  char text[40];
  std::snprintf(text, sizeof text, "(0x%X, 0x%X)", id.PartA(), id.PartB());
  return text;
}

std::string Describe(SceneNode& node) {
  Object* object = node.GetObjectRef();
  if (!object) return "no object";
  std::string text = object->GetClassName() + " " + ClassIdText(object->ClassID());
  if (object->SuperClassID() == GEN_DERIVOB_CLASS_ID) {
    auto* stack = static_cast<IDerivedObject*>(object);
    for (int i = 0; i < stack->NumModifiers(); ++i) {
      Modifier* modifier = stack->GetModifier(i);
      text +=
          std::string(" + ") + modifier->GetClassName() + (modifier->IsEnabled() ? "" : " (off)");
    }
  }
  return text;
}

void PrintTree(SceneNode& node, int depth) {
  std::printf("%*s%s [%u] %s%s%s\n", depth * 2, "", node.GetName(), node.GetHandle(),
              Describe(node).c_str(), node.IsHidden() ? " hidden" : "",
              node.Selected() ? " selected" : "");
  for (int i = 0; i < node.NumberOfChildren(); ++i) {
    PrintTree(*static_cast<SceneNode*>(node.GetChildNode(i)), depth + 1);
  }
}

void PrintAsset(const ImportedAsset& asset) {
  std::printf("asset: read by the %s\n", asset.format.c_str());
  for (size_t i = 0; i < asset.clips.size(); ++i) {
    std::printf("clip %zu: '%s'%s\n", i, asset.clips[i].c_str(),
                static_cast<int>(i) == asset.clip ? " (imported)" : "");
  }
}

}  // namespace

int RunDumpCommand(const std::string& file, bool json) {
  try {
    reader::ChunkFile chunks = reader::ReadChunkFile(file);
    std::ios::sync_with_stdio(false);  // the dump goes out in large writes
    if (json)
      reader::WriteDumpJson(chunks, std::cout);
    else
      reader::WriteDumpText(chunks, std::cout);
    std::cout.flush();
    return kExitSuccess;
  } catch (const reader::ReadError& error) {
    return Fail(kExitFailure, file + ": " + error.what());  // what() starts with the offset
  } catch (const std::bad_alloc&) {
    return Fail(kExitFailure, file + ": not enough memory to read the file");
  }
}

int RunInfoCommand(const std::string& sceneFile, const std::string& clip) {
  std::unique_ptr<SceneSource> source;
  try {
    source = std::make_unique<SceneSource>(sceneFile, clip);
  } catch (const UnknownClip& error) {
    return Fail(kExitUsage, sceneFile + ": " + error.what());
  } catch (const std::exception& error) {
    return Fail(kExitFailure, error.what());
  }
  const std::unique_ptr<Scene>& scene = source->ScenePointer();
  std::printf("scene: %s\n", sceneFile.c_str());
  if (const ImportedAsset* asset = source->Asset()) PrintAsset(*asset);
  std::printf("frame rate: %d, animation range: %d to %d ticks\n", scene->frameRate,
              scene->animRange.Start(), scene->animRange.End());
  std::printf("nodes: %zu, materials: %zu\n", scene->Nodes().size() - 1, scene->Materials().size());
  PrintTree(scene->Root(), 0);
  if (const ImportedAsset* asset = source->Asset()) {
    PrintImportNotes(asset->notes, sceneFile, /*information=*/true, stdout);
  }
  return kExitSuccess;
}

int RunPluginInfoCommand(const std::string& plugin) {
  try {
    ExporterModule module(plugin.empty() ? DefaultModulePath() : plugin);
    std::printf("module: %s\n", module.Path().c_str());
    std::printf("description: %s\n", module.Description().c_str());
    std::printf("version: 0x%08lX\n", module.Version());
    for (const RegisteredClass& registered : module.Classes()) {
      std::printf("class: \"%s\" (internal \"%s\"), super class 0x%X, class id %s\n",
                  registered.className.c_str(), registered.internalName.c_str(),
                  registered.superClass, ClassIdText(registered.classId).c_str());
    }
    std::string extensions;
    for (const std::string& ext : module.Extensions()) extensions += " " + ext;
    std::printf("extensions:%s\n", extensions.c_str());
    return kExitSuccess;
  } catch (const ModuleError& error) {
    return Fail(kExitFailure, error.what());
  }
}

}  // namespace kiln::standalone
