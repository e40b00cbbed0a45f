#include "PngFile.h"
#include "TemporaryFolder.h"
#include "TestScene.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>

using GameTestSupport::PngFile;
using GameTestSupport::TemporaryFolder;
using GameTestSupport::TestScene;
namespace fs = std::filesystem;

namespace {

// The real program (no demo built in yet) and the same shell with the test scene.
const std::string gameProgram = GAME_PROGRAM;
const std::string testSceneProgram = GAME_TEST_SCENE_PROGRAM;

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string readFile(std::string const& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs a program with the arguments (shell syntax) and an environment change
// for `env`, with standard input closed, and collects its outputs.
ProgramRun runProgram(std::string const& program, std::string const& arguments,
                      std::string const& environment = "") {
    TemporaryFolder folder;
    const std::string out = folder / "stdout";
    const std::string err = folder / "stderr";
    const std::string command = "env " + environment + " '" + program + "' " + arguments + " >'" +
                                out + "' 2>'" + err + "' </dev/null";
    const int status = std::system(command.c_str());
    ProgramRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = readFile(out);
    run.err = readFile(err);
    return run;
}

bool contains(std::string const& text, std::string const& part) {
    return text.find(part) != std::string::npos;
}

int countLinesStartingWith(std::string const& text, std::string const& start) {
    int count = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        count += line.rfind(start, 0) == 0;
    }
    return count;
}

std::string frameFile(std::string const& folder, int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06d.png", frame);
    return folder + name;
}

// Every pixel of the file has the test scene's clear colour.
::testing::AssertionResult showsTheTestScene(PngFile const& png) {
    for (unsigned y = 0; y < png.height; ++y) {
        for (unsigned x = 0; x < png.width; ++x) {
            if (png.Red(x, y) != TestScene::ClearRed || png.Green(x, y) != TestScene::ClearGreen ||
                png.Blue(x, y) != TestScene::ClearBlue) {
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << png.Red(x, y) << " "
                       << png.Green(x, y) << " " << png.Blue(x, y);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// The demo in a small hidden window, capturing into folder/shots.
ProgramRun playDemo(TemporaryFolder const& folder, std::string const& switches) {
    return runProgram(gameProgram,
                      "--window 160 120 --hidden " + switches + " --capture '" +
                          (folder / "shots") + "'",
                      "ALSOFT_DRIVERS=null");
}

} // namespace

TEST(Game, TheDemoPlaysToItsEndAtACoarseStep) {
    // The whole demo at one frame per second, small: 240 frames reach past
    // the last flight (234 s). Every phase shows something.
    TemporaryFolder folder;
    const ProgramRun run = playDemo(folder, "--frames 240 --fixed-step 1 --capture-every 10");
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_FALSE(contains(run.out, "FATAL")) << run.out;
    EXPECT_EQ(run.err, "");
    // Frame 0 is the black first frame; frames in the first world (20, 50,
    // 80 s) and the second world (110, 150, 200 s) are not black.
    PngFile first;
    ASSERT_TRUE(first.Load(frameFile(folder / "shots", 0))) << first.error;
    EXPECT_EQ(first.width, 160u);
    unsigned brightest = 0;
    for (unsigned y = 0; y < first.height; ++y) {
        for (unsigned x = 0; x < first.width; ++x) {
            brightest = std::max({brightest, first.Red(x, y), first.Green(x, y), first.Blue(x, y)});
        }
    }
    EXPECT_EQ(brightest, 0u);
    for (int frame : {20, 50, 80, 110, 150, 200}) {
        PngFile png;
        ASSERT_TRUE(png.Load(frameFile(folder / "shots", frame))) << frame << ": " << png.error;
        unsigned lit = 0;
        for (unsigned y = 0; y < png.height; ++y) {
            for (unsigned x = 0; x < png.width; ++x) {
                lit += (png.Red(x, y) + png.Green(x, y) + png.Blue(x, y)) > 60 ? 1 : 0;
            }
        }
        EXPECT_GT(lit, png.width * png.height / 50) << "frame " << frame << " is nearly black";
    }
}

TEST(Game, WithLoopTheDemoStartsAgainAndShowsTheSamePictures) {
    // At 2 s a frame, frame k shows the demo at 2 (k + 1) s. The frame after
    // the last flight (234 s) starts again: frame 118 is the first frame
    // once more, black, and the frames after it repeat the first pass, in
    // the first world (frame 10) and in the second (frame 60).
    TemporaryFolder folder;
    const ProgramRun run = playDemo(folder, "--frames 180 --fixed-step 2 --loop --capture-every 2");
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.err, "");
    const int pass = 118;
    for (int frame : {0, 10, 60}) {
        PngFile first;
        PngFile again;
        ASSERT_TRUE(first.Load(frameFile(folder / "shots", frame))) << first.error;
        ASSERT_TRUE(again.Load(frameFile(folder / "shots", frame + pass))) << again.error;
        ASSERT_EQ(again.width, first.width);
        double difference = 0.0;
        unsigned brightest = 0;
        for (unsigned y = 0; y < first.height; ++y) {
            for (unsigned x = 0; x < first.width; ++x) {
                difference += std::abs(static_cast<int>(first.Green(x, y)) -
                                       static_cast<int>(again.Green(x, y)));
                brightest = std::max(brightest, again.Green(x, y));
            }
        }
        EXPECT_LT(difference / (first.width * first.height), 2.0) << "frame " << frame;
        EXPECT_EQ(brightest > 0, frame != 0) << "frame " << frame + pass;
    }
}

TEST(Game, WithATestSceneItRendersCapturesAndQuitsAfterTheGivenFrames) {
    TemporaryFolder folder;
    const ProgramRun run = runProgram(testSceneProgram, "--hidden --frames 11 --fixed-step 0.05 "
                                                        "--capture '" +
                                                            folder.Path() + "' --capture-every 5");
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(contains(run.out, "test scene: 11 frames rendered")) << run.out;
    EXPECT_FALSE(contains(run.out, "FATAL")) << run.out;
    // The timer reports the fixed frame time in frames 1 and 11.
    EXPECT_EQ(countLinesStartingWith(run.out, "0.05   "), 2) << run.out;

    for (int frame : {0, 5, 10}) {
        PngFile png;
        ASSERT_TRUE(png.Load(frameFile(folder.Path(), frame))) << frame << ": " << png.error;
        EXPECT_EQ(png.width, 1024u);
        EXPECT_EQ(png.height, 768u);
        EXPECT_TRUE(showsTheTestScene(png)) << "frame " << frame;
    }
    for (int frame : {1, 4, 6, 11}) {
        EXPECT_FALSE(fs::exists(frameFile(folder.Path(), frame))) << frame;
    }
}

TEST(Game, AFullScreenModeTheDisplayLacksFallsBackToAWindowOfThatSize) {
    TemporaryFolder folder;
    const ProgramRun run = runProgram(
        testSceneProgram, "-f 123 77 --hidden --frames 1 --capture '" + folder.Path() + "'");
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(contains(run.out, "FATAL Fullscreen creation failed")) << run.out;
    EXPECT_TRUE(contains(run.out, "test scene: 1 frames rendered")) << run.out;
    PngFile png;
    ASSERT_TRUE(png.Load(frameFile(folder.Path(), 0))) << png.error;
    EXPECT_EQ(png.width, 123u);
    EXPECT_EQ(png.height, 77u);
    EXPECT_TRUE(showsTheTestScene(png));
}

TEST(Game, InvalidSwitchValuesWarnAndKeepTheDefaultWindow) {
    TemporaryFolder folder;
    const ProgramRun run = runProgram(
        testSceneProgram, "-f 0 600 -t abc --hidden --frames 1 --capture '" + folder.Path() + "'");
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(contains(run.err, "\"-f\"")) << run.err;
    EXPECT_TRUE(contains(run.err, "\"-t\"")) << run.err;
    EXPECT_FALSE(contains(run.out, "Fullscreen")) << run.out;
    PngFile png;
    ASSERT_TRUE(png.Load(frameFile(folder.Path(), 0))) << png.error;
    EXPECT_EQ(png.width, 1024u);
    EXPECT_EQ(png.height, 768u);
}

TEST(Game, ACaptureFolderThatCannotBeCreatedIsReportedAndTheRunGoesOn) {
    TemporaryFolder folder;
    std::ofstream(folder / "file") << "not a folder";
    const ProgramRun run = runProgram(testSceneProgram, "--hidden --frames 2 --capture '" +
                                                            (folder / "file/shots") + "'");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(contains(run.err, "cannot create the capture folder")) << run.err;
    EXPECT_TRUE(contains(run.out, "test scene: 2 frames rendered")) << run.out;
}

TEST(Game, WithoutAnXDisplayItSaysSoAndFails) {
    const ProgramRun run =
        runProgram(gameProgram, "--hidden --frames 1", "-u DISPLAY -u WAYLAND_DISPLAY");
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_TRUE(contains(run.err, "no X display (set DISPLAY or run under xvfb-run)")) << run.err;
    EXPECT_FALSE(contains(run.out, "Max Texture Image Units")) << run.out;
}

TEST(Game, WithoutAnOpenGL4ContextItSaysSoAndFails) {
    // Mesa reports the version it is told to; Xvfb's GLX is always Mesa's.
    const ProgramRun run =
        runProgram(testSceneProgram, "--hidden --frames 1", "MESA_GL_VERSION_OVERRIDE=3.0");
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    EXPECT_TRUE(contains(run.err, "no OpenGL 4 context")) << run.err;
    EXPECT_FALSE(contains(run.out, "frames rendered")) << run.out;
}

TEST(Game, HelpPrintsTheUsageWithoutOpeningAWindow) {
    const ProgramRun run = runProgram(gameProgram, "--help", "-u DISPLAY");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(contains(run.out, "Usage: Game")) << run.out;
    EXPECT_TRUE(contains(run.out, "--capture DIR")) << run.out;
    EXPECT_EQ(run.err, "");
}
