#include "Data/Support/AssetWriter.h"
#include "Support/Output.h"

#include <Engine/Data/Factory.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

using Engine::Data::Factory;
using TestAssets::Bytes;
using TestSupport::captureStdout;

namespace {

// Number of open file descriptors of this process.
std::size_t openFiles() {
    std::size_t count = 0;
    for (auto const& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++count;
    }
    return count;
}

} // namespace

// Factory tests that need no OpenGL: opening, version checks, dictionaries,
// paths and raw geometry. Each test writes its own asset files.
class FactoryTest : public ::testing::Test {
protected:
    void SetUp() override { Factory::SetDirectory(dir.Directory()); }
    void TearDown() override {
        Factory::DeleteInstance();
        Factory::SetDirectory(Factory::DEFAULT_DIRECTORY);
    }

    std::string path(char const* name) const { return dir.Directory() + name; }

    void write(char const* name, Bytes const& bytes) { TestAssets::writeFile(path(name), bytes); }

    // A complete, valid set of the four files.
    void writeValidSet() {
        write(Factory::SHADER_FILE,
              TestAssets::shaderFile({TestAssets::shaderRecord("v", "", "", "", "f")}));
        write(Factory::TEXTURE_FILE, TestAssets::textureFile({Bytes(2048, 1), Bytes(1536, 2)}));
        write(Factory::MODEL_FILE, TestAssets::modelFile({TestAssets::materialRecord(0, {})},
                                                         {baseGeometry(), uvGeometry()}, {}));
        write(Factory::PATH_FILE,
              TestAssets::pathFile({TestAssets::pathRecord({{0, 1, 2, 3}, {10, 4, 5, 6}})}));
    }

    static Bytes baseGeometry() {
        return TestAssets::geometryRecord(0,
                                          {TestAssets::numberedVertex(0),
                                           TestAssets::numberedVertex(10),
                                           TestAssets::numberedVertex(20)},
                                          {0, 1, 2});
    }
    static Bytes uvGeometry() {
        return TestAssets::geometryRecord(1, {TestAssets::numberedVertex(0)}, {0, 0, 0});
    }

    Factory* create(std::string* output = nullptr) {
        Factory* factory = nullptr;
        std::string const out = captureStdout([&] { factory = Factory::Instance(); });
        if (output != nullptr) {
            *output = out;
        }
        return factory;
    }

    TestAssets::TempDir dir;
};

TEST_F(FactoryTest, DefaultDirectoryIsTheCompiledTestData) {
    Factory::SetDirectory(Factory::DEFAULT_DIRECTORY);
    EXPECT_EQ(Factory::Directory(), "../../TestData/Compile/");
    Factory::SetDirectory("some/where");
    EXPECT_EQ(Factory::Directory(), "some/where/");
}

TEST_F(FactoryTest, InstanceDumpsEveryDictionary) {
    writeValidSet();
    std::string out;
    Factory* factory = create(&out);
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(Factory::Instance(), factory);
    EXPECT_EQ(out, "TextureDictionary\n"
                   "Id: 0  Offset: 22  Size: 2kb\n"
                   "Id: 1  Offset: 2070  Size: 1.5kb\n"
                   "-----------------\n"
                   "ShaderDictionary\n"
                   "Id: 0  Offset: 14  Size: 14\n"
                   "----------------\n"
                   "MaterialDictionary\n"
                   "Id: 0  Offset: 38  Size: 3\n"
                   "------------------\n"
                   "GeometryDictionary\n"
                   "Id: 0  Offset: 150  Size: 141\n"
                   "Id: 1  Offset: 41  Size: 109\n"
                   "------------------\n"
                   "ModelDictionary\n"
                   "---------------\n"
                   "PathDictionary\n"
                   "Id: 0  Offset: 12  Size: 34byte\n"
                   "-----------------\n");
    EXPECT_EQ(factory->Counts().textures, 2);
    EXPECT_EQ(factory->Counts().shaders, 1);
    EXPECT_EQ(factory->Counts().materials, 1);
    EXPECT_EQ(factory->Counts().geometries, 2);
    EXPECT_EQ(factory->Counts().models, 0);
    EXPECT_EQ(factory->Counts().paths, 1);
}

