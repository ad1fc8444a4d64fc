#pragma once

class Interface;

namespace kiln {

// The host's progress window for the length of a scope: ended on every way
// out, a disk error included.
class ProgressWindow {
 public:
  ProgressWindow(Interface* ip, const char* title);
  ~ProgressWindow() { End(); }
  // Ends the window now; later calls do nothing.
  void End();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

 private:
  Interface* ip_;
  bool open_ = true;
};

}  // namespace kiln
