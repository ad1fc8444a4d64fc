#pragma once
#include <string>
#include <vector>

namespace kiln::standalone {

// What a signal that ends `kiln export` leaves behind. It is made before the
// signal can arrive: the handler may only write bytes that are ready.
struct LastWords {
  // Follows "kiln: interrupted; " or "kiln: terminated; " on standard error.
  std::string message = "nothing was exported\n";
  // The report's document for SIGINT and for the others; empty: no report.
  std::string reportInterrupted;
  std::string reportTerminated;
  // A file made for the report (it becomes reportTarget); empty: the report
  // goes to standard output.
  std::string reportTemporary;
  std::string reportTarget;
  // Paths removed, in this order (files first, then their folders).
  std::vector<std::string> remove;
};

// What SIGINT, SIGTERM and SIGHUP do while `kiln export` runs. Until an
// export starts putting its finished files in place, a signal ends the
// program at once: the temporary files are removed, so the earlier output and
// its side files stay exactly as they were; the report, if one was asked
// for, says so; and the exit status is 3 for an interrupt, 4 for the others.
// Once the finished files are being put in place (Defer), a signal waits
// until they all are, so the output never stands beside the side files of
// another export; the caller then stops with Deferred's signal.
//
// SIGXFSZ is ignored meanwhile: a file grown past the size limit is then a
// failed write, reported as a disk error, rather than the end of the program.
class ExportSignals {
 public:
  ExportSignals();
  ~ExportSignals();
  ExportSignals(const ExportSignals&) = delete;
  ExportSignals& operator=(const ExportSignals&) = delete;

  // Replaces what a signal leaves behind from now on.
  static void SetLastWords(LastWords words);
  // From now on a signal is kept for the end of the export.
  static void Defer();
  // A signal ends the program at once again (the next export of a batch).
  static void Resume();
  // The signal kept while deferred, 0 when none arrived.
  static int Deferred();
};

// The exit status for a signal: 3 for SIGINT, 4 for the others.
int ExitCodeForSignal(int signal);

}  // namespace kiln::standalone
