#include "Support/Output.h"

#include <Engine/Util/Logger.h>
#include <Game/ConsolePause.h>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

using Engine::Util::Logger;
using Game::PauseIfFatal;
using TestSupport::captureStdout;

namespace {

struct Console {
    std::istringstream in{"first line\nsecond line\n"};
    std::ostringstream out;

    std::string rest() {
        std::string line;
        std::getline(in, line);
        return line;
    }
};

} // namespace

TEST(ConsolePause, WaitsForEnterAfterAFatalMessageAtATerminal) {
    Logger log;
    captureStdout([&] { log.Fatal("boom"); });
    Console console;
    EXPECT_TRUE(PauseIfFatal(log, console.in, console.out, true));
    EXPECT_EQ(console.out.str(), "Press Enter to continue . . .");
    EXPECT_EQ(console.rest(), "second line");
}

TEST(ConsolePause, NeverWaitsWithoutATerminal) {
    Logger log;
    captureStdout([&] { log.Fatal("boom"); });
    Console console;
    EXPECT_FALSE(PauseIfFatal(log, console.in, console.out, false));
    EXPECT_EQ(console.out.str(), "");
    EXPECT_EQ(console.rest(), "first line");
}

TEST(ConsolePause, PlainMessagesDoNotKeepTheConsoleOpen) {
    Logger log;
    captureStdout([&] { log.Message("just ", "saying", nullptr); });
    Console console;
    EXPECT_FALSE(PauseIfFatal(log, console.in, console.out, true));
    EXPECT_EQ(console.out.str(), "");
}

TEST(ConsolePause, AFatalMessageAlreadyReadDoesNotKeepTheConsoleOpen) {
    Logger log;
    captureStdout([&] { log.Fatal("boom"); });
    log.Get();
    Console console;
    EXPECT_FALSE(PauseIfFatal(log, console.in, console.out, true));
    EXPECT_EQ(console.rest(), "first line");
}

TEST(ConsolePause, ReturnsAtTheEndOfInput) {
    Logger log;
    captureStdout([&] { log.Fatal("boom"); });
    std::istringstream empty;
    std::ostringstream out;
    EXPECT_TRUE(PauseIfFatal(log, empty, out, true));
    EXPECT_EQ(out.str(), "Press Enter to continue . . .");
}
