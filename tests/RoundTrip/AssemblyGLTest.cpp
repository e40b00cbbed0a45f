#include "Render/Support/TestShaders.h"
#include "Support/GLContext.h"
#include "Support/Output.h"
#include "ToolsTestSupport.h"

#include <Engine/Data/Factory.h>
#include <Engine/Scene/BSPDrawComponent.h>
#include <Engine/Scene/Collision/AxisAlignedBox.h>
#include <Engine/Scene/Collision/OrientedBox.h>
#include <Engine/Scene/CollisionComponent.h>
#include <Engine/Scene/LightComponent.h>
#include <Engine/Scene/Materials/DiffuseColorPart.h>
#include <Engine/Scene/Materials/Material.h>
#include <Engine/Scene/Materials/SpecularColorPart.h>
#include <Engine/Scene/Materials/TexturePart.h>
#include <Engine/Scene/Mesh.h>
#include <Engine/Scene/MeshDrawComponent.h>
#include <Engine/Scene/PathAnimationComponent.h>
#include <Engine/Scene/PositionComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Scene/ShadowCastingPointLight.h>
#include <Engine/Scene/ShadowCastingSpotLight.h>
#include <Engine/Scene/ShadowCubeMapCamera.h>
#include <Engine/Scene/ShadowMapCamera.h>
#include <Engine/Scene/SpotLight.h>
#include <Engine/Scene/World.h>
#include <GL/glew.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <vlpc/ManifestCompiler.h>
#include <vlpc/OutputWriter.h>

using namespace Engine::Scene;
using Engine::Data::Factory;
using Engine::Math::Mat4f;
using Engine::Math::Vec3f;
using Engine::Math::Vec4f;
using TestSupport::captureStdout;

