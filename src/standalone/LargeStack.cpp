#include "standalone/LargeStack.h"

#include <pthread.h>

#include <exception>

namespace kiln::standalone {
namespace {

struct Job {
  const std::function<void()>* work;
  std::exception_ptr failure;
};

void* RunJob(void* arg) {
  auto* job = static_cast<Job*>(arg);
  try {
    (*job->work)();
  } catch (...) {
    job->failure = std::current_exception();
  }
  return nullptr;
}

}  // namespace

void RunWithLargeStack(const std::function<void()>& work, size_t stackBytes) {
  Job job{&work, nullptr};
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_t thread;
  bool started = pthread_attr_setstacksize(&attributes, stackBytes) == 0 &&
                 pthread_create(&thread, &attributes, RunJob, &job) == 0;
  pthread_attr_destroy(&attributes);
  if (!started) {
    work();  // no thread to be had: the caller's own stack
    return;
  }
  pthread_join(thread, nullptr);
  if (job.failure) std::rethrow_exception(job.failure);
}

}  // namespace kiln::standalone
