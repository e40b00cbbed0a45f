#include "Support/GLContext.h"
#include "Support/Output.h"

#include <Engine/Util/Logger.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <string>

using Engine::Util::Logger;
using Engine::Util::UtilFunctions;
using TestSupport::captureStdout;

class UtilFunctionsGLTest : public TestSupport::GLTest {};

TEST_F(UtilFunctionsGLTest, InitGlewSetsTheFixedState) {
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_FRAMEBUFFER_SRGB));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_CUBE_MAP));
    GLint value = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &value);
    EXPECT_EQ(value, GL_BACK);
    glGetIntegerv(GL_FRONT_FACE, &value);
    EXPECT_EQ(value, GL_CCW);
    GLfloat depth = 0.0f;
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depth);
    EXPECT_EQ(depth, 1.0f);
    GLfloat outer[4] = {0, 0, 0, 0};
    GLfloat inner[2] = {0, 0};
    glGetFloatv(GL_PATCH_DEFAULT_OUTER_LEVEL, outer);
    glGetFloatv(GL_PATCH_DEFAULT_INNER_LEVEL, inner);
    for (GLfloat level : outer) {
        EXPECT_EQ(level, 1.0f);
    }
    for (GLfloat level : inner) {
        EXPECT_EQ(level, 1.0f);
    }
}

TEST_F(UtilFunctionsGLTest, InitGlewReportsTheLimits) {
    const std::string out = captureStdout([] { UtilFunctions::InitGlew(); });
    GLint units = 0;
    GLint components = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    glGetIntegerv(GL_MAX_FRAGMENT_UNIFORM_COMPONENTS, &components);
    std::string expected = "Max Texture Image Units: " + std::to_string(units) + "\n" +
                           "Max Fragment Uniform Components: " + std::to_string(components) + "\n";
    if (GLEW_ARB_depth_clamp) {
        expected += "DEPTH_CLAMP avilable\n";
    }
    EXPECT_EQ(out, expected);
}

TEST_F(UtilFunctionsGLTest, GlErrorLogsThePendingErrorOnce) {
    Logger* log = Logger::Instance();
    const int before = log->Position();
    glEnable(0xFFFF); // GL_INVALID_ENUM
    const std::string first = captureStdout([] { UtilFunctions::glError(); });
    EXPECT_EQ(first, "FATAL GL: enum argument out of range.\n");
    EXPECT_STREQ(log->Get(before), "FATAL GL: enum argument out of range.");
    EXPECT_TRUE(log->HasSomething());
    const std::string none = captureStdout([] { UtilFunctions::glError(); });
    EXPECT_EQ(none, "") << "the error was taken by the first call";
    EXPECT_EQ(log->Position(), (before + 1) % Logger::EntryCount);
    EXPECT_EQ(TestSupport::takeGLDebugMessages().size(), 1u);
}

TEST_F(UtilFunctionsGLTest, GlErrorNamesEachKind) {
    glClear(0x12345678); // GL_INVALID_VALUE
    EXPECT_EQ(captureStdout([] { UtilFunctions::glError(); }),
              "FATAL GL: Numeric argument out of range.\n");
    glEnd(); // outside glBegin: GL_INVALID_OPERATION
    EXPECT_EQ(captureStdout([] { UtilFunctions::glError(); }),
              "FATAL GL: Operation illegal in current state.\n");

    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer); // no attachments: incomplete
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(captureStdout([] { UtilFunctions::glError(); }),
              "FATAL GL: Framebuffer object is not complete.\n");
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    EXPECT_EQ(TestSupport::takeGLDebugMessages().size(), 3u);
}
