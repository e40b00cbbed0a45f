// The demo's timeline against a fake clock: which event happens in which
// frame, for two script time offsets, with and without demo mode.

#include <Game/DemoTimeline.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using Game::DemoActions;
using Game::DemoTimeline;

namespace {

// Records the events of one frame as words; keeps the lights' switches.
class Recorder : public DemoActions {
public:
    std::vector<std::string> events;
    bool lamp_ = false;
    bool lightX = true;
    bool lightY = false;
    float green = 0.0f;
    float blue = 0.0f;
    int refreshSearch = 0;
    int refreshGodRays = 0;
    int refreshSecond = 0;

    void showPicture(bool on) override { events.push_back(on ? "picture" : "black"); }
    void restoreOpeningScene() override { events.push_back("restore"); }
    void playTrack(int track, float gain) override {
        events.push_back("track" + std::to_string(track) + "@" + std::to_string(gain).substr(0, 3));
    }
    void swapSearchlightForDirectionalLight() override { events.push_back("swap"); }
    void addGodRay3() override { events.push_back("godray3"); }
    void addGodRays1And2() override { events.push_back("godrays12"); }
    void refreshSearchlightMap() override { ++refreshSearch; }
    void refreshGodRay1And2Maps() override { ++refreshGodRays; }
    void switchToSecondWorld() override { events.push_back("switch"); }
    bool lampOn() const override { return lamp_; }
    void lamp(bool on) override { lamp_ = on; }
    void lightXIntensity(float g, float b) override {
        green = g;
        blue = b;
    }
    bool lightXOn() const override { return lightX; }
    void lightXOff() override {
        lightX = false;
        events.push_back("lightXoff");
    }
    bool lightYOn() const override { return lightY; }
    void lightYOnNow() override {
        lightY = true;
        events.push_back("lightYon");
    }
    void refreshSecondWorldMaps() override { ++refreshSecond; }
};

// Runs frames every 0.01 s up to `until` and returns the time of each
// event's frame (the first frame sees the time of no earlier frame).
struct TimelineRun {
    std::vector<std::pair<float, std::string>> log;
    Recorder actions;
    bool lampSeenOn = false;
    float lampFirstOn = -1.0f;
    float lampLastOn = -1.0f;

    TimelineRun(float offset, float until, bool demoMode = true) {
        DemoTimeline timeline(offset);
        for (int frame = 0;; ++frame) {
            const float time = 0.01f * static_cast<float>(frame);
            if (time > until) {
                break;
            }
            actions.events.clear();
            timeline.Frame(time, demoMode, actions);
            for (std::string const& e : actions.events) {
                log.emplace_back(time, e);
            }
            if (actions.lamp_) {
                if (!lampSeenOn) {
                    lampFirstOn = time;
                }
                lampSeenOn = true;
                lampLastOn = time;
            }
        }
    }
    // The time of the n-th occurrence of an event, or -1.
    float at(std::string const& event, int n = 0) const {
        for (auto const& entry : log) {
            if (entry.second == event && n-- == 0) {
                return entry.first;
            }
        }
        return -1.0f;
    }
    int count(std::string const& event) const {
        int c = 0;
        for (auto const& entry : log) {
            c += entry.second == event ? 1 : 0;
        }
        return c;
    }
};

void expectTimeline(float t) {
    // Event times for offset t: every event fires in the first frame after
    // its time, i.e. within one frame (0.01 s) of it.
    const float w = t + 91.5f;
    TimelineRun run(t, w + 110.0f);
    EXPECT_EQ(run.at("black"), 0.0f);
    EXPECT_NEAR(run.at("restore"), 0.01f, 1e-4f);
    EXPECT_NEAR(run.at("picture"), 0.01f, 1e-4f);
    EXPECT_NEAR(run.at("track1@0.8"), t + 4.5f, 0.011f);
    EXPECT_NEAR(run.at("swap"), t + 17.225f, 0.011f);
    EXPECT_NEAR(run.at("godray3"), t + 29.0f, 0.011f);
    EXPECT_NEAR(run.at("godrays12"), t + 68.0f, 0.011f);
    EXPECT_NEAR(run.at("switch"), w, 0.011f);
    EXPECT_NEAR(run.at("track2@0.9"), w, 0.011f);
    // One black frame at the switch, the picture back in the next.
    EXPECT_NEAR(run.at("black", 1), w, 0.011f);
    EXPECT_NEAR(run.at("picture", 1), run.at("black", 1) + 0.01f, 1e-3f);
    // The lamp is lit from W + 8 to W + 15.5 only.
    EXPECT_NEAR(run.lampFirstOn, w + 8.0f, 0.011f);
    EXPECT_NEAR(run.lampLastOn, w + 15.5f, 0.011f);
    EXPECT_NEAR(run.at("lightXoff"), w + 59.5f, 0.011f);
    EXPECT_NEAR(run.at("lightYon"), w + 104.5f, 0.011f);
    for (char const* once : {"restore", "track1@0.8", "swap", "godray3", "godrays12", "switch",
                             "track2@0.9", "lightXoff", "lightYon"}) {
        EXPECT_EQ(run.count(once), 1) << once;
    }
    EXPECT_EQ(run.count("black"), 2);
}

} // namespace

TEST(DemoTimelineTest, EventsAtTheirTimesForTheDefaultOffset) {
    expectTimeline(5.0f);
}

TEST(DemoTimelineTest, EventsMoveWithTheOffset) {
    expectTimeline(12.0f);
}

TEST(DemoTimelineTest, WithoutDemoModeNoMusicPlays) {
    TimelineRun run(5.0f, 100.0f, false);
    EXPECT_EQ(run.count("track1@0.8"), 0);
    EXPECT_EQ(run.count("track2@0.9"), 0);
    EXPECT_EQ(run.count("swap"), 1);
    EXPECT_EQ(run.count("switch"), 1);
}

TEST(DemoTimelineTest, LightXRampsAndMapsAreRefreshed) {
    DemoTimeline timeline(5.0f);
    Recorder actions;
    // Searchlight maps are refreshed every frame until the swap.
    timeline.Frame(0.0f, true, actions);
    timeline.Frame(10.0f, true, actions);
    EXPECT_EQ(actions.refreshSearch, 2);
    timeline.Frame(22.3f, true, actions);
    timeline.Frame(23.0f, true, actions);
    EXPECT_EQ(actions.refreshSearch, 2);
    // God rays 1 and 2: refreshed in every frame but the one that adds them.
    const int before = actions.refreshGodRays;
    timeline.Frame(73.1f, true, actions);
    EXPECT_EQ(actions.refreshGodRays, before);
    timeline.Frame(73.2f, true, actions);
    EXPECT_EQ(actions.refreshGodRays, before + 1);
    EXPECT_EQ(actions.refreshSecond, 0);
    timeline.Frame(96.6f, true, actions);
    EXPECT_EQ(actions.refreshSecond, 1);
    // Halfway through the ramp light X is at half of (0, 10, 30).
    timeline.Frame(128.5f + 3.0f, true, actions);
    EXPECT_NEAR(actions.green, 5.0f, 1e-3f);
    EXPECT_NEAR(actions.blue, 15.0f, 1e-3f);
    timeline.Frame(128.5f + 6.5f, true, actions);
    EXPECT_NEAR(actions.blue, 15.0f, 1e-3f); // the ramp is over: it stays
    EXPECT_TRUE(actions.lightX);
    timeline.Frame(156.1f, true, actions);
    EXPECT_FALSE(actions.lightX);
}
