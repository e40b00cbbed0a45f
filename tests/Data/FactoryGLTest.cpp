#include "Data/Support/AssetWriter.h"
#include "Data/Support/PngWriter.h"
#include "Render/Support/TestShaders.h"
#include "Support/GLContext.h"
#include "Support/Output.h"

#include <Engine/Data/Factory.h>
#include <Engine/Render/LightLookupTable.h>
#include <Engine/Scene/BSPDrawComponent.h>
#include <Engine/Scene/Mesh.h>
#include <Engine/Scene/MeshDrawComponent.h>
#include <Engine/Scene/SceneObject.h>
#include <Engine/Util/Logger.h>
#include <GL/glew.h>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

using Engine::Data::Factory;
using Engine::Render::Shader::DeferredShader;
using Engine::Scene::MeshData;
using Engine::Scene::TextureData;
using Engine::Util::SharedPointer;
using TestAssets::Bytes;
using TestSupport::captureStdout;

namespace {

Bytes smallPng(int colorType) {
    TestAssets::PngImage image;
    image.width = 2;
    image.height = 2;
    image.colorType = colorType;
    image.pixels.assign(image.RowBytes() * 2, 90);
    return TestAssets::encodePng(image);
}

GLint internalFormat(TextureData const& texture) {
    glBindTexture(GL_TEXTURE_2D, texture.Texture());
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

bool isSrgb(TextureData const& texture) {
    GLint const format = internalFormat(texture);
    return format == GL_SRGB || format == GL_SRGB8 || format == GL_SRGB_ALPHA ||
           format == GL_SRGB8_ALPHA8;
}

// Lines of a log that report a fatal error.
std::size_t fatalLines(std::string const& log) {
    std::size_t lines = 0;
    for (std::size_t at = log.find("FATAL"); at != std::string::npos;
         at = log.find("FATAL", at + 1)) {
        ++lines;
    }
    return lines;
}

template <typename T> unsigned int count(SharedPointer<T> const& pointer) {
    return pointer.GetCounter()->Count();
}

} // namespace

// The factory's loaders that create OpenGL objects, on asset files written by
// each test.
class FactoryGLTest : public TestSupport::GLTest {
protected:
    void SetUp() override {
        TestSupport::GLTest::SetUp();
        Factory::SetDirectory(dir.Directory());
        using namespace TestShaders;
        shaders = {
            TestAssets::shaderRecord(plainVertex, "", "", "", plainDeferredFragment),
            TestAssets::shaderRecord(plainVertex, "", "", plainGeometry, plainDeferredFragment),
            TestAssets::shaderRecord(plainVertex, plainTessControl, plainTessEvaluation, "",
                                     plainDeferredFragment),
            TestAssets::shaderRecord(plainVertex, plainTessControl, plainTessEvaluation,
                                     plainGeometry, plainDeferredFragment),
            // Without a control text the evaluation text is not compiled.
            TestAssets::shaderRecord(plainVertex, "", "not glsl", plainGeometry,
                                     plainDeferredFragment),
            TestAssets::shaderRecord(plainVertex, plainTessControl, "", "", plainDeferredFragment),
            // The fragment text lacks its terminating zero.
            TestAssets::Writer().u16(0).u16(0).u16(0).u16(0).u16(1).u8('x').bytes,
        };
        textures = {smallPng(PNG_COLOR_TYPE_RGB), smallPng(PNG_COLOR_TYPE_RGB_ALPHA),
                    Bytes{'n', 'o', 'p', 'e', 'n', 'o', 'p', 'e'}, Bytes{}};
        geometries = {
            TestAssets::geometryRecord(0, {TestAssets::numberedVertex(0)}, {0, 0, 0}),
            TestAssets::geometryRecord(
                2, {TestAssets::numberedVertex(0), TestAssets::numberedVertex(50)}, {1, 0, 1}),
            TestAssets::geometryRecord(7, {}, {}),
        };
        writeFiles();
    }
    void TearDown() override {
        Factory::DeleteInstance();
        Factory::SetDirectory(Factory::DEFAULT_DIRECTORY);
        TestSupport::GLTest::TearDown();
    }

