#include <Engine/Math/Vec4f.h>
#include <Engine/Render/Shader/ForwardShader.h>
#include <Engine/Scene/PathAnimationComponent.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Util/DebugDrawSettings.h>
#include <GL/glew.h>
#include <vector>

namespace Engine::Scene {

using Math::Mat4f;
using Math::Vec3f;

PathAnimationComponent::PathAnimationComponent(Util::CurvePoint** positionPoints,
                                               unsigned short positionCount,
                                               Util::CurvePoint** lookAtPoints,
                                               unsigned short lookAtCount, SceneObject* owner)
    : IComponent(COMPONENT_PATH_ANIMATION, owner), positionPath(positionPoints, positionCount),
      lookAtPath(lookAtPoints, lookAtCount) {}

Mat4f PathAnimationComponent::MatrixAt(float t) const {
    const Vec3f p = positionPath.Interpolate(t);
    const Vec3f q = lookAtPath.Interpolate(t);
    const Vec3f f = Vec3f::Normalize(q - p);
    const Vec3f s = Vec3f::Normalize(Vec3f::CrossProd(f, Vec3f(0.0f, 1.0f, 0.0f)));
    const Vec3f u = Vec3f::Normalize(Vec3f::CrossProd(s, f));
    // The look-at rotation has the rows s, u, -f; its transpose turns the
    // object's axes onto them.
    const Mat4f rotation(s.X(), s.Y(), s.Z(), 0.0f, u.X(), u.Y(), u.Z(), 0.0f, -f.X(), -f.Y(),
                         -f.Z(), 0.0f, 0.0f, 0.0f, 0.0f, 1.0f);
    return Mat4f::Translate(p) * Mat4f::Transpose(rotation);
}

void PathAnimationComponent::Update(float t) {
    // Without two curves there is no path to follow: the object stays put.
    const bool hasPaths = positionPath.PointCount() >= 2 && lookAtPath.PointCount() >= 2;
    if (hasPaths && currentSceneObject != nullptr) {
        if (auto* position = static_cast<PositionComponent*>(
                currentSceneObject->Components(COMPONENT_POSITION))) {
            position->Matrix(MatrixAt(t));
        }
    }
    lastUpdateTime = t;
}

void PathAnimationComponent::DrawDebug(Util::DebugDrawSettings const& settings,
                                       Render::CDFrameBuffer* target) {
    const Vec3f cyan(0.0f, 1.0f, 1.0f);
    positionPath.DrawDebug(settings, target, cyan);
    lookAtPath.DrawDebug(settings, target, Vec3f(1.0f, 0.0f, 1.0f));

    Render::Shader::ForwardShader* shader = settings.LineShader();
    if (positionPath.PointCount() < 2 || lookAtPath.PointCount() < 2 ||
        !Util::DebugDrawSettings::Prepare(shader, target)) {
        return;
    }
    // Sight lines every 3 s, from t = 0 up to the last whole second.
    const int count = static_cast<int>(positionPath.CurveLength()) / 3;
    std::vector<Math::Vec4f> lines;
    for (int i = 0; i <= count; ++i) {
        const float t = 3.0f * static_cast<float>(i);
        lines.emplace_back(positionPath.Interpolate(t), 1.0f);
        lines.emplace_back(lookAtPath.Interpolate(t), 1.0f);
    }
    shader->SetDiffuseColor(cyan);
    Util::DebugDrawSettings::DrawArrays(shader, lines.data(), static_cast<unsigned>(lines.size()),
                                        GL_LINES);
}

} // namespace Engine::Scene
