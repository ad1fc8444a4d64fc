#include "standalone/ExportSignals.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

#include "platform/TemporaryFiles.h"
#include "standalone/ExitCodes.h"

namespace kiln::standalone {
namespace {

constexpr int kHandled[] = {SIGINT, SIGTERM, SIGHUP};
constexpr size_t kHandledCount = sizeof kHandled / sizeof kHandled[0];

std::atomic<bool> deferring{false};
std::atomic<int> deferred{0};
// The message's end, made before any signal can arrive: the handler may only
// write bytes that are ready.
char messageTail[4096];
bool onTerminal = false;

void Say(const char* text) {
  ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
  (void)ignored;
}

void OnSignal(int signal) {
  if (deferring.load()) {
    deferred.store(signal);
    return;
  }
  platform::RemoveTemporaryFilesNow();
  if (onTerminal) Say("\n");  // past a progress bar or a question
  Say(signal == SIGINT ? "kiln: interrupted; " : "kiln: terminated; ");
  Say(messageTail);
  ::_exit(ExitCodeForSignal(signal));
}

struct sigaction previous[kHandledCount];
struct sigaction previousFileSize;

}  // namespace

int ExitCodeForSignal(int signal) {
  return signal == SIGINT ? kExitCancelled : kExitFailure;
}

ExportSignals::ExportSignals(const std::string& output) {
  std::string tail = "nothing was exported: " + output + " and its side files are as they were\n";
  if (tail.size() >= sizeof messageTail) tail = "nothing was exported\n";
  std::memcpy(messageTail, tail.c_str(), tail.size() + 1);
  onTerminal = ::isatty(STDERR_FILENO);
  deferring.store(false);
  deferred.store(0);

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
}

void ExportSignals::Defer() {
  deferring.store(true);
}

int ExportSignals::Deferred() {
  return deferred.load();
}

}  // namespace kiln::standalone
