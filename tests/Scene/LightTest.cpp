#include <Engine/Scene/DirectionalLight.h>
#include <Engine/Scene/LightComponent.h>
#include <Engine/Scene/PointLight.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/SpotLight.h>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace Engine::Scene;
using Engine::Math::Mat4f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;

namespace {

constexpr float LargestFloat = std::numeric_limits<float>::max();

} // namespace

TEST(PointLightReach, ConstantAttenuationOnlyReachesEverywhere) {
    PointLight light(Vec3f(1, 1, 1), true, Vec4f(0, 0, 0, 1), Vec3f(1, 0, 0));
    EXPECT_TRUE(light.AttenuationOn());
    EXPECT_EQ(light.MaxDistanceOfInfluence(), LargestFloat);
}

TEST(PointLightReach, LinearAttenuationUsesTheBrightestChannel) {
    PointLight light(Vec3f(2, 1, 1), true, Vec4f(0, 0, 0, 1), Vec3f(0, 0.5f, 0));
    EXPECT_FLOAT_EQ(light.MaxDistanceOfInfluence(), 400.0f);
    PointLight blue(Vec3f(0.5f, 1, 4), true, Vec4f(0, 0, 0, 1), Vec3f(2, 1, 0));
    EXPECT_FLOAT_EQ(blue.MaxDistanceOfInfluence(), 398.0f);
}

TEST(PointLightReach, QuadraticAttenuationTakesThePositiveRoot) {
    PointLight light(Vec3f(1, 1, 1), true, Vec4f(0, 0, 0, 1), Vec3f(1, 0, 1));
    const float expected = std::sqrt(0.01f) * std::sqrt(std::fabs(0.04f - 4.0f)) / 0.02f;
    EXPECT_NEAR(light.MaxDistanceOfInfluence(), expected, 1e-3f);
    EXPECT_NEAR(light.MaxDistanceOfInfluence(), 9.95f, 0.01f);
    // q d^2 + l d + c = m / t holds at the reach.
    PointLight mixed(Vec3f(3, 1, 1), true, Vec4f(0, 0, 0, 1), Vec3f(1, 2, 0.5f));
    const float d = mixed.MaxDistanceOfInfluence();
    EXPECT_NEAR(0.5f * d * d + 2.0f * d + 1.0f, 300.0f, 0.05f);
}

TEST(PointLightReach, NoAttenuationMeansUnlimitedReach) {
    PointLight light(Vec3f(5, 5, 5), false, Vec4f(1, 2, 3, 1));
    EXPECT_FALSE(light.AttenuationOn());
    EXPECT_EQ(light.Attenuation(), Vec3f(0, 0, 0));
    EXPECT_EQ(light.MaxDistanceOfInfluence(), LargestFloat);
    EXPECT_EQ(light.Type(), LIGHT_POINT);
}

TEST(PointLightReach, IntensityChangeKeepsReachUntilAttenuationIsSet) {
    PointLight light(Vec3f(2, 1, 1), true, Vec4f(0, 0, 0, 1), Vec3f(0, 0.5f, 0));
    light.Intensity(Vec3f(4, 1, 1));
    EXPECT_FLOAT_EQ(light.MaxDistanceOfInfluence(), 400.0f);
    light.AttenuationOn(false);
    EXPECT_FLOAT_EQ(light.MaxDistanceOfInfluence(), 400.0f);
    light.Attenuation(Vec3f(0, 0.5f, 0));
    EXPECT_FLOAT_EQ(light.MaxDistanceOfInfluence(), 800.0f);
}

TEST(PointLightUpdate, MovesTheLocationAndViewTranslation) {
    PointLight light(Vec3f(1, 1, 1), true, Vec4f(1, 0, 0, 1));
    EXPECT_EQ(light.WorldLocation(), Vec4f(0, 0, 0, 1));
    light.Update(Mat4f::Translate(Vec3f(0, 2, 0)) * Mat4f::RotateY(3.14159265f / 2));
    EXPECT_NEAR(light.WorldLocation().X(), 0.0f, 1e-6f);
    EXPECT_NEAR(light.WorldLocation().Y(), 2.0f, 1e-6f);
    EXPECT_NEAR(light.WorldLocation().Z(), -1.0f, 1e-6f);
    const Mat4f& view = light.ViewTranslationMat();
    EXPECT_FLOAT_EQ(view.M24(), -2.0f);
    EXPECT_FLOAT_EQ(view.M34(), -light.WorldLocation().Z());
    EXPECT_EQ(view.M11(), 1.0f);
    const Vec4f origin = view * light.WorldLocation();
    EXPECT_NEAR(origin.Length3(), 0.0f, 1e-6f);
}

