#include "SceneDoubles.h"

#include <Engine/Scene/CameraComponent.h>
#include <Engine/Scene/DirectionalLight.h>
#include <Engine/Scene/Internal/ScreenCameraAccess.h>
#include <Engine/Scene/LightComponent.h>
#include <Engine/Scene/MeshDrawComponent.h>
#include <Engine/Scene/PointLight.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/SpotLight.h>
#include <Engine/Scene/World.h>
#include <gtest/gtest.h>
#include <vector>

using Engine::Scene::Internal::ScreenCameraAccess;
using namespace Engine::Scene;
using namespace SceneDoubles;
using Engine::Math::Mat4f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;

namespace {

constexpr float QuarterTurn = 1.5707963f;

// A world seen by a camera at the origin looking down -Z with a 90 degree
// square view, near 1 and far 100.
class CullingTest : public ::testing::Test {
protected:
    CullingTest() : camera(new SilentScreenCamera(&world, nullptr, 100, 100, QuarterTurn, 1, 100)) {
        auto* object = new SceneObject();
        object->Components()[COMPONENT_POSITION] = new PositionComponent(object);
        object->Components()[COMPONENT_CAMERA] = new CameraComponent(camera, object);
        world.AddSceneObject(object);
    }

    SceneObject* addMeshObject(Mesh* mesh) {
        auto* object = new SceneObject();
        object->Components()[COMPONENT_POSITION] = new PositionComponent(object);
        object->Components()[COMPONENT_MESH_DRAW] = new MeshDrawComponent(mesh, object);
        world.AddSceneObject(object);
        return object;
    }

    void addLights(std::vector<Light*> const& lights) {
        auto* object = new SceneObject();
        object->Components()[COMPONENT_POSITION] = new PositionComponent(object);
        auto* component = new LightComponent(object);
        component->Lights() = lights;
        object->Components()[COMPONENT_LIGHT] = component;
        world.AddSceneObject(object);
    }

    std::vector<Mesh*> listed(unsigned short shaderId) const {
        auto const& list = camera->CurrentRenderList();
        auto found = list.find(shaderId);
        return found == list.end() ? std::vector<Mesh*>{} : found->second;
    }

    std::vector<Light*> visible(LightType type) const {
        auto const& map = camera->VisibleLights();
        auto found = map.find(type);
        return found == map.end() ? std::vector<Light*>{} : found->second;
    }

    IdShader shader{7};
    IdShader otherShader{3};
    World world;
    SilentScreenCamera* camera;
};

} // namespace

TEST_F(CullingTest, FrustumPlanesPointInwards) {
    camera->Update(Mat4f(), true);
    EXPECT_EQ(ScreenCameraAccess::PlaneNormal(*camera, ScreenCamera::PLANE_NEAR), Vec3f(0, 0, -1));
    EXPECT_EQ(ScreenCameraAccess::PlaneNormal(*camera, ScreenCamera::PLANE_FAR), Vec3f(0, 0, 1));
    EXPECT_FLOAT_EQ(ScreenCameraAccess::PlaneDistance(*camera, ScreenCamera::PLANE_NEAR), -1.0f);
    EXPECT_FLOAT_EQ(ScreenCameraAccess::PlaneDistance(*camera, ScreenCamera::PLANE_FAR), 100.0f);
    const Vec3f right = ScreenCameraAccess::PlaneNormal(*camera, ScreenCamera::PLANE_RIGHT);
    EXPECT_NEAR(right.X(), -0.70710677f, 1e-6f);
    EXPECT_NEAR(right.Z(), -0.70710677f, 1e-6f);
    const Vec3f top = ScreenCameraAccess::PlaneNormal(*camera, ScreenCamera::PLANE_TOP);
    EXPECT_NEAR(top.Y(), -0.70710677f, 1e-6f);
    EXPECT_NEAR(top.Z(), -0.70710677f, 1e-6f);

    // A moved and turned camera: a point ahead is inside every plane, points
    // behind, beyond the far plane or off to one side are not.
    const Mat4f pose = Mat4f::Translate(Vec3f(3, 4, 5)) * Mat4f::RotateY(0.7f);
    camera->Update(pose, true);
    auto inside = [this](Vec3f const& p) {
        for (int i = 0; i < ScreenCamera::PLANE_COUNT; ++i) {
            if (Vec3f::DotProd(ScreenCameraAccess::PlaneNormal(*camera, i), p) +
                    ScreenCameraAccess::PlaneDistance(*camera, i) <
                0.0f) {
                return false;
            }
        }
        return true;
    };
    const Vec3f eye(3, 4, 5);
    const Vec3f ahead = camera->View();
    const Vec3f side = pose * Vec3f(1, 0, 0);
    EXPECT_TRUE(inside(eye + ahead * 10.0f));
    EXPECT_FALSE(inside(eye - ahead * 10.0f));
    EXPECT_FALSE(inside(eye + ahead * 101.0f));
    EXPECT_FALSE(inside(eye + ahead * 10.0f + side * 10.5f));
    EXPECT_TRUE(inside(eye + ahead * 10.0f + side * 9.5f));
}

