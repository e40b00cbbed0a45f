// The shadow cameras' matrices, without OpenGL: the cameras then keep their
// matrices and draw nothing.

#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>
#include <Engine/Scene/ShadowCastingPointLight.h>
#include <Engine/Scene/ShadowCastingSpotLight.h>
#include <Engine/Scene/ShadowCubeMapCamera.h>
#include <Engine/Scene/ShadowMapCamera.h>
#include <Engine/Util/Timer.h>
#include <cmath>
#include <gtest/gtest.h>

using Engine::Math::Mat4f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;
using Engine::Scene::ShadowCastingPointLight;
using Engine::Scene::ShadowCastingSpotLight;
using Engine::Scene::ShadowMapCamera;

namespace {

Vec3f row(Mat4f const& m, int r) {
    const float* e = m.GetGlMatrix();
    return Vec3f(e[r], e[4 + r], e[8 + r]);
}

void expectOrthonormal(Mat4f const& r) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(row(r, i).Length(), 1.0f, 1e-5f) << i;
        for (int j = i + 1; j < 3; ++j) {
            EXPECT_NEAR(Vec3f::DotProd(row(r, i), row(r, j)), 0.0f, 1e-5f) << i << j;
        }
    }
    // Right-handed: u x w = z.
    const Vec3f z = Vec3f::CrossProd(row(r, 0), row(r, 1));
    EXPECT_NEAR(Vec3f::DotProd(z, row(r, 2)), 1.0f, 1e-5f);
}

ShadowCastingSpotLight makeSpot(Vec3f const& direction) {
    return ShadowCastingSpotLight(Vec3f(1, 1, 1), false, Vec4f(1, 2, 3, 1), direction, 0.3f, 1.0f,
                                  nullptr);
}

} // namespace

TEST(ShadowMapCameraTest, LightRotationForEitherPerpendicularChoice) {
    struct Case {
        Vec3f direction;
        Vec3f expectedU; // u before normalisation, from z = -direction
    };
    // Along the z axis: u = (0, -z.z, z.y); nearly level (|z.z| < 0.1):
    // u = (-z.y, z.x, 0).
    const Case cases[] = {{Vec3f(0, 0, -1), Vec3f(0, -1, 0)},
                          {Vec3f(0.6f, -0.8f, 0.05f), Vec3f(-0.8f, -0.6f, 0)}};
    for (Case const& c : cases) {
        ShadowCastingSpotLight light(Vec3f(1, 1, 1), false, Vec4f(1, 2, 3, 1), c.direction, 0.3f,
                                     1.0f, nullptr);
        light.Update(Mat4f());
        Mat4f const& r = light.MapCamera()->LightRotation();
        expectOrthonormal(r);
        const Vec3f z = Vec3f::Normalize(c.direction * -1.0f);
        EXPECT_NEAR(Vec3f::DotProd(row(r, 2), z), 1.0f, 1e-5f);
        EXPECT_NEAR(Vec3f::DotProd(row(r, 0), Vec3f::Normalize(c.expectedU)), 1.0f, 1e-5f);
    }
}

