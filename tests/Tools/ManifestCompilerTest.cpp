#include "ToolsTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <vlpc/ManifestCompiler.h>

using namespace vlpc;
using nlohmann::json;

namespace {

// A scratch folder with the inputs of a small manifest: two shaders, two
// textures, an OBJ quad, a glTF node tree, and a manifest using all of them.
class ManifestCompilerTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("shaders/a.vert", "#version 400\nvoid main() {}\n");
        dir.write("shaders/a.frag", "#version 400\nvoid main() {}\n");
        dir.write("shaders/a.geom", "geometry");
        dir.write("shaders/a.tc", "control");
        dir.write("shaders/a.te", "evaluation");
        png = ToolsTest::makePng(4, 2);
        dir.write("tex/a.png", png);
        dir.write("tex/b.png", ToolsTest::makePng(2, 2, true));
        dir.write("mesh/quad.obj", ToolsTest::quadObj());
        dir.write("mesh/flat.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
        // Root (group, translated) with a mesh node and a mesh node with a
        // child; the meshes use the file materials Body and Trim.
        std::vector<ToolsTest::GltfMesh> meshes = {ToolsTest::triangleMesh("Body", 0),
                                                   ToolsTest::triangleMesh("Trim", 1)};
        meshes[1].positions = {{0, 0, 0}, {2, 0, 0}, {0, 3, 0}};
        std::vector<ToolsTest::GltfNode> nodes = {{"Root", -1, {0, 0, 5}, {1, 2}},
                                                  {"BodyNode", 0, {1, 0, 0}, {}},
                                                  {"TrimNode", 1, {0, 2, 0}, {3}},
                                                  {"Tip", 0, {0, 0, 1}, {}}};
        dir.write("mesh/tree.gltf", ToolsTest::makeGltf(meshes, nodes, {0}, {"Body", "Trim"}));

        manifest = {
            {"shaders",
             {{{"name", "plain"}, {"vertex", "shaders/a.vert"}, {"fragment", "shaders/a.frag"}},
              {{"name", "full"},
               {"vertex", "shaders/a.vert"},
               {"tessControl", "shaders/a.tc"},
               {"tessEvaluation", "shaders/a.te"},
               {"geometry", "shaders/a.geom"},
               {"fragment", "shaders/a.frag"}}}},
            {"textures",
             {{{"name", "a"}, {"file", "tex/a.png"}}, {{"name", "b"}, {"file", "tex/b.png"}}}},
            {"materials",
             {{{"name", "paint"},
               {"shader", "plain"},
               {"parts",
                {{{"type", "diffuseColor"}, {"color", {1, 0.5, 0.25}}, {"emit", 2}},
                 {{"type", "specularColor"}, {"color", {1, 1, 1}}, {"shininess", 30}}}}},
              {{"name", "textured"},
               {"shader", "full"},
               {"parts",
                {{{"type", "diffuseTexture"}, {"texture", "b"}},
                 {{"type", "normalTexture"}, {"texture", "a"}},
                 {{"type", "displacementTexture"}, {"texture", "a"}}}}}}},
            {"geometries",
             {{{"name", "quad"}, {"file", "mesh/quad.obj"}},
              {{"name", "flatQuad"}, {"file", "mesh/quad.obj"}, {"uvChannels", 0}},
              {{"name", "trim"}, {"file", "mesh/tree.gltf"}, {"mesh", "Trim"}}}},
            {"paths",
             {{{"name", "go"}, {"points", {{0, 0, 0, 0}, {1, 1, 0, 0}, {3, 1, 1, 0}}}},
              {{"name", "look"}, {"points", {{0, 0, 0, -1}, {3, 0, 0, -2}}}}}},
            {"models",
             {{{"name", "thing"},
               {"components",
                {{{"type", "collision"}},
                 {{"type", "meshDraw"},
                  {"mesh",
                   {{"geometry", "quad"},
                    {"material", "paint"},
                    {"translate", {1, 2, 3}},
                    {"uvMapping", {{"normal", 0}}},
                    {"children",
                     {{{"group", true},
                       {"children",
                        {{{"geometry", "trim"},
                          {"material", "textured"},
                          {"uvMapping", {{"diffuse", 1}}}}}}}}}}}},
                 {{"type", "position"}},
                 {{"type", "light"},
                  {"lights",
                   {{{"kind", "point"},
                     {"intensity", {1, 2, 3}},
                     {"location", {1, 2, 3}},
                     {"attenuation", {1, 0, 0.5}},
                     {"castsShadow", true}},
                    {{"kind", "spot"},
                     {"intensity", {1, 1, 1}},
                     {"specular", false},
                     {"location", {0, 5, 0, 1}},
                     {"direction", {0, -1, 0}},
                     {"angle", 20},
                     {"exponent", 50}}}}},
                 {{"type", "pathAnimation"}, {"position", "go"}, {"lookAt", "look"}},
                 {{"type", "bsp"}, {"material", "paint"}, {"geometry", "flatQuad"}}}}},
              {{"name", "pinned"}, {"id", 2}, {"components", json::array()}},
              {{"name", "tree"},
               {"components",
                {{{"type", "position"}},
                 {{"type", "meshDraw"},
                  {"mesh",
                   {{"scene", "mesh/tree.gltf"},
                    {"materials", {{"Body", "paint"}, {"*", "textured"}}},
                    {"translate", {0, 1, 0}}}}}}}}}}};
    }

