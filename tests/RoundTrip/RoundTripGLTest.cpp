#include "Data/Support/AssetWriter.h"
#include "Data/Support/PngWriter.h"
#include "Render/Support/TestShaders.h"
#include "Support/GLContext.h"
#include "Support/Output.h"
#include "ToolsTestSupport.h"

#include <Engine/Data/Factory.h>
#include <Engine/Data/RecordParser.h>
#include <Engine/Util/UtilFunctions.h>
#include <GL/glew.h>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>
#include <vlpc/FormatReader.h>
#include <vlpc/ManifestCompiler.h>
#include <vlpc/OutputWriter.h>

using Engine::Data::Factory;
using Engine::Data::RecordParser;
namespace Format = Engine::Data::Format;
using Engine::Render::Shader::DeferredShader;
using Engine::Scene::MeshData;
using Engine::Scene::TextureData;
using Engine::Util::SharedPointer;
using nlohmann::json;
using TestSupport::captureStdout;

namespace {

std::vector<float> floatsOf(vlpc::Vertex const& v, std::uint8_t format) {
    std::vector<float> out(v.position.begin(), v.position.end());
    out.insert(out.end(), v.normal.begin(), v.normal.end());
    out.insert(out.end(), v.smoothNormal.begin(), v.smoothNormal.end());
    if (format != 0) {
        for (int channel = 0; channel < 2; ++channel) {
            out.insert(out.end(), v.uv[channel].begin(), v.uv[channel].end());
            out.insert(out.end(), v.tangent[channel].begin(), v.tangent[channel].end());
        }
    }
    return out;
}

// What a vertex buffer of the geometry must hold, float by float.
std::vector<float> expectedVertexFloats(vlpc::GeometryRecord const& geometry) {
    std::vector<float> out;
    for (vlpc::Vertex const& v : geometry.vertices) {
        std::vector<float> const one = floatsOf(v, geometry.format);
        out.insert(out.end(), one.begin(), one.end());
    }
    return out;
}

template <typename T> std::vector<T> bufferContents(GLenum target, GLuint buffer, std::size_t n) {
    std::vector<T> out(n);
    glBindBuffer(target, buffer);
    glGetBufferSubData(target, 0, static_cast<GLsizeiptr>(n * sizeof(T)), out.data());
    glBindBuffer(target, 0);
    return out;
}

// Checks the GPU buffers of a loaded geometry against the compiled record.
void expectMeshMatches(MeshData* mesh, vlpc::GeometryRecord const& geometry) {
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->Format(), geometry.format == 0 ? MeshData::FORMAT_BASE : MeshData::FORMAT_UV);
    ASSERT_EQ(mesh->IndexCount(), geometry.indices.size());
    std::vector<float> const expected = expectedVertexFloats(geometry);
    ASSERT_NE(mesh->VertexBuffer(), MeshData::NO_BUFFER);
    std::vector<float> const vertices =
        bufferContents<float>(GL_ARRAY_BUFFER, mesh->VertexBuffer(), expected.size());
    EXPECT_EQ(vertices, expected);
    GLint bufferSize = 0;
    glBindBuffer(GL_ARRAY_BUFFER, mesh->VertexBuffer());
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &bufferSize);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_EQ(static_cast<std::size_t>(bufferSize), expected.size() * sizeof(float));
    std::vector<std::uint32_t> const indices = bufferContents<std::uint32_t>(
        GL_ELEMENT_ARRAY_BUFFER, mesh->IndexBuffer(), geometry.indices.size());
    EXPECT_EQ(indices, geometry.indices);
}

// Whether the linked program has a stage: the stage's program queries are
// refused without it. The vertex and fragment stages are always there.
bool programHas(GLuint program, GLenum query) {
    GLint value = 0;
    glGetProgramiv(program, query, &value);
    // A refused query is expected: its debug message is no fault.
    TestSupport::takeGLDebugMessages();
    return TestSupport::takeGLError() == GL_NO_ERROR;
}

// Shader stage types of a linked program, sorted.
std::vector<GLint> stagesOf(DeferredShader* shader) {
    std::vector<GLint> types = {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER};
    GLuint const program = static_cast<GLuint>(shader->getProgramHandle());
    if (programHas(program, GL_TESS_CONTROL_OUTPUT_VERTICES)) {
        types.push_back(GL_TESS_CONTROL_SHADER);
    }
    if (programHas(program, GL_TESS_GEN_MODE)) {
        types.push_back(GL_TESS_EVALUATION_SHADER);
    }
    if (programHas(program, GL_GEOMETRY_VERTICES_OUT)) {
        types.push_back(GL_GEOMETRY_SHADER);
    }
    std::sort(types.begin(), types.end());
    return types;
}

std::vector<GLint> sorted(std::vector<GLint> types) {
    std::sort(types.begin(), types.end());
    return types;
}

// The RGBA8 image of level 0 of a texture, rows bottom first as GL holds it.
std::vector<unsigned char> texturePixels(TextureData const& texture, int& width, int& height) {
    glBindTexture(GL_TEXTURE_2D, texture.Texture());
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

// The source image as RGBA8, bottom row first.
std::vector<unsigned char> flippedRgba(TestAssets::PngImage const& image) {
    int const channels = image.Channels();
    std::vector<unsigned char> out;
    for (int row = image.height - 1; row >= 0; --row) {
        for (int x = 0; x < image.width; ++x) {
            unsigned char const* p = &image.pixels[row * image.RowBytes() + x * channels];
            out.push_back(p[0]);
            out.push_back(p[1]);
            out.push_back(p[2]);
            out.push_back(channels == 4 ? p[3] : 255);
        }
    }
    return out;
}

TestAssets::PngImage gradientImage(int width, int height, bool alpha) {
    TestAssets::PngImage image;
    image.width = width;
    image.height = height;
    image.colorType = alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    image.pixels.resize(image.RowBytes() * height);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = static_cast<unsigned char>(i * 37 + 11);
    }
    return image;
}

