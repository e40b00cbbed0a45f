#include "Support/Output.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <Game/GlfwPlatform.h>
#include <Game/KeyCodes.h>
#include <gtest/gtest.h>
#include <string>

using Game::GlfwPlatform;
using Game::InputState;
using Game::Platform;
namespace KeyCode = Game::KeyCode;

namespace {

// Each test opens the program's window hidden, 64 x 48, and prepares its context.
class GlfwPlatformGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        Platform::WindowSettings settings;
        settings.width = 64;
        settings.height = 48;
        settings.hidden = true;
        std::string error;
        log = TestSupport::captureStdout([&] {
            opened = platform.OpenWindow(settings, error);
            if (opened) {
                platform.PrepareContext(settings.width, settings.height);
            }
        });
        ASSERT_TRUE(opened) << error;
        window = glfwGetCurrentContext();
        ASSERT_NE(window, nullptr);
    }

    GlfwPlatform platform;
    GLFWwindow* window = nullptr;
    bool opened = false;
    std::string log;
};

} // namespace

TEST_F(GlfwPlatformGLTest, OpensAHiddenWindowWithAnOpenGL4CompatibilityContext) {
    EXPECT_TRUE(GLEW_VERSION_4_0);
    GLint profile = 0;
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_EQ(profile & GL_CONTEXT_CORE_PROFILE_BIT, 0) << "a core profile lacks GL_QUADS";
    GLboolean doubleBuffered = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_TRUE(doubleBuffered);
    GLint depthBits = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH,
                                          GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, &depthBits);
    EXPECT_GE(depthBits, 16);
    EXPECT_EQ(glfwGetWindowAttrib(window, GLFW_VISIBLE), GLFW_FALSE);
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 48);
    EXPECT_NE(log.find("Max Texture Image Units"), std::string::npos) << "GLEW was not set up";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GlfwPlatformGLTest, PrepareContextSetsTheViewportAndABlackClearColour) {
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 64);
    EXPECT_EQ(viewport[3], 48);
    GLfloat clear[4] = {-1, -1, -1, -1};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.0f);
    EXPECT_EQ(clear[1], 0.0f);
    EXPECT_EQ(clear[2], 0.0f);
    EXPECT_EQ(clear[3], 1.0f);
}

