#pragma once

// Test doubles shared by the scene tests: shaders that need no GL context,
// parts and cameras that record what happens to them, and builders of meshes
// with boxes.

#include <Engine/Render/Shader/Shader.h>
#include <Engine/Scene/Camera.h>
#include <Engine/Scene/Collision/AxisAlignedBox.h>
#include <Engine/Scene/Collision/OrientedBox.h>
#include <Engine/Scene/Materials/IMaterialPart.h>
#include <Engine/Scene/Materials/Material.h>
#include <Engine/Scene/Mesh.h>
#include <Engine/Scene/ScreenCamera.h>
#include <Engine/Util/Timer.h>

namespace SceneDoubles {

// A shader object without a GL program: it only carries an id, so materials
// can be sorted and culled without a GL context.
class IdShader : public Engine::Render::Shader::Shader {
public:
    explicit IdShader(unsigned short id) : Shader(PRIMITIVE_TRIANGLES) { Id(id); }
};

// A part that counts how often it was applied and destroyed.
class CountingPart : public Engine::Scene::Materials::IMaterialPart {
public:
    CountingPart(int* applied, int* destroyed) : applied(applied), destroyed(destroyed) {}
    ~CountingPart() override { ++*destroyed; }
    void ToShader(Engine::Render::Shader::Shader*) override { ++*applied; }

private:
    int* applied;
    int* destroyed;
};

// A screen camera that renders nothing.
class SilentScreenCamera : public Engine::Scene::ScreenCamera {
public:
    using ScreenCamera::ScreenCamera;
    void RenderFrame(Engine::Util::Timer const&) override {}
};

// The base camera, which lists every mesh without a test.
class PlainCamera : public Engine::Scene::Camera {
public:
    using Camera::Camera;
    void RenderFrame(Engine::Util::Timer const&) override {}
};

// A material of the shader with no parts.
inline Engine::Scene::Materials::Material* materialOf(Engine::Render::Shader::Shader* shader) {
    return new Engine::Scene::Materials::Material(shader, 0);
}

// A group node with a material and a world-space box from min to max (the
// box is placed by an identity absolute matrix).
inline Engine::Scene::Mesh* boxedMesh(Engine::Render::Shader::Shader* shader,
                                      Engine::Math::Vec3f const& min,
                                      Engine::Math::Vec3f const& max) {
    using namespace Engine::Scene;
    auto* mesh = new Mesh();
    if (shader != nullptr) {
        mesh->CurrentMaterial(materialOf(shader));
    }
    const Engine::Math::Vec3f size = max - min;
    auto* box = new Collision::OrientedBox(
        Engine::Math::Vec4f(min, 1.0f), Engine::Math::Vec3f(size.X(), 0, 0),
        Engine::Math::Vec3f(0, size.Y(), 0), Engine::Math::Vec3f(0, 0, size.Z()), mesh);
    mesh->Boundings(new Collision::AxisAlignedBox(box));
    mesh->Boundings()->Update(Engine::Math::Mat4f(), 0.0f);
    return mesh;
}

} // namespace SceneDoubles