template <typename T> unsigned int count(SharedPointer<T> const& pointer) {
    return pointer.GetCounter()->Count();
}

std::vector<std::uint8_t> fileBytes(std::string const& path) {
    return ToolsTest::readBytes(path);
}

// The model file's records parsed by the engine's parser.
struct ParsedModels {
    std::vector<RecordParser::MaterialRecord> materials;
    std::vector<RecordParser::ModelRecord> models;
};

ParsedModels parseModels(std::string const& directory, RecordParser::Counts const& counts) {
    ParsedModels out;
    std::vector<std::uint8_t> const bytes = fileBytes(directory + Factory::MODEL_FILE);
    vlpc::ModelFileContents const contents = vlpc::readModelFile(bytes);
    for (std::size_t id = 0; id < contents.materialDictionary.size(); ++id) {
        vlpc::DictionaryEntry const entry = contents.materialDictionary[id];
        RecordParser::MaterialRecord record;
        EXPECT_TRUE(RecordParser::ParseMaterialRecord(
            bytes.data() + entry.offset, entry.size, counts, record,
            {"models.vlp", "material", static_cast<unsigned short>(id)}));
        out.materials.push_back(record);
    }
    for (std::size_t id = 0; id < contents.modelDictionary.size(); ++id) {
        vlpc::DictionaryEntry const entry = contents.modelDictionary[id];
        RecordParser::ModelRecord record;
        EXPECT_TRUE(RecordParser::ParseModelRecord(
            bytes.data() + entry.offset, entry.size, counts, record,
            {"models.vlp", "model", static_cast<unsigned short>(id)}));
        out.models.push_back(record);
    }
    return out;
}

std::array<float, 3> components(Engine::Math::Vec3f const& v) {
    return {v.X(), v.Y(), v.Z()};
}
std::array<float, 4> components(Engine::Math::Vec4f const& v) {
    return {v.X(), v.Y(), v.Z(), v.W()};
}

template <typename V, std::size_t N>
void expectVec(V const& actual, std::array<float, N> const& e) {
    EXPECT_EQ(components(actual), e);
}

void expectMeshNode(RecordParser::MeshRecord const& parsed, vlpc::MeshNode const& compiled,
                    vlpc::ModelFile const& models) {
    EXPECT_EQ(parsed.group, compiled.group != 0);
    ASSERT_EQ(parsed.children.size(), compiled.children.size());
    if (!parsed.group) {
        EXPECT_EQ(parsed.geometryId, compiled.geometry);
        EXPECT_EQ(parsed.materialId, compiled.material);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(parsed.matrix.GetGlMatrix()[i], compiled.matrix[static_cast<std::size_t>(i)]);
        }
        expectVec(parsed.boxMin, compiled.boundsMin);
        expectVec(parsed.boxMax, compiled.boundsMax);
        // The box is the geometry's own extent.
        ASSERT_LT(compiled.geometry, models.geometries.size());
        for (vlpc::Vertex const& v : models.geometries[compiled.geometry].vertices) {
            for (int axis = 0; axis < 3; ++axis) {
                std::size_t const a = static_cast<std::size_t>(axis);
                EXPECT_LE(components(parsed.boxMin)[a], v.position[a]);
                EXPECT_GE(components(parsed.boxMax)[a], v.position[a]);
            }
        }
        ASSERT_EQ(parsed.mapping.size(), compiled.uvMapping.size());
        for (auto const& [key, channel] : compiled.uvMapping) {
            auto const found = parsed.mapping.find(static_cast<UVCoordMapping>(key));
            ASSERT_NE(found, parsed.mapping.end()) << "mapping key " << int(key);
            EXPECT_EQ(found->second, channel);
        }
    }
    for (std::size_t i = 0; i < compiled.children.size(); ++i) {
        expectMeshNode(parsed.children[i], compiled.children[i], models);
    }
}