TEST_F(CullingTest, BoxJustOutsideWithinToleranceIsStillListed) {
    // The near plane is z = -1; the boxes reach from z = 0 towards it.
    Mesh* touching = boxedMesh(&shader, Vec3f(-1, -1, -0.985f), Vec3f(1, 1, 0));
    Mesh* beyond = boxedMesh(&shader, Vec3f(-1, -1, -0.975f), Vec3f(1, 1, 0));
    addMeshObject(touching);
    addMeshObject(beyond);
    camera->Update(Mat4f(), true);
    EXPECT_EQ(listed(7), std::vector<Mesh*>{touching});
}

TEST_F(CullingTest, SidePlaneUsesTheToleranceToo) {
    // The right plane is x = -z; at z = -10 the view ends at x = 10.
    Mesh* touching = boxedMesh(&shader, Vec3f(10.0212f, -1, -10), Vec3f(11, 1, -9));
    Mesh* beyond = boxedMesh(&shader, Vec3f(10.0354f, -1, -10), Vec3f(11, 1, -9));
    Mesh* inside = boxedMesh(&shader, Vec3f(9.0f, -1, -10), Vec3f(11, 1, -9));
    addMeshObject(touching);
    addMeshObject(beyond);
    addMeshObject(inside);
    camera->Update(Mat4f(), true);
    EXPECT_EQ(listed(7), (std::vector<Mesh*>{touching, inside}));
}

TEST_F(CullingTest, RejectedParentDoesNotHideItsVisibleChild) {
    Mesh* parent = boxedMesh(&shader, Vec3f(-1, -1, 5), Vec3f(1, 1, 6));
    Mesh* child = boxedMesh(&shader, Vec3f(-1, -1, -6), Vec3f(1, 1, -5));
    Mesh* hiddenChild = boxedMesh(&shader, Vec3f(-1, -1, 7), Vec3f(1, 1, 8));
    parent->Meshes() = {child, hiddenChild};
    addMeshObject(parent);
    camera->Update(Mat4f(), true);
    EXPECT_EQ(listed(7), std::vector<Mesh*>{child});
}

TEST_F(CullingTest, MeshesWithoutBoxAreListedAndWithoutMaterialSkipped) {
    auto* unboxed = new Mesh();
    unboxed->CurrentMaterial(materialOf(&shader));
    auto* bare = new Mesh(); // no material: never listed
    Mesh* child = boxedMesh(&otherShader, Vec3f(-1, -1, -6), Vec3f(1, 1, -5));
    bare->Meshes().push_back(child);
    auto* shaderless = new Mesh();
    shaderless->CurrentMaterial(materialOf(nullptr));
    addMeshObject(unboxed);
    addMeshObject(bare);
    addMeshObject(shaderless);
    camera->Update(Mat4f(), true);
    EXPECT_EQ(listed(7), std::vector<Mesh*>{unboxed});
    EXPECT_EQ(listed(3), std::vector<Mesh*>{child});
    EXPECT_EQ(camera->CurrentRenderList().size(), 2u);
}

