#include <Engine/Data/TextureData.h>
#include <Engine/Render/Shader/ForwardShader.h>
#include <Engine/Util/DebugDrawSettings.h>
#include <Engine/Util/Logger.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>
#include <cstdio>
#include <string>

namespace Engine::Util {

namespace {

char const* const ShaderDir = "../../TestData/Shader/";

std::string shaderPath(char const* name) {
    return std::string(ShaderDir) + name;
}

} // namespace

DebugDrawSettings::DebugDrawSettings() {
    // Worlds are also made where no context was ever made current (tests of
    // the scene logic); the settings then stay empty.
    if (!UtilFunctions::OpenGLLoaded()) {
        return;
    }
    using Render::Shader::ForwardShader;
    lineShader =
        new ForwardShader(shaderPath("debug.vert").c_str(), shaderPath("debug.frag").c_str());
    spriteShader =
        new ForwardShader(shaderPath("sprite.vert").c_str(), shaderPath("sprite.geom").c_str(),
                          shaderPath("sprite.frag").c_str());
    renderTargetShader = new ForwardShader(shaderPath("renderTargetShader.vert").c_str(),
                                           shaderPath("renderTargetShader.frag").c_str());

    iconPointLight = new Scene::TextureData();
    std::FILE* file = std::fopen(IconPath, "rb");
    if (file != nullptr) {
        iconPointLight->Load(file, true);
        std::fclose(file);
    } else {
        Logger::Instance()->Fatal("Cannot find PNG-File");
        Logger::Instance()->Message("Location: ", IconPath, nullptr);
    }
}

DebugDrawSettings::~DebugDrawSettings() {
    delete lineShader;
    delete spriteShader;
    delete renderTargetShader;
    delete iconPointLight; // its GL texture goes with it
}

bool DebugDrawSettings::Prepare(Render::Shader::Shader* shader, Render::CDFrameBuffer* target) {
    // An unlinked program would leave the fixed-function pipeline drawing.
    if (shader == nullptr || !shader->IsLinked()) {
        return false;
    }
    shader->Activate();
    shader->SetDepthTexture(target);
    return true;
}

void DebugDrawSettings::DrawArrays(Render::Shader::Shader const* shader, Math::Vec4f* vertices,
                                   unsigned count, unsigned mode) {
    if (count > 0) {
        shader->BindArrayToVertex(vertices);
        glDrawArrays(static_cast<GLenum>(mode), 0, static_cast<GLsizei>(count));
    }
    shader->UnbindArrayAtVertex();
    glUseProgram(0);
}

} // namespace Engine::Util
