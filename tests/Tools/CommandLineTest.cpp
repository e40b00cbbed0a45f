#include "ToolsTestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <vlpc/FormatReader.h>

using ToolsTest::readBytes;
using ToolsTest::runVlpc;

namespace {

namespace fs = std::filesystem;

char const* const FILES[] = {"shaders.vlp", "textures.vlp", "models.vlp", "path.vlp"};

// A small manifest with one record of each kind.
class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("s.vert", "void main() {}\n");
        dir.write("s.frag", "void main() {}\n");
        dir.write("t.png", ToolsTest::makePng(2, 2));
        dir.write("q.obj", ToolsTest::quadObj());
        manifest = dir.write("m.json", R"({
            "shaders": [{"name": "s", "vertex": "s.vert", "fragment": "s.frag"}],
            "textures": [{"name": "t", "file": "t.png"}],
            "materials": [{"name": "m", "shader": "s",
                           "parts": [{"type": "diffuseTexture", "texture": "t"}]}],
            "geometries": [{"name": "q", "file": "q.obj"}],
            "paths": [{"name": "p", "points": [[0, 0, 0, 0], [1, 1, 1, 1]]}],
            "models": [{"name": "o", "components": [
                {"type": "position"},
                {"type": "meshDraw", "mesh": {"geometry": "q", "material": "m"}},
                {"type": "pathAnimation", "position": "p", "lookAt": "p"}]}]
        })");
    }

    ToolsTest::TempDir dir;
    std::string manifest;
};

} // namespace

