#include <Game/CommandLine.h>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using Game::CommandLine;

namespace {

// Parses the arguments given after the program name; warnings go to `warnings`.
CommandLine parse(std::vector<char const*> args, std::string* warnings = nullptr) {
    args.insert(args.begin(), "Game");
    std::ostringstream out;
    CommandLine result = CommandLine::Parse(static_cast<int>(args.size()), args.data(), out);
    if (warnings != nullptr) {
        *warnings = out.str();
    }
    return result;
}

void expectDefaults(CommandLine const& c) {
    EXPECT_EQ(c.width, 1024u);
    EXPECT_EQ(c.height, 768u);
    EXPECT_FALSE(c.fullScreen);
    EXPECT_FLOAT_EQ(c.scriptTimeOffset, 5.0f);
}

} // namespace

TEST(CommandLine, NoArgumentsGiveA1024By768WindowAndOffset5) {
    std::string warnings;
    const CommandLine c = parse({}, &warnings);
    expectDefaults(c);
    EXPECT_EQ(c.frames, 0u);
    EXPECT_EQ(c.fixedStep, 0.0);
    EXPECT_TRUE(c.captureDirectory.empty());
    EXPECT_EQ(c.captureEvery, 1u);
    EXPECT_FALSE(c.hidden);
    EXPECT_FALSE(c.help);
    EXPECT_EQ(warnings, "");
}

TEST(CommandLine, FullScreenSizeAndTimeOffset) {
    const CommandLine c = parse({"-f", "800", "600", "-t", "2"});
    EXPECT_TRUE(c.fullScreen);
    EXPECT_EQ(c.width, 800u);
    EXPECT_EQ(c.height, 600u);
    EXPECT_FLOAT_EQ(c.scriptTimeOffset, 2.0f);
}

TEST(CommandLine, ArgumentsBetweenSwitchesAreSkipped) {
    std::string warnings;
    const CommandLine c =
        parse({"junk", "-f", "800", "600", "whatever", "-x", "-t", "2.5", "tail"}, &warnings);
    EXPECT_TRUE(c.fullScreen);
    EXPECT_EQ(c.width, 800u);
    EXPECT_EQ(c.height, 600u);
    EXPECT_FLOAT_EQ(c.scriptTimeOffset, 2.5f);
    EXPECT_EQ(warnings, "");
}

TEST(CommandLine, SwitchesAreMatchedExactlyAndCaseSensitively) {
    const CommandLine c = parse({"-F", "800", "600", "-T", "2", "-ff", "1", "1", "--HIDDEN"});
    expectDefaults(c);
    EXPECT_FALSE(c.hidden);
}

TEST(CommandLine, LaterSwitchesOverrideEarlierOnes) {
    const CommandLine c = parse({"-f", "800", "600", "-t", "2", "-f", "640", "480", "-t", "7"});
    EXPECT_EQ(c.width, 640u);
    EXPECT_EQ(c.height, 480u);
    EXPECT_FLOAT_EQ(c.scriptTimeOffset, 7.0f);
}

TEST(CommandLine, SwitchWithoutItsValuesKeepsTheDefaultsAndWarns) {
    std::string warnings;
    expectDefaults(parse({"-f"}, &warnings));
    EXPECT_NE(warnings.find("\"-f\""), std::string::npos) << warnings;

    expectDefaults(parse({"-f", "800"}, &warnings));
    EXPECT_NE(warnings.find("\"-f\""), std::string::npos) << warnings;

    expectDefaults(parse({"-t"}, &warnings));
    EXPECT_NE(warnings.find("\"-t\""), std::string::npos) << warnings;
}

TEST(CommandLine, ASwitchMissingAValueDoesNotSwallowTheNextSwitch) {
    std::string warnings;
    const CommandLine c = parse({"-f", "800", "-t", "3"}, &warnings);
    EXPECT_FALSE(c.fullScreen);
    EXPECT_EQ(c.width, 1024u);
    EXPECT_FLOAT_EQ(c.scriptTimeOffset, 3.0f);
    EXPECT_NE(warnings.find("\"-f\""), std::string::npos);
}

TEST(CommandLine, NonNumericNegativeOrZeroSizesAreRejected) {
    for (auto const& args : std::vector<std::vector<char const*>>{{"-f", "abc", "600"},
                                                                  {"-f", "800", "6x0"},
                                                                  {"-f", "-800", "600"},
                                                                  {"-f", "800", "0"},
                                                                  {"-f", "0", "0"},
                                                                  {"-f", "99999", "600"},
                                                                  {"-f", "800", ""}}) {
        std::string warnings;
        const CommandLine c = parse(args, &warnings);
        expectDefaults(c);
        EXPECT_NE(warnings.find("warning"), std::string::npos) << args[1] << " " << args[2];
    }
}

