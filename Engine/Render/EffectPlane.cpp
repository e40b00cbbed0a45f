#include <Engine/Render/EffectPlane.h>
#include <Engine/Render/Shader/Shader.h>
#include <GL/glew.h>

namespace Engine::Render {

namespace {
// Two triangles covering the viewport in normalised device coordinates.
const float QuadVertices[EffectPlane::VertexCount * 2] = {-1.0f, -1.0f, 1.0f,  -1.0f, -1.0f, 1.0f,
                                                          1.0f,  1.0f,  -1.0f, 1.0f,  1.0f,  -1.0f};
} // namespace

EffectPlane::EffectPlane() {
    init();
}

EffectPlane::~EffectPlane() {
    cleanUp();
}

void EffectPlane::init() {
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof QuadVertices, QuadVertices, GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void EffectPlane::cleanUp() {
    if (vertexBuffer != 0) {
        glDeleteBuffers(1, &vertexBuffer);
        vertexBuffer = 0;
    }
}

void EffectPlane::enableVertexBO() {
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void EffectPlane::draw(Shader::Shader* shader) {
    glDrawArrays(shader->PrimitiveType(), 0, VertexCount);
}

void EffectPlane::disableVertexBO() {
    glDisableVertexAttribArray(0);
}

} // namespace Engine::Render
