#include <Engine/Render/Shader/Shader.h>
#include <Engine/Scene/Collision/AxisAlignedBox.h>
#include <Engine/Scene/Collision/OrientedBox.h>
#include <Engine/Util/DebugDrawSettings.h>
#include <GL/glew.h>

namespace Engine::Scene::Collision {

AxisAlignedBox::AxisAlignedBox(OrientedBox* box) : box(box) {}

AxisAlignedBox::~AxisAlignedBox() {
    delete box;
}

void AxisAlignedBox::Update(Math::Mat4f const& ownerMatrix, float time) {
    if (box == nullptr) {
        return;
    }
    box->Update(ownerMatrix, time);
    min = box->Minimum();
    max = box->Maximum();
}

void AxisAlignedBox::DrawDebug(Render::Shader::Shader* shader, Render::CDFrameBuffer* target) {
    using Math::Vec4f;
    if (Util::DebugDrawSettings::Prepare(shader, target)) {
        const float x0 = min.X(), y0 = min.Y(), z0 = min.Z();
        const float x1 = max.X(), y1 = max.Y(), z1 = max.Z();
        // The face x = min.x, the four edges along x, the face x = max.x.
        Vec4f edges[24] = {
            Vec4f(x0, y0, z0, 1), Vec4f(x0, y1, z0, 1), Vec4f(x0, y1, z0, 1), Vec4f(x0, y1, z1, 1),
            Vec4f(x0, y1, z1, 1), Vec4f(x0, y0, z1, 1), Vec4f(x0, y0, z1, 1), Vec4f(x0, y0, z0, 1),
            Vec4f(x0, y0, z0, 1), Vec4f(x1, y0, z0, 1), Vec4f(x0, y1, z0, 1), Vec4f(x1, y1, z0, 1),
            Vec4f(x0, y1, z1, 1), Vec4f(x1, y1, z1, 1), Vec4f(x0, y0, z1, 1), Vec4f(x1, y0, z1, 1),
            Vec4f(x1, y0, z0, 1), Vec4f(x1, y1, z0, 1), Vec4f(x1, y1, z0, 1), Vec4f(x1, y1, z1, 1),
            Vec4f(x1, y1, z1, 1), Vec4f(x1, y0, z1, 1), Vec4f(x1, y0, z1, 1), Vec4f(x1, y0, z0, 1)};
        shader->SetDiffuseColor(Math::Vec3f(1.0f, 1.0f, 0.0f));
        Util::DebugDrawSettings::DrawArrays(shader, edges, 24, GL_LINES);
    }
    if (box != nullptr) {
        box->DrawDebug(shader, target);
    }
}

} // namespace Engine::Scene::Collision
