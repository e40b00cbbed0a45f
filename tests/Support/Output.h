#pragma once

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace TestSupport {

// Runs f and returns what it wrote to standard output.
template <typename F> std::string captureStdout(F&& f) {
    ::testing::internal::CaptureStdout();
    std::forward<F>(f)();
    return ::testing::internal::GetCapturedStdout();
}

} // namespace TestSupport
