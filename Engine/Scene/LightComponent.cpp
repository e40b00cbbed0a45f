#include <Engine/Data/TextureData.h>
#include <Engine/Math/Vec2f.h>
#include <Engine/Render/Shader/ForwardShader.h>
#include <Engine/Scene/DirectionalLight.h>
#include <Engine/Scene/Light.h>
#include <Engine/Scene/LightComponent.h>
#include <Engine/Scene/PointLight.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Util/DebugDrawSettings.h>
#include <GL/glew.h>

namespace Engine::Scene {

using Math::Vec3f;
using Math::Vec4f;

namespace {

// Icon size in normalised device coordinates across the viewport's width.
constexpr float IconSize = 0.06f;

} // namespace

LightComponent::~LightComponent() {
    for (Light* light : lights) {
        delete light;
    }
}

void LightComponent::Update(float time) {
    if (PositionComponent* position = PositionComponent::UpToDate(currentSceneObject, time)) {
        for (Light* light : lights) {
            light->Update(position->Matrix());
        }
    }
    lastUpdateTime = time;
}

void LightComponent::DrawDebug(Util::DebugDrawSettings const& settings, float heightOverWidth,
                               Render::CDFrameBuffer* target) {
    std::vector<Vec4f> points;
    std::vector<Vec4f> arrows;
    const Vec4f base = settings.DirLightBasePos();
    for (Light* light : lights) {
        switch (light->Type()) {
        case LIGHT_POINT:
        case LIGHT_SPOT:
        case LIGHT_SHADOW_POINT:
        case LIGHT_SHADOW_SPOT:
        case LIGHT_GOD_RAY_SPOT:
            // Every positional kind derives from PointLight.
            points.push_back(static_cast<PointLight*>(light)->WorldLocation());
            break;
        case LIGHT_DIRECTIONAL: {
            const Vec4f d(static_cast<DirectionalLight*>(light)->Direction(), 0.0f);
            const Vec4f tip = base + d;
            const Vec4f barb = base + d * 0.9f;
            arrows.insert(arrows.end(), {base, tip, barb + Vec4f(0.1f, 0.0f, 0.0f, 0.0f), tip,
                                         barb + Vec4f(-0.1f, 0.0f, 0.0f, 0.0f), tip});
            break;
        }
        }
    }

    Render::Shader::ForwardShader* sprite = settings.SpriteShader();
    if (!points.empty() && Util::DebugDrawSettings::Prepare(sprite, target)) {
        sprite->SetBillBoardSize(Math::Vec2f(IconSize, IconSize / heightOverWidth));
        if (settings.IconPointLight() != nullptr) {
            sprite->SetDiffuseTexture(settings.IconPointLight());
        }
        Util::DebugDrawSettings::DrawArrays(sprite, points.data(),
                                            static_cast<unsigned>(points.size()), GL_POINTS);
    }
    Render::Shader::ForwardShader* line = settings.LineShader();
    if (!arrows.empty() && Util::DebugDrawSettings::Prepare(line, target)) {
        line->SetDiffuseColor(Vec3f(1.0f, 0.8f, 0.0f));
        Util::DebugDrawSettings::DrawArrays(line, arrows.data(),
                                            static_cast<unsigned>(arrows.size()), GL_LINES);
    }
}

} // namespace Engine::Scene