void expectModelsMatch(ParsedModels const& parsed, vlpc::ModelFile const& compiled) {
    ASSERT_EQ(parsed.materials.size(), compiled.materials.size());
    for (std::size_t m = 0; m < compiled.materials.size(); ++m) {
        vlpc::MaterialRecord const& want = compiled.materials[m];
        RecordParser::MaterialRecord const& got = parsed.materials[m];
        EXPECT_EQ(got.shaderId, want.shader);
        ASSERT_EQ(got.parts.size(), want.parts.size());
        for (std::size_t p = 0; p < want.parts.size(); ++p) {
            EXPECT_EQ(got.parts[p].type, want.parts[p].type);
            if (want.parts[p].type <= Format::PART_SPECULAR_COLOR) {
                expectVec(got.parts[p].color, want.parts[p].color);
                EXPECT_EQ(got.parts[p].emit, want.parts[p].emit);
                EXPECT_EQ(got.parts[p].shininess, want.parts[p].shininess);
            } else {
                EXPECT_EQ(got.parts[p].textureId, want.parts[p].texture);
            }
        }
    }
    ASSERT_EQ(parsed.models.size(), compiled.models.size());
    for (std::size_t m = 0; m < compiled.models.size(); ++m) {
        SCOPED_TRACE("model " + std::to_string(m));
        auto const& want = compiled.models[m].components;
        auto const& got = parsed.models[m].components;
        ASSERT_EQ(got.size(), want.size());
        for (std::size_t c = 0; c < want.size(); ++c) {
            EXPECT_EQ(got[c].type, want[c].type);
            switch (want[c].type) {
            case 2:
                expectMeshNode(got[c].mesh, want[c].mesh, compiled);
                break;
            case 5:
                ASSERT_EQ(got[c].lights.size(), want[c].lights.size());
                for (std::size_t l = 0; l < want[c].lights.size(); ++l) {
                    vlpc::LightRecord const& w = want[c].lights[l];
                    RecordParser::LightRecord const& g = got[c].lights[l];
                    EXPECT_EQ(g.kind, w.kind);
                    expectVec(g.intensity, w.intensity);
                    EXPECT_EQ(g.specularOn, w.specular != 0);
                    expectVec(g.location, w.location);
                    expectVec(g.attenuation, w.attenuation);
                    EXPECT_EQ(g.castsShadow, w.castsShadow != 0);
                    if (w.kind == Format::LIGHT_KIND_SPOT) {
                        expectVec(g.direction, w.direction);
                        EXPECT_EQ(g.angle, w.coneAngle);
                        EXPECT_EQ(g.exponent, w.exponent);
                    }
                }
                break;
            case 6:
                EXPECT_EQ(got[c].firstPathId, want[c].positionPath);
                EXPECT_EQ(got[c].secondPathId, want[c].lookAtPath);
                break;
            case 7:
                EXPECT_EQ(got[c].materialId, want[c].material);
                EXPECT_EQ(got[c].geometryId, want[c].geometry);
                break;
            default:
                break;
            }
        }
    }
}

// Loads every path and compares it with the compiled points.
void expectPathsMatch(Factory* factory, vlpc::PathFile const& paths) {
    for (std::size_t id = 0; id < paths.paths.size(); ++id) {
        unsigned short n = 0;
        Engine::Util::CurvePoint** points = nullptr;
        captureStdout([&] { points = factory->LoadPath(static_cast<unsigned short>(id), &n); });
        auto const& want = paths.paths[id].points;
        ASSERT_EQ(n, want.size());
        ASSERT_NE(points, nullptr);
        for (std::size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(points[i]->Time(), want[i].time);
            expectVec(points[i]->Point(), want[i].position);
            delete points[i];
        }
        delete[] points;
    }
}

} // namespace

// Manifests compiled by the asset compiler's library into a scratch folder and
// loaded back through the engine's factory.
class RoundTripGLTest : public TestSupport::GLTest {
protected:
    void TearDown() override {
        Factory::DeleteInstance();
        Factory::SetDirectory(Factory::DEFAULT_DIRECTORY);
        TestSupport::GLTest::TearDown();
    }

    // Compiles the manifest written into the scratch folder and points the
    // factory at the output.
    void compile(json const& manifest) {
        std::string const path = dir.write("manifest.json", manifest.dump(2));
        assets = vlpc::ManifestCompiler().compile(path);
        if (!assets.shaders.shaders.empty()) {
            // The manifest refuses an evaluation text without a control text;
            // the file format holds one, and the engine leaves it out.
            vlpc::ShaderRecord lone = assets.shaders.shaders.back();
            lone.stages[1].clear();
            assets.shaders.shaders.push_back(lone);
        }
        vlpc::writeCompiledFiles(assets, dir.path("out"));
        Factory::SetDirectory(dir.path("out") + "/");
    }

    Factory* factory(std::string* log = nullptr) {
        Factory* result = nullptr;
        std::string const out = captureStdout([&] { result = Factory::Instance(); });
        if (log != nullptr) {
            *log = out;
        }
        EXPECT_NE(result, nullptr) << out;
        return result;
    }

