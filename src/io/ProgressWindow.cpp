#include "io/ProgressWindow.h"

#include "host/Interface.h"

namespace kiln {
namespace {
unsigned long NoProgress(void*) {
  return 0;
}
}  // namespace

ProgressWindow::ProgressWindow(Interface* ip, const char* title) : ip_(ip) {
  ip_->ProgressStart(title, true, NoProgress, nullptr);
}

void ProgressWindow::End() {
  if (!open_) return;
  open_ = false;
  ip_->ProgressEnd();
}

}  // namespace kiln