    CompiledAssets compile() {
        std::string const path = dir.write("game.json", manifest.dump(2));
        return ManifestCompiler().compile(path);
    }

    // Compiles and expects a ManifestError with exactly this message after
    // the manifest's path.
    void expectError(std::string const& message) { expectErrorIn(manifest.dump(2), message); }
    void expectErrorIn(std::string const& text, std::string const& message) {
        std::string const path = dir.write("game.json", text);
        try {
            ManifestCompiler().compile(path);
            ADD_FAILURE() << "no error, expected: " << message;
        } catch (ManifestError const& e) {
            EXPECT_EQ(std::string(e.what()), path + ": " + message);
        }
    }

    json& model(std::size_t i) { return manifest["models"][i]; }
    json& component(std::size_t model, std::size_t i) {
        return manifest["models"][model]["components"][i];
    }

    ToolsTest::TempDir dir;
    json manifest;
    std::vector<std::uint8_t> png;
};

} // namespace

TEST_F(ManifestCompilerTest, ShadersKeepTheirTextsByStage) {
    CompiledAssets const assets = compile();
    ASSERT_EQ(assets.shaders.shaders.size(), 2u);
    ShaderRecord const& plain = assets.shaders.shaders[0];
    EXPECT_EQ(plain.stages[0], "#version 400\nvoid main() {}\n");
    EXPECT_TRUE(plain.stages[1].empty());
    EXPECT_TRUE(plain.stages[3].empty());
    ShaderRecord const& full = assets.shaders.shaders[1];
    EXPECT_EQ(full.stages[1], "control");
    EXPECT_EQ(full.stages[2], "evaluation");
    EXPECT_EQ(full.stages[3], "geometry");
}

TEST_F(ManifestCompilerTest, TexturesAreStoredAsTheyAre) {
    CompiledAssets const assets = compile();
    ASSERT_EQ(assets.textures.textures.size(), 2u);
    EXPECT_EQ(assets.textures.textures[0].png, png);
}

