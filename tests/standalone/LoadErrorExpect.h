#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "standalone/SceneLoadError.h"

namespace kiln::standalone::testing {

// Expects load to be refused with a first problem at path whose message
// starts with message; returns the error for further checks.
inline std::optional<SceneLoadError> ExpectFirstProblem(const std::function<void()>& load,
                                                        const std::string& path,
                                                        const std::string& message) {
  try {
    load();
    ADD_FAILURE() << "accepted";
  } catch (const SceneLoadError& e) {
    EXPECT_FALSE(e.Problems().empty());
    if (e.Problems().empty()) return e;
    EXPECT_EQ(e.Problems()[0].path, path);
    EXPECT_EQ(e.Problems()[0].message.substr(0, message.size()), message)
        << e.Problems()[0].message;
    return e;
  }
  return std::nullopt;
}

}  // namespace kiln::standalone::testing