TEST(ShadowMapCameraTest, LookupMatrixMapsTheNearPlaneCentreToTheMapCentre) {
    // A direction that is not unit length and an owner that moves the light.
    ShadowCastingSpotLight light(Vec3f(1, 1, 1), false, Vec4f(1, 2, 3, 1), Vec3f(0, -2, -1), 0.3f,
                                 1.0f, nullptr);
    light.Update(Mat4f::Translate(Vec3f(-1, 4, 0)));
    const Vec4f at = light.WorldLocation();
    const Vec3f dir = Vec3f::Normalize(light.WorldDirection());
    const Vec3f nearCentre = Vec3f(at.X(), at.Y(), at.Z()) + dir * ShadowCastingSpotLight::MapNear;
    const Vec4f uv =
        light.getShadowLookupMatrix() * Vec4f(nearCentre.X(), nearCentre.Y(), nearCentre.Z(), 1);
    EXPECT_NEAR(uv.X() / uv.W(), 0.5f, 1e-4f);
    EXPECT_NEAR(uv.Y() / uv.W(), 0.5f, 1e-4f);
    EXPECT_NEAR(uv.Z() / uv.W(), 0.0f, 1e-4f); // depth 0 on the near plane
    // The far plane's centre lies at depth 1, and the inverse camera matrix
    // takes clip space back to the world.
    const Vec3f farCentre = Vec3f(at.X(), at.Y(), at.Z()) + dir * ShadowCastingSpotLight::MapFar;
    const Vec4f clip =
        light.getCameraMatrix() * Vec4f(farCentre.X(), farCentre.Y(), farCentre.Z(), 1);
    EXPECT_NEAR(clip.Z() / clip.W(), 1.0f, 1e-3f);
    const Vec4f back = light.MapCamera()->getInverseCameraMatrix() * clip;
    EXPECT_NEAR(back.X() / back.W(), farCentre.X(), 1e-2f);
    EXPECT_NEAR(back.Y() / back.W(), farCentre.Y(), 1e-2f);
    EXPECT_NEAR(back.Z() / back.W(), farCentre.Z(), 1e-2f);
}

TEST(ShadowMapCameraTest, MapCoversTheConeWithAMargin) {
    ShadowCastingSpotLight light = makeSpot(Vec3f(0, -1, 0));
    EXPECT_FLOAT_EQ(light.MapCamera()->FoV(), 2.0f * 0.3f + 0.0872664675116539f);
    EXPECT_EQ(light.getNearAndFarPlane().X(), 0.4f);
    EXPECT_EQ(light.getNearAndFarPlane().Y(), 100.0f);
    EXPECT_EQ(ShadowMapCamera::mapLightType(LIGHT_GOD_RAY_SPOT), 1);
    EXPECT_EQ(ShadowMapCamera::mapLightType(LIGHT_SHADOW_SPOT), 0);
    EXPECT_EQ(ShadowMapCamera::mapLightType(LIGHT_POINT), 0);
}

TEST(ShadowMapCameraTest, RequestsAndBlursFollowTheFlags) {
    ShadowCastingSpotLight light = makeSpot(Vec3f(0, -1, 0));
    EXPECT_TRUE(light.MapUpdatePending());
    EXPECT_FALSE(light.MapBlurPending());
    const Engine::Util::Timer timer;
    light.renderShadowMap(timer); // no OpenGL: the camera draws nothing
    EXPECT_FALSE(light.MapUpdatePending());
    EXPECT_TRUE(light.MapBlurPending());
    light.blurShadowMap(nullptr, nullptr);
    EXPECT_FALSE(light.MapBlurPending());
    light.mapNeedsUpdate();
    EXPECT_TRUE(light.MapUpdatePending());
}

TEST(ShadowCubeMapCameraTest, FacesAreTheStandardCubeMapOrientations) {
    ShadowCastingPointLight light(Vec3f(1, 1, 1), false, Vec4f(0, 0, 0, 1), nullptr);
    // Face i looks along its axis: its rotation turns that axis into -Z.
    const Vec3f axes[6] = {Vec3f(1, 0, 0),  Vec3f(-1, 0, 0), Vec3f(0, 1, 0),
                           Vec3f(0, -1, 0), Vec3f(0, 0, 1),  Vec3f(0, 0, -1)};
    for (int i = 0; i < 6; ++i) {
        Mat4f const& face = light.CubeMapCamera()->FaceMatrix(i);
        expectOrthonormal(face);
        const Vec3f view = face * axes[i];
        EXPECT_NEAR(view.Z(), -1.0f, 1e-6f) << i;
    }
    EXPECT_EQ(light.getNearAndFarPlane().X(), 0.1f);
    EXPECT_EQ(light.getNearAndFarPlane().Y(), 50.0f);
}