TEST_F(ManifestCompilerTest, MaterialsReferToShadersAndTexturesById) {
    CompiledAssets const assets = compile();
    ASSERT_EQ(assets.models.materials.size(), 2u);
    MaterialRecord const& paint = assets.models.materials[0];
    EXPECT_EQ(paint.shader, 0);
    ASSERT_EQ(paint.parts.size(), 2u);
    EXPECT_EQ(paint.parts[0].type, format::PART_DIFFUSE_COLOR);
    EXPECT_EQ(paint.parts[0].color, (Vec3{1, 0.5f, 0.25f}));
    EXPECT_EQ(paint.parts[0].emit, 2.0f);
    EXPECT_EQ(paint.parts[1].shininess, 30u);
    MaterialRecord const& textured = assets.models.materials[1];
    EXPECT_EQ(textured.shader, 1);
    ASSERT_EQ(textured.parts.size(), 3u);
    EXPECT_EQ(textured.parts[0].type, format::PART_DIFFUSE_TEXTURE);
    EXPECT_EQ(textured.parts[0].texture, 1);
    EXPECT_EQ(textured.parts[2].type, format::PART_DISPLACEMENT_TEXTURE);
    EXPECT_EQ(textured.parts[2].texture, 0);
}

TEST_F(ManifestCompilerTest, GeometriesFromMeshFiles) {
    CompiledAssets const assets = compile();
    // Three named geometries, then the node tree's Body mesh (Trim is shared).
    ASSERT_EQ(assets.models.geometries.size(), 4u);
    EXPECT_EQ(assets.models.geometries[0].format, 1);
    EXPECT_EQ(assets.models.geometries[1].format, 0);
    EXPECT_EQ(assets.models.geometries[1].vertices.size(), 4u);
    EXPECT_EQ(assets.models.geometries[2].format, 2);
    EXPECT_EQ(assets.models.geometries[2].vertices[2].position, (Vec4{0, 3, 0, 1}));
    EXPECT_EQ(assets.models.geometries[3].vertices[2].position, (Vec4{0, 1, 0, 1}));
}

TEST_F(ManifestCompilerTest, PathsKeepTheirPoints) {
    CompiledAssets const assets = compile();
    ASSERT_EQ(assets.paths.paths.size(), 2u);
    ASSERT_EQ(assets.paths.paths[0].points.size(), 3u);
    EXPECT_EQ(assets.paths.paths[0].points[2].time, 3.0f);
    EXPECT_EQ(assets.paths.paths[0].points[2].position, (Vec3{1, 1, 0}));
}

TEST_F(ManifestCompilerTest, ModelIdsAreDenseAroundPinnedIds) {
    model(1)["id"] = 1;
    CompiledAssets assets = compile();
    ASSERT_EQ(assets.models.models.size(), 3u);
    EXPECT_TRUE(assets.models.models[1].components.empty());
    EXPECT_EQ(assets.models.models[0].components.size(), 6u);
    EXPECT_EQ(assets.models.models[2].components.size(), 2u);
    EXPECT_TRUE(assets.warnings.empty());

    // A pinned id beyond the others leaves a gap: empty models, with one
    // warning however many there are.
    model(1)["id"] = 4;
    assets = compile();
    ASSERT_EQ(assets.models.models.size(), 5u);
    EXPECT_EQ(assets.models.models[1].components.size(), 2u);
    EXPECT_TRUE(assets.models.models[2].components.empty());
    EXPECT_TRUE(assets.models.models[3].components.empty());
    std::string const prefix = dir.path("game.json") + ": models: warning: ";
    EXPECT_EQ(assets.warnings, (std::vector<std::string>{
                                   prefix + "no model has ids 2 to 3 (2 ids); they are stored as "
                                            "empty models"}));
    model(1)["id"] = 3;
    EXPECT_EQ(
        compile().warnings,
        (std::vector<std::string>{prefix + "no model has id 2; it is stored as an empty model"}));
    model(1)["id"] = 65534;
    assets = compile();
    EXPECT_EQ(assets.models.models.size(), 65535u);
    EXPECT_EQ(assets.warnings, (std::vector<std::string>{
                                   prefix + "no model has ids 2 to 65533 (65532 ids); they are "
                                            "stored as empty models"}));
}

