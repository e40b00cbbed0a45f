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

// Plays through OpenAL Soft's wave writer; finish() closes the audio system,
// which completes the file, and reads back what was played.
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
        return readWav(output.path);
    }

    // Queues the buffers, plays them to the end and takes them off again.
    static void playQueue(SoundSource& source, std::vector<SoundBuffer*> const& buffers) {
        source.queueBuffers(buffers);
        source.play();
        EXPECT_TRUE(
            waitFor([&] { return source.getProssesedBuffer() == int(buffers.size()); }, 3000ms));
        source.unqueueBuffers(buffers);
    }

    // Level of both channels, leaving out 10 ms at either end where gains fade.
    static float level(Recording const& mix, Stretch s) {
        const Stretch inner{s.first + kRate / 100, s.last - kRate / 100};
        return mix.rms(0, inner) + mix.rms(1, inner);
    }

    TempFile config{"alsoft.conf"}, output{"mix.wav"}, toneFile{"tone.wav"};
    bool running = true;
};

} // namespace

TEST_F(SoundPlayback, QueuedBuffersPlayInOrder) {
    TempFile softFile("soft.wav");
    writeWav(toneFile.path, tone(0.6f, 0.1f));
    writeWav(softFile.path, tone(0.2f, 0.1f));
    SoundBuffer loud(toneFile.c_str()), soft(softFile.c_str());
    SoundSource source;
    playQueue(source, {&loud, &soft});

    const Recording mix = finish();
    ASSERT_EQ(mix.rate, kRate);
    const std::vector<Stretch> played = mix.sounding();
    ASSERT_EQ(played.size(), 1u);
    const std::size_t middle = (played[0].first + played[0].last) / 2;
    EXPECT_NEAR(level(mix, {played[0].first, middle}) / level(mix, {middle, played[0].last}), 3.0f,
                0.15f);
}

TEST_F(SoundPlayback, MixCarriesTheGainProduct) {
    writeWav(toneFile.path, tone(0.5f, 0.1f));
    SoundBuffer buffer(toneFile.c_str());
    SoundSource source;
    playQueue(source, {&buffer});
    sleepFor(60ms);
    source.referenceGain(0.8f);
    source.gain(0.5f);
    playQueue(source, {&buffer});
    sleepFor(60ms);
    source.referenceGain(1.0f);
    playQueue(source, {&buffer});

    const Recording mix = finish();
    const std::vector<Stretch> played = mix.sounding();
    ASSERT_EQ(played.size(), 3u);
    const float reference = level(mix, played[0]);
    EXPECT_NEAR(level(mix, played[1]) / reference, 0.4f, 0.02f);
    EXPECT_NEAR(level(mix, played[2]) / reference, 0.5f, 0.02f);
}

TEST_F(SoundPlayback, StoppedSourceWritesSilence) {
    writeWav(toneFile.path, tone(0.5f, 0.05f));
    SoundBuffer buffer(toneFile.c_str());
    SoundSource source;
    ASSERT_TRUE(source.setBuffer(&buffer));
    source.loopOn();
    source.play();
    sleepFor(150ms);
    source.stop();
    sleepFor(200ms);

    const Recording mix = finish();
    const std::vector<Stretch> played = mix.sounding();
    ASSERT_EQ(played.size(), 1u);
    EXPECT_GT(played[0].last - played[0].first, kRate / 10u) << "the loop did not go on";
    EXPECT_EQ(mix.peak({mix.frames() - kRate / 20, mix.frames()}), 0.0f);
}

TEST_F(SoundPlayback, ResetListenerHearsASourceOnItsRight) {
    writeWav(toneFile.path, tone(0.5f, 0.1f));
    SoundBuffer buffer(toneFile.c_str());
    SoundController moved;
    // Heard from there, the source would be on the left.
    moved.setListener(Vec3f(5, 0, 0), Vec3f(0, 0, 0), Vec3f(0, 0, -1), Vec3f(0, 1, 0));
    SoundController reset;
    SoundSource source;
    source.position(Vec3f(1, 0, 0));
    playQueue(source, {&buffer});

    const Recording mix = finish();
    const std::vector<Stretch> played = mix.sounding();
    ASSERT_EQ(played.size(), 1u);
    EXPECT_GT(mix.rms(1, played[0]), 2.0f * mix.rms(0, played[0]));
}
