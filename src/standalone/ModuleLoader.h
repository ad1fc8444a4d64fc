#pragma once
#include <memory>
#include <string>
#include <vector>

#include "host/Plugin.h"

namespace kiln::standalone {

// A class a module registers, as listed by its descriptor.
struct RegisteredClass {
  ClassDesc* desc;
  std::string className;
  std::string internalName;
  SClass_ID superClass;
  Class_ID classId;
};

// An exporter module loaded with dlopen, checked against the host's version.
class ExporterModule {
 public:
  // Throws ModuleError when the module cannot be loaded, lacks one of the four
  // library functions, or was built for another host version.
  explicit ExporterModule(const std::string& path);
  ~ExporterModule();
  ExporterModule(const ExporterModule&) = delete;
  ExporterModule& operator=(const ExporterModule&) = delete;

  const std::string& Path() const { return path_; }
  std::string Description() const;
  // LibVersion: the host version the module was built for.
  unsigned long Version() const;
  // Version() of the module's first scene exporter class; 0 without one.
  unsigned ExporterVersion() const;
  const std::vector<RegisteredClass>& Classes() const { return classes_; }

  // A new scene exporter whose extensions include extension (without the
  // dot, compared case-sensitively); null when no class exports it.
  std::unique_ptr<SceneExport> CreateExporterFor(const std::string& extension) const;
  // The extensions of every scene exporter class.
  std::vector<std::string> Extensions() const;

 private:
  std::string path_;
  void* handle_ = nullptr;
  LibDescriptionFn description_ = nullptr;
  LibVersionFn version_ = nullptr;
  std::vector<RegisteredClass> classes_;
};

struct ModuleError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The module installed beside the running program.
std::string DefaultModulePath();

}  // namespace kiln::standalone
