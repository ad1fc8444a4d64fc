#include "plugin/ExportLog.h"

#include <cstdarg>
#include <cstdio>

#include "platform/Messages.h"
#include "platform/TemporaryFiles.h"
#include "plugin/Globals.h"

namespace kiln {
namespace {

constexpr size_t kMessageBufferSize = 1024;

std::string Format(const char* format, va_list args) {
  char buffer[kMessageBufferSize];
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  if (n < 0) return std::string();
  return std::string(buffer);  // vsnprintf cut it to 1023 characters
}

// A log file that cannot be written is skipped without a message; the
// platform records the failure for the host.
void WriteList(const std::string& fileName, const char* head,
               const std::vector<std::string>& lines) {
  if (lines.empty()) return;
  std::string text = head;
  for (const std::string& line : lines) text.append(line).push_back('\n');
  platform::WriteWholeFile(fileName, text);
}

}  // namespace

void ExportLog::Clear() {
  errors_.clear();
  warnings_.clear();
  informations_.clear();
}

void LogError(ExportLog* log, const char* format, ...) {
  if (!log) return;
  va_list args;
  va_start(args, format);
  log->errors_.push_back(Format(format, args));
  va_end(args);
}

void LogWarning(ExportLog* log, const char* format, ...) {
  if (!log) return;
  va_list args;
  va_start(args, format);
  log->warnings_.push_back(Format(format, args));
  va_end(args);
}

void LogInfo(ExportLog* log, const char* format, ...) {
  if (!log) return;
  va_list args;
  va_start(args, format);
  log->informations_.push_back(Format(format, args));
  va_end(args);
}

void ExportLog::WriteLogFiles(const std::string& errorsFile, const std::string& warningsFile,
                              const std::string& informationFile) const {
  if (!errors_.empty()) {
    char head[128];
    std::snprintf(head, sizeof head, "The scene was exported with %d errors and %d warnings \n\n",
                  static_cast<int>(errors_.size()), static_cast<int>(warnings_.size()));
    std::string summary = head;
    summary += "-- ERRORS: ---------------------------------------------- \n";
    for (const std::string& error : errors_) summary += error + "\n";
    ShowMessage(summary.c_str(), platform::MB_OK, 0);
  }
  WriteList(errorsFile, "*** Errors exporting\n\n", errors_);
  WriteList(warningsFile, "*** Warnings exporting\n\n", warnings_);
  WriteList(informationFile, "*** Information exporting\n\n", informations_);
}

int ShowMessage(const char* text, unsigned type, unsigned helpId) {
  if (SuppressPrompts) return platform::IDOK;
  return platform::AfxMessageBox(text, type, helpId);
}

}  // namespace kiln
