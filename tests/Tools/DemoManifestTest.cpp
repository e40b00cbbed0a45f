#include "ToolsTestSupport.h"

#include <gtest/gtest.h>
#include <set>
#include <vlpc/FormatReader.h>
#include <vlpc/ManifestCompiler.h>

// The project's own manifest: it compiles without warnings, uses every record
// kind, and gives the demo program the scene objects it loads by id.
namespace {

using namespace vlpc;

std::string const MANIFEST = std::string(PROJECT_TEST_DATA) + "/Generated/demo.json";

class DemoManifest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new ToolsTest::TempDir;
        result = new ToolsTest::RunResult(ToolsTest::runVlpc({MANIFEST, "-o", dir->path(), "-q"}));
    }
    static void TearDownTestSuite() {
        delete result;
        delete dir;
    }

    ModelFile models() const {
        ReferenceCounts counts;
        counts.shaders =
            readShaderFile(ToolsTest::readBytes(dir->path("shaders.vlp"))).file.shaders.size();
        counts.textures =
            readTextureFile(ToolsTest::readBytes(dir->path("textures.vlp"))).file.textures.size();
        counts.paths = readPathFile(ToolsTest::readBytes(dir->path("path.vlp"))).file.paths.size();
        return readModelFile(ToolsTest::readBytes(dir->path("models.vlp")), counts).file;
    }

    static ToolsTest::TempDir* dir;
    static ToolsTest::RunResult* result;
};

ToolsTest::TempDir* DemoManifest::dir = nullptr;
ToolsTest::RunResult* DemoManifest::result = nullptr;

void collect(MeshNode const& node, std::set<int>& groups) {
    groups.insert(node.group != 0 ? 1 : 0);
    for (MeshNode const& child : node.children) {
        collect(child, groups);
    }
}

} // namespace

TEST_F(DemoManifest, CompilesCleanly) {
    EXPECT_EQ(result->exitCode, 0);
    EXPECT_EQ(result->err, "");
}

TEST_F(DemoManifest, EveryFileValidates) {
    ASSERT_EQ(result->exitCode, 0);
    for (char const* name : {"shaders.vlp", "textures.vlp", "models.vlp", "path.vlp"}) {
        ToolsTest::RunResult const dump = ToolsTest::runVlpc({"--dump", dir->path(name)});
        EXPECT_EQ(dump.exitCode, 0) << name << ": " << dump.err;
        EXPECT_EQ(dump.out.find("note:"), std::string::npos) << dump.out;
    }
}

TEST_F(DemoManifest, ShadersCoverEveryConstructorChoice) {
    ASSERT_EQ(result->exitCode, 0);
    ShaderFile const shaders = readShaderFile(ToolsTest::readBytes(dir->path("shaders.vlp"))).file;
    bool plain = false;
    bool withGeometry = false;
    bool withTessellation = false;
    for (ShaderRecord const& s : shaders.shaders) {
        bool const tess = !s.stages[1].empty() && !s.stages[2].empty();
        bool const geometry = !s.stages[3].empty();
        plain = plain || (!tess && !geometry);
        withGeometry = withGeometry || (!tess && geometry);
        withTessellation = withTessellation || (tess && !geometry);
    }
    EXPECT_TRUE(plain);
    EXPECT_TRUE(withGeometry);
    EXPECT_TRUE(withTessellation);
}

TEST_F(DemoManifest, UsesEveryRecordKind) {
    ASSERT_EQ(result->exitCode, 0);
    ModelFile const file = models();
    std::set<std::uint16_t> partTypes;
    for (MaterialRecord const& m : file.materials) {
        for (MaterialPart const& p : m.parts) {
            partTypes.insert(p.type);
        }
    }
    EXPECT_EQ(partTypes, (std::set<std::uint16_t>{0, 1, 2, 3, 4}));
    std::set<int> formats;
    for (GeometryRecord const& g : file.geometries) {
        formats.insert(g.format);
    }
    EXPECT_EQ(formats, (std::set<int>{0, 1, 2}));
    std::set<std::uint16_t> componentTypes;
    std::set<std::pair<int, int>> lightKinds; // kind, casts shadow
    std::set<int> nodeKinds;
    bool mapped = false;
    for (ModelRecord const& model : file.models) {
        for (ComponentRecord const& c : model.components) {
            componentTypes.insert(c.type);
            for (LightRecord const& l : c.lights) {
                lightKinds.insert({l.kind, l.castsShadow});
            }
            if (c.type == COMPONENT_MESH_DRAW) {
                collect(c.mesh, nodeKinds);
                mapped = mapped || !c.mesh.uvMapping.empty();
            }
        }
    }
    EXPECT_EQ(componentTypes, (std::set<std::uint16_t>{1, 2, 4, 5, 6, 7}));
    EXPECT_EQ(lightKinds, (std::set<std::pair<int, int>>{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
    EXPECT_EQ(nodeKinds, (std::set<int>{0, 1}));
    EXPECT_TRUE(mapped);
}

TEST_F(DemoManifest, TheDemoScenesHaveTheirComponents) {
    ASSERT_EQ(result->exitCode, 0);
    ModelFile const file = models();
    ASSERT_GE(file.models.size(), 11u);
    // The first world takes the light and path components out of object 10;
    // the second world adds lights to the light component of object 9.
    for (std::size_t id : {9u, 10u}) {
        std::set<std::uint16_t> types;
        for (ComponentRecord const& c : file.models[id].components) {
            types.insert(c.type);
        }
        EXPECT_TRUE(types.count(COMPONENT_POSITION)) << id;
        EXPECT_TRUE(types.count(COMPONENT_MESH_DRAW)) << id;
        EXPECT_TRUE(types.count(COMPONENT_LIGHT)) << id;
        EXPECT_TRUE(types.count(COMPONENT_PATH_ANIMATION)) << id;
    }
}

TEST_F(DemoManifest, BuildStepOutputMatchesAFreshCompile) {
    ASSERT_EQ(result->exitCode, 0);
    std::string const built = std::string(PROJECT_TEST_DATA) + "/Compile/";
    for (char const* name : {"shaders.vlp", "textures.vlp", "models.vlp", "path.vlp"}) {
        EXPECT_EQ(ToolsTest::readBytes(built + name), ToolsTest::readBytes(dir->path(name)))
            << name;
    }
}
