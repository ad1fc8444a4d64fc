#include "host/Files.h"

#include <sys/stat.h>

namespace {
size_t LastSeparator(const std::string& name) {
  return name.find_last_of("\\/");
}
}  // namespace

void SplitPathFile(const std::string& name, std::string* path, std::string* file) {
  size_t sep = LastSeparator(name);
  if (path) *path = sep == std::string::npos ? std::string() : name.substr(0, sep);
  if (file) *file = sep == std::string::npos ? name : name.substr(sep + 1);
}

void SplitFilename(const std::string& name, std::string* path, std::string* file,
                   std::string* ext) {
  std::string fileName;
  SplitPathFile(name, path, &fileName);
  size_t dot = fileName.rfind('.');
  if (file) *file = dot == std::string::npos ? fileName : fileName.substr(0, dot);
  if (ext) *ext = dot == std::string::npos ? std::string() : fileName.substr(dot);
}

bool DoesFileExist(const char* file) {
  struct stat info;
  return file && ::stat(file, &info) == 0;
}
