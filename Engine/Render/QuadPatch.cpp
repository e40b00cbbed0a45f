#include <Engine/Render/QuadPatch.h>
#include <Engine/Render/Shader/Shader.h>
#include <GL/glew.h>
#include <algorithm>
#include <vector>

namespace Engine::Render {

QuadPatch::QuadPatch(int columns, int rows) : columns(columns), rows(rows) {
    init();
}

QuadPatch::~QuadPatch() {
    cleanUp();
}

void QuadPatch::init() {
    // A grid needs two vertices each way, and 16-bit indices reach 65536.
    columns = std::max(columns, 2);
    rows = std::max(rows, 2);
    if (columns * rows > 65536) {
        rows = std::max(2, 65536 / columns);
    }
    std::vector<float> vertices;
    vertices.reserve(static_cast<size_t>(columns * rows * 2));
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            vertices.push_back(-1.0f +
                               static_cast<float>(i) * 2.0f / static_cast<float>(columns - 1));
            vertices.push_back(-1.0f + static_cast<float>(j) * 2.0f / static_cast<float>(rows - 1));
        }
    }
    std::vector<unsigned short> indices;
    indices.reserve(static_cast<size_t>((columns - 1) * (rows - 1) * 4));
    for (int y = 0; y < rows - 1; ++y) {
        for (int x = 0; x < columns - 1; ++x) {
            const int a = y * columns + x;
            indices.push_back(static_cast<unsigned short>(a));
            indices.push_back(static_cast<unsigned short>(a + 1));
            indices.push_back(static_cast<unsigned short>(a + columns + 1));
            indices.push_back(static_cast<unsigned short>(a + columns));
        }
    }
    indexCount = static_cast<int>(indices.size());

    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(float)),
                 vertices.data(), GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glGenBuffers(1, &indexBuffer);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(indices.size() * sizeof(unsigned short)), indices.data(),
                 GL_STATIC_DRAW);
    // The vertex array keeps its index buffer.
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

void QuadPatch::cleanUp() {
    if (vertexArray != 0) {
        glDeleteVertexArrays(1, &vertexArray);
        vertexArray = 0;
    }
    if (indexBuffer != 0) {
        glDeleteBuffers(1, &indexBuffer);
        indexBuffer = 0;
    }
    if (vertexBuffer != 0) {
        glDeleteBuffers(1, &vertexBuffer);
        vertexBuffer = 0;
    }
}

void QuadPatch::draw(Shader::Shader* shader) {
    glBindVertexArray(vertexArray);
    glDrawElements(shader->PrimitiveType(), indexCount, GL_UNSIGNED_SHORT, nullptr);
    glBindVertexArray(0);
}

} // namespace Engine::Render