namespace {

Vec3f vec(std::array<float, 3> const& v) {
    return Vec3f(v[0], v[1], v[2]);
}
Vec4f vec(std::array<float, 4> const& v) {
    return Vec4f(v[0], v[1], v[2], v[3]);
}

template <typename T> T* component(SceneObject* object, ComponentID id) {
    return dynamic_cast<T*>(object->Components(id));
}

bool isSrgb(TextureData const& texture) {
    glBindTexture(GL_TEXTURE_2D, texture.Texture());
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glBindTexture(GL_TEXTURE_2D, 0);
    return format == GL_SRGB8 || format == GL_SRGB8_ALPHA8 || format == GL_SRGB ||
           format == GL_SRGB_ALPHA;
}

TextureData* textureOf(Materials::IMaterialPart* p, unsigned int type) {
    if (auto* diffuse = dynamic_cast<Materials::DiffuseTexturePart*>(p); diffuse && type == 2) {
        return diffuse->Texture().Get();
    }
    if (auto* normal = dynamic_cast<Materials::NormalTexturePart*>(p); normal && type == 3) {
        return normal->Texture().Get();
    }
    auto* displacement = dynamic_cast<Materials::DisplacementTexturePart*>(p);
    return displacement && type == 4 ? displacement->Texture().Get() : nullptr;
}

// Checks a loaded material against its compiled record, part by part; the
// textures are the stored ones.
void expectMaterial(Materials::Material* material, vlpc::MaterialRecord const& want,
                    Factory* factory) {
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(material->CurrentShader(), factory->LoadShader(want.shader));
    ASSERT_EQ(material->PartCount(), want.parts.size());
    for (std::size_t i = 0; i < want.parts.size(); ++i) {
        SCOPED_TRACE("part " + std::to_string(i));
        vlpc::MaterialPart const& w = want.parts[i];
        Materials::IMaterialPart* p = material->Parts()[i];
        if (w.type == 0) {
            auto* diffuse = dynamic_cast<Materials::DiffuseColorPart*>(p);
            ASSERT_NE(diffuse, nullptr);
            EXPECT_EQ(diffuse->Color(), vec(w.color));
            EXPECT_EQ(diffuse->Emit(), w.emit);
        } else if (w.type == 1) {
            auto* specular = dynamic_cast<Materials::SpecularColorPart*>(p);
            ASSERT_NE(specular, nullptr);
            EXPECT_EQ(specular->Color(), vec(w.color));
            EXPECT_EQ(specular->Shininess(), w.shininess);
        } else {
            TextureData* texture = textureOf(p, w.type);
            ASSERT_NE(texture, nullptr);
            EXPECT_EQ(texture, factory->LoadTextureData(w.texture, false).Get());
        }
    }
}

// Checks a loaded mesh hierarchy against its compiled record and collects the
// boxes depth first, parent before children.
void expectMesh(Mesh* mesh, vlpc::MeshNode const& want, vlpc::ModelFile const& models,
                Factory* factory, std::vector<Collision::BoundingObject*>& boxes) {
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->Meshes().size(), want.children.size());
    if (want.group != 0) {
        EXPECT_EQ(mesh->Boundings(), nullptr);
        EXPECT_EQ(mesh->CurrentMaterial(), nullptr);
        EXPECT_EQ(mesh->VertexArrayObject(), Mesh::NoVertexArray);
        EXPECT_EQ(mesh->Matrix(), Mat4f());
    } else {
        EXPECT_EQ(mesh->Matrix(), Mat4f(want.matrix.data()));
        EXPECT_EQ(mesh->Geometry().Get(), factory->LoadMeshData(want.geometry).Get());
        EXPECT_NE(mesh->VertexArrayObject(), Mesh::NoVertexArray);
        expectMaterial(mesh->CurrentMaterial(), models.materials[want.material], factory);
        ASSERT_NE(mesh->Boundings(), nullptr);
        Collision::OrientedBox const* box = mesh->Boundings()->Box();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->BoundMesh(), mesh);
        Vec3f const size = vec(want.boundsMax) - vec(want.boundsMin);
        EXPECT_EQ(box->Location(), Vec4f(vec(want.boundsMin), 1.0f));
        EXPECT_EQ(box->Axis1(), Vec3f(size.X(), 0, 0));
        EXPECT_EQ(box->Axis2(), Vec3f(0, size.Y(), 0));
        EXPECT_EQ(box->Axis3(), Vec3f(0, 0, size.Z()));
        boxes.push_back(mesh->Boundings());
    }
    for (std::size_t i = 0; i < want.children.size(); ++i) {
        expectMesh(mesh->Meshes()[i], want.children[i], models, factory, boxes);
    }
}

void expectPointLight(Light* light, LightType type, vlpc::LightRecord const& want) {
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->Type(), type);
    auto* point = dynamic_cast<PointLight*>(light);
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->Intensity(), vec(want.intensity));
    EXPECT_EQ(point->specularOn(), want.specular != 0);
    EXPECT_EQ(point->Location(), vec(want.location));
    EXPECT_EQ(point->Attenuation(), vec(want.attenuation));
    EXPECT_TRUE(point->AttenuationOn());
    if (auto* spot = dynamic_cast<SpotLight*>(light)) {
        EXPECT_EQ(spot->Direction(), vec(want.direction));
        EXPECT_EQ(spot->RadialAttenuationEpx(), want.exponent);
    }
}

} // namespace

// Scene objects assembled by the factory from manifests compiled by the asset
// compiler's library.
class AssemblyGLTest : public TestSupport::GLTest {
protected:
    void TearDown() override {
        Factory::DeleteInstance();
        Factory::SetDirectory(Factory::DEFAULT_DIRECTORY);
        TestSupport::GLTest::TearDown();
    }

    Factory* compile(std::string const& manifest) {
        assets = vlpc::ManifestCompiler().compile(dir.write("manifest.json", manifest));
        vlpc::writeCompiledFiles(assets, dir.path("out"));
        Factory::SetDirectory(dir.path("out") + "/");
        Factory* result = nullptr;
        std::string const log = captureStdout([&] { result = Factory::Instance(); });
        EXPECT_NE(result, nullptr) << log;
        return result;
    }