TEST_F(CullingTest, SharedShaderListsInWorldThenDepthFirstOrder) {
    Mesh* a = boxedMesh(&shader, Vec3f(-1, -1, -6), Vec3f(1, 1, -5));
    Mesh* a1 = boxedMesh(&shader, Vec3f(-1, -1, -6), Vec3f(1, 1, -5));
    Mesh* a11 = boxedMesh(&shader, Vec3f(-1, -1, -6), Vec3f(1, 1, -5));
    Mesh* a2 = boxedMesh(&otherShader, Vec3f(-1, -1, -6), Vec3f(1, 1, -5));
    Mesh* b = boxedMesh(&shader, Vec3f(-1, -1, -6), Vec3f(1, 1, -5));
    a1->Meshes().push_back(a11);
    a->Meshes() = {a1, a2};
    addMeshObject(a);
    addMeshObject(b);
    camera->Update(Mat4f(), true);
    EXPECT_EQ(listed(7), (std::vector<Mesh*>{a, a1, a11, b}));
    EXPECT_EQ(listed(3), std::vector<Mesh*>{a2});
}

TEST_F(CullingTest, KeysStayWithEmptyVectorsAndCapacity) {
    Mesh* mesh = boxedMesh(&shader, Vec3f(-1, -1, -6), Vec3f(1, 1, -5));
    auto* light = new PointLight(Vec3f(1, 1, 1), false, Vec4f(0, 0, -5, 1), Vec3f(0, 50, 0));
    addMeshObject(mesh);
    addLights({light});
    world.Update(1.0f); // places the light
    camera->Update(Mat4f(), true);
    ASSERT_EQ(listed(7).size(), 1u);
    ASSERT_EQ(visible(LIGHT_POINT).size(), 1u);
    Mesh* const* storage = camera->CurrentRenderList().at(7).data();
    Light* const* lightStorage = camera->VisibleLights().at(LIGHT_POINT).data();

    // Turn around: nothing is visible any more.
    camera->Update(Mat4f::RotateY(2 * QuarterTurn), true);
    ASSERT_EQ(camera->CurrentRenderList().count(7), 1u);
    EXPECT_TRUE(camera->CurrentRenderList().at(7).empty());
    ASSERT_EQ(camera->VisibleLights().count(LIGHT_POINT), 1u);
    EXPECT_TRUE(camera->VisibleLights().at(LIGHT_POINT).empty());
    EXPECT_GE(camera->CurrentRenderList().at(7).capacity(), 1u);

    // And back: the same storage is refilled.
    camera->Update(Mat4f(), true);
    EXPECT_EQ(camera->CurrentRenderList().at(7).data(), storage);
    EXPECT_EQ(camera->VisibleLights().at(LIGHT_POINT).data(), lightStorage);
}

TEST_F(CullingTest, ScreenCameraCullsEvenWhenTheFlagIsOff) {
    Mesh* mesh = boxedMesh(&shader, Vec3f(-1, -1, -6), Vec3f(1, 1, -5));
    addMeshObject(mesh);
    camera->Update(Mat4f(), false);
    EXPECT_EQ(listed(7), std::vector<Mesh*>{mesh});
}

TEST_F(CullingTest, CameraComponentCullsWithItsObjectsMatrix) {
    Mesh* mesh = boxedMesh(&shader, Vec3f(-1, -1, 5), Vec3f(1, 1, 6));
    addMeshObject(mesh);
    auto* position =
        static_cast<PositionComponent*>(world.SceneObjects()[0]->Components(COMPONENT_POSITION));
    world.Update(1.0f);
    EXPECT_TRUE(listed(7).empty()) << "behind the camera";
    position->Matrix(Mat4f::RotateY(2 * QuarterTurn));
    world.Update(2.0f);
    EXPECT_EQ(listed(7), std::vector<Mesh*>{mesh});
}

