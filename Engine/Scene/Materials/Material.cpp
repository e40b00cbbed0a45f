#include <Engine/Render/Shader/Shader.h>
#include <Engine/Scene/Materials/IMaterialPart.h>
#include <Engine/Scene/Materials/Material.h>
#include <GL/glew.h>

namespace Engine::Scene::Materials {

using Render::Shader::Shader;

Material::Material(Shader* shader, unsigned char count)
    : parts(new IMaterialPart*[count]()), partCount(count), shader(shader) {}

Material::~Material() {
    for (unsigned int i = 0; i < partCount; ++i) {
        delete parts[i];
    }
    delete[] parts;
}

void Material::Activate() {
    if (shader == nullptr) {
        return;
    }
    shader->Activate();
    for (unsigned int i = 0; i < partCount; ++i) {
        if (parts[i] != nullptr) {
            parts[i]->ToShader(shader);
        }
    }
}

void Material::Deactivate() {
    glUseProgram(0);
}

} // namespace Engine::Scene::Materials