TEST_F(FactoryTest, WrongShaderVersionOpensNothingElse) {
    writeValidSet();
    write(Factory::SHADER_FILE, TestAssets::shaderFile({}, 2));
    // The other files are missing: opening any of them would be reported.
    std::filesystem::remove(path(Factory::TEXTURE_FILE));
    std::filesystem::remove(path(Factory::MODEL_FILE));
    std::size_t const before = openFiles();
    std::string out;
    EXPECT_EQ(create(&out), nullptr);
    EXPECT_EQ(out, "FATAL Wrong Version of ShaderFormat. Please recompile your binary files!\n"
                   "Version is 2, but should be 1\n");
    EXPECT_EQ(openFiles(), before);
}

TEST_F(FactoryTest, WrongModelVersionClosesAllFiles) {
    writeValidSet();
    write(Factory::MODEL_FILE, TestAssets::modelFile({}, {}, {}, 3));
    std::size_t const before = openFiles();
    std::string out;
    EXPECT_EQ(create(&out), nullptr);
    EXPECT_EQ(out, "FATAL Wrong Version of Modelformat. Please recompile your binary files!\n"
                   "Version is 3, but should be 4\n");
    EXPECT_EQ(openFiles(), before);
}

TEST_F(FactoryTest, MissingFilesAreNamedWithTheirPath) {
    struct Case {
        char const* file;
        char const* message;
    };
    Case const cases[] = {{Factory::SHADER_FILE, "Cannot open binary shader file"},
                          {Factory::TEXTURE_FILE, "Cannot open binary texture file"},
                          {Factory::MODEL_FILE, "Cannot open binary model file"},
                          {Factory::PATH_FILE, "Cannot open binary path file"}};
    for (Case const& c : cases) {
        writeValidSet();
        std::filesystem::remove(path(c.file));
        std::size_t const before = openFiles();
        std::string out;
        EXPECT_EQ(create(&out), nullptr) << c.file;
        EXPECT_EQ(out, std::string("FATAL ") + c.message + "\nPath: " + path(c.file) + "\n");
        EXPECT_EQ(openFiles(), before) << c.file;
    }
}

TEST_F(FactoryTest, ALaterCallTriesAgain) {
    writeValidSet();
    std::filesystem::remove(path(Factory::PATH_FILE));
    EXPECT_EQ(create(), nullptr);
    writeValidSet();
    EXPECT_NE(create(), nullptr);
}

TEST_F(FactoryTest, DeleteInstanceMakesTheNextCallCreateAFreshOne) {
    writeValidSet();
    ASSERT_NE(create(), nullptr);
    Factory::DeleteInstance();
    Factory::DeleteInstance();
    write(Factory::PATH_FILE, TestAssets::pathFile({}));
    Factory* factory = create();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(factory->Counts().paths, 0);
}

TEST_F(FactoryTest, ShortShaderFileIsReported) {
    writeValidSet();
    write(Factory::SHADER_FILE, Bytes{1});
    std::string out;
    EXPECT_EQ(create(&out), nullptr);
    EXPECT_EQ(out, "FATAL Cannot read the format version of " + path(Factory::SHADER_FILE) + "\n");
}

TEST_F(FactoryTest, EmptyDictionaryLogsTitleAndClosingLine) {
    writeValidSet();
    write(Factory::PATH_FILE, TestAssets::pathFile({}));
    std::string out;
    ASSERT_NE(create(&out), nullptr);
    EXPECT_NE(out.find("PathDictionary\n-----------------\n"), std::string::npos) << out;
}

TEST_F(FactoryTest, TruncatedDictionariesAreEmptied) {
    writeValidSet();
    // Three materials announced, one dictionary record present, nothing after.
    write(Factory::MODEL_FILE, TestAssets::Writer().u16(4).u16(3).u16(0).u32(0).u32(0).bytes);
    std::string out;
    Factory* factory = create(&out);
    ASSERT_NE(factory, nullptr);
    std::string const file = path(Factory::MODEL_FILE);
    EXPECT_NE(out.find("MaterialDictionary\nFATAL Corrupt MaterialDictionary in " + file +
                       ": 3 records need 30 bytes, the file has 10\n------------------\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("FATAL Corrupt GeometryDictionary in " + file +
                       ": the file ends before its count"),
              std::string::npos)
        << out;
    EXPECT_EQ(factory->Counts().materials, 0);
    EXPECT_EQ(factory->Counts().geometries, 0);
    EXPECT_EQ(factory->Counts().models, 0);
}

