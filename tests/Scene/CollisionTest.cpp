#include "SceneDoubles.h"

#include <Engine/Scene/Collision/AxisAlignedBox.h>
#include <Engine/Scene/Collision/OrientedBox.h>
#include <Engine/Scene/CollisionComponent.h>
#include <Engine/Scene/MeshDrawComponent.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/World.h>
#include <gtest/gtest.h>

using namespace Engine::Scene;
using namespace Engine::Scene::Collision;
using Engine::Math::Mat4f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;

namespace {

// A unit box on the mesh, wrapped in an axis-aligned box that the mesh owns.
AxisAlignedBox* unitBoxOn(Mesh* mesh) {
    auto* box = new AxisAlignedBox(
        new OrientedBox(Vec4f(0, 0, 0, 1), Vec3f(1, 0, 0), Vec3f(0, 1, 0), Vec3f(0, 0, 1), mesh));
    mesh->Boundings(box);
    return box;
}

void expectNear(Vec3f const& actual, Vec3f const& expected) {
    EXPECT_NEAR(actual.X(), expected.X(), 1e-6f) << actual;
    EXPECT_NEAR(actual.Y(), expected.Y(), 1e-6f) << actual;
    EXPECT_NEAR(actual.Z(), expected.Z(), 1e-6f) << actual;
}

} // namespace

TEST(OrientedBoxTest, FollowsItsMeshsAbsoluteMatrix) {
    Mesh mesh;
    AxisAlignedBox* box = unitBoxOn(&mesh);
    EXPECT_EQ(box->Min(), Vec3f(0, 0, 0));
    EXPECT_EQ(box->Box()->WorldLocation(), Vec4f(0, 0, 0, 1));
    mesh.Update(Mat4f::Translate(Vec3f(5, 0, 0)));
    // The matrix argument is not what places the box: the mesh's matrix is.
    box->Update(Mat4f::Translate(Vec3f(100, 100, 100)), 1.0f);
    EXPECT_EQ(box->Min(), Vec3f(5, 0, 0));
    EXPECT_EQ(box->Max(), Vec3f(6, 1, 1));
}

TEST(OrientedBoxTest, FoldsInAllEightCorners) {
    OrientedBox box(Vec4f(1, 1, 1, 1), Vec3f(-1, 0, 0), Vec3f(0, -1, 0), Vec3f(0, 0, -1), nullptr);
    // Without a mesh an update changes nothing.
    box.Update(Mat4f(), 0.0f);
    EXPECT_EQ(box.WorldLocation(), Vec4f(0, 0, 0, 1));
    Mesh mesh;
    OrientedBox placed(Vec4f(1, 1, 1, 1), Vec3f(-1, 0, 0), Vec3f(0, -1, 0), Vec3f(0, 0, -1), &mesh);
    placed.Update(Mat4f(), 0.0f);
    EXPECT_EQ(placed.Minimum(), Vec3f(0, 0, 0));
    EXPECT_EQ(placed.Maximum(), Vec3f(1, 1, 1));
}

TEST(OrientedBoxTest, RotatedBoxSpansTheDiagonal) {
    Mesh mesh;
    AxisAlignedBox* box = unitBoxOn(&mesh);
    mesh.Update(Mat4f::RotateY(0.78539816f));
    box->Update(Mat4f(), 0.0f);
    EXPECT_NEAR(box->Max().X() - box->Min().X(), 1.4142135f, 1e-6f);
    EXPECT_NEAR(box->Max().Z() - box->Min().Z(), 1.4142135f, 1e-6f);
    EXPECT_NEAR(box->Max().Y() - box->Min().Y(), 1.0f, 1e-6f);
    expectNear(box->Box()->WorldAxis1(), Vec3f(0.70710677f, 0, -0.70710677f));
}

TEST(OrientedBoxTest, SettersTakeEffectAtTheNextUpdate) {
    Mesh mesh;
    AxisAlignedBox* box = unitBoxOn(&mesh);
    box->Update(Mat4f(), 0.0f);
    box->Box()->Axis1(Vec3f(3, 0, 0));
    box->Box()->Location(Vec4f(-1, 0, 0, 1));
    EXPECT_EQ(box->Max(), Vec3f(1, 1, 1));
    box->Update(Mat4f(), 0.0f);
    EXPECT_EQ(box->Min(), Vec3f(-1, 0, 0));
    EXPECT_EQ(box->Max(), Vec3f(2, 1, 1));
}

