#pragma once
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "standalone/SettingsOverrides.h"

namespace kiln::standalone {

// The plug-in configuration folder as the exporter module sees it for one
// export.
//
// The module reads its settings file from the folder the host names and
// saves it there again after the settings dialog (or in its place when
// prompts are suppressed), as under any host. kiln names a private folder
// instead: it holds a copy of the settings file with the command line's
// setting flags applied (the defaults when there is no file, or when the
// settings are reset), and links to every other entry of the real folder
// (CarExporterSettings.ini, ShaderMap.ini, ...). What the module saves lands
// in the copy; kiln then decides whether it is kept (Keep), so setting flags
// hold for one export, and a read-only configuration folder works.
//
// The private folder is "kiln-config-PID-XXXXXX" in the temporary folder;
// one left by a process that is gone is removed by the next view.
class ConfigFolderView {
 public:
  // folder may be missing (the per-user default before its first use).
  // Throws ConfigViewError when the real settings file cannot be read or
  // the private folder cannot be made.
  ConfigFolderView(const std::filesystem::path& folder, const SettingOverrides& overrides,
                   bool reset);
  ~ConfigFolderView();
  ConfigFolderView(const ConfigFolderView&) = delete;
  ConfigFolderView& operator=(const ConfigFolderView&) = delete;

  // The folder to hand the module.
  const std::filesystem::path& Path() const { return view_; }
  // The real settings file.
  std::filesystem::path RealFile() const { return folder_ / kSettingsFileName; }
  // Whether the module was given a settings record it can read.
  bool GaveValidRecord() const { return ReadSettingsRecord(given_).has_value(); }
  // Whether the module saved its settings since the view was made.
  bool ModuleSaved() const;
  // The settings the export ran with: what the module saved, else what it
  // was given; nothing when neither is a record.
  std::optional<SettingFlags> Used() const;

  // Writes record (the view's settings file when empty) over the real file
  // when the two differ, through a temporary file. Returns an error text,
  // empty on success; *written tells whether the real file was replaced.
  std::string Keep(bool* written, const std::string& record = {}) const;

  // Every path of the private folder, its entries first: what a signal
  // handler removes.
  std::vector<std::string> Paths() const;

 private:
  std::string ViewBytes() const;

  std::filesystem::path folder_;
  std::filesystem::path view_;
  std::vector<std::string> entries_;
  std::string real_;  // the real file's first bytes
  bool realExists_ = false;
  std::string given_;  // what the module was given
  unsigned long givenInode_ = 0;
};

struct ConfigViewError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace kiln::standalone
