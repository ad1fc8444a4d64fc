#pragma once
#include <string>
#include <vector>

// Files that could not be written, and why. The file services record every
// failure here, so that a host can still say what went wrong when even the
// exporter's log files could not be written.
namespace kiln::platform {

struct WriteFailure {
  std::string file;
  int error = 0;  // errno
};

void RecordWriteFailure(const std::string& file, int error);
// The failures recorded since the last call, oldest first; forgets them.
std::vector<WriteFailure> TakeWriteFailures();

}  // namespace kiln::platform