    SceneObject* load(Factory* factory, unsigned short id, std::string* log = nullptr) {
        SceneObject* object = nullptr;
        std::string const out =
            captureStdout([&] { object = factory->LoadSceneObject(id, &world); });
        if (log != nullptr) {
            *log = out;
        }
        EXPECT_EQ(out.find("FATAL"), std::string::npos) << out;
        return object;
    }

    // One model with every component kind, a group-rooted model and an empty one.
    std::string manifest() {
        dir.write("glsl/plain.vert", TestShaders::plainVertex);
        dir.write("glsl/plain.frag", TestShaders::plainDeferredFragment);
        dir.write("tex/a.png", ToolsTest::makePng(4, 4));
        dir.write("tex/b.png", ToolsTest::makePng(2, 2, true));
        dir.write("mesh/quad.obj", ToolsTest::quadObj());
        return R"({
          "shaders": [{"name": "vf", "vertex": "glsl/plain.vert", "fragment": "glsl/plain.frag"}],
          "textures": [{"name": "a", "file": "tex/a.png"}, {"name": "b", "file": "tex/b.png"}],
          "materials": [
            {"name": "paint", "shader": "vf", "parts": [
              {"type": "diffuseColor", "color": [1, 0.5, 0.25], "emit": 2},
              {"type": "specularColor", "color": [0.5, 1, 1], "shininess": 30}]},
            {"name": "textured", "shader": "vf", "parts": [
              {"type": "diffuseTexture", "texture": "a"}, {"type": "normalTexture", "texture": "a"},
              {"type": "displacementTexture", "texture": "b"},
              {"type": "diffuseColor", "color": [1, 1, 1]}]}],
          "geometries": [{"name": "quad", "file": "mesh/quad.obj"},
                         {"name": "flat", "file": "mesh/quad.obj", "uvChannels": 0}],
          "paths": [{"name": "go", "points": [[0, 0, 0, 0], [1, 1, 0, 0], [3, 1, 1, 0.5]]},
                    {"name": "look", "points": [[0, 0, 0, -1], [4, 0, 0, -2]]}],
          "models": [
            {"name": "thing", "components": [
              {"type": "position"},
              {"type": "meshDraw", "mesh": {
                "geometry": "quad", "material": "textured", "translate": [1, 2, 3],
                "uvMapping": {"normal": 0, "displacement": 0}, "children": [
                  {"geometry": "quad", "material": "paint", "scale": 0.5},
                  {"group": true, "children": [{"geometry": "quad", "material": "paint"}]}]}},
              {"type": "collision"},
              {"type": "light", "lights": [
                {"kind": "point", "intensity": [1, 0.5, 0.25], "location": [0, 2, 0],
                 "attenuation": [1, 0.5, 0.25]},
                {"kind": "point", "intensity": [0.5, 1, 1], "location": [1, 2, 0],
                 "attenuation": [1, 0, 0.5], "castsShadow": true, "specular": false},
                {"kind": "spot", "intensity": [1, 1, 2], "location": [0, 3, 0, 0.5],
                 "direction": [0, -1, 0.5], "angle": 20, "exponent": 8,
                 "attenuation": [1, 0.25, 0]},
                {"kind": "spot", "intensity": [2, 1, 1], "location": [0, 4, 1],
                 "direction": [0, -1, 0], "angle": 20, "exponent": 4,
                 "attenuation": [1, 0, 0.125], "castsShadow": true}]},
              {"type": "pathAnimation", "position": "go", "lookAt": "look"},
              {"type": "bsp", "material": "paint", "geometry": "flat"}]},
            {"name": "stack", "components": [
              {"type": "position"},
              {"type": "meshDraw", "mesh": {"group": true, "children": [
                {"geometry": "quad", "material": "paint"},
                {"geometry": "quad", "material": "paint", "translate": [0, 3, 0]}]}},
              {"type": "collision"}]},
            {"name": "nothing", "components": []}]})";
    }

    ToolsTest::TempDir dir;
    vlpc::CompiledAssets assets;
    World world;
};

