#include <AL/al.h>
#include <Engine/Util/Logger.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>
#include <cstdio>
#include <iostream>
#include <sstream>

namespace Engine::Util {

std::string UtilFunctions::ToString(unsigned short value) {
    return ToString(static_cast<unsigned int>(value));
}

std::string UtilFunctions::ToString(unsigned int value) {
    return std::to_string(value);
}

std::string UtilFunctions::ToString(float value) {
    std::ostringstream stream;
    stream << value;
    return stream.str();
}

void UtilFunctions::glError() {
    const GLenum code = glGetError();
    if (code == GL_NO_ERROR) {
        return;
    }
    const char* text = "GL: Unknown error.";
    switch (code) {
    case GL_INVALID_ENUM:
        text = "GL: enum argument out of range.";
        break;
    case GL_INVALID_VALUE:
        text = "GL: Numeric argument out of range.";
        break;
    case GL_INVALID_OPERATION:
        text = "GL: Operation illegal in current state.";
        break;
    case GL_OUT_OF_MEMORY:
        text = "GL: Not enough memory left to execute command.";
        break;
    case GL_INVALID_FRAMEBUFFER_OPERATION:
        text = "GL: Framebuffer object is not complete.";
        break;
    default:
        break;
    }
    Logger::Instance()->Fatal(text);
}

bool UtilFunctions::alError() {
    const ALenum code = alGetError();
    if (code == AL_NO_ERROR) {
        return false;
    }
    const char* name = "";
    switch (code) {
    case AL_INVALID_NAME:
        name = "AL_INVALID_NAME";
        break;
    case AL_INVALID_ENUM:
        name = "AL_INVALID_ENUM";
        break;
    case AL_INVALID_VALUE:
        name = "AL_INVALID_VALUE";
        break;
    case AL_INVALID_OPERATION:
        name = "AL_INVALID_OPERATION";
        break;
    case AL_OUT_OF_MEMORY:
        name = "AL_OUT_OF_MEMORY";
        break;
    default:
        break;
    }
    std::cout << "openAL:" << name << std::endl;
    return true;
}

void UtilFunctions::InitGlew() {
    Logger* log = Logger::Instance();
    const GLenum result = glewInit();
    if (result != GLEW_OK) {
        log->Fatal("Glew initialization failed");
        log->Message(reinterpret_cast<const char*>(glewGetErrorString(result)), nullptr);
    }

    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_FRAMEBUFFER_SRGB);
    glEnable(GL_TEXTURE_CUBE_MAP);

    GLint value = 0;
    char line[96];
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &value);
    std::snprintf(line, sizeof line, "Max Texture Image Units: %d", value);
    log->Message(line, nullptr);
    glGetIntegerv(GL_MAX_FRAGMENT_UNIFORM_COMPONENTS, &value);
    std::snprintf(line, sizeof line, "Max Fragment Uniform Components: %d", value);
    log->Message(line, nullptr);

    if (GLEW_ARB_depth_clamp) {
        log->Message("DEPTH_CLAMP avilable", nullptr);
    }

    if (glPatchParameterfv != nullptr) {
        const GLfloat outer[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        const GLfloat inner[2] = {1.0f, 1.0f};
        glPatchParameterfv(GL_PATCH_DEFAULT_OUTER_LEVEL, outer);
        glPatchParameterfv(GL_PATCH_DEFAULT_INNER_LEVEL, inner);
    }
}

bool UtilFunctions::OpenGLLoaded() {
    return glGenBuffers != nullptr && glGenFramebuffers != nullptr;
}

} // namespace Engine::Util
