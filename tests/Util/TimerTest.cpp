#include "Support/Output.h"

#include <Engine/Util/Timer.h>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>

using Engine::Util::Timer;
using TestSupport::captureStdout;

namespace {

// A hand-driven clock with 1000 ticks per second.
struct ManualClock {
    std::shared_ptr<std::int64_t> now = std::make_shared<std::int64_t>(0);
    Timer makeTimer() const {
        auto reading = now;
        return Timer([reading] { return *reading; }, 1000);
    }
    void advance(std::int64_t ticks) const { *now += ticks; }
};

int countLines(std::string const& text) {
    int lines = 0;
    for (char c : text) {
        lines += c == '\n';
    }
    return lines;
}

} // namespace

TEST(Timer, TimesAreZeroUntilTheFirstFrame) {
    ManualClock clock;
    Timer timer = clock.makeTimer();
    EXPECT_FALSE(timer.Running());
    timer.Start();
    clock.advance(500);
    EXPECT_EQ(timer.AbsoluteTime(), 0.0f);
    EXPECT_EQ(timer.RelativeTime(), 0.0f);
}

TEST(Timer, NextFrameMeasuresAbsoluteAndRelativeTime) {
    ManualClock clock;
    Timer timer = clock.makeTimer();
    timer.Start();
    captureStdout([&] {
        clock.advance(1500);
        timer.NextFrame();
    });
    EXPECT_FLOAT_EQ(timer.AbsoluteTime(), 1.5f);
    EXPECT_FLOAT_EQ(timer.RelativeTime(), 1.5f);
    captureStdout([&] {
        clock.advance(250);
        timer.NextFrame();
    });
    EXPECT_FLOAT_EQ(timer.AbsoluteTime(), 1.75f);
    EXPECT_FLOAT_EQ(timer.RelativeTime(), 0.25f);
    captureStdout([&] { timer.NextFrame(); });
    EXPECT_FLOAT_EQ(timer.AbsoluteTime(), 1.75f) << "no time passed";
    EXPECT_EQ(timer.RelativeTime(), 0.0f);
}

TEST(Timer, StoppedTimerKeepsItsTimes) {
    ManualClock clock;
    Timer timer = clock.makeTimer();
    timer.Start();
    clock.advance(100);
    captureStdout([&] { timer.NextFrame(); });
    timer.Stop();
    clock.advance(5000);
    captureStdout([&] { timer.NextFrame(); });
    EXPECT_FLOAT_EQ(timer.AbsoluteTime(), 0.1f);
    EXPECT_FLOAT_EQ(timer.RelativeTime(), 0.1f);

    // A new start begins again from 0.
    timer.Start();
    clock.advance(200);
    captureStdout([&] { timer.NextFrame(); });
    EXPECT_FLOAT_EQ(timer.AbsoluteTime(), 0.2f);
}

TEST(Timer, StartOnARunningTimerChangesNothing) {
    ManualClock clock;
    Timer timer = clock.makeTimer();
    timer.Start();
    clock.advance(1000);
    timer.Start();
    clock.advance(1000);
    captureStdout([&] { timer.NextFrame(); });
    EXPECT_FLOAT_EQ(timer.AbsoluteTime(), 2.0f);
}

TEST(Timer, KeepsFrameResolutionAfterLongRuns) {
    ManualClock clock;
    Timer timer = clock.makeTimer();
    timer.Start();
    clock.advance(10000 * 1000);
    captureStdout([&] { timer.NextFrame(); });
    const float before = timer.AbsoluteTime();
    clock.advance(16); // one frame at about 60 Hz
    captureStdout([&] { timer.NextFrame(); });
    EXPECT_GT(timer.AbsoluteTime(), before);
    EXPECT_FLOAT_EQ(timer.RelativeTime(), 0.016f);
}

TEST(Timer, ReportsOnFramesOneElevenAndTwentyOne) {
    ManualClock clock;
    Timer timer = clock.makeTimer();
    timer.Start();
    for (int frame = 1; frame <= 25; ++frame) {
        clock.advance(20);
        const std::string out = captureStdout([&] { timer.NextFrame(); });
        const bool reports = frame == 1 || frame == 11 || frame == 21;
        EXPECT_EQ(countLines(out), reports ? 1 : 0) << "frame " << frame;
        if (reports) {
            // The frame time, three spaces, then the wall-clock seconds.
            std::istringstream line(out);
            float frameTime = -1.0f;
            double wall = -1.0;
            line >> frameTime >> wall;
            EXPECT_FLOAT_EQ(frameTime, 0.02f);
            EXPECT_GE(wall, 0.0);
            EXPECT_NE(out.find("   "), std::string::npos);
        }
    }
}

TEST(Timer, CopyTakesTheTimes) {
    ManualClock clock;
    Timer timer = clock.makeTimer();
    timer.Start();
    clock.advance(3000);
    captureStdout([&] { timer.NextFrame(); });
    Timer copy(timer);
    EXPECT_TRUE(copy.Running());
    EXPECT_FLOAT_EQ(copy.AbsoluteTime(), 3.0f);
    Timer assigned = ManualClock().makeTimer();
    assigned = timer;
    EXPECT_FLOAT_EQ(assigned.AbsoluteTime(), 3.0f);
    EXPECT_FLOAT_EQ(assigned.RelativeTime(), 3.0f);
}

TEST(Timer, FixedStepSourceAdvancesOneStepPerFrame) {
    Timer timer(Timer::FixedStepSource(0.02), Timer::FixedStepTicksPerSecond);
    timer.Start();
    captureStdout([&] {
        for (int i = 0; i < 50; ++i) {
            timer.NextFrame();
            ASSERT_FLOAT_EQ(timer.RelativeTime(), 0.02f);
        }
    });
    EXPECT_FLOAT_EQ(timer.AbsoluteTime(), 1.0f);
}