TEST_F(CullingTest, PointLightsAreCulledBySphereOtherLightsAlwaysListed) {
    // Centre behind the camera, sphere (reach 4) reaching past the near plane.
    auto* reaching = new PointLight(Vec3f(1, 1, 1), false, Vec4f(0, 0, 2, 1), Vec3f(0, 25, 0));
    // Centre 6 behind the near plane, reach 4.
    auto* far = new PointLight(Vec3f(1, 1, 1), false, Vec4f(0, 0, 5, 1), Vec3f(0, 25, 0));
    // Without attenuation a point light reaches everywhere.
    auto* unlimited = new PointLight(Vec3f(1, 1, 1), false, Vec4f(0, 0, 1000, 1));
    auto* spot = new SpotLight(Vec3f(1, 1, 1), false, Vec4f(0, 0, 1000, 1), Vec3f(0, 0, 1), 0.4f,
                               50.0f, Vec3f(0, 25, 0));
    auto* sun = new DirectionalLight(Vec3f(1, 1, 1), false, Vec3f(0, -1, 0));
    ASSERT_FLOAT_EQ(reaching->MaxDistanceOfInfluence(), 4.0f);
    addLights({reaching, far, unlimited, spot, sun});
    spot->turnOff();
    // The camera object comes first in the world: its culling sees the lights
    // where the previous update placed them.
    world.Update(1.0f);
    world.Update(2.0f);
    EXPECT_EQ(visible(LIGHT_POINT), (std::vector<Light*>{reaching, unlimited}));
    EXPECT_EQ(visible(LIGHT_SPOT), std::vector<Light*>{spot}) << "spot lights are always listed";
    EXPECT_EQ(visible(LIGHT_DIRECTIONAL), std::vector<Light*>{sun});
}

TEST(CameraBaseTest, ListsEveryMeshWithoutATestAndOnlyWhenAskedTo) {
    IdShader shader(2);
    World world;
    PlainCamera camera(&world, 100, 100, QuarterTurn, 1.0f, 100.0f);
    Mesh* behind = boxedMesh(&shader, Vec3f(-1, -1, 5), Vec3f(1, 1, 6));
    auto* object = new SceneObject();
    object->Components()[COMPONENT_POSITION] = new PositionComponent(object);
    object->Components()[COMPONENT_MESH_DRAW] = new MeshDrawComponent(behind, object);
    world.AddSceneObject(object);
    camera.Update(Mat4f(), false);
    EXPECT_TRUE(camera.CurrentRenderList().empty());
    camera.Update(Mat4f(), true);
    ASSERT_EQ(camera.CurrentRenderList().count(2), 1u);
    EXPECT_EQ(camera.CurrentRenderList().at(2), std::vector<Mesh*>{behind});
    camera.Update(Mat4f(), true);
    EXPECT_EQ(camera.CurrentRenderList().at(2).size(), 1u) << "the list is refilled, not appended";
}

TEST(CameraBaseTest, MatricesFollowTheWorldMatrix) {
    World world;
    PlainCamera camera(&world, 200, 100, 1.0f, 0.5f, 50.0f);
    const Mat4f pose = Mat4f::Translate(Vec3f(1, 2, 3)) * Mat4f::RotateX(0.3f);
    camera.Update(pose, false);
    EXPECT_EQ(camera.Location(), Vec4f(1, 2, 3, 1));
    const Vec3f view = pose * Vec3f(0, 0, -1);
    EXPECT_NEAR(camera.View().Y(), view.Y(), 1e-6f);
    EXPECT_NEAR(camera.View().Length(), 1.0f, 1e-6f);
    EXPECT_EQ(camera.AbsoluteMatrix(), Mat4f::Persp(1.0f, 2.0f, 0.5f, 50.0f) * Mat4f::Invert(pose));
}