    // A manifest using every record kind and every shader stage combination.
    json everyKindManifest() {
        using namespace TestShaders;
        dir.write("glsl/plain.vert", plainVertex);
        dir.write("glsl/plain.frag", plainDeferredFragment);
        dir.write("glsl/plain.geom", plainGeometry);
        dir.write("glsl/plain.tc", plainTessControl);
        dir.write("glsl/plain.te", plainTessEvaluation);
        rgb = gradientImage(5, 3, false);
        rgba = gradientImage(3, 4, true);
        dir.write("tex/rgb.png", TestAssets::encodePng(rgb));
        dir.write("tex/rgba.png", TestAssets::encodePng(rgba));
        dir.write("mesh/quad.obj", ToolsTest::quadObj());
        std::vector<ToolsTest::GltfMesh> meshes = {ToolsTest::triangleMesh("Body", 0),
                                                   ToolsTest::triangleMesh("Trim", 1)};
        meshes[1].positions = {{0, 0, 0}, {2, 0, 0}, {0, 3, -1}};
        std::vector<ToolsTest::GltfNode> nodes = {{"Root", -1, {0, 0, 5}, {1, 2}},
                                                  {"BodyNode", 0, {1, 0, 0}, {}},
                                                  {"TrimNode", 1, {0, 2, 0}, {3}},
                                                  {"Tip", 0, {0, 0, 1}, {}}};
        dir.write("mesh/tree.gltf", ToolsTest::makeGltf(meshes, nodes, {0}, {"Body", "Trim"}));

        auto shader = [](char const* name, char const* tc, char const* te, char const* geom) {
            json s = {
                {"name", name}, {"vertex", "glsl/plain.vert"}, {"fragment", "glsl/plain.frag"}};
            if (tc != nullptr) {
                s["tessControl"] = tc;
            }
            if (te != nullptr) {
                s["tessEvaluation"] = te;
            }
            if (geom != nullptr) {
                s["geometry"] = geom;
            }
            return s;
        };
        return {
            {"shaders",
             {shader("vf", nullptr, nullptr, nullptr),
              shader("vgf", nullptr, nullptr, "glsl/plain.geom"),
              shader("vttf", "glsl/plain.tc", "glsl/plain.te", nullptr),
              shader("vttgf", "glsl/plain.tc", "glsl/plain.te", "glsl/plain.geom")}},
            {"textures",
             {{{"name", "rgb"}, {"file", "tex/rgb.png"}},
              {{"name", "rgba"}, {"file", "tex/rgba.png"}}}},
            {"materials",
             {{{"name", "paint"},
               {"shader", "vf"},
               {"parts",
                {{{"type", "diffuseColor"}, {"color", {1, 0.5, 0.25}}, {"emit", 2}},
                 {{"type", "specularColor"}, {"color", {0.5, 1, 1}}, {"shininess", 30}}}}},
              {{"name", "textured"},
               {"shader", "vttgf"},
               {"parts",
                {{{"type", "diffuseTexture"}, {"texture", "rgba"}},
                 {{"type", "normalTexture"}, {"texture", "rgb"}},
                 {{"type", "displacementTexture"}, {"texture", "rgb"}}}}}}},
            {"geometries",
             {{{"name", "flat"}, {"file", "mesh/quad.obj"}, {"uvChannels", 0}},
              {{"name", "quad"}, {"file", "mesh/quad.obj"}},
              {{"name", "trim"}, {"file", "mesh/tree.gltf"}, {"mesh", "Trim"}, {"uvChannels", 2}},
              {{"name", "tree"}, {"file", "mesh/tree.gltf"}, {"uvChannels", 1}}}},
            {"paths",
             {{{"name", "go"}, {"points", {{0, 0, 0, 0}, {1, 1, 0, 0}, {3, 1, 1, 0.5}}}},
              {{"name", "look"}, {"points", {{0, 0, 0, -1}, {3, 0, 0, -2}}}}}},
            {"models",
             {{{"name", "thing"},
               {"components",
                {{{"type", "position"}},
                 {{"type", "meshDraw"},
                  {"mesh",
                   {{"geometry", "quad"},
                    {"material", "textured"},
                    {"translate", {1, 2, 3}},
                    {"uvMapping", {{"normal", 0}, {"displacement", 0}}},
                    {"children",
                     {{{"geometry", "trim"},
                       {"material", "paint"},
                       {"scale", 0.5},
                       {"uvMapping", {{"diffuse", 1}}}}}}}}},
                 {{"type", "collision"}},
                 {{"type", "light"},
                  {"lights",
                   {{{"kind", "point"},
                     {"intensity", {1, 0.9, 0.7}},
                     {"location", {0, 1.5, 0}},
                     {"attenuation", {1, 0, 0.5}},
                     {"castsShadow", true}},
                    {{"kind", "spot"},
                     {"intensity", {2, 2, 1.5}},
                     {"location", {0, 1, 0}},
                     {"direction", {0, -1, 0}},
                     {"angle", 60},
                     {"exponent", 20},
                     {"attenuation", {1, 0.25, 0.125}},
                     {"specular", false}}}}},
                 {{"type", "pathAnimation"}, {"position", "go"}, {"lookAt", "look"}}}}},
              {{"name", "tree"},
               {"components",
                {{{"type", "position"}},
                 {{"type", "meshDraw"},
                  {"mesh",
                   {{"scene", "mesh/tree.gltf"},
                    {"materials", {{"Body", "paint"}, {"Trim", "textured"}}}}}}}}},
              {{"name", "wall"},
               {"components",
                {{{"type", "position"}},
                 {{"type", "bsp"}, {"material", "paint"}, {"geometry", "flat"}}}}}}}};
    }

    ToolsTest::TempDir dir;
    vlpc::CompiledAssets assets;
    TestAssets::PngImage rgb;
    TestAssets::PngImage rgba;
};

TEST_F(RoundTripGLTest, DictionariesAreReadAndDumpedAsCompiled) {
    compile(everyKindManifest());
    std::string log;
    Factory* f = factory(&log);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Counts().shaders, 5);
    EXPECT_EQ(f->Counts().textures, 2);
    EXPECT_EQ(f->Counts().materials, 2);
    // The node tree adds a geometry for each of its meshes.
    EXPECT_EQ(f->Counts().geometries, assets.models.geometries.size());
    EXPECT_GT(f->Counts().geometries, 4);
    EXPECT_EQ(f->Counts().models, 3);
    EXPECT_EQ(f->Counts().paths, 2);

    // Each dump line names the offset and size the compiler's reader finds.
    std::string const out = dir.path("out") + "/";
    auto const shaders = vlpc::readShaderFile(fileBytes(out + Factory::SHADER_FILE));
    auto const models = vlpc::readModelFile(fileBytes(out + Factory::MODEL_FILE));
    auto const paths = vlpc::readPathFile(fileBytes(out + Factory::PATH_FILE));
    auto line = [](std::size_t id, vlpc::DictionaryEntry e, std::string const& size) {
        return "Id: " + std::to_string(id) + "  Offset: " + std::to_string(e.offset) +
               "  Size: " + size + "\n";
    };
    std::string shaderDump = "ShaderDictionary\n";
    for (std::size_t i = 0; i < shaders.dictionary.size(); ++i) {
        shaderDump += line(i, shaders.dictionary[i], std::to_string(shaders.dictionary[i].size));
    }
    EXPECT_NE(log.find(shaderDump + "----------------\n"), std::string::npos) << log;
    std::string geometryDump = "GeometryDictionary\n";
    for (std::size_t i = 0; i < models.geometryDictionary.size(); ++i) {
        geometryDump += line(i, models.geometryDictionary[i],
                             std::to_string(models.geometryDictionary[i].size));
    }
    EXPECT_NE(log.find(geometryDump + "------------------\n"), std::string::npos) << log;
    std::string pathDump = "PathDictionary\n";
    for (std::size_t i = 0; i < paths.dictionary.size(); ++i) {
        pathDump += line(
            i, paths.dictionary[i],
            Engine::Util::UtilFunctions::ToString(static_cast<float>(paths.dictionary[i].size)) +
                "byte");
    }
    EXPECT_NE(log.find(pathDump + "-----------------\n"), std::string::npos) << log;
    for (char const* title : {"TextureDictionary\n", "MaterialDictionary\n", "ModelDictionary\n"}) {
        EXPECT_NE(log.find(title), std::string::npos) << title;
    }
}