TEST_F(AssemblyGLTest, AModelRecordBuildsEveryComponentKind) {
    Factory* f = compile(manifest());
    ASSERT_NE(f, nullptr);
    SceneObject* object = load(f, 0);
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(world.SceneObjects().empty()) << "the caller adds the object";
    std::vector<ComponentID> ids;
    for (auto const& [id, c] : object->Components()) {
        ids.push_back(id);
        EXPECT_EQ(c->Id(), id);
        EXPECT_EQ(c->CurrentSceneObject(), object);
    }
    ASSERT_EQ(ids, (std::vector<ComponentID>{COMPONENT_POSITION, COMPONENT_MESH_DRAW,
                                             COMPONENT_COLLISION, COMPONENT_LIGHT,
                                             COMPONENT_PATH_ANIMATION, COMPONENT_BSP_DRAW}));
    auto const& records = assets.models.models[0].components;

    // The mesh hierarchy, its materials (one texture as diffuse and normal
    // map decodes once, as sRGB, and is shared) and its boxes.
    auto* meshDraw = component<MeshDrawComponent>(object, COMPONENT_MESH_DRAW);
    ASSERT_NE(meshDraw, nullptr);
    std::vector<Collision::BoundingObject*> boxes;
    expectMesh(meshDraw->CurrentMesh(), records[1].mesh, assets.models, f, boxes);
    Materials::Material* textured = meshDraw->CurrentMesh()->CurrentMaterial();
    TextureData* diffuse = textureOf(textured->Parts()[0], 2);
    ASSERT_NE(diffuse, nullptr);
    EXPECT_EQ(diffuse, textureOf(textured->Parts()[1], 3));
    EXPECT_TRUE(diffuse->IsGammaCorrect());
    EXPECT_TRUE(isSrgb(*diffuse));
    EXPECT_NE(meshDraw->CurrentMesh()->Meshes()[0]->CurrentMaterial(),
              meshDraw->CurrentMesh()->Meshes()[1]->Meshes()[0]->CurrentMaterial())
        << "every mesh has a material of its own";

    // The collision component follows the meshes' boxes.
    auto* collision = component<CollisionComponent>(object, COMPONENT_COLLISION);
    ASSERT_NE(collision, nullptr);
    EXPECT_EQ(collision->Objects(), boxes);

    // Lights: shadow-casting point lights first, the others in file order;
    // the cone's 20 degrees become a half-angle of 10 degrees in radians.
    auto* lights = component<LightComponent>(object, COMPONENT_LIGHT);
    ASSERT_NE(lights, nullptr);
    ASSERT_EQ(lights->Lights().size(), 4u);
    auto const& want = records[3].lights;
    expectPointLight(lights->Lights()[0], LIGHT_SHADOW_POINT, want[1]);
    expectPointLight(lights->Lights()[1], LIGHT_POINT, want[0]);
    expectPointLight(lights->Lights()[2], LIGHT_SPOT, want[2]);
    expectPointLight(lights->Lights()[3], LIGHT_SHADOW_SPOT, want[3]);
    for (int i : {2, 3}) {
        auto* spot = dynamic_cast<SpotLight*>(lights->Lights()[i]);
        ASSERT_NE(spot, nullptr);
        EXPECT_FLOAT_EQ(spot->Angle(), 0.17453294f);
    }

    auto* path = component<PathAnimationComponent>(object, COMPONENT_PATH_ANIMATION);
    ASSERT_NE(path, nullptr);
    // The position path ends at 3 seconds, the look-at path at 4.
    EXPECT_EQ(path->PositionPath().CurveLength(), 3.0f);
    EXPECT_EQ(path->LookAtPath().CurveLength(), 4.0f);

    auto* bsp = component<BSPDrawComponent>(object, COMPONENT_BSP_DRAW);
    ASSERT_NE(bsp, nullptr);
    EXPECT_NE(bsp->Root(), nullptr);
    EXPECT_NE(bsp->VertexBuffer(), 0u);

    // In the world the boxes follow the meshes, and the shadow cameras list
    // the world's meshes.
    world.AddSceneObject(object);
    world.Update(0.0f);
    // The box follows the mesh as the mesh draw component placed it (the
    // path animation moves the object only after that).
    Vec4f const corner =
        meshDraw->CurrentMesh()->AbsoluteMatrix() * Vec4f(vec(records[1].mesh.boundsMin), 1.0f);
    ASSERT_NE(meshDraw->CurrentMesh()->AbsoluteMatrix(), Mat4f());
    Vec3f const min = static_cast<Collision::AxisAlignedBox*>(boxes[0])->Min();
    EXPECT_NEAR(min.X(), corner.X(), 1e-5f);
    EXPECT_NEAR(min.Y(), corner.Y(), 1e-5f);
    EXPECT_NEAR(min.Z(), corner.Z(), 1e-5f);
    auto* shadowPoint = dynamic_cast<ShadowCastingPointLight*>(lights->Lights()[0]);
    auto* shadowSpot = dynamic_cast<ShadowCastingSpotLight*>(lights->Lights()[3]);
    ASSERT_TRUE(shadowPoint != nullptr && shadowSpot != nullptr);
    unsigned short const shader = assets.models.materials[0].shader;
    for (Camera const* camera : {static_cast<Camera const*>(shadowPoint->CubeMapCamera()),
                                 static_cast<Camera const*>(shadowSpot->MapCamera())}) {
        ASSERT_NE(camera, nullptr);
        auto const list = camera->CurrentRenderList().find(shader);
        ASSERT_NE(list, camera->CurrentRenderList().end());
        EXPECT_NE(std::find(list->second.begin(), list->second.end(), meshDraw->CurrentMesh()),
                  list->second.end());
    }
}

