#include "Support/Output.h"

#include <Engine/Util/Logger.h>
#include <gtest/gtest.h>
#include <string>

using Engine::Util::Logger;
using TestSupport::captureStdout;

TEST(Logger, FreshLogHasNothing) {
    Logger log;
    EXPECT_FALSE(log.HasSomething());
    EXPECT_EQ(log.Position(), 0);
    EXPECT_EQ(log.ReadPosition(), 0);
}

TEST(Logger, MessageConcatenatesAndEchoesOneLine) {
    Logger log;
    const std::string out = captureStdout([&] { log.Message("a", "b", nullptr); });
    EXPECT_EQ(out, "ab\n");
    EXPECT_STREQ(log.Get(0), "ab");
    EXPECT_EQ(log.Position(), 1);
    EXPECT_FALSE(log.HasSomething()) << "a message is not fatal";
}

TEST(Logger, MessageWithNullFirstArgumentIsAnEmptyLine) {
    Logger log;
    const std::string out = captureStdout([&] { log.Message(nullptr); });
    EXPECT_EQ(out, "\n");
    EXPECT_STREQ(log.Get(0), "");
    EXPECT_EQ(log.Position(), 1);
}

TEST(Logger, FatalIsPrefixedAndHeldUntilRead) {
    Logger log;
    const std::string out = captureStdout([&] { log.Fatal("x"); });
    EXPECT_EQ(out, "FATAL x\n");
    EXPECT_TRUE(log.HasSomething());
    EXPECT_STREQ(log.Get(), "FATAL x");
    EXPECT_FALSE(log.HasSomething());
    EXPECT_EQ(log.ReadPosition(), 1);
}

TEST(Logger, LevelStaysFatalAfterLaterMessages) {
    Logger log;
    captureStdout([&] {
        log.Fatal("first");
        log.Message("later", nullptr);
    });
    EXPECT_TRUE(log.HasSomething());
}

TEST(Logger, RessourceMessagesAreDropped) {
    Logger log;
    const std::string out = captureStdout([&] { log.Ressource("texture loaded"); });
    EXPECT_EQ(out, "");
    EXPECT_EQ(log.Position(), 0);
    EXPECT_STREQ(log.Get(0), "");
}

TEST(Logger, RingWrapsAfterOneHundredEntries) {
    Logger log;
    captureStdout([&] {
        log.Fatal("0");
        for (int i = 1; i < Logger::EntryCount; ++i) {
            log.Message(std::to_string(i).c_str(), nullptr);
        }
    });
    // The writer is back where the reader stands: nothing counts as unread.
    EXPECT_EQ(log.Position(), 0);
    EXPECT_FALSE(log.HasSomething());

    captureStdout([&] { log.Message("100", nullptr); });
    EXPECT_TRUE(log.HasSomething());
    EXPECT_STREQ(log.Get(0), "100") << "entry 100 overwrites the oldest";
    EXPECT_STREQ(log.Get(1), "1");
    EXPECT_STREQ(log.Get(101), "1") << "indexes are taken modulo 100";
}

TEST(Logger, GetHandsOutEntriesInWrittenOrder) {
    Logger log;
    captureStdout([&] {
        for (int i = 0; i < Logger::EntryCount; ++i) {
            log.Message(std::to_string(i).c_str(), nullptr);
        }
    });
    for (int i = 0; i < Logger::EntryCount; ++i) {
        ASSERT_EQ(std::string(log.Get()), std::to_string(i));
    }
    EXPECT_EQ(log.ReadPosition(), 0);
}

TEST(Logger, SingletonIsSharedWithTheFreeFunction) {
    EXPECT_NE(Logger::Instance(), nullptr);
    EXPECT_EQ(Logger::Instance(), getLoggerInstance());
}