TEST_F(ManifestCompilerTest, ComponentsAreStoredInTypeOrder) {
    CompiledAssets const assets = compile();
    std::vector<std::uint16_t> types;
    for (ComponentRecord const& c : assets.models.models[0].components) {
        types.push_back(c.type);
    }
    EXPECT_EQ(types, (std::vector<std::uint16_t>{1, 2, 4, 5, 6, 7}));
}

TEST_F(ManifestCompilerTest, MeshHierarchyWithBoundsMatricesAndMappings) {
    CompiledAssets const assets = compile();
    MeshNode const& root = assets.models.models[0].components[1].mesh;
    EXPECT_EQ(root.group, 0);
    EXPECT_EQ(root.geometry, 0);
    EXPECT_EQ(root.material, 0);
    EXPECT_EQ(root.boundsMin, (Vec3{-1, -1, 0}));
    EXPECT_EQ(root.boundsMax, (Vec3{1, 1, 0}));
    EXPECT_EQ(root.matrix[12], 1.0f);
    EXPECT_EQ(root.matrix[14], 3.0f);
    EXPECT_EQ(root.uvMapping, (std::vector<std::pair<std::uint8_t, std::uint8_t>>{{1, 0}}));
    ASSERT_EQ(root.children.size(), 1u);
    MeshNode const& group = root.children[0];
    EXPECT_NE(group.group, 0);
    ASSERT_EQ(group.children.size(), 1u);
    MeshNode const& trim = group.children[0];
    EXPECT_EQ(trim.geometry, 2);
    EXPECT_EQ(trim.material, 1);
    EXPECT_EQ(trim.boundsMax, (Vec3{2, 3, 0}));
    EXPECT_EQ(trim.uvMapping, (std::vector<std::pair<std::uint8_t, std::uint8_t>>{{0, 1}}));
}

TEST_F(ManifestCompilerTest, TransformsComposeTranslateRotateScale) {
    json& mesh = component(0, 1)["mesh"];
    mesh["rotate"] = {0, 90, 0};
    mesh["scale"] = 2;
    CompiledAssets const assets = compile();
    Mat4 const& m = assets.models.models[0].components[1].mesh.matrix;
    // x axis -> (0, 0, -2), z axis -> (2, 0, 0), then translated by (1, 2, 3).
    EXPECT_NEAR(m[0], 0.0f, 1e-6f);
    EXPECT_NEAR(m[2], -2.0f, 1e-6f);
    EXPECT_NEAR(m[8], 2.0f, 1e-6f);
    EXPECT_NEAR(m[5], 2.0f, 1e-6f);
    EXPECT_EQ(m[12], 1.0f);
    EXPECT_EQ(m[13], 2.0f);
    EXPECT_EQ(m[15], 1.0f);
}

TEST_F(ManifestCompilerTest, ExplicitMatrixIsColumnMajor) {
    json& mesh = component(0, 1)["mesh"];
    mesh.erase("translate");
    mesh["matrix"] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 7, 8, 9, 1};
    CompiledAssets const assets = compile();
    EXPECT_EQ(assets.models.models[0].components[1].mesh.matrix[13], 8.0f);
}

TEST_F(ManifestCompilerTest, LightsWithTheirKinds) {
    CompiledAssets const assets = compile();
    ComponentRecord const& lights = assets.models.models[0].components[3];
    ASSERT_EQ(lights.lights.size(), 2u);
    LightRecord const& point = lights.lights[0];
    EXPECT_EQ(point.kind, format::LIGHT_KIND_POINT);
    EXPECT_EQ(point.location, (Vec4{1, 2, 3, 1}));
    EXPECT_EQ(point.specular, 1);
    EXPECT_EQ(point.castsShadow, 1);
    EXPECT_EQ(point.attenuation, (Vec3{1, 0, 0.5f}));
    LightRecord const& spot = lights.lights[1];
    EXPECT_EQ(spot.kind, format::LIGHT_KIND_SPOT);
    EXPECT_EQ(spot.specular, 0);
    EXPECT_EQ(spot.coneAngle, 20.0f);
    EXPECT_EQ(spot.exponent, 50.0f);
    EXPECT_EQ(spot.attenuation, (Vec3{1, 0, 0})); // the default
    EXPECT_EQ(spot.castsShadow, 0);
}

