#pragma once

#include <Engine/Export.h>

namespace Engine::Render {

namespace Shader {
class Shader;
}

// The full-screen quad of every full-screen pass: two triangles in normalised
// device coordinates in one vertex buffer, read by attribute 0 ("vertex") as
// two floats.
class ENGINE_API EffectPlane {
public:
    static const unsigned int VertexCount = 6;

    EffectPlane();
    ~EffectPlane();
    EffectPlane(EffectPlane const&) = delete;
    EffectPlane& operator=(EffectPlane const&) = delete;

    void enableVertexBO();
    // Draws the six vertices with the shader's primitive type.
    void draw(Shader::Shader* shader);
    void disableVertexBO();
    unsigned int VertexBuffer() const { return vertexBuffer; }

private:
    void init();
    void cleanUp();

    unsigned int vertexBuffer = 0;
};

} // namespace Engine::Render
