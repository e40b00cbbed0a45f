#include <AudioAnalysis.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A scratch folder removed with its contents at the end of the test.
struct Scratch {
    Scratch() {
        static int count = 0;
        path = fs::temp_directory_path() /
               ("musicgen-test-" + std::to_string(getpid()) + "-" + std::to_string(count++));
        fs::create_directories(path);
    }
    ~Scratch() { fs::remove_all(path); }
    fs::path path;
};

// Runs musicgen with args; returns its exit code, with its output in output.
int runMusicgen(std::string const& args, std::string& output) {
    Scratch log;
    fs::path const file = log.path / "output.txt";
    int const status =
        std::system((MUSICGEN_EXECUTABLE " " + args + " > " + file.string() + " 2>&1").c_str());
    std::vector<unsigned char> const bytes = readBytes(file.string());
    output.assign(bytes.begin(), bytes.end());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(MusicgenCommandLineTest, HelpAndBadArguments) {
    std::string output;
    EXPECT_EQ(runMusicgen("--help", output), 0);
    EXPECT_NE(output.find("usage: musicgen --out DIR"), std::string::npos);
    for (char const* bad : {"", "--out", "--bogus", "--out x --seed -3", "--out x --seed 12x",
                            "--out x --seconds 0", "--out x --seconds abc"}) {
        EXPECT_EQ(runMusicgen(bad, output), 1) << bad;
        EXPECT_EQ(output.rfind("musicgen: ", 0), 0u) << bad << ": " << output;
    }
}

TEST(MusicgenCommandLineTest, UnwritableFolderLeavesNoFiles) {
    Scratch scratch;
    std::ofstream(scratch.path / "file") << "x";
    std::string output;
    EXPECT_EQ(
        runMusicgen("-q --seconds 2 --out " + (scratch.path / "file" / "sub").string(), output), 1);
    // A folder where the first track belongs makes its rename fail after the write.
    fs::create_directories(scratch.path / "out" / "track1.wav");
    EXPECT_EQ(runMusicgen("-q --seconds 2 --out " + (scratch.path / "out").string(), output), 1);
    EXPECT_NE(output.find("track1.wav"), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(scratch.path / "out" / "track1.wav.part"));
    EXPECT_FALSE(fs::exists(scratch.path / "out" / "track2.wav"));
}

TEST(MusicgenCommandLineTest, SameSeedSameBytes) {
    Scratch scratch;
    std::string output;
    for (char const* run : {"a", "b", "c"}) {
        std::string const seed = run[0] == 'c' ? "7" : "1";
        ASSERT_EQ(
            runMusicgen("-q --seconds 6 --seed " + seed + " --out " + (scratch.path / run).string(),
                        output),
            0)
            << output;
    }
    for (char const* name : {"track1.wav", "track2.wav"}) {
        std::vector<unsigned char> const a = readBytes((scratch.path / "a" / name).string());
        EXPECT_GT(a.size(), 6u * 44100u * 4u) << name;
        EXPECT_EQ(a, readBytes((scratch.path / "b" / name).string())) << name;
        EXPECT_NE(a, readBytes((scratch.path / "c" / name).string())) << name;
        Audio const cut = readAudio((scratch.path / "a" / name).string());
        EXPECT_NEAR(cut.seconds(), 6.0, 0.01) << name;
        EXPECT_LT(peak(cut, -0.05, cut.seconds()), 0.003) << name;
    }
}

} // namespace
