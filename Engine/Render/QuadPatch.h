#pragma once

#include <Engine/Export.h>

namespace Engine::Render {

namespace Shader {
class Shader;
}

// A grid of four-vertex patches over the whole screen (normalised device
// coordinates -1 to 1): the base mesh of the tessellated scattering pass,
// which refines each cell where the picture needs it.
class ENGINE_API QuadPatch {
public:
    // Vertices along x and y (at least 2 each, at most 65536 in all).
    explicit QuadPatch(int columns = 2, int rows = 2);
    ~QuadPatch();
    QuadPatch(QuadPatch const&) = delete;
    QuadPatch& operator=(QuadPatch const&) = delete;

    // Draws every patch with the shader's primitive type.
    void draw(Shader::Shader* shader);

    int IndexCount() const { return indexCount; }
    int Columns() const { return columns; }
    int Rows() const { return rows; }
    unsigned int VertexArray() const { return vertexArray; }
    unsigned int IndexBuffer() const { return indexBuffer; }

private:
    void init();
    void cleanUp();

    unsigned int vertexArray = 0;
    unsigned int vertexBuffer = 0;
    unsigned int indexBuffer = 0;
    int indexCount = 0;
    int columns;
    int rows;
};

} // namespace Engine::Render