TEST_F(RoundTripGLTest, EveryShaderRecordBuildsTheProgramOfItsStages) {
    compile(everyKindManifest());
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    std::vector<std::vector<GLint>> const expected = {
        {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER},
        {GL_VERTEX_SHADER, GL_GEOMETRY_SHADER, GL_FRAGMENT_SHADER},
        {GL_VERTEX_SHADER, GL_TESS_CONTROL_SHADER, GL_TESS_EVALUATION_SHADER, GL_FRAGMENT_SHADER},
        {GL_VERTEX_SHADER, GL_TESS_CONTROL_SHADER, GL_TESS_EVALUATION_SHADER, GL_GEOMETRY_SHADER,
         GL_FRAGMENT_SHADER},
        {GL_VERTEX_SHADER, GL_GEOMETRY_SHADER, GL_FRAGMENT_SHADER},
    };
    for (unsigned short id = 0; id < expected.size(); ++id) {
        DeferredShader* shader = nullptr;
        std::string const log = captureStdout([&] { shader = f->LoadShader(id); });
        ASSERT_NE(shader, nullptr) << "shader " << id;
        EXPECT_TRUE(shader->IsLinked()) << "shader " << id << "\n" << log;
        EXPECT_EQ(shader->Id(), id);
        EXPECT_EQ(stagesOf(shader), sorted(expected[id])) << "shader " << id;
        EXPECT_EQ(f->LoadShader(id), shader);
    }
}

TEST_F(RoundTripGLTest, TexturesDecodeToTheSourcePixels) {
    compile(everyKindManifest());
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    TestAssets::PngImage const* sources[] = {&rgb, &rgba};
    for (unsigned short id = 0; id < 2; ++id) {
        SharedPointer<TextureData> texture;
        captureStdout([&] { texture = f->LoadTextureData(id, false); });
        ASSERT_NE(texture.operator->(), nullptr);
        int width = 0;
        int height = 0;
        std::vector<unsigned char> const pixels = texturePixels(*texture.Get(), width, height);
        EXPECT_EQ(width, sources[id]->width);
        EXPECT_EQ(height, sources[id]->height);
        EXPECT_EQ(pixels, flippedRgba(*sources[id])) << "texture " << id;
    }
}

TEST_F(RoundTripGLTest, GeometriesOfEveryFormatUploadTheCompiledVertices) {
    compile(everyKindManifest());
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    std::set<int> formats;
    for (unsigned short id = 0; id < assets.models.geometries.size(); ++id) {
        SCOPED_TRACE("geometry " + std::to_string(id));
        vlpc::GeometryRecord const& geometry = assets.models.geometries[id];
        formats.insert(geometry.format);
        SharedPointer<MeshData> mesh;
        captureStdout([&] { mesh = f->LoadMeshData(id); });
        expectMeshMatches(mesh.operator->(), geometry);
    }
    EXPECT_EQ(formats, (std::set<int>{0, 1, 2}));

    // The raw overload appends the vertices of the format-0 geometry.
    std::vector<Engine::Util::BaseVertex> vertices(1);
    std::vector<unsigned int> indices(1, 99);
    f->LoadMeshData(0, vertices, indices);
    vlpc::GeometryRecord const& flat = assets.models.geometries[0];
    ASSERT_EQ(vertices.size(), flat.vertices.size() + 1);
    for (std::size_t i = 0; i < flat.vertices.size(); ++i) {
        std::vector<float> got(10);
        std::memcpy(got.data(), &vertices[i + 1], sizeof(float) * 10);
        EXPECT_EQ(got, floatsOf(flat.vertices[i], 0));
    }
    std::vector<unsigned int> wantIndices = {99};
    wantIndices.insert(wantIndices.end(), flat.indices.begin(), flat.indices.end());
    EXPECT_EQ(indices, wantIndices);
}

TEST_F(RoundTripGLTest, ModelAndMaterialRecordsParseToWhatWasCompiled) {
    compile(everyKindManifest());
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    ParsedModels parsed;
    captureStdout([&] { parsed = parseModels(dir.path("out") + "/", f->Counts()); });
    expectModelsMatch(parsed, assets.models);
    // The node tree gives a group root with meshes below it.
    ASSERT_EQ(parsed.models[1].components.size(), 2u);
    EXPECT_TRUE(parsed.models[1].components[1].mesh.group);
    EXPECT_FALSE(parsed.models[1].components[1].mesh.children.empty());
}

TEST_F(RoundTripGLTest, PathsLoadAsCurvePoints) {
    compile(everyKindManifest());
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    expectPathsMatch(f, assets.paths);
}

