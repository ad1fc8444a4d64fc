#include "standalone/ModuleLoader.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace kiln::standalone {
namespace {

template <typename Fn>
Fn Symbol(void* handle, const char* name, const std::string& path) {
  void* symbol = dlsym(handle, name);
  if (!symbol) throw ModuleError(path + ": not an exporter module (no " + name + ")");
  return reinterpret_cast<Fn>(symbol);
}

std::string HexVersion(unsigned long version) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%08lX", version);
  return text;
}

std::vector<std::string> ExtensionsOf(SceneExport& exporter) {
  std::vector<std::string> extensions;
  for (int i = 0; i < exporter.ExtCount(); ++i) {
    const char* ext = exporter.Ext(i);  // one shared buffer: copy at once
    extensions.emplace_back(ext ? ext : "");
  }
  return extensions;
}

std::unique_ptr<SceneExport> CreateSceneExport(ClassDesc* desc) {
  return std::unique_ptr<SceneExport>(static_cast<SceneExport*>(desc->Create(false)));
}

}  // namespace

ExporterModule::ExporterModule(const std::string& path) : path_(path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* reason = dlerror();
    throw ModuleError("cannot load exporter module " + path + ": " + (reason ? reason : "unknown"));
  }
  try {
    description_ = Symbol<LibDescriptionFn>(handle_, "LibDescription", path);
    version_ = Symbol<LibVersionFn>(handle_, "LibVersion", path);
    auto numberClasses = Symbol<LibNumberClassesFn>(handle_, "LibNumberClasses", path);
    auto classDesc = Symbol<LibClassDescFn>(handle_, "LibClassDesc", path);
    if (version_() != KILN_HOST_SDK_VERSION) {
      throw ModuleError(path + ": built for host version " + HexVersion(version_()) +
                        ", this host is " + HexVersion(KILN_HOST_SDK_VERSION));
    }
    int count = numberClasses();
    for (int i = 0; i < count; ++i) {
      ClassDesc* desc = classDesc(i);
      if (!desc) continue;
      classes_.push_back({desc, desc->ClassName() ? desc->ClassName() : "",
                          desc->InternalName() ? desc->InternalName() : "", desc->SuperClassID(),
                          desc->ClassID()});
    }
  } catch (...) {
    dlclose(handle_);
    throw;
  }
}

ExporterModule::~ExporterModule() {
  if (handle_) dlclose(handle_);
}

std::string ExporterModule::Description() const {
  const char* text = description_();
  return text ? text : "";
}

unsigned long ExporterModule::Version() const {
  return version_();
}

unsigned ExporterModule::ExporterVersion() const {
  for (const RegisteredClass& registered : classes_) {
    if (registered.superClass != SCENE_EXPORT_CLASS_ID) continue;
    if (auto exporter = CreateSceneExport(registered.desc)) return exporter->Version();
  }
  return 0;
}

std::unique_ptr<SceneExport> ExporterModule::CreateExporterFor(const std::string& extension) const {
  for (const RegisteredClass& registered : classes_) {
    if (registered.superClass != SCENE_EXPORT_CLASS_ID) continue;
    auto exporter = CreateSceneExport(registered.desc);
    if (!exporter) continue;
    for (const std::string& ext : ExtensionsOf(*exporter)) {
      if (ext == extension) return exporter;
    }
  }
  return nullptr;
}

std::vector<std::string> ExporterModule::Extensions() const {
  std::vector<std::string> all;
  for (const RegisteredClass& registered : classes_) {
    if (registered.superClass != SCENE_EXPORT_CLASS_ID) continue;
    auto exporter = CreateSceneExport(registered.desc);
    if (!exporter) continue;
    for (std::string& ext : ExtensionsOf(*exporter)) all.push_back(std::move(ext));
  }
  return all;
}

std::string DefaultModulePath() {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "kiln_exporter.so";
  return (self.parent_path() / "kiln_exporter.so").string();
}

}  // namespace kiln::standalone
