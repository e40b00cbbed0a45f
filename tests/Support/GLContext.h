#pragma once

#include <gtest/gtest.h>

struct GLFWwindow;

namespace TestSupport {

// Base of every test that needs OpenGL: a hidden GLFW window with a
// compatibility-profile context, created once per test process, made current,
// with UtilFunctions::InitGlew run once. Each test starts and must end with no
// OpenGL error pending.
class GLTest : public ::testing::Test {
public:
    static GLFWwindow* Window();

protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;
};

// Drains every pending OpenGL error and returns the first one (0 if none).
unsigned int takeGLError();

} // namespace TestSupport