TEST_F(ManifestCompilerTest, PathAnimationAndBspRefer) {
    CompiledAssets const assets = compile();
    ComponentRecord const& path = assets.models.models[0].components[4];
    EXPECT_EQ(path.positionPath, 0);
    EXPECT_EQ(path.lookAtPath, 1);
    ComponentRecord const& bsp = assets.models.models[0].components[5];
    EXPECT_EQ(bsp.material, 0);
    EXPECT_EQ(bsp.geometry, 1);
}

TEST_F(ManifestCompilerTest, NodeTreeBecomesAMeshHierarchy) {
    CompiledAssets const assets = compile();
    MeshNode const& root = assets.models.models[1].components[1].mesh;
    // The root group carries the manifest's and its own translation down.
    ASSERT_NE(root.group, 0);
    ASSERT_EQ(root.children.size(), 2u);
    MeshNode const& body = root.children[0];
    EXPECT_EQ(body.group, 0);
    EXPECT_EQ(body.geometry, 3);
    EXPECT_EQ(body.material, 0); // Body -> paint
    EXPECT_EQ(body.matrix[12], 1.0f);
    EXPECT_EQ(body.matrix[13], 1.0f);
    EXPECT_EQ(body.matrix[14], 5.0f);
    EXPECT_EQ(body.boundsMax, (Vec3{1, 1, 0}));
    MeshNode const& trim = root.children[1];
    EXPECT_EQ(trim.geometry, 2); // shared with the named geometry "trim"
    EXPECT_EQ(trim.material, 1); // "*" -> textured
    EXPECT_EQ(trim.matrix[13], 3.0f);
    ASSERT_EQ(trim.children.size(), 1u);
    MeshNode const& tip = trim.children[0];
    EXPECT_EQ(tip.geometry, 3);
    EXPECT_EQ(tip.matrix[12], 0.0f); // relative to its parent mesh
    EXPECT_EQ(tip.matrix[14], 1.0f);
}

TEST_F(ManifestCompilerTest, NodeTreeMaterialsByFileIndex) {
    // Body is the file's material 0, Trim material 1: the index list wins over
    // names and covers the file without a "materials" object.
    json& tree = component(2, 1)["mesh"];
    tree.erase("materials");
    tree["materialsByIndex"] = {"textured", "paint"};
    MeshNode const root = compile().models.models[1].components[1].mesh;
    EXPECT_EQ(root.children[0].material, 1);
    EXPECT_EQ(root.children[1].material, 0);
    // Past the list's end the names apply.
    tree["materialsByIndex"] = {"textured"};
    tree["materials"] = {{"*", "textured"}, {"Trim", "paint"}};
    MeshNode const named = compile().models.models[1].components[1].mesh;
    EXPECT_EQ(named.children[0].material, 1);
    EXPECT_EQ(named.children[1].material, 0);
    tree["materialsByIndex"] = {"textured", "nothing"};
    expectError("models[2].components[1].mesh.materialsByIndex[1]: unknown material 'nothing'");
}

TEST_F(ManifestCompilerTest, InputsListEveryFileOnce) {
    CompiledAssets const assets = compile();
    EXPECT_EQ(assets.inputs.size(), 1u + 5 + 2 + 2);
    EXPECT_EQ(assets.inputs[0], dir.path("game.json"));
    EXPECT_EQ(assets.inputs[1], dir.path("shaders/a.vert"));
}