TEST_F(FactoryTest, LoadPathMakesNewPointsInFileOrder) {
    writeValidSet();
    Factory* factory = create();
    ASSERT_NE(factory, nullptr);
    unsigned short count = 99;
    Engine::Util::CurvePoint** points = factory->LoadPath(0, &count);
    ASSERT_NE(points, nullptr);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(points[0]->Time(), 0.0f);
    EXPECT_EQ(points[0]->Point(), Engine::Math::Vec3f(1, 2, 3));
    EXPECT_EQ(points[1]->Time(), 10.0f);
    EXPECT_EQ(points[1]->Point(), Engine::Math::Vec3f(4, 5, 6));
    EXPECT_EQ(points[1]->Tangent(), Engine::Math::Vec3f(0, 0, 0));
    for (unsigned short i = 0; i < count; ++i) {
        delete points[i];
    }
    delete[] points;
}

TEST_F(FactoryTest, AnEmptyPathGivesAnEmptyArray) {
    writeValidSet();
    write(Factory::PATH_FILE, TestAssets::pathFile({TestAssets::pathRecord({})}));
    Factory* factory = create();
    ASSERT_NE(factory, nullptr);
    unsigned short count = 99;
    Engine::Util::CurvePoint** points = factory->LoadPath(0, &count);
    EXPECT_NE(points, nullptr);
    EXPECT_EQ(count, 0);
    delete[] points;
}

TEST_F(FactoryTest, LoadPathRejectsBadIdsAndRecords) {
    writeValidSet();
    std::vector<TestAssets::PathPoint> const tooMany(256, {0, 0, 0, 0});
    Bytes file = TestAssets::pathFile(
        {TestAssets::pathRecord({{0, 1, 2, 3}}), TestAssets::pathRecord(tooMany), Bytes{}});
    // Record 2 claims 1 MiB, far more than the file has.
    file[2 + 20 + 8] = 0x10;
    write(Factory::PATH_FILE, file);
    Factory* factory = create();
    ASSERT_NE(factory, nullptr);
    std::string const pathFile = path(Factory::PATH_FILE);
    struct Case {
        unsigned short id;
        std::string message;
    };
    Case const cases[] = {
        {3, "FATAL Cannot load path 3: no such id in " + pathFile + " (3 records)\n"},
        {1, "FATAL Corrupt path record 1 in " + pathFile +
                ": the path has 256 points, at most 255 are allowed\n"},
        {2, "FATAL Corrupt path record 2 in " + pathFile +
                ": bytes 32 to 1048608 lie past the end "
                "of the file (" +
                std::to_string(file.size()) + " bytes)\n"}};
    for (Case const& c : cases) {
        unsigned short count = 99;
        Engine::Util::CurvePoint** points = nullptr;
        std::string const out = captureStdout([&] { points = factory->LoadPath(c.id, &count); });
        EXPECT_EQ(points, nullptr);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(out, c.message);
    }
}

TEST_F(FactoryTest, RawMeshDataAppendsBaseVertices) {
    writeValidSet();
    Factory* factory = create();
    ASSERT_NE(factory, nullptr);
    std::vector<Engine::Util::BaseVertex> vertices(1);
    std::vector<unsigned int> indices{7};
    factory->LoadMeshData(0, vertices, indices);
    ASSERT_EQ(vertices.size(), 4u);
    EXPECT_EQ(indices, (std::vector<unsigned int>{7, 0, 1, 2}));
    EXPECT_EQ(vertices[0], Engine::Util::BaseVertex());
    EXPECT_EQ(vertices[2].position, Engine::Math::Vec4f(10, 11, 12, 13));
    EXPECT_EQ(vertices[3].smoothNormal, Engine::Math::Vec3f(27, 28, 29));
}

TEST_F(FactoryTest, RawMeshDataRefusesTexturedGeometry) {
    writeValidSet();
    Factory* factory = create();
    ASSERT_NE(factory, nullptr);
    std::vector<Engine::Util::BaseVertex> vertices;
    std::vector<unsigned int> indices;
    std::string out = captureStdout([&] { factory->LoadMeshData(1, vertices, indices); });
    EXPECT_EQ(out, "FATAL Cannot use textures with BSP-Trees\n");
    out = captureStdout([&] { factory->LoadMeshData(2, vertices, indices); });
    EXPECT_EQ(out, "FATAL Cannot load geometry 2: no such id in " + path(Factory::MODEL_FILE) +
                       " (2 records)\n");
    EXPECT_TRUE(vertices.empty());
    EXPECT_TRUE(indices.empty());
}