TEST_F(GlfwPlatformGLTest, ReadBackBufferReturnsTheRenderedPixelsAndKeepsThePackState) {
    // Only whole-window clears here: partial drawing makes llvmpipe's compiled
    // code leak a few bytes, which the sanitizer build reports.
    glClearColor(0.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 8);

    Platform::Image image;
    ASSERT_TRUE(platform.ReadBackBuffer(image));
    ASSERT_EQ(image.width, 64u);
    ASSERT_EQ(image.height, 48u);
    ASSERT_EQ(image.rgb.size(), 64u * 48u * 3u);
    for (std::size_t i = 0; i < image.rgb.size(); i += 3) {
        ASSERT_EQ(image.rgb[i], 0) << "pixel " << i / 3;
        ASSERT_EQ(image.rgb[i + 1], 255) << "pixel " << i / 3;
        ASSERT_EQ(image.rgb[i + 2], 255) << "pixel " << i / 3;
    }

    GLint alignment = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(GlfwPlatformOddSizeGLTest, ReadBackBufferPacksRowsOfAnyWidthWithoutPadding) {
    GlfwPlatform platform;
    Platform::WindowSettings settings;
    settings.width = 13;
    settings.height = 7;
    settings.hidden = true;
    std::string error;
    bool opened = false;
    TestSupport::captureStdout([&] {
        opened = platform.OpenWindow(settings, error);
        if (opened) {
            platform.PrepareContext(settings.width, settings.height);
        }
    });
    ASSERT_TRUE(opened) << error;
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    Platform::Image image;
    ASSERT_TRUE(platform.ReadBackBuffer(image));
    ASSERT_EQ(image.width, 13u);
    ASSERT_EQ(image.height, 7u);
    ASSERT_EQ(image.rgb.size(), 13u * 7u * 3u);
    // With 4-byte row alignment the 39-byte rows would be padded and the last
    // pixels would fall outside the buffer or shift; every pixel must match.
    for (std::size_t i = 0; i < image.rgb.size(); i += 3) {
        ASSERT_EQ(image.rgb[i], 255) << "pixel " << i / 3;
        ASSERT_EQ(image.rgb[i + 1], 0) << "pixel " << i / 3;
        ASSERT_EQ(image.rgb[i + 2], 255) << "pixel " << i / 3;
    }
}

TEST_F(GlfwPlatformGLTest, WindowEventsReachTheInputStateAsVirtualKeys) {
    // The callbacks write into the input state that PollEvents hands to the
    // window as its user pointer; call them the way GLFW would while polling.
    GLFWkeyfun key = glfwSetKeyCallback(window, nullptr);
    GLFWmousebuttonfun button = glfwSetMouseButtonCallback(window, nullptr);
    GLFWscrollfun scroll = glfwSetScrollCallback(window, nullptr);
    ASSERT_NE(key, nullptr);
    ASSERT_NE(button, nullptr);
    ASSERT_NE(scroll, nullptr);

    InputState input;
    glfwSetWindowUserPointer(window, &input);
    key(window, GLFW_KEY_ESCAPE, 0, GLFW_PRESS, 0);
    key(window, GLFW_KEY_RIGHT_SHIFT, 0, GLFW_PRESS, 0);
    key(window, GLFW_KEY_EQUAL, 0, GLFW_PRESS, 0);
    key(window, GLFW_KEY_EQUAL, 0, GLFW_RELEASE, 0);
    key(window, GLFW_KEY_TAB, 0, GLFW_PRESS, 0);
    button(window, GLFW_MOUSE_BUTTON_MIDDLE, GLFW_PRESS, 0);
    button(window, GLFW_MOUSE_BUTTON_8, GLFW_PRESS, 0);
    scroll(window, 0.0, -2.0);
    EXPECT_TRUE(input.KeyPressed(KeyCode::Escape));
    EXPECT_TRUE(input.KeyHeld(KeyCode::Shift));
    EXPECT_TRUE(input.KeyReleased(KeyCode::Plus));
    EXPECT_FALSE(input.KeyHeld(KeyCode::Plus));
    EXPECT_TRUE(input.ButtonHeld(InputState::MiddleButton));
    EXPECT_FLOAT_EQ(input.WheelNotches(), -2.0f);

    input.EndFrame({});
    key(window, GLFW_KEY_RIGHT_SHIFT, 0, GLFW_REPEAT, 0);
    EXPECT_TRUE(input.KeyPressed(KeyCode::Shift)) << "a repeat counts as a key-down";

    // Outside of polling the window has no input state: events are dropped.
    glfwSetWindowUserPointer(window, nullptr);
    key(window, GLFW_KEY_A, 0, GLFW_PRESS, 0);
    platform.PollEvents(input);
    EXPECT_EQ(glfwGetWindowUserPointer(window), nullptr);
    EXPECT_FALSE(input.KeyHeld(KeyCode::A));
}

TEST_F(GlfwPlatformGLTest, RequestQuitIsSeenAtTheNextCheck) {
    InputState input;
    platform.PollEvents(input);
    EXPECT_FALSE(platform.QuitRequested());
    platform.RequestQuit();
    EXPECT_TRUE(platform.QuitRequested());
}

TEST(GlfwPlatformFullScreenGLTest, AModeTheMonitorLacksFallsBackToAWindowOfThatSize) {
    GlfwPlatform platform;
    Platform::WindowSettings settings;
    settings.width = 123;
    settings.height = 77;
    settings.fullScreen = true;
    settings.hidden = true;
    std::string error;
    bool opened = false;
    const std::string log =
        TestSupport::captureStdout([&] { opened = platform.OpenWindow(settings, error); });
    ASSERT_TRUE(opened) << error;
    EXPECT_EQ(log, "FATAL Fullscreen creation failed\n");
    GLFWwindow* window = glfwGetCurrentContext();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(glfwGetWindowMonitor(window), nullptr);
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    EXPECT_EQ(width, 123);
    EXPECT_EQ(height, 77);
}

TEST(GlfwPlatformFullScreenGLTest, AModeTheMonitorHasGivesAFullScreenWindow) {
    ASSERT_EQ(glfwInit(), GLFW_TRUE);
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    ASSERT_NE(monitor, nullptr);
    GLFWvidmode const* mode = glfwGetVideoMode(monitor);
    ASSERT_NE(mode, nullptr);

    GlfwPlatform platform;
    Platform::WindowSettings settings;
    settings.width = static_cast<unsigned>(mode->width);
    settings.height = static_cast<unsigned>(mode->height);
    settings.fullScreen = true;
    std::string error;
    bool opened = false;
    const std::string log =
        TestSupport::captureStdout([&] { opened = platform.OpenWindow(settings, error); });
    ASSERT_TRUE(opened) << error;
    EXPECT_EQ(log, "");
    GLFWwindow* window = glfwGetCurrentContext();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(glfwGetWindowMonitor(window), monitor);
}

TEST(GlfwPlatformClosedGLTest, CloseWindowCanBeCalledWhenNothingIsOpen) {
    GlfwPlatform platform;
    platform.CloseWindow();
    InputState input;
    platform.PollEvents(input);
    EXPECT_TRUE(platform.QuitRequested());
    Platform::Image image;
    EXPECT_FALSE(platform.ReadBackBuffer(image));
}