TEST_F(RoundTripGLTest, StoresShareCompiledDataWhileInUseAndReloadAfterwards) {
    compile(everyKindManifest());
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    {
        SharedPointer<MeshData> first = f->LoadMeshData(1);
        SharedPointer<MeshData> second = f->LoadMeshData(1);
        ASSERT_NE(first.operator->(), nullptr);
        EXPECT_EQ(first.operator->(), second.operator->());
        EXPECT_EQ(count(first), 3u);
        SharedPointer<TextureData> a;
        SharedPointer<TextureData> b;
        captureStdout([&] {
            a = f->LoadTextureData(1, true);
            b = f->LoadTextureData(1, false);
        });
        ASSERT_NE(a.operator->(), nullptr);
        EXPECT_EQ(a.operator->(), b.operator->());
        EXPECT_TRUE(b->IsGammaCorrect());
    }
    // Every user let go: the data is gone and the next load reads it afresh.
    SharedPointer<MeshData> again = f->LoadMeshData(1);
    EXPECT_EQ(count(again), 2u);
    expectMeshMatches(again.operator->(), assets.models.geometries[1]);
    SharedPointer<TextureData> texture;
    captureStdout([&] { texture = f->LoadTextureData(1, false); });
    ASSERT_NE(texture.operator->(), nullptr);
    EXPECT_FALSE(texture->IsGammaCorrect());
    EXPECT_EQ(count(texture), 2u);
}

TEST_F(RoundTripGLTest, ACompiledFileCutShortLoadsWhatIsLeftAndRefusesTheRest) {
    compile(everyKindManifest());
    std::string const path = dir.path("out") + "/" + Factory::MODEL_FILE;
    std::vector<std::uint8_t> bytes = fileBytes(path);
    vlpc::ModelFileContents const contents = vlpc::readModelFile(bytes);
    // Cut the file in the middle of the geometry record that ends last.
    std::size_t last = 0;
    for (std::size_t id = 1; id < contents.geometryDictionary.size(); ++id) {
        if (contents.geometryDictionary[id].offset > contents.geometryDictionary[last].offset) {
            last = id;
        }
    }
    vlpc::DictionaryEntry const cut = contents.geometryDictionary[last];
    bytes.resize(cut.offset + cut.size / 2);
    std::filesystem::remove(path);
    dir.write("out/" + std::string(Factory::MODEL_FILE), bytes);

    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    for (unsigned short id = 0; id < contents.geometryDictionary.size(); ++id) {
        SCOPED_TRACE("geometry " + std::to_string(id));
        vlpc::DictionaryEntry const entry = contents.geometryDictionary[id];
        SharedPointer<MeshData> mesh;
        std::string const log = captureStdout([&] { mesh = f->LoadMeshData(id); });
        if (entry.offset + entry.size <= bytes.size()) {
            EXPECT_EQ(log, "");
            expectMeshMatches(mesh.operator->(), assets.models.geometries[id]);
        } else {
            EXPECT_NE(log.find("FATAL"), std::string::npos) << log;
            EXPECT_NE(log.find(path), std::string::npos) << log;
            ASSERT_NE(mesh.Get(), nullptr);
            EXPECT_EQ(mesh.Get()->IndexCount(), 0u);
        }
    }
}

TEST_F(RoundTripGLTest, TheDemoAssetsLoadFromTheDefaultFolder) {
    // The build compiles the demo's manifest where the engine looks by default.
    Factory::SetDirectory(Factory::DEFAULT_DIRECTORY);
    ASSERT_TRUE(std::filesystem::exists(std::string(Factory::DEFAULT_DIRECTORY) + "models.vlp"));
    vlpc::CompiledAssets const demo =
        vlpc::ManifestCompiler().compile(std::string(PROJECT_TEST_DATA) + "/Generated/demo.json");
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->Counts().shaders, demo.shaders.shaders.size());
    ASSERT_EQ(f->Counts().textures, demo.textures.textures.size());
    ASSERT_EQ(f->Counts().geometries, demo.models.geometries.size());
    for (unsigned short id = 0; id < f->Counts().shaders; ++id) {
        DeferredShader* shader = nullptr;
        std::string const log = captureStdout([&] { shader = f->LoadShader(id); });
        ASSERT_NE(shader, nullptr) << "shader " << id;
        EXPECT_TRUE(shader->IsLinked()) << "shader " << id << "\n" << log;
    }
    for (unsigned short id = 0; id < f->Counts().textures; ++id) {
        SharedPointer<TextureData> texture;
        captureStdout([&] { texture = f->LoadTextureData(id, true); });
        ASSERT_NE(texture.operator->(), nullptr);
        int width = 0;
        int height = 0;
        texturePixels(*texture.Get(), width, height);
        EXPECT_GT(width, 0) << "texture " << id;
        EXPECT_GT(height, 0) << "texture " << id;
    }
    for (unsigned short id = 0; id < f->Counts().geometries; ++id) {
        SCOPED_TRACE("geometry " + std::to_string(id));
        SharedPointer<MeshData> mesh;
        captureStdout([&] { mesh = f->LoadMeshData(id); });
        expectMeshMatches(mesh.operator->(), demo.models.geometries[id]);
    }
    ParsedModels parsed;
    captureStdout([&] { parsed = parseModels(Factory::DEFAULT_DIRECTORY, f->Counts()); });
    expectModelsMatch(parsed, demo.models);
    expectPathsMatch(f, demo.paths);
}

