#include <Engine/Scene/PathAnimationComponent.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Util/CurvePoint.h>
#include <gtest/gtest.h>

using namespace Engine::Scene;
using Engine::Math::Mat4f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;
using Engine::Util::CurvePoint;

namespace {

CurvePoint** twoPoints(Vec3f const& a, Vec3f const& b) {
    return new CurvePoint* [2] { new CurvePoint(a, 0.0f), new CurvePoint(b, 10.0f) };
}

} // namespace

TEST(PathAnimationComponentTest, PlacesTheObjectOnThePathLookingAtTheTarget) {
    SceneObject object;
    auto* position = new PositionComponent(&object);
    object.Components()[COMPONENT_POSITION] = position;
    auto* path =
        new PathAnimationComponent(twoPoints(Vec3f(0, 0, 0), Vec3f(10, 0, 0)), 2,
                                   twoPoints(Vec3f(0, 0, -10), Vec3f(10, 0, -10)), 2, &object);
    object.Components()[COMPONENT_PATH_ANIMATION] = path;
    EXPECT_EQ(path->Id(), COMPONENT_PATH_ANIMATION);

    path->Update(5.0f);
    EXPECT_EQ(path->LastUpdateFrame(), 5.0f);
    Mat4f const& m = position->Matrix();
    // Origin on the path, local -Z towards the look-at point, +X to the right.
    EXPECT_NEAR(m.M14(), 5.0f, 1e-5f);
    EXPECT_NEAR(m.M24(), 0.0f, 1e-5f);
    const Vec3f forward = m * Vec3f(0, 0, -1);
    EXPECT_NEAR(forward.Z(), -1.0f, 1e-5f);
    const Vec3f right = m * Vec3f(1, 0, 0);
    EXPECT_NEAR(right.X(), 1.0f, 1e-5f);
    const Vec3f up = m * Vec3f(0, 1, 0);
    EXPECT_NEAR(up.Y(), 1.0f, 1e-5f);
}

TEST(PathAnimationComponentTest, RotatedViewKeepsWorldUpAndMapsTheTargetOntoMinusZ) {
    SceneObject object;
    auto* position = new PositionComponent(&object);
    object.Components()[COMPONENT_POSITION] = position;
    object.Components()[COMPONENT_PATH_ANIMATION] =
        new PathAnimationComponent(twoPoints(Vec3f(1, 2, 3), Vec3f(1, 2, 3)), 2,
                                   twoPoints(Vec3f(4, 6, 3), Vec3f(4, 6, 3)), 2, &object);
    object.Components(COMPONENT_PATH_ANIMATION)->Update(1.0f);
    Mat4f const& m = position->Matrix();
    // The target (distance 5 along (3, 4, 0)) lies on the object's -Z axis.
    const Vec4f target = Mat4f::Invert(m) * Vec4f(4, 6, 3, 1);
    EXPECT_NEAR(target.X(), 0.0f, 1e-5f);
    EXPECT_NEAR(target.Y(), 0.0f, 1e-5f);
    EXPECT_NEAR(target.Z(), -5.0f, 1e-5f);
    // No roll: the right axis stays horizontal.
    EXPECT_NEAR((m * Vec3f(1, 0, 0)).Y(), 0.0f, 1e-6f);
}

TEST(PathAnimationComponentTest, StaysAtTheEndAfterTheLastKey) {
    SceneObject object;
    auto* position = new PositionComponent(&object);
    object.Components()[COMPONENT_POSITION] = position;
    PathAnimationComponent path(twoPoints(Vec3f(0, 0, 0), Vec3f(10, 0, 0)), 2,
                                twoPoints(Vec3f(0, 0, -10), Vec3f(20, 0, -10)), 2, &object);
    path.Update(30.0f);
    EXPECT_FLOAT_EQ(position->Matrix().M14(), 10.0f);
}

TEST(PathAnimationComponentTest, EmptyPathsLeaveTheMatrixAlone) {
    SceneObject object;
    auto* position = new PositionComponent(&object);
    position->Matrix(Mat4f::Translate(Vec3f(1, 2, 3)));
    object.Components()[COMPONENT_POSITION] = position;
    PathAnimationComponent path(nullptr, 0, nullptr, 0, &object);
    path.Update(1.0f);
    EXPECT_EQ(position->Matrix(), Mat4f::Translate(Vec3f(1, 2, 3)));
}
