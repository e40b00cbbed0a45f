#pragma once

#include <Engine/Math/Mat3f.h>
#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>
#include <cmath>
#include <gtest/gtest.h>

namespace Engine::Math::TestUtil {

constexpr float kPi = 3.14159265358979f;
constexpr float kTolerance = 1e-5f;

// Element-wise comparison within an absolute tolerance, naming the first
// element (row, column) that differs.
template <int N>
::testing::AssertionResult elementsNear(const float* a, const float* b, float tolerance) {
    for (int i = 0; i < N * N; ++i) {
        if (!(std::fabs(a[i] - b[i]) <= tolerance)) {
            return ::testing::AssertionFailure()
                   << "M" << (i % N + 1) << (i / N + 1) << " differs: " << a[i] << " vs " << b[i];
        }
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult Near(const Mat4f& a, const Mat4f& b,
                                       float tolerance = kTolerance) {
    auto result = elementsNear<4>(a.GetGlMatrix(), b.GetGlMatrix(), tolerance);
    if (!result) {
        result << "\n  " << a << "\nvs\n  " << b;
    }
    return result;
}

inline ::testing::AssertionResult Near(const Mat3f& a, const Mat3f& b,
                                       float tolerance = kTolerance) {
    auto result = elementsNear<3>(a.GetGlMatrix(), b.GetGlMatrix(), tolerance);
    if (!result) {
        result << "\n  " << a << "\nvs\n  " << b;
    }
    return result;
}

inline ::testing::AssertionResult Near(const Vec3f& a, const Vec3f& b,
                                       float tolerance = kTolerance) {
    if (std::fabs(a.X() - b.X()) <= tolerance && std::fabs(a.Y() - b.Y()) <= tolerance &&
        std::fabs(a.Z() - b.Z()) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << a << " vs " << b;
}

inline ::testing::AssertionResult Near(const Vec4f& a, const Vec4f& b,
                                       float tolerance = kTolerance) {
    if (std::fabs(a.X() - b.X()) <= tolerance && std::fabs(a.Y() - b.Y()) <= tolerance &&
        std::fabs(a.Z() - b.Z()) <= tolerance && std::fabs(a.W() - b.W()) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << a << " vs " << b;
}

} // namespace Engine::Math::TestUtil
