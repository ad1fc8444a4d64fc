#pragma once
#include <string>

// File services the exporter uses, with the platform's results.
namespace kiln::platform {

// Joins a folder and a name with the platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);
// Creates a folder; an existing one is no error. Returns false on failure.
bool CreateFolder(const std::string& path);
// Copies a file, replacing the target unless failIfExists. Returns false on
// failure, with the reason in GetLastError.
bool CopyFileA(const char* from, const char* to, bool failIfExists);
// The error number (errno) of the last failed file service of this thread.
int GetLastError();
// The system's text for an error number (errno).
std::string SystemErrorText(int error);

}  // namespace kiln::platform
