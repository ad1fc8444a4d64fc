#include "platform/DebugOutput.h"

namespace kiln::platform {
namespace {

DebugSink& Sink() {
  static DebugSink sink;
  return sink;
}

}  // namespace

void SetDebugOutputSink(DebugSink sink) {
  Sink() = std::move(sink);
}

void OutputDebugStringA(const char* text) {
  const DebugSink& sink = Sink();
  if (sink && text) sink(text);
}

}  // namespace kiln::platform
