// A large export touches a few hundred megabytes once. With ordinary pages
// every 4 KiB of it costs a page fault (a third of the run on a
// million-triangle asset); with huge pages, one fault in five hundred. The
// C library asks for huge pages only when its tunable says so at start-up,
// so kiln sets the tunable and starts itself again.
#include "standalone/HugePages.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace kiln::standalone {

void RestartWithHugePages(char** argv) {
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define KILN_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || defined(KILN_SANITIZED)
  (void)argv;  // the sanitizers bring their own allocator
#else
  constexpr const char* kTunable = "glibc.malloc.hugetlb";
  if (std::getenv("KILN_SMALL_PAGES")) return;
  const char* tunables = std::getenv("GLIBC_TUNABLES");
  if (tunables && std::strstr(tunables, kTunable)) return;  // set already: this is the restart
  std::string value = std::string(kTunable) + "=1";
  if (tunables && *tunables) value = std::string(tunables) + ":" + value;
  if (::setenv("GLIBC_TUNABLES", value.c_str(), 1) != 0) return;
  ::execv("/proc/self/exe", argv);
  ::unsetenv("GLIBC_TUNABLES");  // the restart failed: go on as we are
  if (tunables) ::setenv("GLIBC_TUNABLES", tunables, 1);
#endif
}

}  // namespace kiln::standalone