TEST_F(ManifestCompilerTest, NamingErrors) {
    manifest["materials"][1]["parts"][1]["texture"] = "stone_n";
    expectError("materials[1].parts[1].texture: unknown texture 'stone_n'");
    manifest["materials"][1]["parts"][1]["texture"] = "a";
    manifest["textures"][1]["name"] = "a";
    expectError("textures[1].name: duplicate texture name 'a' (also textures[0])");
    manifest["textures"][1]["name"] = "b";
    component(0, 5)["geometry"] = "nothing";
    expectError("models[0].components[5].geometry: unknown geometry 'nothing'");
    component(0, 5)["geometry"] = "flatQuad";
    component(0, 4)["lookAt"] = "go2";
    expectError("models[0].components[4].lookAt: unknown path 'go2'");
    component(0, 4)["lookAt"] = "look";
    manifest["materials"][0]["shader"] = "fancy";
    expectError("materials[0].shader: unknown shader 'fancy'");
}

TEST_F(ManifestCompilerTest, FieldErrors) {
    manifest["shaders"][0].erase("fragment");
    expectError("shaders[0]: missing field 'fragment'");
    manifest["shaders"][0]["fragment"] = "shaders/a.frag";
    manifest["shaders"][0]["fragmnet"] = "x";
    expectError("shaders[0]: unknown field 'fragmnet'");
    manifest["shaders"][0].erase("fragmnet");
    manifest["materials"][0]["parts"][0]["color"] = {1, 2};
    expectError("materials[0].parts[0].color: expected an array of 3 numbers");
    manifest["materials"][0]["parts"][0]["color"] = {1, 2, "x"};
    expectError("materials[0].parts[0].color[2]: expected a number");
    manifest["materials"][0]["parts"][0]["color"] = {1, 1, 1};
    manifest["materials"][0]["parts"][1]["shininess"] = -1;
    expectError("materials[0].parts[1].shininess: expected a whole number from 0 to 4294967295");
    manifest["materials"][0]["parts"][1]["shininess"] = 3;
    manifest["materials"][0]["parts"][0]["type"] = "glossColor";
    expectError("materials[0].parts[0].type: unknown part type 'glossColor' (diffuseColor, "
                "specularColor, diffuseTexture, normalTexture, displacementTexture)");
    manifest["materials"][0]["parts"][0]["type"] = "diffuseColor";
    manifest["extra"] = 1;
    expectError("unknown field 'extra'");
}

TEST_F(ManifestCompilerTest, FileErrors) {
    manifest["shaders"][0]["vertex"] = "shaders/none.vert";
    expectError("shaders[0].vertex: cannot read '" + dir.path("shaders/none.vert") + "'");
    manifest["shaders"][0]["vertex"] = "shaders/a.vert";
    dir.write("tex/bad.png", "not a png at all");
    manifest["textures"][0]["file"] = "tex/bad.png";
    expectError("textures[0].file: '" + dir.path("tex/bad.png") +
                "' is not a usable PNG file: not a PNG stream (signature mismatch)");
    manifest["textures"][0]["file"] = "tex/a.png";
    // Lines only: assimp's reason follows the place and the file.
    dir.write("mesh/lines.obj", "# three lines, no faces\nv 0 0 0\nv 1 0 0\nv 0 1 0\n"
                                "l 1 2\nl 2 3\nl 3 1\n");
    manifest["geometries"][0]["file"] = "mesh/lines.obj";
    try {
        compile();
        ADD_FAILURE() << "no error";
    } catch (ManifestError const& e) {
        std::string const expected = dir.path("game.json") + ": geometries[0].file: cannot use '" +
                                     dir.path("mesh/lines.obj") + "': ";
        EXPECT_EQ(std::string(e.what()).rfind(expected, 0), 0u) << e.what();
    }
}

