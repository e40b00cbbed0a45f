#pragma once

#include <Engine/Export.h>
#include <string>

namespace Engine::Util {

// Stateless helpers: number formatting for log messages, reports of pending
// OpenGL and OpenAL errors, and GLEW initialisation with the engine's fixed
// OpenGL state.
class ENGINE_API UtilFunctions {
public:
    static std::string ToString(unsigned short value);
    static std::string ToString(unsigned int value);
    // Default string-stream formatting: six significant digits.
    static std::string ToString(float value);

    // Logs at most one pending OpenGL error as a fatal message.
    static void glError();
    // Prints one pending OpenAL error to standard output; false when none was pending.
    static bool alError();

    // Loads the OpenGL entry points and sets the fixed state every pass relies
    // on (culling, depth test, sRGB framebuffer, patch levels). Needs a current
    // OpenGL context.
    static void InitGlew();
    // True once OpenGL entry points are loaded (a context was made current and
    // InitGlew ran): objects built without them stay inert instead of calling GL.
    static bool OpenGLLoaded();
};

} // namespace Engine::Util