namespace {

// A mesh draw hierarchy of the given number of levels: each node has one child.
json chain(std::size_t levels) {
    json node = {{"geometry", "quad"}, {"material", "paint"}};
    for (std::size_t i = 1; i < levels; ++i) {
        node = {{"geometry", "quad"}, {"material", "paint"}, {"children", {node}}};
    }
    return node;
}

// A glTF file whose node tree is a chain of the given number of mesh nodes.
std::string gltfChain(std::size_t levels) {
    std::vector<ToolsTest::GltfNode> nodes;
    for (std::size_t i = 0; i < levels; ++i) {
        ToolsTest::GltfNode node{"N" + std::to_string(i), 0, {0, 0, 1}, {}};
        if (i + 1 < levels) {
            node.children.push_back(static_cast<int>(i + 1));
        }
        nodes.push_back(node);
    }
    return ToolsTest::makeGltf({ToolsTest::triangleMesh("Body", 0)}, nodes, {0}, {"Body"});
}

std::size_t levels(RecordParser::MeshRecord const& mesh) {
    std::size_t deepest = 0;
    for (auto const& child : mesh.children) {
        deepest = std::max(deepest, levels(child));
    }
    return deepest + 1;
}

} // namespace

// Models whose meshes nest as deep as the compiler allows; the compiler refuses
// deeper ones rather than writing files the engine rejects.
class HierarchyRoundTripGLTest : public RoundTripGLTest {
protected:
    json manifest(json const& mesh) {
        dir.write("glsl/plain.vert", TestShaders::plainVertex);
        dir.write("glsl/plain.frag", TestShaders::plainDeferredFragment);
        dir.write("mesh/quad.obj", ToolsTest::quadObj());
        return {
            {"shaders",
             {{{"name", "vf"}, {"vertex", "glsl/plain.vert"}, {"fragment", "glsl/plain.frag"}}}},
            {"materials", {{{"name", "paint"}, {"shader", "vf"}, {"parts", json::array()}}}},
            {"geometries", {{{"name", "quad"}, {"file", "mesh/quad.obj"}}}},
            {"models",
             {{{"name", "deep"},
               {"components", {{{"type", "position"}}, {{"type", "meshDraw"}, {"mesh", mesh}}}}}}}};
    }

    // Compiles and returns the levels of the engine's parse of model 0.
    std::size_t loadedLevels() {
        Factory* f = factory();
        if (f == nullptr) {
            return 0;
        }
        ParsedModels parsed;
        std::string const log =
            captureStdout([&] { parsed = parseModels(dir.path("out") + "/", f->Counts()); });
        EXPECT_EQ(log, "");
        if (parsed.models.empty() || parsed.models[0].components.size() < 2) {
            return 0;
        }
        expectModelsMatch(parsed, assets.models);
        return levels(parsed.models[0].components[1].mesh);
    }

    void expectRefused(json const& mesh, std::string const& message) {
        try {
            compile(manifest(mesh));
            FAIL() << "compiled";
        } catch (vlpc::ManifestError const& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
};

TEST_F(HierarchyRoundTripGLTest, TheDeepestManifestHierarchyLoads) {
    std::size_t const deepest = vlpc::format::MAX_MESH_DEPTH;
    compile(manifest(chain(deepest)));
    EXPECT_EQ(loadedLevels(), deepest);
    expectRefused(chain(deepest + 1),
                  "mesh hierarchy deeper than " + std::to_string(deepest) + " levels");
}

TEST_F(HierarchyRoundTripGLTest, TheDeepestNodeTreeLoads) {
    std::size_t const deepest = vlpc::format::MAX_MESH_DEPTH;
    dir.write("mesh/chain.gltf", gltfChain(deepest));
    dir.write("mesh/longer.gltf", gltfChain(deepest + 1));
    compile(manifest({{"scene", "mesh/chain.gltf"}, {"materials", {{"Body", "paint"}}}}));
    EXPECT_EQ(loadedLevels(), deepest);
    expectRefused({{"scene", "mesh/longer.gltf"}, {"materials", {{"Body", "paint"}}}},
                  "makes the mesh hierarchy deeper than " + std::to_string(deepest) + " levels");
    // Below a mesh of the manifest the file's tree has one level less.
    json below = chain(2);
    below["children"][0] = {{"scene", "mesh/chain.gltf"}, {"materials", {{"Body", "paint"}}}};
    expectRefused(below, "makes the mesh hierarchy deeper than");
}

TEST_F(HierarchyRoundTripGLTest, PinnedModelIdsLeaveEmptyModelsTheEngineReads) {
    json m = manifest(chain(1));
    m["models"][0]["id"] = 3;
    compile(m);
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Counts().models, 4);
    ParsedModels parsed;
    std::string const log =
        captureStdout([&] { parsed = parseModels(dir.path("out") + "/", f->Counts()); });
    EXPECT_EQ(log, "");
    ASSERT_EQ(parsed.models.size(), 4u);
    for (int id = 0; id < 3; ++id) {
        EXPECT_TRUE(parsed.models[id].components.empty()) << "model " << id;
    }
    EXPECT_EQ(parsed.models[3].components.size(), 2u);
}

namespace {

// A source image and the RGBA texels it must decode to, bottom row first.
struct TextureCase {
    std::string name;
    TestAssets::PngImage image;
    std::vector<unsigned char> texels;
};

std::vector<TextureCase> textureCases() {
    std::vector<TextureCase> cases;
    int const w = 5;
    int const h = 3;
    auto add = [&](std::string const& name, TestAssets::PngImage image, auto texel) {
        image.width = w;
        image.height = h;
        TextureCase c{name, image, {}};
        for (int y = h - 1; y >= 0; --y) {
            for (int x = 0; x < w; ++x) {
                std::array<unsigned char, 4> const t = texel(x, y);
                c.texels.insert(c.texels.end(), t.begin(), t.end());
            }
        }
        cases.push_back(c);
    };
    auto value = [](int x, int y) { return static_cast<unsigned char>(x * 40 + y * 70 + 5); };

    for (bool interlaced : {false, true}) {
        std::string const suffix = interlaced ? " interlaced" : "";
        TestAssets::PngImage rgba;
        rgba.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        rgba.interlaced = interlaced;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                unsigned char const v = value(x, y);
                rgba.pixels.insert(rgba.pixels.end(), {v, static_cast<unsigned char>(255 - v),
                                                       static_cast<unsigned char>(v / 2),
                                                       static_cast<unsigned char>(v | 1)});
            }
        }
        add("rgba" + suffix, rgba, [&](int x, int y) {
            unsigned char const v = value(x, y);
            return std::array<unsigned char, 4>{v, static_cast<unsigned char>(255 - v),
                                                static_cast<unsigned char>(v / 2),
                                                static_cast<unsigned char>(v | 1)};
        });

