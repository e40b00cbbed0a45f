#include <Engine/Render/Shader/DeferredShader.h>
#include <GL/glew.h>

namespace Engine::Render::Shader {

void DeferredShader::build(char const* vertex, char const* tessControl, char const* tessEvaluation,
                           char const* geometry, char const* fragment, bool fromSource) {
    loadStages(vertex, tessControl, tessEvaluation, geometry, fragment, fromSource);
    CreateProgram();
    bindFragDataLocation();
    bindAttribLocation();
    linkProgram();
    bindUniformLocation();
}

DeferredShader::DeferredShader(char const* vertex, char const* fragment)
    : Shader(PRIMITIVE_TRIANGLES) {
    build(vertex, nullptr, nullptr, nullptr, fragment, false);
}

DeferredShader::DeferredShader(char const* vertex, char const* geometry, char const* fragment)
    : Shader(PRIMITIVE_TRIANGLES) {
    build(vertex, nullptr, nullptr, geometry, fragment, false);
}

DeferredShader::DeferredShader(char const* vertex, char const* tessControl,
                               char const* tessEvaluation, char const* fragment)
    : Shader(PRIMITIVE_PATCHES) {
    build(vertex, tessControl, tessEvaluation, nullptr, fragment, false);
}

DeferredShader::DeferredShader(char const* vertex, char const* tessControl,
                               char const* tessEvaluation, char const* geometry,
                               char const* fragment)
    : Shader(PRIMITIVE_PATCHES) {
    build(vertex, tessControl, tessEvaluation, geometry, fragment, false);
}

DeferredShader::DeferredShader(char const* vertex, char const* fragment, bool)
    : Shader(PRIMITIVE_TRIANGLES) {
    build(vertex, nullptr, nullptr, nullptr, fragment, true);
}

DeferredShader::DeferredShader(char const* vertex, char const* geometry, char const* fragment, bool)
    : Shader(PRIMITIVE_TRIANGLES) {
    build(vertex, nullptr, nullptr, geometry, fragment, true);
}

DeferredShader::DeferredShader(char const* vertex, char const* tessControl,
                               char const* tessEvaluation, char const* fragment, bool)
    : Shader(PRIMITIVE_PATCHES) {
    build(vertex, tessControl, tessEvaluation, nullptr, fragment, true);
}

DeferredShader::DeferredShader(char const* vertex, char const* tessControl,
                               char const* tessEvaluation, char const* geometry,
                               char const* fragment, bool)
    : Shader(PRIMITIVE_PATCHES) {
    build(vertex, tessControl, tessEvaluation, geometry, fragment, true);
}

void DeferredShader::bindFragDataLocation() {
    bindOutput("fragDiffuse", OUTPUT_DIFFUSE);
    bindOutput("fragSpecular", OUTPUT_SPECULAR);
    bindOutput("fragNormal", OUTPUT_NORMAL);
    bindOutput("fragEmit", OUTPUT_EMIT);
}

} // namespace Engine::Render::Shader