TEST_F(ManifestCompilerTest, ShaderStageRules) {
    manifest["shaders"][1].erase("tessEvaluation");
    expectError("shaders[1]: 'tessControl' and 'tessEvaluation' go together");
    manifest["shaders"][1]["tessEvaluation"] = "shaders/a.te";
    dir.write("shaders/empty.frag", "");
    manifest["shaders"][1]["fragment"] = "shaders/empty.frag";
    expectError("shaders[1].fragment: '" + dir.path("shaders/empty.frag") + "' is empty");
    dir.write("shaders/big.frag", std::string(65535, ' '));
    manifest["shaders"][1]["fragment"] = "shaders/big.frag";
    expectError("shaders[1].fragment: '" + dir.path("shaders/big.frag") +
                "' has 65535 bytes; a stored text holds at most 65534");
}

TEST_F(ManifestCompilerTest, PathRules) {
    manifest["paths"][0]["points"][2][0] = 1;
    expectError("paths[0].points[2]: time 1 does not come after the previous point's time 1");
    manifest["paths"][0]["points"] = {{0, 0, 0, 0}};
    expectError("paths[0].points: a path needs at least 2 points");
    json points = json::array();
    for (int i = 0; i < 256; ++i) {
        points.push_back({i, 0, 0, 0});
    }
    manifest["paths"][0]["points"] = points;
    expectError("paths[0].points: 256 points; a path holds at most 255");
    points.erase(points.end() - 1);
    manifest["paths"][0]["points"] = points;
    EXPECT_EQ(compile().paths.paths[0].points.size(), 255u);
    manifest["paths"][0]["points"][3] = {3, 0, 0};
    expectError("paths[0].points[3]: expected [time, x, y, z]");
}

TEST_F(ManifestCompilerTest, ModelRules) {
    component(0, 2) = {{"type", "collision"}};
    expectError("models[0].components[2]: a second component of type 'collision' (also "
                "models[0].components[0])");
    component(0, 2) = {{"type", "position"}};
    model(2)["components"].erase(0);
    expectError("models[2].components[0]: needs a 'position' component in the same model");
    model(2)["components"].insert(model(2)["components"].begin(), {{"type", "position"}});
    model(0)["id"] = 2;
    expectError("models[1].id: id 2 is also pinned by models[0]");
    model(0).erase("id");
    component(2, 0) = {{"type", "camera"}};
    expectError("models[2].components[0].type: a camera component cannot be stored in the model "
                "file");
    component(2, 0) = {{"type", "position"}};
    component(0, 5)["geometry"] = "quad";
    expectError("models[0].components[5].geometry: geometry 'quad' has texture channels; a BSP "
                "geometry needs \"uvChannels\": 0");
}

TEST_F(ManifestCompilerTest, MeshRules) {
    json& mesh = component(0, 1)["mesh"];
    mesh["uvMapping"] = {{"normal", 1}};
    expectError("models[0].components[1].mesh.uvMapping: channel 1 of geometry 'quad', which has "
                "1 texture channel(s)");
    mesh["uvMapping"] = {{"specular", 0}};
    expectError("models[0].components[1].mesh.uvMapping: unknown field 'specular'");
    mesh.erase("uvMapping");
    mesh["matrix"] = json::array();
    expectError("models[0].components[1].mesh: give either 'matrix' or 'translate', 'rotate' and "
                "'scale'");
    mesh.erase("matrix");
    mesh["children"][0]["translate"] = {1, 1, 1};
    expectError("models[0].components[1].mesh.children[0]: unknown field 'translate'");
    mesh["children"][0].erase("translate");
    json& tree = component(2, 1)["mesh"];
    tree["materials"] = {{"Body", "paint"}};
    expectError("models[2].components[1].mesh.materials: no material for the file's material "
                "'Trim' (name it, or add a '*' entry)");
}

