#include "ToolsTestSupport.h"

#include <Engine/Data/LightLookupFile.h>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <lightgen/CommandLine.h>
#include <lightgen/ScatteringTables.h>
#include <sstream>
#include <vlpc/FormatError.h>
#include <vlpc/LightLookupFormat.h>

namespace {

namespace fs = std::filesystem;

ToolsTest::RunResult runLightgen(std::vector<std::string> const& args) {
    std::ostringstream out;
    std::ostringstream err;
    ToolsTest::RunResult result;
    result.exitCode = lightgen::runCommandLine(args, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

std::size_t fileCount(std::string const& dir) {
    return std::distance(fs::directory_iterator(dir), fs::directory_iterator());
}

} // namespace

TEST(LightGenCommandLine, DefaultsRoundTripThroughVlpcAndTheEngine) {
    ToolsTest::TempDir dir;
    std::string const path = dir.path("Compile/lightlookup.vlp");
    ToolsTest::RunResult const result = runLightgen({"-o", path});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("wrote " + path + " (64 x 64, beta 0.04, u 0 to 4"),
              std::string::npos);

    std::vector<std::uint8_t> const bytes = ToolsTest::readBytes(path);
    ASSERT_EQ(bytes.size(), 32u + 8u * 64u * 64u);
    vlpc::LightLookupFile const file = vlpc::readLightLookupFile(bytes);
    Engine::Data::LightLookupData data;
    ASSERT_TRUE(
        Engine::Data::LightLookupFile::Parse(bytes.data(), bytes.size(), data, path.c_str()));
    EXPECT_EQ(data.width, 64);
    EXPECT_EQ(data.height, 64);
    EXPECT_EQ(data.minAB, 0.0f);
    EXPECT_EQ(data.maxAB, 4.0f);
    EXPECT_EQ(data.minC, 0.0f);
    EXPECT_FLOAT_EQ(data.maxC, 1.5707963f);
    EXPECT_EQ(data.beta, 0.04f);
    EXPECT_EQ(data.maxA, file.maxA);
    EXPECT_EQ(data.maxB, file.maxB);
    EXPECT_EQ(data.a, file.a);
    EXPECT_EQ(data.b, file.b);

    ToolsTest::RunResult const dump = ToolsTest::runVlpc({"--dump", path});
    EXPECT_EQ(dump.exitCode, 0) << dump.err;
    EXPECT_NE(dump.out.find("tables of 64 x 64"), std::string::npos) << dump.out;
    EXPECT_NE(dump.out.find("beta: 0.04\n"), std::string::npos) << dump.out;
    EXPECT_NE(dump.out.find("x 0, y 63 (A/B 0, C 1.5708): A 1 (1.5708), B 1 (1.5708)"),
              std::string::npos)
        << dump.out;
    EXPECT_EQ(dump.out.substr(dump.out.size() - 3), "OK\n");
}

TEST(LightGenCommandLine, OptionsShapeTheTables) {
    ToolsTest::TempDir dir;
    std::string const path = dir.path("tables.bin");
    ASSERT_EQ(
        runLightgen({"--size", "16x8", "--beta", "0.5", "--u-max", "2", "-o", path, "-q"}).exitCode,
        0);
    // The kind of a file with another name is given by --kind.
    EXPECT_EQ(ToolsTest::runVlpc({"--dump", path}).exitCode, 1);
    ToolsTest::RunResult const dump = ToolsTest::runVlpc({"--dump", path, "--kind", "lightlookup"});
    EXPECT_EQ(dump.exitCode, 0) << dump.err;
    vlpc::LightLookupFile const file = vlpc::readLightLookupFile(ToolsTest::readBytes(path));
    EXPECT_EQ(file.width, 16);
    EXPECT_EQ(file.height, 8);
    EXPECT_EQ(file.beta, 0.5f);
    EXPECT_EQ(file.maxAB, 2.0f);
}

TEST(LightGenCommandLine, BadArgumentsFailAndWriteNothing) {
    ToolsTest::TempDir dir;
    std::string const path = dir.path("out.vlp");
    std::vector<std::pair<std::vector<std::string>, std::string>> const cases = {
        {{}, "an output file is needed"},
        {{"-o"}, "-o needs a file name"},
        {{"--beta", "abc"}, "--beta needs a number above 0, not 'abc'"},
        {{"--beta", "0"}, "--beta needs a number above 0"},
        {{"--beta", "-0.1"}, "--beta needs a number above 0"},
        {{"--beta", "nan"}, "--beta needs a number above 0"},
        {{"--beta", "1e999"}, "--beta needs a number above 0"},
        {{"--beta"}, "--beta needs a number above 0, not ''"},
        {{"--u-max", "0"}, "--u-max needs a number above 0"},
        {{"--u-max", "4x"}, "--u-max needs a number above 0, not '4x'"},
        {{"--size", "1x64"}, "--size needs WIDTHxHEIGHT with both from 2 to 4096, not '1x64'"},
        {{"--size", "64x4097"}, "--size needs WIDTHxHEIGHT"},
        {{"--size", "64"}, "--size needs WIDTHxHEIGHT"},
        {{"--size", "-2x8"}, "--size needs WIDTHxHEIGHT"},
        {{"--fast"}, "unknown option --fast"},
        {{"extra"}, "unexpected argument 'extra'"},
    };
    for (auto const& [args, message] : cases) {
        std::vector<std::string> full = {"-o", path};
        full.insert(full.end(), args.begin(), args.end());
        if (args.empty() || args[0] == "-o") {
            full = args;
        }
        ToolsTest::RunResult const result = runLightgen(full);
        EXPECT_EQ(result.exitCode, 1) << message;
        EXPECT_EQ(result.err.rfind("lightgen: " + message, 0), 0u) << result.err;
        EXPECT_NE(result.err.find("usage: lightgen"), std::string::npos);
    }
    EXPECT_EQ(fileCount(dir.path()), 0u);
    ToolsTest::RunResult const help = runLightgen({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--u-max U"), std::string::npos);
}

TEST(LightGenCommandLine, FailedWriteLeavesNoPartialFile) {
    ToolsTest::TempDir dir;
    // The target is a folder: the rename fails and the temporary file goes.
    fs::create_directories(dir.path("taken/inside"));
    ToolsTest::RunResult const result = runLightgen({"-o", dir.path("taken"), "-q"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("cannot rename"), std::string::npos) << result.err;
    EXPECT_EQ(fileCount(dir.path()), 1u);
    EXPECT_TRUE(fs::is_directory(dir.path("taken/inside")));
}

TEST(LightGenDump, MalformedFilesFailWithTheOffsetAtFault) {
    ToolsTest::TempDir dir;
    lightgen::TableParameters p;
    p.width = 2;
    p.height = 3;
    std::vector<std::uint8_t> const valid =
        vlpc::writeLightLookupFile(lightgen::computeLightLookup(p));
    auto patchF32 = [&](std::size_t offset, float value) {
        std::vector<std::uint8_t> bytes = valid;
        std::memcpy(bytes.data() + offset, &value, 4);
        return bytes;
    };
    std::vector<std::pair<std::vector<std::uint8_t>, std::string>> const cases = {
        {{2}, "offset 0: the table width needs 2 bytes, but only 1 are left"},
        {std::vector<std::uint8_t>(valid.begin(), valid.end() - 1),
         "the file holds 79 bytes, tables of 2 x 3 need exactly 80"},
        {{1, 0, 3, 0}, "offset 0: the table width is 1, must be at least 2"},
        {patchF32(16, 0.0f),
         "offset 16: the maximum of the C range (0) is not above its minimum (0)"},
        {patchF32(12, NAN), "offset 12: the minimum of the C range is NaN, not a finite number"},
        {patchF32(20, -1.0f), "offset 20: beta is -1, must be above 0"},
        {patchF32(52, 0.0f), "offset 52: the largest value of table B is 0, must be above 0"},
        {patchF32(44, 1.0001f), "offset 44: table A value at x 0, y 2 is 1.0001, outside [0, 1]"},
    };
    for (auto const& [bytes, message] : cases) {
        std::string const path = dir.write("lightlookup.vlp", bytes);
        ToolsTest::RunResult const result = ToolsTest::runVlpc({"--dump", path});
        EXPECT_EQ(result.exitCode, 1) << message;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "vlpc: " + path + ": " + message + "\n");
    }
    // The writer refuses what the reader would refuse.
    vlpc::LightLookupFile bad = vlpc::readLightLookupFile(valid);
    bad.b[1] = 2.0f;
    EXPECT_THROW(vlpc::writeLightLookupFile(bad), vlpc::FormatError);
}
