#include <Engine/Data/TextureData.h>
#include <Engine/Render/Shader/ForwardShader.h>
#include <GL/glew.h>

namespace Engine::Render::Shader {

void ForwardShader::build(char const* vertex, char const* tessControl, char const* tessEvaluation,
                          char const* geometry, char const* fragment, bool fromSource) {
    loadStages(vertex, tessControl, tessEvaluation, geometry, fragment, fromSource);
    if (linkWithPlainOutput()) {
        bindUniformLocation();
    }
}

ForwardShader::ForwardShader(char const* vertex, char const* fragment)
    : Shader(PRIMITIVE_TRIANGLES) {
    build(vertex, nullptr, nullptr, nullptr, fragment, false);
}

ForwardShader::ForwardShader(char const* vertex, char const* geometry, char const* fragment)
    : Shader(PRIMITIVE_TRIANGLES) {
    build(vertex, nullptr, nullptr, geometry, fragment, false);
}

ForwardShader::ForwardShader(char const* vertex, char const* tessControl,
                             char const* tessEvaluation, char const* fragment)
    : Shader(PRIMITIVE_PATCHES) {
    build(vertex, tessControl, tessEvaluation, nullptr, fragment, false);
}

ForwardShader::ForwardShader(char const* vertex, char const* tessControl,
                             char const* tessEvaluation, char const* geometry, char const* fragment)
    : Shader(PRIMITIVE_PATCHES) {
    build(vertex, tessControl, tessEvaluation, geometry, fragment, false);
}

ForwardShader::ForwardShader(char const* vertex, char const* fragment, bool)
    : Shader(PRIMITIVE_TRIANGLES) {
    build(vertex, nullptr, nullptr, nullptr, fragment, true);
}

ForwardShader::ForwardShader(char const* vertex, char const* geometry, char const* fragment, bool)
    : Shader(PRIMITIVE_TRIANGLES) {
    build(vertex, nullptr, nullptr, geometry, fragment, true);
}

ForwardShader::ForwardShader(char const* vertex, char const* tessControl,
                             char const* tessEvaluation, char const* fragment, bool)
    : Shader(PRIMITIVE_PATCHES) {
    build(vertex, tessControl, tessEvaluation, nullptr, fragment, true);
}

ForwardShader::ForwardShader(char const* vertex, char const* tessControl,
                             char const* tessEvaluation, char const* geometry, char const* fragment,
                             bool)
    : Shader(PRIMITIVE_PATCHES) {
    build(vertex, tessControl, tessEvaluation, geometry, fragment, true);
}

void ForwardShader::SetDiffuseTexture(unsigned int texture) const {
    bindTexture(colorTextureLocation, Scene::TextureData::DIFFUSE_UNIT, texture);
}

} // namespace Engine::Render::Shader