TEST_F(ManifestCompilerTest, LightRules) {
    json& spot = component(0, 3)["lights"][1];
    spot["angle"] = 180;
    expectError("models[0].components[3].lights[1].angle: the full cone angle in degrees must lie "
                "between 0 and 180");
    spot["angle"] = 20;
    spot.erase("direction");
    expectError("models[0].components[3].lights[1]: missing field 'direction'");
    spot["direction"] = {0, -1, 0};
    spot["kind"] = "area";
    expectError("models[0].components[3].lights[1].kind: unknown light kind 'area' (point, spot)");
    spot["kind"] = "spot";
    component(0, 3)["lights"][0]["location"] = {1, 2};
    expectError("models[0].components[3].lights[0].location: expected an array of 4 numbers");
}

TEST_F(ManifestCompilerTest, BadJsonNamesTheLine) {
    std::string const path = dir.write("broken.json", "{\n  \"shaders\": [\n    {,\n");
    try {
        ManifestCompiler().compile(path);
        FAIL() << "no error";
    } catch (ManifestError const& e) {
        std::string const message = e.what();
        EXPECT_EQ(message.rfind(path + ": parse error at line 3", 0), 0u) << message;
    }
}

TEST_F(ManifestCompilerTest, NumbersOutOfRangeAndDuplicateKeysNameTheirPlace) {
    manifest["paths"][0]["points"][1][2] = 12345;
    std::string text = manifest.dump(2);
    text.replace(text.find("12345"), 5, "1e400");
    expectErrorIn(text, "paths[0].points[1][2]: number 1e400 is out of range");
    text = manifest.dump(2);
    std::string const name = "\"name\": \"pinned\"";
    text.replace(text.find(name), name.size(), name + ", \"name\": \"other\"");
    expectErrorIn(text, "models[1]: duplicate key 'name'");
    expectErrorIn("{\"paths\": [], \"paths\": []}", "duplicate key 'paths'");
    expectErrorIn("[-1e999]", "[0]: number -1e999 is out of range");
}

TEST_F(ManifestCompilerTest, WarningsForOddButValidInput) {
    // A collision component without meshes, and a textured material on a
    // geometry without texture channels.
    component(2, 1) = {{"type", "collision"}};
    component(0, 1)["mesh"]["geometry"] = "flatQuad";
    component(0, 1)["mesh"]["material"] = "textured";
    component(0, 1)["mesh"].erase("uvMapping");
    CompiledAssets const assets = compile();
    ASSERT_EQ(assets.warnings.size(), 2u);
    EXPECT_EQ(assets.warnings[0], dir.path("game.json") +
                                      ": models[0].components[1].mesh: warning: material with "
                                      "texture parts on a geometry without texture channels");
    EXPECT_NE(assets.warnings[1].find("models[2].components[1]: warning: a collision component"),
              std::string::npos);
}

TEST_F(ManifestCompilerTest, CommentsAreAllowed) {
    std::string const path =
        dir.write("commented.json", "// the manifest\n{ /* nothing yet */ \"paths\": [] }\n");
    CompiledAssets const assets = ManifestCompiler().compile(path);
    EXPECT_TRUE(assets.paths.paths.empty());
}

TEST_F(ManifestCompilerTest, DeepNodeChainsCollapseOrAreRefused) {
    // A chain of group nodes above one mesh stands for that mesh alone.
    dir.write("mesh/chain.gltf", ToolsTest::chainGltf(1024));
    component(2, 1)["mesh"]["scene"] = "mesh/chain.gltf";
    CompiledAssets const assets = compile();
    ASSERT_EQ(assets.models.models[1].components.size(), 2u);
    MeshNode const& root = assets.models.models[1].components[1].mesh;
    EXPECT_EQ(root.group, 0);
    EXPECT_TRUE(root.children.empty());
    EXPECT_EQ(root.boundsMax, (Vec3{1, 1, 0}));

    std::string const deeper = dir.write("mesh/chain.gltf", ToolsTest::chainGltf(1025));
    expectError("models[2].components[1].mesh.scene: cannot use '" + deeper +
                "': its nodes nest deeper than 1024 levels");
}
