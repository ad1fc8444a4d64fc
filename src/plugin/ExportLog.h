#pragma once
#include <string>
#include <vector>

namespace kiln {

// Errors, warnings and information lines of one export, in order of arrival.
class ExportLog {
 public:
  const std::vector<std::string>& Errors() const { return errors_; }
  const std::vector<std::string>& Warnings() const { return warnings_; }
  const std::vector<std::string>& Informations() const { return informations_; }
  void Clear();

  // Writes each non-empty list to its file and, when there are errors, shows
  // the summary.
  void WriteLogFiles(const std::string& errorsFile, const std::string& warningsFile,
                     const std::string& informationFile) const;

 private:
  friend void LogError(ExportLog*, const char*, ...);
  friend void LogWarning(ExportLog*, const char*, ...);
  friend void LogInfo(ExportLog*, const char*, ...);
  std::vector<std::string> errors_;
  std::vector<std::string> warnings_;
  std::vector<std::string> informations_;
};

// printf-style; the text is cut to 1023 characters. A null log drops the line.
void LogError(ExportLog* log, const char* format, ...) __attribute__((format(printf, 2, 3)));
void LogWarning(ExportLog* log, const char* format, ...) __attribute__((format(printf, 2, 3)));
void LogInfo(ExportLog* log, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The one road to a message box that prompt suppression silences: returns the
// button pressed, or IDOK without showing anything while SuppressPrompts is set.
int ShowMessage(const char* text, unsigned type, unsigned helpId);

}  // namespace kiln
