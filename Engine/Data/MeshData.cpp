#include <Engine/Data/MeshData.h>
#include <Engine/Render/Shader/Shader.h>
#include <Engine/Util/Logger.h>
#include <GL/glew.h>
#include <cstdint>

namespace Engine::Scene {

using Render::Shader::Shader;
using Util::UVVertex;

namespace {

// Byte offset of a value in client-side buffer terms.
void const* offsetPointer(unsigned int offset) {
    return reinterpret_cast<void const*>(static_cast<std::uintptr_t>(offset));
}

void describe(unsigned int location, int components, unsigned int stride, unsigned int offset) {
    glEnableVertexAttribArray(location);
    glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, static_cast<GLsizei>(stride),
                          offsetPointer(offset));
}

// The channel the mapping names for a key; channel 0 when the key is absent.
// A channel the vertices do not have is refused, so that no attribute reads
// past the end of a vertex.
unsigned int channelOf(std::map<UVCoordMapping, unsigned char> const& mapping, UVCoordMapping key) {
    auto const found = mapping.find(key);
    if (found == mapping.end()) {
        return 0;
    }
    if (found->second >= UVVertex::ChannelCount) {
        Util::Logger::Instance()->Fatal(
            "Texture channel out of range in a mesh's UV mapping; channel 0 used instead");
        return 0;
    }
    return found->second;
}

} // namespace

MeshData::MeshData(Util::BaseVertex* vertices, unsigned int vertexCount, unsigned int* indices,
                   unsigned int indexCount) {
    upload(vertices, vertexCount, Util::BaseVertex::Size, indices, indexCount, FORMAT_BASE);
}

MeshData::MeshData(Util::UVVertex* vertices, unsigned int vertexCount, unsigned int* indices,
                   unsigned int indexCount) {
    upload(vertices, vertexCount, Util::UVVertex::Size, indices, indexCount, FORMAT_UV);
}

MeshData::MeshData(Util::MaxVertex* vertices, unsigned int vertexCount, unsigned int* indices,
                   unsigned int indexCount) {
    upload(vertices, vertexCount, Util::MaxVertex::Size, indices, indexCount, FORMAT_MAX);
}

void MeshData::upload(void const* vertices, unsigned int vertexCount, unsigned int vertexSize,
                      unsigned int* indices, unsigned int count, unsigned char formatCode) {
    vertexBuffer = NO_BUFFER;
    indexBuffer = NO_BUFFER;
    indexCount = count;
    glGenBuffers(1, &vertexBuffer);
    glGenBuffers(1, &indexBuffer);

    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount) * vertexSize, vertices,
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    glBindVertexArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(count) * static_cast<GLsizeiptr>(sizeof(unsigned int)),
                 indices, GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    format = formatCode;
}

MeshData::~MeshData() {
    if (indexBuffer != NO_BUFFER) {
        glDeleteBuffers(1, &indexBuffer);
    }
    if (vertexBuffer != NO_BUFFER) {
        glDeleteBuffers(1, &vertexBuffer);
    }
    indexBuffer = NO_BUFFER;
    vertexBuffer = NO_BUFFER;
    indexCount = 0;
}

void MeshData::Draw(unsigned int mode) {
    glDrawElements(mode, static_cast<GLsizei>(indexCount), GL_UNSIGNED_INT, nullptr);
}

void MeshData::BindToVAO(int vertexArrayObject, std::map<UVCoordMapping, unsigned char> mapping) {
    glBindVertexArray(static_cast<GLuint>(vertexArrayObject));
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    if (format == FORMAT_BASE || format == FORMAT_UV) {
        unsigned int const stride = format == FORMAT_BASE ? Util::BaseVertex::Size : UVVertex::Size;
        describe(Shader::HANDLE_VERTEX, 4, stride, 0);
        describe(Shader::HANDLE_NORMAL, 3, stride, 16);
        describe(Shader::HANDLE_SMOOTH_NORMAL, 3, stride, 28);
        // Vertices without texture channels leave the texture attributes
        // disabled: shaders then read the current generic attribute values.
        if (format == FORMAT_UV) {
            unsigned int const diffuse = channelOf(mapping, UVMAP_DIFFUSE);
            unsigned int const displacement = channelOf(mapping, UVMAP_DISPLACEMENT);
            unsigned int const normal = channelOf(mapping, UVMAP_NORMAL);
            unsigned int const first = UVVertex::FirstChannelOffset;
            unsigned int const size = UVVertex::ChannelSize;
            describe(Shader::HANDLE_DIFFUSE_UV, 2, stride, first + size * diffuse);
            describe(Shader::HANDLE_DIFFUSE_TANGENT, 4, stride, first + 8 + size * diffuse);
            describe(Shader::HANDLE_DISPLACEMENT_UV, 2, stride, first + size * displacement);
            describe(Shader::HANDLE_DISPLACEMENT_TANGENT, 4, stride,
                     first + 8 + size * displacement);
            describe(Shader::HANDLE_NORMAL_UV, 2, stride, first + size * normal);
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBindVertexArray(0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

} // namespace Engine::Scene
