#include "standalone/ExportSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

#include "platform/TemporaryFiles.h"
#include "standalone/ExitCodes.h"

namespace kiln::standalone {
namespace {

constexpr int kHandled[] = {SIGINT, SIGTERM, SIGHUP};
constexpr size_t kHandledCount = sizeof kHandled / sizeof kHandled[0];

std::atomic<bool> deferring{false};
std::atomic<int> deferred{0};
bool onTerminal = false;

// The last words in force, and the ones they replaced: a handler may still
// be reading those on another thread until the next replacement.
std::atomic<const LastWords*> current{nullptr};
std::unique_ptr<LastWords> held[2];
int heldNext = 0;

void WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

void Say(const char* text) {
  WriteAll(STDERR_FILENO, text);
}

void LeaveReport(const LastWords& words, int signal) {
  const std::string& report = signal == SIGINT ? words.reportInterrupted : words.reportTerminated;
  if (report.empty()) return;
  if (words.reportTemporary.empty()) {
    WriteAll(STDOUT_FILENO, report);
    return;
  }
  int fd = ::open(words.reportTemporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return;
  WriteAll(fd, report);
  bool whole = ::fsync(fd) == 0 || errno == EINVAL;
  ::close(fd);
  if (whole) ::rename(words.reportTemporary.c_str(), words.reportTarget.c_str());
}

void OnSignal(int signal) {
  if (deferring.load()) {
    deferred.store(signal);
    return;
  }
  const LastWords* words = current.load();
  if (words) LeaveReport(*words, signal);
  platform::RemoveTemporaryFilesNow();
  if (words) {
    for (const std::string& path : words->remove) {
      if (::unlink(path.c_str()) != 0) ::rmdir(path.c_str());
    }
  }
  if (onTerminal) Say("\n");  // past a progress bar or a question
  Say(signal == SIGINT ? "kiln: interrupted; " : "kiln: terminated; ");
  Say(words ? words->message.c_str() : "nothing was exported\n");
  ::_exit(ExitCodeForSignal(signal));
}

struct sigaction previous[kHandledCount];
struct sigaction previousFileSize;

}  // namespace

int ExitCodeForSignal(int signal) {
  return signal == SIGINT ? kExitCancelled : kExitFailure;
}

ExportSignals::ExportSignals() {
  onTerminal = ::isatty(STDERR_FILENO);
  deferring.store(false);
  deferred.store(0);
  SetLastWords({});

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : kHandled) sigaddset(&action.sa_mask, signal);  // one handler at a time
  for (size_t i = 0; i < kHandledCount; ++i) {
    sigaction(kHandled[i], nullptr, &previous[i]);
    // A signal the caller ignores (nohup, a background job of a script)
    // stays ignored.
    if (previous[i].sa_handler != SIG_IGN) sigaction(kHandled[i], &action, nullptr);
  }
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previousFileSize);
}

ExportSignals::~ExportSignals() {
  for (size_t i = 0; i < kHandledCount; ++i) sigaction(kHandled[i], &previous[i], nullptr);
  sigaction(SIGXFSZ, &previousFileSize, nullptr);
  current.store(nullptr);
}

void ExportSignals::SetLastWords(LastWords words) {
  // The handler never runs on this thread meanwhile, and the words it may be
  // reading elsewhere are the current ones, which stay until the next call.
  sigset_t block, old;
  sigemptyset(&block);
  for (int signal : kHandled) sigaddset(&block, signal);
  pthread_sigmask(SIG_BLOCK, &block, &old);
  if (words.message.empty() || words.message.back() != '\n') words.message += '\n';
  held[heldNext] = std::make_unique<LastWords>(std::move(words));
  current.store(held[heldNext].get());
  heldNext = 1 - heldNext;
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

void ExportSignals::Defer() {
  deferring.store(true);
}

void ExportSignals::Resume() {
  if (deferred.load() == 0) deferring.store(false);
}

int ExportSignals::Deferred() {
  return deferred.load();
}

}  // namespace kiln::standalone