TEST(SpotLightUpdate, TurnsTheDirectionWithoutNormalising) {
    SpotLight light(Vec3f(1, 1, 1), false, Vec4f(0, 0, 0, 1), Vec3f(0, 0, -2), 0.4f, 50.0f);
    EXPECT_EQ(light.Type(), LIGHT_SPOT);
    EXPECT_EQ(light.WorldDirection(), Vec3f(0, 0, 0));
    light.Update(Mat4f::Translate(Vec3f(5, 0, 0)) * Mat4f::RotateY(3.14159265f / 2));
    EXPECT_NEAR(light.WorldDirection().X(), -2.0f, 1e-6f);
    EXPECT_NEAR(light.WorldDirection().Z(), 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(light.WorldLocation().X(), 5.0f);
    // The inverse direction stays in object space.
    EXPECT_EQ(light.InverseDirection(), Vec3f(0, 0, 2));
    EXPECT_FLOAT_EQ(light.Angle(), 0.4f);
    EXPECT_FLOAT_EQ(light.RadialAttenuationEpx(), 50.0f);
    EXPECT_EQ(light.MaxDistanceOfInfluence(), LargestFloat);
}

TEST(SpotLightUpdate, AttenuatedSpotLightComputesItsReach) {
    SpotLight light(Vec3f(2, 1, 1), false, Vec4f(0, 0, 0, 1), Vec3f(0, 0, -1), 0.4f, 50.0f,
                    Vec3f(0, 0.5f, 0));
    EXPECT_FLOAT_EQ(light.MaxDistanceOfInfluence(), 400.0f);
}

TEST(DirectionalLightTest, DirectionIgnoresTheOwnerMatrix) {
    DirectionalLight light(Vec3f(1, 1, 1), true, Vec3f(0, -1, 0));
    light.Update(Mat4f::RotateX(1.0f));
    EXPECT_EQ(light.Direction(), Vec3f(0, -1, 0));
    EXPECT_EQ(light.InverseDirection(), Vec3f(0, 1, 0));
    EXPECT_EQ(light.Type(), LIGHT_DIRECTIONAL);
}

TEST(LightCopy, CopiesMemberByMember) {
    SpotLight light(Vec3f(1, 2, 3), true, Vec4f(1, 1, 1, 1), Vec3f(0, 0, -1), 0.3f, 20.0f);
    light.Update(Mat4f::Translate(Vec3f(1, 0, 0)));
    light.turnOff();
    SpotLight copy(light);
    EXPECT_FALSE(copy.isOn());
    EXPECT_EQ(copy.WorldLocation(), light.WorldLocation());
    EXPECT_EQ(copy.Intensity(), light.Intensity());
}

TEST(LightComponentTest, MovesEveryLightWithItsObject) {
    SceneObject object;
    auto* position = new PositionComponent(&object);
    position->Matrix(Mat4f::Translate(Vec3f(0, 0, 3)));
    object.Components()[COMPONENT_POSITION] = position;
    auto* component = new LightComponent(&object);
    auto* point = new PointLight(Vec3f(1, 1, 1), true, Vec4f(1, 0, 0, 1));
    auto* spot = new SpotLight(Vec3f(1, 1, 1), true, Vec4f(0, 1, 0, 1), Vec3f(1, 0, 0), 1, 1);
    component->Lights() = {point, spot};
    object.Components()[COMPONENT_LIGHT] = component;

    component->Update(2.0f);
    EXPECT_EQ(point->WorldLocation(), Vec4f(1, 0, 3, 1));
    EXPECT_EQ(spot->WorldLocation(), Vec4f(0, 1, 3, 1));
    EXPECT_EQ(position->LastUpdateFrame(), 2.0f);
    EXPECT_EQ(component->LastUpdateFrame(), 2.0f);
}
