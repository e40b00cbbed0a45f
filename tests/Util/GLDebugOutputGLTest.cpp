#include "Support/GLContext.h"
#include "Support/Output.h"

#include <Engine/Util/GLDebugOutput.h>
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using Engine::Util::GLDebugOutput;
using TestSupport::takeGLDebugMessages;

// The test fixture turns the debug output on with a handler that keeps each
// message for the test's end.
class GLDebugOutputGLTest : public TestSupport::GLTest {};

TEST_F(GLDebugOutputGLTest, AnErrorReachesTheHandlerInsideTheCallWithItsPass) {
    ASSERT_TRUE(GLDebugOutput::Enabled());
    GLDebugOutput::Pass("lighting");
    glEnable(0xFFFF); // GL_INVALID_ENUM
    GLDebugOutput::Pass(nullptr);
    glEnable(0xFFFF);
    while (glGetError() != GL_NO_ERROR) {
    }
    std::vector<std::string> const messages = takeGLDebugMessages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].rfind("lighting: ", 0), 0u) << messages[0];
    EXPECT_GT(messages[0].size(), std::string("lighting: ").size() + 4) << "no driver message";
    EXPECT_EQ(messages[1].rfind("outside the frame: ", 0), 0u) << messages[1];
}

TEST_F(GLDebugOutputGLTest, OnlyHighSeverityMessagesAndErrorsAreReported) {
    auto insert = [](GLenum type, GLenum severity, char const* text) {
        glDebugMessageInsert(GL_DEBUG_SOURCE_APPLICATION, type, 1, severity, -1, text);
    };
    insert(GL_DEBUG_TYPE_MARKER, GL_DEBUG_SEVERITY_NOTIFICATION, "a marker");
    insert(GL_DEBUG_TYPE_PERFORMANCE, GL_DEBUG_SEVERITY_MEDIUM, "a slow path");
    insert(GL_DEBUG_TYPE_OTHER, GL_DEBUG_SEVERITY_HIGH, "a severe message");
    insert(GL_DEBUG_TYPE_ERROR, GL_DEBUG_SEVERITY_LOW, "an error");
    EXPECT_EQ(takeGLDebugMessages(),
              (std::vector<std::string>{"outside the frame: a severe message",
                                        "outside the frame: an error"}));
}

TEST_F(GLDebugOutputGLTest, TheLoggingHandlerWritesOneFatalLine) {
    EXPECT_EQ(TestSupport::captureStdout([] { GLDebugOutput::LogFatal("geometry", "bad call"); }),
              "FATAL GL debug output in geometry: bad call\n");
}
