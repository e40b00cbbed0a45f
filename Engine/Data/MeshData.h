#pragma once

#include <Engine/Export.h>
#include <Engine/Util/BaseVertex.h>
#include <Engine/Util/MaxVertex.h>
#include <Engine/Util/UVCoordMapping.h>
#include <Engine/Util/UVVertex.h>
#include <map>

namespace Engine::Scene {

// The GPU copy of one indexed triangle geometry: a vertex buffer in one of the
// three vertex formats, a 32-bit index buffer and the index count. Meshes own
// vertex array objects and let BindToVAO describe the attributes into them.
class ENGINE_API MeshData {
public:
    // Vertex format codes.
    static constexpr unsigned char FORMAT_BASE = 0;
    static constexpr unsigned char FORMAT_UV = 1;
    static constexpr unsigned char FORMAT_MAX = 10;
    // Buffer name meaning "no buffer".
    static constexpr unsigned int NO_BUFFER = 0xFFFFFFFFu;

    // Upload copies of the arrays; the caller keeps them.
    MeshData(Util::BaseVertex* vertices, unsigned int vertexCount, unsigned int* indices,
             unsigned int indexCount);
    MeshData(Util::UVVertex* vertices, unsigned int vertexCount, unsigned int* indices,
             unsigned int indexCount);
    MeshData(Util::MaxVertex* vertices, unsigned int vertexCount, unsigned int* indices,
             unsigned int indexCount);
    ~MeshData();
    MeshData(MeshData const&) = delete;
    MeshData& operator=(MeshData const&) = delete;

    // glDrawElements over all indices with the vertex array object the caller
    // has bound.
    void Draw(unsigned int mode);
    // Describes this geometry's vertex attributes into the vertex array
    // object, reading each material texture's coordinates and tangent from the
    // channel the mapping names (channel 0 when the key is absent).
    void BindToVAO(int vertexArrayObject, std::map<UVCoordMapping, unsigned char> mapping);

    unsigned int VertexBuffer() const { return vertexBuffer; }
    unsigned int IndexBuffer() const { return indexBuffer; }
    unsigned int IndexCount() const { return indexCount; }
    unsigned char Format() const { return format; }

private:
    void upload(void const* vertices, unsigned int vertexCount, unsigned int vertexSize,
                unsigned int* indices, unsigned int indexCount, unsigned char formatCode);

    unsigned int vertexBuffer = NO_BUFFER;
    unsigned int indexBuffer = NO_BUFFER;
    unsigned int indexCount = 0;
    unsigned char format = FORMAT_BASE;
};

} // namespace Engine::Scene
