#include "platform/WriteFailures.h"

#include <mutex>

namespace kiln::platform {
namespace {

// Enough to tell what happened; a disk that fails every write must not grow
// the list without end.
constexpr size_t kMaxKept = 64;

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

std::vector<WriteFailure>& Failures() {
  static std::vector<WriteFailure> failures;
  return failures;
}

}  // namespace

void RecordWriteFailure(const std::string& file, int error) {
  std::lock_guard<std::mutex> hold(Lock());
  if (Failures().size() < kMaxKept) Failures().push_back({file, error});
}

std::vector<WriteFailure> TakeWriteFailures() {
  std::lock_guard<std::mutex> hold(Lock());
  std::vector<WriteFailure> taken;
  taken.swap(Failures());
  return taken;
}

}  // namespace kiln::platform
