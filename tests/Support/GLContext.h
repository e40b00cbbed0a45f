#pragma once

#include <gtest/gtest.h>
#include <string>
#include <vector>

struct GLFWwindow;

namespace TestSupport {

// Base of every test that needs OpenGL: a hidden GLFW window with a
// compatibility-profile context, created once per test process, made current,
// with UtilFunctions::InitGlew run once and the driver's debug output on. Each
// test starts and must end with no OpenGL error pending, and every GL error or
// high-severity message the driver reports during the test fails it, naming
// the message and the pass it came from.
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
// Takes the debug output's messages so far ("PASS: MESSAGE"), for a test that
// causes GL errors on purpose; what is left fails the test at its end.
std::vector<std::string> takeGLDebugMessages();

} // namespace TestSupport
