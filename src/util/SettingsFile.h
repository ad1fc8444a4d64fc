#pragma once
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kiln {

// A read-only view of a profile-format text file ("[Section]" lines followed by
// "key = value" lines), as the car settings and shader map files are written.
//
// Sections and keys are ordered by byte-wise comparison (case-sensitive,
// unsigned bytes): std::string's ordering through char_traits<char> is exactly
// that. A section exists once it holds at least one key.
class SettingsFile {
 public:
  using KeyValue = std::pair<std::string, std::string>;

  SettingsFile() = default;
  // Reads the file at once when readNow is set.
  SettingsFile(std::string fileName, bool readNow);

  // Empties the table, remembers name and flag, and reads the file when readNow
  // is set. With the flag clear the table stays empty. A file that cannot be
  // opened leaves the table empty.
  void Load(std::string fileName, bool readNow);

  // The value of key in section, or defaultText when either is missing.
  std::string GetValue(std::string_view section, std::string_view key,
                       std::string_view defaultText) const;
  // All pairs of section in key order, replacing the contents of out; false
  // (and out untouched) when the section is missing.
  bool GetSection(std::string_view section, std::vector<KeyValue>& out) const;

  const std::string& FileName() const { return fileName_; }
  bool ReadNow() const { return readNow_; }

 private:
  using Section = std::map<std::string, std::string, std::less<>>;

  void Read();

  bool readNow_ = false;
  std::map<std::string, Section, std::less<>> table_;
  std::string fileName_;
};

}  // namespace kiln
