#include <Engine/Render/Shader/Shader.h>
#include <Engine/Scene/BSPDrawComponent.h>
#include <Engine/Scene/BSPNode.h>
#include <Engine/Scene/BSPTreeBuilder.h>
#include <Engine/Scene/Materials/Material.h>
#include <Engine/Scene/PositionComponent.h>
#include <GL/glew.h>
#include <cstddef>
#include <iostream>

namespace Engine::Scene {

using Math::Vec3f;
using Render::Shader::Shader;
using Util::BaseVertex;

BSPDrawComponent::BSPDrawComponent(std::vector<BaseVertex> vertices,
                                   std::vector<unsigned int> indices, Materials::Material* material,
                                   SceneObject* owner)
    : IComponent(COMPONENT_BSP_DRAW, owner), material(material) {
    if (vertices.empty()) {
        return;
    }
    root = BSPTreeBuilder::Build(vertices, indices);
    glGenBuffers(1, &vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(BaseVertex)),
                 vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

BSPDrawComponent::~BSPDrawComponent() {
    if (root != nullptr) {
        std::cout << "DELEETETETE" << std::endl;
        delete root;
    }
    if (vertexBuffer != 0) {
        glDeleteBuffers(1, &vertexBuffer);
    }
}

void BSPDrawComponent::Update(float time) {
    if (PositionComponent* position = PositionComponent::UpToDate(currentSceneObject, time)) {
        matrix = position->Matrix();
    }
    lastUpdateTime = time;
}

void BSPDrawComponent::Draw(Vec3f const& eye, Shader* shader) {
    (void)shader;
    if (root == nullptr) {
        return;
    }
    constexpr GLsizei stride = sizeof(BaseVertex);
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    glEnableVertexAttribArray(Shader::HANDLE_VERTEX);
    glVertexAttribPointer(Shader::HANDLE_VERTEX, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void const*>(offsetof(BaseVertex, position)));
    glEnableVertexAttribArray(Shader::HANDLE_NORMAL);
    glVertexAttribPointer(Shader::HANDLE_NORMAL, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void const*>(offsetof(BaseVertex, normal)));
    glEnableVertexAttribArray(Shader::HANDLE_SMOOTH_NORMAL);
    glVertexAttribPointer(Shader::HANDLE_SMOOTH_NORMAL, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void const*>(offsetof(BaseVertex, smoothNormal)));

    drawIndices.clear();
    root->CreateIndexBuffer(eye, drawIndices);

    if (material != nullptr) {
        material->Activate();
        if (Shader* own = material->CurrentShader()) {
            own->SetMatrix(matrix);
        }
    }
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(drawIndices.size()), GL_UNSIGNED_INT,
                   drawIndices.data());
    glUseProgram(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

} // namespace Engine::Scene
