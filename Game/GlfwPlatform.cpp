#include <Engine/Util/GLDebugOutput.h>
#include <Engine/Util/Logger.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <Game/DriverResidency.h>
#include <Game/GlfwKeyMap.h>
#include <Game/GlfwPlatform.h>
#include <cmath>
#include <cstdlib>
#include <string>

namespace Game {

namespace {

// The latest error GLFW reported, for the messages of OpenWindow.
std::string lastGlfwError;

void recordGlfwError(int, const char* description) {
    lastGlfwError = description != nullptr ? description : "";
}

std::string describeLastError(char const* fallback) {
    return lastGlfwError.empty() ? std::string(fallback) : lastGlfwError;
}

bool displayIsSet() {
    char const* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
}

// While events are polled the window's user pointer is the input state that
// receives them; outside of PollEvents it is null and events are dropped.
InputState* inputOf(GLFWwindow* window) {
    return static_cast<InputState*>(glfwGetWindowUserPointer(window));
}

void onKey(GLFWwindow* window, int key, int, int action, int) {
    InputState* input = inputOf(window);
    const int code = VirtualKeyFromGlfw(key);
    if (input == nullptr || code < 0) {
        return;
    }
    if (action == GLFW_PRESS || action == GLFW_REPEAT) {
        input->KeyDown(code);
    } else if (action == GLFW_RELEASE) {
        input->KeyUp(code);
    }
}

void onMouseButton(GLFWwindow* window, int button, int action, int) {
    InputState* input = inputOf(window);
    if (input == nullptr) {
        return;
    }
    // GLFW numbers the buttons left 0, right 1, middle 2, as the input state does.
    if (action == GLFW_PRESS) {
        input->ButtonDown(button);
    } else if (action == GLFW_RELEASE) {
        input->ButtonUp(button);
    }
}

void onScroll(GLFWwindow* window, double, double yOffset) {
    if (InputState* input = inputOf(window)) {
        input->Wheel(static_cast<float>(yOffset));
    }
}

void setCommonHints(bool visible) {
    // No version or profile hints: Mesa then gives its newest compatibility
    // profile, while asking for 4.x would give a core profile without
    // GL_QUADS and the other legacy features the renderer uses.
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_VISIBLE, visible ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
    glfwWindowHint(GLFW_RED_BITS, GlfwPlatform::ColourChannelBits);
    glfwWindowHint(GLFW_GREEN_BITS, GlfwPlatform::ColourChannelBits);
    glfwWindowHint(GLFW_BLUE_BITS, GlfwPlatform::ColourChannelBits);
    glfwWindowHint(GLFW_ALPHA_BITS, GlfwPlatform::ColourChannelBits);
    glfwWindowHint(GLFW_DEPTH_BITS, GlfwPlatform::DepthBits);
}

bool monitorHasMode(GLFWmonitor* monitor, unsigned width, unsigned height) {
    int count = 0;
    GLFWvidmode const* modes = glfwGetVideoModes(monitor, &count);
    for (int i = 0; i < count; ++i) {
        if (static_cast<unsigned>(modes[i].width) == width &&
            static_cast<unsigned>(modes[i].height) == height) {
            return true;
        }
    }
    return false;
}

} // namespace

GlfwPlatform::~GlfwPlatform() {
    CloseWindow();
}

bool GlfwPlatform::OpenWindow(WindowSettings const& settings, std::string& error) {
    lastGlfwError.clear();
    glfwSetErrorCallback(recordGlfwError);
    if (glfwInit() != GLFW_TRUE) {
        error = displayIsSet() ? "cannot open a window: " + describeLastError("GLFW failed")
                               : "cannot open a window: no X display (set DISPLAY or run under "
                                 "xvfb-run)";
        return false;
    }
    initialised = true;

    const int width = static_cast<int>(settings.width);
    const int height = static_cast<int>(settings.height);
    if (settings.fullScreen) {
        window = createFullScreen(settings);
    }
    if (window == nullptr) {
        setCommonHints(!settings.hidden);
        window = glfwCreateWindow(width, height, "Game", nullptr, nullptr);
    }
    if (window == nullptr) {
        error = "cannot open a window with an OpenGL context: " +
                describeLastError("GLFW gave no reason");
        return false;
    }

    const int major = glfwGetWindowAttrib(window, GLFW_CONTEXT_VERSION_MAJOR);
    const int minor = glfwGetWindowAttrib(window, GLFW_CONTEXT_VERSION_MINOR);
    if (major < RequiredGLMajor) {
        error = "no OpenGL 4 context: OpenGL " + std::to_string(RequiredGLMajor) +
                ".0 or later is needed, the display offers " + std::to_string(major) + "." +
                std::to_string(minor);
        return false;
    }

    glfwSetKeyCallback(window, onKey);
    glfwSetMouseButtonCallback(window, onMouseButton);
    glfwSetScrollCallback(window, onScroll);
    previousContext = glfwGetCurrentContext();
    glfwMakeContextCurrent(window);
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer build's leak check runs after the driver would be unloaded.
    keepGLDriverResident();
#endif
    return true;
}

GLFWwindow* GlfwPlatform::createFullScreen(WindowSettings const& settings) {
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    GLFWwindow* fullScreen = nullptr;
    if (monitor != nullptr && monitorHasMode(monitor, settings.width, settings.height)) {
        setCommonHints(true);
        fullScreen = glfwCreateWindow(static_cast<int>(settings.width),
                                      static_cast<int>(settings.height), "Game", monitor, nullptr);
    }
    if (fullScreen == nullptr) {
        Engine::Util::Logger::Instance()->Fatal("Fullscreen creation failed");
    }
    return fullScreen;
}

void GlfwPlatform::PrepareContext(unsigned width, unsigned height) {
    Engine::Util::UtilFunctions::InitGlew();
    // Debug builds, and any build run with ENGINE_GL_DEBUG=1 (the tests run the
    // program so), log every GL error and high-severity driver message with
    // the pass it came from.
#ifdef NDEBUG
    constexpr bool debugBuild = false;
#else
    constexpr bool debugBuild = true;
#endif
    char const* requested = std::getenv("ENGINE_GL_DEBUG");
    if (debugBuild || (requested != nullptr && std::string(requested) == "1")) {
        Engine::Util::GLDebugOutput::Enable(Engine::Util::GLDebugOutput::LogFatal);
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
}

void GlfwPlatform::PollEvents(InputState& input) {
    if (window == nullptr) {
        return;
    }
    glfwSetWindowUserPointer(window, &input);
    glfwPollEvents();
    glfwSetWindowUserPointer(window, nullptr);
}

bool GlfwPlatform::QuitRequested() const {
    return window == nullptr || glfwWindowShouldClose(window) == GLFW_TRUE;
}

void GlfwPlatform::RequestQuit() {
    if (window != nullptr) {
        glfwSetWindowShouldClose(window, GLFW_TRUE);
    }
}

InputState::Point GlfwPlatform::CursorPosition() {
    InputState::Point point;
    if (window != nullptr) {
        double x = 0.0;
        double y = 0.0;
        glfwGetCursorPos(window, &x, &y);
        point.x = static_cast<std::int32_t>(std::floor(x));
        point.y = static_cast<std::int32_t>(std::floor(y));
    }
    return point;
}

void GlfwPlatform::ReportGLErrors() {
    Engine::Util::UtilFunctions::glError();
}

bool GlfwPlatform::ReadBackBuffer(Image& image) {
    if (window == nullptr) {
        return false;
    }
    int width = 0;
    int height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    if (width <= 0 || height <= 0) {
        return false;
    }
    image.width = static_cast<unsigned>(width);
    image.height = static_cast<unsigned>(height);
    image.rgb.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);

    // Read from the window's back buffer whatever framebuffer the renderer
    // left bound, and put the bindings back afterwards.
    GLint readFramebuffer = 0;
    GLint readBuffer = 0;
    GLint packAlignment = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, image.rgb.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    glReadBuffer(static_cast<GLenum>(readBuffer));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));
    return true;
}

void GlfwPlatform::WindowTitle(std::string const& title) {
    if (window != nullptr) {
        glfwSetWindowTitle(window, title.c_str());
    }
}

void GlfwPlatform::SwapBuffers() {
    if (window != nullptr) {
        glfwSwapBuffers(window);
    }
}

void GlfwPlatform::CloseWindow() {
    if (window != nullptr) {
        glfwMakeContextCurrent(previousContext);
        glfwDestroyWindow(window);
        window = nullptr;
        previousContext = nullptr;
    }
    if (initialised) {
        glfwTerminate();
        initialised = false;
    }
}

} // namespace Game
