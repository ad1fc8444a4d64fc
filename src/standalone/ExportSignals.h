#pragma once
#include <string>

namespace kiln::standalone {

// What SIGINT, SIGTERM and SIGHUP do while `kiln export` runs. Until the
// export starts putting its finished files in place, a signal ends the
// program at once: the temporary files are removed, so the earlier output and
// its side files stay exactly as they were, and the exit status is 3 for an
// interrupt, 4 for the others. Once the finished files are being put in
// place (Defer), a signal waits until they all are, so the output never
// stands beside the side files of another export.
//
// SIGXFSZ is ignored meanwhile: a file grown past the size limit is then a
// failed write, reported as a disk error, rather than the end of the program.
class ExportSignals {
 public:
  // output names the file in the message printed when a signal ends the export.
  explicit ExportSignals(const std::string& output);
  ~ExportSignals();
  ExportSignals(const ExportSignals&) = delete;
  ExportSignals& operator=(const ExportSignals&) = delete;

  // From now on a signal is kept for the end of the export.
  static void Defer();
  // The signal kept while deferred, 0 when none arrived.
  static int Deferred();
};

// The exit status for a signal: 3 for SIGINT, 4 for the others.
int ExitCodeForSignal(int signal);

}  // namespace kiln::standalone
