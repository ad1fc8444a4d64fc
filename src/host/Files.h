#pragma once
#include <string>

// Splits a file name into its folder (without the trailing separator), its
// file name without extension, and its extension with the dot. Separators are
// both '\' and '/'. Any output may be null.
void SplitFilename(const std::string& name, std::string* path, std::string* file, std::string* ext);
// Folder (without trailing separator) and file name.
void SplitPathFile(const std::string& name, std::string* path, std::string* file);
bool DoesFileExist(const char* file);
