#include "SoundTestSupport.h"

#include <Engine/Sound/SoundBuffer.h>
#include <Engine/Sound/SoundController.h>
#include <Engine/Sound/SoundSource.h>
#include <gtest/gtest.h>

using Engine::Math::Vec3f;
using Engine::Sound::SoundBuffer;
using Engine::Sound::SoundController;
using Engine::Sound::SoundSource;
using namespace SoundTestSupport;
using namespace std::chrono_literals;

namespace {

// Plays through OpenAL Soft's wave writer, which mixes in real time into a WAV
// file; finish() closes the audio system and reads back what was played.
class SoundPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        useWaveWriter(config, output);
        ASSERT_TRUE(SoundController::intOpenAL());
    }
    void TearDown() override {
        if (running) {
            SoundController::exitOpenAL();
        }
    }

    Recording finish() {
        SoundController::exitOpenAL();
        running = false;
        return readWav(output.path());
    }

    // Waits until the source has played all of its count queued buffers.
    static void waitForQueue(SoundSource& source, int count) {
        ASSERT_TRUE(waitFor([&] { return source.getProssesedBuffer() == count; }, 3000ms));
    }

    // Mean level of a run on both channels, leaving out its fading edges.
    static float level(Recording const& mix, Stretch run) {
        const std::size_t edge = static_cast<std::size_t>(mix.rate / 100);
        return mix.rms(0, run.first + edge, run.last - edge) +
               mix.rms(1, run.first + edge, run.last - edge);
    }

    TempFile config{"alsoft.conf"};
    TempFile output{"mix.wav"};
    TempFile toneFile{"tone.wav"};
    bool running = true;
};

} // namespace

TEST_F(SoundPlayback, QueuedBuffersPlayInOrder) {
    TempFile softFile("soft.wav");
    writeWav(toneFile.path(), tone(0.6f, 0.1f), 1);
    writeWav(softFile.path(), tone(0.2f, 0.1f), 1);
    SoundBuffer loud(toneFile.c_str());
    SoundBuffer soft(softFile.c_str());
    {
        SoundSource source;
        source.queueBuffers({&loud, &soft});
        source.play();
        waitForQueue(source, 2);
        source.unqueueBuffers({&loud, &soft});
        sleepFor(50ms);
    }
    const Recording mix = finish();
    ASSERT_EQ(mix.rate, kRate);
    ASSERT_EQ(mix.channels, 2);
    const std::vector<Stretch> runs = soundingStretches(mix);
    ASSERT_EQ(runs.size(), 1u);
    const std::size_t half = (runs[0].last - runs[0].first) / 2;
    const float first = level(mix, {runs[0].first, runs[0].first + half});
    const float second = level(mix, {runs[0].first + half, runs[0].last});
    EXPECT_NEAR(first / second, 3.0f, 0.15f);
}

TEST_F(SoundPlayback, MixCarriesTheGainProduct) {
    writeWav(toneFile.path(), tone(0.5f, 0.1f), 1);
    SoundBuffer buffer(toneFile.c_str());
    SoundSource source;
    // Plays the tone once at the source's current gain, then leaves a gap.
    auto playOnce = [&] {
        source.queueBuffers({&buffer});
        source.play();
        waitForQueue(source, 1);
        source.unqueueBuffers({&buffer});
        sleepFor(60ms);
    };
    playOnce();
    source.referenceGain(0.8f);
    source.gain(0.5f);
    playOnce();
    source.referenceGain(1.0f);
    playOnce();

    const Recording mix = finish();
    const std::vector<Stretch> runs = soundingStretches(mix);
    ASSERT_EQ(runs.size(), 3u);
    const float reference = level(mix, runs[0]);
    EXPECT_NEAR(level(mix, runs[1]) / reference, 0.4f, 0.02f);
    EXPECT_NEAR(level(mix, runs[2]) / reference, 0.5f, 0.02f);
}

TEST_F(SoundPlayback, StoppedSourceWritesSilence) {
    writeWav(toneFile.path(), tone(0.5f, 0.05f), 1);
    SoundBuffer buffer(toneFile.c_str());
    SoundSource source;
    ASSERT_TRUE(source.setBuffer(&buffer));
    source.loopOn();
    source.play();
    sleepFor(150ms);
    source.stop();
    sleepFor(200ms);

    const Recording mix = finish();
    const std::vector<Stretch> runs = soundingStretches(mix);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_GT(runs[0].last - runs[0].first, mix.rate / 10u) << "the loop went on playing";
    EXPECT_EQ(mix.peak(mix.frames() - mix.rate / 20u, mix.frames()), 0.0f);
}

TEST_F(SoundPlayback, ResetListenerHearsSourcesOnTheirSide) {
    writeWav(toneFile.path(), tone(0.5f, 0.1f), 1);
    SoundBuffer buffer(toneFile.c_str());
    SoundController listener;
    SoundSource source;
    source.position(Vec3f(1, 0, 0));
    source.queueBuffers({&buffer});
    source.play();
    waitForQueue(source, 1);
    source.unqueueBuffers({&buffer});

    const Recording mix = finish();
    const std::vector<Stretch> runs = soundingStretches(mix);
    ASSERT_EQ(runs.size(), 1u);
    const float left = mix.rms(0, runs[0].first, runs[0].last);
    const float right = mix.rms(1, runs[0].first, runs[0].last);
    EXPECT_GT(right, 2.0f * left);
}
