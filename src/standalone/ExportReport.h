#pragma once
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/TemporaryFiles.h"
#include "standalone/ExportJob.h"

namespace kiln::standalone {

// The JSON report of `kiln export --report FILE` (docs/export-report.schema.json).
class ExportReport {
 public:
  using Json = nlohmann::ordered_json;

  // target: a file, or "-" for standard output.
  ExportReport(std::string target, std::string modulePath, unsigned moduleVersion,
               unsigned long hostVersion);

  // Makes the file the report will replace; an error text, empty on success.
  std::string Open();
  // One export's entry: its outcome, with the chunks of the file it wrote
  // counted by kind and its nodes by the exporter that wrote them.
  void Add(const ExportOutcome& outcome);
  // The whole document with exitCode. current, when given, is the export
  // under way, which a signal ends: it stands with result and exitCode.
  std::string Document(int exitCode, double seconds, const std::string* currentScene = nullptr,
                       const std::string* currentOutput = nullptr,
                       const char* currentResult = nullptr,
                       const std::vector<std::string>& notStarted = {}) const;
  // Writes the document; an error text, empty on success.
  std::string Write(const std::string& document);

  bool ToStandardOutput() const { return target_ == "-"; }
  const std::string& Target() const { return target_; }
  const std::string& TemporaryName() const { return file_.Name(); }

 private:
  std::string target_;
  Json module_;
  std::vector<Json> entries_;
  platform::TemporaryFile file_;
};

}  // namespace kiln::standalone
