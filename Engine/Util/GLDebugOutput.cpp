#include <Engine/Util/GLDebugOutput.h>
#include <Engine/Util/Logger.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>
#include <string>

namespace Engine::Util {

char const* GLDebugOutput::pass = nullptr;

namespace {

GLDebugOutput::Handler handler = nullptr;

void GLAPIENTRY receive(GLenum source, GLenum type, GLuint, GLenum severity, GLsizei length,
                        GLchar const* message, void const*) {
    // The shader compiler's messages repeat the info logs that the shaders
    // log themselves with the stage they belong to.
    if (handler == nullptr || source == GL_DEBUG_SOURCE_SHADER_COMPILER ||
        (type != GL_DEBUG_TYPE_ERROR && severity != GL_DEBUG_SEVERITY_HIGH)) {
        return;
    }
    std::string const text =
        length >= 0 ? std::string(message, static_cast<size_t>(length)) : std::string(message);
    handler(GLDebugOutput::CurrentPass(), text.c_str());
}

} // namespace

bool GLDebugOutput::Enable(Handler newHandler) {
    if (!UtilFunctions::OpenGLLoaded() || !(GLEW_VERSION_4_3 || GLEW_KHR_debug)) {
        return false;
    }
    handler = newHandler;
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageCallback(receive, nullptr);
    // Errors of low severity are off by default.
    glDebugMessageControl(GL_DONT_CARE, GL_DEBUG_TYPE_ERROR, GL_DONT_CARE, 0, nullptr, GL_TRUE);
    return true;
}

void GLDebugOutput::Disable() {
    if (handler == nullptr) {
        return;
    }
    glDebugMessageCallback(nullptr, nullptr);
    glDisable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDisable(GL_DEBUG_OUTPUT);
    handler = nullptr;
}

bool GLDebugOutput::Enabled() {
    return handler != nullptr;
}

void GLDebugOutput::LogFatal(char const* pass, char const* message) {
    Logger::Instance()->Fatal((std::string("GL debug output in ") + pass + ": " + message).c_str());
}

} // namespace Engine::Util