    void writeFiles() {
        TestAssets::writeFile(dir.Directory() + Factory::SHADER_FILE,
                              TestAssets::shaderFile(shaders));
        Bytes textureFile = TestAssets::textureFile(textures);
        // Texture 3 claims bytes past the end of the file.
        textureFile[2 + 3 * 10 + 6] = 0xFF;
        TestAssets::writeFile(dir.Directory() + Factory::TEXTURE_FILE, textureFile);
        TestAssets::writeFile(dir.Directory() + Factory::MODEL_FILE,
                              TestAssets::modelFile({}, geometries, {}));
        TestAssets::writeFile(dir.Directory() + Factory::PATH_FILE, TestAssets::pathFile({}));
    }

    Factory* factory() {
        Factory* result = nullptr;
        captureStdout([&] { result = Factory::Instance(); });
        EXPECT_NE(result, nullptr);
        return result;
    }

    TestAssets::TempDir dir;
    std::vector<Bytes> shaders;
    std::vector<Bytes> textures;
    std::vector<Bytes> geometries;
};

TEST_F(FactoryGLTest, ShaderRecordsChooseTheirConstructorByTheirStages) {
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    struct Case {
        unsigned short id;
        unsigned int primitive;
        bool geometryStage;
        bool tessellation;
    };
    Case const cases[] = {{0, 4, false, false}, {1, 4, true, false}, {2, 14, false, true},
                          {3, 14, true, true},  {4, 4, true, false}, {5, 4, false, false}};
    for (Case const& c : cases) {
        DeferredShader* shader = nullptr;
        std::string const out = captureStdout([&] { shader = f->LoadShader(c.id); });
        ASSERT_NE(shader, nullptr) << c.id;
        EXPECT_EQ(out, "") << c.id;
        EXPECT_TRUE(shader->IsLinked()) << c.id;
        EXPECT_EQ(shader->Id(), c.id);
        EXPECT_EQ(shader->PrimitiveType(), c.primitive) << c.id;
        GLuint const program = static_cast<GLuint>(shader->getProgramHandle());
        // billBoardSize is used by the geometry stage only, emit by the
        // tessellation control stage only.
        EXPECT_EQ(glGetUniformLocation(program, "billBoardSize") != -1, c.geometryStage) << c.id;
        EXPECT_EQ(glGetUniformLocation(program, "emit") != -1, c.tessellation) << c.id;
    }
}

TEST_F(FactoryGLTest, AShaderIsBuiltOnceAndOwnedByTheFactory) {
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    DeferredShader* first = nullptr;
    captureStdout([&] { first = f->LoadShader(1); });
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(f->LoadShader(1), first);
    GLuint const program = static_cast<GLuint>(first->getProgramHandle());
    EXPECT_TRUE(glIsProgram(program));
    Factory::DeleteInstance();
    EXPECT_FALSE(glIsProgram(program));
}

TEST_F(FactoryGLTest, BadShaderIdsAndRecordsGiveNull) {
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    std::string const file = dir.Directory() + Factory::SHADER_FILE;
    DeferredShader* shader = nullptr;
    std::string out = captureStdout([&] { shader = f->LoadShader(7); });
    EXPECT_EQ(shader, nullptr);
    EXPECT_EQ(out, "FATAL Cannot load shader 7: no such id in " + file + " (7 records)\n");
    out = captureStdout([&] { shader = f->LoadShader(6); });
    EXPECT_EQ(shader, nullptr);
    EXPECT_EQ(out, "FATAL Corrupt shader record 6 in " + file +
                       ": the fragment shader text is not zero-terminated\n");
}

TEST_F(FactoryGLTest, GeometryIsSharedWhileInUseAndReloadedAfterwards) {
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    GLuint buffer = 0;
    {
        SharedPointer<MeshData> first = f->LoadMeshData(0);
        SharedPointer<MeshData> second = f->LoadMeshData(0);
        ASSERT_NE(first.Get(), nullptr);
        EXPECT_EQ(first.Get(), second.Get());
        EXPECT_EQ(count(first), 3u);
        EXPECT_EQ(*first.DataStoreLimit(), Factory::STORE_LIMIT);
        buffer = first->VertexBuffer();
        EXPECT_TRUE(glIsBuffer(buffer));
        EXPECT_EQ(first->IndexCount(), 3u);
    }
    // Only the store's reference is left: the data is gone.
    EXPECT_FALSE(glIsBuffer(buffer));
    SharedPointer<MeshData> again = f->LoadMeshData(0);
    ASSERT_NE(again.operator->(), nullptr);
    EXPECT_EQ(count(again), 2u);
    EXPECT_TRUE(glIsBuffer(again->VertexBuffer()));
    EXPECT_EQ(again->IndexCount(), 3u);
}

TEST_F(FactoryGLTest, FormatTwoGeometryUploadsTheFileVerticesUnchanged) {
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    SharedPointer<MeshData> mesh = f->LoadMeshData(1);
    EXPECT_EQ(mesh->Format(), MeshData::FORMAT_UV);
    EXPECT_EQ(mesh->IndexCount(), 3u);
    glBindBuffer(GL_ARRAY_BUFFER, mesh->VertexBuffer());
    GLint size = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    ASSERT_EQ(size, 176);
    Bytes uploaded(176);
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, 176, uploaded.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    EXPECT_EQ(std::memcmp(uploaded.data(), geometries[1].data() + 5, 176), 0);
}

TEST_F(FactoryGLTest, BadGeometryGivesAnEmptyMeshThatIsNotStored) {
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    std::string const file = dir.Directory() + Factory::MODEL_FILE;
    for (int attempt = 0; attempt < 2; ++attempt) {
        SharedPointer<MeshData> mesh;
        std::string const out = captureStdout([&] { mesh = f->LoadMeshData(2); });
        EXPECT_EQ(out, "FATAL Corrupt geometry record 2 in " + file +
                           ": vertex format 7 is not 0, 1 or 2\n");
        ASSERT_NE(mesh.operator->(), nullptr);
        EXPECT_EQ(mesh->IndexCount(), 0u);
        EXPECT_EQ(count(mesh), 1u);
    }
    SharedPointer<MeshData> missing;
    std::string const out = captureStdout([&] { missing = f->LoadMeshData(3); });
    EXPECT_EQ(out, "FATAL Cannot load geometry 3: no such id in " + file + " (3 records)\n");
    EXPECT_EQ(missing->IndexCount(), 0u);
}

TEST_F(FactoryGLTest, ATextureKeepsItsFirstDecodingWhileHeld) {
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    GLuint name = 0;
    {
        SharedPointer<TextureData> diffuse = f->LoadTextureData(0, true);
        SharedPointer<TextureData> normal = f->LoadTextureData(0, false);
        EXPECT_EQ(diffuse.Get(), normal.Get());
        EXPECT_EQ(count(diffuse), 3u);
        EXPECT_TRUE(normal->IsGammaCorrect());
        EXPECT_TRUE(isSrgb(*normal.Get()));
        name = diffuse->Texture();
    }
    EXPECT_FALSE(glIsTexture(name));
    SharedPointer<TextureData> linear = f->LoadTextureData(0, false);
    EXPECT_FALSE(linear->IsGammaCorrect());
    EXPECT_FALSE(isSrgb(*linear.Get()));
    EXPECT_EQ(count(linear), 2u);
    SharedPointer<TextureData> rgba = f->LoadTextureData(1, true);
    EXPECT_TRUE(isSrgb(*rgba.Get()));
}

TEST_F(FactoryGLTest, AnUndecodableTextureIsStoredWithoutImage) {
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    SharedPointer<TextureData> first;
    std::string out = captureStdout([&] { first = f->LoadTextureData(2, false); });
    EXPECT_EQ(out, "FATAL PNG Signature check failed\n");
    SharedPointer<TextureData> second;
    out = captureStdout([&] { second = f->LoadTextureData(2, false); });
    EXPECT_EQ(out, "");
    EXPECT_EQ(first.Get(), second.Get());
}

TEST_F(FactoryGLTest, DecodingErrorsNameTheTexture) {
    // The zlib header of texture 0's image data is damaged.
    ASSERT_EQ(std::string(textures[0].begin() + 37, textures[0].begin() + 41), "IDAT");
    textures[0][41] ^= 0xFF;
    writeFiles();
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    std::string const out = captureStdout([&] { f->LoadTextureData(0, false); });
    EXPECT_EQ(out.rfind("FATAL PNG error in texture 0: IDAT: ", 0), 0u) << out;
}

TEST_F(FactoryGLTest, TexturesOutsideTheFileAreRefused) {
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    std::string const file = dir.Directory() + Factory::TEXTURE_FILE;
    SharedPointer<TextureData> texture;
    std::string out = captureStdout([&] { texture = f->LoadTextureData(3, false); });
    EXPECT_NE(out.find("FATAL Corrupt texture record 3 in " + file + ": bytes "), std::string::npos)
        << out;
    EXPECT_NE(out.find("lie past the end of the file"), std::string::npos) << out;
    ASSERT_NE(texture.operator->(), nullptr);
    EXPECT_EQ(count(texture), 1u);
    out = captureStdout([&] { texture = f->LoadTextureData(4, false); });
    EXPECT_EQ(out, "FATAL Cannot load texture 4: no such id in " + file + " (4 records)\n");
    EXPECT_NE(texture->Texture(), 0u);
}

TEST_F(FactoryGLTest, DeletingTheFactoryReleasesTheStoresReferences) {
    Factory* f = factory();
    ASSERT_NE(f, nullptr);
    SharedPointer<TextureData> texture = f->LoadTextureData(0, true);
    SharedPointer<MeshData> mesh = f->LoadMeshData(0);
    GLuint const name = texture->Texture();
    GLuint const buffer = mesh->VertexBuffer();
    Factory::DeleteInstance();
    // With a store limit of 1 the data goes with the store's reference; the
    // holders keep only their counters.
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_FALSE(glIsBuffer(buffer));
    EXPECT_EQ(count(texture), 1u);
    EXPECT_EQ(texture.operator->(), nullptr);
    EXPECT_EQ(mesh.operator->(), nullptr);
}

TEST_F(FactoryGLTest, SceneObjectsFromDamagedOrOddModelRecords) {
    using namespace Engine::Scene;
    float const identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float const low[3] = {0, 0, 0};
    float const high[3] = {1, 1, 1};
    Bytes const mesh = TestAssets::meshNode(identity, low, high, 0, 1, {}, {});
    Bytes const bsp = TestAssets::Writer().u16(0).u16(1).bytes;
    // The mesh's length claims more bytes than the record holds.
    Bytes truncated = TestAssets::modelRecord({TestAssets::component(2, mesh)});
    truncated.resize(truncated.size() - 3);
    std::vector<Bytes> const models = {
        // Types 3 and 9 make nothing; the second position component replaces
        // the first; the mesh's material record is corrupt; the BSP geometry
        // has texture channels.
        TestAssets::modelRecord({TestAssets::component(1, {}), TestAssets::component(3, {}),
                                 TestAssets::component(9, {1, 2, 3}), TestAssets::component(1, {}),
                                 TestAssets::component(2, mesh), TestAssets::component(7, bsp)}),
        truncated,
        // Geometry 5 does not exist.
        TestAssets::modelRecord(
            {TestAssets::component(2, TestAssets::meshNode(identity, low, high, 5, 0, {}, {}))}),
    };
    std::vector<Bytes> const materials = {
        TestAssets::materialRecord(0, {TestAssets::diffuseColorPart(1, 1, 1, 0)}),
        TestAssets::materialRecord(0, {TestAssets::Writer().u16(9).bytes}),
    };
    TestAssets::writeFile(dir.Directory() + Factory::MODEL_FILE,
                          TestAssets::modelFile(materials, geometries, models));
    Factory* f = factory();
    ASSERT_NE(f, nullptr);

    SceneObject* object = nullptr;
    std::string log = captureStdout([&] { object = f->LoadSceneObject(0, nullptr); });
    ASSERT_NE(object, nullptr);
    std::vector<ComponentID> ids;
    for (auto const& entry : object->Components()) {
        ids.push_back(entry.first);
    }
    ASSERT_EQ(ids, (std::vector<ComponentID>{COMPONENT_POSITION, COMPONENT_MESH_DRAW,
                                             COMPONENT_BSP_DRAW}));
    EXPECT_EQ(fatalLines(log), 3u) << log;
    EXPECT_NE(log.find("second component of type 1"), std::string::npos) << log;
    EXPECT_NE(log.find("Corrupt material record 1"), std::string::npos) << log;
    EXPECT_NE(log.find("FATAL Cannot use textures with BSP-Trees"), std::string::npos) << log;
    // What could not be loaded stays inert.
    Mesh* root =
        static_cast<MeshDrawComponent*>(object->Components(COMPONENT_MESH_DRAW))->CurrentMesh();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->CurrentMaterial(), nullptr);
    EXPECT_NE(root->Boundings(), nullptr);
    auto* tree = static_cast<BSPDrawComponent*>(object->Components(COMPONENT_BSP_DRAW));
    EXPECT_EQ(tree->Root(), nullptr);
    EXPECT_EQ(tree->VertexBuffer(), 0u);
    delete object;

