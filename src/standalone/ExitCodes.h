#pragma once

namespace kiln::standalone {

// Exit status of the kiln command line.
enum ExitCode : int {
  kExitSuccess = 0,             // done, nothing logged as an error
  kExitExportedWithErrors = 1,  // the file was written; the errors log lists problems
  kExitUsage = 2,               // bad arguments, or a question no flag answered
  kExitCancelled = 3,           // the artist cancelled (question, dialog or Ctrl-C)
  kExitFailure = 4,             // nothing usable was written: bad scene, module, disk error
};

}  // namespace kiln::standalone