        TestAssets::PngImage palette;
        palette.colorType = PNG_COLOR_TYPE_PALETTE;
        palette.interlaced = interlaced;
        palette.palette = {{10, 20, 30}, {200, 100, 50}, {0, 255, 128}};
        palette.paletteAlpha = {0, 128};
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                palette.pixels.push_back(static_cast<unsigned char>((x + y) % 3));
            }
        }
        add("palette with transparency" + suffix, palette, [&](int x, int y) {
            int const i = (x + y) % 3;
            png_color const c = palette.palette[static_cast<std::size_t>(i)];
            unsigned char const alpha = i < 2 ? palette.paletteAlpha[static_cast<std::size_t>(i)]
                                              : static_cast<unsigned char>(255);
            return std::array<unsigned char, 4>{c.red, c.green, c.blue, alpha};
        });

        TestAssets::PngImage grey16;
        grey16.colorType = PNG_COLOR_TYPE_GRAY;
        grey16.bitDepth = 16;
        grey16.interlaced = interlaced;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                grey16.pixels.insert(grey16.pixels.end(), {value(x, y), 0x77});
            }
        }
        add("16-bit grey" + suffix, grey16, [&](int x, int y) {
            unsigned char const v = value(x, y);
            return std::array<unsigned char, 4>{v, v, v, 255};
        });

        TestAssets::PngImage greyAlpha;
        greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
        greyAlpha.interlaced = interlaced;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                greyAlpha.pixels.insert(greyAlpha.pixels.end(),
                                        {value(x, y), static_cast<unsigned char>(x * 50)});
            }
        }
        add("grey with alpha" + suffix, greyAlpha, [&](int x, int y) {
            unsigned char const v = value(x, y);
            return std::array<unsigned char, 4>{v, v, v, static_cast<unsigned char>(x * 50)};
        });
    }
    return cases;
}

} // namespace

// Every kind of PNG the compiler stores decodes in the engine to its texels.
TEST_F(RoundTripGLTest, EveryStoredKindOfPngDecodesToItsTexels) {
    std::vector<TextureCase> const cases = textureCases();
    json textures = json::array();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::string const file = "tex/" + std::to_string(i) + ".png";
        std::vector<unsigned char> const png = TestAssets::encodePng(cases[i].image);
        ASSERT_FALSE(png.empty()) << cases[i].name;
        dir.write(file, png);
        textures.push_back({{"name", "t" + std::to_string(i)}, {"file", file}});
    }
    compile({{"textures", textures}});
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SharedPointer<TextureData> texture;
        ::testing::internal::CaptureStderr();
        std::string const log = captureStdout(
            [&] { texture = f->LoadTextureData(static_cast<unsigned short>(i), false); });
        std::string const warnings = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(log, "") << cases[i].name;
        // Interlaced images decode without libpng's complaints.
        EXPECT_EQ(warnings, "") << cases[i].name;
        ASSERT_NE(texture.operator->(), nullptr);
        int width = 0;
        int height = 0;
        std::vector<unsigned char> const texels = texturePixels(*texture.Get(), width, height);
        EXPECT_EQ(width, 5) << cases[i].name;
        EXPECT_EQ(height, 3) << cases[i].name;
        EXPECT_EQ(texels, cases[i].texels) << cases[i].name;
    }
}

// Mesh files from Debian's assimp-testmodels package.
class ThirdPartyRoundTripGLTest : public RoundTripGLTest,
                                  public ::testing::WithParamInterface<char const*> {};

TEST_P(ThirdPartyRoundTripGLTest, EveryGeometryLoadsAsCompiled) {
    std::string const file = std::string(ASSIMP_TEST_MODELS) + "/" + GetParam();
    if (!std::filesystem::exists(file)) {
        GTEST_SKIP() << file << " is not installed";
    }
    json geometries = json::array();
    geometries.push_back({{"name", "flat"}, {"file", file}, {"uvChannels", 0}});
    geometries.push_back({{"name", "any"}, {"file", file}});
    compile({{"geometries", geometries}});
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->Counts().geometries, assets.models.geometries.size());
    for (unsigned short id = 0; id < f->Counts().geometries; ++id) {
        SCOPED_TRACE("geometry " + std::to_string(id));
        SharedPointer<MeshData> mesh;
        captureStdout([&] { mesh = f->LoadMeshData(id); });
        expectMeshMatches(mesh.operator->(), assets.models.geometries[id]);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ThirdPartyRoundTripGLTest,
                         ::testing::Values("OBJ/box.obj", "OBJ/spider.obj",
                                           "OBJ/concave_polygon.obj",
                                           "glTF2/BoxTextured-glTF/BoxTextured.gltf",
                                           "glTF2/BoxTexcoords-glTF/boxTexcoords.gltf",
                                           "glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb",
                                           "glTF/CesiumMilkTruck/CesiumMilkTruck.gltf"));
