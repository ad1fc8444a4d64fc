#pragma once
#include <functional>

// Debugger output. Lines go to a sink that the host may install; without one
// they are dropped.
namespace kiln::platform {

using DebugSink = std::function<void(const char* text)>;
void SetDebugOutputSink(DebugSink sink);
void OutputDebugStringA(const char* text);

}  // namespace kiln::platform
