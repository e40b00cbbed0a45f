#pragma once

#include <Engine/Export.h>
#include <Engine/Math/Vec4f.h>

namespace Engine::Render {
class CDFrameBuffer;
namespace Shader {
class ForwardShader;
class Shader;
} // namespace Shader
} // namespace Engine::Render

namespace Engine::Scene {
class TextureData;
}

namespace Engine::Util {

// What a world's debug overlays are drawn with: the line, sprite and
// render-target shaders, the lamp icon, the G-buffer inset to show and where
// directional-light arrows start. Without OpenGL it holds nothing and draws
// nothing.
class ENGINE_API DebugDrawSettings {
public:
    static constexpr char const* IconPath = "../../TestData/Textures/lamp_icon.png";

    DebugDrawSettings();
    ~DebugDrawSettings();
    DebugDrawSettings(DebugDrawSettings const&) = delete;
    DebugDrawSettings& operator=(DebugDrawSettings const&) = delete;

    Render::Shader::ForwardShader* LineShader() const { return lineShader; }
    Render::Shader::ForwardShader* SpriteShader() const { return spriteShader; }
    Render::Shader::ForwardShader* RenderTargetShader() const { return renderTargetShader; }
    Scene::TextureData* IconPointLight() const { return iconPointLight; }

    // 0 shows no inset, 1 the G-buffer's normals; other values are masked to these.
    unsigned short RenderTargetNumber() const { return renderTargetNumber; }
    void RenderTargetNumber(unsigned short number) { renderTargetNumber = number & 1u; }

    Math::Vec4f const& DirLightBasePos() const { return dirLightBasePos; }

    // The preamble of every overlay draw: activates the shader and binds the
    // target's depth texture for it. False when the shader cannot draw (absent
    // or not linked); the caller then draws nothing.
    static bool Prepare(Render::Shader::Shader* shader, Render::CDFrameBuffer* target);
    // Draws count vertices of a client array with the active shader, then
    // disables the vertex attribute and the program.
    static void DrawArrays(Render::Shader::Shader const* shader, Math::Vec4f* vertices,
                           unsigned count, unsigned mode);

private:
    Render::Shader::ForwardShader* lineShader = nullptr;
    Render::Shader::ForwardShader* spriteShader = nullptr;
    Render::Shader::ForwardShader* renderTargetShader = nullptr;
    Scene::TextureData* iconPointLight = nullptr;
    unsigned short renderTargetNumber = 0;
    Math::Vec4f dirLightBasePos{0.0f, 10.0f, 0.0f, 1.0f};
};

} // namespace Engine::Util
