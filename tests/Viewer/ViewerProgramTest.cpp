#include "ToolsTestSupport.h"

#include <Viewer/ViewerOptions.h>
#include <gtest/gtest.h>
#include <sstream>

// The viewer's command line, and the program's answers that need no window:
// its help, and a file it cannot show.
namespace {

using Viewer::ViewerOptions;

ViewerOptions parse(std::vector<char const*> args, std::string* warnings = nullptr) {
    args.insert(args.begin(), "Viewer");
    std::ostringstream out;
    ViewerOptions const options =
        ViewerOptions::Parse(static_cast<int>(args.size()), args.data(), out);
    if (warnings != nullptr) {
        *warnings = out.str();
    }
    return options;
}

ToolsTest::RunResult runViewer(std::vector<std::string> const& args,
                               ToolsTest::TempDir const& scratch) {
    return ToolsTest::runProcess(VIEWER_PROGRAM, args, scratch);
}

} // namespace

TEST(ViewerOptionsTest, TheFileAmongTheShellsSwitches) {
    ViewerOptions const options =
        parse({"--window", "320", "240", "--capture", "out", "--hidden", "model.glb", "--frames",
               "3", "--turntable", "12.5", "--cache", "c", "--screenshots", "shots", "--god-ray"});
    EXPECT_EQ(options.model, "model.glb");
    EXPECT_EQ(options.turntableSeconds, 12.5);
    EXPECT_EQ(options.cacheRoot, "c");
    EXPECT_EQ(options.screenshotFolder, "shots");
    EXPECT_TRUE(options.godRay);
    EXPECT_TRUE(options.error.empty());

    std::string warnings;
    ViewerOptions const bad = parse({"a.obj", "--turntable", "-2", "b.obj"}, &warnings);
    EXPECT_EQ(bad.turntableSeconds, 0.0);
    EXPECT_NE(warnings.find("\"--turntable\" needs a positive number"), std::string::npos);
    EXPECT_EQ(bad.error, "one model file at a time ('a.obj', then 'b.obj')");
    // A switch's missing value is not taken from the next switch.
    EXPECT_EQ(parse({"--cache", "--hidden", "m.obj"}).cacheRoot, "");
}

TEST(ViewerProgramTest, HelpListsTheKeysAndBadFilesExitWithOne) {
    ToolsTest::TempDir dir;
    ToolsTest::RunResult const help = runViewer({"--help"}, dir);
    EXPECT_EQ(help.exitCode, 0);
    for (char const* key : {"--frames", "--capture", "--fixed-step", "Space", "F3", "F4", "F5",
                            "reload", "screenshot", "god-ray", "medium", "FXAA"}) {
        EXPECT_NE(help.out.find(key), std::string::npos) << key;
    }

    std::string const empty = dir.write("empty.obj", "");
    ToolsTest::RunResult const broken = runViewer({empty, "--cache", dir.path("cache")}, dir);
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_EQ(broken.err.rfind("Viewer: cannot read '" + empty + "'", 0), 0u) << broken.err;

    ToolsTest::RunResult const none = runViewer({}, dir);
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err.rfind("Viewer: no model file given\n", 0), 0u) << none.err;
}