TEST_F(CommandLineTest, CompilesAllFourFilesWithProgress) {
    ToolsTest::RunResult const result = runVlpc({manifest, "-o", dir.path("out")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_NE(result.out.find("vlpc: importing " + dir.path("q.obj")), std::string::npos);
    EXPECT_NE(result.out.find("vlpc: 1 shaders, 1 textures, 1 materials, 1 geometries, 1 paths, "
                              "1 models"),
              std::string::npos);
    for (char const* name : FILES) {
        EXPECT_TRUE(fs::is_regular_file(dir.path("out") + "/" + name)) << name;
        EXPECT_NE(result.out.find(std::string(name) + " ("), std::string::npos) << name;
    }
    // Nothing but the four files is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path("out")), fs::directory_iterator()), 4);
    vlpc::ModelFileContents const models =
        vlpc::readModelFile(readBytes(dir.path("out/models.vlp")));
    EXPECT_EQ(models.file.models.size(), 1u);
}

TEST_F(CommandLineTest, QuietCompileSaysNothing) {
    ToolsTest::RunResult const result = runVlpc({"-q", manifest, "-o", dir.path("out")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
}

TEST_F(CommandLineTest, ErrorLeavesEarlierOutputUntouched) {
    ASSERT_EQ(runVlpc({manifest, "-o", dir.path("out"), "-q"}).exitCode, 0);
    std::vector<std::vector<std::uint8_t>> before;
    for (char const* name : FILES) {
        before.push_back(readBytes(dir.path("out") + "/" + name));
    }
    // A second manifest that fails late, after its shaders and textures.
    std::string const broken = dir.write("broken.json", R"({
        "shaders": [{"name": "s", "vertex": "s.vert", "fragment": "s.frag"},
                    {"name": "x", "vertex": "s.vert", "fragment": "s.frag"}],
        "models": [{"name": "o", "components": [{"type": "light"}]}]})");
    ToolsTest::RunResult const result = runVlpc({broken, "-o", dir.path("out")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, broken +
                              ": models[0].components[0]: needs a 'position' component in the same "
                              "model\n");
    for (std::size_t f = 0; f < 4; ++f) {
        EXPECT_EQ(readBytes(dir.path("out") + "/" + FILES[f]), before[f]) << FILES[f];
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path("out")), fs::directory_iterator()), 4);
}

TEST_F(CommandLineTest, ErrorCreatesNoOutputFolder) {
    std::string const broken = dir.write("broken.json", R"({"textures": [{"name": "t"}]})");
    ToolsTest::RunResult const result = runVlpc({broken, "-o", dir.path("fresh")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, broken + ": textures[0]: missing field 'file'\n");
    EXPECT_FALSE(fs::exists(dir.path("fresh")));
}

TEST_F(CommandLineTest, DepfileNamesEveryInput) {
    std::string const depfile = dir.path("assets.d");
    ASSERT_EQ(runVlpc({manifest, "-o", dir.path("out"), "--depfile", depfile, "-q"}).exitCode, 0);
    std::string const content = ToolsTest::readText(depfile);
    EXPECT_EQ(content.rfind(dir.path("out/shaders.vlp") + " ", 0), 0u) << content;
    EXPECT_NE(content.find(dir.path("out/path.vlp") + ":"), std::string::npos);
    for (char const* input : {"m.json", "s.vert", "s.frag", "t.png", "q.obj"}) {
        EXPECT_NE(content.find(dir.path(input)), std::string::npos) << input;
    }
}

TEST_F(CommandLineTest, UnwritableDepfileLeavesEarlierOutputUntouched) {
    ASSERT_EQ(runVlpc({manifest, "-o", dir.path("out"), "-q"}).exitCode, 0);
    std::vector<std::vector<std::uint8_t>> before;
    for (char const* name : FILES) {
        before.push_back(readBytes(dir.path("out") + "/" + name));
    }
    // A moved path point: path.vlp would change.
    std::string text = ToolsTest::readText(manifest);
    text.replace(text.find("[1, 1, 1, 1]"), 12, "[2, 1, 1, 1]");
    std::string const changed = dir.write("changed.json", text);
    std::string const depfile = dir.path("no/such/folder/assets.d");
    ToolsTest::RunResult const result =
        runVlpc({changed, "-o", dir.path("out"), "--depfile", depfile, "-q"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "vlpc: cannot write " + depfile + "\n");
    for (std::size_t f = 0; f < 4; ++f) {
        EXPECT_EQ(readBytes(dir.path("out") + "/" + FILES[f]), before[f]) << FILES[f];
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path("out")), fs::directory_iterator()), 4);
}

TEST_F(CommandLineTest, DumpListsAndValidates) {
    ASSERT_EQ(runVlpc({manifest, "-o", dir.path("out"), "-q"}).exitCode, 0);
    ToolsTest::RunResult const models = runVlpc({"--dump", dir.path("out/models.vlp")});
    EXPECT_EQ(models.exitCode, 0) << models.err;
    EXPECT_NE(models.out.find("MaterialDictionary (1 entry)\n  Id: 0  Offset: 38  Size: 7\n"),
              std::string::npos)
        << models.out;
    EXPECT_NE(models.out.find("  diffuse texture 0\n"), std::string::npos);
    EXPECT_NE(models.out.find("  path animation: position path 0, look-at path 0\n"),
              std::string::npos);
    EXPECT_NE(models.out.find("references checked against: shaders.vlp textures.vlp path.vlp"),
              std::string::npos);
    EXPECT_EQ(models.out.substr(models.out.size() - 3), "OK\n");

    ToolsTest::RunResult const shaders = runVlpc({"--dump", dir.path("out/shaders.vlp"), "-v"});
    EXPECT_EQ(shaders.exitCode, 0);
    EXPECT_NE(shaders.out.find("  vertex: 16 bytes, \"void main() {}\"\n    | void main() {}\n"),
              std::string::npos)
        << shaders.out;
    ToolsTest::RunResult const paths = runVlpc({"--dump", dir.path("out/path.vlp")});
    EXPECT_NE(paths.out.find("Path 0: 2 points\n  time 0: (0, 0, 0)\n  time 1: (1, 1, 1)\n"),
              std::string::npos);
    ToolsTest::RunResult const textures = runVlpc({"--dump", dir.path("out/textures.vlp")});
    EXPECT_NE(textures.out.find("Texture 0: PNG 2 x 2, RGB, 8 bits"), std::string::npos);
}

TEST_F(CommandLineTest, DumpRejectsBrokenFiles) {
    ASSERT_EQ(runVlpc({manifest, "-o", dir.path("out"), "-q"}).exitCode, 0);
    std::vector<std::uint8_t> bytes = readBytes(dir.path("out/models.vlp"));
    bytes.resize(bytes.size() - 1);
    std::string const cut = dir.write("cut/models.vlp", bytes);
    ToolsTest::RunResult result = runVlpc({"--dump", cut});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("vlpc: " + cut + ": ModelDictionary: id 0: record at offset", 0), 0u)
        << result.err;

    // Ids into the sibling files are checked where those files exist.
    dir.write("alone/models.vlp", readBytes(dir.path("out/models.vlp")));
    result = runVlpc({"--dump", dir.path("alone/models.vlp")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.out.find("references checked against: none"), std::string::npos);
    dir.write("alone/path.vlp", std::vector<std::uint8_t>{0, 0});
    result = runVlpc({"--dump", dir.path("alone/models.vlp")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("model 0: component 2: path id 0 does not exist (0 entries)"),
              std::string::npos)
        << result.err;
}

TEST_F(CommandLineTest, DumpNeedsAKindForUnknownNames) {
    ASSERT_EQ(runVlpc({manifest, "-o", dir.path("out"), "-q"}).exitCode, 0);
    fs::copy_file(dir.path("out/path.vlp"), dir.path("route.bin"));
    ToolsTest::RunResult result = runVlpc({"--dump", dir.path("route.bin")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("cannot tell the kind"), std::string::npos);
    result = runVlpc({"--dump", dir.path("route.bin"), "--kind", "path"});
    EXPECT_EQ(result.exitCode, 0);
    result = runVlpc({"--dump", dir.path("route.bin"), "--kind", "models"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("wrong model format version 1 (expected 4)"), std::string::npos);
    result = runVlpc({"--dump", dir.path("missing/models.vlp")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "vlpc: cannot open " + dir.path("missing/models.vlp") + "\n");
}

TEST_F(CommandLineTest, UsageErrors) {
    for (std::vector<std::string> const& args :
         std::vector<std::vector<std::string>>{{},
                                               {manifest},
                                               {"-o", dir.path("out")},
                                               {manifest, "-o"},
                                               {manifest, manifest, "-o", dir.path("out")},
                                               {"--frobnicate"},
                                               {"--dump", dir.path("x"), manifest}}) {
        ToolsTest::RunResult const result = runVlpc(args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find("usage: vlpc MANIFEST.json -o OUTDIR"), std::string::npos);
    }
    ToolsTest::RunResult const help = runVlpc({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("usage:"), std::string::npos);
}

TEST_F(CommandLineTest, TheProgramReportsThroughItsExitCode) {
    ToolsTest::RunResult result = ToolsTest::runVlpcProcess({manifest, "-o", dir.path("out")}, dir);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("wrote " + dir.path("out/models.vlp")), std::string::npos);
    result = ToolsTest::runVlpcProcess({"--dump", dir.path("out/models.vlp")}, dir);
    EXPECT_EQ(result.exitCode, 0);
    std::string const missing = dir.path("none.json");
    result = ToolsTest::runVlpcProcess({missing, "-o", dir.path("out")}, dir);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, missing + ": cannot read the manifest\n");
    dir.write("junk/models.vlp", std::string("\x04\x00\x05\x00", 4));
    result = ToolsTest::runVlpcProcess({"--dump", dir.path("junk/models.vlp")}, dir);
    EXPECT_EQ(result.exitCode, 1);
}