TEST(CollisionComponentTest, GathersBoxesDepthFirstParentBeforeChildren) {
    auto* object = new SceneObject();
    auto* root = new Mesh();
    auto* child = new Mesh();
    auto* grandChild = new Mesh();
    auto* unboxed = new Mesh();
    auto* unboxedsChild = new Mesh();
    AxisAlignedBox* rootBox = unitBoxOn(root);
    AxisAlignedBox* childBox = unitBoxOn(child);
    AxisAlignedBox* grandChildBox = unitBoxOn(grandChild);
    AxisAlignedBox* lastBox = unitBoxOn(unboxedsChild);
    child->Meshes().push_back(grandChild);
    unboxed->Meshes().push_back(unboxedsChild);
    root->Meshes() = {child, unboxed};
    object->Components()[COMPONENT_POSITION] = new PositionComponent(object);
    object->Components()[COMPONENT_MESH_DRAW] = new MeshDrawComponent(root, object);
    auto* collision = new CollisionComponent(object);
    object->Components()[COMPONENT_COLLISION] = collision;
    EXPECT_EQ(collision->Objects(),
              (std::vector<BoundingObject*>{rootBox, childBox, grandChildBox, lastBox}));
    EXPECT_EQ(collision->Id(), COMPONENT_COLLISION);

    // In a world the boxes follow the meshes placed earlier in the same update.
    World world;
    world.AddSceneObject(object);
    child->Matrix(Mat4f::Translate(Vec3f(0, 10, 0)));
    static_cast<PositionComponent*>(object->Components(COMPONENT_POSITION))
        ->Matrix(Mat4f::Translate(Vec3f(5, 0, 0)));
    world.Update(1.0f);
    EXPECT_EQ(rootBox->Min(), Vec3f(5, 0, 0));
    EXPECT_EQ(grandChildBox->Min(), Vec3f(5, 10, 0));
    EXPECT_EQ(collision->LastUpdateFrame(), -1.0f) << "the collision component keeps no stamp";
}

TEST(CollisionComponentTest, ObjectWithoutMeshesHoldsNoBoxes) {
    SceneObject object;
    object.Components()[COMPONENT_POSITION] = new PositionComponent(&object);
    CollisionComponent collision(&object);
    EXPECT_TRUE(collision.Objects().empty());
    collision.Update(1.0f);
    CollisionComponent orphan(nullptr);
    EXPECT_TRUE(orphan.Objects().empty());
    orphan.Update(1.0f);
}

namespace {

// A box that counts its destructions.
class CountedBox : public AxisAlignedBox {
public:
    CountedBox(Mesh* mesh, int* deaths)
        : AxisAlignedBox(new OrientedBox(Vec4f(0, 0, 0, 1), Vec3f(1, 0, 0), Vec3f(0, 1, 0),
                                         Vec3f(0, 0, 1), mesh)),
          deaths(deaths) {}
    ~CountedBox() override { ++*deaths; }
    int* deaths;
};

} // namespace

TEST(MeshBoundingsTest, ReplacingTheBoxDeletesTheOldOneExactlyOnce) {
    int firstDeaths = 0;
    int secondDeaths = 0;
    {
        Mesh mesh;
        auto* first = new CountedBox(&mesh, &firstDeaths);
        auto* second = new CountedBox(&mesh, &secondDeaths);
        mesh.Boundings(first);
        mesh.Boundings(first);
        EXPECT_EQ(firstDeaths, 0) << "setting the same box again keeps it";
        mesh.Boundings(second);
        EXPECT_EQ(firstDeaths, 1);
        EXPECT_EQ(mesh.Boundings(), second);
    }
    EXPECT_EQ(firstDeaths, 1);
    EXPECT_EQ(secondDeaths, 1);
}

TEST(CollisionComponentTest, FollowsTheBoxesTheMeshesHoldNow) {
    auto* object = new SceneObject();
    auto* root = new Mesh();
    unitBoxOn(root);
    object->Components()[COMPONENT_POSITION] = new PositionComponent(object);
    object->Components()[COMPONENT_MESH_DRAW] = new MeshDrawComponent(root, object);
    auto* collision = new CollisionComponent(object);
    object->Components()[COMPONENT_COLLISION] = collision;
    World world;
    world.AddSceneObject(object);

    // The box read at construction is replaced (and deleted) by the mesh, and
    // a child with a box joins the hierarchy.
    AxisAlignedBox* replacement = unitBoxOn(root);
    auto* child = new Mesh();
    AxisAlignedBox* childBox = unitBoxOn(child);
    child->Matrix(Mat4f::Translate(Vec3f(0, 3, 0)));
    root->Meshes().push_back(child);
    EXPECT_EQ(collision->Objects(), (std::vector<BoundingObject*>{replacement, childBox}));

    static_cast<PositionComponent*>(object->Components(COMPONENT_POSITION))
        ->Matrix(Mat4f::Translate(Vec3f(2, 0, 0)));
    world.Update(1.0f);
    EXPECT_EQ(replacement->Min(), Vec3f(2, 0, 0));
    EXPECT_EQ(childBox->Max(), Vec3f(3, 4, 1));

    // A mesh hierarchy taken away leaves nothing to update.
    auto* meshDraw = static_cast<MeshDrawComponent*>(object->Components(COMPONENT_MESH_DRAW));
    meshDraw->CurrentMesh(nullptr);
    delete root;
    world.Update(2.0f);
    EXPECT_TRUE(collision->Objects().empty());
}