    for (unsigned short id : {1, 2}) {
        SCOPED_TRACE("model " + std::to_string(id));
        log = captureStdout([&] { object = f->LoadSceneObject(id, nullptr); });
        EXPECT_EQ(object, nullptr);
        EXPECT_EQ(fatalLines(log), 1u) << log;
        EXPECT_NE(log.find("Corrupt model record " + std::to_string(id)), std::string::npos) << log;
    }
}

TEST_F(FactoryGLTest, LightLookupTableLoadsOrFailsWithItsPath) {
    const std::string path = dir.Directory() + Factory::LIGHT_LOOKUP_FILE;
    Engine::Util::Logger* log = Engine::Util::Logger::Instance();
    auto failsWithPath = [&](char const* what) {
        Engine::Render::LightLookupTable* table = nullptr;
        const int before = log->Position();
        captureStdout([&] { table = Factory::LoadLightLookupTable(); });
        EXPECT_EQ(table, nullptr) << what;
        EXPECT_GE(log->Position() - before, 2) << what;
        EXPECT_EQ(std::string(log->Get(log->Position() - 1)), "Path: " + path) << what;
        delete table;
    };
    failsWithPath("missing");
    // 2 x 2 tables: header, table A, table B's largest value, table B.
    TestAssets::Writer file;
    file.u16(2).u16(2).f32(0).f32(4).f32(0).f32(1.5707964f).f32(0.05f).f32(2.0f);
    for (float v : {0.0f, 0.0f, 0.5f, 1.0f}) {
        file.f32(v);
    }
    file.f32(3.0f);
    for (float v : {0.0f, 0.0f, 0.25f, 1.0f}) {
        file.f32(v);
    }
    TestAssets::writeFile(path, Bytes(file.bytes.begin(), file.bytes.end() - 3));
    failsWithPath("short");
    Bytes corrupt = file.bytes;
    corrupt[20] = 0xFF; // beta's exponent: NaN
    corrupt[21] = 0xFF;
    corrupt[22] = 0xFF;
    corrupt[23] = 0xFF;
    TestAssets::writeFile(path, corrupt);
    failsWithPath("corrupt");

    TestAssets::writeFile(path, file.bytes);
    Engine::Render::LightLookupTable* table = nullptr;
    captureStdout([&] { table = Factory::LoadLightLookupTable(); });
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->getMaxAValue(), 2.0f);
    EXPECT_EQ(table->getMaxBValue(), 3.0f);
    EXPECT_EQ(table->getMaxAB(), 4.0f);
    EXPECT_EQ(table->getMaxC(), 1.5707964f);
    EXPECT_EQ(table->getBeta(), 0.05f);
    float texels[4] = {};
    glBindTexture(GL_TEXTURE_2D, table->TableB());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, texels);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_NEAR(texels[2], 0.25f, 1e-6f);
    EXPECT_NEAR(texels[3], 1.0f, 1e-6f);
    delete table;
}
