#pragma once

#include <Game/InputState.h>
#include <string>
#include <vector>

namespace Game {

// Everything the shell needs from the window system and the OpenGL context:
// one window with a double-buffered OpenGL 4 context, its input events, the
// cursor, buffer swaps and reading the back buffer. The frame loop itself
// knows nothing about the window system behind it.
class Platform {
public:
    struct WindowSettings {
        unsigned width = 0;
        unsigned height = 0;
        bool fullScreen = false;
        bool hidden = false;
    };

    // 8-bit RGB pixels of the back buffer, bottom row first (OpenGL order),
    // rows packed without padding.
    struct Image {
        unsigned width = 0;
        unsigned height = 0;
        std::vector<unsigned char> rgb;
    };

    virtual ~Platform() = default;

    // Opens the window with a client area of the given size and makes its
    // OpenGL context current. On failure returns false and says why in `error`.
    virtual bool OpenWindow(WindowSettings const& settings, std::string& error) = 0;
    // Loads the OpenGL entry points with the engine's fixed state, then sets the
    // clear colour to opaque black and the viewport to the given size.
    virtual void PrepareContext(unsigned width, unsigned height) = 0;
    // Handles every pending event: input goes into `input`, closing the window
    // asks the loop to quit.
    virtual void PollEvents(InputState& input) = 0;
    // True once quitting was asked for, by the window or by RequestQuit.
    virtual bool QuitRequested() const = 0;
    virtual void RequestQuit() = 0;
    virtual InputState::Point CursorPosition() = 0;
    // Logs a pending OpenGL error, if any.
    virtual void ReportGLErrors() = 0;
    // Reads the back buffer of the window; false when it cannot be read.
    virtual bool ReadBackBuffer(Image& image) = 0;
    virtual void SwapBuffers() = 0;
    // Sets the window's title; platforms without one ignore it.
    virtual void WindowTitle(std::string const& /*title*/) {}
    // Restores the context that was current before OpenWindow, then destroys
    // the context and the window. Safe to call when nothing was opened.
    virtual void CloseWindow() = 0;
};

} // namespace Game
