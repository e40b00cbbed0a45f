#pragma once

#include <Game/Platform.h>

struct GLFWwindow;

namespace Game {

// The window system layer on GLFW (X11/GLX): one window titled "Game" with a
// double-buffered compatibility-profile OpenGL context of at least version
// 4.0, 32 colour bits and 16 depth bits; full screen on the primary monitor
// when asked for and that mode exists.
class GlfwPlatform : public Platform {
public:
    static constexpr int ColourChannelBits = 8;
    static constexpr int DepthBits = 16;
    static constexpr int RequiredGLMajor = 4;

    GlfwPlatform() = default;
    ~GlfwPlatform() override;
    GlfwPlatform(GlfwPlatform const&) = delete;
    GlfwPlatform& operator=(GlfwPlatform const&) = delete;

    bool OpenWindow(WindowSettings const& settings, std::string& error) override;
    void PrepareContext(unsigned width, unsigned height) override;
    void PollEvents(InputState& input) override;
    bool QuitRequested() const override;
    void RequestQuit() override;
    InputState::Point CursorPosition() override;
    void ReportGLErrors() override;
    bool ReadBackBuffer(Image& image) override;
    void SwapBuffers() override;
    void WindowTitle(std::string const& title) override;
    void CloseWindow() override;

private:
    GLFWwindow* createFullScreen(WindowSettings const& settings);

    GLFWwindow* window = nullptr;
    GLFWwindow* previousContext = nullptr;
    bool initialised = false;
};

} // namespace Game
