#include "Support/GLContext.h"

#include <Engine/Util/GLDebugOutput.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <Game/DriverResidency.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <thread>

namespace TestSupport {

namespace {

GLFWwindow* window = nullptr;
std::vector<std::string> debugMessages;

void recordDebugMessage(char const* pass, char const* message) {
    debugMessages.push_back(std::string(pass) + ": " + message);
}

// Threads of the process (the entries of /proc/self/task) and how many there
// were before the driver started its own.
std::size_t threadCount() {
    std::error_code error;
    std::size_t count = 0;
    for (std::filesystem::directory_iterator it("/proc/self/task", error), end; !error && it != end;
         it.increment(error)) {
        ++count;
    }
    return count;
}

std::size_t threadsWithoutGL = 0;

void destroyWindow() {
    if (window != nullptr) {
        glfwDestroyWindow(window);
        window = nullptr;
    }
    // Closing the display ends the driver's worker threads (llvmpipe's
    // rasterizers, Mesa's queues), but a joined thread still finishes its exit
    // in the kernel for a moment. LeakSanitizer stops every thread of the
    // process at exit and crashes ("Tracer caught signal 11") when one of them
    // is half gone, so exit waits until the driver's threads have left.
    glfwTerminate();
    auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (threadCount() > threadsWithoutGL && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

void reportGlfwError(int code, const char* text) {
    std::fprintf(stderr, "GLFW error %d: %s\n", code, text);
}

} // namespace

GLFWwindow* GLTest::Window() {
    return window;
}

void GLTest::SetUpTestSuite() {
    if (window != nullptr) {
        return;
    }
    glfwSetErrorCallback(reportGlfwError);
    threadsWithoutGL = threadCount();
    if (glfwInit() != GLFW_TRUE) {
        return;
    }
    // No version or profile hints: Mesa then gives its newest compatibility
    // profile, while a 4.x request would give a core profile.
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_DEPTH_BITS, 16);
    window = glfwCreateWindow(256, 256, "GLTest", nullptr, nullptr);
    if (window == nullptr) {
        glfwTerminate();
        return;
    }
    glfwMakeContextCurrent(window);
    Engine::Util::UtilFunctions::InitGlew();
    Engine::Util::GLDebugOutput::Enable(recordDebugMessage);
    Game::keepGLDriverResident();
    std::atexit(destroyWindow);
    if (!GLEW_VERSION_4_0) {
        std::fprintf(stderr, "OpenGL 4.0 is not available: %s\n", glGetString(GL_VERSION));
        destroyWindow();
    }
}

void GLTest::SetUp() {
    ASSERT_NE(window, nullptr) << "no OpenGL 4 context (is an X server running? see DISPLAY)";
    glfwMakeContextCurrent(window);
    ASSERT_EQ(takeGLError(), 0u) << "an OpenGL error was pending before the test";
    debugMessages.clear();
}

void GLTest::TearDown() {
    if (window != nullptr) {
        EXPECT_EQ(takeGLError(), 0u) << "the test left an OpenGL error pending";
    }
    for (std::string const& message : takeGLDebugMessages()) {
        ADD_FAILURE() << "GL debug output in " << message;
    }
}

std::vector<std::string> takeGLDebugMessages() {
    std::vector<std::string> messages;
    messages.swap(debugMessages);
    return messages;
}

unsigned int takeGLError() {
    const GLenum first = glGetError();
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
    return first;
}

} // namespace TestSupport
