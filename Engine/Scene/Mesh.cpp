#include <Engine/Data/MeshData.h>
#include <Engine/Render/Shader/Shader.h>
#include <Engine/Scene/Collision/AxisAlignedBox.h>
#include <Engine/Scene/Materials/Material.h>
#include <Engine/Scene/Mesh.h>
#include <GL/glew.h>
#include <utility>

namespace Engine::Scene {

using Math::Mat4f;
using Render::Shader::Shader;

Mesh::Mesh() = default;

Mesh::Mesh(Util::SharedPointer<MeshData> geometry, Materials::Material* material,
           std::map<UVCoordMapping, unsigned char> mapping)
    : geometry(std::move(geometry)), material(material) {
    GLuint name = 0;
    glGenVertexArrays(1, &name);
    vertexArrayObject = name;
    if (MeshData* data = this->geometry.GetCounter() ? this->geometry.operator->() : nullptr) {
        data->BindToVAO(static_cast<int>(vertexArrayObject), std::move(mapping));
    }
}

Mesh::~Mesh() {
    if (vertexArrayObject != NoVertexArray) {
        GLuint name = vertexArrayObject;
        glDeleteVertexArrays(1, &name);
    }
    for (Mesh* child : children) {
        delete child;
    }
    children.clear();
    delete boundings;
    delete material;
}

Mesh& Mesh::CurrentMaterial(Materials::Material* value) {
    if (value != material) {
        delete material;
    }
    material = value;
    return *this;
}

void Mesh::Boundings(Collision::AxisAlignedBox* box) {
    if (box != boundings) {
        delete boundings;
    }
    boundings = box;
}

void Mesh::Update(Mat4f const& parent) {
    absoluteMatrix = parent * localMatrix;
    for (Mesh* child : children) {
        child->Update(absoluteMatrix);
    }
}

void Mesh::Draw(bool withMaterial) {
    Shader* shader = (withMaterial && material != nullptr) ? material->CurrentShader() : nullptr;
    if (shader != nullptr) {
        material->Activate();
        shader->SetMatrix(absoluteMatrix);
    }
    // Geometry whose data is already released draws nothing.
    MeshData* data = geometry.GetCounter() ? geometry.operator->() : nullptr;
    if (vertexArrayObject != NoVertexArray && data != nullptr) {
        const GLenum mode = shader != nullptr ? shader->PrimitiveType() : GL_TRIANGLES;
        glBindVertexArray(vertexArrayObject);
        glDrawElements(mode, static_cast<GLsizei>(data->IndexCount()), GL_UNSIGNED_INT, nullptr);
        glBindVertexArray(0);
    }
    if (shader != nullptr) {
        shader->Deactivate();
    }
}

} // namespace Engine::Scene
