#include "SceneDoubles.h"

#include <Engine/Scene/Materials/DiffuseColorPart.h>
#include <Engine/Scene/Materials/SpecularColorPart.h>
#include <Engine/Scene/MeshDrawComponent.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <GL/glew.h>
#include <gtest/gtest.h>

using namespace Engine::Scene;
using namespace SceneDoubles;
using Engine::Math::Mat4f;
using Engine::Math::Vec3f;

namespace {

// A position component that counts its updates.
class CountingPosition : public PositionComponent {
public:
    using PositionComponent::PositionComponent;
    void Update(float time) override {
        ++updates;
        PositionComponent::Update(time);
    }
    int updates = 0;
};

} // namespace

TEST(MeshTest, GroupNodeHasNoGeometryAndIdentityMatrices) {
    Mesh mesh;
    EXPECT_EQ(mesh.VertexArrayObject(), Mesh::NoVertexArray);
    EXPECT_EQ(mesh.Matrix(), Mat4f());
    EXPECT_EQ(mesh.AbsoluteMatrix(), Mat4f());
    EXPECT_EQ(mesh.CurrentMaterial(), nullptr);
    EXPECT_EQ(mesh.Boundings(), nullptr);
    EXPECT_TRUE(mesh.Meshes().empty());
    // Nothing to draw without a material: no GL call is made.
    mesh.Draw(false);
    mesh.Draw(true);
}

TEST(MeshTest, HierarchyComposesParentLocalAndChildMatrices) {
    auto* root = new Mesh();
    auto* child = new Mesh();
    auto* grandChild = new Mesh();
    root->Matrix(Mat4f::RotateZ(0.5f));
    child->Matrix(Mat4f::Translate(Vec3f(1, 2, 3)));
    grandChild->Matrix(Mat4f::Scale(Vec3f(2, 2, 2)));
    child->Meshes().push_back(grandChild);
    root->Meshes().push_back(child);
    const Mat4f parent = Mat4f::Translate(Vec3f(-4, 0, 0));
    root->Update(parent);
    EXPECT_EQ(root->AbsoluteMatrix(), parent * Mat4f::RotateZ(0.5f));
    EXPECT_EQ(child->AbsoluteMatrix(),
              (parent * Mat4f::RotateZ(0.5f)) * Mat4f::Translate(Vec3f(1, 2, 3)));
    EXPECT_EQ(grandChild->AbsoluteMatrix(), child->AbsoluteMatrix() * grandChild->Matrix());
    EXPECT_NE(child->AbsoluteMatrix(), Mat4f::Translate(Vec3f(1, 2, 3)) * root->AbsoluteMatrix());
    delete root;
}

TEST(MeshTest, ReplacingTheMaterialDeletesTheOldOneButNotItsShader) {
    IdShader shader(4);
    int applied = 0;
    int destroyed = 0;
    auto* first = new Materials::Material(&shader, 2);
    first->Parts()[0] = new CountingPart(&applied, &destroyed);
    first->Parts()[1] = new CountingPart(&applied, &destroyed);
    Mesh mesh;
    mesh.CurrentMaterial(first);
    auto* second = new Materials::Material(&shader, 1);
    second->Parts()[0] = new CountingPart(&applied, &destroyed);
    mesh.CurrentMaterial(second);
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(mesh.CurrentMaterial(), second);
    EXPECT_EQ(shader.Id(), 4) << "the shader outlives its materials";
    // Setting the same material again keeps it.
    mesh.CurrentMaterial(second);
    EXPECT_EQ(destroyed, 2);
}

TEST(MaterialTest, ActivationFeedsEveryPartInSlotOrderWithoutAProgram) {
    IdShader shader(1);
    int applied = 0;
    int destroyed = 0;
    {
        Materials::Material material(&shader, 3);
        EXPECT_EQ(material.Parts()[2], nullptr) << "slots start empty";
        for (int i = 0; i < 3; ++i) {
            material.Parts()[i] = new CountingPart(&applied, &destroyed);
        }
        material.Activate();
        EXPECT_EQ(applied, 3);
        EXPECT_EQ(material.CurrentShader(), &shader);
        IdShader other(2);
        EXPECT_EQ(&material.CurrentShader(&other), &material);
        EXPECT_EQ(material.CurrentShader(), &other);
        material.CurrentShader(nullptr);
        material.Activate();
        EXPECT_EQ(applied, 3) << "without a shader there is nothing to feed";
    }
    EXPECT_EQ(destroyed, 3);
}

TEST(MaterialTest, ColorPartsKeepTheirValues) {
    Materials::DiffuseColorPart plain(Vec3f(1, 0.5f, 0));
    EXPECT_EQ(plain.Emit(), 0.0f);
    Materials::DiffuseColorPart glowing(Vec3f(1, 0.5f, 0), 0.75f);
    EXPECT_EQ(glowing.Emit(), 0.75f);
    Materials::SpecularColorPart specular(Vec3f(0.2f, 0.2f, 0.2f), 32);
    EXPECT_EQ(specular.Shininess(), 32u);
    EXPECT_EQ(plain.Color(), Vec3f(1, 0.5f, 0));
    EXPECT_EQ(specular.Color(), Vec3f(0.2f, 0.2f, 0.2f));
    // Without a GL program every uniform is absent and skipped: GLEW has
    // loaded no entry point in this process, so a part that set one would crash.
    ASSERT_EQ(glUniform3fv, nullptr);
    IdShader shader(1);
    plain.ToShader(&shader);
    glowing.ToShader(&shader);
    specular.ToShader(&shader);
    EXPECT_EQ(glowing.Emit(), 0.75f);
    EXPECT_EQ(specular.Shininess(), 32u);
}

TEST(MeshDrawComponentTest, UpdatesThePositionOnceForEachTime) {
    SceneObject object;
    auto* position = new CountingPosition(&object);
    position->Matrix(Mat4f::Translate(Vec3f(0, 0, -3)));
    object.Components()[COMPONENT_POSITION] = position;
    auto* root = new Mesh();
    root->Matrix(Mat4f::Translate(Vec3f(1, 0, 0)));
    auto* component = new MeshDrawComponent(root, &object);
    object.Components()[COMPONENT_MESH_DRAW] = component;
    EXPECT_EQ(component->Id(), COMPONENT_MESH_DRAW);
    EXPECT_EQ(component->LastUpdateFrame(), -1.0f);

    component->Update(1.0f);
    component->Update(1.0f);
    EXPECT_EQ(position->updates, 1);
    EXPECT_EQ(component->LastUpdateFrame(), 1.0f);
    EXPECT_EQ(root->AbsoluteMatrix(), Mat4f::Translate(Vec3f(0, 0, -3)) * root->Matrix());
    component->Update(2.0f);
    EXPECT_EQ(position->updates, 2);
}

TEST(MeshDrawComponentTest, ReplacingTheMeshKeepsTheOldOne) {
    SceneObject object;
    auto* first = new Mesh();
    MeshDrawComponent component(first, &object);
    auto* second = new Mesh();
    component.CurrentMesh(second);
    EXPECT_EQ(component.CurrentMesh(), second);
    delete first; // still the caller's: the component did not delete it
}