TEST_F(AssemblyGLTest, GroupRootsEmptyModelsAndInvalidIds) {
    Factory* f = compile(manifest());
    ASSERT_NE(f, nullptr);

    // A group root: no geometry, material or box, two children with boxes.
    SceneObject* stack = load(f, 1);
    ASSERT_NE(stack, nullptr);
    world.AddSceneObject(stack);
    auto* meshDraw = component<MeshDrawComponent>(stack, COMPONENT_MESH_DRAW);
    ASSERT_NE(meshDraw, nullptr);
    std::vector<Collision::BoundingObject*> boxes;
    expectMesh(meshDraw->CurrentMesh(), assets.models.models[1].components[1].mesh, assets.models,
               f, boxes);
    EXPECT_EQ(boxes.size(), 2u);
    EXPECT_EQ(component<CollisionComponent>(stack, COMPONENT_COLLISION)->Objects(), boxes);

    std::string log;
    SceneObject* nothing = load(f, 2, &log);
    ASSERT_NE(nothing, nullptr);
    EXPECT_TRUE(nothing->Components().empty());
    EXPECT_EQ(log, "");
    delete nothing;

    unsigned short const count = f->Counts().models;
    SceneObject* missing = nullptr;
    log = captureStdout([&] { missing = f->LoadSceneObject(count, &world); });
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(log, "FATAL Cannot load Model\nNon existing Id: " + std::to_string(count) + "\n");
}

TEST_F(AssemblyGLTest, TheDemoModelsLoadWithoutAFatalLine) {
    // The build compiles the demo's manifest where the engine looks by default.
    Factory* f = nullptr;
    captureStdout([&] { f = Factory::Instance(); });
    ASSERT_NE(f, nullptr);
    ASSERT_GT(f->Counts().models, 0);
    for (unsigned short id = 0; id < f->Counts().models; ++id) {
        SCOPED_TRACE("model " + std::to_string(id));
        SceneObject* object = load(f, id);
        ASSERT_NE(object, nullptr);
        EXPECT_FALSE(object->Components().empty());
        world.AddSceneObject(object);
    }
    world.Update(1.0f);
}