TEST(CommandLine, RejectedSizeKeepsAnEarlierValidOne) {
    std::string warnings;
    const CommandLine c = parse({"-f", "800", "600", "-f", "0", "600"}, &warnings);
    EXPECT_TRUE(c.fullScreen);
    EXPECT_EQ(c.width, 800u);
    EXPECT_EQ(c.height, 600u);
    EXPECT_NE(warnings.find("800 x 600"), std::string::npos) << warnings;
}

TEST(CommandLine, NonNumericOrNegativeTimeOffsetsAreRejected) {
    for (char const* value : {"abc", "-1", "2s", "nan", "inf", ""}) {
        std::string warnings;
        const CommandLine c = parse({"-t", value}, &warnings);
        EXPECT_FLOAT_EQ(c.scriptTimeOffset, 5.0f) << value;
        EXPECT_NE(warnings.find("\"-t\""), std::string::npos) << value;
    }
    EXPECT_FLOAT_EQ(parse({"-t", "0"}).scriptTimeOffset, 0.0f);
    EXPECT_FLOAT_EQ(parse({"-t", "1e1"}).scriptTimeOffset, 10.0f);
}

TEST(CommandLine, HeadlessSwitches) {
    const CommandLine c = parse({"--frames", "12", "--fixed-step", "0.05", "--capture", "out/shots",
                                 "--capture-every", "3", "--hidden", "--loop"});
    EXPECT_EQ(c.frames, 12u);
    EXPECT_DOUBLE_EQ(c.fixedStep, 0.05);
    EXPECT_EQ(c.captureDirectory, "out/shots");
    EXPECT_EQ(c.captureEvery, 3u);
    EXPECT_TRUE(c.hidden);
    EXPECT_TRUE(c.loop);
    EXPECT_FALSE(c.help);
    expectDefaults(c);
    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_FALSE(parse({"--help"}).loop);
}

TEST(CommandLine, InvalidHeadlessValuesAreIgnoredWithAWarning) {
    std::string warnings;
    const CommandLine c = parse(
        {"--frames", "0", "--fixed-step", "-1", "--capture-every", "x", "--capture"}, &warnings);
    EXPECT_EQ(c.frames, 0u);
    EXPECT_EQ(c.fixedStep, 0.0);
    EXPECT_EQ(c.captureEvery, 1u);
    EXPECT_TRUE(c.captureDirectory.empty());
    for (char const* name :
         {"\"--frames\"", "\"--fixed-step\"", "\"--capture-every\"", "\"--capture\""}) {
        EXPECT_NE(warnings.find(name), std::string::npos) << name << " in " << warnings;
    }
}

TEST(CommandLine, FixedStepMustBeAtLeastOneTickAndAtMostAnHour) {
    EXPECT_EQ(parse({"--fixed-step", "1e-9"}).fixedStep, 0.0);
    EXPECT_EQ(parse({"--fixed-step", "1e300"}).fixedStep, 0.0);
    EXPECT_DOUBLE_EQ(parse({"--fixed-step", "3600"}).fixedStep, 3600.0);
}

TEST(CommandLine, CaptureDoesNotTakeTheNextSwitchAsItsFolder) {
    std::string warnings;
    const CommandLine c = parse({"--capture", "--hidden"}, &warnings);
    EXPECT_TRUE(c.captureDirectory.empty());
    EXPECT_TRUE(c.hidden);
    EXPECT_NE(warnings.find("\"--capture\""), std::string::npos);
}

TEST(CommandLineTest, WindowSizeOpensAWindowOfThatSize) {
    std::ostringstream warnings;
    char const* argv[] = {"Game", "-f", "800", "600", "--window", "320", "240"};
    const Game::CommandLine c = Game::CommandLine::Parse(7, argv, warnings);
    EXPECT_EQ(c.width, 320u);
    EXPECT_EQ(c.height, 240u);
    EXPECT_FALSE(c.fullScreen);
    char const* bad[] = {"Game", "--window", "320"};
    const Game::CommandLine d = Game::CommandLine::Parse(3, bad, warnings);
    EXPECT_EQ(d.width, Game::CommandLine::DefaultWidth);
    EXPECT_NE(warnings.str().find("\"--window\" needs a width and a height"), std::string::npos);
}
